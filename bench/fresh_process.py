#!/usr/bin/python3
"""The user's paths as whole processes, each measured beside a yardstick in
the same run, in alternating pairs, judged on the median of the pairs' ratios.

    fresh_process.py --build DIR [--pairs N] [--only CASE ...]

Cases:
  export-50000   tembrook-export, started fresh against a loopback site of
                 50,000 rows (tembrook_bench_site: two table pages of 25,000),
                 beside bench/scraper.py on the same site; target: the
                 scraper's time / the exporter's >= 10
  export-600     the same on a site of 600 rows; target >= 5
  export-utf8    tembrook-export, started fresh against the 50,000-row site
                 written in UTF-8 (served as "text/html; charset=utf-8"),
                 beside tembrook-export against the same site in Shift_JIS;
                 target: UTF-8 / Shift_JIS <= 1.5
  window         the program's cold start (process start to its main window
                 mapped, under a private Xvfb) beside an empty Qt main window
                 (tembrook_bench_empty_window); target: program / empty <= 1.2.
                 The same window with one Japanese label runs in each pair
                 too, reported for scale (not judged): the least any window
                 that shows Japanese text takes beside the empty one

Each pair runs both sides once (the window case: all three), the side that
goes first changing from pair to pair, so that a burst of load elsewhere on
the machine falls on both.
Before the pairs, each side runs once unmeasured and is checked: the exporter
exits 0 with one line per row, the scraper writes as many lines, the windows
map. Prints every pair, the medians and the median ratio; exits 1 when a
target is missed or a check fails.
"""

import argparse
import os
import select
import signal
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"  # Debian's, the one python3-lxml is installed for


