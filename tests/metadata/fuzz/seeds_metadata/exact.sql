/*METADATA>
	<OPTIONS Syntax = "POSTGRESQL", Literals = "EXACT"/>
	<RESULTSET Type = "UPSERT", Table = "t", Rows = "500", CommitEvery = "1000"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name from s;
/*metadata><options syntax = "sqlite", literals = "bogus"/><resultset rows = "0"/></metadata*/ select 1
