-- Creates the benchmark table in the current database (byte-oriented
-- SQL_ASCII, so that text functions count bytes as kelvador's widths do);
-- the rows come from the SQLite file as CSV on standard input.
DROP TABLE IF EXISTS bench_rows;
CREATE TABLE bench_rows (
  id bigint PRIMARY KEY,
  name text NOT NULL,
  amount numeric(12, 2) NOT NULL,
  day text NOT NULL,
  note text,
  code text NOT NULL
);
