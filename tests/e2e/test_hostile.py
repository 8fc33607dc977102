"""Hostile conditions: a log that is hard to write, a batch file in a folder that cannot be
written, a broken power library. The program must say what went wrong where it cannot go on, and
never crash."""

import os
import subprocess
import tempfile
import time
from pathlib import Path

from zorvo_e2e import (ALARM, BAT, BUILD, IDLE_CAPTION, SLEEP_DLL, Bat, Driver, Main, Menu,
                       Program, WineSession, ZorvoTestCase, copy_prefix, windows_path)

WRITE_FAILED = "Не удалось записать файл"
PTIME_ONLY_DLL = BUILD / "e2e" / "sleep_ptime_only.dll"
PTIME_ONLY_DELAY = 7  # what the stand-in library's PTime answers
# Signs of a crash in the output of a program's wine process.
CRASH_SIGNS = (b"Unhandled exception", b"Unhandled page fault", b"wine: Unhandled", b"Backtrace:")


class HostileTestCase(ZorvoTestCase):
    def read_only_folder(self):
        """A folder in which the program can create, change or delete no file. Permission bits
        stop an ordinary user but not root, and Wine often runs as root in a container: there
        the folder gets the immutable attribute, which binds root too."""
        path = self.scratch / "readonly"
        path.mkdir()
        if os.geteuid() == 0:
            subprocess.run(["chattr", "+i", str(path)], check=True, capture_output=True)
            # Runs after tearDown has ended the programs: the folder goes with the scratch files.
            self.addCleanup(subprocess.run, ["chattr", "-i", str(path)], check=False)
        else:
            path.chmod(0o555)
            self.addCleanup(path.chmod, 0o755)
        with self.assertRaises(PermissionError, msg="the folder can still be written"):
            (path / "probe").touch()
        return path

    def assert_ended_cleanly(self, program, driver=None):
        """OK ends the program by itself, with no crash and no debugger."""
        d = driver or self.driver
        self.assertEqual(d.message_box().count, 1)
        self.assertTrue(d.message_box_press())
        code = program.wait_exit(10)
        self.assertIn(code, (0, 1), "exit code %s: a crash, or no end after OK?" % code)
        output = program.output()
        for sign in CRASH_SIGNS:
            self.assertNotIn(sign, output, output.decode(errors="replace")[-2000:])
        self.assertEqual(d.kill_image("winedbg.exe"), 0, "a debugger was started")
        self.assertEqual([w for w in d.windows("#32770") if w[2]], [], "a dialog is left")


