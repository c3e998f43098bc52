"""Runs Lumivo.exe under Wine on a private Xvfb display and drives it like a user.

One Wine prefix per test run (build/e2e/prefix), one fresh Xvfb + Wine desktop per test.
Environment knobs:
  LUMIVO_EXE             exe under test (default build/windows-x64/Lumivo.exe)
  LUMIVO_E2E_EXE_WAIT    seconds to wait for the exe and the probe to be built (default 300)
  LUMIVO_E2E_KEEP_PREFIX 1 = reuse an existing prefix instead of making a new one
  LUMIVO_E2E_DIR         where the prefix and the logs go (default build/e2e)
"""

import codecs
import json
import os
import re
import select
import shutil
import signal
import subprocess
import threading
import time
import unittest
from dataclasses import dataclass
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
E2E_DIR = Path(os.environ.get("LUMIVO_E2E_DIR", REPO / "build" / "e2e"))
PREFIX = E2E_DIR / "prefix"
LOG_DIR = E2E_DIR / "logs"
PROBE_EXE = REPO / "build" / "windows-x64" / "tests" / "e2e" / "probe" / "probe.exe"
EXE = Path(os.environ.get("LUMIVO_EXE", REPO / "build" / "windows-x64" / "Lumivo.exe")).resolve()

DESKTOP = "Lumivo"
SCREEN = (800, 600)
GREEN = (0, 255, 0)
RED = (255, 0, 0)
MAIN_TITLE = "Lumivo v1.2"

RELAY_FUNCTIONS = [
    "winmm.mciSendStringA",
    "shell32.Shell_NotifyIconA",
    "user32.SetWindowPos",
    "shell32.ShellExecuteA",
    "kernelbase.CreateProcessW",
    "user32.ExitWindowsEx",
    "user32.MessageBoxW",
    "user32.MessageBoxA",
    "kernel32.GetDriveTypeA",
    "user32.ShowWindow",
    "user32.CreateWindowExA",
    "user32.CreateWindowExW",
    "user32.ChangeWindowMessageFilterEx",
]

NIM_ADD, NIM_MODIFY, NIM_DELETE = 0, 1, 2
WS_CAPTION, WS_THICKFRAME, WS_DLGFRAME, WS_BORDER = 0x00C00000, 0x00040000, 0x00400000, 0x00800000


