select 1 as fine;

select * from no_such_table;
