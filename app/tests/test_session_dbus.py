#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Vesperon's real session-end requests, carried to mocked services on private D-Bus buses.

The program is started without a dry run, so every request it makes is a real D-Bus call. The
test therefore starts its own system and session bus daemons, checks that the addresses handed
to the program lead to exactly those daemons, and refuses to run otherwise.

The normal restart, which no command line of Vesperon asks for, is made by the small program
sessionrequest, which ends the session through the same backend on the buses it is given.

Usage: test_session_dbus.py PATH-TO-VESPERON PATH-TO-SESSIONREQUEST (CTest runs it with testsupport/
on PYTHONPATH)
"""

import contextlib
import os
import subprocess
import sys
import time
import unittest

import dbus
import dbusmock

import vesperontest

LOGIND = 'org.freedesktop.login1'
LOGIND_PATH = '/org/freedesktop/login1'
LOGIND_MANAGER = 'org.freedesktop.login1.Manager'
SESSION_ID = 'c7'

# name, path, interface, methods (name, input signature) of each desktop's session manager, with
# the methods that open a confirmation dialog, so that a call of one of them is seen
SESSION_MANAGERS = {
    'gnome': ('org.gnome.SessionManager', '/org/gnome/SessionManager', 'org.gnome.SessionManager',
              [('Logout', 'u'), ('Shutdown', ''), ('Reboot', ''), ('RequestShutdown', ''),
               ('RequestReboot', '')]),
    'kde': ('org.kde.Shutdown', '/Shutdown', 'org.kde.Shutdown',
            [('logout', ''), ('logoutAndShutdown', ''), ('logoutAndReboot', '')]),
    'xfce': ('org.xfce.SessionManager', '/org/xfce/SessionManager', 'org.xfce.Session.Manager',
             [('Logout', 'bb'), ('Shutdown', 'b'), ('Restart', 'b')]),
    'mate': ('org.mate.SessionManager', '/org/mate/SessionManager', 'org.mate.SessionManager',
             [('Logout', 'u'), ('Shutdown', ''), ('RequestShutdown', ''), ('RequestReboot', '')]),
    'cinnamon': ('org.cinnamon.SessionManager', '/org/cinnamon/SessionManager',
                 'org.cinnamon.SessionManager',
                 [('Logout', 'u'), ('Shutdown', ''), ('Reboot', ''), ('RequestShutdown', ''),
                  ('RequestReboot', '')]),
    'lxqt': ('org.lxqt.session', '/LXQtSession', 'org.lxqt.session',
             [('logout', ''), ('powerOff', ''), ('reboot', '')]),
}

# session manager, XDG_CURRENT_DESKTOP, the calls for a normal log off, shut down and restart
NORMAL_REQUESTS = [
    ('gnome', 'GNOME', ('Logout', [1]), ('Shutdown', []), ('Reboot', [])),
    ('kde', 'KDE', ('logout', []), ('logoutAndShutdown', []), ('logoutAndReboot', [])),
    ('xfce', 'XFCE', ('Logout', [False, True]), ('Shutdown', [True]), ('Restart', [True])),
    ('mate', 'MATE', ('Logout', [1]), ('RequestShutdown', []), ('RequestReboot', [])),
    ('cinnamon', 'X-Cinnamon', ('Logout', [1]), ('RequestShutdown', []), ('RequestReboot', [])),
    # Newer Cinnamon sessions take GNOME's name, where Shutdown and Reboot open a dialog.
    ('gnome', 'X-Cinnamon', ('Logout', [1]), ('RequestShutdown', []), ('RequestReboot', [])),
    ('lxqt', 'LXQt', ('logout', []), ('powerOff', []), ('reboot', [])),
]

VESPERON = None
SESSION_REQUEST = None


class SessionEndOverDBus(dbusmock.DBusTestCase):

    @classmethod
    def setUpClass(cls):
        # The buses are stopped however the class ends, a failed set-up included.
        stack = contextlib.ExitStack()
        cls.addClassCleanup(stack.close)
        cls.folder = stack.enter_context(vesperontest.scratch_folder('vesperon-session-'))
        # The mocks find the buses where dbusmock looks for them.
        cls.system_bus, cls.session_bus = stack.enter_context(vesperontest.mock_buses())

    def setUp(self):
        self.logind, self.logind_obj = self.spawn_server_template(
            'logind', {}, stdout=subprocess.DEVNULL)
        self.logind_obj.AddSession(SESSION_ID, 'seat0', dbus.UInt32(1000), 'vesper', True)
        self.logind_mock = dbus.Interface(self.logind_obj, dbusmock.MOCK_IFACE)
        self.manager = None
        self.manager_mock = None

    def tearDown(self):
        self.stop_session_manager()
        self.logind.terminate()
        self.logind.wait()

    def stop_session_manager(self):
        if self.manager:
            self.manager.terminate()
            self.manager.wait()
        self.manager = None
        self.manager_mock = None

    def add_session_by_pid(self):
        self.logind_mock.AddMethod(LOGIND_MANAGER, 'GetSessionByPID', 'u', 'o',
                                   f'ret = dbus.ObjectPath("{LOGIND_PATH}/session/{SESSION_ID}")')

    def start_session_manager(self, desktop):
        self.stop_session_manager()
        name, path, interface, methods = SESSION_MANAGERS[desktop]
        self.manager = self.spawn_server(name, path, interface, system_bus=False,
                                         stdout=subprocess.DEVNULL)
        obj = self.get_dbus(system_bus=False).get_object(name, path)
        self.manager_mock = dbus.Interface(obj, dbusmock.MOCK_IFACE)
        for method, signature in methods:
            self.manager_mock.AddMethod(interface, method, signature, '', '')

    @staticmethod
    def calls(mock, skip=()):
        """The method calls that reached mock: (name, arguments in Python types)."""
        if mock is None:
            return []
        found = []
        for _, method, arguments in mock.GetCalls():
            if str(method) in skip:
                continue
            found.append((str(method), [bool(a) if isinstance(a, dbus.Boolean) else
                                        (str(a) if isinstance(a, str) else int(a))
                                        for a in arguments]))
        return found

    def clear_calls(self):
        self.logind_mock.ClearCalls()
        if self.manager_mock is not None:
            self.manager_mock.ClearCalls()

    def run_vesperon(self, arguments, expected_logind, expected_manager=(), environment=None):
        vesperontest.check_own_buses(self.system_bus, self.session_bus)
        env = vesperontest.private_environment(self.folder, session_bus=self.session_bus,
                                               system_bus=self.system_bus)
        env.pop('VESPERON_DRY_RUN', None)
        env['QT_QPA_PLATFORM'] = 'offscreen'
        env.update(environment or {})
        self.clear_calls()
        process = subprocess.Popen([VESPERON] + arguments, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL)
        try:
            skip = ('GetSessionByPID',)
            deadline = time.monotonic() + 20
            while time.monotonic() < deadline:
                if (len(self.calls(self.logind_mock, skip)) >= len(expected_logind)
                        and len(self.calls(self.manager_mock)) >= len(expected_manager)):
                    break
                self.assertIsNone(process.poll(), 'Vesperon ended during its load')
                time.sleep(0.05)
            # Give a request that should not come the time to arrive all the same.
            time.sleep(0.5)
            self.assertIsNone(process.poll(), 'Vesperon did not stay open after its load')
        finally:
            process.terminate()
            output, _ = process.communicate(timeout=10)
        self.assertEqual(output, b'', 'a dry run took the place of the real requests')
        self.assertEqual(self.calls(self.logind_mock, skip), list(expected_logind))
        self.assertEqual(self.calls(self.manager_mock), list(expected_manager))

    def test_forced_shut_down_goes_to_logind(self):
        self.run_vesperon(['-4'], [('PowerOff', [False])])

    def test_without_session_manager_logind_does_everything_in_switch_order(self):
        self.add_session_by_pid()
        self.run_vesperon(['-3 -1'], [('TerminateSession', [SESSION_ID]), ('PowerOff', [False])])

    def test_minus_twelve_is_a_log_off_only(self):
        self.add_session_by_pid()
        self.run_vesperon(['-12'], [('TerminateSession', [SESSION_ID])])

    def test_log_off_finds_the_session_from_the_environment(self):
        # No GetSessionByPID on this logind: the session comes from XDG_SESSION_ID.
        self.run_vesperon(['-2'], [('TerminateSession', ['c9'])],
                          environment={'XDG_SESSION_ID': 'c9'})

    def test_normal_requests_go_to_gnome(self):
        self.start_session_manager('gnome')
        self.run_vesperon(['-1', '-3'], [], [('Logout', [1]), ('Shutdown', [])])

    def test_forced_requests_pass_gnome_by(self):
        self.start_session_manager('gnome')
        self.add_session_by_pid()
        self.run_vesperon(['-4 -2'], [('TerminateSession', [SESSION_ID]), ('PowerOff', [False])])

    def test_normal_requests_go_to_kde(self):
        self.start_session_manager('kde')
        self.run_vesperon(['x-1y -3'], [], [('logout', []), ('logoutAndShutdown', [])])

    def request(self, flags, expected_logind, expected_manager, environment=None):
        """One request made by sessionrequest, which ends when the request has left."""
        vesperontest.check_own_buses(self.system_bus, self.session_bus)
        env = vesperontest.private_environment(self.folder, session_bus=self.session_bus,
                                               system_bus=self.system_bus)
        env.update(environment or {})
        self.clear_calls()
        subprocess.run([SESSION_REQUEST, str(flags), self.session_bus.address,
                        self.system_bus.address], env=env, check=True, timeout=20)
        deadline = time.monotonic() + 10
        while (len(self.calls(self.manager_mock)) < len(expected_manager)
               and time.monotonic() < deadline):
            time.sleep(0.05)
        self.assertEqual(self.calls(self.logind_mock, ('GetSessionByPID',)), list(expected_logind))
        self.assertEqual(self.calls(self.manager_mock), list(expected_manager))

    def test_normal_requests_go_to_the_desktops_session_manager(self):
        for manager, desktop, log_off, shut_down, restart in NORMAL_REQUESTS:
            with self.subTest(manager=manager, desktop=desktop):
                self.start_session_manager(manager)
                environment = {'XDG_CURRENT_DESKTOP': desktop}
                self.request(0, [], [log_off], environment)
                self.request(1, [], [shut_down], environment)
                self.request(2, [], [restart], environment)
                self.stop_session_manager()

    def test_normal_restart_without_session_manager_goes_to_logind(self):
        self.request(2, [('Reboot', [False])], [])

    def test_normal_requests_go_to_mate_cinnamon_and_lxqt(self):
        for manager, _, log_off, shut_down, _ in NORMAL_REQUESTS:
            if manager in ('mate', 'cinnamon', 'lxqt'):
                with self.subTest(manager=manager):
                    self.start_session_manager(manager)
                    self.run_vesperon(['-1 -3'], [], [log_off, shut_down])
                    self.stop_session_manager()

    def test_normal_requests_go_to_xfce(self):
        self.start_session_manager('xfce')
        self.add_session_by_pid()
        self.run_vesperon(['-1 -2 -3'], [('TerminateSession', [SESSION_ID])],
                          [('Logout', [False, True]), ('Shutdown', [True])])


if __name__ == '__main__':
    if len(sys.argv) != 3 or not all(os.access(path, os.X_OK) for path in sys.argv[1:]):
        sys.exit(__doc__)
    SESSION_REQUEST = os.path.abspath(sys.argv.pop())
    VESPERON = os.path.abspath(sys.argv.pop())
    unittest.main(verbosity=2)
