create table events (id integer, d date, ts timestamp, note varchar(10));
insert into events values (1, '2023-01-15', '2023-01-15 10:20:30', 'it''s');
insert into events values (2, '1999-12-31', '1999-12-31 23:59:59.250', NULL);
select id, d, ts, note from events order by id;
