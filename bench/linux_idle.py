"""The Linux figure of bench/run: lumivo idle in trayer on Xvfb, its CPU plus the X server's,
against a bare Qt program with a tray icon and a 10 ms timer (bench/linux_reference) measured
the same way at the same time. Each runs on a display of its own, so that the X server's time
is that program's."""

import os
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "linux_e2e"))
from linux_session import EXE, GREEN, Desktop  # noqa: E402

REFERENCE = REPO / "build" / "linux" / "bench" / "qt_tray_reference"
GOAL_RATIO = 1.1


def build():
    if not (REPO / "build" / "linux" / "build.ninja").exists():
        subprocess.run(["cmake", "--preset", "linux"], cwd=REPO, check=True,
                       stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", "linux"], cwd=REPO, check=True,
                   stdout=subprocess.DEVNULL)


def cpu_seconds(pid):
    """On-CPU time of the process's threads from the scheduler: finer than the clock ticks
    of /proc/PID/stat, which the figures are too small for."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (OSError, IndexError, ValueError):
            pass
    return total / 1e9


def measure(seconds):
    """CPU seconds of each program and of its X server over the same idle time, once both are
    in their trays: both then share whatever else loads the machine."""
    build()
    desktops = {}
    try:
        pids = {}
        for name, program in (("lumivo", EXE), ("reference", REFERENCE)):
            desktop = desktops[name] = Desktop(f"bench-{name}")
            pids[name] = {"program": desktop._spawn([str(program)]).pid,
                          "x_server": desktop.xvfb.pid}
        for desktop in desktops.values():
            desktop.wait_lamp(GREEN, 30)
        time.sleep(1)
        before = {name: {k: cpu_seconds(p) for k, p in own.items()} for name, own in pids.items()}
        time.sleep(seconds)
        result = {name: {k: cpu_seconds(p) - before[name][k] for k, p in own.items()}
                  for name, own in pids.items()}
    finally:
        for desktop in desktops.values():
            desktop.stop()
    return dict(result, wall_s=seconds)


def rows(result):
    """The table rows: figure, Lumivo, reference, ratio and goal, met."""
    lumivo, reference = result["lumivo"], result["reference"]
    own = sum(lumivo.values())
    floor = sum(reference.values())
    ratio = own / floor if floor > 0 else float("inf")
    wall = result["wall_s"]
    return [(f"Linux idle CPU over {wall:g} s, program + X server", f"{own:.2f} s",
             f"{floor:.2f} s", f"ratio {ratio:.2f} (goal <= {GOAL_RATIO:.2f})",
             "yes" if ratio <= GOAL_RATIO else "NO"),
            ("  of it the program / the X server",
             f"{lumivo['program']:.2f} / {lumivo['x_server']:.2f} s",
             f"{reference['program']:.2f} / {reference['x_server']:.2f} s", "-", "-")]
