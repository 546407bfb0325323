/*TEXT>-- only text, nothing sent
</TEXT*/
go
select 'GO' as word
GO
select 'x -- y /* z */' as literal -- trailing comment
go
