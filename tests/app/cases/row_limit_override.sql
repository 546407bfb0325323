select 1 as n union all select 2 union all select 3;
/*METADATA>
	<RESULTSET Type = "INSERT", Table = "numbers"/>
</METADATA*/
select 10 as n union all select 20 union all select 30
