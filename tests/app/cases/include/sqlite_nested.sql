insert into t values (2, 'nested; with a semicolon'),
  (3, '.read inside a statement is no command');
