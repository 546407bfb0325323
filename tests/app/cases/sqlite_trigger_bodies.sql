-- A trigger's body is one statement up to its END, as the sqlite3 shell reads it: CASE ... END,
-- a column named end and BEGIN TRANSACTION around it do not end it early.
BEGIN TRANSACTION;
CREATE TABLE t (a INTEGER, b VARCHAR(20), "end" VARCHAR(20));
CREATE TEMP TRIGGER tr AFTER INSERT ON t
BEGIN
  UPDATE t SET b = CASE WHEN new.a > 1 THEN 'big; one' ELSE 'x' END WHERE rowid = new.rowid;
  UPDATE t SET end = 'end;' WHERE rowid = new.rowid; -- END;
END;
CREATE VIEW v AS SELECT a, b, end FROM t;
COMMIT;
BEGIN;
INSERT INTO t (a) VALUES (1);
INSERT INTO t (a) VALUES (2);
END;
SELECT * FROM v;
-- Executable comments are comments here, and the first "*/" ends a comment.
SELECT /*!100000 1 + */ 1 AS one, 3 /* a /* b */ AS three;
