/*METADATA><RESULTSET Type = "abc/>
select * from t