"""End-to-end test library: runs the real zorvo.exe under Wine and drives it with zdrive.exe.

One Wine prefix and one persistent wineserver serve the whole run (see run.py); each test gets
its own program folders in a temporary directory and leaves no program running behind it.
"""

import collections
import functools
import os
import re
import select
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
WINE_ENV = REPO / "tools" / "wine_env.sh"
BUILD = Path(os.environ.get("ZORVO_BUILD", REPO / "build" / "windows")).resolve()
ZORVO_EXE, SLEEP_DLL, DRIVER_EXE = BUILD / "zorvo.exe", BUILD / "sleep.dll", BUILD / "e2e/zdrive.exe"

# Window classes and control IDs of the program's automation contract.
MAIN, BAT, ABOUT, DIAL = "frmMain", "frmBat", "frmAbout", "frmDial"


class Main:
    lblEnter, lblLog, Combo1, lblMin, lblH, lblDate, lblTime, lblActivate, lblReset = \
        range(1001, 1010)


class Menu:
    mnuActive, mnuReset, mnuTray, mnuTopM, mnuExit = range(2001, 2006)
    mnuShutDown, mnuAlarm, mnuWait, mnuReboot, mnuSleep, mnuLog, mnuBat, mnuAbout = \
        range(2011, 2019)


class Bat:
    Label1, Label2, Combo1, Combo2, Frame1, Option1, Option2, Option3, lblOK, lblCancel = \
        range(3001, 3011)


class About:
    Text1, lblHomePage, lblOK = range(4001, 4004)


class Dial:
    Label1 = 5001


WS_EX_TOPMOST, WS_EX_TOOLWINDOW = 0x8, 0x80
# Mouse messages that reach frmMain through the notification-area icon, and keys.
WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP = 0x201, 0x202, 0x203, 0x205
VK_TAB, VK_RETURN, VK_ESCAPE = 0x09, 0x0D, 0x1B
IDOK, IDYES, IDNO = 1, 6, 7

# The version as project() in CMakeLists.txt gives it, the one place it is written.
VERSION = re.search(r"project\(\s*zorvo\s+VERSION\s+([0-9.]+)",
                    (REPO / "CMakeLists.txt").read_text(encoding="utf-8"))[1]
# The main window's caption while no countdown runs, and the countdown's for each task.
IDLE_CAPTION = "Zorvo v." + VERSION
SHUTDOWN = "Zorvo - до выключения осталось "
REBOOT = "Zorvo - до перезагрузки осталось "
ALARM = "Zorvo - подача звукового сигнала через "
STANDBY = "Zorvo - войдет в ждущий режим через "
HIBERNATE = "Zorvo - войдет в спящий режим через "
WARNING = "Вы пытаетесь ввести недопустимое значение!\r\nДопустимый диапазон от 1 до 360 мин"

MenuState = collections.namedtuple("MenuState", "checked enabled")
MessageBox = collections.namedtuple("MessageBox", "count buttons text")


class Picture(collections.namedtuple("Picture", "width height pixels")):
    """RGB pixels, row by row, three bytes each."""

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return bytes(self.pixels[at:at + 3])


def windows_path(path):
    """The path as programs in the Wine prefix see it (drive Z: is the Linux root)."""
    return "Z:" + str(path).replace("/", "\\")


