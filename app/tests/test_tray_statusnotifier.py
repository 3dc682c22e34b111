#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The tray icon as a StatusNotifierItem, as KDE Plasma's tray (and GNOME's AppIndicator extension)
shows it.

Starts the real Vesperon in a dry run on an X server of its own with a window manager and a private
session bus, on which the test runs a StatusNotifierItem watcher (testsupport/statusnotifierwatcher.py)
with a registered host, so that Qt shows the icon through StatusNotifierItem. The test then plays the
tray: it finds the item through the watcher, reads its icon, tip and status, and asks it to activate.

The test never touches the machine's own display, buses or session. CTest runs it with
testsupport/ on PYTHONPATH.
"""
import contextlib
import os
import subprocess
import sys
import unittest

import dbus

import vesperontest

BINARY = sys.argv.pop(1) if len(sys.argv) > 1 else "build/bin/Vesperon"
IMAGES = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "images")
NEEDED = ("Xvfb", "jwm", "xdotool", "xprop", "xwininfo", "dbus-daemon")
ITEM = "org.kde.StatusNotifierItem"
WATCHER = vesperontest.STATUS_NOTIFIER_WATCHER


def artwork(name):
    with open(os.path.join(IMAGES, name), "rb") as image:
        return vesperontest.read_png(image.read())


def matches(pixmap, image, tolerance=8):
    """Whether an IconPixmap entry (width, height, ARGB32 in network byte order) shows the image."""
    width, height, data = int(pixmap[0]), int(pixmap[1]), bytes(pixmap[2])
    image_width, image_height, pixel = image
    if (width, height) != (image_width, image_height) or len(data) != width * height * 4:
        return False
    for y in range(height):
        for x in range(width):
            a, r, g, b = data[4 * (y * width + x):4 * (y * width + x) + 4]
            expected = pixel(x, y)
            if abs(a - expected[3]) > tolerance:
                return False
            if expected[3] > 128 and any(abs(c - e) > tolerance for c, e in zip((r, g, b), expected)):
                return False
    return True


class StatusNotifierItem(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        missing = vesperontest.missing_programs(*NEEDED)
        if missing:
            raise RuntimeError("missing programs: " + ", ".join(missing) + " (scripts/install-deps.sh --test)")
        stack = contextlib.ExitStack()
        cls.addClassCleanup(stack.close)
        folder = stack.enter_context(vesperontest.scratch_folder("vesperon-sni-"))
        display = stack.enter_context(vesperontest.xvfb("1024x768x24"))
        bus = stack.enter_context(vesperontest.private_bus("session"))
        cls.env = vesperontest.private_environment(folder, display=display, session_bus=bus)
        cls.env.update(HOME=folder, VESPERON_DRY_RUN="1")
        stack.enter_context(vesperontest.window_manager(cls.env, folder))
        stack.enter_context(vesperontest.status_notifier_watcher(bus))
        stack.enter_context(vesperontest.status_notifier_host(bus))
        cls.program = stack.enter_context(vesperontest.running(
            [BINARY, "--dry-run"], env=cls.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        cls.window = vesperontest.wait_for_window(cls.env, cls.program)
        cls.bus = dbus.bus.BusConnection(bus.address)
        stack.callback(cls.bus.close)
        items = vesperontest.wait_until(lambda: cls.watcher_property("RegisteredStatusNotifierItems"), 10,
                                        "no item registered with the watcher")
        cls.service, _, path = items[0].partition("/")
        cls.path = "/" + path

    @classmethod
    def watcher_property(cls, name):
        return cls.bus.call_blocking(WATCHER, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties", "Get",
                                     "ss", [WATCHER, name])

    def item_property(self, name):
        return self.bus.call_blocking(self.service, self.path, "org.freedesktop.DBus.Properties", "Get", "ss",
                                      [ITEM, name])

    def shows(self, image):
        return any(matches(pixmap, image) for pixmap in self.item_property("IconPixmap"))

    def vesperon(self, *arguments):
        """Vesperon started again: it hands its request to the running one over the test's bus."""
        return subprocess.run([BINARY, *arguments], env=self.env, capture_output=True, text=True, timeout=30)

    def test_icon_tip_and_status(self):
        self.assertEqual(self.item_property("Status"), "Active")
        _, _, title, _ = self.item_property("ToolTip")
        self.assertEqual(title, "The Vesperon")
        self.assertTrue(self.shows(artwork("tray-natural.png")), "the icon is not the natural revolver")

    def test_icon_turns_red_while_armed(self):
        self.assertEqual(self.vesperon("--shutdown-in", "1h").returncode, 0)
        try:
            vesperontest.wait_until(lambda: self.shows(artwork("tray-red.png")), 10,
                                    "the armed icon never showed the red revolver")
        finally:
            self.assertEqual(self.vesperon("--cancel").returncode, 0)
        vesperontest.wait_until(lambda: self.shows(artwork("tray-natural.png")), 10,
                                "disarmed, the icon did not turn back")

    def test_activate_restores_the_minimised_window(self):
        def shown():
            wm_state = subprocess.run(["xprop", "-id", self.window, "WM_STATE"], env=self.env, capture_output=True,
                                      text=True, timeout=20).stdout
            return ("window state: Normal" in wm_state
                    and vesperontest.window_info(self.env, self.window).get("Map State") == "IsViewable")

        subprocess.run(["xdotool", "windowminimize", self.window], env=self.env, check=True, timeout=20)
        vesperontest.wait_until(lambda: not shown(), 10, "the window was not minimised")
        self.bus.call_blocking(self.service, self.path, ITEM, "Activate", "ii", [0, 0])
        vesperontest.wait_until(shown, 10, "activating the tray icon did not restore the window")
        self.assertIsNone(self.program.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
