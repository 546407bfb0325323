/* PostgreSQL nests comments: /* SELECT 0; */ the comment goes on; */ SELECT 1 AS one;
SELECT 2 AS two /* a /* b */ c /* d /* e */ */ */;
SELECT /*!100000 1 + */ 3 AS three;
