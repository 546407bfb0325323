create table t (a integer, b text);
.read include/sqlite_part.sql
select count(*) as rows_in_t from t;
.read include/sqlite_error.sql
select 'not reached';
