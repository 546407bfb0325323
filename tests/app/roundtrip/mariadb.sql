-- The awkward values the exact round trip copies (roundtrip.sh): the table rtt_src, keyed by
-- id. Every INSERT names its columns, so a new column is added to CREATE TABLE and filled by rows
-- (or UPDATEs) of its own; the copy is made from rtt_src, the server compares the two. The binary
-- collation without padding has the server compare every byte, trailing blanks included. The
-- dates show that standard literals of the factory settings load.
CREATE TABLE rtt_src (id INTEGER PRIMARY KEY, short VARCHAR(100), body LONGTEXT, born DATE, seen DATETIME)
  CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin;
INSERT INTO rtt_src (id, short, body) VALUES
(1, 'it''s', 'plain'),
(2, 'cr\rlone', 'lf\nlone'),
(3, 'cr\r\nlf', '\r\n\r\n'),
(4, 'tab\there', '\nstarts and ends\r'),
(5, 'back\\slash\\', '\\n not a break \\'),
(6, 'Zürich 東京 😀', '😀\n𝄞\r\n'),
(7, CONCAT('ctrl ', CHAR(1, 8, 11, 12, 26, 27, 127 USING utf8mb4), ' end'), CHAR(31 USING utf8mb4)),
(8, '', NULL),
(9, NULL, 'semi;colon -- no comment /* nor */ GO\n\\q\n</METADATA*/ $$ '' ?'),
(10, 'pad  ', CONCAT(REPEAT('abcdefg\r\n', 40000), REPEAT('abcdefghi\n', 40000), REPEAT('abcdefghij\r', 20000))),
(11, REPEAT('''\\', 30), CONCAT(REPEAT('\n', 3000), REPEAT('''\\', 3000))),
(12, CONCAT('nul', CHAR(0 USING utf8mb4), 'inside'), CONCAT(CHAR(0 USING utf8mb4), '\n', CHAR(0 USING utf8mb4)));
INSERT INTO rtt_src (id, born, seen) VALUES (13, '1993-04-01', '1993-04-01 10:20:30');
