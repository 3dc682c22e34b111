#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Vesperon on a Wayland compositor: the real program as a dry run under weston's headless backend.

The test starts weston itself (in a runtime folder of its own) and a private session bus, and
Vesperon with the Wayland client log on (WAYLAND_DEBUG=1), on two desktops:

- without a tray, as GNOME's: armed with --dry-run --shutdown-in 3s, the window is mapped (the
  toplevel configured and acknowledged, a buffer attached and committed, and the window on weston's
  screen), the countdown runs (--status, asked twice), the dry-run request comes at the deadline;
- with a StatusNotifierItem tray, as KDE Plasma's: the tray icon registers and can be activated.

On both the program must print nothing about what Wayland does not offer. The test never touches
the machine's own display, buses or session. CTest runs it with testsupport/ on PYTHONPATH.
"""
import contextlib
import os
import re
import select
import subprocess
import sys
import time
import unittest

import dbus

import vesperontest

BINARY = sys.argv.pop(1) if len(sys.argv) > 1 else "build/bin/Vesperon"
NEEDED = ("weston", "weston-screenshooter", "dbus-daemon")
WATCHER = vesperontest.STATUS_NOTIFIER_WATCHER
DARK_RED = (64, 0, 0)
REQUEST = "vesperon: dry run: force shut down"


class WaylandDesktop(unittest.TestCase):
    """Vesperon started with ARGUMENTS under weston, with a StatusNotifierItem tray when TRAY is
    set, once its window is mapped."""

    ARGUMENTS = ()
    TRAY = False

    @classmethod
    def setUpClass(cls):
        missing = vesperontest.missing_programs(*NEEDED)
        if missing:
            raise RuntimeError("missing programs: " + ", ".join(missing) + " (scripts/install-deps.sh --test)")
        stack = contextlib.ExitStack()
        cls.addClassCleanup(stack.close)
        cls.folder = stack.enter_context(vesperontest.scratch_folder("vesperon-wayland-"))
        socket = stack.enter_context(vesperontest.weston(
            cls.folder, log=stack.enter_context(open(os.path.join(cls.folder, "weston.log"), "w"))))
        bus = stack.enter_context(vesperontest.private_bus("session"))
        if cls.TRAY:
            stack.enter_context(vesperontest.status_notifier_watcher(bus))
            stack.enter_context(vesperontest.status_notifier_host(bus))
        cls.bus = dbus.bus.BusConnection(bus.address)
        stack.callback(cls.bus.close)

        cls.env = vesperontest.private_environment(cls.folder, session_bus=bus)
        cls.env.update(HOME=cls.folder, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=socket)
        cls.client_log = os.path.join(cls.folder, "client.log")
        cls.started = time.monotonic()
        cls.program = stack.enter_context(vesperontest.running(
            [BINARY, "--dry-run", *cls.ARGUMENTS], env=dict(cls.env, WAYLAND_DEBUG="1"),
            stdout=subprocess.PIPE, stderr=stack.enter_context(open(cls.client_log, "w"))))
        vesperontest.wait_until(lambda: cls.program.poll() is not None or cls.mapped(), 30,
                                "the window was never mapped")
        if cls.program.poll() is not None:
            raise RuntimeError(f"Vesperon ended early with {cls.program.returncode} (without qt6-wayland?): "
                               + " / ".join(cls.said()))

    @classmethod
    def client_lines(cls):
        with open(cls.client_log) as log:
            return log.read().splitlines()

    @classmethod
    def mapped(cls):
        """Whether the client log shows the toplevel "The Vesperon" configured, the configure
        acknowledged, and a buffer attached and committed after that."""
        stage, surface = 0, None
        for line in cls.client_lines():
            if stage == 0 and re.search(r'-> xdg_toplevel@\d+\.set_title\("The Vesperon"\)', line):
                stage = 1
            elif stage == 1 and re.search(r"\bxdg_toplevel@\d+\.configure\(", line) and "->" not in line:
                stage = 2
            elif stage == 2 and re.search(r"-> xdg_surface@\d+\.ack_configure\(", line):
                stage = 3
            elif stage == 3 and (match := re.search(r"-> (wl_surface@\d+)\.attach\(wl_buffer@", line)):
                stage, surface = 4, match.group(1)
            elif stage == 4 and f"-> {surface}.commit()" in line:
                return True
        return False

    @classmethod
    def said(cls):
        """What the program printed on stderr, without the Wayland client log."""
        return [line for line in cls.client_lines() if line and not line.startswith("[")]

    def assertSaidNothing(self):
        self.assertEqual(self.said(), [])

    def printed_lines(self, count, timeout=15):
        """The program's first count lines on stdout, waiting at most timeout seconds for them."""
        printed = b""
        deadline = time.monotonic() + timeout
        while printed.count(b"\n") < count:
            ready, _, _ = select.select([self.program.stdout], [], [], max(0, deadline - time.monotonic()))
            chunk = os.read(self.program.stdout.fileno(), 4096) if ready else b""
            if not chunk:
                self.fail(f"the program printed only {printed!r}")
            printed += chunk
        return printed.decode().splitlines()[:count]

    def vesperon(self, *arguments):
        """Vesperon started again: it hands its request to the running one over the test's bus."""
        return subprocess.run([BINARY, *arguments], env=self.env, capture_output=True, text=True, timeout=30)


