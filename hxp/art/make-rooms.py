#!/usr/bin/env python3
"""Writes the room drawings as SVG files from one template.

    hxp/art/room-113.svg .. room-118.svg   calculator pictures (465 x 234)
    launcher/art/room-105.svg              launcher picture    (465 x 234)

All of them show the same kind of room: a rectangular room seen from the
front right, open at the front and at the right, with a wooden floor, a white
ceiling, a grey semi-transparent plane at ear level and a standing person at
the left.  The calculator pictures differ only in the element drawn in the
marking colour.  Run this after changing the geometry, then
scripts/render-art.sh to make the PNGs.

The camera is a plain perspective camera that looks horizontally (vertical
edges stay vertical).  Each picture fixes where a few corners must land in the
picture (in pixels, origin top left); the camera position and the room height
are solved from those so that the input fields laid over the picture sit
next to the feature they set.
"""

import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# Room in world units (feet): x along the length (left to right),
# y along the width (front to back), z up.  The length is fixed; the width
# is part of each view.
LENGTH = 20.0

# Per picture: the room width (feet), camera focal length (px), turn to the left (degrees),
# principal point, horizon (px), and where corners must land:
#   front_right_floor: the near floor corner,
#   front_left_floor_x: x of the far end of the front floor edge,
#   front_right_ceiling_y: y of the ceiling above the near corner.
# ear: ear level as a share of the room height; person: where the
# person stands on the floor (x, y in feet).
#
# The input fields over the pictures (top left corner and size, in picture
# pixels) that these views are tuned to:
#   hxp:      length (153,200) 40x24, width (345,208) 40x24,
#             ear level (136,128) 42x24, SPL (252,109) 40x24,
#             ceiling height (385,32) 40x24
#   launcher: length (124,197), width (356,197), ear level (132,119),
#             SPL (225,64), ceiling height (388,33), each about 39x20
VIEWS = {
    "hxp": dict(
        width=15, focal=1000, turn=30, centre_x=232, horizon=115,
        front_right_floor=(341, 205), front_left_floor_x=24,
        front_right_ceiling_y=4, ear=0.30, person=(6.0, 1.0),
    ),
    "launcher": dict(
        width=22, focal=1300, turn=22, centre_x=240, horizon=90,
        front_right_floor=(351, 195), front_left_floor_x=30,
        front_right_ceiling_y=8, ear=0.33, person=(5.6, 1.0),
    ),
}

SIZE = (465, 234)

# Colours.
MARK = "#e8431a"          # marking colour (strong vermilion)
EDGE = "#5d6670"          # room edges
PLANE = "#6e849c"         # ear-level plane (cool grey)


def camera(view, cam_x, cam_y, cam_z):
    """Returns a function that projects a world point to picture pixels."""
    turn = math.radians(view["turn"])
    fwd = (-math.sin(turn), math.cos(turn))
    right = (math.cos(turn), math.sin(turn))

    def project(x, y, z=0.0):
        dx, dy, dz = x - cam_x, y - cam_y, z - cam_z
        depth = dx * fwd[0] + dy * fwd[1]
        side = dx * right[0] + dy * right[1]
        return (view["centre_x"] + view["focal"] * side / depth,
                view["horizon"] - view["focal"] * dz / depth)
    return project