def wait_for(predicate, timeout, message="condition", interval=0.05):
    """Polls predicate until it returns something truthy; returns that or fails the test."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {message}")
        time.sleep(interval)


def _base_env():
    env = os.environ.copy()
    env.update(
        WINEPREFIX=str(PREFIX),
        WINEDEBUG="-all",
        LC_ALL="zh_CN.UTF-8",
        # No Mono/Gecko download prompts, no menu entries written to the host.
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
    )
    env.pop("WINELOADERNOEXEC", None)
    return env


def _run(cmd, env=None, timeout=120, check=True):
    return subprocess.run(cmd, env=env, timeout=timeout, check=check, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)


# ---------------------------------------------------------------- run-wide set-up

_setup_lock = threading.Lock()
_setup_done = False
_setup_error = None


def _reg_file_text():
    lines = ["Windows Registry Editor Version 5.00", ""]
    lines += ["[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]"]
    for face in ("SimSun", "NSimSun", "Microsoft YaHei", "MS Song", "宋体", "新宋体"):
        lines.append(f'"{face}"="WenQuanYi Micro Hei"')
    lines += ["", "[HKEY_CURRENT_USER\\Software\\Wine\\Debug]",
              f'"RelayInclude"="{";".join(RELAY_FUNCTIONS)}"']
    # A crash must fail the test, not wait on a dialog.
    lines += ["", "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]", '"ShowCrashDialog"=dword:00000000']
    # ShellExecute of http:/mailto: must not start anything real on the host.
    lines += ["", "[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]",
              '"Browsers"="true"', '"Mailers"="true"']
    lines += ["", "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]", '"e:"="cdrom"', ""]
    return "\r\n".join(lines)


def _create_prefix():
    env = _base_env()
    env.pop("DISPLAY", None)
    _run(["wineserver", "-k"], env=env, check=False)
    shutil.rmtree(PREFIX, ignore_errors=True)
    PREFIX.mkdir(parents=True)
    _run(["wineboot", "-i"], env=env, timeout=300)
    _run(["wineserver", "-w"], env=env, timeout=300)
    reg = E2E_DIR / "lumivo-e2e.reg"
    reg.write_bytes(codecs.BOM_UTF16_LE + _reg_file_text().encode("utf-16-le"))
    _run(["wine", "regedit", "/S", str(reg)], env=env)
    _run(["wineserver", "-w"], env=env, timeout=300)
    cdrom = E2E_DIR / "cdrom"
    cdrom.mkdir(exist_ok=True)
    (cdrom / "readme.txt").write_text("Lumivo e2e test disc\n")
    link = PREFIX / "dosdevices" / "e:"
    if link.is_symlink() or link.exists():
        link.unlink()
    link.symlink_to(cdrom)
    (PREFIX / ".lumivo-e2e-ready").write_text("ok\n")


def _wait_built():
    """The exe and the probe come from the windows-x64 preset, whose build may still run."""
    wait = float(os.environ.get("LUMIVO_E2E_EXE_WAIT", "300"))
    try:
        wait_for(lambda: EXE.exists() and PROBE_EXE.exists(), wait, "the build", interval=1)
    except AssertionError:
        missing = ", ".join(str(p) for p in (EXE, PROBE_EXE) if not p.exists())
        raise AssertionError(f"not built: {missing} (cmake --preset windows-x64 && "
                             "cmake --build --preset windows-x64)") from None


def environment():
    """Once per test run: the Wine prefix, the built exe and probe. Safe to call repeatedly."""
    global _setup_done, _setup_error
    with _setup_lock:
        if _setup_error:  # every test module asks: fail each at once, not by redoing the work
            raise AssertionError(f"e2e set-up failed earlier: {_setup_error}")
        if _setup_done:
            return
        try:
            E2E_DIR.mkdir(parents=True, exist_ok=True)
            shutil.rmtree(LOG_DIR, ignore_errors=True)
            LOG_DIR.mkdir(parents=True)
            keep = os.environ.get("LUMIVO_E2E_KEEP_PREFIX") == "1"
            if not (keep and (PREFIX / ".lumivo-e2e-ready").exists()):
                _create_prefix()
            _wait_built()
        except subprocess.CalledProcessError as e:
            _setup_error = f"{e}\n{e.stderr.decode(errors='replace')}"
            raise AssertionError(_setup_error) from e
        except Exception as e:
            _setup_error = str(e)
            raise
        _setup_done = True


# ---------------------------------------------------------------- relay log

@dataclass
class Arg:
    value: int          # the number as printed (pointer or integer)
    text: str | None    # decoded string argument, when the relay printed one

    @property
    def low32(self):
        return self.value & 0xFFFFFFFF


@dataclass
class Call:
    time: float
    pid: int
    tid: int
    func: str
    args: list
    line: str

    def texts(self):
        return [a.text for a in self.args]


_CALL_RE = re.compile(r"^(\d+\.\d+):([0-9a-f]+):([0-9a-f]+):Call ([\w.]+)\((.*)\) ret=[0-9a-f]+$")
_LINE_HEAD_RE = re.compile(r"^(\d+\.\d+):([0-9a-f]+):([0-9a-f]+):")
_ARG_RE = re.compile(r'^([0-9a-f]+)(?: (L?)"(.*)"(?:\.\.\.)?)?$', re.S)


def _split_args(s):
    parts, cur, quoted, i = [], [], False, 0
    while i < len(s):
        c = s[i]
        if quoted and c == "\\" and i + 1 < len(s):
            cur.append(s[i:i + 2])
            i += 2
            continue
        if c == '"':
            quoted = not quoted
        if c == "," and not quoted:
            parts.append("".join(cur))
            cur = []
        else:
            cur.append(c)
        i += 1
    if cur or parts:
        parts.append("".join(cur))
    return parts


_SIMPLE_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


def decode_relay_string(body, wide):
    """Undoes Wine's debugstr escaping: A strings are ANSI (GBK here) bytes, W strings UTF-16."""
    out_bytes, out_chars, i = bytearray(), [], 0
    while i < len(body):
        c = body[i]
        if c == "\\" and i + 1 < len(body):
            nxt = body[i + 1]
            if nxt in _SIMPLE_ESCAPES:
                (out_chars if wide else out_bytes).extend(
                    _SIMPLE_ESCAPES[nxt] if wide else _SIMPLE_ESCAPES[nxt].encode())
                i += 2
            elif not wide and nxt == "x":
                out_bytes.append(int(body[i + 2:i + 4], 16))
                i += 4
            elif wide:
                out_chars.append(chr(int(body[i + 1:i + 5], 16)))
                i += 5
            else:
                out_bytes.append(ord(c))
                i += 1
        else:
            if wide:
                out_chars.append(c)
            else:
                out_bytes.extend(c.encode("latin-1", "replace"))
            i += 1
    return "".join(out_chars) if wide else bytes(out_bytes).decode("gbk", "replace")


