/*TEXT>-- Floating-point values without digits, negative zero, the largest float4, a uuid, a BC
-- timestamp and a timestamptz (with its offset: the session is UTC): exact literals in each
-- target's own form, then standard ones (quoted, or NULL where the target cannot hold the
-- value). NaN stops an exact MYSQL script.
</TEXT*/
create temporary table xv (id integer primary key, d float8, s float4, u uuid, t timestamp, z timestamptz);
insert into xv values (1, 'NaN', 'Infinity', 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', '0044-03-15 10:00:00 BC', '2024-06-30 23:59:59.999999+05:30'),
(2, '-Infinity', 3.4028235e38, NULL, '2024-06-30 23:59:59.999999', NULL), (3, '-0', 0.1, NULL, NULL, NULL),
(4, 0.30000000000000004, -3.4028235e38, NULL, NULL, NULL);
/*METADATA>
	<OPTIONS Syntax = "POSTGRESQL", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "xv2"/>
</METADATA*/
select * from xv order by id;
/*METADATA>
	<OPTIONS Syntax = "SQLITE", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "xv2"/>
</METADATA*/
select id, s, t, z from xv order by id;
/*METADATA>
	<OPTIONS Syntax = "ORACLE", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "xv2"/>
</METADATA*/
select id, d, s from xv order by id;
/*METADATA>
	<OPTIONS Syntax = "POSTGRESQL"/>
	<RESULTSET Type = "INSERT", Table = "xv2"/>
</METADATA*/
select id, d, s, u from xv order by id;
/*METADATA>
	<OPTIONS Syntax = "SQLITE"/>
	<RESULTSET Type = "INSERT", Table = "xv2"/>
</METADATA*/
select id, d, s, u from xv order by id;
/*METADATA>
	<OPTIONS Syntax = "MYSQL"/>
	<RESULTSET Type = "INSERT", Table = "xv2"/>
</METADATA*/
select id, d, s, u from xv order by id;
/*METADATA>
	<OPTIONS Syntax = "MSSQL"/>
	<RESULTSET Type = "INSERT", Table = "xv2"/>
</METADATA*/
select id, d, s, u from xv order by id;
/*METADATA>
	<OPTIONS Syntax = "MYSQL", Literals = "EXACT"/>
	<RESULTSET Type = "INSERT", Table = "xv2"/>
</METADATA*/
select id, d from xv order by id
