-- --autocommit on keeps each statement's work for this run, whatever the type's setting.
create table kept (id integer);
insert into kept values (1);
