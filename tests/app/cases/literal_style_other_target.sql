/*TEXT>-- The exact literals setting of ORACLE does not reach a MYSQL script.
</TEXT*/
create table w (id integer primary key, name varchar(10));
insert into w values (2, 'x' || char(10) || char(9) || 'y');
/*METADATA>
	<OPTIONS Syntax = "MYSQL"/>
	<RESULTSET Type = "UPDATE", Table = "W"><KEYS><KEY_1 Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name from w
