"""Takes the README's pictures again with the end-to-end tests' driver: the main window idle and
counting down, the popup of the last half minute, the batch-file dialog and the about box.
tools/screenshots.sh runs it on a virtual screen of its own; arguments: the folder to write to.
"""

import subprocess
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from zorvo_e2e import (ABOUT, BAT, DIAL, IDLE_CAPTION, MAIN, Driver, Main,  # noqa: E402
                       Menu, Program, ProgramFolder, WineSession, wait_until)


def fail(text):
    sys.exit("screenshots: " + text)


def grab(left, top, width, height):
    """The screen's pixels in the rectangle, as ImageMagick reads them (PPM, no metadata)."""
    return subprocess.run(["import", "-window", "root", "-crop",
                           "%dx%d+%d+%d" % (width, height, left, top), "+repage", "ppm:-"],
                          check=True, capture_output=True).stdout


def shot(driver, images, name, cls):
    """The window's rectangle (with the caption and frame Wine draws itself) from the screen, as
    a small PNG, once two grabs in a row agree: the controls have painted what they show."""
    driver.sync(cls)
    left, top, width, height = driver.rect(cls)[:4]
    if left < 0:
        left, width = 0, width + left
    if top < 0:
        top, height = 0, height + top
    grabs = [grab(left, top, width, height)]
    if not wait_until(lambda: grabs.append(grab(left, top, width, height)) or
                      grabs[-1] == grabs[-2], timeout=10, interval=0.2):
        fail("%s never stood still on the screen" % name)
    # Flat Windows controls need no more than 256 colours; without dithering they stay crisp.
    subprocess.run(["convert", "ppm:-", "-strip", "+dither", "-colors", "256",
                    "PNG8:%s" % (images / (name + ".png"))], input=grabs[-1], check=True)
    print("screenshots: %s (%dx%d)" % (images / (name + ".png"), width, height))


def main():
    images = Path(sys.argv[1])
    images.mkdir(parents=True, exist_ok=True)
    session = WineSession()
    driver = Driver(session)
    session.start()
    # Wine's own fonts draw the title bar's buttons (Marlett) and "MS Sans Serif" as Windows does;
    # the shell script found them. Only this prefix gets them: the tests keep the fonts they had.
    for font in Path(sys.argv[2]).glob("*.ttf") if len(sys.argv) > 2 else []:
        (Path(session.prefix) / "drive_c/windows/Fonts" / font.name).write_bytes(font.read_bytes())
    folder = ProgramFolder(session.scratch)
    program = None

    def start(*args, shown=True):
        nonlocal program
        program = Program(session, folder.exe, folder.path, args)
        if not (driver.wait_window if shown else driver.wait_exists)(MAIN, 20000):
            fail("the main window did not show")
        if shown:
            driver.wait_ticks(MAIN, 1)  # the clock shows the time from its first tick on

    def stop():
        driver.kill_image("zorvo.exe")
        program.wait_exit()
        driver.wait_gone(MAIN, 5000)

    try:
        # The main window, idle and then counting down 45 minutes.
        start()
        shot(driver, images, "main-idle", MAIN)
        driver.select(MAIN, Main.Combo1)
        driver.type_text(MAIN, Main.Combo1, "45")
        driver.click(MAIN, Main.lblActivate)
        if not wait_until(lambda: driver.text(MAIN) != IDLE_CAPTION):
            fail("the countdown did not start")
        shot(driver, images, "main-running", MAIN)
        stop()

        # The popup shows in the last half minute while the window is hidden: an alarm in one
        # minute, started hidden, gets there after 30 s.
        start("/a", "1", "/hid", shown=False)
        if not driver.wait_window(DIAL, 45000):
            fail("the popup did not show")
        shot(driver, images, "popup", DIAL)
        stop()

        # The batch-file dialog and the about box, opened from the menu.
        start()
        for name, item, cls in (("batch-dialog", Menu.mnuBat, BAT),
                                ("about", Menu.mnuAbout, ABOUT)):
            driver.command(MAIN, item)
            if not driver.wait_window(cls):
                fail("%s did not show" % cls)
            shot(driver, images, name, cls)
            driver.close_window(cls)
            driver.wait_gone(cls, 5000)
        stop()
    finally:
        if program is not None:
            program.kill()
        driver.close()
        session.stop()


if __name__ == "__main__":
    main()
