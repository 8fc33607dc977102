"""Hostile conditions: a working directory that cannot be written, a locked log, a broken power
library, a command line at the system's length limit and a flood of random edits of the minutes
box. The program must say what went wrong where it cannot go on, and never crash."""

import os
import random
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

from zorvo_e2e import (BAT, BUILD, SLEEP_DLL, Bat, Driver, DriverError, Main, Menu, Program,
                       WineSession, ZorvoTestCase, wait_until, windows_path)
from zorvo_e2e import IDLE_CAPTION

ALARM = "Zorvo - подача звукового сигнала через "
WRITE_FAILED = "Не удалось записать файл"
WARNING = "Вы пытаетесь ввести недопустимое значение!\r\nДопустимый диапазон от 1 до 360 мин"
LIBRARY_MISSING = "Файл sleep.dll не найден!"
PTIME_ONLY_DLL = BUILD / "e2e" / "sleep_ptime_only.dll"
# What the stand-in library's PTime answers.
PTIME_ONLY_DELAY = 7
# Longest command line CreateProcess takes, in characters, its terminating NUL included.
COMMAND_LINE_LIMIT = 32767
# Signs of a crash in the output of a program's wine process.
CRASH_SIGNS = (b"Unhandled exception", b"Unhandled page fault", b"wine: Unhandled",
               b"Backtrace:")


class ReadOnlyFolder:
    """A folder in which the program can create, change or delete no file.

    Permission bits stop an ordinary user but not root, and Wine often runs as root in a
    container: there the folder gets the immutable attribute, which binds root too.
    """

    def __init__(self, path):
        self.path = Path(path)
        self.path.mkdir(parents=True)
        self.as_root = os.geteuid() == 0
        if not self.as_root:
            self.path.chmod(0o555)
        else:
            result = subprocess.run(["chattr", "+i", str(self.path)], capture_output=True,
                                    check=False)
            if result.returncode != 0:
                raise AssertionError("running as root, and the file system refuses chattr +i: %s"
                                     % result.stderr.decode(errors="replace"))
        try:
            (self.path / "probe").touch()
        except PermissionError:
            return
        self.release()
        raise AssertionError("%s could still be written" % self.path)

    def release(self):
        if self.as_root:
            subprocess.run(["chattr", "-i", str(self.path)], capture_output=True, check=False)
        else:
            self.path.chmod(0o755)


class CopiedSession(WineSession):
    """A copy of the run's Wine prefix with a wineserver of its own: a second machine, so to
    speak, on which a second copy of the program runs beside the first one."""

    def __init__(self, original):
        super().__init__()
        self.prefix = tempfile.mkdtemp(prefix="zorvo-wine2-")
        shutil.copytree(original.prefix, self.prefix, symlinks=True, dirs_exist_ok=True)
        self.own_prefix = True
        self.env["WINEPREFIX"] = self.prefix


class HostileTestCase(ZorvoTestCase):
    def read_only_folder(self, name="readonly"):
        folder = ReadOnlyFolder(self.scratch / name)
        # Runs after tearDown has ended the programs: the folder must go with the scratch files.
        self.addCleanup(folder.release)
        return folder.path

    def wine_output(self, program):
        program.log.flush()
        return Path(program.log.name).read_bytes()

    def assert_ended_cleanly(self, program, driver=None):
        """The program has ended by itself, with no crash and no debugger."""
        code = program.wait_exit(10)
        self.assertIsNotNone(code, "the program did not end after OK")
        self.assertIn(code, (0, 1), "exit code %d: a crash?" % code)
        output = self.wine_output(program)
        for sign in CRASH_SIGNS:
            self.assertNotIn(sign, output, output.decode(errors="replace")[-2000:])
        d = driver or self.driver
        self.assertEqual(d.kill_image("winedbg.exe"), 0, "a debugger was started")
        self.assertEqual([w for w in d.windows("#32770") if w[2]], [],
                         "a dialog (a crash report?) is left on the screen")


