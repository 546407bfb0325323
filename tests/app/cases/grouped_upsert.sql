create table items (id integer primary key, name varchar(20), note text);
insert into items values (1, 'O''Brien', 'first');
insert into items values (2, 'Ann', NULL);
insert into items values (3, NULL, 'third');
/*METADATA>
	<OPTIONS Syntax = "SQLITE", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Source = "items", Table = "items_copy", Rows = "2", CommitEvery = "1"/>
</METADATA*/
select id, name, note from items order by id;
/*METADATA>
	<RESULTSET Type = "UPSERT", Table = "items_copy"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name, note from items order by id;
