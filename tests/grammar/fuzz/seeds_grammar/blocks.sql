/*METADATA>
	<OPTIONS Syntax = "MSSQL"/>
	<RESULTSET Type = "UPDATE", Source = "dbo.t", Table = "t">
		<KEYS>
			<KEY_ID Field = "id"/>
		</KEYS>
	</RESULTSET>
</METADATA*/
SELECT id, name FROM dbo.t
/*TEXT>-- header
</TEXT*/
select * from t -- done
