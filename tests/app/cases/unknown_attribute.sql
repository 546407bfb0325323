/*METADATA>
	<RESULTSET Type = "INSERT", Table = "t", CommitEvry = "1">
		<KEYS>
			<KEY_n Field = "n", Feild = "n"/>
		</KEYS>
	</RESULTSET>
</METADATA*/
SELECT 1 AS n;
