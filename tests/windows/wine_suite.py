#!/usr/bin/env python3
"""End-to-end cases for KELVADOR.EXE under Wine, each compared with the Linux build.

Both builds run the same case in the same kind of installation tree
(ROOT/Files/Vantorium.Ini, working folder ROOT/work/app). Only standard output,
the exit status and the download file are compared: Wine writes its own
diagnostics on standard error. Two differences are expected and nothing else:

  * The Windows console stream is in text mode, so every line feed the program
    prints arrives as CR LF. Standard output of the Windows build must equal
    the Linux output with each LF replaced by CR LF.
  * The download file is written in text mode on Windows, so a line feed inside
    a record is written as CR LF. The file must equal the Linux file with each
    LF replaced by CR LF; cases whose records hold a line feed say so.

The Windows build reaches SQLite through Wine's odbc32, which hands the calls
to the machine's unixODBC and the 32-bit SQLite ODBC driver. The Linux build
reaches the same database file through the 64-bit driver of the same data
source name, so both builds see the same conversions; one case also checks the
Linux build's native "sqlite:" route against the Windows build.

Usage: wine_suite.py --exe KELVADOR.EXE --linux-bin DIR [--keep]
Exits 1 when any case fails; the last line reads "N passed, N failed".
"""

import argparse
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import definition_cases

DSN = "KELVADOR_WINE"
DB_SYSTEM = "SQLITE"
WINE_TIMEOUT = 60

USAGE = (b"Befehlsformat: \n"
         b"KELVADOR.EXE Sektionsname Terminalname Zieldatei 0/1 \n"
         b"\n"
         b"Sektionsname : Name der Sektion in der Ini-Datei     \n"
         b"Terminalname : Parameter fuer das SQL-Statement      \n"
         b"Zieldatei    : Dateiname der Ausgabedatei            \n"
         b"RepaceFlag   : 0= Anhaengen, 1= Ersetzen             \n"
         b"\n"
         b"Beispiel:\n"
         b"KELVADOR.EXE KVDNL31P ZutCtrl kvdnl31p.txt 1\n"
         b"\n")

SCHEMA = """
CREATE TABLE badge (nr INTEGER, name TEXT, note TEXT, amount REAL);
INSERT INTO badge VALUES (3, 'Carla', 'three', 12.5);
INSERT INTO badge VALUES (1, 'Anton', 'one', 7);
INSERT INTO badge VALUES (2, '  Berta ', 'line one
line two', -3.25);
INSERT INTO badge VALUES (4, 'Dora', NULL, NULL);
INSERT INTO badge VALUES (5, 'Emil', 'tab	inside', 0);
CREATE TABLE empty_table (a TEXT);
"""

BADGE_DEFINITION = b"""[BADGES]
SQL001=SELECT nr, name, note, amount
SQL002=FROM badge
SQL003=WHERE name <> '$parm01'
FELD01=NR
FTYP01=DEC
FLEN01=4
FELD02=NAME
FTYP02=CHAR
FLEN02=8
FELD03=NOTE
FTYP03=TXT
FLEN03=20
FELD04=AMOUNT
FTYP04=DEC
FLEN04=7

[TEXT_ONLY]
SQL001=SELECT name, CAST(nr AS TEXT) FROM badge
SQL002=WHERE instr(note, char(10)) = 0
FELD01=NAME
FTYP01=CHAR
FLEN01=6
FELD02=NR
FTYP02=DEC
FLEN02=3

[NONE]
SQL001=SELECT a FROM empty_table
FELD01=A
FTYP01=CHAR
FLEN01=3

[MANY]
SQL001=WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40000)
SQL002=SELECT printf('%08d', (i * 7919) % 40009), printf('%d', i), 'line' || char(10) FROM n
FELD01=KEY
FTYP01=CHAR
FLEN01=8
FELD02=NR
FTYP02=DEC
FLEN02=30
FELD03=END
FTYP03=TXT
FLEN03=6

[BROKEN]
SQL001=SELECT nothing FROM no_such_table
FELD01=A
FTYP01=CHAR
FLEN01=3
"""