def solve_view(view):
    """Finds camera position and room height that meet the corner targets
    (a few Newton steps with numeric derivatives)."""
    fx, fy = view["front_right_floor"]
    target = [fx, fy, view["front_left_floor_x"], view["front_right_ceiling_y"]]

    def residual(u):
        project = camera(view, u[0], u[1], u[2])
        a = project(LENGTH, 0, 0)
        b = project(0, 0, 0)
        c = project(LENGTH, 0, u[3])
        return [a[0] - target[0], a[1] - target[1],
                b[0] - target[2], c[1] - target[3]]

    u = [LENGTH + 10, -40.0, 5.0, 10.0]
    for _ in range(60):
        r = residual(u)
        if max(abs(v) for v in r) < 1e-9:
            break
        cols = []
        for j in range(4):
            du = list(u)
            du[j] += 1e-6
            rj = residual(du)
            cols.append([(rj[i] - r[i]) / 1e-6 for i in range(4)])
        # Gauss-Jordan on [J | -r]
        a = [[cols[j][i] for j in range(4)] + [-r[i]] for i in range(4)]
        for c in range(4):
            p = max(range(c, 4), key=lambda i: abs(a[i][c]))
            a[c], a[p] = a[p], a[c]
            for i in range(4):
                if i != c:
                    m = a[i][c] / a[c][c]
                    a[i] = [x - m * y for x, y in zip(a[i], a[c])]
        u = [u[i] + a[i][4] / a[i][i] for i in range(4)]
    return camera(view, u[0], u[1], u[2]), u[3]


def pts(*points):
    return " ".join("%.1f,%.1f" % p for p in points)


def line(a, b, extra=""):
    return '<line x1="%.1f" y1="%.1f" x2="%.1f" y2="%.1f"%s/>' % (
        a[0], a[1], b[0], b[1], extra)


# The person, 1 unit tall, feet at (0, 0), head up (negative y).
PERSON = """\
    <path fill="#3c4654" d="M-0.095,-0.50 L-0.075,-0.02 Q-0.075,0 -0.05,0 L-0.015,0 L-0.01,-0.40 L0.01,-0.40 L0.015,0 L0.05,0 Q0.075,0 0.075,-0.02 L0.095,-0.50 Z"/>
    <path fill="#4f78a8" d="M-0.125,-0.79 Q-0.125,-0.815 -0.095,-0.815 L0.095,-0.815 Q0.125,-0.815 0.125,-0.79 L0.150,-0.50 Q0.152,-0.46 0.130,-0.46 Q0.112,-0.46 0.110,-0.50 L0.095,-0.66 L0.100,-0.48 L-0.100,-0.48 L-0.095,-0.66 L-0.110,-0.50 Q-0.112,-0.46 -0.130,-0.46 Q-0.152,-0.46 -0.150,-0.50 Z"/>
    <rect fill="#d9a88a" x="-0.025" y="-0.855" width="0.05" height="0.05"/>
    <circle fill="#d9a88a" cx="0" cy="-0.925" r="0.068"/>
    <path fill="#4a3a30" d="M-0.070,-0.925 Q-0.072,-1.0 0,-1.0 Q0.072,-1.0 0.070,-0.925 Q0.05,-0.965 0,-0.962 Q-0.05,-0.965 -0.070,-0.925 Z"/>"""
PERSON_EAR = 0.925   # ear height as a share of the person's height


