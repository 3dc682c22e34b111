#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The main window leaves the taskbar only while its tray icon stands in a tray: never a lost window.

Starts the real Vesperon in a dry run on an X server of its own, under a window manager (JWM, which
keeps each window's _NET_WM_STATE and lists in its taskbar the windows without
_NET_WM_STATE_SKIP_TASKBAR), with a private session bus, and follows the window's _NET_WM_STATE
while trays come and go, for both ways a tray icon reaches a tray:

- XEmbed: no tray at start, then the tray host trayer, then none, then trayer again;
- StatusNotifierItem: a watcher with a host at start, the host going and coming back, the watcher
  going.

The test never touches the machine's own display, buses or session. CTest runs it with
testsupport/ on PYTHONPATH.
"""
import contextlib
import subprocess
import sys
import unittest

import vesperontest

BINARY = sys.argv.pop(1) if len(sys.argv) > 1 else "build/bin/Vesperon"
NEEDED = ("Xvfb", "jwm", "trayer", "xprop", "xwininfo", "dbus-daemon")
SKIP_TASKBAR = "_NET_WM_STATE_SKIP_TASKBAR"


class Desktop:
    """A display with a window manager, a private session bus, and Vesperon started there."""

    def __init__(self, stack):
        missing = vesperontest.missing_programs(*NEEDED)
        if missing:
            raise RuntimeError("missing programs: " + ", ".join(missing) + " (scripts/install-deps.sh --test)")
        self.folder = stack.enter_context(vesperontest.scratch_folder("vesperon-taskbar-"))
        display = stack.enter_context(vesperontest.xvfb("1024x768x24"))
        self.bus = stack.enter_context(vesperontest.private_bus("session"))
        self.env = vesperontest.private_environment(self.folder, display=display, session_bus=self.bus)
        self.env.update(HOME=self.folder, VESPERON_DRY_RUN="1")
        stack.enter_context(vesperontest.window_manager(self.env, self.folder))
        self.stack = stack

    def start_vesperon(self):
        self.program = self.stack.enter_context(vesperontest.running(
            [BINARY, "--dry-run"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        self.window = vesperontest.wait_for_window(self.env, self.program)

    def state(self):
        return vesperontest.net_wm_state(self.env, self.window)

    def wait_for_hint(self, kept_out, why):
        vesperontest.wait_until(lambda: (SKIP_TASKBAR in self.state()) == kept_out, 10,
                                f"{why}: the window {'has' if kept_out else 'lacks'} its taskbar button "
                                f"({sorted(self.state())})")


class XEmbedTray(unittest.TestCase):
    def test_button_follows_the_tray(self):
        with contextlib.ExitStack() as stack:
            desktop = Desktop(stack)
            desktop.start_vesperon()
            self.assertNotIn(SKIP_TASKBAR, desktop.state(), "no tray at start, yet no taskbar button")
            with vesperontest.tray_host(desktop.env):
                desktop.wait_for_hint(True, "a tray appeared")
            desktop.wait_for_hint(False, "the tray went away")
            with vesperontest.tray_host(desktop.env):
                desktop.wait_for_hint(True, "a tray appeared again")
            self.assertIsNone(desktop.program.poll())

    def test_tray_at_start(self):
        with contextlib.ExitStack() as stack:
            desktop = Desktop(stack)
            stack.enter_context(vesperontest.tray_host(desktop.env))
            desktop.start_vesperon()
            self.assertIn(SKIP_TASKBAR, desktop.state(), "shown already out of the taskbar")


class StatusNotifierTray(unittest.TestCase):
    def test_button_follows_the_host_and_the_watcher(self):
        with contextlib.ExitStack() as stack:
            desktop = Desktop(stack)
            watcher = stack.enter_context(vesperontest.status_notifier_watcher(desktop.bus))
            with vesperontest.status_notifier_host(desktop.bus):
                desktop.start_vesperon()
                self.assertIn(SKIP_TASKBAR, desktop.state(), "shown already out of the taskbar")
            desktop.wait_for_hint(False, "the tray's host went away")
            with vesperontest.status_notifier_host(desktop.bus):
                desktop.wait_for_hint(True, "a host registered again")
                vesperontest.stop(watcher)
                desktop.wait_for_hint(False, "the watcher went away")
            self.assertIsNone(desktop.program.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
