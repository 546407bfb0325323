SELECT 1 AS one;
/*!40101 SET @x = 5 ;
SELECT 2 AS two; /* a comment's end is not the executable comment's */
