-- Test tables of the schema VTSYSTEM. Loaded into the throwaway PostgreSQL
-- server (inside CREATE SCHEMA vtsystem) and into the SQLite file behind the
-- ODBC SQLite data source, so it keeps to SQL both databases read alike.

CREATE TABLE article (
  art_no INTEGER NOT NULL PRIMARY KEY,
  terminal VARCHAR(10) NOT NULL,
  name VARCHAR(200),
  qty INTEGER
);

INSERT INTO article VALUES (1, 'T01', 'Schraube M4', 100);
INSERT INTO article VALUES (2, 'T01', 'Mutter M4', 250);
INSERT INTO article VALUES (3, 'T02', 'Unterlegscheibe', 75);
INSERT INTO article VALUES (4, 'T01', NULL, 5);
INSERT INTO article VALUES (5, 'T02', 'Müller Straße ÄÖÜ €', 1);

-- Texts at the 100-byte limit of a slot and one byte over it.
CREATE TABLE long_text (
  id INTEGER NOT NULL PRIMARY KEY,
  txt VARCHAR(300) NOT NULL
);

INSERT INTO long_text VALUES (100, '1234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890');
INSERT INTO long_text VALUES (101, '12345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901');
-- 50 two-byte characters: 100 bytes.
INSERT INTO long_text VALUES (200, 'ääääääääääääääääääääääääääääääääääääääääääääääääää');