class FullDisk:
    """A tiny file system, mounted over `path`, whose last free bytes lie at the end of the page
    that zorvo.log ends in: the next entry can be written only in part."""

    SIZE = 16 * 1024
    PAGE = 4096

    def __init__(self, path, log_bytes, room):
        self.path = Path(path)
        self.path.mkdir()
        result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%d,mode=0777" % self.SIZE,
                                 "tmpfs", str(self.path)], capture_output=True, check=False)
        if result.returncode != 0:
            raise AssertionError("a full disk needs a tmpfs mount (run as root): %s"
                                 % result.stderr.decode(errors="replace"))
        padding = self.PAGE - room - len(log_bytes)
        self.log_bytes = log_bytes + b"#" * (padding - 2) + b"\r\n"
        (self.path / "zorvo.log").write_bytes(self.log_bytes)
        filler = os.open(self.path / "filler", os.O_WRONLY | os.O_CREAT)
        try:
            while os.write(filler, b"\0" * self.PAGE) > 0:
                pass
        except OSError:
            pass
        finally:
            os.close(filler)

    def release(self):
        subprocess.run(["umount", "-l", str(self.path)], capture_output=True, check=False)


class LogFailures(HostileTestCase):
    """The log entry of a performed task in four hostile places, four countdowns running their
    minute at the same time, each copy of the program in a Wine prefix of its own: a working
    directory that is read-only; a zorvo.log that another process holds open; a disk with room
    for only part of the entry; and a Windows whose ANSI code page has no Cyrillic."""

    EARLIER = ("[01.01.2026   10:00:00]\r\nСигнал подан\r\n" + "*" * 24 + "\r\n").encode("cp1251")
    ENTRY_TAIL = "\r\nСигнал подан\r\n" + "*" * 24 + "\r\n"

    def start_second_session(self, **env):
        session = CopiedSession(self.session)
        session.env.update(env)
        self.addCleanup(session.stop)
        session.start()
        driver = Driver(session)
        self.addCleanup(driver.close)
        return session, driver

    def switch_logging_on(self, driver, main):
        driver.command(main, Menu.mnuLog)
        driver.sync(main)
        self.assertTrue(driver.visible(main, Main.lblLog), "logging did not switch on")

    def start_alarm(self, session, driver, cwd, name):
        """A one-minute alarm with logging on in `session`; the program and when it showed."""
        program = Program(session, self.program_folder(name).exe, cwd, ("/a", "1"),
                          log=Path(session.scratch) / ("wine-%s.log" % name))
        self.programs.append(program)
        program.windows_pid = self._wait_new_main(driver, set(), program)
        shown = time.monotonic()
        main = program.window()
        self.switch_logging_on(driver, main)
        # The command line is applied at the window's first activation, which four Wine sessions
        # side by side can hold back for a moment.
        self.assertTrue(wait_until(lambda: not driver.enabled(main, Main.lblActivate), timeout=10),
                        "/a 1 must start the countdown")
        return program, main, shown

    def wait_failure(self, driver, program, main, shown_at):
        """The box that tells of the failed entry; returns its text."""
        text = driver.message_box_text(wait_ms=80000)
        after = time.monotonic() - shown_at
        self.assertIsNotNone(text, "no message box at the end of the countdown")
        self.assertGreaterEqual(after, 59.0, "the box came before the countdown ended")
        self.assertEqual(driver.text(main), ALARM + "0 мин 00 сек",
                         "the countdown must have run to its end")
        self.assertTrue(program.running(), "the program must wait for OK")
        self.assertTrue(text.startswith(WRITE_FAILED), text)
        self.assertIn("zorvo.log", text)
        return text

    def test_four_places_where_the_log_is_hard_to_write(self):
        d = self.driver
        readonly = self.read_only_folder()
        locked = self.scratch / "locked"
        locked.mkdir()
        log = locked / "zorvo.log"
        log.write_bytes(self.EARLIER)
        full = FullDisk(self.scratch / "full", self.EARLIER * 3, room=20)
        self.addCleanup(full.release)
        western = self.scratch / "western"
        western.mkdir()

        session2, d2 = self.start_second_session()
        session3, d3 = self.start_second_session()
        session4, d4 = self.start_second_session(LANG="C.UTF-8", LC_ALL="C.UTF-8")
        d2.value("hold-file", windows_path(log))
        self.assertEqual(d4.value("code-pages"), "1252 437", "not a Western code page")

        first, main1, shown1 = self.start_alarm(self.session, d, readonly, "Zorvo1")
        second, main2, shown2 = self.start_alarm(session2, d2, locked, "Zorvo2")
        third, main3, shown3 = self.start_alarm(session3, d3, full.path, "Zorvo3")
        fourth, main4, _ = self.start_alarm(session4, d4, western, "Zorvo4")

        self.wait_failure(d, first, main1, shown1)
        self.assertEqual(list(readonly.iterdir()), [])
        self.assertEqual(d.message_box_count(), 1)
        self.assertTrue(d.message_box_ok())
        self.assert_ended_cleanly(first)
        self.assertEqual(list(readonly.iterdir()), [])

        self.wait_failure(d2, second, main2, shown2)
        self.assertTrue(d2.message_box_ok())
        self.assert_ended_cleanly(second, d2)
        d2.value("release-file")
        self.assertEqual(log.read_bytes(), self.EARLIER, "the earlier entries must stay intact")
        self.assertEqual([p.name for p in locked.iterdir()], ["zorvo.log"])

        # Part of the entry did fit; none of it may stay, or the next one is glued to it.
        self.wait_failure(d3, third, main3, shown3)
        self.assertTrue(d3.message_box_ok())
        self.assert_ended_cleanly(third, d3)
        self.assertEqual((full.path / "zorvo.log").read_bytes(), full.log_bytes)

        # No Cyrillic in the ANSI code page: a new log is begun in UTF-8, marked as such.
        self.assertIsNotNone(fourth.wait_exit(80), "the alarm did not end the program")
        self.assertIsNone(d4.message_box_text())
        written = (western / "zorvo.log").read_bytes()
        self.assertTrue(written.startswith(b"\xef\xbb\xbf"), written[:8])
        text = written[3:].decode("utf-8")
        self.assertTrue(text.startswith("[") and text.endswith(self.ENTRY_TAIL), repr(text))
        self.assertEqual(text.count("\r\n"), 3)


