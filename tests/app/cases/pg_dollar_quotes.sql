DROP FUNCTION IF EXISTS marlix_add_one(integer);
DROP TABLE IF EXISTS marlix_dollar;
CREATE FUNCTION marlix_add_one(i integer) RETURNS integer AS $$
BEGIN
  RETURN i + 1;
END;
$$ LANGUAGE plpgsql;
SELECT marlix_add_one(41) AS answer;
CREATE TABLE marlix_dollar (v text);
DO $body$
BEGIN
  INSERT INTO marlix_dollar VALUES ('from; the block');
  INSERT INTO marlix_dollar VALUES ($q$it's; $$ quoted$q$);
END
$body$;
SELECT count(*) AS inserted FROM marlix_dollar WHERE v LIKE '%;%';
SELECT CAST(E'x\'y;z' AS varchar(10)) AS escaped, length(E'x\'y;z') AS len;
DROP FUNCTION marlix_add_one(integer);
DROP TABLE marlix_dollar
