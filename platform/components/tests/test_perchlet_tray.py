#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The tray icon in a real notification area.

Starts a display of its own (Xvfb, on a display number it picks free), a D-Bus session bus of its
own (so that nothing reaches the bus of the machine's session) and the tray host trayer on that
display, runs the probe there, and stops everything it started. The probe checks the docked icon,
its picture, its tip and the clicks. CTest runs it with testsupport/ on PYTHONPATH.
"""
import os
import sys

import vesperontest

NEEDED = ("Xvfb", "trayer", "xwininfo", "xdotool", "dbus-daemon")


def main():
    probe = sys.argv[1]
    missing = vesperontest.missing_programs(*NEEDED)
    if missing:
        print("missing programs: " + ", ".join(missing) + " (scripts/install-deps.sh --test)")
        return 1

    with vesperontest.scratch_folder("vesperon-tray-") as workdir, \
            open(os.path.join(workdir, "xvfb.log"), "w") as log, \
            vesperontest.xvfb("640x480x24", log=log) as display, \
            vesperontest.private_bus("session") as bus:
        runtime = os.path.join(workdir, "runtime")
        os.mkdir(runtime, 0o700)
        environment = vesperontest.private_environment(runtime, display=display, session_bus=bus)
        environment.update(HOME=workdir)
        try:
            with vesperontest.tray_host(environment), \
                    vesperontest.running([probe], env=environment) as probe_process:
                return probe_process.wait(timeout=90)
        except RuntimeError as error:
            print(error)
            return 1


if __name__ == "__main__":
    sys.exit(main())
