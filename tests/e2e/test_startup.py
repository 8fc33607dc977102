"""Start-up: the state every start begins with, the single copy, and the power library check."""

import datetime
import re
import shutil

from zorvo_e2e import (MAIN, SLEEP_DLL, WS_CAPTION, WS_EX_TOPMOST, WS_MAXIMIZEBOX,
                       WS_MINIMIZEBOX, WS_SYSMENU, WS_THICKFRAME, Main, Menu, ZorvoTestCase,
                       wait_until)
from zorvo_e2e import IDLE_CAPTION

CAPTION = IDLE_CAPTION
ALREADY_RUNNING = "Данная программа уже запущена!"
LIBRARY_MESSAGE = "Файл sleep.dll не найден!\r\nЗаходите на сайт https://zorvo.example/ для обновления"


class StartState(ZorvoTestCase):
    """One program started without switches; every test reads part of its start state."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.program = cls.start_main_for_class()

    def test_texts(self):
        d = self.driver
        self.assertEqual(d.text(MAIN), CAPTION)
        self.assertEqual(d.text(MAIN, Main.lblEnter), "Zorvo настроен на выключение")
        self.assertEqual(d.text(MAIN, Main.lblH), "0:01")
        self.assertEqual(d.text(MAIN, Main.Combo1), "1")
        self.assertEqual(d.text(MAIN, Main.lblActivate), "Активировать")

    def test_minutes_list_holds_1_to_360(self):
        d = self.driver
        self.assertEqual(d.combo_count(MAIN, Main.Combo1), 360)
        self.assertEqual(d.combo_item(MAIN, Main.Combo1, 0), "1")
        self.assertEqual(d.combo_item(MAIN, Main.Combo1, 99), "100")
        self.assertEqual(d.combo_item(MAIN, Main.Combo1, 359), "360")

    def test_date_is_today_in_russian_short_form(self):
        text = self.driver.text(MAIN, Main.lblDate)
        today = datetime.date.today()
        # Accept yesterday's date when the program started just before midnight.
        allowed = {d.strftime("%d.%m.%Y") for d in (today, today - datetime.timedelta(days=1))}
        self.assertIn(text, allowed)

    def test_clock_shows_the_time_and_runs(self):
        d = self.driver
        # The system's long time form: Russian Windows writes H:mm:ss, Wine 8's ru-RU HH:mm:ss.
        time_format = re.compile(r"^([01]?[0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]$")
        first = wait_until(lambda: d.text(MAIN, Main.lblTime), timeout=5)
        self.assertRegex(first, time_format)
        h, m, s = (int(v) for v in first.split(":"))
        now = datetime.datetime.now()
        shown = h * 3600 + m * 60 + s
        actual = now.hour * 3600 + now.minute * 60 + now.second
        drift = min((actual - shown) % 86400, (shown - actual) % 86400)
        self.assertLessEqual(drift, 5, "lblTime %s, now %s" % (first, now.strftime("%H:%M:%S")))
        self.assertTrue(wait_until(lambda: d.text(MAIN, Main.lblTime) != first, timeout=3),
                        "the clock did not move past %s" % first)

    def test_menu_marks(self):
        expected = {
            "mnuShutDown": True, "mnuReboot": False, "mnuAlarm": False, "mnuWait": False,
            "mnuSleep": False, "mnuLog": False, "mnuTopM": False,
        }
        for name, checked in expected.items():
            with self.subTest(name):
                self.assertEqual(self.driver.menu_state(MAIN, getattr(Menu, name)).checked, checked)

    def test_idle_controls(self):
        d = self.driver
        self.assertFalse(d.menu_state(MAIN, Menu.mnuReset).enabled, "mnuReset")
        self.assertTrue(d.menu_state(MAIN, Menu.mnuActive).enabled, "mnuActive")
        self.assertTrue(d.enabled(MAIN, Main.lblActivate), "lblActivate")
        self.assertTrue(d.enabled(MAIN, Main.Combo1), "Combo1")

    def test_visible_and_hidden_labels(self):
        d = self.driver
        self.assertTrue(d.visible(MAIN))
        for name in ("lblEnter", "Combo1", "lblMin", "lblH", "lblDate", "lblTime", "lblActivate"):
            with self.subTest(name):
                self.assertTrue(d.visible(MAIN, getattr(Main, name)))
        for name in ("lblReset", "lblLog"):
            with self.subTest(name):
                self.assertFalse(d.visible(MAIN, getattr(Main, name)))

    def test_tooltips(self):
        # Made once the window has been painted: they come a moment after it shows.
        tips = wait_until(lambda: self.driver.tooltips(MAIN), timeout=5)
        combo = "Выберите время(в минутах)"
        expected = [
            (Main.lblEnter, "Текущий статус"),
            (1001, combo),  # the combo box's edit field, where the pointer mostly rests
            (Main.Combo1, combo),
            (Main.lblH, "Время в часах"),
            (Main.lblDate, "Текущая дата"),
            (Main.lblTime, "Текущее время"),
            (Main.lblActivate, "Нажмите для включения таймера"),
            (Main.lblReset, "Нажмите для отключения таймера"),
        ]
        self.assertEqual(tips, sorted(expected))

    def test_fixed_frame_and_client_size(self):
        d = self.driver
        style, exstyle = d.styles(MAIN)
        for name, bit in (("WS_CAPTION", WS_CAPTION), ("WS_SYSMENU", WS_SYSMENU),
                          ("WS_MINIMIZEBOX", WS_MINIMIZEBOX)):
            with self.subTest(name):
                self.assertEqual(style & bit, bit, "style 0x%X" % style)
        for name, bit in (("WS_MAXIMIZEBOX", WS_MAXIMIZEBOX), ("WS_THICKFRAME", WS_THICKFRAME)):
            with self.subTest(name):
                self.assertEqual(style & bit, 0, "style 0x%X" % style)
        self.assertEqual(exstyle & WS_EX_TOPMOST, 0, "not on top at start")
        self.assertEqual(d.dpi(), 96)
        self.assertEqual(d.client_size(MAIN), (387, 256))


class SecondCopy(ZorvoTestCase):
    def test_second_copy_refuses_and_first_runs_on(self):
        d = self.driver
        folder = self.program_folder()
        first = self.start_main(folder=folder)
        first_pid = d.pid(MAIN)

        second = self.start(folder=folder)
        self.assertEqual(d.message_box_text(wait_ms=15000), ALREADY_RUNNING)
        # Not even a hidden window: scripts find the running copy by its window class.
        owners = [pid for _, pid, _ in d.windows(MAIN)]
        self.assertEqual(owners, [first_pid], "the refused copy must own no main window")
        self.assertTrue(d.message_box_ok())
        self.assertIsNotNone(second.wait_exit(10), "the second copy did not end")

        self.assertTrue(first.running())
        self.assertEqual(d.pid(MAIN), first_pid)
        self.assertTrue(d.visible(MAIN))
        self.assertEqual(d.text(MAIN), CAPTION)
        self.assertIsNone(d.message_box_text())
        # What the harness waits on between tests: held while a copy runs, free once it is gone.
        self.assertTrue(d.instance_held())
        self.end_programs()
        self.assertFalse(d.instance_held())


class PowerLibraryCheck(ZorvoTestCase):
    def assert_refused_for_library(self, program):
        d = self.driver
        self.assertEqual(d.message_box_text(wait_ms=15000), LIBRARY_MESSAGE)
        self.assertEqual(d.windows(MAIN), [], "a refused copy owns no main window, not even hidden")
        self.assertTrue(d.message_box_ok())
        self.assertIsNotNone(program.wait_exit(10), "the program did not end after the message")
        self.assertEqual([w for w in d.windows(MAIN) if w[2]], [])

    def test_missing_library(self):
        program = self.start(folder=self.program_folder(library=False))
        self.assert_refused_for_library(program)

    def test_library_in_working_directory_only_does_not_count(self):
        workdir = self.scratch / "work"
        workdir.mkdir()
        shutil.copy2(SLEEP_DLL, workdir / "sleep.dll")
        program = self.start(folder=self.program_folder(library=False), cwd=workdir)
        self.assert_refused_for_library(program)

    def test_folders_with_blank_and_cyrillic_names(self):
        for name in ("Zorvo timer", "Таймер Зорво"):
            with self.subTest(name):
                self.start_main(folder=self.program_folder(name=name))
                self.end_programs()
                program = self.start(folder=self.program_folder(name=name + " без", library=False))
                self.assert_refused_for_library(program)

    def test_program_in_drive_root(self):
        root = self.scratch / "root"
        root.mkdir()
        shutil.copy2(self.program_folder().exe, root / "zorvo.exe")
        drive = self.session.map_drive("r", root)
        try:
            program = self.start(folder=drive + "zorvo.exe", cwd=self.scratch)
            self.assert_refused_for_library(program)
            shutil.copy2(SLEEP_DLL, root / "sleep.dll")
            self.start_main(folder=drive + "zorvo.exe", cwd=self.scratch)
        finally:
            self.end_programs()
            self.session.unmap_drive("r")
