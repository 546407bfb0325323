-- With BLOB values not suppressed (SuppressBlobValues=0) the blob column shows its values.
drop table if exists docs_blobs_shown;
create table docs_blobs_shown (id integer, body longtext, picture longblob, note varchar(10));
insert into docs_blobs_shown values (1, 'short body', x'0AFF', 'it''s');
insert into docs_blobs_shown values (2, concat(repeat('ab', 750), 'END'), NULL, NULL);
select id, body, picture, note from docs_blobs_shown;
/*METADATA>
	<OPTIONS Syntax = "GENERIC"/>
	<RESULTSET Type = "INSERT_ARRAY", Table = "docs_blobs_shown_copy"/>
</METADATA*/
select id, body, picture, note from docs_blobs_shown where id = 1
