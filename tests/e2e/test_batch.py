"""The batch-file dialog: its start state, the files it writes (exact bytes, in the working
directory), cancelling, the minutes rule, and batch files that really start the program."""

import subprocess
import time

from zorvo_e2e import (BAT, MAIN, WS_EX_TOOLWINDOW, WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_SYSMENU,
                       WS_THICKFRAME, Bat, Main, Menu, ZorvoTestCase, wait_until, windows_path)

ACTIONS = ["Выключение", "Ждущий режим", "Звуковой сигнал", "Перезагрузка", "Спящий режим"]
MODES = {"": Bat.Option1, "/min": Bat.Option2, "/hid": Bat.Option3}
BAD_MINUTES = "Вы пытаетесь ввести недопустимое значение!\r\nДопустимый диапазон от 1 до 360 мин"
VK_TAB = 0x09
IDYES = 6
IDNO = 7


class BatchDialogCase(ZorvoTestCase):
    def start_in_workdir(self, folder=None):
        """Starts the program from its own folder with another folder as working directory."""
        self.workdir = self.scratch / "work"
        self.workdir.mkdir(exist_ok=True)
        self.folder = folder if folder is not None else self.program_folder()
        self.program = self.start_main(folder=self.folder, cwd=self.workdir)
        return self.program.window(), self.program.window(BAT)

    def open_dialog(self, main, bat):
        self.open_form(main, Menu.mnuBat, bat)

    def choose(self, bat, action=None, minutes=None, mode=None):
        d = self.driver
        if action is not None:
            items = [d.combo_item(bat, Bat.Combo2, i) for i in range(d.combo_count(bat, Bat.Combo2))]
            d.combo_select(bat, Bat.Combo2, items.index(action))
        if minutes is not None:
            d.select(bat, Bat.Combo1, 0, -1)
            d.type_text(bat, Bat.Combo1, minutes)
        if mode is not None:
            d.button_click(bat, MODES[mode])
        d.sync(bat)

    def generate(self, main, bat, replace=False, **choice):
        """Writes a file; with `replace`, answers Yes to the question about the one there."""
        self.open_dialog(main, bat)
        self.choose(bat, **choice)
        self.driver.click(bat, Bat.lblOK)
        if replace:
            self.assertIsNotNone(self.driver.message_box_text(wait_ms=5000), "no question")
            self.assertTrue(self.driver.message_box_press(IDYES))
        self.assertTrue(self.driver.wait_gone(bat, 5000), "the dialog must close after writing")

    def written(self):
        return {p.name: p.read_bytes() for p in self.workdir.iterdir()}

    def command_line(self, folder=None):
        return "start %s\\zorvo.exe" % windows_path((folder or self.folder).path)


