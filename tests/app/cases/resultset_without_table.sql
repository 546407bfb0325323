select 1 as first;
/*METADATA>
	<OPTIONS Syntax = "SQLITE"/>
	<RESULTSET Type = "INSERT", Rows = "2"/>
</METADATA*/
select 2 as second
