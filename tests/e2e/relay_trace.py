"""Reading the relay traces Wine writes for the started programs: calls, arguments, results.

With +relay,+timestamp,+pid a call reads `1266.150:0118:011c:Call KERNEL32.CreateProcessW(
00000000,00341ffc L"C:\\x.exe",...) ret=1400086dd`: seconds, process, thread, the call and where
it returns to; its `Ret` line, with the value returned, is the thread's next one for it. The
seconds, counted from the machine's start, are padded to three places: ` 95.020:` in a guest
that has just booted.
"""

import codecs
import re
import struct
from dataclasses import dataclass
from pathlib import Path

_CALL = re.compile(r"^ *(\d+\.\d+):([0-9a-f]+):([0-9a-f]+):Call ([\w.]+)\((.*)\) ret=([0-9a-f]+)$")
_LINE_HEAD = re.compile(r"^ *(\d+\.\d+):([0-9a-f]+):")
_ARGUMENT = re.compile(r'^([0-9a-f]+)(?: (L?)"(.*)"(?:\.\.\.)?)?$', re.S)
_ARGUMENTS = re.compile(r'(?:[^,"]|"(?:\\.|[^"\\])*")+')  # split at commas outside quotes
_WIDE_ESCAPE = re.compile(r"\\(?:([0-9a-fA-F]{4})|(.))", re.S)
_SIMPLE_ESCAPES = {"n": "\n", "r": "\r", "t": "\t"}


@dataclass
class Arg:
    value: int          # the number as printed (pointer or integer)
    text: str | None    # decoded string argument, when the relay printed one

    @property
    def low32(self):
        """A 32-bit argument may carry junk in the upper half of its 64-bit register."""
        return self.value & 0xFFFFFFFF


@dataclass
class Call:
    time: float
    pid: int
    tid: int
    func: str           # as logged, with its DLL: "winmm.mciSendStringA"
    args: list
    return_address: int
    line: str

    @property
    def name(self):
        return self.func.rsplit(".", 1)[-1]


def decode_relay_string(body, wide):
    """Undoes Wine's debugstr escaping: A strings are ANSI (GBK here) bytes, W strings UTF-16."""
    if wide:
        return _WIDE_ESCAPE.sub(lambda m: chr(int(m[1], 16)) if m[1]
                                else _SIMPLE_ESCAPES.get(m[2], m[2]), body)
    return codecs.escape_decode(body.encode("latin-1"))[0].decode("gbk", "replace")


def _argument(token):
    a = _ARGUMENT.match(token.strip())
    if not a:
        return Arg(-1, token.strip())
    return Arg(int(a[1], 16), None if a[3] is None else decode_relay_string(a[3], a[2] == "L"))


def parse_relay_line(line):
    """The Call on a `Call` line, or None."""
    if m := _CALL.match(line):
        args = [_argument(token) for token in _ARGUMENTS.findall(m[5])]
        return Call(float(m[1]), int(m[2], 16), int(m[3], 16), m[4], args, int(m[6], 16), line)
    return None


def image_range(lines, pid, exe):
    """Where the exe lies in the process: its entry point as the relay reported it, less the
    entry point's offset in the file."""
    data = Path(exe).read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    entry_rva = struct.unpack_from("<I", data, pe + 24 + 16)[0]
    size = struct.unpack_from("<I", data, pe + 24 + 56)[0]
    for line in lines:
        if f":{pid:04x}:" in line[:40] and ":Starting thread proc " in line:
            entry = int(line.split("Starting thread proc ")[1].split()[0], 16)
            return entry - entry_rva, entry - entry_rva + size
    return None


class RelayTrace:
    """The relay logs of some programs, read afresh at each question: they are still written."""

    def __init__(self, paths):
        self.paths = paths  # a session adds the log of each program it starts

    def lines(self):
        lines = []
        for path in self.paths:
            with open(path, "rb") as f:
                lines += f.read().decode("latin-1").splitlines()
        return lines

    def calls(self, function, pid=None):
        """Calls of function ("mciSendStringA" or "winmm.mciSendStringA"), oldest first."""
        return [call for line in self.lines()
                if "Call " in line and function in line and (call := parse_relay_line(line))
                and function in (call.func, call.name) and pid in (None, call.pid)]

    def own_calls(self, function, pid, exe):
        """Calls of function that the exe itself made, told by their return address: not those
        Wine's DLLs make in its process."""
        image = image_range(self.lines(), pid, exe)
        if image is None:
            raise AssertionError("the relay did not report the exe's start")
        return [c for c in self.calls(function, pid) if image[0] <= c.return_address < image[1]]

    def result(self, call):
        """The value the call returned, or None while it has not returned."""
        head = f":{call.pid:04x}:{call.tid:04x}:Ret  {call.func}() retval="
        lines = self.lines()
        for line in lines[lines.index(call.line) + 1:]:
            if (i := line.find(head)) >= 0:
                return int(line[i + len(head):].split()[0], 16)
        return None

    def process_start(self, pid):
        """Timestamp of the first line that process wrote."""
        return next((float(m[1]) for line in self.lines()
                     if (m := _LINE_HEAD.match(line)) and int(m[2], 16) == pid), None)

    def door_commands(self, pid=None):
        return [c.args[0].text for c in self.calls("mciSendStringA", pid)]

    def notify_calls(self, message, pid=None):
        """Shell_NotifyIconA calls with that message (NIM_ADD...)."""
        return [c for c in self.calls("Shell_NotifyIconA", pid) if c.args[0].low32 == message]
