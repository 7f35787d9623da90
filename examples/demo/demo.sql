-- The demo installation's database: access badges and articles that
-- terminals download. scripts/demo.sh builds Files/demo.db from this script.
CREATE TABLE AUSWEIS (
  AUSWEISNR   INTEGER PRIMARY KEY,
  NACHNAME    TEXT NOT NULL,
  VORNAME     TEXT,
  GUELTIG_BIS TEXT NOT NULL,
  TERMINAL    TEXT NOT NULL,
  GESPERRT    INTEGER NOT NULL DEFAULT 0
);
INSERT INTO AUSWEIS VALUES (4711, 'Zimmermann', 'Erika', '2027-06-30', 'ZutCtrl', 0);
INSERT INTO AUSWEIS VALUES (815, 'Becker', 'Jonas', '2026-12-31', 'ZutCtrl', 0);
INSERT INTO AUSWEIS VALUES (1203, 'Özdemir', 'Ayşe', '2027-03-31', 'ZutCtrl', 0);
INSERT INTO AUSWEIS VALUES (42, '  Albrecht', NULL, '2027-01-15', 'ZutCtrl', 0);
INSERT INTO AUSWEIS VALUES (9001, 'Keller', 'Paul', '2026-01-31', 'ZutCtrl', 1);
INSERT INTO AUSWEIS VALUES (3300, 'Hoffmann', 'Lena', '2027-09-30', 'Pforte2', 0);
INSERT INTO AUSWEIS VALUES (3301, 'Schulze-Wittenberg-Hausen', 'Maximilian', '2027-09-30', 'Pforte2', 0);

CREATE TABLE ARTIKEL (
  ARTNR       TEXT PRIMARY KEY,
  BEZEICHNUNG TEXT NOT NULL,
  PREIS_CENT  INTEGER NOT NULL,
  BESTAND     INTEGER NOT NULL,
  LAGERORT    TEXT
);
INSERT INTO ARTIKEL VALUES ('A-100', 'Schraube M6 verzinkt', 12, 15000, 'R01-03');
INSERT INTO ARTIKEL VALUES ('A-007', 'Mutter M6', 4, 32000, 'R01-04');
INSERT INTO ARTIKEL VALUES ('B-220', 'Winkel 90° Stahl', 189, -5, NULL);
INSERT INTO ARTIKEL VALUES ('C-001', 'Dübel 8 mm', 7, 8800, '  R02-01');
