/*METADATA><RESULTSET Table = "t", x = "a""b"><keys></keys></RESULTSET></METADATA*/ select 1;
/*METADATA><A x = "1" y = "2"/></METADATA*/ select 2