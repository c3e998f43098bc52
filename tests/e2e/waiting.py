"""Waiting on the program under test: it runs in other processes, so tests poll with a limit."""

import os
import time

# Where every program runs far slower than here (an emulated guest), each limit is this many
# times longer.
TIME_SCALE = float(os.environ.get("LUMIVO_E2E_TIME_SCALE", "1"))


def wait_for(predicate, timeout, message="condition", interval=0.05):
    """Polls predicate until it returns something truthy; returns that or fails the test."""
    timeout *= TIME_SCALE
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {message}")
        time.sleep(interval)


def wait_settled(read, message, settle=0.3, timeout=5):
    """Polls read() until its value is truthy and has not changed for settle seconds."""
    last, since = read(), time.monotonic()

    def settled():
        nonlocal last, since
        now = read()
        if now != last:
            last, since = now, time.monotonic()
        return now if now and time.monotonic() - since >= settle else None
    return wait_for(settled, timeout, f"{message} to settle")
