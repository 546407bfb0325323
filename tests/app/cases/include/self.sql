.read self.sql
