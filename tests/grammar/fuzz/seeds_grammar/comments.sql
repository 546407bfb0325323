/*!40101 SET @OLD_CHARACTER_SET_CLIENT=@@CHARACTER_SET_CLIENT */;
/*!40101 SET NAMES utf8mb4 */;
SELECT /*!100000 1 + */ 1, 3 /*M!100000 + 4 */, /*!*/ 2;
/*!50003 CREATE*/ /*!50017 DEFINER=`root`@`localhost`*/ /*!50003 TRIGGER t BEFORE UPDATE ON f FOR EACH ROW BEGIN
  SET NEW.title = CONCAT(NEW.title, ';', '*/');
END */;
/* a /* b */ still a comment */ SELECT 1;
SELECT 2 /* a /* b */ c /* d /* e */ */ */;
/*!50001 a /* b */ c */ /*!40101 'open */
/* nested /* never closed */
