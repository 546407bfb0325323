select 1 as n union all select 2 union all select 3;
