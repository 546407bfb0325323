-- MySQL runs with autocommit off unless the profile says otherwise: what the script leaves
-- uncommitted is rolled back at its end, and the run says so and fails.
create table dropped (id integer);
insert into dropped values (1);
select count(*) as seen from dropped;
