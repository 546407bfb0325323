/*TEXT>-- Every statement form of one target under the default settings: a row with a text and a
-- timestamp in each statement type, the text table, then three rows grouped two per INSERT and
-- committed every two statements. Then names quoted in brackets.
</TEXT*/
create table g (id integer primary key, name varchar(20), created timestamp);
insert into g values (1, 'it''s', '2004-06-27 10:20:30');
create table m (id integer primary key, name varchar(10));
insert into m values (1, 'a'), (2, NULL), (3, 'c');
/*METADATA>
	<OPTIONS Syntax = "ACCESS"/>
	<RESULTSET Type = "INSERT", Source = "g", Table = "T"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name, created from g;
/*METADATA>
	<RESULTSET Type = "INSERT_ARRAY", Source = "g", Table = "T"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name, created from g;
/*METADATA>
	<RESULTSET Type = "LOAD", Source = "g", Table = "T"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name, created from g;
/*METADATA>
	<RESULTSET Type = "UPDATE", Source = "g", Table = "T"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name, created from g;
/*METADATA>
	<RESULTSET Type = "REPLACE", Source = "g", Table = "T"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name, created from g;
/*METADATA>
	<RESULTSET Type = "DELETE", Source = "g", Table = "T"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name, created from g;
select id, name, created from g;
/*METADATA>
	<RESULTSET Type = "INSERT", Table = "T", Rows = "2"/>
</METADATA*/
select id, name from m order by id;
/*METADATA>
	<RESULTSET Type = "INSERT", Table = "T", CommitEvery = "2"/>
</METADATA*/
select id, name from m order by id;
/*METADATA>
	<RESULTSET Type = "INSERT", Table = "T"/>
</METADATA*/
select 1 as "2nd", 2 as "ORDER", 3 as "A-B", 5 as order_no, 6 as "T.select", 7 as "a""b]"
