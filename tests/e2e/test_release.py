"""The release archive: what `cpack -G ZIP` packs. (Its members are the built files, byte for
byte, at its root: unpacked, they run as every other test runs them.)"""

import subprocess
import zipfile

from zorvo_e2e import BUILD, REPO, VERSION, ZorvoTestCase


class ReleaseArchive(ZorvoTestCase):
    def test_archive_holds_the_program_its_library_and_the_readme(self):
        # Made in a folder of its own, so the build folder keeps no archive behind.
        made = subprocess.run(["cpack", "-G", "ZIP", "--config", str(BUILD / "CPackConfig.cmake"),
                               "-B", str(self.scratch)], cwd=str(BUILD), capture_output=True,
                              text=True, timeout=600, check=False)
        self.assertEqual(made.returncode, 0, made.stdout + made.stderr)
        self.assertEqual([p.name for p in self.scratch.glob("*.zip")],
                         ["zorvo-%s-win64.zip" % VERSION])
        unpacked = self.scratch / "unpacked"
        with zipfile.ZipFile(self.scratch / ("zorvo-%s-win64.zip" % VERSION)) as archive:
            self.assertIsNone(archive.testzip(), "a member of the archive is damaged")
            # At the root: unpacked anywhere, sleep.dll lies beside zorvo.exe.
            self.assertEqual(sorted(archive.namelist()), ["README.md", "sleep.dll", "zorvo.exe"])
            archive.extractall(unpacked)
        for name, built in (("zorvo.exe", BUILD / "zorvo.exe"), ("sleep.dll", BUILD / "sleep.dll"),
                            ("README.md", REPO / "README.md")):
            self.assertEqual((unpacked / name).read_bytes(), built.read_bytes(), name)
