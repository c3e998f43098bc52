"""The Linux figure of bench/run: lumivo idle in trayer on Xvfb, its CPU plus the X server's,
against a bare Qt program with a tray icon and a 10 ms timer (bench/linux_reference) measured
the same way in the same run. Each runs alone on a display of its own, so that the X server's
time is that program's."""

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
    stat = Path(f"/proc/{pid}/stat").read_text()
    fields = stat[stat.rindex(")") + 2:].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def idle_cpu(name, program, seconds):
    """CPU seconds of the program and of its X server over the idle time, once in the tray."""
    desktop = Desktop(f"bench-{name}")
    try:
        process = desktop._spawn([str(program)])
        desktop.wait_lamp(GREEN, 30)
        time.sleep(1)
        pids = {"program": process.pid, "x_server": desktop.xvfb.pid}
        before = {k: cpu_seconds(p) for k, p in pids.items()}
        time.sleep(seconds)
        return {k: cpu_seconds(p) - before[k] for k, p in pids.items()}
    finally:
        desktop.stop()


def measure(seconds):
    build()
    return {"wall_s": seconds, "lumivo": idle_cpu("lumivo", EXE, seconds),
            "reference": idle_cpu("reference", REFERENCE, seconds)}


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
