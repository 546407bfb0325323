\restrict K3y
SELECT current_database() AS db;
\connect postgres
SELECT current_database() AS db;
\c "marlix"
\i include/pg_part.sql
SELECT count(*) AS loaded FROM marlix_included;
\unrestrict K3y
DROP TABLE marlix_included;
\pset format unaligned
SELECT 'not reached';
