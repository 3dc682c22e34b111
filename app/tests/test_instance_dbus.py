#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""One Vesperon per session, driven from the command line: the real program, always as a dry run,
on a private session bus that the test starts (the system bus points where nothing answers).

A first Vesperon owns org.vesperon.Vesperon; later starts hand their request to it and end. At the
deadline the first one prints its dry-run request. The legacy switches act in the start that names
them, whether or not a Vesperon runs, and no value of the program's own options is ever read as
one of them. CTest runs it with testsupport/ on PYTHONPATH.
"""
import contextlib
import subprocess
import sys
import threading
import time
import unittest

import vesperontest

BINARY = sys.argv.pop(1) if len(sys.argv) > 1 else "build/bin/Vesperon"
NAME = "org.vesperon.Vesperon"


class Output:
    """The lines a running program prints, collected as they come."""

    def __init__(self, stream):
        self.lines = []
        self._thread = threading.Thread(target=self._read, args=(stream,), daemon=True)
        self._thread.start()

    def _read(self, stream):
        with stream:
            for line in stream:
                self.lines.append(line.rstrip("\n"))

    def requests(self):
        return [line for line in self.lines if line.startswith("vesperon: dry run:")]

    def wait_for(self, line, timeout=20):
        deadline = time.monotonic() + timeout
        while line not in self.lines:
            if time.monotonic() > deadline:
                raise AssertionError(f"{line!r} not printed; printed: {self.lines}")
            time.sleep(0.05)


class InstanceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        stack = contextlib.ExitStack()
        cls.addClassCleanup(stack.close)
        folder = stack.enter_context(vesperontest.scratch_folder())
        cls.bus = stack.enter_context(vesperontest.private_bus("session"))
        cls.env = vesperontest.private_environment(folder, session_bus=cls.bus)
        cls.env.update(QT_QPA_PLATFORM="offscreen")

    def setUp(self):
        self.stack = contextlib.ExitStack()
        self.addCleanup(self.stack.close)

    def start_first(self, *arguments):
        """The first Vesperon, once it owns its name."""
        program = self.stack.enter_context(vesperontest.running(
            [BINARY, "--dry-run", *arguments], env=self.env, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, text=True))
        output = Output(program.stdout)
        deadline = time.monotonic() + 30
        while not self.name_owned():
            self.assertIsNone(program.poll(), "the first Vesperon ended")
            self.assertLess(time.monotonic(), deadline, "the first Vesperon never took its name")
            time.sleep(0.1)
        return program, output

    def name_owned(self):
        reply = subprocess.run(["dbus-send", "--bus=" + self.bus.address, "--print-reply=literal",
                                "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                                "org.freedesktop.DBus.NameHasOwner", "string:" + NAME],
                               capture_output=True, text=True, timeout=20)
        return "true" in reply.stdout

    def vesperon(self, *arguments):
        """A later start; gives (exit code, standard output, standard error)."""
        done = subprocess.run([BINARY, *arguments], env=self.env, capture_output=True, text=True, timeout=30)
        return done.returncode, done.stdout, done.stderr

    def test_second_start_brings_the_first_forward(self):
        first, output = self.start_first()
        with vesperontest.running(["dbus-monitor", "--address", self.bus.address,
                                   "type='method_call',interface='org.freedesktop.Application'"],
                                  env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                  text=True) as monitor:
            calls = Output(monitor.stdout)
            time.sleep(0.5)  # the monitor is listening
            self.assertEqual(self.vesperon(), (0, "", ""))
            self.assertEqual(self.vesperon("--dry-run"), (0, "", ""))
            deadline = time.monotonic() + 10
            while sum("member=Activate" in line for line in calls.lines) < 2:
                self.assertLess(time.monotonic(), deadline, calls.lines)
                time.sleep(0.05)
        self.assertIsNone(first.poll())
        self.assertEqual(output.requests(), [])

    def test_armed_from_the_command_line_until_the_deadline(self):
        first, output = self.start_first()
        self.assertEqual(self.vesperon("--status"), (1, "disarmed\n", ""))
        self.assertEqual(self.vesperon("--shutdown-in", "3s"), (0, "", ""))
        code, status, _ = self.vesperon("--status")
        self.assertEqual(code, 0)
        self.assertRegex(status, r"^shutdown at \d{4}-\d\d-\d\d \d\d:\d\d:\d\d, 00:00:0[0-3] left\n$")
        # The final sound plays to its end (or its cap, without a sound device) before the request.
        output.wait_for("vesperon: dry run: force shut down", timeout=20)
        self.assertEqual(output.requests(), ["vesperon: dry run: enable shutdown privilege",
                                             "vesperon: dry run: force shut down"])
        # Disarmed from the command line afterwards.
        self.assertEqual(self.vesperon("--cancel"), (0, "", ""))
        self.assertEqual(self.vesperon("--status"), (1, "disarmed\n", ""))
        self.assertIsNone(first.poll())

    def test_requests_without_a_running_vesperon(self):
        self.assertFalse(self.name_owned())
        self.assertEqual(self.vesperon("--status"), (1, "disarmed\n", ""))
        self.assertEqual(self.vesperon("--cancel"), (2, "", "vesperon: No Vesperon is running in this session.\n"))
        self.assertEqual(self.vesperon("--postpone", "10m"),
                         (2, "", "vesperon: No Vesperon is running in this session.\n"))
        code, _, error = self.vesperon("--shutdown-at", "2020-01-01T10:00")
        self.assertEqual((code, error), (2, "vesperon: The deadline 2020-01-01 10:00:00 has passed.\n"))

    def test_an_arming_start_without_a_running_vesperon_starts_armed(self):
        first, output = self.start_first("--restart-in", "1h")
        code, status, _ = self.vesperon("--status")
        self.assertEqual(code, 0)
        self.assertRegex(status, r"^restart at .*, 00:59:[0-9][0-9] left\n$")
        self.assertEqual(output.requests(), [])

    def test_legacy_switches_act_with_a_running_vesperon(self):
        first, output = self.start_first()
        code, printed, _ = self.vesperon("--dry-run", "-3", "-1")
        self.assertEqual(code, 0)
        self.assertEqual(printed.splitlines(), ["vesperon: dry run: log off",
                                                "vesperon: dry run: enable shutdown privilege",
                                                "vesperon: dry run: shut down"])
        # The running Vesperon was asked for nothing.
        self.assertIsNone(first.poll())
        self.assertEqual(output.requests(), [])
        self.assertEqual(self.vesperon("--status"), (1, "disarmed\n", ""))

    def test_legacy_switches_act_without_a_running_vesperon(self):
        self.assertFalse(self.name_owned())
        program = self.stack.enter_context(vesperontest.running(
            [BINARY, "--dry-run", "x-4y"], env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            text=True))
        output = Output(program.stdout)
        output.wait_for("vesperon: dry run: force shut down")
        # It stays, disarmed, as the one Vesperon of the session.
        deadline = time.monotonic() + 20
        while not self.name_owned():
            self.assertLess(time.monotonic(), deadline)
            time.sleep(0.1)
        self.assertEqual(self.vesperon("--status"), (1, "disarmed\n", ""))

    def test_option_values_are_never_legacy_switches(self):
        first, output = self.start_first()
        # A date of each month, in both forms an option takes it, and spans and times with "-1".."-4"
        # in them: each arms the running Vesperon or is refused, and none ends the session.
        year = time.localtime().tm_year + 1
        starts = []
        for month in range(1, 13):
            date = f"{year}-{month:02d}-{11 + month:02d}"
            starts += [("--shutdown-at", date + "T23:59"), ("--restart-at=" + date + "T01:02:03",)]
        starts += [("--shutdown-in", "1h1m1s"), ("--postpone", "14m"), ("--restart-in", "-1"),
                   ("--shutdown-at", "-4"), ("--postpone=-2",)]
        for arguments in starts:
            with self.subTest(arguments=arguments):
                code, printed, _ = self.vesperon("--dry-run", *arguments)
                self.assertIn(code, (0, 2))
                self.assertNotIn("dry run", printed)
        self.assertEqual(output.requests(), [])
        self.assertIsNone(first.poll())


if __name__ == "__main__":
    if vesperontest.missing_programs("dbus-daemon", "dbus-send", "dbus-monitor"):
        print("skipped: dbus-daemon, dbus-send and dbus-monitor are needed")
        sys.exit(0)
    unittest.main()
