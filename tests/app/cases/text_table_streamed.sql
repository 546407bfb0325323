-- streamed text tables: columns as wide as the declared sizes; a longer value is written whole
create table s (n bigint, code varchar(5), d date);
insert into s values (123456789012, 'ab', '2023-01-15');
insert into s values (-5, 'longer than declared', '2024-02-29');
select n, code, d from s order by n desc;
