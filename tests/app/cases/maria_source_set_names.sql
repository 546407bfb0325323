SET NAMES utf8mb4;
/*!40101 SET CHARACTER SET utf8mb4 */;
DROP TABLE IF EXISTS marlix_sourced;
CREATE TABLE marlix_sourced (v varchar(80));
source include/maria_part.sql
\. include/maria_part.sql
SELECT COUNT(*) AS sourced, MIN(v) AS v FROM marlix_sourced;
DROP TABLE marlix_sourced;
