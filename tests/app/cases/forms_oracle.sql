/*TEXT>-- Every statement form of one target under the default settings: a row with a text and a
-- timestamp in each statement type, the text table, then three rows grouped two per INSERT and
-- committed every two statements. Then an upsert of keys only.
</TEXT*/
create table g (id integer primary key, name varchar(20), created timestamp);
insert into g values (1, 'it''s', '2004-06-27 10:20:30');
create table m (id integer primary key, name varchar(10));
insert into m values (1, 'a'), (2, NULL), (3, 'c');
/*METADATA>
	<OPTIONS Syntax = "ORACLE"/>
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
/*METADATA>
	<RESULTSET Type = "UPSERT", Source = "g", Table = "T"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
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
create table k ("Order" integer, "a b" varchar(5), primary key ("Order", "a b"));
insert into k values (1, 'x');
create table w (id integer primary key, note text);
insert into w values (1, 'long');
/*METADATA>
	<RESULTSET Type = "UPSERT", Table = "K"><KEYS><KEY_1 Field = "Order"/><KEY_2 Field = "a b"/></KEYS></RESULTSET>
</METADATA*/
select "Order", "a b" from k
