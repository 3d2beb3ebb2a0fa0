#!/usr/bin/env python3
"""Pictures of the programs' windows, for the README and to compare the two
builds side by side.

    screenshots.py linux <halvex> <HXP> <folder>
    screenshots.py wine <Halvex.exe> <HXP.exe> <folder>

writes into the folder, each name prefixed with "wine-" for the Windows
build: launcher-notice.png, launcher-choice.png, hxp.png (HXP at start-up,
the room length in focus) and hxp-2.png ... hxp-7.png (each further field in
focus, in tab order). The Windows build runs under Wine on the display in
DISPLAY (scripts/test-windows.sh sets one up), the Linux build on a new
virtual X server.
"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import CHOICE_TITLE, HXP_TITLE, NOTICE_TITLE, StepFailed, XSession, missing_tools  # noqa: E402

HXP_TAB_STOPS = 7


def settle():
    """Lets the window paint what it has been asked to."""
    time.sleep(0.5)


def main(system, halvex, hxp, folder):
    missing = missing_tools()
    if missing:
        print(f"cannot take screenshots: {', '.join(missing)} not installed", file=sys.stderr)
        return 1
    halvex, hxp = os.path.abspath(halvex), os.path.abspath(hxp)
    os.makedirs(folder, exist_ok=True)
    wine = system == "wine"
    prefix = "wine-" if wine else ""
    command = (lambda program, *args: ["wine", program, *args]) if wine else (lambda program, *args: [program, *args])
    session = XSession.on(os.environ["DISPLAY"]) if wine and os.environ.get("DISPLAY") else XSession()

    def activate(x, window):
        # Without a window manager Wine activates a window when it is clicked.
        if wine:
            x.click(window, 300, 10)
        else:
            x.focus(window)
        settle()

    def shot(x, window, name):
        settle()
        x.screenshot(window, os.path.join(folder, prefix + name))

    with tempfile.TemporaryDirectory(prefix="halvex-shots-") as work, session as x:
        for program, steps in ((halvex, "launcher"), (hxp, "hxp")):
            process = subprocess.Popen(command(program), cwd=work, env=x.env(), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            try:
                if steps == "launcher":
                    notice = x.find(NOTICE_TITLE)
                    activate(x, notice)
                    shot(x, notice, "launcher-notice.png")
                    x.key("Return")
                    choice = x.find(CHOICE_TITLE)
                    x.wait_gone(notice)
                    activate(x, choice)
                    shot(x, choice, "launcher-choice.png")
                    x.close(choice)
                else:
                    calculator = x.find(HXP_TITLE)
                    activate(x, calculator)
                    shot(x, calculator, "hxp.png")
                    for stop in range(2, HXP_TAB_STOPS + 1):
                        x.key("Tab")
                        shot(x, calculator, f"hxp-{stop}.png")
                    x.close(calculator)
                process.wait(timeout=30)
            except (StepFailed, subprocess.TimeoutExpired) as failure:
                print(f"screenshots failed: {failure}", file=sys.stderr)
                return 1
            finally:
                if process.poll() is None:
                    process.kill()
                    process.wait()
    print(f"wrote the {system} screenshots into {folder}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 5 or sys.argv[1] not in ("linux", "wine"):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
