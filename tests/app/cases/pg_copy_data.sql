SET client_min_messages = warning;
DROP TABLE IF EXISTS marlix_copy;
CREATE TABLE marlix_copy (id integer, name text, born date, score numeric, raw bytea);
COPY marlix_copy (id, name, born, score, raw) FROM stdin;
1	plain	2024-02-29	1.5	\\x00ff
2	tab\there\\back\nline	\N	\N	\N
3	octal \101\102 hex \x43\x4a ; not an end	1999-12-31	-0.25	\\x
\.
SELECT id, name::varchar(40) AS name, born, score, encode(raw, 'hex')::varchar(10) AS raw FROM marlix_copy ORDER BY id;
COPY marlix_copy FROM stdin WITH (FORMAT csv, HEADER true, NULL 'none', DELIMITER ';');
id;name;born;score;raw
4;"quoted; ""semi""
two lines";2001-01-01;none;none
5;;none;7;
\.
COPY marlix_copy (id, name) FROM STDIN CSV;
6,"\. is data here"
\.
SELECT id, replace(replace(name, chr(13), ''), chr(10), '|')::varchar(40) AS name, name IS NULL AS is_null, score FROM marlix_copy WHERE id > 3 ORDER BY id;
COPY marlix_copy (id, name) FROM stdin;
7	fine
8	one field too many	x
\.
SELECT 'not reached';
