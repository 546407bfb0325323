/*TEXT>-- Marlix text case: each line of a script with mixed line ends keeps its own end
-- and lines count at CR LF, LF and CR alike (the broken tag is on line 13)
</TEXT*/
create table t (v varchar(20));
insert into t values ('a
b');
insert into t values ('c
d');
insert into t values ('ef');
select hex(v) as bytes from t;
/*METADATA>	<RESULTSET Type = "INSERT
</METADATA*/
select v from t;
