/*TEXT>-- Marlix text case: the script's LF line ends reach the server as they are
-- (a two-line literal stores 0A, as sqlite3 < stores it)
</TEXT*/
create table t (v varchar(20));
insert into t values ('a
b');
select hex(v) as bytes from t;
/*METADATA>
	<RESULTSET Type = "INSERT", Source = "t", Table = "t_copy"/>
</METADATA*/
select length(v) as n,
  v from t;
select missing
  from t;
