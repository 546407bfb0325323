DROP PROCEDURE IF EXISTS marlix_fill;
DROP TABLE IF EXISTS marlix_names;
CREATE TABLE marlix_names (name varchar(40));
DELIMITER //
CREATE PROCEDURE marlix_fill(IN n varchar(40))
BEGIN
  INSERT INTO marlix_names VALUES (n);
  INSERT INTO marlix_names VALUES (CONCAT(n, '; again'));
END//
DELIMITER ;
CALL marlix_fill('first');
INSERT INTO marlix_names VALUES ('O\'Brien; Ltd');
SELECT COUNT(*) AS stored FROM marlix_names;
SELECT COUNT(*) AS whole FROM marlix_names WHERE name = 'O''Brien; Ltd';
DROP PROCEDURE marlix_fill;
DROP TABLE marlix_names
