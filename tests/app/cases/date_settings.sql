/*TEXT>-- The profile's settings of the target reach the script: the Oracle date and time patterns
-- in quotes for a date and a timestamp column under standard literals, then the profile's exact
-- literals for the statements that inherit them.
</TEXT*/
create table gd (id integer primary key, d date, created timestamp);
insert into gd values (1, '2004-06-27', '2004-06-27 10:20:30');
/*METADATA>
	<OPTIONS Syntax = "ORACLE", Literals = "STANDARD"/>
	<RESULTSET Type = "INSERT", Table = "T"/>
</METADATA*/
select id, d, created from gd;
/*METADATA>
	<OPTIONS Syntax = "ORACLE"/>
	<RESULTSET Type = "INSERT", Table = "T"/>
</METADATA*/
select id, d, created from gd
