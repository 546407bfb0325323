INSERT INTO marlix_sourced VALUES ('it\'s; sourced'), ("two");
