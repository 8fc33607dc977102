"""The release archive: what `cpack -G ZIP` packs, and that the program runs from it unpacked."""

import shutil
import subprocess
import tempfile
import zipfile
from pathlib import Path

from zorvo_e2e import BUILD, REPO, Menu, ZorvoTestCase
from zorvo_e2e import IDLE_CAPTION, VERSION

ARCHIVE_NAME = "zorvo-%s-win64.zip" % VERSION
CAPTION = IDLE_CAPTION


class ReleaseArchive(ZorvoTestCase):
    """One archive made with CPack from the windows build, unpacked into a fresh folder."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        config = BUILD / "CPackConfig.cmake"
        if not config.exists():
            raise AssertionError("%s is missing: configure the windows preset again" % config)
        cls.package_dir = Path(tempfile.mkdtemp(dir=cls.class_scratch, prefix="package"))
        # The package goes to a folder of its own, so the build folder keeps no archive behind.
        made = subprocess.run(["cpack", "-G", "ZIP", "--config", str(config),
                               "-B", str(cls.package_dir)],
                              cwd=str(BUILD), capture_output=True, text=True, timeout=600,
                              check=False)
        if made.returncode != 0:
            raise AssertionError("cpack failed:\n%s%s" % (made.stdout, made.stderr))
        cls.archive = cls.package_dir / ARCHIVE_NAME
        cls.unpacked = cls.class_scratch / "unpacked"
        if cls.archive.exists():
            with zipfile.ZipFile(cls.archive) as archive:
                archive.extractall(cls.unpacked)

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        shutil.rmtree(cls.package_dir, ignore_errors=True)

    def test_archive_holds_exactly_the_program_its_library_and_the_readme(self):
        made = sorted(p.name for p in self.package_dir.glob("*.zip"))
        self.assertEqual(made, [ARCHIVE_NAME])
        with zipfile.ZipFile(self.archive) as archive:
            self.assertIsNone(archive.testzip(), "a member of the archive is damaged")
            # At the root: unpacked anywhere, sleep.dll lies beside zorvo.exe.
            self.assertEqual(sorted(archive.namelist()), ["README.md", "sleep.dll", "zorvo.exe"])
        for name, built in (("zorvo.exe", BUILD / "zorvo.exe"), ("sleep.dll", BUILD / "sleep.dll"),
                            ("README.md", REPO / "README.md")):
            with self.subTest(name):
                self.assertEqual((self.unpacked / name).read_bytes(), built.read_bytes(),
                                 "%s in the archive is not the built one" % name)

    def test_program_starts_from_the_unpacked_archive_and_exits(self):
        d = self.driver
        workdir = self.scratch / "work"
        workdir.mkdir()
        program = self.start_main(folder=self.unpacked / "zorvo.exe", cwd=workdir)
        main = program.window()
        self.assertEqual(d.text(main), CAPTION)
        self.assertIsNone(d.message_box_text(), "the program found its library, so no message")
        d.command(main, Menu.mnuExit)
        self.assertEqual(program.wait_exit(10), 0, "the program did not end on «Выход»")
        self.assertTrue(d.wait_gone(main, 5000), "the main window stayed")
