SELECT 1 AS one;
SELECT 2 AS two /* a /* b */
SELECT 3 AS three; /* closes the inner one only */