class BatchFileInReadOnlyDirectory(HostileTestCase):
    def test_generation_fails_with_a_message_and_the_dialog_stays(self):
        d = self.driver
        readonly = self.read_only_folder()
        main = self.start_main(cwd=readonly).window()
        d.command(main, Menu.mnuBat)
        self.assertTrue(d.wait_window(BAT, 5000), "the batch-file dialog did not open")
        d.click(BAT, Bat.lblOK)
        text = d.message_box_text(wait_ms=5000)
        self.assertIsNotNone(text, "no message about the file that could not be written")
        self.assertTrue(text.startswith(WRITE_FAILED), text)
        self.assertIn("shutdown.bat", text)
        self.assertEqual(d.message_box_count(), 1)
        self.assertTrue(d.message_box_ok())
        self.assertTrue(d.wait_gone("#32770", 3000))
        self.assertFalse(d.wait_gone(BAT, 1000), "the dialog must stay open for another try")
        self.assertEqual(d.text(BAT, Bat.Combo1), "1", "the choices stay as they were")
        self.assertEqual(list(readonly.iterdir()), [])

        d.click(BAT, Bat.lblCancel)
        self.assertTrue(d.wait_gone(BAT, 5000))
        self.assertTrue(self.programs[0].running())
        self.assertIsNone(d.message_box_text(wait_ms=300))
        self.assertEqual(d.text(main), IDLE_CAPTION)
        self.assertEqual(list(readonly.iterdir()), [])


