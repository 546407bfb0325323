/*TEXT>-- a TEXT block alone is printed and sends nothing, so it ends no history entry
</TEXT*/;
/*TEXT>before the result: </TEXT*/ select 1 as one;
select 'GO' as a
Go
select 2 as b
gO
select 'x go y' as c;
;
