create table t (a integer, b varchar(10));
create table log (msg varchar(20));
DELIMITER //
create trigger t_ins after insert on t begin
  insert into log values ('added; ' || new.a);
  insert into log values ('second');
end//
insert into t values (1, 'x')//
delimiter ;
insert into t values (2, 'y;z'); select msg from log order by msg;
select count(*) as rows_in_t from t
go
