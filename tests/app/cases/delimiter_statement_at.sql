DELIMITER $$
select 1 as first$$
select 'caret' as second$$
DELIMITER ;
select 4 as fourth;