class WithoutTray(WaylandDesktop):
    """As on GNOME's Wayland session, which has no tray: armed for three seconds ahead."""

    ARGUMENTS = ("--shutdown-in", "3s")

    def test_1_window_on_the_screen(self):
        shot_folder = os.path.join(self.folder, "shots")
        os.mkdir(shot_folder)

        def dark_red_share():
            for shot in os.listdir(shot_folder):
                os.remove(os.path.join(shot_folder, shot))
            subprocess.run(["weston-screenshooter"], env=self.env, cwd=shot_folder, check=True, timeout=20,
                           capture_output=True)
            (shot,) = os.listdir(shot_folder)
            with open(os.path.join(shot_folder, shot), "rb") as image:
                width, height, pixel = vesperontest.read_png(image.read())
            dark_red = sum(1 for y in range(0, height, 4) for x in range(0, width, 4)
                           if all(abs(c - e) <= 8 for c, e in zip(pixel(x, y)[:3], DARK_RED)))
            return dark_red * 16 / (406 * 544)

        # Around the clock and the armed face the client area is dark red: a good part of its
        # 406 x 544 pixels, where weston's own background and panel have none. The shell fades a
        # new window in.
        vesperontest.wait_until(lambda: dark_red_share() > 0.1, 5, "the window is not on weston's screen")

    def test_2_counts_down(self):
        def seconds_left():
            status = self.vesperon("--status")
            self.assertEqual(status.returncode, 0, status.stdout + status.stderr)
            return int(re.fullmatch(r"shutdown at .*, 00:00:(\d\d) left", status.stdout.strip()).group(1))

        first = seconds_left()
        self.assertLessEqual(first, 3)
        vesperontest.wait_until(lambda: seconds_left() < first, 5, "the countdown stood still")

    def test_3_request_at_the_deadline_and_nothing_said(self):
        self.assertEqual(self.printed_lines(2), ["vesperon: dry run: enable shutdown privilege", REQUEST])
        self.assertGreaterEqual(time.monotonic() - self.started, 2.0, "the request came before the deadline")
        self.assertSaidNothing()


class WithStatusNotifierTray(WaylandDesktop):
    """As on KDE Plasma's Wayland session: the tray icon reaches the tray through StatusNotifierItem."""

    TRAY = True

    def test_icon_in_the_tray_and_activated(self):
        items = vesperontest.wait_until(
            lambda: self.bus.call_blocking(WATCHER, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties",
                                           "Get", "ss", [WATCHER, "RegisteredStatusNotifierItems"]),
            10, "the tray icon did not register with the tray")
        service, _, path = items[0].partition("/")
        self.bus.call_blocking(service, "/" + path, "org.kde.StatusNotifierItem", "Activate", "ii", [0, 0])
        self.assertEqual(vesperontest.wait_until(
            lambda: self.vesperon("--status").stdout.strip(), 10, "Vesperon stopped answering"), "disarmed")
        self.assertIsNone(self.program.poll())
        self.assertSaidNothing()


if __name__ == "__main__":
    unittest.main(verbosity=2)
