"""Tricky definition files, read by the Linux reader and by GetPrivateProfileStringA.

Each case is a whole KELVADOR.<DB>.INI and the section to read. The run uses
/D, so the statement read is traced; most statements are queries of literals
that run on any SQLite database, so the records also show the column layout
read (names enable columns, formats and widths shape the fields).
"""

from dataclasses import dataclass


@dataclass
class Case:
    name: str
    content: bytes
    section: str = "S"
    terminal: str = "T1"
    # The statement GetPrivateProfileStringA is known to give, where a case
    # pins it down; None leaves it to the comparison alone.
    expect_statement: bytes = None

    def arguments(self):
        return [self.section, self.terminal, "out.txt", "1", "/D"]


def statement(output):
    """The traced statement (between "  '" and "'\\n"), or None when none was traced."""
    marker = b"  >>>>> SQL-Statement <<<<<\n  '"
    start = output.find(marker)
    if start < 0:
        return None
    start += len(marker)
    end = output.find(b"'\nEnd GetIniValues\n", start)
    if end < 0:
        end = output.find(b"'\n", start)
    return output[start:end]


def trace(output):
    """The lines of the definition reader's trace, from its start to its end."""
    start = output.find(b"Str GetIniValues\n")
    if start < 0:
        return b""
    end = output.find(b"End GetIniValues\n", start)
    return output[start:] if end < 0 else output[start:end + len(b"End GetIniValues\n")]


LAYOUT = b"FELD01=A\nFTYP01=CHAR\nFLEN01=4\nFELD02=B\nFTYP02=TXT\nFLEN02=3\n"
LONG_LINE = b"SELECT '" + b"x" * 240 + b"'"

