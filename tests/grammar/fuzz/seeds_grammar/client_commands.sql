SET NAMES utf8mb4;
source include/part.sql
\. other file.sql;
  SOURCE  x.sql
select 1
source not_a_command;
.read a.sql
.read "b c.sql"
.mode csv
select 2
.5;
\i 'quoted.sql'
\connect -reuse-previous=on "dbname='we\'ird'"
\c db user
COPY t TO STDOUT;
COPY t FROM stdin;