-- A data source name connects with SQLConnect whatever the type; the type chooses the rest.
select 'through the data source' as reached