class LogFailures(HostileTestCase):
    """The log entry of a performed task in four hostile places, four countdowns running their
    minute at the same time, each copy of the program in a Wine prefix of its own: a working
    directory that is read-only; a zorvo.log that another process holds open; a disk with room
    for only part of the entry; and a Windows whose ANSI code page has no Cyrillic."""

    EARLIER = ("[01.01.2026   10:00:00]\r\nСигнал подан\r\n" + "*" * 24 + "\r\n").encode("cp1251")

    def full_disk(self, path, log_bytes, room=20, size=16384, page=4096):
        """A tiny file system, mounted over `path`, whose last free bytes lie at the end of the
        page that zorvo.log ends in: the next entry can be written only in part."""
        path.mkdir()
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%d,mode=0777" % size, "tmpfs",
                        str(path)], check=True, capture_output=True)
        self.addCleanup(subprocess.run, ["umount", "-l", str(path)], check=False)
        log_bytes += b"#" * (page - room - len(log_bytes) - 2) + b"\r\n"
        (path / "zorvo.log").write_bytes(log_bytes)
        with open(path / "filler", "wb", buffering=0) as filler:
            try:
                while filler.write(b"\0" * page):
                    pass
            except OSError:
                pass
        return log_bytes

    def second_machine(self, **env):
        """A copy of the run's Wine prefix with a wineserver of its own: a second machine, so to
        speak, on which a copy of the program runs beside the first one."""
        session = WineSession(tempfile.mkdtemp(prefix="zorvo-wine2-"))
        copy_prefix(self.session.prefix, session.prefix)
        session.env.update(env)
        self.addCleanup(session.stop)
        session.start()
        driver = Driver(session)
        self.addCleanup(driver.close)
        return session, driver

    def start_alarm(self, session, driver, cwd, name):
        """A one-minute alarm with logging on."""
        program = Program(session, self.program_folder(name).exe, cwd, ("/a", "1"),
                          log=Path(session.scratch) / ("wine-%s.log" % name))
        self.programs.append(program)
        program.windows_pid = self.wait_new_main(driver, set(), program)
        main = program.window()
        driver.command(main, Menu.mnuLog)
        driver.sync(main)
        self.assertTrue(driver.visible(main, Main.lblLog), "logging did not switch on")
        # The command line is applied at the window's first activation, which four Wine
        # sessions side by side can hold back for a moment.
        self.assertEventually(lambda: not driver.enabled(main, Main.lblActivate), timeout=10)
        return program, main, driver, time.monotonic()

    def wait_failure(self, program, main, driver, shown_at):
        """The box that tells of the failed entry, after the whole countdown; then OK."""
        text = driver.message_box_text(wait_ms=80000)
        self.assertGreaterEqual(time.monotonic() - shown_at, 59.0, "a box before the end")
        self.assertTrue(text and text.startswith(WRITE_FAILED) and "zorvo.log" in text, text)
        self.assertEqual(driver.text(main), ALARM + "0 мин 00 сек")
        self.assertTrue(program.running(), "the program must wait for OK")
        self.assert_ended_cleanly(program, driver)

    def test_four_places_where_the_log_is_hard_to_write(self):
        readonly = self.read_only_folder()
        locked = self.scratch / "locked"
        locked.mkdir()
        (locked / "zorvo.log").write_bytes(self.EARLIER)
        full = self.scratch / "full"
        full_log = self.full_disk(full, self.EARLIER * 3)
        western = self.scratch / "western"
        western.mkdir()

        machines = [(self.session, self.driver), self.second_machine(), self.second_machine(),
                    self.second_machine(LANG="C.UTF-8", LC_ALL="C.UTF-8")]
        machines[1][1].value("hold-file", windows_path(locked / "zorvo.log"))
        runs = [self.start_alarm(*machine, cwd, "Zorvo%d" % n) for n, (machine, cwd) in
                enumerate(zip(machines, (readonly, locked, full, western)), 1)]

        self.wait_failure(*runs[0])
        self.assertEqual(list(readonly.iterdir()), [])
        self.wait_failure(*runs[1])
        self.assertEqual([p.name for p in locked.iterdir()], ["zorvo.log"])
        self.assertEqual((locked / "zorvo.log").read_bytes(), self.EARLIER, "the log must stay")
        # Part of the entry did fit; none of it may stay, or the next one is glued to it.
        self.wait_failure(*runs[2])
        self.assertEqual((full / "zorvo.log").read_bytes(), full_log)
        # No Cyrillic in the ANSI code page: a new log is begun in UTF-8, marked as such.
        self.assertIsNotNone(runs[3][0].wait_exit(80), "the alarm did not end the program")
        self.assertIsNone(runs[3][2].message_box_text())
        written = (western / "zorvo.log").read_bytes()
        self.assertTrue(written.startswith(b"\xef\xbb\xbf["), written[:8])
        text = written[3:].decode("utf-8")
        self.assertTrue(text.endswith("\r\nСигнал подан\r\n%s\r\n" % ("*" * 24)) and
                        text.count("\r\n") == 3, repr(text))


class BatchFileInReadOnlyDirectory(HostileTestCase):
    def test_generation_fails_with_a_message_and_the_dialog_stays(self):
        d = self.driver
        readonly = self.read_only_folder()
        main = self.start_main(cwd=readonly).window()
        self.open_form(main, Menu.mnuBat, BAT)
        d.click(BAT, Bat.lblOK)
        text = d.message_box_text(wait_ms=5000)
        self.assertTrue(text and text.startswith(WRITE_FAILED) and "shutdown.bat" in text, text)
        self.assertEqual(d.message_box().count, 1)
        self.assertTrue(d.message_box_press())
        d.sync(BAT)
        self.assertTrue(d.visible(BAT), "the dialog must stay open for another try")
        d.click(BAT, Bat.lblCancel)
        self.assertTrue(d.wait_gone(BAT, 5000))
        self.assertIsNone(d.message_box_text())
        self.assertEqual(d.text(main), IDLE_CAPTION)
        self.assertEqual(list(readonly.iterdir()), [])


class BrokenLibrary(HostileTestCase):
    """A sleep.dll is there, so the start goes on, but the first call into it fails."""

    def test_broken_libraries(self):
        d = self.driver
        cases = [  # the file, the delay the box then shows, a word the message must hold
            ("only PTime", PTIME_ONLY_DLL.read_bytes(), PTIME_ONLY_DELAY, "GetParam"),
            ("text", "Это не библиотека, а текстовый файл.\r\n".encode("cp1251") * 20, 1, ""),
            ("truncated", SLEEP_DLL.read_bytes()[:1024], 1, ""),
        ]
        for name, content, delay, word in cases:
            with self.subTest(name):
                folder = self.program_folder(name, library=False)
                (folder.path / "sleep.dll").write_bytes(content)
                program = self.start_main(folder=folder)
                main = program.window()
                text = d.message_box_text(wait_ms=10000)
                self.assertTrue(text and "sleep.dll" in text and word in text, text)
                self.assertFalse(text.startswith("Файл sleep.dll не найден!"), text)
                self.assertEqual(d.text(main, Main.Combo1), str(delay))
                self.assertEqual(d.text(main, Main.lblH), "0:%02d" % delay)
                self.assertTrue(program.running(), "the program must wait for OK")
                self.assert_ended_cleanly(program)
                self.end_programs()
