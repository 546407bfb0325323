select '😀😀😀' as first_one;
select 2 as second_one;
