#!/usr/bin/env python3
"""Takes pictures of the launcher's two windows under a virtual X server.

    take_screenshots.py <halvex program> <output folder>

writes launcher-notice.png and launcher-choice.png into the folder.
"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "x11"))
from xsession import XSession, StepFailed, missing_tools  # noqa: E402


def main(halvex, folder):
    missing = missing_tools()
    if missing:
        print(f"cannot take screenshots: {', '.join(missing)} not installed", file=sys.stderr)
        return 1
    os.makedirs(folder, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="halvex-shots-") as work, XSession() as x:
        launcher = subprocess.Popen([halvex], cwd=work, env=x.env())
        try:
            notice = x.find("^HX $")
            x.screenshot(notice, os.path.join(folder, "launcher-notice.png"))
            x.focus(notice)
            x.key("Return")
            choice = x.find("^Halvex$")
            x.wait_gone(notice)
            x.screenshot(choice, os.path.join(folder, "launcher-choice.png"))
            x.close(choice)
            launcher.wait(timeout=30)
        except (StepFailed, subprocess.TimeoutExpired) as failure:
            print(f"screenshots failed: {failure}", file=sys.stderr)
            return 1
        finally:
            if launcher.poll() is None:
                launcher.kill()
                launcher.wait()
    print(f"wrote launcher-notice.png and launcher-choice.png into {folder}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
