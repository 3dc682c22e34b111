# SPDX-License-Identifier: GPL-3.0-or-later
"""What Vesperon's Python tests and benchmarks share: an X display, private D-Bus buses and a tray
host of their own, and an environment in which nothing leads to the machine's own session.

Everything is started as a context manager and stopped when the block is left, whether normally or
by an exception; every process is also started so that it is sent SIGTERM when the test itself dies
(when CTest's time limit kills it, say), so that nothing of a test outlives it.

    with vesperontest.scratch_folder("vesperon-tray-") as folder, \\
            vesperontest.xvfb() as display, \\
            vesperontest.private_bus("session") as bus:
        environment = vesperontest.private_environment(folder, display=display, session_bus=bus)
        ...

The tests import this module through PYTHONPATH, which their CTest registration sets to this folder
(vesperon_add_test(... PYTHON ...)); scripts run by hand put this folder on sys.path themselves.
"""

import contextlib
import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time
from dataclasses import dataclass

# What the machine's session offers before a test changes anything: these addresses are never a
# test's own.
MACHINE_BUS_ADDRESSES = frozenset(
    {os.environ[variable] for variable in
     ("DBUS_SYSTEM_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "DBUS_STARTER_ADDRESS")
     if os.environ.get(variable)}
    | {"unix:path=/run/dbus/system_bus_socket", "unix:path=/var/run/dbus/system_bus_socket"})

# The variables through which a program finds the machine's session, display and settings.
SESSION_VARIABLE_PREFIXES = ("DBUS_", "XDG_", "QT_", "WAYLAND_")
SESSION_VARIABLES = ("DISPLAY", "XAUTHORITY", "SESSION_MANAGER")

_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def _die_with_parent():
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)


def start(command, **popen_arguments):
    """Starts command (a subprocess.Popen) so that it is sent SIGTERM if this process dies first."""
    return subprocess.Popen(command, preexec_fn=_die_with_parent, **popen_arguments)


def stop(process, timeout=5):
    """Ends process if it still runs: SIGTERM, and SIGKILL when it has not ended after timeout seconds."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


@contextlib.contextmanager
def running(command, **popen_arguments):
    """The started process (start()) for the length of the block."""
    process = start(command, **popen_arguments)
    try:
        yield process
    finally:
        stop(process)


@contextlib.contextmanager
def scratch_folder(prefix="vesperon-test-"):
    """A new folder that only this user can enter (fit for XDG_RUNTIME_DIR), removed afterwards."""
    with tempfile.TemporaryDirectory(prefix=prefix) as folder:
        yield folder


def _first_line(read_end):
    with os.fdopen(read_end) as pipe:
        return pipe.readline().strip()


@contextlib.contextmanager
def xvfb(screen="1024x768x24", log=None):
    """An X server of its own, on a display number that it picks free; gives the display (":N").

    log is a file object for the server's messages (discarded when None)."""
    read_end, write_end = os.pipe()
    server = start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp",
                    "-noreset"],
                   pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                   stderr=log if log is not None else subprocess.DEVNULL)
    os.close(write_end)
    try:
        number = _first_line(read_end)
        if not number:
            raise RuntimeError("Xvfb did not start")
        yield ":" + number
    finally:
        stop(server)


@dataclass(frozen=True)
class Bus:
    kind: str     # "session" or "system"
    address: str
    pid: int      # of the dbus-daemon that this test started for it


def bus_daemon_pid(address):
    """The process id of the bus daemon that answers at address."""
    import dbus  # python3-dbus, only where a test checks a bus

    connection = dbus.bus.BusConnection(address)
    try:
        return int(connection.call_blocking("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "GetConnectionUnixProcessID", "s",
                                            ["org.freedesktop.DBus"]))
    finally:
        connection.close()


