-- The same records as the BENCH section, built by SQL alone: what a shell user
-- would write instead of kelvador. Widths count bytes, so every value is cast
-- to BLOB before it is cut (substr and length count characters on TEXT), and
-- printf pads by bytes. NULL gives the empty value; blanks and tabs are trimmed.
--   CHAR: trim both ends, keep the rightmost w bytes, pad blanks on the right
--   DEC:  trim both ends, keep the rightmost w bytes, pad zeros on the left
--   TXT:  trim the right end only, otherwise as CHAR
SELECT
  printf('%-30s', substr(CAST(trim(coalesce(name, ''), ' ' || char(9)) AS BLOB), -30))
  || substr(CAST('0000000000' || trim(coalesce(id, ''), ' ' || char(9)) AS BLOB), -10)
  || substr(CAST('000000000000' || trim(coalesce(amount, ''), ' ' || char(9)) AS BLOB), -12)
  || printf('%-10s', substr(CAST(trim(coalesce(day, ''), ' ' || char(9)) AS BLOB), -10))
  || printf('%-12s', substr(CAST(rtrim(coalesce(code, ''), ' ' || char(9)) AS BLOB), -12))
  || printf('%-46s', substr(CAST(rtrim(coalesce(note, ''), ' ' || char(9)) AS BLOB), -46))
FROM bench_rows;