class BrokenLibrary(HostileTestCase):
    """A sleep.dll is there, so the start goes on, but the first call into it fails."""

    def start_with_library(self, content, name="Zorvo"):
        folder = self.program_folder(name, library=False)
        (folder.path / "sleep.dll").write_bytes(content)
        program = self.start_main(folder=folder)
        return program, program.window()

    def assert_told_then_ended(self, program, main, delay):
        d = self.driver
        text = d.message_box_text(wait_ms=10000)
        self.assertIsNotNone(text, "no message about the broken library")
        self.assertIn("sleep.dll", text)
        self.assertFalse(text.startswith(LIBRARY_MISSING), "the file is there: " + text)
        self.assertEqual(d.message_box_count(), 1)
        self.assertEqual(d.text(main, Main.Combo1), str(delay))
        self.assertEqual(d.text(main, Main.lblH), "0:%02d" % delay)
        self.assertTrue(program.running(), "the program must wait for OK")
        self.assertTrue(d.message_box_ok())
        self.assert_ended_cleanly(program)
        return text

    def test_library_with_only_PTime(self):
        program, main = self.start_with_library(PTIME_ONLY_DLL.read_bytes())
        # PTime worked (its delay is in the box); the next export, GetParam, is missing.
        text = self.assert_told_then_ended(program, main, PTIME_ONLY_DELAY)
        self.assertIn("GetParam", text)

    def test_library_that_is_not_a_dll(self):
        cases = {
            "text": "Это не библиотека, а текстовый файл.\r\n".encode("cp1251") * 20,
            "empty": b"",
            "truncated": SLEEP_DLL.read_bytes()[:1024],
        }
        for name, content in cases.items():
            with self.subTest(name):
                program, main = self.start_with_library(content, "Zorvo " + name)
                self.assert_told_then_ended(program, main, 1)
                self.end_programs()


class LongCommandLine(HostileTestCase):
    """A command line at CreateProcess's limit, made of arguments that mean nothing."""

    JUNK_LENGTH = 32000
    SWITCHES = {"/v", "/w", "/r", "/s", "/a", "/min", "/hid", "/invisible"}

    def junk(self, seed):
        """Arguments of JUNK_LENGTH characters with the blanks between them. No quotes and no
        blanks inside an argument, so Wine passes the text on unchanged."""
        rnd = random.Random(seed)
        alphabet = ("abcxyzABCXYZ0123456789/-_.,:;!?@#$%^&*()[]{}=+~|<>'`\\" +
                    "абвгдеёжзийклмнопрстуфхцчшщъыьэюяЖЯ")
        args, length = [], -1
        while length < self.JUNK_LENGTH:
            left = self.JUNK_LENGTH - length - 1
            if left == 0:  # no room for a blank and another argument: lengthen the last one
                args[-1] += "x"
                length += 1
                continue
            arg = "".join(rnd.choice(alphabet) for _ in range(rnd.randint(1, 24)))[:left]
            if arg.lower() in self.SWITCHES or arg.endswith("\\"):
                continue
            args.append(arg)
            length += 1 + len(arg)
        self.assertEqual(len(" ".join(args)), self.JUNK_LENGTH)
        return args

    def start_with(self, args):
        folder = self.program_folder()
        # The program's own name (quoted when it must be), a blank, then the arguments.
        line = len(windows_path(folder.exe)) + 2 + 1 + len(" ".join(args))
        self.assertLess(line, COMMAND_LINE_LIMIT, "the command line must stay within the limit")
        program = self.start_main(folder=folder, args=args)
        return program, program.window()

    def test_task_with_32000_characters_of_junk(self):
        d = self.driver
        program, main = self.start_with(["/a", "5"] + self.junk(1))
        caption = wait_until(lambda: (lambda t: t if t != IDLE_CAPTION else None)(d.text(main)),
                             timeout=3)
        self.assertIsNotNone(caption, "/a 5 did not start the countdown")
        self.assertRegex(caption, "^" + re.escape(ALARM) + "4 мин 5[0-9] сек$")
        self.assertTrue(d.menu_state(main, Menu.mnuAlarm).checked)
        self.assertEqual(d.text(main, Main.Combo1), "5")
        self.assertEqual(d.text(main, Main.lblH), "0:05")
        self.assertTrue(d.visible(main) and not d.iconic(main), "no window switch was given")
        time.sleep(1.5)
        self.assertTrue(program.running())
        self.assertIsNone(d.message_box_text())
        self.assertRegex(d.text(main), "^" + re.escape(ALARM) + "4 мин [45][0-9] сек$")

    def test_only_junk(self):
        d = self.driver
        program, main = self.start_with(self.junk(2))
        time.sleep(2)
        self.assertTrue(program.running())
        self.assertIsNone(d.message_box_text())
        self.assertEqual(d.text(main), IDLE_CAPTION)
        self.assertTrue(d.menu_state(main, Menu.mnuShutDown).checked)
        self.assertEqual(d.text(main, Main.Combo1), "1")
        self.assertTrue(d.enabled(main, Main.lblActivate))
        self.assertTrue(d.visible(main) and not d.iconic(main))


