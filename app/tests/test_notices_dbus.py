#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real Vesperon, as a dry run, tells the user about its armed countdown outside its window.

Its notifications go to python-dbusmock's notification server on a session bus of the test's own; the
early word when the system may refuse comes from the answer of python-dbusmock's logind on a system
bus of the test's own; the actions of a warning, invoked on the mock, act on the countdown, which
the test reads through Vesperon's control interface. The test checks that both buses are its own
before it starts the program.

Usage: test_notices_dbus.py PATH-TO-VESPERON (CTest runs it with testsupport/ on PYTHONPATH)
"""

import contextlib
import datetime
import os
import subprocess
import sys
import time
import unittest

import dbus
import dbusmock

import vesperontest

NOTIFICATIONS = 'org.freedesktop.Notifications'
CONTROL = ('org.vesperon.Vesperon', '/org/vesperon/Vesperon', 'org.vesperon.Vesperon1')
WARNING_ACTIONS = ['cancel', 'Cancel', 'postpone', 'Postpone 10 minutes']
LATER = ' Vesperon will still ask the system at the deadline.'

# option, logind's answer, the notification's summary and body (None: no notification)
EARLY_WORDS = [
    ('--shutdown-in', 'challenge', 'The system may refuse to shut down', 'Authentication is required.' + LATER),
    ('--shutdown-in', 'no', 'The system may refuse to shut down', 'This user is not permitted.' + LATER),
    ('--restart-in', 'na', 'The system may refuse to restart', 'Not available on this system.' + LATER),
    ('--restart-in', 'challenge', 'The system may refuse to restart', 'Authentication is required.' + LATER),
    ('--shutdown-in', 'yes', None, None),
]

VESPERON = None


class NoticesOverDBus(dbusmock.DBusTestCase):

    @classmethod
    def setUpClass(cls):
        stack = contextlib.ExitStack()
        cls.addClassCleanup(stack.close)
        cls.folder = stack.enter_context(vesperontest.scratch_folder('vesperon-notices-'))
        # The mocks find the buses where dbusmock looks for them.
        cls.system_bus, cls.session_bus = stack.enter_context(vesperontest.mock_buses())

    def setUp(self):
        self.processes = []
        server, server_obj = self.spawn_server_template(
            'notification_daemon', {'capabilities': 'actions body'}, stdout=subprocess.DEVNULL)
        self.processes.append(server)
        self.server = dbus.Interface(server_obj, dbusmock.MOCK_IFACE)

    def tearDown(self):
        for process in reversed(self.processes):
            vesperontest.stop(process)

    def start_logind(self, answer):
        logind, _ = self.spawn_server_template(
            'logind', {'CanPowerOff': answer, 'CanReboot': answer}, stdout=subprocess.DEVNULL)
        self.processes.append(logind)
        return logind

    def start_vesperon(self, arguments):
        vesperontest.check_own_buses(self.system_bus, self.session_bus)
        env = vesperontest.private_environment(self.folder, session_bus=self.session_bus,
                                               system_bus=self.system_bus)
        env['QT_QPA_PLATFORM'] = 'offscreen'
        process = vesperontest.start([VESPERON, '--dry-run'] + arguments, env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        self.wait_for(lambda: self.control('Armed'), 'Vesperon did not arm')
        return process

    def stop_vesperon(self, process):
        vesperontest.stop(process)
        self.server.ClearCalls()

    def control(self, name):
        bus = self.get_dbus(system_bus=False)
        if not bus.name_has_owner(CONTROL[0]):
            return None
        properties = dbus.Interface(bus.get_object(CONTROL[0], CONTROL[1]), dbus.PROPERTIES_IFACE)
        return properties.Get(CONTROL[2], name)

    def notifications(self):
        """Each Notify call: (summary, body, actions)."""
        return [(str(arguments[3]), str(arguments[4]), [str(a) for a in arguments[5]])
                for _, method, arguments in self.server.GetCalls() if method == 'Notify']

    def calls(self, name):
        return [[int(a) for a in arguments] for _, method, arguments in self.server.GetCalls()
                if method == name]

    def wait_for(self, condition, message, timeout=20):
        deadline = time.monotonic() + timeout
        while not condition():
            self.assertLess(time.monotonic(), deadline, message)
            time.sleep(0.05)

    def invoke(self, key):
        self.server.EmitSignal(NOTIFICATIONS, 'ActionInvoked', 'us', [dbus.UInt32(1), key])

    def test_early_word_for_each_answer(self):
        for option, answer, summary, body in EARLY_WORDS:
            with self.subTest(option=option, answer=answer):
                logind = self.start_logind(answer)
                vesperon = self.start_vesperon([option, '1h'])
                if summary is None:
                    # Give a notification that should not come the time to arrive all the same.
                    time.sleep(0.5)
                    self.assertEqual(self.notifications(), [])
                else:
                    self.wait_for(self.notifications, 'no notification came')
                    self.assertEqual(self.notifications(), [(summary, body, [])])
                self.stop_vesperon(vesperon)
                vesperontest.stop(logind)

    def test_cancel_on_a_warning_disarms(self):
        self.start_logind('yes')
        self.start_vesperon(['--shutdown-in', '100s'])
        self.wait_for(self.notifications, 'no warning came')
        self.assertEqual(self.notifications()[0][0], 'Shut-Down in 3 minutes')
        self.assertEqual(self.notifications()[0][2], WARNING_ACTIONS)
        self.invoke('cancel')
        self.wait_for(lambda: not self.control('Armed'), 'Cancel did not disarm')
        self.wait_for(lambda: self.calls('CloseNotification'), 'the warning was not taken down')
        self.assertEqual(self.calls('CloseNotification'), [[1]])

    def test_postpone_on_a_warning_moves_the_deadline(self):
        self.start_logind('yes')
        self.start_vesperon(['--restart-in', '100s'])
        self.wait_for(self.notifications, 'no warning came')
        self.assertEqual(self.notifications()[0][0], 'Restart in 3 minutes')
        deadline = datetime.datetime.fromisoformat(str(self.control('Deadline')))
        self.assertEqual(self.notifications()[0][1], 'Deadline: ' + deadline.strftime('%Y-%m-%d %H:%M:%S'))
        self.invoke('postpone')
        later = (deadline + datetime.timedelta(minutes=10)).isoformat()
        self.wait_for(lambda: str(self.control('Deadline')) == later, 'Postpone did not move the deadline')
        self.assertTrue(self.control('Armed'))


if __name__ == '__main__':
    if len(sys.argv) != 2 or not os.access(sys.argv[1], os.X_OK):
        sys.exit(__doc__)
    VESPERON = os.path.abspath(sys.argv.pop())
    unittest.main(verbosity=2)