def run_timed(argv, env=None):
    """Runs argv to its end, output discarded; returns (seconds, exit code)."""
    start = time.perf_counter()
    code = subprocess.call(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    return time.perf_counter() - start, code


def run_checked_lines(argv, env=None):
    """Runs argv once and returns (exit code, lines of output, stderr text)."""
    done = subprocess.run(argv, capture_output=True, env=env, timeout=300)
    return done.returncode, done.stdout.count(b"\n"), done.stderr.decode("utf-8", "replace")


class Site:
    """tembrook_bench_site on a free loopback port, for the life of the object."""

    def __init__(self, build, rows, encoding=None):
        argv = [os.path.join(build, "bench", "tembrook_bench_site"), str(rows)] + ([encoding] if encoding else [])
        self.process = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        line = self.process.stdout.readline().decode().strip()
        if not line.startswith("port="):
            self.close()
            raise RuntimeError("the site server did not start")
        self.url = "http://127.0.0.1:%s/comic/index.html" % line[len("port="):]

    def close(self):
        self.process.stdin.close()  # the server stops at the end of its input
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def print_pairs(title, names, pairs, ratio_name):
    print("\n== %s" % title)
    print("  %-5s %14s %14s %10s" % ("pair", names[0] + " ms", names[1] + " ms", ratio_name))
    for i, (a, b, ratio) in enumerate(pairs, 1):
        print("  %-5d %14.1f %14.1f %10.2f" % (i, a * 1000, b * 1000, ratio))
    median_a = statistics.median(p[0] for p in pairs)
    median_b = statistics.median(p[1] for p in pairs)
    median_ratio = statistics.median(p[2] for p in pairs)
    print("  %-5s %14.1f %14.1f %10.2f" % ("median", median_a * 1000, median_b * 1000, median_ratio))
    return median_a, median_b, median_ratio


def export_case(build, rows, pairs, target):
    exporter = os.path.join(build, "cli", "tembrook-export")
    scraper = [PYTHON, os.path.join(HERE, "scraper.py")]
    site = Site(build, rows)
    try:
        code, lines, err = run_checked_lines([exporter, site.url])
        if code != 0 or lines != rows:
            print("FAILED: tembrook-export exited %d with %d of %d rows:\n%s" % (code, lines, rows, err))
            return False, None
        code, lines, err = run_checked_lines(scraper + [site.url])
        if code != 0 or lines != rows:
            print("FAILED: the scraper exited %d with %d of %d rows:\n%s" % (code, lines, rows, err))
            return False, None
        results = []
        for i in range(pairs):
            sides = [("export", [exporter, site.url]), ("scraper", scraper + [site.url])]
            if i % 2:
                sides.reverse()
            times = {}
            for name, argv in sides:
                seconds, code = run_timed(argv)
                if code != 0:
                    print("FAILED: %s exited %d in pair %d" % (name, code, i + 1))
                    return False, None
                times[name] = seconds
            results.append((times["export"], times["scraper"], times["scraper"] / times["export"]))
    finally:
        site.close()
    medians = print_pairs("%d rows, fresh process: tembrook-export beside the lxml scraper" % rows,
                          ("export", "scraper"), results, "scraper/ex")
    held = medians[2] >= target
    print("  target: the scraper / tembrook-export >= %g on the median ratio: %s"
          % (target, "ok" if held else "MISSED"))
    return held, medians


def encoding_case(build, rows, pairs, target):
    """The exporter on the site in UTF-8 beside the exporter on it in Shift_JIS."""
    exporter = os.path.join(build, "cli", "tembrook-export")
    sjis, utf8 = Site(build, rows), Site(build, rows, "utf-8")
    try:
        outputs = []
        for site in (sjis, utf8):
            done = subprocess.run([exporter, site.url], capture_output=True, timeout=300)
            if done.returncode != 0 or done.stdout.count(b"\n") != rows:
                print("FAILED: tembrook-export exited %d on %s:\n%s"
                      % (done.returncode, site.url, done.stderr.decode("utf-8", "replace")))
                return False, None
            outputs.append(done.stdout)
        if outputs[0] != outputs[1]:
            print("FAILED: the UTF-8 site gives another output than the Shift_JIS site")
            return False, None
        results = []
        for i in range(pairs):
            sides = [("utf8", utf8), ("sjis", sjis)]
            if i % 2:
                sides.reverse()
            times = {}
            for name, site in sides:
                seconds, code = run_timed([exporter, site.url])
                if code != 0:
                    print("FAILED: tembrook-export exited %d in pair %d" % (code, i + 1))
                    return False, None
                times[name] = seconds
            results.append((times["utf8"], times["sjis"], times["utf8"] / times["sjis"]))
    finally:
        sjis.close()
        utf8.close()
    medians = print_pairs("%d rows, fresh process: tembrook-export on the site in UTF-8 beside Shift_JIS" % rows,
                          ("utf-8", "shift_jis"), results, "utf8/sjis")
    held = medians[2] <= target
    print("  target: UTF-8 / Shift_JIS <= %g on the median ratio: %s" % (target, "ok" if held else "MISSED"))
    return held, medians


class Display:
    """A private Xvfb and a connection to it that sees every top-level map."""

    def __init__(self):
        from Xlib import X, display  # python3-xlib
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], 30)
            chunk = os.read(read_end, 16) if ready else b""
            if not chunk:
                self.server.kill()
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(read_end)
        self.name = ":" + number.decode().strip()
        self.connection = display.Display(self.name)
        self.pid_atom = self.connection.intern_atom("_NET_WM_PID")
        self.connection.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.connection.sync()
        self.X = X

    def time_to_map(self, argv):
        """Starts argv and returns the seconds until a top-level window of
        that process is mapped; the process is then ended."""
        env = dict(os.environ, DISPLAY=self.name, QT_QPA_PLATFORM="xcb")
        while self.connection.pending_events():
            self.connection.next_event()
        start = time.perf_counter()
        process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = start + 60
            while True:
                while self.connection.pending_events():
                    event = self.connection.next_event()
                    if event.type == self.X.MapNotify and self.owner(event.window) == process.pid:
                        return time.perf_counter() - start
                if process.poll() is not None:
                    raise RuntimeError("%s ended without mapping a window" % argv[0])
                left = deadline - time.perf_counter()
                if left <= 0:
                    raise RuntimeError("%s mapped no window within a minute" % argv[0])
                select.select([self.connection.fileno()], [], [], min(left, 0.5))
        finally:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def owner(self, window):
        try:
            prop = window.get_full_property(self.pid_atom, self.X.AnyPropertyType)
        except Exception:  # the window is gone already
            return None
        return prop.value[0] if prop is not None and len(prop.value) else None

    def close(self):
        self.connection.close()
        self.server.terminate()
        self.server.wait()


