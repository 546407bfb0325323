-- From a pipe the script is read once: each part runs as it is reached, its warnings said then,
-- and a fault of the text stops the run at its line; nothing after it runs.
CREATE TABLE piped (a INTEGER);
INSERT INTO piped VALUES (1);
/*METADATA>
	<RESULTSET Type = "INSERT", Table = "piped", CommitEvry = "1"/>
</METADATA*/
SELECT a FROM piped;
SELECT 'never closed;
SELECT 3 AS c;
