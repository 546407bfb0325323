/*TEXT>-- Marlix text case: one result converted in several ways
</TEXT*/
create table customers (id integer primary key, name varchar(40), city varchar(40), since date);
insert into customers values (1, 'O''Brien', 'Cork', '2024-02-29');
insert into customers values (2, 'Ann', NULL, NULL);
/*METADATA>
	<OPTIONS Syntax = "GENERIC"/>
	<RESULTSET Type = "INSERT", Source = "customers", Table = "customers_copy"/>
</METADATA*/
select id, name, city, since from customers order by id;
/*METADATA>
	<RESULTSET Type = "UPDATE", Source = "customers", Table = "customers">
		<KEYS>
			<KEY_id Field = "id"/>
		</KEYS>
	</RESULTSET>
</METADATA*/
select id, name, city from customers order by id;
/*METADATA>
	<RESULTSET Type = "DELETE", Table = "customers">
		<KEYS>
			<KEY_id Field = "id"/>
		</KEYS>
	</RESULTSET>
</METADATA*/
select id from customers order by id;
select id, name, city from customers order by id
