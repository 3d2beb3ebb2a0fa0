#!/usr/bin/env python3
"""compare_plans.py [--cone] LINUX_HXPLAN WINDOWS_HXPLAN_EXE [COUNT]

Runs the Linux hxplan and the Windows hxplan.exe (under Wine) on the same
generated rooms and fails on the first byte of output or exit status that
differs. The rooms come from a fixed seed: ordinary rooms, values typed with
many digits, the extremes where powers floor to 0 or overflow a float, and
every model and deviation. With --cone they are cone plans (hxplan --cone
--json, level over the floor included) of every model, pattern, grid and
headroom.
"""
import random
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor


def number(rng):
    kind = rng.random()
    if kind < 0.5:
        return "%g" % round(rng.uniform(0, 60), rng.randint(0, 2))
    if kind < 0.7:
        return "%.*f" % (rng.randint(3, 9), rng.uniform(0, 200))
    if kind < 0.8:
        return str(rng.randint(0, 10**rng.randint(1, 12)))
    if kind < 0.9:
        return "%de%d" % (rng.randint(1, 9), rng.randint(-40, 40))
    return rng.choice(["0", "-3.5", ".1", "1e39", "abc", "", "0.30000001", "16.999999"])


def cone_options(rng):
    arguments = ["--json", "--cone", "--model", str(rng.randint(0, 7))]
    if rng.random() < 0.8:
        arguments += ["--pattern", rng.choice(["edge", "min", "centre"])]
    if rng.random() < 0.8:
        arguments += ["--grid", rng.choice(["square", "hex"])]
    if rng.random() < 0.5:
        arguments += ["--headroom", rng.choice(["0", "3", "6", "10"])]
    if rng.random() < 0.3:
        arguments += ["--deviation", str(rng.randint(0, 6))]
    return arguments


def cone_room(rng):
    # Mostly rooms whose level is computed (a few thousand loudspeakers at
    # most), some typed oddly or beyond any count.
    ceiling = round(rng.uniform(2, 30), rng.randint(0, 3))
    ear = round(rng.uniform(0, ceiling * 1.05), rng.randint(0, 3))
    size = lambda: "%g" % round(rng.uniform(0, 150), rng.randint(0, 2))
    values = [ceiling, ear, size(), size(), round(rng.uniform(60, 120), rng.randint(0, 1))]
    if rng.random() < 0.1:
        values = [ceiling, ear, number(rng), number(rng), number(rng)]
    return cone_options(rng) + ["--", ",".join(str(v) for v in values)]


def room(rng):
    ceiling = round(rng.uniform(2, 40), rng.randint(0, 3))
    ear = round(rng.uniform(0, ceiling * 1.1), rng.randint(0, 3))
    spl = rng.choice([round(rng.uniform(60, 130), rng.randint(0, 2)), rng.uniform(0, 600), number(rng)])
    values = [ceiling, ear, number(rng), number(rng), spl]
    if rng.random() < 0.15:
        values = [number(rng) for _ in range(5)]
    arguments = ["--json"]
    if rng.random() < 0.7:
        arguments += ["--model", str(rng.randint(0, 6))]
    if rng.random() < 0.7:
        arguments += ["--deviation", str(rng.randint(0, 6))]
    return arguments + ["--", ",".join(str(v) for v in values)]


def run(command):
    done = subprocess.run(command, capture_output=True, timeout=60)
    return done.returncode, done.stdout, done.stderr


def main():
    arguments = sys.argv[1:]
    cone = arguments[:1] == ["--cone"]
    if cone:
        arguments = arguments[1:]
    linux, windows = arguments[0], arguments[1]
    count = int(arguments[2]) if len(arguments) > 2 else 1000
    rng = random.Random(20240607)
    rooms = [(cone_room if cone else room)(rng) for _ in range(count)]

    def both(arguments):
        return run([linux] + arguments), run(["wine", windows] + arguments)

    differences = 0
    planned = 0
    with ThreadPoolExecutor(max_workers=2) as pool:
        for arguments, (mine, theirs) in zip(rooms, pool.map(both, rooms)):
            if mine[0] == 0:
                planned += 1
            if mine != theirs:
                differences += 1
                if differences <= 5:
                    print("differs for", " ".join(arguments))
                    print("  Linux:  ", mine)
                    print("  Windows:", theirs)
    print("%d rooms (%d planned), %d differ" % (count, planned, differences))
    # Most rooms must be planned, or the comparison says little.
    return 1 if differences or planned < count // 2 else 0


if __name__ == "__main__":
    sys.exit(main())
