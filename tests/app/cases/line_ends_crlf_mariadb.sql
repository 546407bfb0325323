/*TEXT>-- Marlix text case: the script's CR LF line ends reach MariaDB as they are
-- (a two-line literal and a function's dynamic SQL store 0D0A; mariadb < drops the CR)
</TEXT*/
DROP TABLE IF EXISTS marlix_crlf_lines;
DROP FUNCTION IF EXISTS marlix_crlf_report;
CREATE TABLE marlix_crlf_lines (v varchar(20));
INSERT INTO marlix_crlf_lines VALUES ('a
b');
SELECT HEX(v) AS bytes FROM marlix_crlf_lines;
DELIMITER //
CREATE FUNCTION marlix_crlf_report(tab varchar(40)) RETURNS varchar(200) DETERMINISTIC
BEGIN
  RETURN CONCAT('select *
from ', tab);
END//
DELIMITER ;
SELECT HEX(marlix_crlf_report('t')) AS bytes;
DROP FUNCTION marlix_crlf_report;
DROP TABLE marlix_crlf_lines
