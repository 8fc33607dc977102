"""The batch-file dialog: the files it writes (exact bytes, in the working directory, in the OEM
code page), a user's own file, a long path, and batch files that really start the program."""

from zorvo_e2e import (ALARM, BAT, IDNO, IDYES, MAIN, SHUTDOWN, WS_EX_TOOLWINDOW, Bat, Main,
                       Menu, ZorvoTestCase, wait_until, windows_path)

ACTIONS = ["Выключение", "Ждущий режим", "Звуковой сигнал", "Перезагрузка", "Спящий режим"]
MODES = {"": Bat.Option1, "/min": Bat.Option2, "/hid": Bat.Option3}
WS_MINIMIZEBOX_MAXIMIZEBOX_THICKFRAME, WS_SYSMENU = 0x70000, 0x80000


class BatchDialogCase(ZorvoTestCase):
    def start_in_workdir(self, folder=None, exe=None):
        """Starts the program from its own folder with another folder as working directory."""
        self.workdir = self.scratch / "work"
        self.workdir.mkdir(exist_ok=True)
        self.folder = folder or self.program_folder()
        self.program = self.start_main(folder=exe or self.folder, cwd=self.workdir)
        return self.program.window(), self.program.window(BAT)

    def choose(self, main, bat, action=None, minutes=None, mode=None):
        """Opens the dialog and makes the choices given."""
        d = self.driver
        self.open_form(main, Menu.mnuBat, bat)
        if action is not None:
            d.combo_select(bat, Bat.Combo2, ACTIONS.index(action))
        if minutes is not None:
            d.select(bat, Bat.Combo1)
            d.type_text(bat, Bat.Combo1, minutes)
        if mode is not None:
            d.button_click(bat, MODES[mode])
        d.sync(bat)

    def generate(self, main, bat, answer=None, **choice):
        """Writes a file; `answer` answers the question about a file of the user's there."""
        d = self.driver
        self.choose(main, bat, **choice)
        d.click(bat, Bat.lblOK)
        if answer is not None:
            box = d.message_box(wait_ms=5000)
            self.assertIsNotNone(box, "no question before replacing the user's file")
            self.assertEqual(box.buttons, [IDNO, IDYES], "Yes and No, No the default")
            self.assertTrue(d.message_box_press(answer))
            if answer == IDNO:
                d.sync(bat)
                self.assertTrue(d.visible(bat), "No leaves the dialog open")
                d.click(bat, Bat.lblCancel)
        self.assertTrue(d.wait_gone(bat, 5000), "the dialog must close")
        self.assertTrue(d.enabled(main))

    def written(self):
        return {p.name: p.read_bytes() for p in self.workdir.iterdir()}

    def content(self, switches, exe=None):
        exe = windows_path(exe or self.folder.exe)
        if " " in exe:
            exe = '"" "%s"' % exe
        return ("start %s %s\r\necho exit\r\n" % (exe, switches)).encode("cp866")