CASES = [
    Case("plain section, two statement lines",
         b"[S]\nSQL001=SELECT 'ab', 'cd'\nSQL002=FROM badge\n" + LAYOUT,
         expect_statement=b" SELECT 'ab', 'cd' FROM badge "),
    Case("double quotes around values",
         b"[S]\nSQL001=\"SELECT 'ab', 'cd'\"\nFELD01=\"A\"\nFTYP01=\"TXT\"\nFLEN01=\"4\"\n",
         expect_statement=b" SELECT 'ab', 'cd' "),
    # The profile call cuts the value to the buffer first and then drops the
    # closing quote, so "CHAR" in a buffer of 5 reads as CHA.
    Case("a quoted value that exactly fills its buffer",
         b"[S]\nSQL001=SELECT 'ab', 'cd'\nFELD01=A\nFTYP01=\"CHAR\"\nFLEN01=4\n"
         b"FELD02=B\nFTYP02=\"DEC\"\nFLEN02=\"12\"\n"),
    Case("single quotes around a value",
         b"[S]\nSQL001=SELECT 'ab',\nSQL002='cd'\n" + LAYOUT),
    Case("a quote at one end only", b"[S]\nSQL001=\"SELECT 'ab', 'cd'\n" + LAYOUT),
    Case("blanks inside quotes are kept", b"[S]\nSQL001=\"  SELECT 'ab', 'cd'  \"\n" + LAYOUT),
    Case("a value of two quotes disables the column",
         b"[S]\nSQL001=SELECT 'ab', 'cd'\nFELD01=\"\"\nFTYP01=CHAR\nFLEN01=4\n"
         b"FELD02=B\nFTYP02=CHAR\nFLEN02=2\n"),
    Case("blanks and tabs around names and values",
         b"[S]\n  SQL001  =   SELECT 'ab', 'cd'   \n\tFELD01\t=\tA\t\n FTYP01 = CHAR \n"
         b"FLEN01 =  6\n",
         expect_statement=b" SELECT 'ab', 'cd' "),
    Case("blanks inside the brackets of the section", b"[ S ]\nSQL001=SELECT 'ab', 'cd'\n" + LAYOUT),
    Case("text after the closing bracket", b"[S] more\nSQL001=SELECT 'ab', 'cd'\n" + LAYOUT),
    Case("section line without closing bracket",
         b"[S\nSQL001=SELECT 'no'\n[S]\nSQL001=SELECT 'ab', 'cd'\n" + LAYOUT),
    Case("comment lines and a semicolon inside a value",
         b"; leading comment\n[S]\n;SQL002=FROM nowhere\nSQL001=SELECT 'ab', 'cd' ; tail\n"
         b"# hash line\n" + LAYOUT),
    Case("a commented-out line in the middle of the statement",
         b"[S]\nSQL001=SELECT 'ab',\n;SQL002=broken\nSQL002='cd'\n" + LAYOUT),
    Case("duplicate sections",
         b"[S]\nSQL001=SELECT 'first', 'x'\nFELD01=A\nFTYP01=CHAR\nFLEN01=5\n"
         b"[OTHER]\nSQL001=SELECT 'other'\n"
         b"[S]\nSQL001=SELECT 'second', 'y'\nSQL002=, 'z'\nFELD02=B\nFTYP02=CHAR\nFLEN02=3\n"),
    Case("duplicate keys in one section",
         b"[S]\nSQL001=SELECT 'first', 'x'\nSQL001=SELECT 'second', 'y'\nFLEN01=7\n" + LAYOUT),
    Case("upper and lower case section and key names",
         b"[s]\nsql001=SELECT 'ab', 'cd'\nSql002=, 'ef'\nfeld01=A\nftyp01=CHAR\nFlen01=5\n"
         b"feld02=b\nftyp02=char\nflen02=3\n"),
    Case("section asked for in lower case", b"[ABC]\nSQL001=SELECT 'ab', 'cd'\n" + LAYOUT,
         section="abc"),
    Case("long values are cut: statement 199, width 3, format 4",
         b"[S]\nSQL001=" + LONG_LINE + b"\nSQL002=, 'tail'\nFELD01=" + b"N" * 150 +
         b"\nFTYP01=CHARX\nFLEN01=1234\nFELD02=B\nFTYP02=DEC\nFLEN02=12x\n"),
    Case("CR LF line ends", (b"[S]\nSQL001=SELECT 'ab', 'cd'\nSQL002=FROM badge\n" + LAYOUT)
         .replace(b"\n", b"\r\n"), expect_statement=b" SELECT 'ab', 'cd' FROM badge "),
    Case("mixed LF and CR LF line ends",
         b"[S]\r\nSQL001=SELECT 'ab',\nSQL002='cd'\r\n" + LAYOUT),
    Case("UTF-8 byte order mark before the first section",
         b"\xef\xbb\xbf[S]\nSQL001=SELECT 'ab', 'cd'\n" + LAYOUT),
    Case("lines without '='",
         b"[S]\nSQL001=SELECT 'ab', 'cd'\nSQL002\nSQL003=FROM badge\nFELD01\nFELD02=B\n"
         b"FTYP02=CHAR\nFLEN02=2\n"),
    Case("a gap in the statement numbers ends the statement",
         b"[S]\nSQL001=SELECT 'ab', 'cd'\nSQL003=FROM badge\n" + LAYOUT,
         expect_statement=b" SELECT 'ab', 'cd' "),
    Case("an empty statement line ends the statement",
         b"[S]\nSQL001=SELECT 'ab', 'cd'\nSQL002=\nSQL003=FROM badge\n" + LAYOUT),
    Case("a value holding '='", b"[S]\nSQL001=SELECT 1=1, 'cd'\n" + LAYOUT,
         expect_statement=b" SELECT 1=1, 'cd' "),
    Case("keys before the first section and blank lines",
         b"SQL001=SELECT 'nosection'\n\n\n[S]\n\nSQL001=SELECT 'ab', 'cd'\n\n" + LAYOUT),
    Case("empty section name", b"[]\nSQL001=SELECT 'empty'\n[S]\nSQL001=SELECT 'ab', 'cd'\n"
         + LAYOUT),
    Case("last line without a line end", b"[S]\nFELD01=A\nFTYP01=CHAR\nFLEN01=4\n"
         b"SQL001=SELECT 'ab', 'cd'"),
    Case("Latin-1 letters pass unchanged", b"[S]\nSQL001=SELECT 'M\xfcller', '\xe9t\xe9'\n"
         + LAYOUT),
    Case("placeholder replaced, also back to back",
         b"[S]\nSQL001=SELECT '$parm01', '$parm01$parm01'\n" + LAYOUT, terminal="AB$parm01"),
    Case("section not in the file: status 3", b"[OTHER]\nSQL001=SELECT 'ab'\n"),
    Case("section without SQL001: status 3", b"[S]\nSQL002=SELECT 'ab'\n" + LAYOUT),
    Case("empty file: status 3", b""),
]
