-- A database of tables, a view, a procedure and a trigger, dumped with mariadb-dump.
CREATE TABLE person (id int AUTO_INCREMENT PRIMARY KEY, name varchar(80) NOT NULL, born date,
  seen datetime(6), score decimal(12,4), ratio double, active tinyint(1), photo blob, note text,
  KEY by_name (name)) DEFAULT CHARSET=utf8mb4;
CREATE TABLE audit (id bigint AUTO_INCREMENT PRIMARY KEY, person_id int, said varchar(200),
  FOREIGN KEY (person_id) REFERENCES person(id));
CREATE TABLE empty_one (a int, b text);
CREATE VIEW active_people AS SELECT id, upper(name) AS loud FROM person WHERE active = 1;
DELIMITER //
CREATE PROCEDURE count_people(OUT n int) BEGIN SELECT COUNT(*) INTO n FROM person; END//
CREATE TRIGGER person_added AFTER INSERT ON person FOR EACH ROW
BEGIN
  INSERT INTO audit (person_id, said) VALUES (NEW.id, CONCAT('added; ', NEW.name));
END//
DELIMITER ;
INSERT INTO person (name, born, seen, score, ratio, active, photo, note) VALUES
 ('Ann', '1993-02-28', '2024-02-29 23:59:59.123456', 1234.5678, 1e-300, 1, X'00FF0A0D5C2709', 'tab\there\nnew line\\back'),
 ('Bob', NULL, NULL, -0.0001, NULL, 0, NULL, NULL),
 ('Zoë «quotes» ''x'' \\N', '2000-01-01', '1999-12-31 00:00:00', 0, 1.5, NULL, '', 'semi; colon */ /* x');
INSERT INTO person (name, note) SELECT CONCAT('bulk ', seq), REPEAT('x', seq % 50) FROM seq_1_to_2500;
