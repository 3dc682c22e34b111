# SPDX-License-Identifier: GPL-3.0-or-later
"""What Vesperon's Python tests and benchmarks share: an X display with a window manager, private
D-Bus buses, a tray host and a StatusNotifierItem watcher of their own, and an environment in which
nothing leads to the machine's own session.

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
import struct
import subprocess
import tempfile
import time
import zlib
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


@contextlib.contextmanager
def weston(folder, log=None, timeout=20):
    """A headless Wayland compositor of its own (weston's headless backend with its desktop shell,
    drawing into memory), listening in folder, which serves as XDG_RUNTIME_DIR; gives the name of
    its socket for WAYLAND_DISPLAY. Its debug protocol is on, so that weston-screenshooter (run with
    the same XDG_RUNTIME_DIR and WAYLAND_DISPLAY) can take a picture of the screen.

    log is a file object for the compositor's messages (discarded when None)."""
    socket = "wayland-vesperontest"
    environment = {key: value for key, value in os.environ.items()
                   if not key.startswith(SESSION_VARIABLE_PREFIXES) and key not in SESSION_VARIABLES}
    environment.update(XDG_RUNTIME_DIR=folder)
    with running(["weston", "--backend=headless-backend.so", "--use-pixman", "--no-config", "--idle-time=0",
                  "--debug", "--socket=" + socket],
                 env=environment, stdout=subprocess.DEVNULL,
                 stderr=log if log is not None else subprocess.DEVNULL) as compositor:
        wait_until(lambda: compositor.poll() is not None or os.path.exists(os.path.join(folder, socket + ".lock"))
                   and os.path.exists(os.path.join(folder, socket)), timeout, "weston did not start")
        if compositor.poll() is not None:
            raise RuntimeError("weston ended early")
        yield socket


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


@contextlib.contextmanager
def mock_buses():
    """A private system bus and a private session bus (Bus, Bus), checked by check_own_buses(), with
    this process's environment leading to them for the block, where python-dbusmock looks for them."""
    import unittest.mock

    with private_bus("system") as system, private_bus("session") as session, \
            unittest.mock.patch.dict(os.environ, {"DBUS_SYSTEM_BUS_ADDRESS": system.address,
                                                  "DBUS_SESSION_BUS_ADDRESS": session.address}):
        check_own_buses(system, session)
        yield system, session


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


WINDOW_MANAGER_CONFIGURATION = """<?xml version="1.0"?>
<JWM>
  <Tray x="0" y="-1" height="24" autohide="off"><TaskList/></Tray>
</JWM>
"""


@contextlib.contextmanager
def window_manager(environment, folder, timeout=20):
    """The window manager JWM on the environment's display, with a taskbar and no tray of its own
    (its configuration goes into folder), once it manages the screen: it has put
    _NET_SUPPORTING_WM_CHECK on the root window. It keeps each window's _NET_WM_STATE as EWMH says
    and changes it when a client asks with a _NET_WM_STATE client message."""
    configuration = os.path.join(folder, "jwmrc")
    with open(configuration, "w") as out:
        out.write(WINDOW_MANAGER_CONFIGURATION)
    with running(["jwm", "-f", configuration], env=environment, stdout=subprocess.DEVNULL,
                 stderr=subprocess.DEVNULL) as manager:
        wait_until(lambda: "window id" in _xprop(environment, "-root", "_NET_SUPPORTING_WM_CHECK"), timeout,
                   "the window manager did not start")
        yield manager


def _xprop(environment, *arguments):
    return subprocess.run(["xprop", *arguments], env=environment, capture_output=True, text=True,
                          timeout=20).stdout


def net_wm_state(environment, window):
    """The atoms of the window's _NET_WM_STATE, as a set of names."""
    value = _xprop(environment, "-id", window, "_NET_WM_STATE").partition("=")[2]
    return {atom.strip() for atom in value.split(",") if atom.strip()}


