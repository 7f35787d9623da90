-- The same records as the BENCH section, built by SQL alone on PostgreSQL, for
-- psql "\copy (...) TO STDOUT". The query must stay on the one line below
-- (\copy takes the rest of its line); bench/run.sh drops these comment lines.
-- The benchmark database is SQL_ASCII, so right(), rpad() and length count
-- bytes as kelvador's widths do. CHAR trims both ends and pads blanks, DEC
-- pads zeros on the left, TXT trims the right end only; all keep the
-- rightmost bytes when cutting. NULL gives the empty value.
SELECT rpad(right(btrim(coalesce(name::text, ''), E' \t'), 30), 30) || right(repeat('0', 10) || btrim(coalesce(id::text, ''), E' \t'), 10) || right(repeat('0', 12) || btrim(coalesce(amount::text, ''), E' \t'), 12) || rpad(right(btrim(coalesce(day::text, ''), E' \t'), 10), 10) || rpad(right(rtrim(coalesce(code::text, ''), E' \t'), 12), 12) || rpad(right(rtrim(coalesce(note::text, ''), E' \t'), 46), 46) FROM bench_rows
