-- The awkward values the exact round trip copies (roundtrip.sh): the table rtt_src, keyed by
-- id. Every INSERT names its columns, so a new column is added to CREATE TABLE and filled by rows
-- (or UPDATEs) of its own; the copy is made from rtt_src, the server compares the two.
-- replace(hex(zeroblob(n)), '00', x) repeats x n times.
CREATE TABLE rtt_src (id INTEGER PRIMARY KEY, short VARCHAR(100), body TEXT);
INSERT INTO rtt_src (id, short, body) VALUES
(1, 'it''s', 'plain'),
(2, 'cr' || char(13) || 'lone', 'lf' || char(10) || 'lone'),
(3, 'cr' || char(13, 10) || 'lf', char(13, 10, 13, 10)),
(4, 'tab' || char(9) || 'here', char(10) || 'starts and ends' || char(13)),
(5, 'back\slash\', '\n not a break \'),
(6, 'Zürich 東京 😀', '😀' || char(10) || '𝄞' || char(13, 10)),
(7, 'ctrl ' || char(1, 8, 11, 12, 26, 27, 127) || ' end', char(31)),
(8, '', NULL),
(9, NULL, 'semi;colon -- no comment /* nor */ GO' || char(10) || '\q' || char(10) || '</METADATA*/ $$ '' ?'),
(10, 'pad  ', replace(hex(zeroblob(40000)), '00', 'abcdefg' || char(13, 10))
  || replace(hex(zeroblob(40000)), '00', 'abcdefghi' || char(10))
  || replace(hex(zeroblob(20000)), '00', 'abcdefghij' || char(13))),
(11, replace(hex(zeroblob(30)), '00', '''\'), replace(hex(zeroblob(3000)), '00', char(10))
  || replace(hex(zeroblob(3000)), '00', '''\'));
