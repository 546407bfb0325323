select 1
