-- A database of many kinds of objects, dumped with pg_dump and loaded back by marlix-cli.
CREATE TYPE mood AS ENUM ('sad', 'ok', 'happy');
CREATE DOMAIN positive AS integer CHECK (VALUE > 0);
CREATE SEQUENCE ticket_seq START 100 INCREMENT 5;
CREATE TABLE person (
    id serial PRIMARY KEY, name text NOT NULL, feeling mood, age positive, born date,
    seen timestamptz, score numeric(12,4), ratio double precision, active boolean,
    photo bytea, tags text[], extra jsonb, ticket integer DEFAULT nextval('ticket_seq'), note varchar(200));
CREATE TABLE audit (id bigserial PRIMARY KEY, person_id integer REFERENCES person(id), said text);
CREATE TABLE empty_one (a int, b text);
CREATE FUNCTION shout(t text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT upper(t) || '!' $$;
CREATE FUNCTION note_person() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
  INSERT INTO audit (person_id, said) VALUES (NEW.id, 'added; ' || NEW.name);
  RETURN NEW;
END $$;
CREATE TRIGGER person_added AFTER INSERT ON person FOR EACH ROW EXECUTE FUNCTION note_person();
CREATE VIEW happy_people AS SELECT id, shout(name) AS loud FROM person WHERE feeling = 'happy';
INSERT INTO person (name, feeling, age, born, seen, score, ratio, active, photo, tags, extra, note) VALUES
 ('Ann', 'happy', 31, '1993-02-28', '2024-02-29 23:59:59.123456+01', 1234.5678, 1e-300, true,
  '\x00ff0a0d5c09', ARRAY['a','b,c','d"e'], '{"k": [1, 2, {"x": null}]}', E'tab\there\nnew line\\back'),
 ('Bob', 'sad', 45, NULL, NULL, -0.0001, 'NaN', false, NULL, '{}', NULL, NULL),
 (E'Zoë \\N «quotes» ''x''', 'ok', 7, '2000-01-01', 'infinity', 0, 1.5, NULL, '\x', NULL, '[]', E'cr\r\nlf\\.\n\\.');
INSERT INTO person (name, note) SELECT 'bulk ' || g, repeat('x', g % 50) FROM generate_series(1, 2500) g;
COMMENT ON TABLE person IS 'people; with a semicolon';
