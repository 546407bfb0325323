/*TEXT>-- Each statement converts in the Syntax of the last OPTIONS element before it, else in the
-- target platform (--syntax here): GENERIC, then MSSQL twice, then MYSQL
</TEXT*/
create table d (id integer primary key, at timestamp);
insert into d values (1, '2004-06-27 10:20:30');
/*METADATA>
	<RESULTSET Type = "INSERT", Source = "d", Table = "T"/>
</METADATA*/
select id, at from d;
/*METADATA>
	<OPTIONS Syntax = "MSSQL"/>
	<RESULTSET Type = "INSERT", Source = "d", Table = "T"/>
</METADATA*/
select id, at from d;
/*METADATA>
	<RESULTSET Type = "INSERT", Source = "d", Table = "T"/>
</METADATA*/
select id, at from d;
/*METADATA>
	<OPTIONS Syntax = "MYSQL"/>
	<RESULTSET Type = "INSERT", Source = "d", Table = "T"/>
</METADATA*/
select id, at from d;
