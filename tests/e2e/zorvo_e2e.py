"""End-to-end test library: runs the real zorvo.exe under Wine and drives it with zdrive.exe.

One Wine prefix and one persistent wineserver serve the whole run (see run.py); each test gets
its own program folders in a temporary directory and leaves no program running behind it.
"""

import collections
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
ZORVO_EXE = BUILD / "zorvo.exe"
SLEEP_DLL = BUILD / "sleep.dll"
DRIVER_EXE = BUILD / "e2e" / "zdrive.exe"

# Window classes and control IDs of the program's automation contract.
MAIN = "frmMain"
BAT = "frmBat"
ABOUT = "frmAbout"
DIAL = "frmDial"


class Main:
    lblEnter = 1001
    lblLog = 1002
    Combo1 = 1003
    lblMin = 1004
    lblH = 1005
    lblDate = 1006
    lblTime = 1007
    lblActivate = 1008
    lblReset = 1009


class Menu:
    mnuActive = 2001
    mnuReset = 2002
    mnuTray = 2003
    mnuTopM = 2004
    mnuExit = 2005
    mnuShutDown = 2011
    mnuAlarm = 2012
    mnuWait = 2013
    mnuReboot = 2014
    mnuSleep = 2015
    mnuLog = 2016
    mnuBat = 2017
    mnuAbout = 2018


class Bat:
    Label1 = 3001
    Label2 = 3002
    Combo1 = 3003
    Combo2 = 3004
    Frame1 = 3005
    Option1 = 3006
    Option2 = 3007
    Option3 = 3008
    lblOK = 3009
    lblCancel = 3010


class About:
    Text1 = 4001
    lblHomePage = 4002
    lblOK = 4003


class Dial:
    Label1 = 5001


# Window styles checked by the tests.
WS_MAXIMIZEBOX = 0x00010000
WS_MINIMIZEBOX = 0x00020000
WS_THICKFRAME = 0x00040000
WS_SYSMENU = 0x00080000
WS_CAPTION = 0x00C00000
WS_VISIBLE = 0x10000000
WS_EX_TOPMOST = 0x00000008
WS_EX_APPWINDOW = 0x00040000
WS_EX_TOOLWINDOW = 0x00000080

# Mouse messages that reach frmMain through the notification-area icon.
WM_MOUSEMOVE = 0x200
WM_LBUTTONDOWN = 0x201
WM_LBUTTONUP = 0x202
WM_LBUTTONDBLCLK = 0x203
WM_RBUTTONUP = 0x205
VK_RETURN = 0x0D
VK_LCONTROL = 0xA2
VK_RCONTROL = 0xA3
VK_T = 0x54
BACKSPACE = "\b"


