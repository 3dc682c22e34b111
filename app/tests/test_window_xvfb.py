#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Starts the real Vesperon in a dry run on an X server of its own and checks what it shows.

The test starts Xvfb itself, points only the program at it, and never touches the machine's own
display, buses or session: the program runs with --dry-run and without a session bus. CTest runs
it with testsupport/ on PYTHONPATH.
"""
import contextlib
import struct
import subprocess
import sys
import time
import unittest

import vesperontest

BINARY = sys.argv.pop(1) if len(sys.argv) > 1 else "build/bin/Vesperon"
DARK_RED = (64, 0, 0)


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
        # The program, the server and the folder go however the class ends, a failed set-up included.
        stack = contextlib.ExitStack()
        cls.addClassCleanup(stack.close)
        folder = stack.enter_context(vesperontest.scratch_folder())
        display = stack.enter_context(vesperontest.xvfb("1024x768x24"))
        cls.env = vesperontest.private_environment(folder, display=display)
        cls.env.update(VESPERON_DRY_RUN="1")
        cls.program = stack.enter_context(vesperontest.running(
            [BINARY, "--dry-run"], env=cls.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True))
        cls.window = cls.wait_for_window()

    @classmethod
    def x(cls, *command):
        return subprocess.run(command, env=cls.env, capture_output=True, check=True, timeout=20).stdout

    @classmethod
    def wait_for_window(cls):
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            if cls.program.poll() is not None:
                raise RuntimeError("Vesperon ended early")
            found = vesperontest.find_window(cls.env, "The Vesperon")
            if found:
                time.sleep(1.0)  # the first frame and the clock's first tick
                return found[0]
            time.sleep(0.2)
        raise RuntimeError("no window appeared")

    def geometry(self):
        info = vesperontest.window_info(self.env, self.window)
        return int(info["Width"]), int(info["Height"])

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

    def test_keeps_its_taskbar_button_without_a_tray(self):
        state = self.x("xprop", "-id", self.window, "_NET_WM_STATE").decode()
        self.assertNotIn("_NET_WM_STATE_SKIP_TASKBAR", state)
        self.assertIsNone(self.program.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
