/*TEXT>-- Marlix text case: the script's CR LF line ends reach the server as they are
-- (a two-line literal stores 0D0A; sqlite3 < drops the CR)
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
