#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Starts the real Vesperon in a dry run on an X server of its own and checks what it shows.

The test starts Xvfb itself, points only the program at it, and never touches the machine's own
display, buses or session: the program runs with --dry-run and without a session bus.
"""
import os
import struct
import subprocess
import sys
import tempfile
import time
import unittest

BINARY = sys.argv.pop(1) if len(sys.argv) > 1 else "build/bin/Vesperon"
DARK_RED = (64, 0, 0)


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        server.kill()
        raise RuntimeError("Xvfb did not start")
    return server, ":" + number


def read_xwd(data):
    """The pixels of an XWD dump of a 24/32-bit TrueColor window, as a function (x, y) -> (r, g, b)."""
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    assert bits_per_pixel == 32, bits_per_pixel
    pixels = data[header_size + 12 * ncolors:]
    order = "<I" if byte_order == 0 else ">I"

    def pixel(x, y):
        (value,) = struct.unpack_from(order, pixels, y * bytes_per_line + 4 * x)
        return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)

    return width, height, pixel


class VesperonWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server, cls.display = start_xvfb()
        cls.folder = tempfile.TemporaryDirectory()
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("DBUS_", "XDG_SESSION", "WAYLAND"))}
        env.update(DISPLAY=cls.display, QT_QPA_PLATFORM="xcb", VESPERON_DRY_RUN="1",
                   DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(cls.folder.name, "no-bus"),
                   DBUS_SYSTEM_BUS_ADDRESS="unix:path=" + os.path.join(cls.folder.name, "no-bus"),
                   XDG_RUNTIME_DIR=cls.folder.name)
        cls.env = env
        cls.program = subprocess.Popen([BINARY, "--dry-run"], env=env, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL, text=True)
        cls.window = cls.wait_for_window()

    @classmethod
    def tearDownClass(cls):
        cls.program.terminate()
        try:
            cls.program.wait(10)
        except subprocess.TimeoutExpired:
            cls.program.kill()
        cls.server.terminate()
        cls.server.wait(10)
        cls.folder.cleanup()

    @classmethod
    def x(cls, *command):
        return subprocess.run(command, env=cls.env, capture_output=True, check=True, timeout=20).stdout

    @classmethod
    def wait_for_window(cls):
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if cls.program.poll() is not None:
                raise RuntimeError("Vesperon ended early")
            tree = cls.x("xwininfo", "-root", "-tree").decode()
            for line in tree.splitlines():
                if '"The Vesperon"' in line:
                    window = line.split()[0]
                    info = cls.x("xwininfo", "-id", window).decode()
                    if "IsViewable" in info:
                        time.sleep(1.0)  # the first frame and the clock's first tick
                        return window
            time.sleep(0.2)
        raise RuntimeError("no window appeared")

    def geometry(self):
        info = self.x("xwininfo", "-id", self.window).decode()
        values = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return int(values["Width"]), int(values["Height"])

    def screenshot(self):
        return read_xwd(self.x("xwd", "-id", self.window, "-silent"))

    def assertColorNear(self, actual, expected, tolerance=8):
        self.assertTrue(all(abs(a - e) <= tolerance for a, e in zip(actual, expected)),
                        "%s is not near %s" % (actual, expected))

    def test_client_area_clock_and_panel(self):
        width, height = self.geometry()
        self.assertEqual(width, 406)
        menu = height - 544
        self.assertGreater(menu, 10)  # the menu bar sits above the 406 x 544 client area
        shot_width, shot_height, pixel = self.screenshot()
        self.assertEqual((shot_width, shot_height), (width, height))
        # Dark red around the clock and beside the lower panel.
        for x, y in [(4, 4), (401, 4), (4, 400), (401, 530), (200, 540), (20, 450)]:
            self.assertColorNear(pixel(x, menu + y), DARK_RED)
        # The clock: light orange ticks at twelve and three o'clock on its dark red face.
        twelve = [pixel(203, menu + y) for y in range(16, 45)]
        self.assertTrue(any(r > 200 and g > 150 for r, g, b in twelve), twelve)
        three = [pixel(x, menu + 194) for x in range(350, 382)]
        self.assertTrue(any(r > 200 and g > 150 for r, g, b in three), three)
        # The lower panel in the standard control colour, not dark red.
        r, g, b = pixel(45, menu + 425)
        self.assertGreater(g, 150)

    def test_kept_out_of_the_taskbar(self):
        state = self.x("xprop", "-id", self.window, "_NET_WM_STATE").decode()
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", state)
        self.assertIsNone(self.program.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