def _project_version():
    """The version as CMakeLists.txt's project() gives it, the one place it is written."""
    text = (REPO / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(\s*zorvo\s+VERSION\s+([0-9.]+)", text)[1]


VERSION = _project_version()
# The main window's caption while no countdown runs.
IDLE_CAPTION = "Zorvo v." + VERSION

PROGRAM_IMAGE = "zorvo.exe"
LIBRARY_MISSING_TEXT = "Файл sleep.dll не найден!\r\nЗаходите на сайт "

MenuState = collections.namedtuple("MenuState", "checked enabled")

# Show commands a start can carry (STARTUPINFO.wShowWindow) and ShowWindow's.
SW_SHOWMINNOACTIVE = 7
SW_RESTORE = 9


def windows_path(path):
    """The path as programs in the Wine prefix see it (drive Z: is the Linux root)."""
    return "Z:" + str(path).replace("/", "\\")


class DriverError(AssertionError):
    """A driver command failed: the window or control is not there, or it did not answer."""


def _token(value):
    text = str(value)
    if not text:
        raise ValueError("driver arguments cannot be empty")
    out = []
    for ch in text:
        if ch == "\\":
            out.append("\\\\")
        elif ch == " ":
            out.append("\\s")
        elif ord(ch) < 0x20:
            out.append("\\u%04x" % ord(ch))
        else:
            out.append(ch)
    return "".join(out)


def _unescape(value):
    return re.sub(r"\\(.)", lambda m: {"r": "\r", "n": "\n", "t": "\t"}.get(m[1], m[1]), value)


class WineSession:
    """The Wine prefix and persistent wineserver shared by every test of a run."""

    def __init__(self):
        self.own_prefix = "WINEPREFIX" not in os.environ
        self.prefix = os.environ.get("WINEPREFIX") or tempfile.mkdtemp(prefix="zorvo-wine-")
        self.env = dict(os.environ)
        self.env.update(
            WINEPREFIX=self.prefix,
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
            LANG="ru_RU.UTF-8",
            LC_ALL="ru_RU.UTF-8",
        )
        self.env.pop("WINEARCH", None)
        self.scratch = Path(tempfile.mkdtemp(prefix="zorvo-e2e-"))

    def run(self, *args, timeout=120):
        return subprocess.run(list(args), env=self.env, timeout=timeout, check=False,
                              stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)

    def start(self):
        # The prefix is set up as everywhere else (tools/wine_env.sh): no stall on hiding windows
        # without a window manager, and a crash ends the program instead of opening a debugger.
        self.run("bash", "-c", 'source "$1" && init_wine_prefix', "_", str(WINE_ENV),
                 timeout=300)
        self.run("wineserver", "-p")

    def stop(self):
        self.run("wineserver", "-k")
        shutil.rmtree(self.scratch, ignore_errors=True)
        if self.own_prefix:
            shutil.rmtree(self.prefix, ignore_errors=True)

    def map_drive(self, letter, folder):
        """Makes `folder` the root of drive `letter` (for programs started from a drive root)."""
        link = Path(self.prefix) / "dosdevices" / (letter.lower() + ":")
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(folder)
        return letter.upper() + ":\\"

    def unmap_drive(self, letter):
        link = Path(self.prefix) / "dosdevices" / (letter.lower() + ":")
        if link.is_symlink():
            link.unlink()


class Driver:
    """One zdrive.exe kept running; each call sends one command line and reads its answer."""

    def __init__(self, session):
        self.session = session
        self.proc = None
        self.buffer = b""

    def _start(self):
        self.proc = subprocess.Popen(["wine", str(DRIVER_EXE)], env=self.session.env,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL)
        self.buffer = b""

    def close(self):
        if self.proc is None:
            return
        try:
            self.proc.stdin.write(b"quit\n")
            self.proc.stdin.flush()
            self.proc.wait(timeout=5)
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
            self._start()
        line = " ".join(_token(a) for a in args) + "\n"
        try:
            self.proc.stdin.write(line.encode("utf-8"))
            self.proc.stdin.flush()
            answer = self._read_line(timeout)
        except (OSError, TimeoutError, EOFError) as error:
            self.proc.kill()
            self.proc.wait()
            self.proc = None
            raise DriverError("driver gave no answer to %r (%s)" % (line.strip(), type(error).__name__))
        status, _, value = answer.partition(" ")
        if status == "error":
            raise DriverError("%s: %s" % (line.strip(), value))
        return status, _unescape(value)

    def value(self, *args, **kw):
        status, value = self.call(*args, **kw)
        if status != "ok":
            raise DriverError("%s: %s" % (" ".join(map(str, args)), status))
        return value

    # Waiting for windows (timeouts in milliseconds).
    def wait_window(self, cls, timeout_ms=10000):
        return self.call("wait-window", cls, timeout_ms, timeout=timeout_ms / 1000 + 15)[0] == "ok"

    def wait_exists(self, cls, timeout_ms=10000):
        return self.call("wait-exists", cls, timeout_ms, timeout=timeout_ms / 1000 + 15)[0] == "ok"

    def wait_gone(self, cls, timeout_ms=10000):
        return self.call("wait-gone", cls, timeout_ms, timeout=timeout_ms / 1000 + 15)[0] == "ok"

    def windows(self, cls):
        """Every top-level window of the class as (hwnd, pid, visible)."""
        result = []
        for item in self.value("list", cls).split():
            hwnd, pid, visible = item.split(":")
            result.append((int(hwnd, 16), int(pid), visible == "1"))
        return result

    # Reading.
    def text(self, cls, control_id=0):
        return self.value("get-text", cls, control_id)

    def visible(self, cls, control_id=0):
        return self.value("is-visible", cls, control_id) == "1"

    def enabled(self, cls, control_id=0):
        return self.value("is-enabled", cls, control_id) == "1"

    def menu_state(self, cls, item_id):
        checked, enabled = self.value("menu-state", cls, item_id).split()
        return MenuState(checked == "checked", enabled == "enabled")

    def menu_text(self, cls, item_id):
        return self.value("menu-text", cls, item_id)

    def icons(self, cls):
        """The widths of the big and the small icon the shell shows for the window."""
        return tuple(int(v) for v in self.value("icons", cls).split())

    def tooltips(self, cls):
        """(control ID, text) for every tool of the tooltips the window owns."""
        value = self.value("tooltips", cls)
        return sorted((int(i), t) for i, _, t in (e.partition(":") for e in value.split("\t")
                                                   if e))

    def layered(self, cls):
        """(colour key, alpha, flags) of a layered window."""
        key, alpha, flags = self.value("layered", cls).split()
        return int(key, 16), int(alpha), int(flags)

    def client_size(self, cls):
        return tuple(int(v) for v in self.value("client-size", cls).split())

    def rect(self, cls, control_id):
        return tuple(int(v) for v in self.value("rect", cls, control_id).split())

    def styles(self, cls, control_id=None):
        args = ["styles", cls] + ([] if control_id is None else [control_id])
        return tuple(int(v, 16) for v in self.value(*args).split())

    def selection(self, cls, control_id):
        return tuple(int(v) for v in self.value("get-sel", cls, control_id).split())

    def combo_count(self, cls, control_id):
        return int(self.value("combo-count", cls, control_id))

    def combo_item(self, cls, control_id, index):
        return self.value("combo-item", cls, control_id, index)

    def iconic(self, cls):
        return self.value("is-iconic", cls) == "1"

    def show_window(self, cls, command):
        self.value("show-window", cls, command)

    def launch(self, show, cwd, exe, *args):
        """Starts `exe` as the shell does, with the show command `show`; the Windows process ID."""
        return int(self.value("launch", show, windows_path(cwd), windows_path(exe), *args))

    def owner(self, cls):
        """The window's owner (0 for none): an owned window never gets a taskbar button."""
        return int(self.value("owner", cls), 16)

    def focus(self, cls):
        """The control ID that has the keyboard focus in the window's thread: 0 for the window
        itself, None for no focus, -1 for another window (a message box, say)."""
        value = self.value("focus", cls)
        return None if value == "none" else int(value)

    def pid(self, cls):
        return int(self.value("pid", cls))

    def dpi(self):
        return int(self.value("dpi"))

    # Acting.
    def click(self, cls, control_id):
        self.value("click", cls, control_id)

    def mouse_down(self, cls, control_id):
        self.value("mouse-down", cls, control_id)

    def hover(self, cls, control_id=0):
        self.value("hover", cls, control_id)

    def command(self, cls, item_id):
        self.value("command", cls, item_id)

    def type_text(self, cls, control_id, text, pause_ms=60):
        self.value("type", cls, control_id, text, pause_ms, timeout=len(text) * pause_ms / 1000 + 30)

    def key(self, cls, control_id, vk):
        self.value("key", cls, control_id, vk)

    def select(self, cls, control_id, start, end):
        self.value("sel", cls, control_id, start, end)

    def combo_select(self, cls, control_id, index):
        self.value("combo-select", cls, control_id, index)

    def button_click(self, cls, control_id):
        self.value("bm-click", cls, control_id)

    def hold_keys(self, *vks):
        """Presses the keys system-wide, in order; release_keys lets them go."""
        for vk in vks:
            self.value("key-down", vk)

    def release_keys(self, *vks):
        for vk in reversed(vks):
            self.value("key-up", vk)

    def tray(self, cls, mouse_message):
        self.value("tray", cls, mouse_message)

    def handle(self, program, cls=MAIN):
        """The handle of the copy's window of the class, to ask about after the window is gone."""
        return next(h for h, pid, _ in self.windows(cls) if pid == program.windows_pid)

    def has_tray_icon(self, hwnd):
        """Whether the notification area holds the program's icon for the window `hwnd` (as
        `windows` gives it; the window may be gone)."""
        return self.value("tray-icon", hwnd) == "1"

    def close_window(self, cls):
        self.value("close", cls)

    def sync(self, cls):
        """Returns once the window's thread has handled everything posted to it before."""
        self.value("sleep", 30)
        self.value("sync", cls)

    # The program's message boxes (class #32770, caption "Zorvo").
    def message_box_text(self, wait_ms=0):
        status, value = self.call("messagebox-text", wait_ms, timeout=wait_ms / 1000 + 15)
        return value if status == "ok" else None

    def message_box_ok(self):
        return self.call("messagebox-ok")[0] == "ok"

    def message_box_press(self, button_id):
        return self.call("messagebox-press", button_id)[0] == "ok"

    def message_box_buttons(self):
        """The box's button IDs, its default button first (IDYES 6, IDNO 7)."""
        status, value = self.call("messagebox-buttons")
        return [int(v) for v in value.split()] if status == "ok" else []

    def message_box_count(self):
        return int(self.value("messagebox-count"))

    def kill_image(self, name=PROGRAM_IMAGE):
        return int(self.value("kill-image", name))

    def instance_held(self):
        return self.value("instance-held") == "1"


class ProgramFolder:
    """A folder holding a copy of the program, with or without its library."""

    def __init__(self, parent, name="Zorvo", library=True):
        self.path = Path(parent) / name
        self.path.mkdir(parents=True, exist_ok=True)
        shutil.copy2(ZORVO_EXE, self.path / "zorvo.exe")
        if library:
            shutil.copy2(SLEEP_DLL, self.path / "sleep.dll")

    @property
    def exe(self):
        return self.path / "zorvo.exe"


class Program:
    """One started copy of the program (a wine process)."""

    def __init__(self, session, exe, cwd, args=(), log=None, env=None):
        self.log = open(log, "wb") if log else subprocess.DEVNULL
        self.proc = subprocess.Popen(["wine", str(exe), *map(str, args)], cwd=str(cwd),
                                     env=dict(session.env, **(env or {})),
                                     stdin=subprocess.DEVNULL,
                                     stdout=self.log, stderr=subprocess.STDOUT)

    windows_pid = None  # set once its main window has shown

    def window(self, cls=MAIN):
        """The driver's name for this copy's window of the class ("frmMain@PID")."""
        return "%s@%d" % (cls, self.windows_pid)

    def running(self):
        return self.proc.poll() is None

    def output_tail(self, size=2000):
        """The end of what Wine printed for this copy, for a failure message."""
        if self.log is subprocess.DEVNULL:
            return ""
        self.log.flush()
        text = Path(self.log.name).read_bytes()[-size:].decode(errors="replace")
        return "; Wine printed: %r" % text if text else ""

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
        if self.log is not subprocess.DEVNULL:
            self.log.close()


def wait_until(predicate, timeout=10, interval=0.1):
    """Polls `predicate` until it returns a true value; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


_session = None
_driver = None


def session():
    global _session
    if _session is None:
        _session = WineSession()
        _session.start()
    return _session


def driver():
    global _driver
    if _driver is None:
        _driver = Driver(session())
    return _driver


def shutdown():
    global _session, _driver
    if _driver is not None:
        _driver.close()
        _driver = None
    if _session is not None:
        _session.stop()
        _session = None


class ZorvoTestCase(unittest.TestCase):
    """Base class: a fresh scratch folder per test, and no copy of the program left afterwards."""

    START_TIMEOUT_MS = 20000

    @classmethod
    def setUpClass(cls):
        if not ZORVO_EXE.exists() or not DRIVER_EXE.exists():
            raise unittest.SkipTest("build the windows preset first: %s" % BUILD)
        cls.session = session()
        cls.driver = driver()
        cls.class_scratch = Path(tempfile.mkdtemp(dir=cls.session.scratch, prefix=cls.__name__))
        cls.class_programs = []
        cls.class_pids = set()  # Windows process IDs of class_programs

    @classmethod
    def tearDownClass(cls):
        cls._end_programs(cls.class_programs)
        cls.class_pids = set()
        # Whatever a test may have started some other way (a batch file, a second copy).
        try:
            cls.driver.kill_image()
            cls._wait_instance_free()
        except DriverError:
            pass

    def setUp(self):
        self.scratch = Path(tempfile.mkdtemp(dir=self.class_scratch, prefix=self._testMethodName))
        self.programs = []

    def tearDown(self):
        self.end_programs()

    def end_programs(self):
        """Ends every copy of the program that this test started (not the class's own)."""
        if not self.programs:
            return
        self._end_programs(self.programs)
        # The windows of a killed process go a moment after it: wait, so the next start is not
        # mistaken for a copy that is still running.
        def only_class_windows():
            return all(pid in self.class_pids for cls in (MAIN, BAT, ABOUT, DIAL)
                       for _, pid, _ in self.driver.windows(cls))
        wait_until(only_class_windows, timeout=5)
        self._wait_instance_free()

    @classmethod
    def _wait_instance_free(cls):
        # The next start must not meet the single-copy object of a copy that is already gone.
        if not cls.class_pids:
            wait_until(lambda: not cls.driver.instance_held(), timeout=5)

    @staticmethod
    def _end_programs(programs):
        # Killing the wine process ends the Windows process; wineserver removes its windows.
        for program in programs:
            program.kill()
        programs.clear()

    # Starting the program.
    def program_folder(self, name="Zorvo", library=True):
        return ProgramFolder(self.scratch, name, library)

    def start(self, folder=None, cwd=None, args=(), programs=None, env=None):
        """Starts a copy of the program (by default from a fresh folder with its library);
        `env` adds to or replaces variables of the session's environment for this copy only."""
        folder = folder if folder is not None else self.program_folder()
        exe = folder.exe if isinstance(folder, ProgramFolder) else folder
        cwd = cwd if cwd is not None else self.scratch
        owner = self.programs if programs is None else programs
        program = Program(self.session, exe, cwd, args,
                          log=Path(self.session.scratch) / ("wine-%d.log" % time.monotonic_ns()),
                          env=env)
        owner.append(program)
        return program

    def start_main(self, shown=True, **kw):
        """Starts the program and waits until its main window shows; returns the program.

        With shown=False it waits only until the window exists (a start that hides it)."""
        before = {pid for _, pid, _ in self.driver.windows(MAIN)}
        program = self.start(**kw)
        program.windows_pid = self._wait_new_main(self.driver, before, program, shown)
        return program

    @classmethod
    def start_main_for_class(cls, args=()):
        """setUpClass helper: one running program shared by the tests of the class."""
        before = {pid for _, pid, _ in cls.driver.windows(MAIN)}
        folder = ProgramFolder(cls.class_scratch)
        program = Program(cls.session, folder.exe, cls.class_scratch, args)
        cls.class_programs.append(program)
        program.windows_pid = cls._wait_new_main(cls.driver, before, program)
        cls.class_pids.add(program.windows_pid)
        return program

    @classmethod
    def _wait_new_main(cls, drv, before, program, visible_only=True):
        def shown():
            return [pid for _, pid, visible in drv.windows(MAIN)
                    if (visible or not visible_only) and pid not in before]
        pids = wait_until(lambda: shown() or not program.running(),
                          timeout=cls.START_TIMEOUT_MS / 1000)
        if not pids or pids is True:
            raise AssertionError("the main window did not show (program %s); message box: %r%s" %
                                 ("running" if program.running()
                                  else "ended with %s" % program.proc.returncode,
                                  drv.message_box_text(), program.output_tail()))
        return pids[0]

    def open_form(self, main, item, window, timeout_ms=5000):
        """Opens a dialog by its menu item and waits until it shows and has settled."""
        self.driver.command(main, item)
        self.assertTrue(self.driver.wait_window(window, timeout_ms), "%s did not open" % window)
        self.driver.sync(window)

    def assertEventually(self, predicate, timeout=10, msg=None):
        value = wait_until(predicate, timeout)
        self.assertTrue(value, msg)
        return value
