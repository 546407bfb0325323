create table t (id integer);
insert into t values (1);
select * from missing_table;
insert into t values (2)
