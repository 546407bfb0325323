/*TEXT>-- a generated SQLite script of grouped INSERTs in transactions and upserts runs with autocommit on
</TEXT*/
create table items_copy (id integer primary key, name varchar(20), note text);
BEGIN;
INSERT INTO items_copy (id, name, note)
VALUES(1, 'O''Brien', 'first'),
(2, 'Ann', NULL);
COMMIT;
BEGIN;
INSERT INTO items_copy (id, name, note)
VALUES(3, NULL, 'third');
COMMIT;
INSERT INTO items_copy (id, name, note)
VALUES(2, 'Ann', 'second')
ON CONFLICT (id) DO UPDATE SET name = EXCLUDED.name, note = EXCLUDED.note;
INSERT INTO items_copy (id, name, note)
VALUES(4, 'Kim', NULL)
ON CONFLICT (id) DO UPDATE SET name = EXCLUDED.name, note = EXCLUDED.note;
select id, name, substr(note, 1, 20) as note from items_copy order by id