def crlf(data):
    """What a text-mode stream makes of `data` on Windows."""
    return data.replace(b"\n", b"\r\n")


def show(data, limit=2000):
    text = repr(data)
    return text if len(text) <= limit else text[:limit] + "..."


class Suite:
    def __init__(self, exe, linux_bin, scratch):
        self.exe = exe
        self.linux_kelvador = str(Path(linux_bin) / "kelvador")
        self.linux_settings = str(Path(linux_bin) / "kelvador-settings")
        self.windows_settings = str(Path(exe).parent / "kelvador-settings.exe")
        self.scratch = scratch
        self.passed = 0
        self.failed = 0
        self.database = scratch / "vtsystem.sqlite"
        self.count = 0
        self._make_database()
        self.linux_env, self.wine_env = self._environments()

    # --- set-up -----------------------------------------------------------

    def _make_database(self):
        connection = sqlite3.connect(self.database)
        connection.executescript(SCHEMA)
        connection.commit()
        connection.close()

    def _environments(self):
        base = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "ODBCINI", "ODBCSYSINI")}
        envs = []
        for name, arch in (("odbc-linux", "x86_64-linux-gnu"), ("odbc-wine", "i386-linux-gnu")):
            folder = self.scratch / name
            folder.mkdir()
            (folder / "odbcinst.ini").write_text(
                "[SQLite3]\nDescription=SQLite3 ODBC driver\n"
                f"Driver=/usr/lib/{arch}/odbc/libsqlite3odbc.so\n")
            (folder / "odbc.ini").write_text(
                f"[{DSN}]\nDriver=SQLite3\nDatabase={self.database}\nNoCreat=1\n")
            env = dict(base, ODBCSYSINI=str(folder), ODBCINI=str(folder / "odbc.ini"))
            envs.append(env)
        linux_env, wine_env = envs
        wine_env.update(WINEPREFIX=str(self.scratch / "wineprefix"), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        return linux_env, wine_env

    def start_wine(self):
        """Creates the prefix and keeps one wineserver for all cases."""
        started = time.time()
        Path(self.wine_env["WINEPREFIX"]).mkdir()
        subprocess.run(["wineserver", "-p"], env=self.wine_env, check=True)
        status, out, err = self.wine(["cmd", "/c", "echo", "ready"], self.scratch, timeout=180)
        if b"ready" not in out:
            sys.exit("wine does not run without a display: "
                     + err.decode(errors="replace")[-2000:])
        print(f"wine prefix ready in {time.time() - started:.1f} s", flush=True)

    def stop_wine(self):
        subprocess.run(["wineserver", "-k"], env=self.wine_env, capture_output=True)

    def installation(self, settings=None, definition=None, settings_crlf=False,
                     settings_writer="linux"):
        """A fresh tree; `settings` maps keys to values written by kelvador-settings."""
        self.count += 1
        root = self.scratch / f"inst{self.count:03d}"
        work = root / "work" / "app"
        work.mkdir(parents=True)
        (root / "Files").mkdir()
        settings_file = root / "Files" / "Vantorium.Ini"
        for key, value in (settings or {}).items():
            if settings_writer == "windows":
                status, _, err = self.wine([self.windows_settings, "set",
                                            "..\\..\\Files\\Vantorium.Ini", key, "-"],
                                           work, input_bytes=value.encode())
            else:
                result = subprocess.run([self.linux_settings, "set", str(settings_file), key, "-"],
                                        input=value.encode(), capture_output=True, cwd=root)
                status, err = result.returncode, result.stderr
            if status != 0:
                raise RuntimeError(f"kelvador-settings set {key} failed: {err!r}")
        if settings_crlf and settings_file.exists():
            settings_file.write_bytes(crlf(settings_file.read_bytes().replace(b"\r\n", b"\n")))
        if definition is not None:
            (work / f"KELVADOR.{DB_SYSTEM}.INI").write_bytes(definition)
        # A short name for the database, for NET8 texts of at most 41 characters.
        (root / "vt.sqlite").symlink_to(self.database)
        return root, work

    def dsn_settings(self, net8=DSN):
        return {"NET8": net8, "LOGIN": "vt", "PASS": "secret", "DB_SYSTEM": DB_SYSTEM}

    # --- running ----------------------------------------------------------

    def run_linux(self, args, cwd, environment=None):
        result = subprocess.run([self.linux_kelvador] + args, cwd=cwd,
                                env=dict(self.linux_env, **(environment or {})),
                                capture_output=True, timeout=WINE_TIMEOUT)
        return result.returncode, result.stdout

    def wine(self, args, cwd, timeout=WINE_TIMEOUT, environment=None, input_bytes=b""):
        """Runs `wine args`; returns exit status, standard output and standard error.

        The output goes through files, not pipes: Wine's own background
        processes inherit the streams and would keep a pipe open.
        """
        with tempfile.TemporaryFile() as given, tempfile.TemporaryFile() as out, \
                tempfile.TemporaryFile() as err:
            given.write(input_bytes)
            given.seek(0)
            result = subprocess.run(["wine"] + args, cwd=cwd,
                                    env=dict(self.wine_env, **(environment or {})),
                                    stdin=given, stdout=out, stderr=err,
                                    timeout=timeout)
            out.seek(0)
            err.seek(0)
            return result.returncode, out.read(), err.read()

    def run_windows(self, args, cwd, environment=None):
        status, out, _ = self.wine([self.exe] + args, cwd, environment=environment)
        return status, out

    # --- reporting --------------------------------------------------------

    def check(self, name, problems, note=""):
        if problems:
            self.failed += 1
            print(f"FAIL {name}")
            for problem in problems:
                print(f"     {problem}")
        else:
            self.passed += 1
            print(f"ok   {name}" + (f"  ({note})" if note else ""))
        sys.stdout.flush()

    def compare_console(self, linux, windows, problems):
        (linux_status, linux_out), (windows_status, windows_out) = linux, windows
        if windows_status != linux_status:
            problems.append(f"exit status: Windows {windows_status}, Linux {linux_status}")
        if windows_out != crlf(linux_out):
            problems.append("standard output differs beyond CR LF line ends:")
            problems.append(f"  Windows: {show(windows_out)}")
            problems.append(f"  Linux:   {show(linux_out)}")

    def compare_download(self, linux_file, windows_file, problems):
        linux_data = linux_file.read_bytes() if linux_file.exists() else None
        windows_data = windows_file.read_bytes() if windows_file.exists() else None
        if linux_data is None or windows_data is None:
            if linux_data is not windows_data:
                problems.append(f"download file exists: Windows {windows_data is not None}, "
                                f"Linux {linux_data is not None}")
            return ""
        if windows_data != crlf(linux_data):
            problems.append("download file differs beyond CR LF line ends:")
            problems.append(f"  Windows: {show(windows_data)}")
            problems.append(f"  Linux:   {show(linux_data)}")
            return ""
        if b"\n" in linux_data:
            return "download file equal with each LF written as CR LF (text mode)"
        return "download file identical"

    def both(self, name, args, settings=None, definition=None, settings_crlf=False,
             target=None, existing=None, expect_status=None, expect_out=None,
             expect_in_out=None, linux_settings=None, environment=None,
             settings_writer="linux"):
        """Runs one case with both builds in separate, equal installations."""
        problems = []
        runs = []
        for side in ("linux", "windows"):
            side_settings = linux_settings if side == "linux" and linux_settings else settings
            root, work = self.installation(side_settings, definition, settings_crlf,
                                           settings_writer)
            if target and existing is not None:
                (work / target).write_bytes(existing if side == "linux" else crlf(existing))
            run = self.run_linux if side == "linux" else self.run_windows
            runs.append((run(args, work, environment), work))
        (linux, linux_work), (windows, windows_work) = runs
        self.compare_console(linux, windows, problems)
        if expect_status is not None and linux[0] != expect_status:
            problems.append(f"Linux exit status {linux[0]}, expected {expect_status}")
        if expect_out is not None and linux[1] != expect_out:
            problems.append(f"Linux output {show(linux[1])}, expected {show(expect_out)}")
        if expect_in_out is not None and expect_in_out not in linux[1]:
            problems.append(f"Linux output {show(linux[1])} lacks {show(expect_in_out)}")
        for work in (linux_work, windows_work):
            leftovers = [p.name for p in work.iterdir() if ".kelvador-" in p.name]
            if leftovers:
                problems.append(f"temporary files left in {work}: {leftovers}")
        notes = ["console: LF printed as CR LF"] if b"\n" in linux[1] else []
        if target:
            note = self.compare_download(linux_work / target, windows_work / target, problems)
            if note:
                notes.append(note)
        self.check(name, problems, "; ".join(notes))
        return linux, windows

    # --- the cases --------------------------------------------------------

    def arguments_and_messages(self):
        print("== arguments and messages")
        # Nothing past the argument checks is needed: no settings, no database.
        self.both("no arguments: banner, count message, usage, status 1", [],
                  expect_status=1)
        _, (status, out) = self.both("three arguments: status 1", ["S", "T", "out.txt"],
                                     expect_status=1)
        tail = crlf(b"Falsche Anzahl Parameter\n\n" + USAGE)
        if not out.endswith(tail):
            self.check("usage text byte for byte (Windows console, CR LF)",
                       [f"output ends {show(out[-len(tail):])}"])
        else:
            self.check("usage text byte for byte (Windows console, CR LF)", [])
        for flag in ("2", "01", "1 ", "x", ""):
            self.both(f"replace flag {flag!r}: status 2", ["S", "T", "out.txt", flag],
                      expect_status=2, expect_in_out=b"Falsches ReplaceFlag, erlaubt: '0' oder '1'\n")
        self.both("section name of 32 characters: status 4", ["S" * 32, "T", "out.txt", "1"],
                  expect_status=4)
        self.both("terminal name with a quote: status 4", ["S", "T'1", "out.txt", "1"],
                  expect_status=4)
        self.both("no settings file: connect fails with -12154, status 0",
                  ["S", "T", "out.txt", "1"], expect_status=0,
                  expect_out=b"dbConnect_Status: -12154\n")
        self.both("/d switches the trace on", ["S", "T", "out.txt", "0", "/d"],
                  expect_status=0, expect_in_out=b" Aktiviert Debugger\n")
        self.both("-D and further arguments are ignored", ["S", "T", "out.txt", "0", "-D", "x"],
                  expect_status=0, expect_out=b"dbConnect_Status: -12154\n")

    def settings_file(self):
        print("== settings file")
        settings = self.dsn_settings()
        # A connect that succeeds and a definition file that is missing end
        # with status 3 and no output: the settings were read and understood.
        self.both("settings found: connect through the data source, no definition: status 3",
                  ["S", "T", "out.txt", "1"], settings=settings, expect_status=3, expect_out=b"")
        self.both("settings file with CR LF line ends: read the same",
                  ["S", "T", "out.txt", "1"], settings=settings, settings_crlf=True,
                  expect_status=3, expect_out=b"")
        self.both("settings written by kelvador-settings.exe under Wine: read the same",
                  ["S", "T", "out.txt", "1"], settings=settings, settings_writer="windows",
                  expect_status=3, expect_out=b"")
        no_net8 = dict(settings)
        del no_net8["NET8"]
        self.both("no NET8 setting: -12154", ["S", "T", "out.txt", "1"], settings=no_net8,
                  expect_status=0, expect_out=b"dbConnect_Status: -12154\n")
        self.both("NET8 of 42 characters is not taken: -12154", ["S", "T", "out.txt", "1"],
                  settings=self.dsn_settings("D" * 42), expect_status=0,
                  expect_out=b"dbConnect_Status: -12154\n")
        _, (status, out) = self.both("unknown data source name: the same connect status",
                                     ["S", "T", "out.txt", "1"],
                                     settings=self.dsn_settings("NO_SUCH_DSN"), expect_status=0)
        self.check("unknown data source name is a failed connect",
                   [] if out.startswith(b"dbConnect_Status: -") else [f"output {show(out)}"])

    def extraction(self):
        print("== extraction through ODBC to SQLite")
        settings = self.dsn_settings()
        self.both("badge extraction, replace, with trace; a record holds a line feed",
                  ["BADGES", "Nobody", "badges.txt", "1", "/D"], settings=settings,
                  definition=BADGE_DEFINITION, target="badges.txt", expect_status=0,
                  expect_in_out=b"5 Saetze kopiert in Datei badges.txt \n")
        self.both("terminal name replaces $parm01", ["BADGES", "Carla", "badges.txt", "1"],
                  settings=settings, definition=BADGE_DEFINITION, target="badges.txt",
                  expect_in_out=b"4 Saetze kopiert")
        self.both("append to an existing file that holds a line feed",
                  ["BADGES", "Nobody", "badges.txt", "0"], settings=settings,
                  definition=BADGE_DEFINITION, target="badges.txt",
                  existing=b"OLD CONTENT\n", expect_in_out=b"5 Saetze kopiert")
        self.both("replace an existing file", ["TEXT_ONLY", "T", "names.txt", "1"],
                  settings=settings, definition=BADGE_DEFINITION, target="names.txt",
                  existing=b"OLD CONTENT\nOLD\n", expect_in_out=b"3 Saetze kopiert")
        self.both("no rows: the existing file is left as it is", ["NONE", "T", "keep.txt", "1"],
                  settings=settings, definition=BADGE_DEFINITION, target="keep.txt",
                  existing=b"KEEP\n", expect_out=b"0 Saetze kopiert in Datei keep.txt \n")
        self.both("a query the database refuses", ["BROKEN", "T", "out.txt", "1"],
                  settings=settings, definition=BADGE_DEFINITION, target="out.txt",
                  expect_status=0, expect_in_out=b"0 Saetze kopiert in Datei out.txt \n")
        self.both("section not in the definition file: status 3, no output",
                  ["MISSING", "T", "out.txt", "1"], settings=settings,
                  definition=BADGE_DEFINITION, target="out.txt", expect_status=3,
                  expect_out=b"")
        self.both("target in a folder that does not exist",
                  ["BADGES", "T", "nofolder/out.txt", "1"], settings=settings,
                  definition=BADGE_DEFINITION, expect_status=0,
                  expect_in_out=b"Ausgabedatei konnte nicht geoeffnet \n")
        self.both("empty target file name: cannot be opened",
                  ["BADGES", "T", "", "1"], settings=settings, definition=BADGE_DEFINITION,
                  expect_status=0, expect_in_out=b"Ausgabedatei konnte nicht geoeffnet \n")
        self.target_in_parent_folder(settings)
        # Past the memory budget the sorted runs go to temporary files beside
        # the target and are merged back: 40000 records of 44 bytes in a
        # budget of 1 MiB.
        self.both("40000 records through temporary run files (budget 1 MiB)",
                  ["MANY", "T", "many.txt", "1"], settings=settings,
                  definition=BADGE_DEFINITION, target="many.txt",
                  environment={"KELVADOR_MEMORY_BUDGET_MB": "1"},
                  expect_in_out=b"40000 Saetze kopiert in Datei many.txt \n")
        # The Linux build's own SQLite route against the Windows build's ODBC
        # route: the same records from the same file.
        self.both("Linux via sqlite:PATH, Windows via ODBC: the same records",
                  ["TEXT_ONLY", "T", "names.txt", "1"], settings=settings,
                  linux_settings=self.dsn_settings("sqlite:../../vt.sqlite"),
                  definition=BADGE_DEFINITION, target="names.txt",
                  expect_in_out=b"3 Saetze kopiert")

    def target_in_parent_folder(self, settings):
        """A target path in each platform's own spelling: ..\\up.txt and ../up.txt."""
        problems = []
        _, linux_work = self.installation(settings, BADGE_DEFINITION)
        _, windows_work = self.installation(settings, BADGE_DEFINITION)
        linux = self.run_linux(["TEXT_ONLY", "T", "../up.txt", "1"], linux_work)
        windows = self.run_windows(["TEXT_ONLY", "T", "..\\up.txt", "1"], windows_work)
        expected = (linux[0], linux[1].replace(b"../up.txt", b"..\\up.txt"))
        self.compare_console(expected, windows, problems)
        note = self.compare_download(linux_work.parent / "up.txt", windows_work.parent / "up.txt",
                                     problems)
        if not (windows_work.parent / "up.txt").exists():
            problems.append("..\\up.txt was not written beside the working folder")
        self.check("target ..\\up.txt on Windows, ../up.txt on Linux", problems, note)

    def definition_reference(self):
        print("== definition files: the Linux reader against GetPrivateProfileStringA")
        settings = self.dsn_settings()
        for case in definition_cases.CASES:
            problems = []
            results = []
            for side in ("linux", "windows"):
                root, work = self.installation(settings, case.content)
                run = self.run_linux if side == "linux" else self.run_windows
                results.append((run(case.arguments(), work), work))
            (linux, linux_work), (windows, windows_work) = results
            linux_trace = definition_cases.trace(linux[1])
            windows_console = windows[1].replace(b"\r\n", b"\n")
            windows_trace = definition_cases.trace(windows_console)
            if linux[0] != windows[0]:
                problems.append(f"exit status: Windows {windows[0]}, Linux {linux[0]}")
            if linux_trace != windows_trace:
                problems.append("statements read differ:")
                problems.append(f"  GetPrivateProfileStringA: {show(windows_trace)}")
                problems.append(f"  Linux reader:             {show(linux_trace)}")
            # With a query that runs, the records show the column layout read.
            self.compare_console(linux, windows, problems)
            self.compare_download(linux_work / "out.txt", windows_work / "out.txt", problems)
            read = definition_cases.statement(windows_console)
            if case.expect_statement is not None and read != case.expect_statement:
                problems.append(f"GetPrivateProfileStringA read {show(read)}, "
                                f"case expects {show(case.expect_statement)}")
            self.check(f"definition: {case.name}", problems)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--linux-bin", required=True)
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    parser.add_argument("--only", help="run only the group of this name "
                        "(arguments, settings, extraction, definition)")
    options = parser.parse_args()

    scratch = Path(tempfile.mkdtemp(prefix="kelvador-wine-"))
    suite = Suite(os.path.abspath(options.exe), os.path.abspath(options.linux_bin), scratch)
    started = time.time()
    try:
        suite.start_wine()
        groups = {"arguments": suite.arguments_and_messages, "settings": suite.settings_file,
                  "extraction": suite.extraction, "definition": suite.definition_reference}
        for name, group in groups.items():
            if options.only in (None, name):
                group()
    finally:
        suite.stop_wine()
        if options.keep:
            print(f"scratch folder kept: {scratch}")
        else:
            shutil.rmtree(scratch, ignore_errors=True)
    print(f"wine suite took {time.time() - started:.0f} s")
    print(f"{suite.passed} passed, {suite.failed} failed")
    return 1 if suite.failed else 0


if __name__ == "__main__":
    sys.exit(main())
