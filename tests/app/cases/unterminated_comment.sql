SELECT 1 AS a;
SELECT 2 AS b /* never closed
SELECT 3 AS c;
