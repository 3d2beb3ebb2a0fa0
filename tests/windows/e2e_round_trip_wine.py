#!/usr/bin/env python3
"""The round trip of the Windows programs under Wine and a virtual X server.

    e2e_round_trip_wine.py <Halvex.exe> <HXP.exe> <HXC.exe> <recorder.exe>
    e2e_round_trip_wine.py --zip <halvex-*-win32.zip> <recorder.exe>

Halvex.exe runs from a folder of its own with HXP.exe and HXC.exe beside it,
in another current directory, both named in Cyrillic; with --zip that folder is the
package unzipped into an empty one, which must hold the programs and
README.txt and nothing else. The test dismisses the notice with Enter, presses
"Planar", tabs to the room width in HXP and types 18 with real key events,
closes HXP through the window system's close request and checks the bytes of
hx.tmp; then presses "Cone" and does the same in HXC with 21.
Then a recorder takes HXP.exe's place and the next "Planar" must start it
with exactly the command line "HXP.exe 9,5,20,21,90": the width from HXC.

Wine's prefix, server and display come from the environment
(scripts/test-windows.sh); without a display the test starts its own.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "x11"))
from xsession import (StepFailed, XSession, children_of, cone_round_trip, missing_tools,  # noqa: E402
                      planar_round_trip, wait_until)

SKIPPED = 77
ZIP_FILES = ["Halvex.exe", "HXC.exe", "HXP.exe", "README.txt", "hxplan.exe"]


def settle():
    """Lets Wine paint what it has been asked to."""
    time.sleep(0.5)


def activate(x, window, point):
    """With no window manager Wine makes a window active only when it is
    clicked: a click on a point where no control takes it."""
    x.click(window, *point)
    settle()


def copy_programs(halvex, hxp, hxc):
    """Fills the program folder with the three programs as built."""
    def fill(app):
        os.makedirs(app)
        shutil.copy2(halvex, os.path.join(app, "Halvex.exe"))
        shutil.copy2(hxp, os.path.join(app, "HXP.exe"))
        shutil.copy2(hxc, os.path.join(app, "HXC.exe"))
        return app
    return fill


def unzip_package(package):
    """Unzips the package into an empty folder; its one top folder, holding
    exactly ZIP_FILES, is the program folder."""
    def fill(app):
        os.makedirs(app)
        with zipfile.ZipFile(package) as archive:
            archive.extractall(app)
        tops = os.listdir(app)
        if len(tops) != 1 or not os.path.isdir(os.path.join(app, tops[0])):
            raise StepFailed(f"the package should hold one folder, it holds {sorted(tops)}")
        top = os.path.join(app, tops[0])
        found = sorted(os.listdir(top), key=str.lower)
        if found != sorted(ZIP_FILES, key=str.lower):
            raise StepFailed(f"the package's folder holds {found}, expected {ZIP_FILES}")
        return top
    return fill


def run(fill_app, recorder, folder, x):
    failures = []
    # Folder names outside the ANSI code page: the launcher must find HXP.exe
    # beside itself, and HXP must save hx.tmp, in folders named in any script.
    work = os.path.join(folder, "данные")
    os.makedirs(work)
    try:
        app = fill_app(os.path.join(folder, "программы Zürich"))
    except (StepFailed, OSError, zipfile.BadZipFile) as failure:
        return [f"make the program folder: {failure}"]
    log = os.path.join(folder, "command-lines.log")
    hx_tmp = os.path.join(work, "hx.tmp")

    launcher = subprocess.Popen(["wine", os.path.join(app, "Halvex.exe")], cwd=work,
                                env=x.env(HALVEX_STAND_IN_LOG=log), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
    step = ["start"]
    try:
        def typer(tabs):
            # The first field has the focus at start, once the calculator has
            # taken it (HXP's room length, HXC's ceiling); Tab moves on to the width.
            def type_width(calculator, width):
                settle()
                x.key(*(["Tab"] * tabs), "End", "BackSpace", "BackSpace", "BackSpace")
                x.type(width)
                # The close request comes by another road than the keys and
                # can overtake the last of them while HXC repaints its plan.
                settle()
            return type_width

        choice = planar_round_trip(
            x, hx_tmp, step, activate=lambda window: activate(x, window, (300, 10)), type_width=typer(1),
            hxp_ended=lambda: wait_until(lambda: os.path.exists(hx_tmp) and not children_of(launcher.pid),
                                         "hx.tmp, and the launcher to see HXP.exe end"))

        def hxc_wrote():
            with open(hx_tmp, "rb") as written:
                return b'"21"' in written.read()
        cone_round_trip(
            x, choice, hx_tmp, step, activate=lambda window: activate(x, window, (300, 10)), type_width=typer(3),
            hxc_ended=lambda: wait_until(lambda: hxc_wrote() and not children_of(launcher.pid),
                                         "hx.tmp from HXC, and the launcher to see HXC.exe end"))

        step[0] = "press Planar with the recorder in HXP's place"
        shutil.copy2(recorder, os.path.join(app, "HXP.exe"))
        settle()  # the launcher takes the file back once it sees HXP end
        activate(x, choice, (300, 20))
        x.key("Return")
        wait_until(lambda: os.path.exists(log) and os.path.getsize(log) > 0, "the recorder's run")
        with open(log, "rb") as lines:
            started = lines.read()
        if started != b"HXP.exe 9,5,20,21,90\n":
            failures.append(f"HXP.exe was started with {started!r}, expected b'HXP.exe 9,5,20,21,90\\n'")

        step[0] = "close the launcher"
        settle()
        x.close(choice)
        code = launcher.wait(timeout=30)
        if code != 0:
            failures.append(f"Halvex.exe ended with {code}")
    except (StepFailed, subprocess.TimeoutExpired, OSError) as failure:
        failures.append(f"{step[0]}: {failure}")
    finally:
        if launcher.poll() is None:
            launcher.kill()
            launcher.wait()
    return failures


def main(fill_app, recorder):
    missing = missing_tools()
    if missing:
        print(f"SKIPPED: {', '.join(missing)} not installed")
        return SKIPPED
    # Wine's desktop lives on the display its prefix was made on: use that
    # one when there is one (scripts/test-windows.sh), else a new one.
    session = XSession.on(os.environ["DISPLAY"]) if os.environ.get("DISPLAY") else XSession()
    with tempfile.TemporaryDirectory(prefix="halvex-wine-e2e-") as folder, session as x:
        failures = run(fill_app, recorder, folder, x)
    for failure in failures:
        print(f"FAILED: {failure}", file=sys.stderr)
    if not failures:
        print("round trip passed: HXP.exe wrote the width 18, HXC.exe the width 21, and the next start was "
              "\"HXP.exe 9,5,20,21,90\"")
    return 1 if failures else 0


if __name__ == "__main__":
    arguments = sys.argv[1:]
    if len(arguments) == 3 and arguments[0] == "--zip":
        sys.exit(main(unzip_package(arguments[1]), arguments[2]))
    if len(arguments) != 4 or arguments[0] == "--zip":
        sys.exit(__doc__)
    sys.exit(main(copy_programs(*arguments[:3]), arguments[3]))
