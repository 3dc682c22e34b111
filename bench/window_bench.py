#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Start-up time, memory and CPU of Vesperon beside a bare Qt window, both on an X server of their own.

    bench/window_bench.py build/bin/Vesperon [--seconds 60]

For each program: the time from start to its mapped window, the resident memory two seconds later,
and the CPU time it uses over the measuring period (Vesperon armed with "Shut-Down" an hour ahead,
in a dry run, so nothing can end the session). The bare window is built by this script.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "testsupport"))
import vesperontest  # noqa: E402

BARE_WINDOW = r"""
#include <QApplication>
#include <QWidget>
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Window"));
    window.resize(406, 544);
    window.show();
    return app.exec();
}
"""


def build_bare_window(folder):
    source = os.path.join(folder, "bare.cpp")
    binary = os.path.join(folder, "bare")
    with open(source, "w") as out:
        out.write(BARE_WINDOW)
    flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Widgets"], capture_output=True, text=True,
                           check=True).stdout.split()
    subprocess.run(["g++", "-O2", "-fPIC", "-std=c++17", source, "-o", binary] + flags, check=True)
    return binary


def mapped_window(env, title):
    found = vesperontest.find_window(env, title)
    if found is None:
        return None
    window, info = found
    return window, int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]), int(info["Height"])


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def measure(command, title, seconds, arm, folder):
    with vesperontest.xvfb("1024x768x24") as display:
        env = vesperontest.private_environment(folder, display=display)
        env.update(VESPERON_DRY_RUN="1")
        started = time.monotonic()
        with vesperontest.running(command, env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL) as program:
            window = None
            while window is None and time.monotonic() - started < 30:
                window = mapped_window(env, title)
            startup = time.monotonic() - started
            time.sleep(2)
            memory = resident_kib(program.pid)
            if arm and window:
                _, left, top, height = window
                menu = height - 544  # the client area is 406 x 544 below the menu bar
                # "Shut-Down" in the lower panel.
                subprocess.run(["xdotool", "mousemove", str(left + 251), str(top + menu + 477), "click", "1"], env=env)
                time.sleep(1)
            before = cpu_seconds(program.pid)
            time.sleep(seconds)
            cpu = (cpu_seconds(program.pid) - before) / seconds * 100
        return startup, memory, cpu


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vesperon")
    parser.add_argument("--seconds", type=float, default=60)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        bare = build_bare_window(folder)
        results = {
            "bare window": measure([bare], "Bare Window", args.seconds, False, folder),
            "Vesperon": measure([args.vesperon, "--dry-run"], "The Vesperon", args.seconds, True, folder),
        }
    print("%-12s %14s %14s %18s" % ("", "start (ms)", "memory (MiB)", "CPU (% of a core)"))
    for name, (startup, memory, cpu) in results.items():
        print("%-12s %14.0f %14.1f %18.2f" % (name, startup * 1000, memory / 1024, cpu))
    bare_start, bare_memory, _ = results["bare window"]
    start, memory, cpu = results["Vesperon"]
    print("start ratio %.2f (target <= 2), memory ratio %.2f (target <= 1.5), CPU armed %.2f %% (target < 0.5)"
          % (start / bare_start, memory / bare_memory, cpu))


if __name__ == "__main__":
    main()