def check_own_buses(*buses):
    """Stops the test (SystemExit) unless each bus's address leads to exactly the daemon that the
    test started for it, none of them is one of the machine's, and no two share an address."""
    for bus in buses:
        if not bus.address or bus.address in MACHINE_BUS_ADDRESSES or not bus.pid:
            raise SystemExit(f"refusing to run: the {bus.kind} bus is not one of this test")
        if bus_daemon_pid(bus.address) != bus.pid:
            raise SystemExit(f"refusing to run: {bus.address} is not the {bus.kind} bus daemon "
                             f"{bus.pid} that this test started")
    if len({bus.address for bus in buses}) != len(buses):
        raise SystemExit("refusing to run: two buses of this test share an address")


BUS_CONFIGURATION = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>{kind}</type>
  <keep_umask/>
  <listen>unix:dir={folder}</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


@contextlib.contextmanager
def private_bus(kind="session"):
    """A dbus-daemon of its own, of the session or the system kind, listening in a folder of its own
    and open to every name and call. Gives its Bus once check_own_buses() has found that its address
    leads to this very daemon."""
    with scratch_folder(f"vesperon-{kind}-bus-") as folder:
        configuration = os.path.join(folder, "bus.conf")
        with open(configuration, "w") as out:
            out.write(BUS_CONFIGURATION.format(kind=kind, folder=folder))
        read_end, write_end = os.pipe()
        daemon = start(["dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + configuration,
                        "--print-address=" + str(write_end)],
                       pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        try:
            address = _first_line(read_end)
            if not address:
                raise RuntimeError("dbus-daemon did not start")
            bus = Bus(kind, address, daemon.pid)
            check_own_buses(bus)
            yield bus
        finally:
            stop(daemon)


def private_environment(folder, display=None, session_bus=None, system_bus=None):
    """This process's environment without anything that leads to the machine's session (its buses,
    display, session manager, runtime folder, Qt and Wayland settings), and with the test's own: the
    display, the buses (a bus not given gets an address where no bus answers) and folder as the
    runtime folder."""
    environment = {key: value for key, value in os.environ.items()
                   if not key.startswith(SESSION_VARIABLE_PREFIXES) and key not in SESSION_VARIABLES}
    no_bus = "unix:path=" + os.path.join(folder, "no-bus")
    environment.update(DBUS_SESSION_BUS_ADDRESS=session_bus.address if session_bus else no_bus,
                       DBUS_SYSTEM_BUS_ADDRESS=system_bus.address if system_bus else no_bus,
                       XDG_RUNTIME_DIR=folder)
    if display:
        environment.update(DISPLAY=display, QT_QPA_PLATFORM="xcb")
    return environment


@contextlib.contextmanager
def tray_host(environment, timeout=20):
    """The tray host trayer on the environment's display, once its panel is shown."""
    with running(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                  "--height", "24", "--transparent", "false"],
                 env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) as trayer:
        deadline = time.monotonic() + timeout
        while '"panel": ("panel" "trayer")' not in _xwininfo(environment, "-root", "-tree"):
            if time.monotonic() > deadline:
                raise RuntimeError("the tray host did not show its panel")
            time.sleep(0.1)
        yield trayer


def _xwininfo(environment, *arguments):
    return subprocess.run(["xwininfo", *arguments], env=environment, capture_output=True, text=True,
                          timeout=20).stdout


def window_info(environment, window):
    """The fields that xwininfo gives for window ("Width", "Absolute upper-left X", ...)."""
    fields = {}
    for line in _xwininfo(environment, "-id", window).splitlines():
        key, _, value = line.strip().partition(":")
        fields[key] = value.strip()
    return fields


def find_window(environment, title):
    """The id of a viewable window with that title and its window_info(), or None while there is none."""
    for line in _xwininfo(environment, "-root", "-tree").splitlines():
        if f'"{title}"' in line:
            window = line.split()[0]
            info = window_info(environment, window)
            if info.get("Map State") == "IsViewable":
                return window, info
    return None


def missing_programs(*programs):
    """Those of programs that are not on PATH."""
    return [program for program in programs if shutil.which(program) is None]
