/*TEXT>-- Marlix demo: the rows of the demo database turned into scripts for other servers
</TEXT*/
/*METADATA>
	<OPTIONS Syntax = "MSSQL"/>
	<RESULTSET Type = "INSERT", Source = "customers", Table = "customers"/>
</METADATA*/
SELECT id, name, city, email, joined_on FROM customers ORDER BY id;
/*TEXT>
-- prices brought up to date on the target, by key
</TEXT*/
/*METADATA>
	<RESULTSET Type = "UPDATE", Source = "products", Table = "products">
		<KEYS>
			<KEY_id Field = "id"/>
		</KEYS>
	</RESULTSET>
</METADATA*/
SELECT id, name, price FROM products WHERE discontinued_on IS NULL ORDER BY id;
/*TEXT>
-- discontinued products removed from the target
</TEXT*/
/*METADATA>
	<RESULTSET Type = "DELETE", Source = "products", Table = "products">
		<KEYS>
			<KEY_id Field = "id"/>
		</KEYS>
	</RESULTSET>
</METADATA*/
SELECT id FROM products WHERE discontinued_on IS NOT NULL;
/*TEXT>
-- open orders, as a plain result table
</TEXT*/
SELECT o.id, c.name, o.ordered_at, o.total, o.note
FROM orders o JOIN customers c ON c.id = o.customer_id
WHERE o.shipped_on IS NULL
ORDER BY o.id;
