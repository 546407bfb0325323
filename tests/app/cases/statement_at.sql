select 'not run' as x;
/*METADATA>
	<OPTIONS Syntax = "MYSQL"/>
	<RESULTSET Type = "REPLACE", Table = "items"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select 1 as id, 'one' as name;
select 'not run either' as x