def wait_until(predicate, timeout=10, interval=0.1):
    """Polls `predicate` until it returns a true value; returns its last value."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()) and time.monotonic() < deadline:
        time.sleep(interval)
    return value


class DriverError(AssertionError):
    """A driver command failed: the window or control is not there, or it did not answer."""


class WineSession:
    """The Wine prefix and persistent wineserver shared by every test of a run (or the `prefix`
    given, removed at the end)."""

    def __init__(self, prefix=None):
        self.own_prefix = prefix is not None or "WINEPREFIX" not in os.environ
        self.prefix = (prefix or os.environ.get("WINEPREFIX") or
                       tempfile.mkdtemp(prefix="zorvo-wine-"))
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LANG="ru_RU.UTF-8",
                        LC_ALL="ru_RU.UTF-8")
        self.env.pop("WINEARCH", None)
        self.scratch = Path(tempfile.mkdtemp(prefix="zorvo-e2e-"))

    def run(self, *args, timeout=120, cwd=None):
        # No pipes: a wineserver started here would hold them open.
        return subprocess.run(args, env=self.env, timeout=timeout, check=False, cwd=cwd,
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)

    def start(self):
        # The prefix is set up as everywhere else (tools/wine_env.sh): no stall on hiding windows
        # without a window manager, and a crash ends the program instead of opening a debugger.
        self.run("bash", "-c", 'source "$1" && init_wine_prefix', "_", str(WINE_ENV), timeout=300)
        self.run("wineserver", "-p")

    def stop(self):
        self.run("wineserver", "-k")
        shutil.rmtree(self.scratch, ignore_errors=True)
        if self.own_prefix:
            shutil.rmtree(self.prefix, ignore_errors=True)

    def set_dpi(self, dpi):
        self.run("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                 "REG_DWORD", "/d", str(dpi), "/f")


# Wine's own files in a prefix, hundreds of megabytes that no test writes to: copies of a prefix
# share them through hard links; everything else (the registry above all) is a copy of its own.
SHARED_SUFFIXES = {".dll", ".exe", ".nls", ".sys", ".drv", ".ocx", ".cpl", ".acm", ".tlb", ".ax",
                   ".ds", ".msstyles", ".ttf", ".ttc", ".fon"}


def copy_prefix(source, target):
    def link_or_copy(source, target):
        if Path(source).suffix.lower() in SHARED_SUFFIXES:
            try:
                return os.link(source, target)
            except OSError:  # another file system, say: a copy does as well
                pass
        return shutil.copy2(source, target)
    shutil.copytree(source, target, symlinks=True, copy_function=link_or_copy, dirs_exist_ok=True)


def _token(value):
    """One argument of a driver command in ASCII: blanks and backslashes escaped, and each UTF-16
    unit beyond printable ASCII written as \\uXXXX."""
    return "".join("\\\\" if u == 0x5C else "\\s" if u == 0x20 else chr(u) if 0x20 < u < 0x7F else
                   "\\u%04x" % u for u in memoryview(str(value).encode("utf-16-le")).cast("H"))


def _windows(value):
    """(hwnd, pid, visible) of every top-level window `list` names."""
    return [(int(h, 16), int(p), v == "1") for h, p, v in (w.split(":") for w in value.split())]


def _numbers(value):
    return tuple(int(v, 0) for v in value.split())


def _flag(value):
    return value == "1"


WindowState = collections.namedtuple(
    "WindowState", "visible enabled iconic style exstyle owner key alpha layered")
# Driver methods that are one command each: name: (command, how its answer is read). A control
# ID left out means the window itself.
COMMANDS = {
    "windows": ("list", _windows),
    "text": ("get-text", str),
    # Visible, enabled, minimised, styles, owner (0 for none: an owned window has no taskbar
    # button) and a layered window's colour key, alpha and flags.
    "state": ("window", lambda v: WindowState(*_numbers(v))),
    "visible": ("window", lambda v: WindowState(*_numbers(v)).visible),
    "enabled": ("window", lambda v: WindowState(*_numbers(v)).enabled),
    "iconic": ("window", lambda v: WindowState(*_numbers(v)).iconic),
    "menu_state": ("menu-state", lambda v: MenuState(*(w in ("checked", "enabled")
                                                        for w in v.split()))),
    # The widths of the big and the small icon the shell shows for the window.
    "icons": ("icons", _numbers),
    # (control ID, text) for every tool of the tooltips the window owns.
    "tooltips": ("tooltips", lambda v: sorted((int(i), t) for i, _, t in
                                              (e.partition(":") for e in v.split("\t") if e))),
    # The window's (or control's) left, top, width, height on the screen, then its client area's.
    "rect": ("rect", _numbers),
    "selection": ("get-sel", _numbers),
    # The control ID with the keyboard focus in the window's thread: 0 for the window itself,
    # None for no focus, -1 for another window (a message box, say).
    "focus": ("focus", lambda v: None if v == "none" else int(v)),
    # Whether the notification area holds the program's icon for the window handle.
    "has_tray_icon": ("tray-icon", _flag),
    "kill_image": ("kill-image", int),
    "instance_held": ("instance-held", _flag),
    "foreground": ("foreground", _flag),
    "show_window": ("show-window", str),
    # Returns once the window's thread has handled everything posted to it before.
    "sync": ("sync", str),
}
# Messages posted as the user's hand or the system would: name: (message, WPARAM, LPARAM), ARG
# standing for the caller's argument after the window (and control).
POSTED = {
    "click": [(0x201, 1, "centre"), (0x202, 0, "centre")],
    "hover": [(0x200, 0, "centre")],
    "key": [(0x100, "ARG", 1)],  # to a combo box's edit field
    "select": [(0x00B1, 0, -1)],  # all of an edit's text
    "combo_select": [(0x014E, "ARG", 0)],
    "button_click": [(0x00F5, 0, 0)],
}
# The same, posted to the window itself.
POSTED_TO_WINDOW = {
    "command": [(0x0111, "ARG", 0)],  # the menu item's command
    "tray": [(0x0200, 1, "ARG")],  # the icon's callback with a mouse message
    "close_window": [(0x0010, 0, 0)],
}


class Driver:
    """One zdrive.exe kept running; each call sends one command line and reads its answer."""

    def __init__(self, session):
        self.session = session
        self.proc = None
        self.buffer = b""

    def close(self):
        if self.proc is not None:
            try:
                self.proc.communicate(timeout=5)  # its input ends: it ends
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()
            self.proc = None

    def _read_line(self, timeout):
        deadline = time.monotonic() + timeout
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.proc.stdout], [], [], left)[0]:
                raise TimeoutError
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                raise EOFError
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode("utf-8").rstrip("\r")

    def call(self, *args, timeout=30):
        """Runs one command; returns (status, value) where status is ok, timeout or none."""
        if self.proc is None or self.proc.poll() is not None:
            self.proc = subprocess.Popen(["wine", str(DRIVER_EXE)], env=self.session.env,
                                         stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                         stderr=subprocess.DEVNULL)
            self.buffer = b""
        line = " ".join(_token(a) for a in args)
        try:
            self.proc.stdin.write(line.encode("utf-8") + b"\n")
            self.proc.stdin.flush()
            answer = self._read_line(timeout)
        except (OSError, TimeoutError, EOFError) as error:
            self.proc.kill()
            self.proc.wait()
            self.proc = None
            raise DriverError("driver gave no answer to %r (%s)" % (line, type(error).__name__))
        status, _, value = answer.partition(" ")
        if status == "error":
            raise DriverError("%s: %s" % (line, value))
        return status, re.sub(r"\\(.)", lambda m: {"r": "\r", "n": "\n", "t": "\t"}.get(
            m[1], m[1]), value)

    def value(self, *args, **kw):
        status, value = self.call(*args, **kw)
        if status != "ok":
            raise DriverError("%s: %s" % (" ".join(map(str, args)), status))
        return value

    def __getattr__(self, name):
        """The methods of COMMANDS (the command with the arguments given, its answer read) and
        of POSTED: (window, control[, ARG]) and of POSTED_TO_WINDOW: (window[, ARG])."""
        if name in COMMANDS:
            command, read = COMMANDS[name]
            return lambda *args: read(self.value(command, *args))
        if name in POSTED or name in POSTED_TO_WINDOW:
            def post(window, *args):
                control, arg = (0, *args, 0)[:2] if name in POSTED_TO_WINDOW else (*args, 0)[:2]
                for message in (POSTED.get(name) or POSTED_TO_WINDOW[name]):
                    self.post(window, control, *(arg if v == "ARG" else v for v in message))
            return post
        raise AttributeError(name)

    def post(self, window, control_id, message, wparam=0, lparam=0):
        self.value("post", window, control_id, message, wparam, lparam)

    def launch(self, show, cwd, exe, *args):
        """Starts `exe` as the shell does, with the show command `show`; the Windows process ID."""
        return int(self.value("launch", show, windows_path(cwd), windows_path(exe), *args))

    def wait(self, done, cls, timeout_ms=10000):
        """Until `done` is true of the shown flags of the windows of the class ("CLASS" or
        "CLASS@PID"): wait_window, wait_exists and wait_gone, until a visible window of the class
        exists, any window, no visible one."""
        name, _, pid = cls.partition("@")

        def shown():
            return [v for _, p, v in self.windows(name) if not pid or p == int(pid)]
        return bool(wait_until(lambda: done(shown()), timeout_ms / 1000, 0.05))

    wait_window = functools.partialmethod(wait, any)
    wait_exists = functools.partialmethod(wait, bool)
    wait_gone = functools.partialmethod(wait, lambda shown: not any(shown))

    def wait_ticks(self, main, ticks=2):
        """Waits until the window's clock has moved `ticks` times: as long as the program's own
        timers take for that, however loaded the machine."""
        seen = [self.text(main, Main.lblTime)]
        if not wait_until(lambda: seen.append(self.text(main, Main.lblTime)) or
                          len(set(seen)) > ticks, timeout=10 * ticks):
            raise DriverError("the clock of %s stands still at %s" % (main, seen[-1]))

    def type_text(self, cls, control_id, text):
        """WM_CHAR per character to the edit field, posted: each handled, in order, before the
        next."""
        for char in text:
            self.post(cls, control_id, 0x0102, ord(char), 1)

    def press_keys(self, window, *vks):
        """Types the keys (pressed in order, let go in the reverse order) as one input, at a
        moment the window they are meant for is in front: activation lags behind the focus. Under
        Wine a window can lose the front for good to the desktop (when X reports the focus gone
        to no window of Wine's): after two seconds it is brought back as a click on it would."""
        keys = list(vks) + [-vk for vk in reversed(vks)]
        typed = lambda: self.value("keys", window, *keys) == "1"  # noqa: E731
        if not wait_until(typed, 2):
            self.value("activate", window)
            if not wait_until(typed, 3):
                raise AssertionError("the window never came to the front for the keys")

    def capture(self, cls, control_id=0):
        """The control's client area (the window's for 0) as a Picture, as the screen shows it."""
        path = Path(self.session.scratch) / "capture.ppm"
        self.value("capture", cls, control_id, windows_path(path))
        _, size, _, pixels = path.read_bytes().split(b"\n", 3)  # P6, width height, 255
        return Picture(*map(int, size.split()), bytearray(pixels))

    def handle(self, program, cls=MAIN):
        """The handle of the copy's window of the class, to ask about after the window is gone."""
        return next(h for h, pid, _ in self.windows(cls) if pid == program.windows_pid)

    def message_box(self, wait_ms=0, press=None):
        """The program's message box (class #32770, caption "Zorvo"), waited for up to `wait_ms`,
        or None; `press` presses its button of that ID."""
        def ask():
            status, value = self.call("messagebox", *([] if press is None else [press]))
            return value if status == "ok" else None
        value = wait_until(ask, wait_ms / 1000, 0.05)
        if value is None:
            return None
        head, _, text = value.partition("\t")
        count, *buttons = map(int, head.split())
        return MessageBox(count, buttons, text)  # the default button first

    def message_box_text(self, wait_ms=0):
        box = self.message_box(wait_ms)
        return box and box.text

    def message_box_press(self, button_id=IDOK):
        """Presses the box's button; true once no box of the program is left."""
        return self.message_box(press=button_id) is not None and bool(
            wait_until(lambda: self.message_box() is None, 5))


class ProgramFolder:
    """A folder holding a copy of the program, with or without its library."""

    def __init__(self, parent, name="Zorvo", library=True):
        self.path = Path(parent) / name
        self.path.mkdir(parents=True, exist_ok=True)
        self.exe = self.path / "zorvo.exe"
        shutil.copy2(ZORVO_EXE, self.exe)
        if library:
            shutil.copy2(SLEEP_DLL, self.path / "sleep.dll")


class Program:
    """One started copy of the program (a wine process), what Wine prints kept in `log`."""

    windows_pid = None  # set once its main window has shown

    def __init__(self, session, exe, cwd, args=(), log=None, env=None):
        self.log = open(log or session.scratch / ("wine-%d.log" % time.monotonic_ns()), "w+b")
        self.proc = subprocess.Popen(["wine", str(exe), *map(str, args)], cwd=str(cwd),
                                     env=dict(session.env, **(env or {})), stdout=self.log,
                                     stdin=subprocess.DEVNULL, stderr=subprocess.STDOUT)

    def window(self, cls=MAIN):
        """The driver's name for this copy's window of the class ("frmMain@PID")."""
        return "%s@%d" % (cls, self.windows_pid)

    def running(self):
        return self.proc.poll() is None

    def output(self):
        self.log.flush()
        return Path(self.log.name).read_bytes()

    def wait_exit(self, timeout=10):
        """The exit code, or None when the program is still running after `timeout` seconds."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait()
        self.log.close()


_shared = []  # the run's session and driver, made when the first test needs them


def shutdown():
    if _shared:
        _shared[1].close()
        _shared.pop(0).stop()
        _shared.clear()


class ZorvoTestCase(unittest.TestCase):
    """Base class: a fresh scratch folder per test, and no copy of the program left afterwards."""

    @classmethod
    def setUpClass(cls):
        if not ZORVO_EXE.exists() or not DRIVER_EXE.exists():
            raise unittest.SkipTest("build the windows preset first: %s" % BUILD)
        if not _shared:
            _shared.append(WineSession())
            _shared[0].start()
            _shared.append(Driver(_shared[0]))
        cls.session, cls.driver = _shared
        cls.class_scratch = Path(tempfile.mkdtemp(dir=cls.session.scratch, prefix=cls.__name__))

    def setUp(self):
        self.scratch = Path(tempfile.mkdtemp(dir=self.class_scratch, prefix=self._testMethodName))
        self.programs = []

    def tearDown(self):
        self.end_programs()

    def end_programs(self):
        """Ends every copy of the program that this test started, and any a batch file or the
        shell started, and waits until their windows and their single-copy object are gone, so
        that the next start does not meet them."""
        for program in self.programs:
            program.kill()
        self.programs.clear()
        self.driver.kill_image("zorvo.exe")
        wait_until(lambda: not any(self.driver.windows(cls) for cls in (MAIN, BAT, ABOUT, DIAL))
                   and not self.driver.instance_held(), timeout=30)

    def program_folder(self, name="Zorvo", library=True):
        return ProgramFolder(self.scratch, name, library)

    def start(self, folder=None, cwd=None, args=(), env=None):
        """Starts a copy of the program (by default from a fresh folder with its library);
        `env` adds to or replaces variables of the session's environment for this copy only."""
        folder = folder or self.program_folder()
        program = Program(self.session, getattr(folder, "exe", folder), cwd or self.scratch, args,
                          env=env)
        self.programs.append(program)
        return program

    def start_main(self, shown=True, **kw):
        """Starts the program and waits until its main window shows (with shown=False, until it
        exists: a start that hides it); returns the program."""
        before = {pid for _, pid, _ in self.driver.windows(MAIN)}
        program = self.start(**kw)
        program.windows_pid = self.wait_new_main(self.driver, before, program, shown)
        return program

    def wait_new_main(self, drv, before, program, visible_only=True):
        def shown():
            return [pid for _, pid, visible in drv.windows(MAIN)
                    if (visible or not visible_only) and pid not in before]
        pids = wait_until(lambda: shown() or not program.running(), timeout=20)
        if not pids or pids is True:
            self.fail("the main window did not show (program %s); message box: %r; Wine printed: "
                      "%r" % ("running" if program.running() else "ended with %s" %
                              program.proc.returncode, drv.message_box_text(),
                              program.output()[-2000:].decode(errors="replace")))
        return pids[0]

    def open_form(self, main, item, window, timeout_ms=5000):
        """Opens a dialog by its menu item and waits until it shows and has settled."""
        self.driver.command(main, item)
        self.assertTrue(self.driver.wait_window(window, timeout_ms), "%s did not open" % window)
        self.driver.sync(window)

    def left(self, main, prefix, timeout=5):
        """The seconds left, once the window's caption counts down the task of `prefix`."""
        caption = re.escape(prefix) + r"(\d+) мин (\d\d) сек"
        found = wait_until(lambda: re.fullmatch(caption, self.driver.text(main)), timeout)
        self.assertTrue(found, "no countdown %r: %r" % (prefix, self.driver.text(main)))
        return int(found[1]) * 60 + int(found[2])

    def assertFocus(self, window, control_id, msg=None):
        """The keyboard focus comes to the control: a window activated gives it a moment later,
        on a loaded machine later still."""
        self.assertEventually(lambda: self.driver.focus(window) == control_id, 5, msg or
                              "the focus is at %r, not %r" % (self.driver.focus(window), control_id))

    def assertEventually(self, predicate, timeout=10, msg=None):
        value = wait_until(predicate, timeout)
        self.assertTrue(value, msg)
        return value
