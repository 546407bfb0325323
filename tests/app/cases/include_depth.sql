.read include/self.sql
