DROP TABLE IF EXISTS marlix_included;
CREATE TABLE marlix_included (v text);
COPY marlix_included (v) FROM stdin;
from the included file
\.
\ir pg_nested.sql