class BatchDialog(BatchDialogCase):
    def test_start_state_window_and_keyboard(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        self.open_dialog(main, bat)
        texts = {0: "Генерация bat-файла", Bat.Label1: "Время", Bat.Label2: "Действие",
                 Bat.Frame1: "Режим окна", Bat.Option1: "Обычный",
                 Bat.Option2: "Минимизированный", Bat.Option3: "Скрытый",
                 Bat.lblOK: "Генерация", Bat.lblCancel: "Отмена", Bat.Combo1: "1",
                 Bat.Combo2: "Выключение"}
        for control, text in texts.items():
            with self.subTest(control=control):
                self.assertEqual(d.text(bat, control), text)
        self.assertEqual(d.combo_count(bat, Bat.Combo1), 360)
        self.assertEqual(d.combo_item(bat, Bat.Combo1, 359), "360")
        self.assertEqual([d.combo_item(bat, Bat.Combo2, i) for i in range(5)], ACTIONS)
        self.assertEqual(d.combo_count(bat, Bat.Combo2), 5)
        self.assertEqual([d.value("is-checked", bat, MODES[m]) for m in ("", "/min", "/hid")],
                         ["1", "0", "0"])

        # A narrow tool window with a close box only, owned by the main window and centred on it.
        style, exstyle = d.styles(bat)
        self.assertEqual(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0)
        self.assertEqual(style & WS_SYSMENU, WS_SYSMENU)
        self.assertEqual(exstyle & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW)
        self.assertEqual(d.client_size(bat), (229, 204))
        main_hwnd = d.handle(self.program)
        self.assertEqual(d.owner(bat), main_hwnd)
        ml, mt, mw, mh = (int(v) for v in d.value("window-rect", main).split())
        bl, bt, bw, bh = (int(v) for v in d.value("window-rect", bat).split())
        self.assertLessEqual(abs((ml + mw / 2) - (bl + bw / 2)), 1)
        self.assertLessEqual(abs((mt + mh / 2) - (bt + bh / 2)), 1)

        # Modal: the main window takes no input, not even keys a script posts to it.
        self.assertFalse(d.enabled(main))
        d.key(main, Main.Combo1, 0x0D)
        d.sync(main)
        self.assertTrue(d.enabled(main, Main.lblActivate), "Enter reached the disabled window")

        # Tab walks Combo1, Combo2, then the option group.
        self.assertEqual(d.focus(bat), Bat.Combo1)
        d.key(bat, Bat.Combo1, VK_TAB)
        d.sync(bat)
        self.assertEqual(d.focus(bat), Bat.Combo2)
        d.key(bat, Bat.Combo2, VK_TAB)
        d.sync(bat)
        self.assertEqual(d.focus(bat), Bat.Option1)

        d.click(bat, Bat.lblCancel)
        self.assertTrue(d.wait_gone(bat, 5000))
        self.assertTrue(d.enabled(main))
        self.assertEqual(d.focus(main), Main.Combo1, "the main window is active again")
        self.assertEqual(self.written(), {})

    def test_each_action_and_window_mode(self):
        main, bat = self.start_in_workdir()
        cmd = self.command_line()
        cases = [
            ("Выключение", None, None, "shutdown.bat", cmd + " /v 1 "),
            ("Перезагрузка", "45", "/hid", "reset.bat", cmd + " /r 45 /hid"),
            ("Ждущий режим", "360", "/min", "wait.bat", cmd + " /w 360 /min"),
            ("Спящий режим", "7", "", "sleep.bat", cmd + " /s 7 "),
            ("Звуковой сигнал", "5", "/min", "alarm.bat", cmd + " /a 5 /min"),
        ]
        for action, minutes, mode, name, line in cases:
            with self.subTest(action):
                self.generate(main, bat, action=action, minutes=minutes, mode=mode)
                content = (line + "\r\necho exit\r\n").encode("cp866")
                self.assertEqual(self.written().get(name), content)
        self.assertEqual(sorted(self.written()),
                         ["alarm.bat", "reset.bat", "shutdown.bat", "sleep.bat", "wait.bat"])
        self.assertEqual(sorted(p.name for p in self.folder.path.iterdir()),
                         ["sleep.dll", "zorvo.exe"], "nothing lands in the program folder")

        # The same action again replaces the file once the user agrees; every opening starts
        # from the defaults.
        self.generate(main, bat, minutes="12", replace=True)
        self.assertEqual(self.written()["shutdown.bat"],
                         (cmd + " /v 12 \r\necho exit\r\n").encode("cp866"))

    def test_cancel_and_close_box_write_nothing(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        for close in (lambda: d.click(bat, Bat.lblCancel), lambda: d.close_window(bat)):
            self.open_dialog(main, bat)
            self.choose(bat, action="Перезагрузка", minutes="30", mode="/hid")
            close()
            self.assertTrue(d.wait_gone(bat, 5000))
            self.assertTrue(d.enabled(main))
        self.assertEqual(self.written(), {})
        self.open_dialog(main, bat)
        self.assertEqual(d.text(bat, Bat.Combo1), "1")
        self.assertEqual(d.text(bat, Bat.Combo2), "Выключение")
        self.assertEqual(d.value("is-checked", bat, Bat.Option1), "1")
        d.close_window(bat)
        self.assertTrue(d.wait_gone(bat, 5000))

    def test_zero_minutes_warns_once_and_leaves_1(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        self.open_dialog(main, bat)
        d.select(bat, Bat.Combo1, 0, -1)
        d.type_text(bat, Bat.Combo1, "0")
        self.assertEqual(d.message_box_text(wait_ms=5000), BAD_MINUTES)
        self.assertTrue(d.message_box_ok())
        self.assertTrue(wait_until(lambda: d.message_box_count() == 0, timeout=5))
        time.sleep(0.5)
        self.assertEqual(d.message_box_count(), 0, "a second warning came up")
        self.assertEqual(d.text(bat, Bat.Combo1), "1")
        self.assertTrue(d.visible(bat), "the dialog stays open")
        d.click(bat, Bat.lblOK)
        self.assertTrue(d.wait_gone(bat, 5000))
        self.assertEqual(self.written()["shutdown.bat"],
                         (self.command_line() + " /v 1 \r\necho exit\r\n").encode("cp866"))

    def test_folders_with_blank_and_cyrillic_names(self):
        main, bat = self.start_in_workdir(self.program_folder("Zorvo timer"))
        self.generate(main, bat, action="Звуковой сигнал")
        exe = windows_path(self.folder.path) + "\\zorvo.exe"
        self.assertEqual(self.written()["alarm.bat"],
                         ('start "" "%s" /a 1 \r\necho exit\r\n' % exe).encode("cp866"))
        self.end_programs()

        main, bat = self.start_in_workdir(self.program_folder("Таймер"))
        self.generate(main, bat, mode="/hid")
        content = self.written()["shutdown.bat"]
        self.assertEqual(content, (self.command_line() + " /v 1 /hid\r\necho exit\r\n")
                         .encode("cp866"))
        self.assertIn("\\Таймер\\".encode("cp866"), content)

    def test_a_users_own_file_is_replaced_only_after_yes(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        own = b"@echo off\r\nshutdown /s /t 0\r\n"
        (self.workdir / "reset.bat").write_bytes(own)
        self.open_dialog(main, bat)
        self.choose(bat, action="Перезагрузка", minutes="45", mode="/hid")
        d.click(bat, Bat.lblOK)
        text = d.message_box_text(wait_ms=5000)
        self.assertIsNotNone(text, "no question before replacing the user's file")
        self.assertIn("reset.bat", text)
        self.assertEqual(d.message_box_buttons(), [IDNO, IDYES], "Yes and No, No the default")
        self.assertTrue(d.message_box_press(IDNO))
        self.assertTrue(wait_until(lambda: d.message_box_count() == 0, timeout=5))
        d.sync(bat)
        self.assertTrue(d.visible(bat), "No leaves the dialog open")
        self.assertEqual((d.text(bat, Bat.Combo1), d.text(bat, Bat.Combo2)), ("45", "Перезагрузка"))
        self.assertEqual(self.written(), {"reset.bat": own})

        d.click(bat, Bat.lblOK)
        self.assertIsNotNone(d.message_box_text(wait_ms=5000))
        self.assertTrue(d.message_box_press(IDYES))
        self.assertTrue(d.wait_gone(bat, 5000), "Yes writes and closes")
        ours = (self.command_line() + " /r 45 /hid\r\necho exit\r\n").encode("cp866")
        self.assertEqual(self.written(), {"reset.bat": ours})

        # The same bytes again: ours already, so no question.
        self.generate(main, bat, action="Перезагрузка", minutes="45", mode="/hid")
        self.assertEqual(d.message_box_count(), 0)
        self.assertEqual(self.written(), {"reset.bat": ours})

    def test_a_file_close_to_ours_is_still_the_users(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        ours = (self.command_line() + " /r 45 /hid\r\necho exit\r\n").encode("cp866")
        near = {
            "the same length": ours.replace(b" 45 ", b" 15 "),
            "a difference in the last byte": ours[:-1] + b" ",
            "a common beginning": ours[:ours.index(b"echo")],
            "line feeds without returns": ours.replace(b"\r\n", b"\n"),
        }
        for what, content in near.items():
            with self.subTest(what):
                (self.workdir / "reset.bat").write_bytes(content)
                self.open_dialog(main, bat)
                self.choose(bat, action="Перезагрузка", minutes="45", mode="/hid")
                d.click(bat, Bat.lblOK)
                self.assertIsNotNone(d.message_box_text(wait_ms=5000), "replaced unasked")
                self.assertTrue(d.message_box_press(IDNO))
                self.assertTrue(wait_until(lambda: d.message_box_count() == 0, timeout=5))
                self.assertEqual(self.written(), {"reset.bat": content})
                d.click(bat, Bat.lblCancel)
                self.assertTrue(d.wait_gone(bat, 5000))

    def test_path_longer_than_259_characters(self):
        folder = self.program_folder("Zorvo " + "x" * 120)
        deeper = folder.path / ("y" * 120)
        deeper.mkdir()
        for name in ("zorvo.exe", "sleep.dll"):
            (folder.path / name).rename(deeper / name)
        exe = windows_path(deeper) + "\\zorvo.exe"
        self.assertGreater(len(exe), 259)
        self.workdir = self.scratch / "work"
        self.workdir.mkdir()
        self.folder = folder
        self.program = self.start_main(folder=deeper / "zorvo.exe", cwd=self.workdir)
        main, bat = self.program.window(), self.program.window(BAT)
        self.generate(main, bat, minutes="4")
        line = self.written()["shutdown.bat"].split(b"\r\n")[0]
        self.assertLessEqual(len(line), len('start "" "" /v 4 ') + 259, line)
        self.assertIn(b"~", line, "the short form of the path")
        # Not run: Wine cannot start a program whose long path passes MAX_PATH, not even by its
        # short form (Windows can); the line is what cmd.exe needs.


class BatchFilesRun(BatchDialogCase):
    """Generated files run with Wine's cmd.exe start the program with the chosen task."""

    def run_batch(self, name, shown=True, cmd_options=()):
        """Closes the copy that wrote the file (one copy at a time), runs the file from the
        working directory and returns the driver's name for the new main window."""
        d = self.driver
        d.close_window(self.program.window())
        self.assertIsNotNone(self.programs[0].wait_exit(10), "the first copy did not end")
        before = {pid for _, pid, _ in d.windows(MAIN)}
        result = subprocess.run(["wine", "cmd", *cmd_options, "/c", name], cwd=str(self.workdir),
                                env=self.session.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        self.assertEqual(result.returncode, 0)
        pids = wait_until(lambda: [pid for _, pid, visible in d.windows(MAIN)
                                   if pid not in before and (visible or not shown)], timeout=20)
        self.assertTrue(pids, "the batch file started no program")
        return "%s@%d" % (MAIN, pids[0])

    def tearDown(self):
        # The copy a batch file started is no child of this test.
        self.driver.kill_image()
        super().tearDown()

    def caption_counting(self, main, prefix, minutes):
        d = self.driver
        caption = wait_until(lambda: d.text(main) if d.text(main).startswith(prefix) else None,
                             timeout=5)
        self.assertRegex(caption or d.text(main), "^%s%d мин 5[0-9] сек$" % (prefix, minutes - 1))

    def test_alarm_minimised(self):
        d = self.driver
        main, bat = self.start_in_workdir()
        self.generate(main, bat, action="Звуковой сигнал", minutes="5", mode="/min")
        main = self.run_batch("alarm.bat")
        self.caption_counting(main, "Zorvo - подача звукового сигнала через ", 5)
        self.assertTrue(d.menu_state(main, Menu.mnuAlarm).checked)
        self.assertFalse(d.menu_state(main, Menu.mnuShutDown).checked)
        self.assertEqual(d.text(main, Main.Combo1), "5")
        self.assertTrue(d.iconic(main), "/min must minimise the window")

    def test_shutdown_hidden_from_a_folder_with_a_blank(self):
        d = self.driver
        main, bat = self.start_in_workdir(self.program_folder("Zorvo timer"))
        self.generate(main, bat, minutes="3", mode="/hid")
        main = self.run_batch("shutdown.bat", shown=False)
        self.caption_counting(main, "Zorvo - до выключения осталось ", 3)
        self.assertTrue(d.menu_state(main, Menu.mnuShutDown).checked)
        self.assertTrue(wait_until(lambda: not d.visible(main), timeout=5), "/hid must hide")

    def test_path_with_an_exclamation_mark_under_delayed_expansion(self):
        # cmd /v:on (or the registry's DelayedExpansion) reads "!...!" as a variable even
        # inside quotes: the long path would start nothing.
        main, bat = self.start_in_workdir(self.program_folder("Zorvo tools!"))
        self.generate(main, bat, action="Звуковой сигнал", minutes="5")
        content = self.written()["alarm.bat"]
        self.assertNotIn(b"!", content)
        main = self.run_batch("alarm.bat", cmd_options=("/v:on",))
        self.caption_counting(main, "Zorvo - подача звукового сигнала через ", 5)
