/*TEXT>-- Table names are written as the target reads them: a part it would fold or misread
-- (capitals on POSTGRESQL, blanks, keywords) is quoted as column names are, each part of a
-- qualified name on its own; a part given in quotes (doubled inside the attribute) is kept.
-- MYSQL doubles backslashes, which it reads as escapes in standard literals too.
</TEXT*/
create table g (id integer primary key, name varchar(20));
insert into g values (1, 'back\slash\');
/*METADATA>
	<OPTIONS Syntax = "POSTGRESQL"/>
	<RESULTSET Type = "INSERT", Table = """GenreCopy"""/>
</METADATA*/
select id from g;
/*METADATA>
	<RESULTSET Type = "UPDATE", Table = "Sales.Genre Copy"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name from g;
/*METADATA>
	<OPTIONS Syntax = "MSSQL"/>
	<RESULTSET Type = "DELETE", Table = "[dbo].order"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id from g;
/*METADATA>
	<OPTIONS Syntax = "MYSQL", Literals = "EXACT"/>
	<RESULTSET Type = "UPSERT", Table = "shop.select"><KEYS><KEY_id Field = "id"/></KEYS></RESULTSET>
</METADATA*/
select id, name from g;
/*METADATA>
	<OPTIONS Syntax = "MYSQL", Literals = "STANDARD"/>
	<RESULTSET Type = "INSERT", Table = "GenreCopy"/>
</METADATA*/
select id, name from g
