-- The awkward values the exact round trip copies (roundtrip.sh): the table rtt_src, keyed by
-- id. Every INSERT names its columns, so a new column is added to CREATE TABLE and filled by rows
-- (or UPDATEs) of its own; the copy is made from rtt_src, the server compares the two.
CREATE TABLE rtt_src (id INTEGER PRIMARY KEY, short VARCHAR(100), body TEXT);
INSERT INTO rtt_src (id, short, body) VALUES
(1, 'it''s', 'plain'),
(2, E'cr\rlone', E'lf\nlone'),
(3, E'cr\r\nlf', E'\r\n\r\n'),
(4, E'tab\there', E'\nstarts and ends\r'),
(5, 'back\slash\', E'\\n not a break \\'),
(6, 'Zürich 東京 😀', E'😀\n𝄞\r\n'),
(7, E'ctrl \x01\x08\x0b\x0c\x1a\x1b\x7f end', E'\x1f'),
(8, '', NULL),
(9, NULL, E'semi;colon -- no comment /* nor */ GO\n\\q\n</METADATA*/ $$ '' ?'),
(10, 'pad  ', repeat(E'abcdefg\r\n', 40000) || repeat(E'abcdefghi\n', 40000) || repeat(E'abcdefghij\r', 20000)),
(11, repeat('''\', 30), repeat(E'\n', 3000) || repeat('''\', 3000));
