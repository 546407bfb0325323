/*TEXT>-- Marlix text case: the script's LF line ends reach MariaDB as they are
-- (a two-line literal and a function's dynamic SQL store 0A, as mariadb < stores them)
</TEXT*/
DROP TABLE IF EXISTS marlix_lf_lines;
DROP FUNCTION IF EXISTS marlix_lf_report;
CREATE TABLE marlix_lf_lines (v varchar(20));
INSERT INTO marlix_lf_lines VALUES ('a
b');
SELECT HEX(v) AS bytes FROM marlix_lf_lines;
DELIMITER //
CREATE FUNCTION marlix_lf_report(tab varchar(40)) RETURNS varchar(200) DETERMINISTIC
BEGIN
  RETURN CONCAT('select *
from ', tab);
END//
DELIMITER ;
SELECT HEX(marlix_lf_report('t')) AS bytes;
DROP FUNCTION marlix_lf_report;
DROP TABLE marlix_lf_lines
