"""A virtual X server for driving the real launcher and calculator windows.

xdotool finds windows and sends real key and mouse events; the two requests
it lacks here are done through libX11 directly: the window system's close
request (a WM_DELETE_WINDOW client message, as a window manager sends it for
the close box) and a picture of a window's contents.

No window manager runs, so windows have no frames, and the keyboard focus
goes where `focus` puts it.
"""

import ctypes
import os
import select
import shutil
import struct
import subprocess
import time
import zlib

TOOLS = ("Xvfb", "xdotool", "xwininfo")
STEP_TIMEOUT = 30  # seconds for any one step to happen


class StepFailed(Exception):
    pass


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _Event(ctypes.Union):
    _fields_ = [("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


class _Image(ctypes.Structure):
    _fields_ = [
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("xoffset", ctypes.c_int),
        ("format", ctypes.c_int),
        ("data", ctypes.c_void_p),
        ("byte_order", ctypes.c_int),
        ("bitmap_unit", ctypes.c_int),
        ("bitmap_bit_order", ctypes.c_int),
        ("bitmap_pad", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("bytes_per_line", ctypes.c_int),
        ("bits_per_pixel", ctypes.c_int),
        ("red_mask", ctypes.c_ulong),
        ("green_mask", ctypes.c_ulong),
        ("blue_mask", ctypes.c_ulong),
    ]


def _xlib():
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(_Event)]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
    x.XGetImage.restype = ctypes.POINTER(_Image)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x.XFree.argtypes = [ctypes.c_void_p]
    return x


def _write_png(path, width, height, rgb_rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\x00" + row for row in rgb_rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


class XSession:
    """Xvfb on a display it picks itself, torn down on exit."""

    def __init__(self, width=1280, height=1024):
        read_end, write_end = os.pipe()
        self._server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24", "-dpi", "96",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + STEP_TIMEOUT
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
            if not ready:
                self._server.kill()
                raise StepFailed("Xvfb did not report its display")
            piece = os.read(read_end, 16)
            if not piece:
                raise StepFailed("Xvfb ended before reporting its display")
            number += piece
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        self._x = _xlib()

    @classmethod
    def on(cls, display):
        """A session on a display that runs already; it is left running."""
        session = cls.__new__(cls)
        session._server = None
        session.display = display
        session._x = _xlib()
        return session

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self._server is None:
            return
        self._server.terminate()
        try:
            self._server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self._server.kill()

    def env(self, **extra):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env["QT_QPA_PLATFORM"] = "xcb"  # whatever the test run set for the offscreen tests
        env.update(extra)
        return env

    def _tool(self, *args, timeout=STEP_TIMEOUT):
        try:
            done = subprocess.run(list(args), env=self.env(), capture_output=True, text=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise StepFailed(f"timed out: {' '.join(args)}")
        return done

    def find(self, title_regex):
        """The id of the one visible window whose title matches, once it shows."""
        done = self._tool("xdotool", "search", "--sync", "--onlyvisible", "--name", title_regex)
        ids = done.stdout.split()
        if done.returncode != 0 or not ids:
            raise StepFailed(f"no window titled {title_regex!r}: {done.stderr.strip()}")
        return int(ids[0])

    def is_viewable(self, window):
        done = self._tool("xwininfo", "-id", str(window))
        return done.returncode == 0 and "IsViewable" in done.stdout

    def wait_gone(self, window):
        deadline = time.monotonic() + STEP_TIMEOUT
        while self.is_viewable(window):
            if time.monotonic() > deadline:
                raise StepFailed(f"window {window} is still on screen")
            time.sleep(0.05)

    def focus(self, window):
        done = self._tool("xdotool", "windowfocus", "--sync", str(window))
        if done.returncode != 0:
            raise StepFailed(f"cannot focus window {window}: {done.stderr.strip()}")

    def key(self, *keys):
        self._tool("xdotool", "key", "--delay", "50", *keys)

    def type(self, text):
        self._tool("xdotool", "type", "--delay", "50", text)

    def click(self, window, x, y):
        """A left click at a point of the window's client area."""
        self._tool("xdotool", "mousemove", "--window", str(window), str(x), str(y), "click", "1")

    def close(self, window):
        """The window system's close request, as a close box sends it."""
        display = self._x.XOpenDisplay(self.display.encode())
        if not display:
            raise StepFailed(f"cannot open display {self.display}")
        try:
            event = _Event()
            event.client.type = 33  # ClientMessage
            event.client.window = window
            event.client.message_type = self._x.XInternAtom(display, b"WM_PROTOCOLS", 0)
            event.client.format = 32
            event.client.data[0] = self._x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
            event.client.data[1] = 0  # CurrentTime
            self._x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
            self._x.XSync(display, 0)
        finally:
            self._x.XCloseDisplay(display)

    def screenshot(self, window, path):
        """Saves what the window shows as a PNG."""
        display = self._x.XOpenDisplay(self.display.encode())
        if not display:
            raise StepFailed(f"cannot open display {self.display}")
        try:
            root = ctypes.c_ulong()
            x, y = ctypes.c_int(), ctypes.c_int()
            width, height, border, depth = (ctypes.c_uint() for _ in range(4))
            if not self._x.XGetGeometry(display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                                        ctypes.byref(width), ctypes.byref(height), ctypes.byref(border),
                                        ctypes.byref(depth)):
                raise StepFailed(f"no geometry for window {window}")
            image = self._x.XGetImage(display, window, 0, 0, width.value, height.value, ~0 & 0xFFFFFFFFFFFFFFFF, 2)
            if not image:
                raise StepFailed(f"cannot read window {window}")
            img = image.contents
            if img.bits_per_pixel != 32 or img.red_mask != 0xFF0000 or img.blue_mask != 0xFF:
                raise StepFailed(f"unexpected pixel format: {img.bits_per_pixel} bits, red mask {img.red_mask:#x}")
            data = ctypes.string_at(img.data, img.bytes_per_line * img.height)
            rows = []
            for row in range(img.height):
                line = data[row * img.bytes_per_line:row * img.bytes_per_line + 4 * img.width]
                rgb = bytearray(3 * img.width)
                rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
                rows.append(bytes(rgb))
            size = (img.width, img.height)
            self._x.XFree(img.data)
            self._x.XFree(image)
            _write_png(path, *size, rows)
        finally:
            self._x.XCloseDisplay(display)


def children_of(pid):
    """Ids of the processes whose parent is `pid`, zombies included."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) == pid:
            found.append(int(entry))
    return found


def wait_until(condition, what):
    deadline = time.monotonic() + STEP_TIMEOUT
    while not condition():
        if time.monotonic() > deadline:
            raise StepFailed(f"timed out waiting: {what}")
        time.sleep(0.05)


# ---- the round trip both end-to-end tests of the launcher take

NOTICE_TITLE = "^HX $"
CHOICE_TITLE = "^Halvex$"
HXP_TITLE = "^Planar Speaker Layout$"
HXC_TITLE = "^Cone Speaker Layout$"
# What HXP writes after the room width of the default room became 18.
HX_TMP_WIDTH_18 = b'"9"\r\n"5"\r\n"20"\r\n"18"\r\n"90"\r\n'


def planar_round_trip(x, hx_tmp, step, activate, type_width, hxp_ended):
    """From the notice to HXP's hx.tmp: dismisses the notice with Enter,
    presses "Planar" with Enter, lets `type_width` make the room width 18 in
    HXP, closes HXP with the window system's close request, waits for
    `hxp_ended` and checks the bytes of hx.tmp. `activate` makes a window the
    active one; `step` (a one-element list) names the step under way.
    Returns the choice window."""
    step[0] = "dismiss the notice"
    notice = x.find(NOTICE_TITLE)
    activate(notice)
    x.key("Return")  # "&Ok" has the focus
    choice = x.find(CHOICE_TITLE)
    x.wait_gone(notice)

    step[0] = "press Planar"
    activate(choice)
    x.key("Return")  # "Planar" has the focus
    calculator = x.find(HXP_TITLE)

    step[0] = "type 18 as the room width in HXP"
    type_width(calculator, "18")

    step[0] = "close HXP"
    x.close(calculator)
    x.wait_gone(calculator)
    hxp_ended()
    with open(hx_tmp, "rb") as written:
        got = written.read()
    if got != HX_TMP_WIDTH_18:
        raise StepFailed(f"hx.tmp holds {got!r}, expected {HX_TMP_WIDTH_18!r}")
    return choice


def cone_round_trip(x, choice, hx_tmp, step, activate, type_width, hxc_ended, shot=lambda window, name: None):
    """From the choice window through HXC and back: moves the focus from
    "Planar" to "Cone" with Tab and presses it with Enter, lets `type_width`
    make the room width 21 in HXC, closes HXC with the window system's close
    request, waits for `hxc_ended` and checks the bytes of hx.tmp (the room
    of the planar round trip with the width 21). Leaves the focus on
    "Planar" again."""
    step[0] = "press Cone"
    activate(choice)
    x.key("Tab", "Return")
    calculator = x.find(HXC_TITLE)
    shot(calculator, "hxc.png")

    step[0] = "type 21 as the room width in HXC"
    type_width(calculator, "21")

    step[0] = "close HXC"
    x.close(calculator)
    x.wait_gone(calculator)
    hxc_ended()
    expected = HX_TMP_WIDTH_18.replace(b'"18"', b'"21"')
    with open(hx_tmp, "rb") as written:
        got = written.read()
    if got != expected:
        raise StepFailed(f"hx.tmp holds {got!r}, expected {expected!r}")
    activate(choice)
    x.key("shift+Tab")
