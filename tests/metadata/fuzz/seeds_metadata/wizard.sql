/*METADATA>
	<OPTIONS Syntax = "MSSQL"/>
	<RESULTSET Type = "UPDATE", Source = "sysdatabases", Table = "sysdatabases">
		<KEYS>
			<KEY_name Field = "name"/>
		</KEYS>
	</RESULTSET>
</METADATA*/

SELECT * FROM sysdatabases;
