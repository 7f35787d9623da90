-- Builds the benchmark table bench_rows with @n rows (set by the caller with
-- ".parameter set @n N"). Every value follows from the row's key through a
-- multiplicative hash, so the same N gives the same file on every machine.
-- Values are kept at most 100 bytes, the longest item one fetch slot holds.
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
DROP TABLE IF EXISTS bench_rows;
CREATE TABLE bench_rows (
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  amount REAL NOT NULL,
  day TEXT NOT NULL,
  note TEXT,
  code TEXT NOT NULL
);
CREATE TEMP TABLE first_names (i INTEGER PRIMARY KEY, v TEXT);
INSERT INTO first_names VALUES
  (0, 'Anna'), (1, 'Jürgen'), (2, 'Zoë'), (3, 'Łukasz'), (4, 'Søren'),
  (5, 'Ángel'), (6, 'Bo'), (7, 'Maximilian'), (8, '李娜'), (9, 'Ólafur'),
  (10, 'Ève'), (11, 'Χρήστος'), (12, 'Ян'), (13, 'Françoise'), (14, 'Ali'),
  (15, 'Kristiina');
CREATE TEMP TABLE last_names (i INTEGER PRIMARY KEY, v TEXT);
INSERT INTO last_names VALUES
  (0, 'Müller'), (1, 'Ødegård'), (2, 'Schmidt'), (3, 'Straßburger'), (4, 'Ng'),
  (5, 'García Márquez'), (6, '山田'), (7, 'Nowak'), (8, 'Żółkiewski'), (9, 'Öztürk'),
  (10, 'Van der Berg'), (11, 'Иванова'), (12, 'Lee'), (13, 'Dubois-Lefèvre'),
  (14, 'Papadopoulos'), (15, 'Åberg');
CREATE TEMP TABLE note_words (i INTEGER PRIMARY KEY, v TEXT);
INSERT INTO note_words VALUES
  (0, 'Lieferung'), (1, 'geprüft'), (2, 'offen'), (3, 'Rückfrage'), (4, 'ok'),
  (5, 'Zahlung'), (6, 'fällig'), (7, 'storniert'), (8, 'Übergabe'), (9, 'Lager'),
  (10, 'naïve'), (11, 'café'), (12, 'über'), (13, 'Teil'), (14, 'Größe'), (15, 'x');

INSERT INTO bench_rows (id, name, amount, day, note, code)
WITH RECURSIVE
  seq(id) AS (SELECT 1 UNION ALL SELECT id + 1 FROM seq WHERE id < @n),
  hashed(id, h) AS (SELECT id, (id * 2654435761) % 4294967296 FROM seq)
SELECT
  id,
  -- Leading blanks on some names, a trailing blank and tab on others, and a
  -- double-barrelled surname now and then so that some names pass 30 bytes.
  CASE WHEN h % 10 = 0 THEN '  ' ELSE '' END
    || (SELECT v FROM first_names WHERE i = (h >> 3) % 16) || ' '
    || (SELECT v FROM last_names WHERE i = (h >> 7) % 16)
    || CASE WHEN h % 7 = 0 THEN '-' || (SELECT v FROM last_names WHERE i = (h >> 11) % 16) ELSE '' END
    || CASE WHEN h % 5 = 0 THEN ' ' || char(9) ELSE '' END,
  ((h >> 2) % 20000001 - 10000000) / 100.0,
  date('2000-01-01', '+' || ((h >> 5) % 9000) || ' days'),
  CASE WHEN h % 9 = 0 THEN NULL ELSE
    (SELECT v FROM note_words WHERE i = (h >> 13) % 16) || ' '
    || (SELECT v FROM note_words WHERE i = (h >> 17) % 16) || ' '
    || (SELECT v FROM note_words WHERE i = (h >> 21) % 16) || ' Nr. ' || (h % 100000)
    || CASE WHEN (h >> 6) % 3 = 0 THEN ' ' || (SELECT v FROM note_words WHERE i = (h >> 25) % 16)
         || ' ' || (SELECT v FROM note_words WHERE i = (h >> 9) % 16) || ' Vorgang abgeschlossen' ELSE '' END
    || CASE WHEN (h >> 4) % 4 = 0 THEN '  ' || char(9) ELSE '' END
  END,
  substr('   ', 1, (h >> 8) % 4) || 'K' || printf('%06d', h % 1000000)
FROM hashed;
