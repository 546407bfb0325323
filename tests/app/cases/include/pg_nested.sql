INSERT INTO marlix_included VALUES ('nested, with CR LF line ends');
