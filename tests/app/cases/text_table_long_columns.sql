-- Long columns in text tables: the text column's values are shown, cut after 1,000 characters
-- with a mark; the blob column is shown as (BLOB) while BLOB values are suppressed (the default).
drop table if exists docs_long_columns;
create table docs_long_columns (id integer, body longtext, picture longblob, note varchar(10));
insert into docs_long_columns values (1, 'short body', x'0AFF', 'it''s');
insert into docs_long_columns values (2, concat(repeat('ab', 750), 'END'), NULL, NULL);
select id, body, picture, note from docs_long_columns;
/*METADATA>
	<OPTIONS Syntax = "GENERIC"/>
	<RESULTSET Type = "INSERT_ARRAY", Table = "docs_long_columns_copy"/>
</METADATA*/
select id, body, picture, note from docs_long_columns where id = 1