def arrow(a, b, colour, width=2.0, head=6.0):
    """A double-headed dimension arrow from a to b."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    n = math.hypot(dx, dy)
    ux, uy = dx / n, dy / n
    px, py = -uy, ux

    def tip(p, s):
        base = (p[0] + s * ux * head, p[1] + s * uy * head)
        return pts(p, (base[0] + px * head * 0.45, base[1] + py * head * 0.45),
                   (base[0] - px * head * 0.45, base[1] - py * head * 0.45))
    shaft_a = (a[0] + ux * head * 0.8, a[1] + uy * head * 0.8)
    shaft_b = (b[0] - ux * head * 0.8, b[1] - uy * head * 0.8)
    return ('<g fill="%s" stroke="%s" stroke-width="%.1f">' % (colour, colour, width)
            + line(shaft_a, shaft_b)
            + '<polygon stroke="none" points="%s"/>' % tip(a, 1)
            + '<polygon stroke="none" points="%s"/>' % tip(b, -1)
            + "</g>")


# What each picture marks, for the comment at the top of its SVG.
MARKS = {
    None: "nothing (plain room)",
    "ceiling": "the ceiling outline, with a floor-to-ceiling arrow (ceiling height)",
    "ear-plane": "the ear-level plane, shaded, with a floor-to-plane arrow (ear level)",
    "length": "the front floor edge along the length (room length)",
    "width": "the floor edge along the width from the front right corner (room width)",
    "ear-plane-outlined": "the ear-level plane, shaded and outlined (SPL at ear level)",
}

EAR_ARROW_LEFT = 2.2    # feet between the person and the ear-level arrow


def room_svg(view, mark):
    """Returns the SVG text of one room picture and the key points."""
    project, height = solve_view(view)
    L, W, H = LENGTH, view["width"], height
    ear = view["ear"] * H

    def corners(z):   # front left, front right, back right, back left
        return project(0, 0, z), project(L, 0, z), project(L, W, z), project(0, W, z)

    flf, frf, brf, blf = corners(0)
    flc, frc, brc, blc = corners(H)
    fle, fre, bre, ble = corners(ear)

    px, py = view["person"]
    feet = project(px, py)
    tall = ear / PERSON_EAR * (feet[1] - project(px, py, 1.0)[1])   # pixels

    w, h = SIZE
    out = []
    add = out.append
    add('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
        % (w, h, w, h))
    add("  <!-- Written by hxp/art/make-rooms.py; edit that script, not this file. -->")
    add("  <!-- Marked: %s. -->" % MARKS[mark])
    add("""  <defs>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#f6f8fa"/><stop offset="1" stop-color="#e3e8ee"/>
    </linearGradient>
    <linearGradient id="back-wall" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#f3f1ec"/><stop offset="1" stop-color="#e4dfd5"/>
    </linearGradient>
    <linearGradient id="left-wall" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#dcd7cd"/><stop offset="1" stop-color="#e6e2da"/>
    </linearGradient>
    <linearGradient id="floor" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#d6c19d"/><stop offset="1" stop-color="#e7d8bb"/>
    </linearGradient>
  </defs>""")
    add('  <rect width="%d" height="%d" fill="url(#sky)"/>' % (w, h))

    add("  <!-- walls at the back and at the left -->")
    add('  <polygon points="%s" fill="url(#left-wall)"/>' % pts(flf, blf, blc, flc))
    add('  <polygon points="%s" fill="url(#back-wall)"/>' % pts(blf, brf, brc, blc))

    add("  <!-- floor with boards along the length, one foot apart -->")
    add('  <polygon points="%s" fill="url(#floor)"/>' % pts(flf, frf, brf, blf))
    add('  <g stroke="#c7b089" stroke-width="0.8">')
    for k in range(1, int(W)):
        add("    " + line(project(0, k), project(L, k)))
    add("  </g>")

    add("  <!-- white ceiling, seen from below, with a faint two-foot tile grid -->")
    add('  <polygon points="%s" fill="#ffffff"/>' % pts(flc, frc, brc, blc))
    add('  <g stroke="#e3e7ec" stroke-width="0.8">')
    for k in range(2, int(L), 2):
        add("    " + line(project(k, 0, H), project(k, W, H)))
    for k in range(2, int(W), 2):
        add("    " + line(project(0, k, H), project(L, k, H)))
    add("  </g>")

    add("  <!-- edges of the room; the open front right corner is dashed -->")
    add('  <g fill="none" stroke="%s" stroke-width="1.3" stroke-linejoin="round" stroke-linecap="round">' % EDGE)
    add('    <polygon points="%s"/>' % pts(flf, frf, brf, blf))
    add('    <polygon points="%s"/>' % pts(flc, frc, brc, blc))
    add("    " + line(flf, flc))
    add("    " + line(blf, blc))
    add("    " + line(brf, brc))
    add("  </g>")
    add("  " + line(frf, frc, ' stroke="#98a0a8" stroke-width="1" stroke-dasharray="4 3"'))

    plane = pts(fle, fre, bre, ble)
    if mark == "ear-plane":
        add("  <!-- horizontal plane at ear level: marked, shaded -->")
        add('  <polygon points="%s" fill="%s" fill-opacity="0.5"/>' % (plane, MARK))
    elif mark == "ear-plane-outlined":
        add("  <!-- horizontal plane at ear level: marked, shaded and outlined -->")
        add('  <polygon points="%s" fill="%s" fill-opacity="0.5" stroke="%s" stroke-width="3" stroke-linejoin="round"/>'
            % (plane, MARK, MARK))
    else:
        add("  <!-- horizontal plane at ear level, grey and semi-transparent -->")
        add('  <polygon points="%s" fill="%s" fill-opacity="0.35" stroke="#6a737d" stroke-width="1"/>'
            % (plane, PLANE))

    add("  <!-- the standing person, ears at the plane -->")
    add('  <ellipse cx="%.1f" cy="%.1f" rx="%.1f" ry="%.1f" fill="#3a2c1a" fill-opacity="0.16"/>'
        % (feet[0], feet[1], 0.22 * tall, 0.05 * tall))
    add('  <g transform="translate(%.1f,%.1f) scale(%.2f)">' % (feet[0], feet[1], tall))
    add(PERSON)
    add("  </g>")

    if mark == "ceiling":
        add("  <!-- marked: ceiling outline; arrow from floor to ceiling beside the back right corner -->")
        add('  <polygon points="%s" fill="none" stroke="%s" stroke-width="4" stroke-linejoin="round"/>'
            % (pts(flc, frc, brc, blc), MARK))
        add("  " + arrow((brf[0] + 8, brf[1]), (brc[0] + 8, brc[1]), MARK))
    elif mark == "ear-plane":
        add("  <!-- marked: arrow from the floor to the plane beside the person -->")
        ax = px - EAR_ARROW_LEFT
        add("  " + arrow(project(ax, py), project(ax, py, ear), MARK))
    elif mark in ("length", "width"):
        a, b = (flf, frf) if mark == "length" else (frf, brf)
        add("  <!-- marked: floor edge along the %s -->" % mark)
        add('  <g stroke="%s" stroke-width="4" stroke-linecap="round" fill="%s">' % (MARK, MARK))
        add("    " + line(a, b))
        add('    <circle cx="%.1f" cy="%.1f" r="3.5"/><circle cx="%.1f" cy="%.1f" r="3.5"/>'
            % (a + b))
        add("  </g>")
    add("</svg>")

    info = dict(front_left_floor=flf, front_right_floor=frf, back_right_floor=brf,
                back_left_floor=blf, front_left_ceiling=flc, front_right_ceiling=frc,
                back_right_ceiling=brc, back_left_ceiling=blc,
                ear_front_left=fle, ear_front_right=fre, ear_back_right=bre,
                ear_back_left=ble,
                head_centre=(feet[0], feet[1] - tall * PERSON_EAR), feet=feet,
                person_height=(tall,))
    return "\n".join(out) + "\n", info


PICTURES = [
    ("hxp", os.path.join(HERE, "room-113.svg"), "ceiling"),
    ("hxp", os.path.join(HERE, "room-114.svg"), "ear-plane"),
    ("hxp", os.path.join(HERE, "room-115.svg"), "length"),
    ("hxp", os.path.join(HERE, "room-116.svg"), "width"),
    ("hxp", os.path.join(HERE, "room-117.svg"), "ear-plane-outlined"),
    ("hxp", os.path.join(HERE, "room-118.svg"), None),
    ("launcher", os.path.join(HERE, "..", "..", "launcher", "art", "room-105.svg"), None),
]


def main():
    """Writes every picture and prints the key points of each view."""
    shown = set()
    for view_name, path, mark in PICTURES:
        text, info = room_svg(VIEWS[view_name], mark)
        with open(path, "w") as f:
            f.write(text)
        if view_name not in shown:
            shown.add(view_name)
            print("%s:" % view_name)
            for k, v in info.items():
                print("  %-20s %s" % (k, ", ".join("%.1f" % t for t in v)))


if __name__ == "__main__":
    main()
