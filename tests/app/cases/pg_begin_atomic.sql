-- psql keeps a BEGIN ATOMIC body in its CREATE FUNCTION up to its END.
CREATE OR REPLACE FUNCTION marlix_twice(i int) RETURNS int LANGUAGE sql
BEGIN ATOMIC
  SELECT CASE WHEN i IS NULL THEN 0 ELSE i * 2 END;
END;
SELECT marlix_twice(21) AS answer;
DROP FUNCTION marlix_twice;
