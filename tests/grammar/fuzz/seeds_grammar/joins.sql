SELECT a, b AS x, 'T' = c + 1, * FROM t1 a1 JOIN t2 b2 ON a1.k = b2.k, t3 c3;
SELECT TOP 10 t.*, MAX(DISTINCT q) FROM db.o.tab AS t WHERE NOT (a >= 1 AND b IS NOT NULL) OR c != 2 ORDER BY 1 DESC, a
GO
