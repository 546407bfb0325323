insert into t values (1, 'first');
.read sqlite_nested.sql