def parse_relay_line(line):
    m = _CALL_RE.match(line)
    if not m:
        return None
    args = []
    for tok in _split_args(m.group(5)):
        tok = tok.strip()
        am = _ARG_RE.match(tok)
        if not am:
            args.append(Arg(-1, tok))
            continue
        text = None
        if am.group(3) is not None:
            text = decode_relay_string(am.group(3), am.group(2) == "L")
        args.append(Arg(int(am.group(1), 16), text))
    return Call(float(m.group(1)), int(m.group(2), 16), int(m.group(3), 16), m.group(4), args, line)


# ---------------------------------------------------------------- screenshots

class Image:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @classmethod
    def from_ppm(cls, data):
        fields, pos = [], 0
        while len(fields) < 4:  # magic, width, height, maxval; comments not produced by import
            while data[pos:pos + 1].isspace():
                pos += 1
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        pos += 1
        if fields[0] != b"P6":
            raise ValueError("not a binary PPM")
        w, h, maxval = int(fields[1]), int(fields[2]), int(fields[3])
        body = data[pos:]
        if maxval > 255:  # 16-bit samples: keep the high bytes
            body = body[0::2]
        return cls(w, h, bytes(body[: w * h * 3]))

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def find_squares(self, color, box=None, sizes=(8, 12)):
        """Centres of solid squares of exactly this colour, sides from sizes[0] to sizes[1]
        (tolerates +-2 px): the lamp's square is 8 px, 12 px when the tray scales it to 144 dpi.
        """
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        pattern = bytes(color)
        points = set()
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.rgb[(y * self.width) * 3:((y + 1) * self.width) * 3]
            start = max(0, x0) * 3
            while True:
                i = row.find(pattern, start, min(self.width, x1) * 3)
                if i < 0:
                    break
                if i % 3 == 0:
                    points.add((i // 3, y))
                start = i + 1
        centres = []
        while points:
            stack = [points.pop()]
            comp = []
            while stack:
                p = stack.pop()
                comp.append(p)
                for q in ((p[0] + 1, p[1]), (p[0] - 1, p[1]), (p[0], p[1] + 1), (p[0], p[1] - 1)):
                    if q in points:
                        points.remove(q)
                        stack.append(q)
            xs = [p[0] for p in comp]
            ys = [p[1] for p in comp]
            w, h = max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
            low, high = sizes[0] - 2, sizes[1] + 2
            if low <= w <= high and low <= h <= high and abs(w - h) <= 2 \
                    and len(comp) >= (min(w, h) - 2) ** 2:
                centres.append(((min(xs) + max(xs) + 1) // 2, (min(ys) + max(ys) + 1) // 2))
        return sorted(centres)

    def save(self, path):
        ppm = b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb
        subprocess.run(["convert", "ppm:-", str(path)], input=ppm, check=True, timeout=60)


# ---------------------------------------------------------------- one test's session

class LumivoSession:
    """Xvfb + Wine desktop + Lumivo.exe for one test. Use start(); stop() always cleans up.

    exe is the program to start (a host path, or a Windows path inside the prefix), cwd the
    host folder it starts in (default: the exe's own), extra_env more environment for it.
    """

    def __init__(self, name, exe=EXE, cwd=None, extra_env=None):
        environment()
        self.exe, self.cwd, self.extra_env = exe, cwd or EXE.parent, extra_env or {}
        self.name = re.sub(r"[^\w.-]+", "_", name)
        self.display = None
        self.xvfb = None
        self.launchers = []
        self.logs = []
        self.seen_windows = []  # every window record seen by windows(): for "never visible" checks
        self._splash_watch = None

    # ---- life cycle

    def start(self, wait_for_tray=False, launch=True):
        """Display and desktop, then (unless launch is false) Lumivo."""
        self._start_xvfb()
        self._start_desktop()
        # Watch for the splash from before Lumivo starts: it shows for about a second only.
        self._splash_watch = self._probe_popen("wait", 0, 0, 30000)
        if self._read_line(self._splash_watch, 30).strip() != b"ready":
            raise AssertionError("the probe could not join the desktop")
        if not launch:
            return self
        self.launch()
        if wait_for_tray:
            self.wait_tray_icon(GREEN)
        return self

    def _start_desktop(self):
        """A Wine desktop with its taskbar, kept open by an idle probe; Lumivo comes after."""
        log = open(LOG_DIR / f"{self.name}.desktop.log", "wb")
        proc = subprocess.Popen(
            ["wine", "explorer", f"/desktop={DESKTOP},{SCREEN[0]}x{SCREEN[1]}", str(PROBE_EXE),
             DESKTOP, "hold"], env=self.env(),
            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
            start_new_session=True)
        log.close()
        self.launchers.append(proc)

        def desktop_window():
            r = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env(),
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
            return f'"{DESKTOP} - Wine desktop"'.encode() in r.stdout
        wait_for(desktop_window, 60, "the Wine desktop window", interval=0.2)
        # The taskbar stays hidden until it has something to show; its window is enough.
        wait_for(lambda: any(w["class"] == "Shell_TrayWnd"
                             for w in self.windows(all_processes=True)),
                 60, "the taskbar window", interval=0.2)

    def splash_window(self, timeout=20):
        """The first visible Lumivo window, as the probe saw it the moment it became visible."""
        line = self._read_line(self._splash_watch, timeout)
        if not line.startswith(b"{"):
            raise AssertionError(f"no visible Lumivo window within {timeout} s of start")
        win = json.loads(line)
        self.seen_windows.append(win)
        return win

    @staticmethod
    def _read_line(proc, timeout):
        """A line of the process's unbuffered stdout, or b"" when none comes in time."""
        if not select.select([proc.stdout], [], [], timeout)[0]:
            return b""
        return proc.stdout.readline()

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        log = open(LOG_DIR / f"{self.name}.xvfb.log", "wb")
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            start_new_session=True)
        os.close(write_fd)
        log.close()
        buf = b""
        deadline = time.monotonic() + 30
        try:
            while not buf.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_fd], [], [], left)[0]:
                    raise AssertionError("Xvfb did not report its display")
                chunk = os.read(read_fd, 16)
                if not chunk:
                    raise AssertionError("Xvfb exited at start")
                buf += chunk
        finally:
            os.close(read_fd)
        self.display = ":" + buf.decode().strip()

    def env(self, debug="-all"):
        env = _base_env()
        env["DISPLAY"] = self.display
        env["WINEDEBUG"] = debug
        return env

    def launch(self, tag="main"):
        """Starts one more Lumivo.exe in the desktop; its relay trace goes to its own log."""
        log_path = LOG_DIR / f"{self.name}.{tag}.relay.log"
        env = dict(self.env("+relay,+timestamp,+pid"), **self.extra_env)
        with open(log_path, "wb") as log:
            proc = subprocess.Popen(
                # By full path: a planted explorer.exe in cwd would win over the system's.
                ["wine", "C:\\windows\\explorer.exe",
                 f"/desktop={DESKTOP},{SCREEN[0]}x{SCREEN[1]}", str(self.exe)],
                env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                start_new_session=True, cwd=str(self.cwd))
        self.launchers.append(proc)
        self.logs.append(log_path)
        return log_path

    def stop(self):
        env = _base_env()
        try:
            _run(["wineserver", "-k"], env=env, timeout=30, check=False)
        except subprocess.TimeoutExpired:
            pass
        for proc in self.launchers:
            self._end(proc)
            if proc.stdout:
                proc.stdout.close()
        if self.xvfb:
            self._end(self.xvfb)
        try:  # nothing of this prefix may outlive the test
            _run(["wineserver", "-w"], env=env, timeout=30, check=False)
        except subprocess.TimeoutExpired:
            pass

    @staticmethod
    def _end(proc):
        if proc.poll() is None:
            try:
                os.killpg(proc.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                proc.wait(5)

    # ---- the probe

    def _probe_popen(self, *args):
        proc = subprocess.Popen(["wine", str(PROBE_EXE), DESKTOP, *map(str, args)],
                                env=self.env(), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, start_new_session=True,
                                bufsize=0)  # unbuffered: select() must see every line
        self.launchers.append(proc)
        return proc

    def probe(self, *args, timeout=30):
        r = subprocess.run(["wine", str(PROBE_EXE), DESKTOP, *map(str, args)], env=self.env(),
                           stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, timeout=timeout)
        return r.returncode, r.stdout.decode("utf-8", "replace")

    def windows(self, all_processes=False):
        code, out = self.probe("windows", *(["all"] if all_processes else []))
        wins = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
        self.seen_windows.extend(wins)
        return wins

    def wait_visible_window(self, width=0, height=0, timeout=15):
        """Blocks inside the probe until a visible Lumivo window (of that size) shows: fast."""
        code, out = self.probe("wait", width, height, int(timeout * 1000), timeout=timeout + 30)
        lines = [line for line in out.splitlines() if line.startswith("{")]
        if code != 0 or not lines:
            raise AssertionError(f"no visible Lumivo window ({width}x{height}) within {timeout} s")
        win = json.loads(lines[0])
        self.seen_windows.append(win)
        return win

    def lumivo_pids(self):
        code, out = self.probe("procs")
        return [int(x) for x in out.split()]

    def post_close(self, title):
        return self.probe("close", title)[0] == 0

    def broadcast(self, message_name):
        return self.probe("broadcast", message_name)[0] == 0

    def menu_window(self):
        code, out = self.probe("menu")
        lines = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
        return lines[0] if lines else None

    # ---- screen and input

    def screenshot(self, path=None):
        r = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                           env=self.env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                           timeout=30, check=True)
        img = Image.from_ppm(r.stdout)
        if path:
            img.save(path)
        return img

    def save_screenshot(self, label):
        path = LOG_DIR / f"{self.name}.{label}.png"
        self.screenshot(path)
        return path

    def tray_icons(self, color, image=None):
        """Centres of lamp icons of this colour in the taskbar strip at the bottom."""
        img = image or self.screenshot()
        return img.find_squares(color, (0, img.height - 40, img.width, img.height))

    def find_tray_icon(self, color):
        icons = self.tray_icons(color)
        return icons[0] if len(icons) == 1 else None

    def wait_tray_icon(self, color, timeout=20):
        return wait_for(lambda: self.find_tray_icon(color), timeout,
                        f"exactly one {'green' if color == GREEN else 'red'} lamp in the tray")

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=30,
                       stdin=subprocess.DEVNULL)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)

    def double_right_click(self, x, y):
        self.xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 120, 3)

    def key(self, name):
        self.xdotool("key", name)

    # ---- relay log

    def relay_lines(self, log=None):
        lines = []
        for path in [log] if log else self.logs:
            with open(path, "rb") as f:
                lines += f.read().decode("latin-1").splitlines()
        return lines

    def relay_calls(self, function, log=None, pid=None):
        """Calls of function ("mciSendStringA" or "winmm.mciSendStringA"), oldest first."""
        calls = []
        for line in self.relay_lines(log):
            if "Call " not in line or function not in line:
                continue
            call = parse_relay_line(line)
            if call and (call.func == function or call.func.endswith("." + function)):
                if pid is None or call.pid == pid:
                    calls.append(call)
        return calls

    def process_start_time(self, pid, log=None):
        """Timestamp of the first relay line written by that process."""
        for line in self.relay_lines(log):
            m = _LINE_HEAD_RE.match(line)
            if m and int(m.group(2), 16) == pid:
                return float(m.group(1))
        return None

    def door_commands(self, pid=None, log=None):
        return [c.args[0].text for c in self.relay_calls("mciSendStringA", log, pid)]

    def notify_calls(self, message, pid=None, log=None):
        return [c for c in self.relay_calls("Shell_NotifyIconA", log, pid)
                if c.args[0].low32 == message]

    # ---- the menu

    def menu_layout(self, image=None):
        """Rows of the visible popup menu, top to bottom: ("item", y) or ("separator", y)."""
        menu = self.menu_window()
        if not menu:
            return None
        left, top, right, bottom = menu["rect"]
        img = image or self.screenshot()
        xs = range(left + 4, right - 4)
        counts = {}
        for y in range(top + 2, bottom - 2):
            for x in xs:
                p = img.pixel(x, y)
                counts[p] = counts.get(p, 0) + 1
        background = max(counts, key=counts.get)
        kinds = []
        for y in range(top + 2, bottom - 2):
            row = [img.pixel(x, y) for x in xs]
            dark = sum(1 for p in row if max(p) < 110)
            other = sum(1 for p in row if p != background)
            if dark:
                kinds.append(("item", y))
            elif other > len(row) // 2:
                kinds.append(("separator", y))
            else:
                kinds.append((None, y))
        rows = []
        for kind, y in kinds:
            if kind is None:
                continue
            # Glyph rows of one item may be split by a couple of empty rows.
            if rows and rows[-1][0] == kind and y - rows[-1][2] <= (3 if kind == "item" else 1):
                rows[-1][2] = y
            else:
                rows.append([kind, y, y])
        rows = [(kind, (first + last) // 2) for kind, first, last in rows]
        return {"rect": menu["rect"], "rows": rows,
                "items": [y for kind, y in rows if kind == "item"]}

    def open_menu(self, lamp_color=GREEN, timeout=10):
        icon = self.wait_tray_icon(lamp_color)
        self.double_right_click(*icon)
        wait_for(self.menu_window, timeout, "the popup menu")
        # The menu may still be drawing: wait until two looks agree.
        last = [None]

        def settled():
            layout = self.menu_layout()
            same = layout and layout["rows"] and layout == last[0]
            last[0] = layout
            return layout if same else None
        return wait_for(settled, timeout, "the menu to be drawn", interval=0.2)

    def click_menu_item(self, layout, index):
        left, _, right, _ = layout["rect"]
        self.click((left + right) // 2, layout["items"][index])


# ---------------------------------------------------------------- test base

class LumivoTestCase(unittest.TestCase):
    """Each test gets its own display, desktop and freshly started Lumivo.exe."""

    def setUp(self):
        self.session = LumivoSession(self.id().split(".", 1)[-1], **self.session_options())
        self.addCleanup(self.session.stop)
        self.addCleanup(self._last_screenshot)
        self.session.start()

    def session_options(self):
        """Where and how this test's Lumivo starts: LumivoSession's exe, cwd and extra_env."""
        return {}

    def _last_screenshot(self):
        try:  # left in build/e2e/logs to see what the screen showed at the end
            self.session.save_screenshot("end")
        except Exception:  # noqa: BLE001 - a missing picture must not hide the real result
            pass

    def lumivo_pid(self, timeout=20):
        pids = wait_for(lambda: (lambda p: p if len(p) == 1 else None)(self.session.lumivo_pids()),
                        timeout, "exactly one Lumivo.exe process")
        return pids[0]

    def window(self, hwnd):
        return next((w for w in self.session.windows() if w["hwnd"] == hwnd), None)

    def assert_stays_visible(self, hwnd, seconds):
        """Polls for a while: the window must be there and visible at every look."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            w = self.window(hwnd)
            self.assertTrue(w and w["visible"], "the About window went away")
            time.sleep(0.1)

    def wait_gone(self, hwnd, timeout=5):
        wait_for(lambda: self.window(hwnd) is None, timeout, f"window {hwnd} to be destroyed")

    def wait_no_lamp(self, timeout=10):
        s = self.session

        def no_lamp():
            img = s.screenshot()
            return not s.tray_icons(GREEN, img) and not s.tray_icons(RED, img)
        wait_for(no_lamp, timeout, "the lamp to leave the tray")

    def wait_process_ended(self, timeout=10):
        wait_for(lambda: not self.session.lumivo_pids(), timeout, "Lumivo.exe to end")


# ---------------------------------------------------------------- keys held, drives, programs

# kernel32 exports CreateProcessW itself: the relay logs it as KERNEL32, never as kernelbase.
RELAY_FUNCTIONS.append("kernel32.CreateProcessW")


def hold_key(session, name, seconds=0.1):
    """Holds a key down: `xdotool key` releases within a few ms, less than the 10 ms poll."""
    session.xdotool("keydown", name)
    try:
        time.sleep(seconds)
    finally:
        session.xdotool("keyup", name)


def set_cd_drive(letter, present):
    """Adds (or removes) a CD-ROM drive LETTER: backed by a folder; needs no running session."""
    env = _base_env()
    env.pop("DISPLAY", None)
    link = PREFIX / "dosdevices" / f"{letter}:"
    key = "HKLM\\Software\\Wine\\Drives"
    if present:
        folder = E2E_DIR / f"cdrom-{letter}"
        folder.mkdir(exist_ok=True)
        if not link.is_symlink():
            link.symlink_to(folder)
        _run(["wine", "reg", "add", key, "/v", f"{letter}:", "/d", "cdrom", "/f"], env=env)
    else:
        if link.is_symlink():
            link.unlink()
        _run(["wine", "reg", "delete", key, "/v", f"{letter}:", "/f"], env=env, check=False)
    _run(["wineserver", "-w"], env=env, timeout=60)


def relay_result(session, call, log=None):
    """The value the call returned: its Ret line is the next one of that thread for the function."""
    head = f":{call.pid:04x}:{call.tid:04x}:Ret  {call.func}() retval="
    lines = session.relay_lines(log)
    for line in lines[lines.index(call.line) + 1:]:
        i = line.find(head)
        if i >= 0:
            return int(line[i + len(head):].split()[0], 16)
    return None


class LaunchChecks:
    """Programs a LumivoTestCase's Lumivo (self.pid) started, read from the relay log."""

    def launches(self):
        """(application, command line) of each program Lumivo started, oldest first."""
        return [(c.args[0].text, c.args[1].text)
                for c in self.session.relay_calls("CreateProcessW", pid=self.pid)]

    def wait_launches(self, count, timeout=10):
        return wait_for(lambda: (lambda l: l if len(l) >= count else None)(self.launches()),
                        timeout, f"{count} program start(s)")

    def assert_launches_succeeded(self):
        for call in self.session.relay_calls("CreateProcessW", pid=self.pid):
            self.assertEqual(relay_result(self.session, call), 1, call.line)


# ---------------------------------------------------------------- soak and hostile messages

WM_MOUSEMOVE, WM_CANCELMODE = 0x200, 0x1F
TRAY_CALLBACK = WM_MOUSEMOVE  # Lumivo's tray callback message: lParam carries the mouse message


def window_tree(session):
    """Every Lumivo window at every level: hwnd, parent (0 for top-level), class, title, id."""
    code, out = session.probe("tree")
    return [json.loads(line) for line in out.splitlines() if line.startswith("{")]


def main_window(session):
    return next((w for w in window_tree(session) if w["title"] == MAIN_TITLE), None)


def tray_hosts(session, pid):
    """(closed-door host, open-door host), found by what they do: sent callbacks run at once.

    Leaves the lamp as it found it: green, door closed.
    """
    main = main_window(session)
    boxes = [w["hwnd"] for w in window_tree(session)
             if w["parent"] == main["hwnd"] and w["class"] != "Button"]

    def acting(code, candidates, command):
        for box in candidates:
            before = len(session.door_commands(pid=pid))
            session.probe("send", box, TRAY_CALLBACK, 1, code)
            after = session.door_commands(pid=pid)
            if len(after) > before:
                assert after[before:] == [command], after[before:]
                return box
        raise AssertionError(f"no picture box of the main window acts on {code}")
    closed = acting(513, boxes, "set CDAudio door open")
    opened = acting(517, [b for b in boxes if b != closed], "set CDAudio door closed")
    return closed, opened


def post_batch(session, lines, name="batch"):
    """Runs lines ("p|s HWND MSG WPARAM LPARAM") in one probe run.

    Returns {"posted": N, "sent": N, "failed": N, "failures": [the first few, with the error]}.
    """
    path = LOG_DIR / f"{session.name}.{name}.txt"
    path.write_text("\n".join(lines) + "\n")
    code, out = session.probe("batch", "Z:" + str(path).replace("/", "\\"), timeout=120)
    records = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
    tally = [r for r in records if "posted" in r]
    if not tally:
        raise AssertionError(f"the probe ran no batch (exit {code})")
    return dict(tally[0], failures=[r for r in records if "posted" not in r])


def gui_counts(session, pid):
    """{"user": N, "gdi": N, "handles": N}: the process's objects (icons hold GDI bitmaps)."""
    code, out = session.probe("counts", pid)
    raw = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
    if code != 0 or not raw:
        raise AssertionError(f"no counts for process {pid}")
    return raw[0]


def ping(session, timeout_ms=5000):
    """True when the main window answers a sent WM_NULL in time: its thread is not hung."""
    return session.probe("ping", MAIN_TITLE, timeout_ms)[0] == 0


def lamps(session, image=None):
    """Every lamp in the tray, whatever its colour: [(colour, centre), ...]."""
    img = image or session.screenshot()
    return ([(GREEN, p) for p in session.tray_icons(GREEN, img)] +
            [(RED, p) for p in session.tray_icons(RED, img)])


class TrayHostsTestCase(LumivoTestCase):
    """A test that talks to Lumivo's windows directly: waits for the lamp, then knows the
    process, both icon hosts, the main window and the door commands sent so far."""

    def setUp(self):
        super().setUp()
        s = self.session
        s.wait_tray_icon(GREEN)
        self.pid = self.lumivo_pid()
        self.closed_host, self.open_host = tray_hosts(s, self.pid)
        self.main = main_window(s)["hwnd"]
        self.commands = s.door_commands(pid=self.pid)
