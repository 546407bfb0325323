select 1 as first,
.5 as continued;
  .mode csv
select 'not reached';
