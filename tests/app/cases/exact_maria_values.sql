/*TEXT>-- MariaDB's negative times, times past 24 hours and zero dates are written as they are for
-- MYSQL and SQLITE with exact literals; the largest FLOAT in digits the server reads back; a
-- BIT(1) as a digit and an empty VARBINARY as X'' in standard ones. A negative time stops an
-- exact POSTGRESQL script.
</TEXT*/
create temporary table mv (id int primary key, t time(6), d date, dt datetime(6), f float, b bit(1), v varbinary(10));
insert into mv values (1, '-838:59:59', '0000-00-00', '0000-00-00 00:00:00', 3.4028234663852886e38, b'1', x''),
(2, '-00:00:00.000001', '2024-02-29', '2024-02-29 23:59:59.5', 0.1, b'0', x'00ff'),
(3, '100:00:00', NULL, NULL, -3.4028234663852886e38, NULL, NULL);
/*METADATA>
	<OPTIONS Syntax = "MYSQL", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "mv2"/>
</METADATA*/
select * from mv order by id;
/*METADATA>
	<OPTIONS Syntax = "SQLITE", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "mv2"/>
</METADATA*/
select * from mv order by id;
/*METADATA>
	<OPTIONS Syntax = "MYSQL"/>
	<RESULTSET Type = "INSERT", Table = "mv2"/>
</METADATA*/
select id, f, b, v from mv order by id;
/*METADATA>
	<OPTIONS Syntax = "GENERIC"/>
	<RESULTSET Type = "INSERT", Table = "mv2"/>
</METADATA*/
select id, f, b, v from mv order by id;
/*METADATA>
	<OPTIONS Syntax = "POSTGRESQL", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "mv2"/>
</METADATA*/
select id, t from mv order by id
