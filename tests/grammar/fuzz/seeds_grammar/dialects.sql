CREATE FUNCTION add_one(i integer) RETURNS integer AS $$
BEGIN
  RETURN i + 1;
END;
$$ LANGUAGE plpgsql;
DO $do$ BEGIN RAISE NOTICE 'a;b'; END $do$;
SELECT E'x\'y;z', $1, a$b, $tag$ open
DELIMITER //
CREATE PROCEDURE p() BEGIN SELECT 'O\'Brien; Ltd'; END//
DELIMITER ;
CALL p();
GO
