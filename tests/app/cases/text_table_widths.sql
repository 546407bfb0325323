create table cities (id integer, name varchar(20), country varchar(12));
insert into cities values (1, 'Zürich', 'CH');
insert into cities values (2, 'Paris', 'FR');
insert into cities values (3, '東京', 'JP');
insert into cities values (4, 'Ærøskøbing', 'DK');
select id, name, country from cities order by id;
select 'Ünïcödé' as "Größe", 'x' as ascii;