class BatchDialog(BatchDialogCase):
    def test_each_action_and_window_mode(self):
        d = self.driver
        # A path with a blank (quoted after an empty title) and Cyrillic letters (in cp866).
        main, bat = self.start_in_workdir(self.program_folder("Таймер Zorvo"))
        self.choose(main, bat)
        # Modal: a narrow tool window with a close box only, owned by the main window and
        # centred on it; the main window takes no input.
        _, _, _, style, exstyle, owner, *_ = d.state(bat)
        self.assertEqual(style & (WS_MINIMIZEBOX_MAXIMIZEBOX_THICKFRAME | WS_SYSMENU), WS_SYSMENU)
        self.assertEqual(exstyle & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW)
        self.assertEqual(owner, d.handle(self.program))
        (ml, mt, mw, mh), (bl, bt, bw, bh) = d.rect(main)[:4], d.rect(bat)[:4]
        self.assertLessEqual(abs(2 * ml + mw - 2 * bl - bw), 2)
        self.assertLessEqual(abs(2 * mt + mh - 2 * bt - bh), 2)
        self.assertFalse(d.enabled(main))
        d.close_window(bat)
        self.assertTrue(d.wait_gone(bat, 5000))
        self.assertEqual(self.written(), {}, "closing writes nothing")

        cases = [  # the last, with no choice made, shows that each opening starts afresh
            ("Перезагрузка", "45", "/hid", "reset.bat", "/r 45 /hid"),
            ("Ждущий режим", "360", "/min", "wait.bat", "/w 360 /min"),
            ("Спящий режим", "7", "", "sleep.bat", "/s 7 "),
            ("Звуковой сигнал", "5", "/min", "alarm.bat", "/a 5 /min"),
            (None, None, None, "shutdown.bat", "/v 1 "),
        ]
        for action, minutes, mode, name, switches in cases:
            with self.subTest(name):
                self.generate(main, bat, action=action, minutes=minutes, mode=mode)
                self.assertEqual(self.written().get(name), self.content(switches))
        self.assertEqual(len(self.written()), 5)
        self.assertEqual(sorted(p.name for p in self.folder.path.iterdir()),
                         ["sleep.dll", "zorvo.exe"], "nothing lands in the program folder")
        self.assertIn("\\Таймер Zorvo\\".encode("cp866"), self.written()["alarm.bat"])

    def test_a_users_own_file_is_replaced_only_after_yes(self):
        main, bat = self.start_in_workdir()
        ours = self.content("/r 45 /hid")
        choice = dict(action="Перезагрузка", minutes="45", mode="/hid")
        # A script of the user's, and files close to ours: read whole, each is still the user's.
        for own in (b"@echo off\r\nshutdown /s /t 0\r\n", ours[:-1] + b" ",
                    ours[:ours.index(b"echo")], ours.replace(b"\r\n", b"\n")):
            with self.subTest(own=own):
                (self.workdir / "reset.bat").write_bytes(own)
                self.generate(main, bat, answer=IDNO, **choice)
                self.assertEqual(self.written(), {"reset.bat": own})
        self.generate(main, bat, answer=IDYES, **choice)
        self.assertEqual(self.written(), {"reset.bat": ours})
        # The same bytes again: ours already, so no question.
        self.generate(main, bat, **choice)
        self.assertEqual(self.written(), {"reset.bat": ours})

    def test_path_longer_than_259_characters(self):
        folder = self.program_folder("Zorvo " + "x" * 120)
        deeper = folder.path / ("y" * 120)
        deeper.mkdir()
        for name in ("zorvo.exe", "sleep.dll"):
            (folder.path / name).rename(deeper / name)
        self.assertGreater(len(windows_path(deeper / "zorvo.exe")), 259)
        main, bat = self.start_in_workdir(folder, exe=deeper / "zorvo.exe")
        self.generate(main, bat, minutes="4")
        line = self.written()["shutdown.bat"].split(b"\r\n")[0]
        self.assertLessEqual(len(line), len('start "" "" /v 4 ') + 259, line)
        self.assertIn(b"~", line, "the short form of the path")
        # Not run: Wine cannot start a program whose long path passes MAX_PATH, not even by its
        # short form (Windows can); the line is what cmd.exe needs.


class BatchFilesRun(BatchDialogCase):
    """Generated files run with Wine's cmd.exe start the program with the chosen task."""

    def test_the_files_start_the_task(self):
        d = self.driver
        cases = [  # folder, choice, file, cmd's options, caption, window
            ("Zorvo timer", dict(action="Звуковой сигнал", minutes="5", mode="/min"), "alarm.bat",
             (), ALARM, "minimised"),
            # cmd /v:on reads "!...!" as a variable even inside quotes: the long path would
            # start nothing.
            ("Zorvo tools!", dict(minutes="3", mode="/hid"), "shutdown.bat", ("/v:on",),
             SHUTDOWN, "hidden"),
        ]
        for name, choice, file, options, prefix, window in cases:
            with self.subTest(name):
                main, bat = self.start_in_workdir(self.program_folder(name))
                self.generate(main, bat, **choice)
                self.assertNotIn(b"!", self.written()[file])
                # One copy at a time: the one that wrote the file leaves first.
                d.close_window(main)
                self.assertIsNotNone(self.programs[0].wait_exit(10))
                result = self.session.run("wine", "cmd", *options, "/c", file, timeout=60,
                                          cwd=self.workdir)
                self.assertEqual(result.returncode, 0)
                pids = wait_until(lambda: [p for _, p, _ in d.windows(MAIN)], timeout=20)
                self.assertTrue(pids, "the batch file started no program")
                main = "%s@%d" % (MAIN, pids[0])
                self.assertGreater(self.left(main, prefix), int(choice["minutes"]) * 60 - 10)
                self.assertEqual(d.text(main, Main.Combo1), choice["minutes"])
                self.assertEventually(lambda: (d.iconic(main), d.visible(main)) ==
                                      (True, window == "minimised"), timeout=5)
                self.end_programs()
