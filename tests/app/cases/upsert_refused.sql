/*METADATA>
	<OPTIONS Syntax = "ACCESS"/>
	<RESULTSET Type = "UPSERT", Table = "items"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select 1 as id, 2 as qty;
select 3 as runs_after_it