def wait_until(condition, timeout=10, failure="the condition did not come true"):
    """Asks condition() every 50 ms until it gives something true, and gives that; raises
    RuntimeError(failure) after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise RuntimeError(failure)
        time.sleep(0.05)


STATUS_NOTIFIER_WATCHER = "org.kde.StatusNotifierWatcher"
_WATCHER_SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "statusnotifierwatcher.py")
_WATCHER_INTROSPECTION = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "platform",
                                      "components", "dbus", "org.kde.StatusNotifierWatcher.xml")


def _has_owner(connection, name):
    return bool(connection.call_blocking("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                         "NameHasOwner", "s", [name]))


@contextlib.contextmanager
def status_notifier_watcher(bus, timeout=20):
    """The test watcher of StatusNotifierItems (statusnotifierwatcher.py) on the test's session bus,
    once it owns org.kde.StatusNotifierWatcher."""
    import dbus

    check_own_buses(bus)
    environment = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus.address)
    connection = dbus.bus.BusConnection(bus.address)
    try:
        with running(["/usr/bin/python3", _WATCHER_SCRIPT, _WATCHER_INTROSPECTION], env=environment) as watcher:
            wait_until(lambda: watcher.poll() is not None or _has_owner(connection, STATUS_NOTIFIER_WATCHER),
                       timeout, "the watcher did not start")
            if watcher.poll() is not None:
                raise RuntimeError("the watcher ended early")
            yield watcher
    finally:
        connection.close()


@contextlib.contextmanager
def status_notifier_host(bus, name="org.kde.StatusNotifierHost-vesperontest"):
    """A tray host for the watcher: a connection of its own to the test's session bus that owns
    name and registers it with the watcher. Leaving the block closes the connection, so that the
    name goes and the watcher forgets the host."""
    import dbus

    check_own_buses(bus)
    connection = dbus.bus.BusConnection(bus.address)
    try:
        connection.request_name(name, dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
        connection.call_blocking(STATUS_NOTIFIER_WATCHER, "/StatusNotifierWatcher", STATUS_NOTIFIER_WATCHER,
                                 "RegisterStatusNotifierHost", "s", [name])
        yield connection
    finally:
        connection.close()


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


def wait_for_window(environment, process, title="The Vesperon", timeout=30):
    """The id of the started process's viewable window with that title, once there is one; raises
    RuntimeError when the process ends first or no window comes."""
    found = wait_until(lambda: process.poll() is not None or find_window(environment, title), timeout,
                       f"no window {title!r} appeared")
    if found is True:
        raise RuntimeError(f"the program ended (exit code {process.returncode}) before its window appeared")
    return found[0]


def missing_programs(*programs):
    """Those of programs that are not on PATH."""
    return [program for program in programs if shutil.which(program) is None]


def read_png(data):
    """The pixels of a PNG with 8-bit RGB or RGBA colour, not interlaced (as Vesperon's artwork and
    weston's screenshots are): (width, height, pixel), pixel(x, y) -> (r, g, b, a)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    position, chunks, header = 8, [], None
    while position < len(data):
        (length,) = struct.unpack(">I", data[position:position + 4])
        kind, body = data[position + 4:position + 8], data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        position += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError("only 8-bit RGB or RGBA PNGs without interlacing")
    channels = 4 if colour == 6 else 3
    stride = width * channels
    raw = zlib.decompress(b"".join(chunks))
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up, up_left = previous[i], previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                guess = left + up - up_left
                nearest = min((abs(guess - left), 0, left), (abs(guess - up), 1, up),
                              (abs(guess - up_left), 2, up_left))[2]
                line[i] = (line[i] + nearest) & 0xFF
        rows.append(line)
        previous = line

    def pixel(x, y):
        values = rows[y][x * channels:(x + 1) * channels]
        return tuple(values) if channels == 4 else (*values, 255)

    return width, height, pixel

