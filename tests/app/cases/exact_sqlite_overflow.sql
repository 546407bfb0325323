/*TEXT>-- The SQLite driver reads REAL values through a text of 15 digits: the largest double arrives
-- as an infinity, which an exact script refuses, naming the column and what the driver read.
</TEXT*/
create table r (id integer primary key, a real);
insert into r values (1, 1.7976931348623157e308);
/*METADATA>
	<OPTIONS Syntax = "POSTGRESQL", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "r2"/>
</METADATA*/
select * from r
