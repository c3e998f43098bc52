"""The probe: probe.exe joins the test's Wine desktop to look at Lumivo's windows and processes
and to post or send them messages. One run of it per question (its commands: probe/probe.cpp)."""

import json
import select
import subprocess

from lumivo import MAIN_TITLE
from waiting import TIME_SCALE
from wine_prefix import LOG_DIR, PROBE_EXE, WINE


def read_line(stream, timeout):
    """A line of an unbuffered stream, or b"" when none comes in time."""
    return stream.readline() if select.select([stream], [], [], timeout)[0] else b""


class DesktopProbe:
    def __init__(self, desktop, env, name):
        self.desktop, self.env, self.name = desktop, env, name
        self.seen_windows = []  # every window record seen: for "never visible" checks
        self.running = []       # probes started to keep running, for the session to end

    def command(self, *args):
        return [WINE, str(PROBE_EXE), self.desktop, *map(str, args)]

    def run(self, *args, timeout=30):
        """(exit code, stdout) of one probe run."""
        r = subprocess.run(self.command(*args), env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           timeout=timeout * TIME_SCALE)
        return r.returncode, r.stdout.decode("utf-8", "replace")

    def records(self, *args, timeout=30):
        """(exit code, the JSON lines of stdout)."""
        code, out = self.run(*args, timeout=timeout)
        return code, [json.loads(line) for line in out.splitlines() if line.startswith("{")]

    def start(self, *args):
        """A probe that goes on running (a watch, a held mutex) once it has printed "ready"."""
        proc = subprocess.Popen(self.command(*args), env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                start_new_session=True, bufsize=0)  # select() sees every line
        self.running.append(proc)
        if read_line(proc.stdout, 30 * TIME_SCALE).strip() != b"ready":
            raise AssertionError(f"the probe's {args[0]} did not start in the desktop")
        return proc

    def seen(self, windows):
        self.seen_windows.extend(windows)
        return windows

    def windows(self, all_processes=False):
        """Lumivo's top-level windows (all_processes: everyone's), with their children."""
        return self.seen(self.records("windows", *(["all"] if all_processes else []))[1])

    def wait_visible(self, width=0, height=0, timeout=15):
        """Blocks inside the probe until a visible Lumivo window (of that size) shows: fast."""
        code, found = self.records("wait", width, height, int(timeout * 1000), timeout=timeout + 30)
        if code != 0 or not found:
            raise AssertionError(f"no visible Lumivo window ({width}x{height}) within {timeout} s")
        return self.seen(found)[0]

    def tree(self):
        """Every Lumivo window at every level: hwnd, parent (0 for top-level), class, title, id."""
        return self.records("tree")[1]

    def main_window(self):
        return next((w for w in self.tree() if w["title"] == MAIN_TITLE), None)

    def menu_window(self):
        return next(iter(self.records("menu")[1]), None)

    def lumivo_pids(self):
        return [int(x) for x in self.run("procs")[1].split()]

    def close(self, title):
        return self.run("close", title)[0] == 0

    def broadcast(self, message_name):
        return self.run("broadcast", message_name)[0] == 0

    def post(self, hwnd, message, wparam, lparam):
        return self.run("post", hwnd, message, wparam, lparam)[0] == 0

    def send(self, hwnd, message, wparam, lparam):
        return self.run("send", hwnd, message, wparam, lparam)[0] == 0

    def ping(self, timeout_ms=5000):
        """True when the main window answers a sent WM_NULL in time: its thread is not hung."""
        return self.run("ping", MAIN_TITLE, timeout_ms)[0] == 0

    def batch(self, lines, label="batch"):
        """Runs lines ("p|s HWND MSG WPARAM LPARAM") in one probe run.

        Returns {"posted": N, "sent": N, "refused": N, "failed": N, "failures": [the first few,
        with the error]}.
        """
        path = LOG_DIR / f"{self.name}.{label}.txt"
        path.write_text("\n".join(lines) + "\n")
        code, records = self.records("batch", "Z:" + str(path).replace("/", "\\"), timeout=120)
        tally = [r for r in records if "posted" in r]
        if not tally:
            raise AssertionError(f"the probe ran no batch (exit {code})")
        return dict(tally[0], failures=[r for r in records if "posted" not in r])

    def tray_records(self, pid, count, trigger, timeout=20):
        """[(message, record bytes)] of pid's next count Shell_NotifyIconA calls, which
        trigger() brings about: the probe watches them as the process's debugger."""
        timeout *= TIME_SCALE
        watch = self.start("tray-records", pid, count, int(timeout * 1000))
        trigger()
        try:
            out = watch.communicate(timeout=timeout + 10)[0]
        except subprocess.TimeoutExpired:
            raise AssertionError(f"no {count} Shell_NotifyIconA calls seen") from None
        records = [json.loads(line) for line in out.splitlines() if line.startswith(b"{")]
        if watch.returncode != 0 or len(records) != count:
            raise AssertionError(f"the watch saw {records} (exit {watch.returncode})")
        return [(r["message"], bytes.fromhex(r["record"])) for r in records]

    def counts(self, pid):
        """{"user": N, "gdi": N, "handles": N}: the process's objects (icons hold GDI bitmaps)."""
        code, found = self.records("counts", pid)
        if code != 0 or not found:
            raise AssertionError(f"no counts for process {pid}")
        return found[0]
