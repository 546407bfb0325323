create table notes (id integer, title varchar(20), body text);
insert into notes values (1, 'first', 'a long body');
/*METADATA>
	<OPTIONS Syntax = "GENERIC"/>
	<RESULTSET Type = "INSERT", Table = "notes_copy"/>
</METADATA*/
select id, title, body from notes;
/*METADATA>
	<RESULTSET Type = "UPDATE", Table = "notes_copy"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, title, body from notes;
/*METADATA>
	<RESULTSET Type = "DELETE", Table = "notes_copy"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, body from notes
