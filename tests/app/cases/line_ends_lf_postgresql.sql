/*TEXT>-- Marlix text case: the script's LF line ends reach PostgreSQL as they are
-- (a two-line literal and a function's dynamic SQL store 0A, as psql -f stores them)
</TEXT*/
drop table if exists marlix_lf_lines;
drop function if exists marlix_lf_report(text);
create table marlix_lf_lines (v varchar(20));
insert into marlix_lf_lines values ('a
b');
select cast(encode(convert_to(v, 'UTF8'), 'hex') as varchar(64)) as bytes from marlix_lf_lines;
create function marlix_lf_report(tab text) returns text language plpgsql as $$
begin
  return 'select *
from ' || tab;
end $$;
select cast(encode(convert_to(marlix_lf_report('t'), 'UTF8'), 'hex') as varchar(64)) as bytes;
drop function marlix_lf_report(text);
drop table marlix_lf_lines;
