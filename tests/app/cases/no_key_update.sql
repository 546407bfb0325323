/*METADATA>
	<OPTIONS Syntax = "MYSQL"/>
	<RESULTSET Type = "UPDATE", Table = "items"/>
</METADATA*/
select 1 as id, 2 as qty;
select 3 as runs_after_it
