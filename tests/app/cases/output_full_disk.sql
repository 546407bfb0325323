select 1 as a;
with recursive n(i) as (select 1 union all select i + 1 from n where i < 5000) select i from n;
select 3 as never
