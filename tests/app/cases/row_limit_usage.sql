select 1;
