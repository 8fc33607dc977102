"""The shipped files: what they import and export, and how big they are. No Wine needed."""

import os
import re
import shutil
import subprocess
import unittest
from pathlib import Path

from zorvo_e2e import SLEEP_DLL, VERSION, ZORVO_EXE

OBJDUMP = shutil.which("x86_64-w64-mingw32-objdump")
WINDOWS7_LIST = Path(__file__).with_name("windows7_exports.txt")
# DLLs every Windows installation has; anything else would have to be shipped beside the program.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll", "comdlg32.dll",
    "ole32.dll", "oleaut32.dll", "advapi32.dll", "msimg32.dll", "msvcrt.dll", "shlwapi.dll",
    "uxtheme.dll", "version.dll", "winmm.dll", "powrprof.dll", "ntdll.dll", "ucrtbase.dll",
}


def private_header(path):
    # objdump translates its headings; the tests run under a Russian locale.
    return subprocess.run([OBJDUMP, "-p", str(path)], check=True, capture_output=True, text=True,
                          env=dict(os.environ, LC_ALL="C", LANGUAGE="C")).stdout


def imported_functions(path):
    """{dll (lower case): [function names]} from the import tables; an import by ordinal alone
    appears as "#ordinal"."""
    functions, dll = {}, None
    for line in private_header(path).splitlines():
        named = re.match(r"\s+DLL Name: (\S+)", line)
        entry = re.match(r"\s+[0-9a-f]+\s+(\d+)\s*(\S*)\s*$", line)
        if named:
            dll = named[1].lower()
            functions.setdefault(dll, [])
        elif dll is not None and entry:
            functions[dll].append(entry[2] or "#" + entry[1])
        elif line.strip() and "Hint/Ord" not in line:
            dll = None
    return functions


def windows7_exports():
    """({dll: {function: first Windows}}, [functions known to be newer than Windows 7])."""
    listed, newer, dll = {}, [], None
    for line in WINDOWS7_LIST.read_text(encoding="utf-8").splitlines():
        if line.startswith("#! newer:"):
            newer += line.split(":", 1)[1].split()
        elif line.startswith("["):
            dll = line.strip("[] ").lower()
            listed[dll] = {}
        elif line.strip() and not line.startswith("#"):
            name, first = line.split()
            listed[dll][name] = first
    return listed, newer


@unittest.skipIf(OBJDUMP is None, "x86_64-w64-mingw32-objdump not installed")
class ShippedFiles(unittest.TestCase):
    def test_imports_and_exports(self):
        # Only what every Windows has, and of it only what Windows 7 SP1 exports; sleep.dll at run
        # time only, or the program would stop before it could say the library is missing.
        listed, _ = windows7_exports()
        for path in (ZORVO_EXE, SLEEP_DLL):
            found = imported_functions(path)
            self.assertIn("kernel32.dll", found, "the import table was not read")
            self.assertEqual([d for d in found if d not in SYSTEM_DLLS and
                              not d.startswith("api-ms-win-")], [], path.name)
            missing = ["%s!%s" % (dll, name) for dll, names in sorted(found.items())
                       for name in names if name not in listed.get(dll, {})]
            self.assertEqual(missing, [], "%s imports what is not on Windows 7 SP1's list (%s); "
                             "load it at run time, or check its documentation and add it"
                             % (path.name, WINDOWS7_LIST.name))
        # Exactly the library's five functions.
        table = private_header(SLEEP_DLL).split("[Ordinal/Name Pointer] Table", 1)[-1]
        self.assertEqual(sorted(re.findall(r"^\s+\[\s*\d+\]\s+(\S+)", table, re.M)),
                         sorted(["PTime", "GetParam", "GetView", "NTWait", "NTSleep"]))

    def test_windows_7_list_holds_nothing_newer(self):
        listed, newer = windows7_exports()
        self.assertIn("GetDpiForWindow", newer)
        self.assertEqual([n for names in listed.values() for n in names if n in newer], [])
        too_new = ["%s!%s (%s)" % (dll, name, first) for dll, names in listed.items()
                   for name, first in names.items() if first not in ("XP", "Vista", "7")]
        self.assertEqual(too_new, [], "a function of a later Windows on the Windows 7 list")

    def test_manifest_version_and_sizes(self):
        # The manifest resource is stored as it was written: its text can be read from the file.
        identity = re.search(rb'<assemblyIdentity[^>]*name="Zorvo\.Timer"[^>]*>',
                             ZORVO_EXE.read_bytes())
        self.assertIsNotNone(identity, "no manifest naming Zorvo.Timer in zorvo.exe")
        self.assertIn(b'version="%s"' % VERSION.encode(), identity[0])
        self.assertLess(ZORVO_EXE.stat().st_size, 1 << 20)
        self.assertLess(SLEEP_DLL.stat().st_size, 1 << 18)
