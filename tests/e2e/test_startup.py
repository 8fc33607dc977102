"""Start-up: the state a start without switches shows, the single copy, and where the program
looks for its library."""

import datetime
import shutil
from pathlib import Path

from zorvo_e2e import IDLE_CAPTION, MAIN, SLEEP_DLL, Main, Menu, ZorvoTestCase, wait_until

ALREADY_RUNNING = "Данная программа уже запущена!"
LIBRARY_MESSAGE = "Файл sleep.dll не найден!\r\nЗаходите на сайт https://zorvo.example/ для обновления"
WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_THICKFRAME, WS_SYSMENU = 0x10000, 0x20000, 0x40000, 0x80000


class StartState(ZorvoTestCase):
    def test_what_the_window_shows(self):
        d = self.driver
        self.start_main()
        # The labels' texts, and which labels show, are in the reference pictures.
        self.assertEqual(d.text(MAIN), IDLE_CAPTION)
        # The system's short date; its long time form (Wine's ru-RU writes HH:mm:ss), running.
        today = datetime.date.today()
        self.assertIn(d.text(MAIN, Main.lblDate),
                      {day.strftime("%d.%m.%Y") for day in (today, today - datetime.timedelta(1))})
        # The clock shows at its timer's first tick, a moment after the window.
        clock = wait_until(lambda: d.text(MAIN, Main.lblTime), timeout=5)
        self.assertRegex(clock, r"^([01]?[0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$")
        shown = datetime.datetime.strptime(clock, "%H:%M:%S")
        drift = (datetime.datetime.now() - shown).seconds
        self.assertLessEqual(min(drift, 86400 - drift), 5, clock)
        d.wait_ticks(MAIN, 1)

        marks = {item: d.menu_state(MAIN, item) for item in (
            Menu.mnuShutDown, Menu.mnuReboot, Menu.mnuAlarm, Menu.mnuWait, Menu.mnuSleep,
            Menu.mnuLog, Menu.mnuTopM, Menu.mnuActive, Menu.mnuReset)}
        self.assertEqual([item for item, state in marks.items() if state.checked],
                         [Menu.mnuShutDown])
        self.assertEqual([item for item, state in marks.items() if not state.enabled],
                         [Menu.mnuReset])
        self.assertTrue(d.enabled(MAIN, Main.lblActivate) and d.enabled(MAIN, Main.Combo1))
        # Made once the window has been painted: they come a moment after it shows.
        combo = "Выберите время(в минутах)"
        self.assertEqual(wait_until(lambda: d.tooltips(MAIN), timeout=5), sorted([
            (Main.lblEnter, "Текущий статус"), (1001, combo), (Main.Combo1, combo),
            (Main.lblH, "Время в часах"), (Main.lblDate, "Текущая дата"),
            (Main.lblTime, "Текущее время"), (Main.lblActivate, "Нажмите для включения таймера"),
            (Main.lblReset, "Нажмите для отключения таймера")]))
        # A fixed frame with a close box and a minimise box, not on top.
        style, exstyle = d.state(MAIN)[3:5]
        self.assertEqual(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME | WS_SYSMENU),
                         WS_MINIMIZEBOX | WS_SYSMENU)
        self.assertEqual(exstyle & 0x8, 0, "WS_EX_TOPMOST")


class SecondCopy(ZorvoTestCase):
    def test_second_copy_refuses_and_first_runs_on(self):
        d = self.driver
        folder = self.program_folder()
        first = self.start_main(folder=folder)
        second = self.start(folder=folder)
        self.assertEqual(d.message_box_text(wait_ms=15000), ALREADY_RUNNING)
        # Not even a hidden window: scripts find the running copy by its window class.
        self.assertEqual([pid for _, pid, _ in d.windows(MAIN)], [first.windows_pid])
        self.assertTrue(d.message_box_press())
        self.assertIsNotNone(second.wait_exit(10), "the second copy did not end")
        self.assertTrue(first.running() and d.visible(MAIN))
        self.assertEqual(d.text(MAIN), IDLE_CAPTION)
        self.assertIsNone(d.message_box_text())


class LibraryBesideTheProgram(ZorvoTestCase):
    def assert_refused(self, program):
        d = self.driver
        self.assertEqual(d.message_box_text(wait_ms=15000), LIBRARY_MESSAGE)
        self.assertEqual(d.windows(MAIN), [], "a refused copy owns no main window, not even hidden")
        self.assertTrue(d.message_box_press())
        self.assertIsNotNone(program.wait_exit(10), "the program did not end after the message")

    def test_only_the_programs_own_folder_counts(self):
        # Not the working directory, where a bare name would find it; a folder name with a blank
        # and Cyrillic letters; a drive's root.
        workdir = self.scratch / "work"
        workdir.mkdir()
        shutil.copy2(SLEEP_DLL, workdir / "sleep.dll")
        self.assert_refused(self.start(folder=self.program_folder(library=False), cwd=workdir))
        self.start_main(folder=self.program_folder("Таймер Зорво"))
        self.end_programs()
        root = self.scratch / "root"
        root.mkdir()
        shutil.copy2(self.program_folder("plain").exe, root / "zorvo.exe")
        drive = Path(self.session.prefix) / "dosdevices" / "r:"
        drive.unlink(missing_ok=True)
        drive.symlink_to(root)
        try:
            self.assert_refused(self.start(folder="R:\\zorvo.exe"))
            shutil.copy2(SLEEP_DLL, root / "sleep.dll")
            self.start_main(folder="R:\\zorvo.exe")
        finally:
            self.end_programs()
            drive.unlink()
