/*TEXT>-- psqlODBC delivers an infinite date as 0000-00-00, a date PostgreSQL does not have: an exact
-- script refuses it, naming the column, rather than write a zero date or the day of the run.
</TEXT*/
create temporary table di (id integer, d date);
insert into di values (1, '2024-02-29'), (2, 'infinity');
/*METADATA>
	<OPTIONS Syntax = "MYSQL", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "di2"/>
</METADATA*/
select * from di order by id
