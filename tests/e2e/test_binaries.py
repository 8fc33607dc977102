"""The shipped files: what they import and export, how big they are, and the release archive
(what `cpack -G ZIP` packs: the built files, byte for byte, at its root, so that unpacked they
run as every other test runs them). No Wine needed."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest
import zipfile
from pathlib import Path

from zorvo_e2e import BUILD, REPO, SLEEP_DLL, VERSION, ZORVO_EXE

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
    """{dll: {function: first Windows}}; a function of a later Windows (one named on a "#! newer"
    line, or with a later first Windows) stops the reading."""
    listed, newer, dll = {}, [], None
    for line in WINDOWS7_LIST.read_text(encoding="utf-8").splitlines():
        if line.startswith("#! newer:"):
            newer += line.split(":", 1)[1].split()
        elif line.startswith("["):
            dll = line.strip("[] ").lower()
            listed[dll] = {}
        elif line.strip() and not line.startswith("#"):
            name, first = line.split()
            assert first in ("XP", "Vista", "7") and name not in newer, "newer than 7: " + line
            listed[dll][name] = first
    return listed


@unittest.skipIf(OBJDUMP is None, "x86_64-w64-mingw32-objdump not installed")
class ShippedFiles(unittest.TestCase):
    def test_imports_and_exports(self):
        # Only what every Windows has, and of it only what Windows 7 SP1 exports; sleep.dll at run
        # time only, or the program would stop before it could say the library is missing.
        listed = windows7_exports()
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

    def test_manifest_version_and_sizes(self):
        # The manifest resource is stored as it was written: its text can be read from the file.
        identity = re.search(rb'<assemblyIdentity[^>]*name="Zorvo\.Timer"[^>]*>',
                             ZORVO_EXE.read_bytes())
        self.assertIsNotNone(identity, "no manifest naming Zorvo.Timer in zorvo.exe")
        self.assertIn(b'version="%s"' % VERSION.encode(), identity[0])
        self.assertLess(ZORVO_EXE.stat().st_size, 1 << 20)
        self.assertLess(SLEEP_DLL.stat().st_size, 1 << 18)

    def test_release_archive_holds_the_program_its_library_and_the_readme(self):
        # Made in a folder of its own, so the build folder keeps no archive behind.
        scratch = Path(tempfile.mkdtemp(prefix="zorvo-release-"))
        self.addCleanup(shutil.rmtree, scratch, ignore_errors=True)
        made = subprocess.run(["cpack", "-G", "ZIP", "--config", str(BUILD / "CPackConfig.cmake"),
                               "-B", str(scratch)], cwd=str(BUILD), capture_output=True,
                              text=True, timeout=600, check=False)
        self.assertEqual(made.returncode, 0, made.stdout + made.stderr)
        self.assertEqual([p.name for p in scratch.glob("*.zip")], ["zorvo-%s-win64.zip" % VERSION])
        with zipfile.ZipFile(scratch / ("zorvo-%s-win64.zip" % VERSION)) as archive:
            # At the root: unpacked anywhere, sleep.dll lies beside zorvo.exe.
            self.assertEqual(sorted(archive.namelist()), ["README.md", "sleep.dll", "zorvo.exe"])
            for name, built in (("zorvo.exe", ZORVO_EXE), ("sleep.dll", SLEEP_DLL),
                                ("README.md", REPO / "README.md")):
                self.assertEqual(archive.read(name), built.read_bytes(), name)
