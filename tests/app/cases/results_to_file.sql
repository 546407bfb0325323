/*TEXT>-- results written to a file
</TEXT*/
create table f (id integer, note varchar(20));
insert into f values (1, 'it''s');
insert into f values (2, NULL);
/*METADATA>
	<RESULTSET Type = "INSERT", Table = "f_copy"/>
</METADATA*/
select id, note from f;
select count(*) as n from f
