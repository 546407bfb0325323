/*TEXT>-- Exact literals come from the statement's Literals, else from the target's own setting
-- (on here for ORACLE); STANDARD keeps the usual form whatever the setting.
</TEXT*/
create table w (id integer primary key, name varchar(10));
insert into w values (2, 'x' || char(10) || char(9) || 'y');
/*METADATA>
	<OPTIONS Syntax = "ORACLE"/>
	<RESULTSET Type = "UPDATE", Table = "W"><KEYS><KEY_1 Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name from w;
/*METADATA>
	<OPTIONS Syntax = "ORACLE", Literals = "STANDARD"/>
	<RESULTSET Type = "UPDATE", Table = "W"><KEYS><KEY_1 Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name from w
