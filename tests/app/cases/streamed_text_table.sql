/*TEXT>-- streamed: the first row and the declared sizes make the widths, and no value is cut
</TEXT*/
create table w (id integer primary key, name varchar(10), note text, qty numeric(12,2));
insert into w values (1, 'a''b''c', 'long', 1.5);
insert into w values (2, 'x' || char(10) || char(9) || 'y', NULL, NULL);
insert into w values (3, NULL, 'z', 100);
select id, name, note, qty from w order by id;
/*METADATA>
	<OPTIONS Syntax = "GENERIC"/>
	<RESULTSET Type = "LOAD", Table = "T"/>
</METADATA*/
select id, name from w where id = 1;
/*METADATA>
	<RESULTSET Type = "INSERT_ARRAY", Table = "T"/>
</METADATA*/
select id, name from w where id < 0
