#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Start-up time, memory and armed CPU of Vesperon beside a bare Qt window, and whether Vesperon's
memory grows while it is armed.

    bench/window_bench.py build                      # build/bin/Vesperon and build/bench/bare_window
    bench/window_bench.py --vesperon PATH --bare PATH
    bench/window_bench.py build --growth 600         # the memory check over a real 10 minutes
    bench/window_bench.py build --vesperon before=/tmp/old/lib/vesperon/Vesperon   # two Vesperons, one run

Builds nothing: the bare window is the target bare_window of bench/ (built with the tests). The
bare window and Vesperon are started alternately, --runs times each, every start on an X server
of its own (Xvfb, no window manager, no sound server, no session bus). Vesperon is started as a
dry run armed from the command line ("--dry-run --shutdown-in 1h"), so nothing can end the session.
Further Vesperons (--vesperon NAME=PATH, say an earlier build installed elsewhere) join the same
alternation, so that before and after are measured in one run on the same machine.

For each start: the time from starting the process to the MapNotify of its window (seen as an X
event, not polled), the resident memory --settle seconds later, and over the next --seconds the CPU
time of all its threads (from the scheduler, in nanoseconds) and its wake-ups (the times its
threads went to sleep and woke again; being pushed aside by other programs does not count).
With --text-window the bare window is also started with a line of text and a button: the floor of
any window that draws text, which loads fonts that the bare window never needs.
The medians are compared with the goals. Then each armed Vesperon is sampled every second for
--growth seconds and the slope of its resident memory is given (least squares, per hour).
"""
import argparse
import ctypes
import ctypes.util
import os
import platform
import select
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "testsupport"))
import vesperontest  # noqa: E402

GOAL_START_RATIO = 1.3
GOAL_MEMORY_RATIO = 1.25
GOAL_ARMED_CPU = 0.15  # % of a core

VESPERON_TITLE = "The Vesperon"
BARE_TITLE = "Bare Window"


class MapWatch:
    """A connection to the X server that hears of every top-level window being mapped."""

    _MAP_NOTIFY = 19
    _SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    class _MapEvent(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                    ("override_redirect", ctypes.c_int)]

    def __init__(self, display):
        x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XPending.argtypes = [ctypes.c_void_p]
        x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x11 = x11
        self._display = x11.XOpenDisplay(display.encode())
        if not self._display:
            raise RuntimeError("cannot open the display " + display)
        x11.XSelectInput(self._display, x11.XDefaultRootWindow(self._display), self._SUBSTRUCTURE_NOTIFY_MASK)
        x11.XFlush(self._display)

    def close(self):
        self._x11.XCloseDisplay(self._display)

    def _title(self, window):
        name = ctypes.c_char_p()
        if not self._x11.XFetchName(self._display, window, ctypes.byref(name)) or not name.value:
            return ""
        title = name.value.decode("utf-8", "replace")
        self._x11.XFree(name)
        return title

    def wait_for(self, title, process, timeout=60):
        """The time.monotonic() at which a window with that title was mapped; None when the
        process ended or the timeout passed first."""
        event = ctypes.create_string_buffer(192)  # sizeof(XEvent)
        connection = self._x11.XConnectionNumber(self._display)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and process.poll() is None:
            while self._x11.XPending(self._display):
                self._x11.XNextEvent(self._display, event)
                mapped = MapWatch._MapEvent.from_buffer(event)
                if mapped.type == self._MAP_NOTIFY and not mapped.override_redirect:
                    seen = time.monotonic()
                    if self._title(mapped.window) == title:
                        return seen
            select.select([connection], [], [], 0.1)
        return None


def cpu_and_wakeups(pid):
    """The CPU time in seconds and the wake-ups (voluntary context switches) of all the process's
    threads so far."""
    cpu_ns, switches = 0, 0
    tasks = "/proc/%d/task" % pid
    for task in os.listdir(tasks):
        try:
            with open(os.path.join(tasks, task, "schedstat")) as schedstat:
                cpu_ns += int(schedstat.read().split()[0])
            with open(os.path.join(tasks, task, "status")) as status:
                for line in status:
                    if line.startswith("voluntary_ctxt_switches:"):
                        switches += int(line.split()[1])
        except FileNotFoundError:  # a thread that ended meanwhile
            pass
    return cpu_ns / 1e9, switches


def memory_kib(pid):
    """VmRSS and RssAnon of the process, in KiB."""
    values = {}
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            key, _, rest = line.partition(":")
            if key in ("VmRSS", "RssAnon"):
                values[key] = int(rest.split()[0])
    return values.get("VmRSS", 0), values.get("RssAnon", 0)


def start_one(command, title, args):
    """One start on an X server of its own: (start seconds, RSS KiB, anonymous KiB, CPU %, wake-ups/s)."""
    with vesperontest.scratch_folder("vesperon-bench-") as folder, vesperontest.xvfb("1024x768x24") as display:
        env = vesperontest.private_environment(folder, display=display)
        env.update(VESPERON_DRY_RUN="1")
        watch = MapWatch(display)
        try:
            started = time.monotonic()
            with vesperontest.running(command, env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL) as program:
                mapped = watch.wait_for(title, program)
                if mapped is None:
                    raise RuntimeError("%s showed no window %r" % (command[0], title))
                time.sleep(args.settle)
                rss, anonymous = memory_kib(program.pid)
                cpu_before, switches_before = cpu_and_wakeups(program.pid)
                time.sleep(args.seconds)
                cpu_after, switches_after = cpu_and_wakeups(program.pid)
                if program.poll() is not None:
                    raise RuntimeError("%s ended while it was measured" % command[0])
        finally:
            watch.close()
    return (mapped - started, rss, anonymous, (cpu_after - cpu_before) / args.seconds * 100,
            (switches_after - switches_before) / args.seconds)


def growth(command, args):
    """Resident memory of one armed Vesperon sampled every second: (samples, slope in KiB/hour, CPU %)."""
    with vesperontest.scratch_folder("vesperon-bench-") as folder, vesperontest.xvfb("1024x768x24") as display:
        env = vesperontest.private_environment(folder, display=display)
        env.update(VESPERON_DRY_RUN="1")
        watch = MapWatch(display)
        try:
            with vesperontest.running(command, env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL) as program:
                if watch.wait_for(VESPERON_TITLE, program) is None:
                    raise RuntimeError("Vesperon showed no window")
                time.sleep(args.settle)
                cpu_before, _ = cpu_and_wakeups(program.pid)
                samples = []
                began = time.monotonic()
                next_sample = began
                while next_sample - began <= args.growth:
                    samples.append((time.monotonic() - began, memory_kib(program.pid)[0]))
                    next_sample += 1.0
                    time.sleep(max(0.0, next_sample - time.monotonic()))
                cpu_after, _ = cpu_and_wakeups(program.pid)
                spent = time.monotonic() - began
        finally:
            watch.close()
    xs = [t for t, _ in samples]
    ys = [kib for _, kib in samples]
    mean_x, mean_y = statistics.fmean(xs), statistics.fmean(ys)
    slope = sum((x - mean_x) * (y - mean_y) for x, y in zip(xs, ys)) / sum((x - mean_x) ** 2 for x in xs)
    return ys, slope * 3600, (cpu_after - cpu_before) / spent * 100


def report(results, programs, text_window):
    """Prints the medians of the starts and the ratios to the bare window."""
    medians = {name: [statistics.median(column) for column in zip(*rows)] for name, rows in results.items()}
    width = max(len(name) for name in results)
    print()
    print("%-*s %10s %10s %10s %12s %11s" % (width, "", "start ms", "RSS MiB", "anon MiB", "CPU % core",
                                             "wake-ups/s"))
    for name, (start, rss, anonymous, cpu, wakeups) in medians.items():
        print("%-*s %10.1f %10.1f %10.1f %12.3f %11.1f" % (width, name, start * 1000, rss / 1024, anonymous / 1024,
                                                           cpu, wakeups))
    for name, rows in results.items():
        print("%-*s starts (ms): %s" % (width, name, " ".join("%.0f" % (row[0] * 1000) for row in rows)))
    bare_start, bare_rss, _, _, _ = medians["bare window"]

    def verdict(ok):
        return "ok" if ok else "OVER"

    for name in programs:
        start, rss, _, cpu, _ = medians[name]
        print()
        print("%s (%s)" % (name, programs[name]))
        print("  start ratio   %.2f  (goal <= %.2f)  %s" % (start / bare_start, GOAL_START_RATIO,
                                                           verdict(start / bare_start <= GOAL_START_RATIO)))
        print("  memory ratio  %.2f  (goal <= %.2f)  %s" % (rss / bare_rss, GOAL_MEMORY_RATIO,
                                                           verdict(rss / bare_rss <= GOAL_MEMORY_RATIO)))
        print("  armed CPU     %.3f %% of a core  (goal <= %.2f)  %s" % (cpu, GOAL_ARMED_CPU,
                                                                      verdict(cpu <= GOAL_ARMED_CPU)))
        if text_window:
            text_start, text_rss, _, _, _ = medians["text window"]
            print("  beside the text window: start %.2f, memory %.2f" % (start / text_start, rss / text_rss))


def machine():
    model = platform.processor()
    try:
        with open("/proc/cpuinfo") as cpuinfo:
            model = next(line.split(":", 1)[1].strip() for line in cpuinfo if line.startswith("model name"))
    except (OSError, StopIteration):
        pass
    return "%s, %d cores, load %.2f" % (model, os.cpu_count(), os.getloadavg()[0])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", nargs="?", help="the build folder (bin/Vesperon, bench/bare_window)")
    parser.add_argument("--vesperon", action="append", default=[], metavar="[NAME=]PATH",
                        help="a Vesperon to measure (again for more than one)")
    parser.add_argument("--bare", help="the bare window (bench/bare_window of a build)")
    parser.add_argument("--runs", type=int, default=5, help="starts of each program (default 5, 0: none)")
    parser.add_argument("--seconds", type=float, default=30, help="CPU measured over this long (default 30)")
    parser.add_argument("--settle", type=float, default=2, help="from the mapped window to the memory (default 2)")
    parser.add_argument("--growth", type=float, default=120,
                        help="seconds of the memory-growth check, sampled every second (default 120, 0: none)")
    parser.add_argument("--action", choices=("shutdown", "restart"), default="shutdown")
    parser.add_argument("--text-window", action="store_true",
                        help="also start the bare window with a line of text and a button")
    args = parser.parse_args()
    programs = {}
    if args.build:
        programs["Vesperon"] = os.path.join(args.build, "bin", "Vesperon")
    for given in args.vesperon:
        name, _, path = given.rpartition("=")
        programs[name or ("Vesperon" if not programs else "Vesperon %d" % (len(programs) + 1))] = path
    bare = args.bare or (args.build and os.path.join(args.build, "bench", "bare_window"))
    if not programs or not bare:
        parser.error("give the build folder, or --vesperon and --bare")
    for path in [bare, *programs.values()]:
        if not os.access(path, os.X_OK):
            parser.error("%s is not a program; build it first (cmake --build build --target Vesperon bare_window)"
                         % path)

    armed = {name: [path, "--dry-run", "--%s-in" % args.action, "1h"] for name, path in programs.items()}
    print("machine: " + machine())
    results = {"bare window": []}
    if args.text_window:
        results["text window"] = []
    results.update({name: [] for name in programs})
    for run in range(args.runs):
        results["bare window"].append(start_one([bare], BARE_TITLE, args))
        if args.text_window:
            results["text window"].append(start_one([bare, "--text"], BARE_TITLE, args))
        for name, command in armed.items():
            results[name].append(start_one(command, VESPERON_TITLE, args))
        print("run %d: " % (run + 1) + ", ".join("%s %.0f ms" % (name, rows[-1][0] * 1000)
                                                 for name, rows in results.items()), flush=True)

    if args.runs > 0:
        print("medians of %d starts each, CPU over %g s" % (args.runs, args.seconds))
        report(results, programs, args.text_window)
    if args.growth > 0:
        for name, command in armed.items():
            samples, slope, growth_cpu = growth(command, args)
            print("%s armed over %.0f s, %d samples: RSS %.1f -> %.1f MiB (max %.1f), slope %+.0f KiB/hour, "
                  "CPU %.3f %%" % (name, args.growth, len(samples), samples[0] / 1024, samples[-1] / 1024,
                                   max(samples) / 1024, slope, growth_cpu), flush=True)
    print("machine after: " + machine())


if __name__ == "__main__":
    main()
