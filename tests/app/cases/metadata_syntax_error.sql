select 1 as first;
/*METADATA>
<RESULTSET Type = "UPDATE" Table = "t"/>
</METADATA*/
select 2 as second
