/*TEXT>-- Marlix text case: the script's CR LF line ends reach PostgreSQL as they are
-- (a two-line literal and a function's dynamic SQL store 0D0A, as psql -f stores them)
</TEXT*/
drop table if exists marlix_crlf_lines;
drop function if exists marlix_crlf_report(text);
create table marlix_crlf_lines (v varchar(20));
insert into marlix_crlf_lines values ('a
b');
select cast(encode(convert_to(v, 'UTF8'), 'hex') as varchar(64)) as bytes from marlix_crlf_lines;
create function marlix_crlf_report(tab text) returns text language plpgsql as $$
begin
  return 'select *
from ' || tab;
end $$;
select cast(encode(convert_to(marlix_crlf_report('t'), 'UTF8'), 'hex') as varchar(64)) as bytes;
drop function marlix_crlf_report(text);
drop table marlix_crlf_lines;
