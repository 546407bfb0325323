select 1 as first;
.read include/no_such_file.sql
