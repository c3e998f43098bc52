"""Start-up: splash, first door command, the lamp in the tray."""

import tempfile
import time
import unittest
from pathlib import Path

from cases import LumivoTestCase
from lumivo import ABOUT_SIZE, CLOSED, GREEN, MAIN_TITLE, NIM_ADD
from relay_trace import RelayTrace
from waiting import wait_for

WS_CAPTION, WS_THICKFRAME, WS_VISIBLE = 0x00C00000, 0x00040000, 0x10000000
WS_EX_DLGMODALFRAME, WS_EX_CLIENTEDGE, WS_EX_STATICEDGE = 0x1, 0x200, 0x20000
SW_HIDE, SWP_SHOWWINDOW = 0, 0x40


class StartUpTest(LumivoTestCase):
    def test_splash_is_a_topmost_frameless_248_by_119_window(self):
        w = self.session.splash_window()
        left, top, right, bottom = w["rect"]
        self.assertEqual((right - left, bottom - top), ABOUT_SIZE, w)
        self.assertTrue(w["topmost"], "the About window is not topmost")
        self.assertEqual(w["style"] & (WS_CAPTION | WS_THICKFRAME), 0, "the About window has a frame")
        self.assertEqual(w["exstyle"] & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE),
                         0, "the About window has an edge")
        self.assertNotEqual(w["title"], MAIN_TITLE)

    def test_start_closes_the_door_once(self):
        s = self.session
        pid = s.splash_window()["pid"]
        s.wait_tray_icon(GREEN)
        calls = s.trace.calls("mciSendStringA", pid)
        self.assertEqual([c.args[0].text for c in calls], [CLOSED])
        # No reply buffer, no callback window.
        self.assertEqual([c.args[1].value for c in calls], [0])
        self.assertEqual([c.args[3].value for c in calls], [0])
        self.assertEqual(s.trace.door_commands(), [CLOSED], "another process sent a door command")

    def test_splash_gives_way_to_the_green_lamp_after_a_second(self):
        s = self.session
        about = s.splash_window()
        icon = s.wait_tray_icon(GREEN)
        self.assertEqual(s.lamps(), [(GREEN, icon)])

        adds = s.trace.notify_calls(NIM_ADD, about["pid"])
        self.assertEqual(len(adds), 1, [c.line for c in adds])
        started = s.trace.process_start(about["pid"])
        self.assertIsNotNone(started)
        # Timer granularity: allow a few milliseconds under the second.
        self.assertGreaterEqual(adds[0].time - started, 0.95, "the lamp came before one second")
        self.assertLess(adds[0].time - started, 10)

        later = self.window(about["hwnd"])
        self.assertIsNotNone(later, "the About window was destroyed instead of hidden")
        self.assertFalse(later["visible"], "the About window is still visible with the lamp")

    def test_main_window_is_never_visible(self):
        s = self.session
        s.splash_window()
        seen = []

        def lamp_for_a_while():
            seen.extend(w for w in s.probe.windows() if w["title"] == MAIN_TITLE)
            return s.find_tray_icon(GREEN)
        wait_for(lamp_for_a_while, 20, "the green lamp")
        deadline = time.monotonic() + 1.5
        while time.monotonic() < deadline:
            seen.extend(w for w in s.probe.windows() if w["title"] == MAIN_TITLE)
        self.assertTrue(seen, f"no window titled {MAIN_TITLE!r}")
        self.assertEqual([w for w in seen if w["visible"]], [])
        self.assertEqual([w for w in s.probe.seen_windows
                          if w["title"] == MAIN_TITLE and w["visible"]], [])
        # A flash too short for the polling above still shows in the relay log.
        main, pid = seen[0]["hwnd"] & 0xFFFFFFFF, seen[0]["pid"]
        shown = [c.line for c in s.trace.calls("ShowWindow", pid)
                 if c.args[0].low32 == main and c.args[1].low32 != SW_HIDE]
        shown += [c.line for c in s.trace.calls("SetWindowPos", pid)
                  if c.args[0].low32 == main and c.args[6].low32 & SWP_SHOWWINDOW]
        shown += [c.line for c in s.trace.calls("CreateWindowExW", pid)
                  + s.trace.calls("CreateWindowExA", pid)
                  if c.args[2].text == MAIN_TITLE and c.args[3].low32 & WS_VISIBLE]
        self.assertEqual(shown, [])


class LaunchTraceTest(unittest.TestCase):
    """The start of Lumivo is read from its launcher's trace, whose seconds Wine pads to three
    places: a guest that has just booted writes `  9.870:`."""

    def test_the_start_is_read_at_any_age_of_the_machine(self):
        call = r'Call KERNEL32.CreateProcessW(00000000,003416dc L"Z:\\Lumivo.exe",0) ret=1400086dd'
        for seconds in ("  9.870", " 95.020", "1266.150"):
            with self.subTest(seconds=seconds), tempfile.TemporaryDirectory() as folder:
                log = Path(folder) / "launcher.log"
                log.write_text(f"{seconds}:0128:012c:{call}\n"
                               f"{seconds}:0130:0134:Call PE DLL (proc=7B03CE20)\n"
                               f"{seconds}:0128:012c:Ret  KERNEL32.CreateProcessW() retval=00000001"
                               " ret=1400086dd\n")
                trace = RelayTrace([log])
                created = trace.calls("KERNEL32.CreateProcessW")
                self.assertEqual([c.args[1].text for c in created], ["Z:\\Lumivo.exe"])
                self.assertEqual([trace.result(c) for c in created], [1])
                self.assertEqual(trace.process_start(0x130), float(seconds))