def window_case(build, pairs, target):
    program = [os.path.join(build, "app", "tembrook")]
    empty = [os.path.join(build, "bench", "tembrook_bench_empty_window")]
    # Not judged: the same window with one Japanese label, for scale.
    label = empty + ["--japanese-label"]
    screen = Display()
    try:
        for argv in (program, empty, label):  # the unmeasured first start of each
            screen.time_to_map(argv)
        results = []
        labelled = []
        for i in range(pairs):
            sides = [("program", program), ("empty", empty), ("label", label)]
            sides = sides[i % 3:] + sides[:i % 3]  # each side goes first in turn
            times = {name: screen.time_to_map(argv) for name, argv in sides}
            results.append((times["program"], times["empty"], times["program"] / times["empty"]))
            labelled.append(times["label"] / times["empty"])
    finally:
        screen.close()
    medians = print_pairs("Window cold start (process start to main window mapped, Xvfb)",
                          ("tembrook", "empty Qt"), results, "tb/empty")
    print("  for scale: the empty window with one Japanese label / the empty window, median ratio %.2f"
          % statistics.median(labelled))
    held = medians[2] <= target
    print("  target: tembrook / the empty Qt window <= %g on the median ratio: %s"
          % (target, "ok" if held else "MISSED"))
    return held, medians


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", required=True, help="a Release build tree with the benchmark targets")
    parser.add_argument("--pairs", type=int, default=7, help="alternating pairs per case (at least 5)")
    parser.add_argument("--only", nargs="+", choices=["export-50000", "export-600", "export-utf8", "window"],
                        help="run only these cases")
    args = parser.parse_args()
    if args.pairs < 5:
        parser.error("--pairs must be at least 5")
    cases = args.only or ["export-50000", "export-600", "export-utf8", "window"]
    os.environ.setdefault("no_proxy", "127.0.0.1,localhost")
    os.environ.setdefault("NO_PROXY", "127.0.0.1,localhost")

    print("== fresh processes: %d pairs a case, %d cores, load average %s"
          % (args.pairs, os.cpu_count(), " ".join(open("/proc/loadavg").read().split()[:3])))
    summary = []
    failed = 0
    for case in cases:
        try:
            if case == "export-50000":
                held, medians = export_case(args.build, 50000, args.pairs, 10)
                what, limit = "50,000 rows, scraper / tembrook-export", ">= 10"
            elif case == "export-600":
                held, medians = export_case(args.build, 600, args.pairs, 5)
                what, limit = "600 rows, scraper / tembrook-export", ">= 5"
            elif case == "export-utf8":
                held, medians = encoding_case(args.build, 50000, args.pairs, 1.5)
                what, limit = "50,000 rows, UTF-8 / Shift_JIS site", "<= 1.5"
            else:
                held, medians = window_case(args.build, args.pairs, 1.2)
                what, limit = "window cold start, tembrook / empty Qt", "<= 1.2"
        except RuntimeError as error:
            print("FAILED: %s: %s" % (case, error))
            held, medians, what, limit = False, None, case, ""
        failed += 0 if held else 1
        summary.append((what, medians, limit, held))

    print("\nFresh-process targets (median of each side, median ratio of the pairs)")
    for what, medians, limit, held in summary:
        if medians is None:
            print("  %-42s %s" % (what, "FAILED"))
        else:
            print("  %-42s %8.1f ms %8.1f ms %8.2f x  %-7s %s"
                  % (what, medians[0] * 1000, medians[1] * 1000, medians[2], limit, "ok" if held else "MISSED"))
    print("  %d of %d fresh-process target(s) missed" % (failed, len(summary)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
