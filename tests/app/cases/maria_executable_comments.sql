-- MariaDB runs executable comments from the version they give on: they reach it as written.
DROP TABLE IF EXISTS marlix_film;
/*!40101 SET @x = 5 */;
/*!999999 SET @x = 6 */;
SELECT /*!100000 1 + */ 1 AS two, @x AS x, 3 /*M!100000 + 4 */ AS seven;
/*!50610 CREATE TABLE marlix_film (id int, title varchar(20), end int) */;
-- Without DELIMITER a trigger's body is one statement up to its END.
CREATE TRIGGER marlix_film_ins BEFORE INSERT ON marlix_film FOR EACH ROW
BEGIN
  IF NEW.title IS NULL THEN
    SET NEW.title = CASE WHEN NEW.id > 1 THEN 'many; more' ELSE 'one' END;
  END IF;
  SET NEW.end = NEW.id * 10;
END;
INSERT INTO marlix_film (id) VALUES (1), (2);
SELECT id, title, end FROM marlix_film ORDER BY id;
CREATE PROCEDURE marlix_film_count(IN low int) BEGIN SELECT COUNT(*) AS films FROM marlix_film WHERE id >= low; END;
CALL marlix_film_count(2);
DROP PROCEDURE marlix_film_count;
-- A trigger as mariadb-dump writes it.
DELIMITER ;;
/*!50003 CREATE*/ /*!50017 DEFINER=CURRENT_USER*/ /*!50003 TRIGGER marlix_film_upd BEFORE UPDATE ON marlix_film FOR EACH ROW BEGIN
  SET NEW.title = CONCAT(NEW.title, ';');
END */;;
DELIMITER ;
UPDATE marlix_film SET title = 'x' WHERE id = 1;
SELECT id, title FROM marlix_film ORDER BY id;
DROP TABLE marlix_film;
