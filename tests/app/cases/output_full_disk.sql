select 1 as a;
select 2 as b
