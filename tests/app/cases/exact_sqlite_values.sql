/*TEXT>-- SQLite's infinities as numbers beyond the double's range, times and dates as the text they
-- are; the targets that cannot hold an infinity get NULL in standard scripts and stop an exact
-- one.
</TEXT*/
create table r (id integer primary key, a real, b blob, d date, t time);
insert into r values (1, 9e999, X'', '0000-00-00', '25:00:00'), (2, -9e999, X'00', '2024-02-29', '10:00:00.5'),
(3, 0.1, NULL, 'someday', NULL);
/*METADATA>
	<OPTIONS Syntax = "SQLITE", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "r2"/>
</METADATA*/
select * from r order by id;
/*METADATA>
	<OPTIONS Syntax = "POSTGRESQL", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "r2"/>
</METADATA*/
select id, a from r order by id;
/*METADATA>
	<OPTIONS Syntax = "SQLITE"/>
	<RESULTSET Type = "INSERT", Table = "r2"/>
</METADATA*/
select id, a, b from r order by id;
/*METADATA>
	<OPTIONS Syntax = "MYSQL"/>
	<RESULTSET Type = "INSERT", Table = "r2"/>
</METADATA*/
select id, a, b from r order by id;
/*METADATA>
	<OPTIONS Syntax = "MYSQL", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "r2"/>
</METADATA*/
select id, a from r order by id
