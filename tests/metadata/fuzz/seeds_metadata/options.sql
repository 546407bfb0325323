/*metadata><options syntax = "oracle"/></metadata*/
select a, b from t1 join t2 on t1.x = t2.x go
/*TEXT>header</TEXT*/ select * from t3;;
-- go ;
select 'go;' from dual GO