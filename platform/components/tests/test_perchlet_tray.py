#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The tray icon in a real notification area.

Starts a display of its own (Xvfb, on a display number it picks free), a D-Bus session bus of its
own (so that nothing reaches the bus of the machine's session) and the tray host trayer on that
display, runs the probe there, and stops everything it started. The probe checks the docked icon,
its picture, its tip and the clicks.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

NEEDED = ("Xvfb", "trayer", "xwininfo", "xdotool", "dbus-daemon")


def start_display(workdir):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "640x480x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=open(os.path.join(workdir, "xvfb.log"), "w"))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number


def start_bus(workdir):
    read_end, write_end = os.pipe()
    daemon = subprocess.Popen(
        ["dbus-daemon", "--session", "--nofork", "--nopidfile",
         "--address=unix:dir=" + workdir, "--print-address=" + str(write_end)],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        address = pipe.readline().strip()
    if not address:
        raise RuntimeError("dbus-daemon did not start")
    return daemon, address


def wait_for_panel(environment, deadline):
    while time.monotonic() < deadline:
        tree = subprocess.run(["xwininfo", "-root", "-tree"], env=environment,
                              capture_output=True, text=True).stdout
        if '"panel": ("panel" "trayer")' in tree:
            return True
        time.sleep(0.1)
    return False


def stop(process):
    if process and process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def main():
    probe = sys.argv[1]
    missing = [tool for tool in NEEDED if shutil.which(tool) is None]
    if missing:
        print("missing programs: " + ", ".join(missing) + " (scripts/install-deps.sh --test)")
        return 1

    started = []
    with tempfile.TemporaryDirectory(prefix="vesperon-tray-") as workdir:
        try:
            xvfb, display = start_display(workdir)
            started.append(xvfb)
            bus, address = start_bus(workdir)
            started.append(bus)

            runtime = os.path.join(workdir, "runtime")
            os.mkdir(runtime, 0o700)
            environment = {key: value for key, value in os.environ.items()
                           if not key.startswith(("DBUS_", "XDG_", "QT_", "WAYLAND_")) and key not in
                           ("DISPLAY", "XAUTHORITY", "SESSION_MANAGER")}
            environment.update({
                "DISPLAY": display,
                "DBUS_SESSION_BUS_ADDRESS": address,
                "XDG_RUNTIME_DIR": runtime,
                "HOME": workdir,
                "QT_QPA_PLATFORM": "xcb",
            })

            trayer = subprocess.Popen(
                ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                 "--height", "24", "--transparent", "false"],
                env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            started.append(trayer)
            if not wait_for_panel(environment, time.monotonic() + 20):
                print("the tray host did not show its panel")
                return 1

            return subprocess.run([probe], env=environment, timeout=90).returncode
        finally:
            for process in reversed(started):
                stop(process)


if __name__ == "__main__":
    sys.exit(main())
