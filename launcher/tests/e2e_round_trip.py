#!/usr/bin/env python3
"""The whole round trip with real processes under a virtual X server.

    e2e_round_trip.py <halvex program> <HXP program> <HXC program> <stand-in calculator>

The launcher is copied into a folder of its own with HXP and HXC beside it
and runs in another folder, so hx.tmp lies in its current directory and the
calculators are found through the launcher's own directory. The test
dismisses the notice with the keyboard, presses "Planar", replaces the room
width in HXP with 18 by real key events, closes HXP through the window
system's close request, and checks the file HXP wrote; then presses "Cone"
and does the same in HXC with 21. Then the stand-in calculator takes HXP's
place (first in the lookup order) and records what the launcher passes on
the next two presses of "Planar": "9,5,20,21,90" both times, the width from
HXC, since the stand-in writes nothing back and the launcher keeps its
values.

Exits 77 (skipped) when the X tools are missing.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "x11"))
from xsession import (HXC_TITLE, HXP_TITLE, StepFailed, XSession, children_of, cone_round_trip,  # noqa: E402
                      missing_tools, planar_round_trip, wait_until)

SKIPPED = 77
# The room width field of both calculators, 246, 138, 27 x 15 dialog units: its centre in
# pixels at the 96 dpi the server runs at (6 x 13 base units).
WIDTH_FIELD_CENTRE = ((246 * 6 + 27 * 3) // 4, (138 * 13 + 15 * 13 // 2) // 8)


def runs_of(log):
    """The argument lists the stand-in recorded, one per run."""
    runs = []
    if os.path.exists(log):
        with open(log, encoding="latin-1") as lines:
            for line in lines:
                line = line.rstrip("\n")
                if line.startswith("name "):
                    runs.append([])
                elif line.startswith("arg ") and runs:
                    runs[-1].append(line[4:])
    return runs


def round_trip(x, folder, halvex, hxp, hxc, stand_in, failures):
    app = os.path.join(folder, "app")
    work = os.path.join(folder, "work")
    log = os.path.join(folder, "stand-in.log")
    os.makedirs(app)
    os.makedirs(work)
    launcher_copy = os.path.join(app, "halvex")
    shutil.copy2(halvex, launcher_copy)
    os.symlink(os.path.abspath(hxp), os.path.join(app, "HXP"))
    os.symlink(os.path.abspath(hxc), os.path.join(app, "HXC"))
    hx_tmp = os.path.join(work, "hx.tmp")

    # In a sanitizer build the toolkit's own libraries must not fail the run.
    suppressions = os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp")
    lsan = ":".join(filter(None, [os.environ.get("LSAN_OPTIONS"), f"suppressions={suppressions}"]))
    output = open(os.path.join(folder, "halvex.log"), "w")
    launcher = subprocess.Popen([launcher_copy], cwd=work, env=x.env(HALVEX_STAND_IN_LOG=log, LSAN_OPTIONS=lsan),
                                stdout=output, stderr=subprocess.STDOUT)
    step = ["start"]
    try:
        def type_width(calculator, width):
            wait_until(lambda: children_of(launcher.pid), "the calculator running as the launcher's child")
            x.focus(calculator)
            x.click(calculator, *WIDTH_FIELD_CENTRE)
            x.key("ctrl+a")
            x.type(width)

        # Once the launcher has reaped HXP it has read the file and takes input again.
        choice = planar_round_trip(
            x, hx_tmp, step, activate=x.focus, type_width=type_width,
            hxp_ended=lambda: wait_until(lambda: not children_of(launcher.pid), "the launcher to see HXP end"))
        cone_round_trip(
            x, choice, hx_tmp, step, activate=x.focus, type_width=type_width,
            hxc_ended=lambda: wait_until(lambda: not children_of(launcher.pid), "the launcher to see HXC end"))

        step[0] = "press Planar twice with the stand-in in HXP's place"
        replacement = os.path.join(app, "HXP.new")
        os.symlink(os.path.abspath(stand_in), replacement)
        os.replace(replacement, os.path.join(app, "HXP"))
        for press in (1, 2):
            x.focus(choice)
            x.key("Return")
            wait_until(lambda: len(runs_of(log)) >= press, f"run {press} of the stand-in")
            wait_until(lambda: not children_of(launcher.pid), f"the launcher to see run {press} end")
        runs = runs_of(log)
        if runs != [["9,5,20,21,90"], ["9,5,20,21,90"]]:
            failures.append(f"the stand-in was given {runs}, expected 9,5,20,21,90 twice")

        step[0] = "close the launcher"
        x.close(choice)
        code = launcher.wait(timeout=30)
        if code != 0:
            failures.append(f"the launcher ended with {code}")
    except (StepFailed, subprocess.TimeoutExpired, OSError) as failure:
        failures.append(f"{step[0]}: {failure}")
        for window in ("^HX $", "^Halvex$", HXP_TITLE, HXC_TITLE):
            try:
                found = x.find(window)
                name = window.strip("^$").replace(" ", "-")
                x.screenshot(found, os.path.abspath(f"e2e-failure-{name}.png"))
            except StepFailed:
                pass
    finally:
        for child in children_of(launcher.pid):
            try:
                os.kill(child, 9)
            except OSError:
                pass
        if launcher.poll() is None:
            launcher.kill()
            launcher.wait()
        output.close()
    if failures:
        with open(os.path.join(folder, "halvex.log")) as text:
            sys.stderr.write("launcher output:\n" + text.read())


def main(halvex, hxp, hxc, stand_in):
    missing = missing_tools()
    if missing:
        print(f"SKIPPED: {', '.join(missing)} not installed (scripts/setup.sh installs them)")
        return SKIPPED
    failures = []
    with tempfile.TemporaryDirectory(prefix="halvex-e2e-") as folder, XSession() as x:
        round_trip(x, folder, halvex, hxp, hxc, stand_in, failures)
    for failure in failures:
        print(f"FAILED: {failure}", file=sys.stderr)
    if not failures:
        print("round trip passed: HXP wrote the width 18, HXC the width 21, and the launcher passed 9,5,20,21,90 on")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
