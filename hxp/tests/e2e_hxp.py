#!/usr/bin/env python3
"""HXP as a user meets it: a real window under Xvfb, real key events, and the
window system's close request.

    e2e_hxp.py <traced HXP program> <hxplan program>

The traced HXP is HXP with a test main that appends every text its window
shows to the file named by HALVEX_UI_TRACE; what the window shows is read
from there and checked against hxplan, which runs the same calculation
on the command line. Exits 77 (skipped) when the X tools are missing.
"""

import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "x11"))
from xsession import StepFailed, XSession, missing_tools, wait_until  # noqa: E402

SKIPPED = 77
TITLE = "^Planar Speaker Layout$"
POWER_REQUIRED, TAP, EAR_LEVEL, FIRST_Y = 140, 145, 121, 136


def last_text(trace, control):
    """The last text the window set on a control."""
    text = None
    with open(trace, encoding="latin-1") as lines:
        for line in lines:
            ident, _, value = line.rstrip("\n").partition("\t")
            if ident == str(control):
                text = value
    return text


def main(hxp, hxplan):
    missing = missing_tools()
    if missing:
        print(f"SKIP: {', '.join(missing)} not installed")
        return SKIPPED

    def planned(values, key):
        return json.loads(subprocess.check_output([hxplan, "--json", values]))[key]

    with tempfile.TemporaryDirectory(prefix="hxp-e2e-") as work, XSession() as x:
        trace = os.path.join(work, "trace")

        def expect(control, text, what):
            try:
                wait_until(lambda: os.path.exists(trace) and last_text(trace, control) == text, what)
            except StepFailed:
                shown = last_text(trace, control) if os.path.exists(trace) else None
                raise StepFailed(f"{what}: control {control} shows {shown!r}, expected {text!r}")

        calculator = subprocess.Popen([hxp, "12,4,30,25,95"], cwd=work, env=x.env(HALVEX_UI_TRACE=trace))
        try:
            window = x.find(TITLE)
            x.focus(window)
            expect(POWER_REQUIRED, planned("12,4,30,25,95", "powerRequired"), "first results")

            # The focus starts in the room length field; the SPL field is three tabs on.
            x.key("Tab", "Tab", "Tab", "ctrl+a")
            x.type("105")
            expect(POWER_REQUIRED, planned("12,4,30,25,105", "powerRequired"), "power after SPL 105")
            expect(TAP, planned("12,4,30,25,105", "tap"), "tap after SPL 105")

            # Back two to the room width, then on to the ear level.
            x.key("shift+Tab", "shift+Tab", "ctrl+a")
            x.type("18")
            expect(FIRST_Y, planned("12,4,30,18,105", "firstY"), "diagram after width 18")
            x.key("Tab", "ctrl+a")
            x.type("13")  # above the ceiling of 12: corrected to 11
            expect(EAR_LEVEL, " 11", "corrected ear level")
            expect(POWER_REQUIRED, planned("12,11,30,18,105", "powerRequired"), "power after the correction")

            x.close(window)
            calculator.wait(timeout=30)
        finally:
            if calculator.poll() is None:
                calculator.kill()
                calculator.wait()

        with open(os.path.join(work, "hx.tmp"), "rb") as handoff:
            written = handoff.read()
        expected = b'"12"\r\n" 11"\r\n"30"\r\n"18"\r\n"105"\r\n'
        if written != expected:
            raise StepFailed(f"hx.tmp holds {written!r}, expected {expected!r}")
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(*sys.argv[1:3]))
    except (StepFailed, subprocess.TimeoutExpired, OSError) as error:
        print(f"FAIL: {error}")
        sys.exit(1)
