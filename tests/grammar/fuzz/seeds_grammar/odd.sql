-- comment
SELECT a FROM t
/*metadata><X a="1" b/></metadata*/ SELECT /*TEXT>x</text*/