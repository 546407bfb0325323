/*TEXT>-- What shapes a script whatever the target: text table widths from apostrophes, control
-- characters and long columns; long columns left out of every list but kept as keys; several
-- keys joined with AND; the source table named when there is no destination; empty results.
</TEXT*/
create table w (id integer primary key, name varchar(10), note text, qty numeric(12,2));
insert into w values (1, 'a''b''c', 'long', 1.5);
insert into w values (2, 'x' || char(10) || char(9) || 'y', NULL, NULL);
insert into w values (3, NULL, 'z', 100);
select id, name, note, qty from w order by id;
/*METADATA>
	<OPTIONS Syntax = "GENERIC"/>
	<RESULTSET Type = "INSERT", Table = "W"/>
</METADATA*/
select id, name, note, qty from w order by id;
/*METADATA>
	<RESULTSET Type = "UPDATE", Table = "W"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name, note, qty from w where id = 1;
/*METADATA>
	<RESULTSET Type = "INSERT_ARRAY", Table = "W"/>
</METADATA*/
select id, name, note, qty from w where id = 1;
/*METADATA>
	<RESULTSET Type = "DELETE", Table = "W"><KEYS><KEY_note Field = "note"/></KEYS></RESULTSET>
</METADATA*/
select id, note from w where id = 3;
/*METADATA>
	<RESULTSET Type = "UPDATE", Table = "W"><KEYS><KEY_note Field = "note"/></KEYS></RESULTSET>
</METADATA*/
select id, note from w where id = 3;
/*METADATA>
	<RESULTSET Type = "DELETE", Table = "W"><KEYS><KEY_name Field = "name"/><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name from w where id = 1;
/*METADATA>
	<RESULTSET Type = "DELETE", Source = "main.w"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id from w where id = 1;
/*METADATA>
	<RESULTSET Type = "INSERT_ARRAY", Table = "W"/>
</METADATA*/
select id, name from w where id > 5;
/*METADATA>
	<RESULTSET Type = "LOAD", Table = "W"/>
</METADATA*/
select id, name from w where id > 5;
/*METADATA>
	<RESULTSET Type = "INSERT", Table = "W"/>
</METADATA*/
select id, name from w where id > 5;
select id, name, qty from w where id > 5