class RandomMinutesEdits(HostileTestCase):
    """Ten thousand random edits of the minutes box, each a real keystroke or selection sent to
    its edit field, each warning answered with OK before the next edit. The driver types, in a
    process of its own under Wine: one to two and a half minutes, rather than an hour through
    one command per keystroke."""

    # ZORVO_E2E_EDITS=500 makes a quick run while working on the minutes box.
    EDITS = int(os.environ.get("ZORVO_E2E_EDITS", "10000"))
    SEED = 20240607
    CANONICAL = re.compile(r"[1-9][0-9]{0,2}")

    def test_ten_thousand_random_edits(self):
        d = self.driver
        program = self.start_main()
        main = program.window()
        trace_path = self.scratch / "edits.trace"
        started = time.monotonic()
        try:
            answer = d.value("minutes-fuzz", main, Main.Combo1, self.EDITS, self.SEED,
                             windows_path(trace_path), timeout=900)
        except DriverError as error:
            last = trace_path.read_text(encoding="utf-8").splitlines()[-5:]
            raise AssertionError("%s; the last edits before it:\n%s" % (error, "\n".join(last)))
        edits, boxes, most_open = (int(v) for v in answer.split())
        print("\nMEASURED %d random edits: %.1f s, %d warnings" %
              (edits, time.monotonic() - started, boxes))
        self.assertEqual(edits, self.EDITS)
        lines = trace_path.read_text(encoding="utf-8").splitlines()
        self.assertEqual(len(lines), self.EDITS)

        texts = set()
        for number, line in enumerate(lines, 1):
            edit, text, warned, open_at_once, *box_texts = line.split("\t")
            where = "edit %d (%s, seed %d): %r" % (number, edit, self.SEED, line)
            self.assertTrue(self.CANONICAL.fullmatch(text) and 1 <= int(text) <= 360,
                            "not a whole number from 1 to 360 after " + where)
            self.assertLessEqual(int(warned), 1, "more than one warning for " + where)
            self.assertLessEqual(int(open_at_once), 1, "two boxes at once during " + where)
            for box_text in box_texts:
                self.assertEqual(box_text.replace("\\r", "\r").replace("\\n", "\n"), WARNING,
                                 where)
            if edit.startswith("sel:"):
                self.assertEqual(int(warned), 0, "a selection alone warned: " + where)
            texts.add(int(text))
        self.assertEqual(most_open, 1)
        # The run reached the corners it is meant to reach.
        self.assertGreater(boxes, self.EDITS // 25, "too few warnings to prove anything")
        self.assertTrue(any(t >= 100 for t in texts), "no three-digit value was reached")

        final = lines[-1].split("\t")[1]
        self.assertEqual(d.text(main, Main.Combo1), final)
        self.assertEqual(d.message_box_count(), 0)
        self.assertTrue(program.running())
        self.assertEqual(d.text(main), IDLE_CAPTION, "no edit may start the countdown")
        self.assertTrue(d.enabled(main, Main.lblActivate))
        # The box still works as before: a typed value is kept and shown as hours.
        d.select(main, Main.Combo1, 0, -1)
        d.type_text(main, Main.Combo1, "125", pause_ms=20)
        self.assertTrue(wait_until(lambda: d.text(main, Main.Combo1) == "125", timeout=3),
                        d.text(main, Main.Combo1))
        self.assertTrue(wait_until(lambda: d.text(main, Main.lblH) == "2:05", timeout=3),
                        d.text(main, Main.lblH))
