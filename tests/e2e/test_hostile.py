"""Another program throws messages at Lumivo's windows: it must neither crash, hang nor act."""

import os
import random
import unittest

from wine_session import (TrayHostsTestCase, GREEN, MAIN_TITLE, NIM_ADD, NIM_DELETE, RED,
                          TRAY_CALLBACK, WM_CANCELMODE, environment, lamps, ping, post_batch,
                          wait_for, window_tree)

CLOSED, OPEN = "set CDAudio door closed", "set CDAudio door open"
LEFT_DOWN, RIGHT_UP, RIGHT_DOUBLE = 513, 517, 518
MENU_ABOUT = 2
ABOUT_SIZE = (248, 119)
WM_PAINT, WM_USER, WM_APP, WM_TIMER = 0x0F, 0x400, 0x8000, 0x113
OWN_CLASSES = ("Lumivo.Form", "Lumivo.PictureBox")
RANDOM_MESSAGES = 1500
SENT_SHARE = 0.2


def _ranges(*spans):
    out = set()
    for span in spans:
        first, last = span if isinstance(span, tuple) else (span, span)
        out.update(range(first, last + 1))
    return out


# Messages left out of the random stream, and why. What remains carries plain numbers only, so
# whatever it does to Lumivo is Lumivo's doing.
EXCLUDED = _ranges(
    # They end the program or a window by design (WM_CLOSE has a test of its own below).
    0x02, 0x10, 0x11, 0x12, 0x16, 0x82, 0x112,
    # WM_TIMER: test_forged_timer_ticks_* below. (WM_COMMAND stays in: only a click notice
    # carrying one of Lumivo's own button windows acts.)
    WM_TIMER,
    # Pointers in wParam/lParam: a wild one crashes any window in DefWindowProc or in Wine's
    # marshalling. CREATE, SETTEXT, GETTEXT, GETMINMAXINFO, DRAW/MEASURE/DELETEITEM,
    # COMPAREITEM, WINDOWPOS*, COPYGLOBALDATA, COPYDATA, NOTIFY, HELP, STYLECHANG*, NCCREATE,
    # NCCALCSIZE, GETDLGCODE (MSG*), UAH*, SETTINGCHANGE/DEVMODECHANGE (strings), MENUGETOBJECT,
    # SIZING, MOVING, DEVICECHANGE, POWERBROADCAST, NEXTMENU, MDI*, touch/pointer input, IME*,
    # DPICHANGED, tablet, clipboard, GETTITLEBARINFOEX, DDE; WM_SYSTIMER, whose lParam
    # DispatchMessage calls as a timer procedure.
    0x01, 0x0C, 0x0D, 0x1A, 0x1B, 0x24, (0x2B, 0x2D), 0x39, 0x46, 0x47, 0x49, 0x4A, 0x4E, 0x53,
    0x7C, 0x7D, 0x81, 0x83, 0x87, (0x90, 0x9F), 0x118, 0x124, 0x213, 0x214, 0x216, 0x218, 0x219,
    (0x220, 0x23F), (0x240, 0x25F), (0x281, 0x29F), (0x2C0, 0x2E4), (0x300, 0x30F), 0x33F,
    (0x3E0, 0x3EF),
    # Messages of other controls (edit, scroll bar, combo box, static, list box), most with
    # pointers: Wine refuses to post them at all.
    (0xB0, 0xDA), (0xE0, 0xEB), (0x140, 0x165), (0x170, 0x173), (0x180, 0x1B3),
    # Handles (DC, region, font, icon, menu, raw input, gesture, keyboard layout, drop): a
    # stranger's handle reaches Wine's drawing and menu code, not Lumivo's.
    0x14, 0x19, 0x26, 0x27, 0x30, 0x50, 0x80, 0x85, 0x86, 0xFF, 0x116, 0x117, 0x119, 0x11A,
    (0x11F, 0x123), 0x125, 0x126, (0x132, 0x138), 0x233, 0x317, 0x318,
    # DefWindowProc turns these into system commands or modal loops: keys (Alt+F4 closes, F10
    # enters the menu), non-client mouse (caption drag, close box), the system menu
    # (WM_CONTEXTMENU, WM_RBUTTONUP), activation hot keys, redraw off, showing owned popups,
    # app commands for the shell, WM_POPUPSYSTEMMENU.
    (0x100, 0x109), (0xA0, 0xAF), 0x7B, 0x32, 0x0B, 0x18, 0x319, 0x313,
    # Mouse buttons click buttons and the About window's links and panel; BM_* click buttons.
    (0x201, 0x20D), (0xF0, 0xF8),
)


def setUpModule():
    environment()


class HostileMessagesTest(TrayHostsTestCase):
    def setUp(self):
        super().setUp()
        self.adds = len(self.session.notify_calls(NIM_ADD, pid=self.pid))

    # ---- checks

    def assert_alive_with_one_lamp(self, color=GREEN):
        s = self.session
        self.assertEqual(s.lumivo_pids(), [self.pid], "Lumivo.exe is gone")
        self.assertTrue(ping(s), "the main window does not answer a sent WM_NULL")
        wait_for(lambda: [c for c, _ in lamps(s)] == [color], 10,
                 f"exactly one {'green' if color == GREEN else 'red'} lamp in the tray")

    def drain_with_round_trip(self, lines):
        """Appends a left click and a right click on the lamp to posted messages and waits for
        their door commands: posted messages are handled in order, so all before them ran."""
        lines = lines + [f"p {self.closed_host} {TRAY_CALLBACK} 1 {LEFT_DOWN}",
                         f"p {self.open_host} {TRAY_CALLBACK} 1 {RIGHT_UP}"]
        tally = post_batch(self.session, lines, self._testMethodName)
        self.assertEqual(tally["failed"], 0, f"messages not delivered (hung window?): {tally}")
        self.commands += [OPEN, CLOSED]
        wait_for(lambda: self.session.door_commands(pid=self.pid) == self.commands, 30,
                 "the round trip's door commands, and no others")
        return tally

    def assert_nothing_launched(self):
        s = self.session
        for function in ("ShellExecuteA", "CreateProcessW", "ExitWindowsEx", "MessageBoxW",
                         "MessageBoxA"):
            self.assertEqual(s.relay_calls(function, pid=self.pid), [], function)

    def show_about(self):
        s = self.session
        menu = s.open_menu()
        self.assertEqual(len(menu["items"]), 6, menu)
        s.click_menu_item(menu, MENU_ABOUT)
        return s.wait_visible_window(*ABOUT_SIZE, timeout=10)

    # ---- the tests

    def test_random_plain_messages_to_every_window(self):
        s = self.session
        about = self.show_about()
        seed = int(os.environ.get("LUMIVO_HOSTILE_SEED", random.randrange(1 << 32)))
        print(f"\nhostile seed {seed} (LUMIVO_HOSTILE_SEED to repeat)")
        rng = random.Random(seed)
        targets = [(w["hwnd"], w["class"]) for w in window_tree(s)
                   if w["hwnd"] in (self.main, about["hwnd"])
                   or w["parent"] in (self.main, about["hwnd"])]
        classes = sorted({c for _, c in targets})
        self.assertEqual(classes, ["Button", "Lumivo.Form", "Lumivo.PictureBox"], targets)
        self.assertEqual(len(targets), 9, targets)  # 2 forms, 5 picture boxes, 2 buttons
        allowed = [m for m in range(WM_USER) if m not in EXCLUDED]
        numbers = (0, 1, 2, 0xFFFF, 0x8000, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFF)

        def param():
            return rng.choice(numbers) if rng.random() < 0.3 else rng.getrandbits(
                rng.choice((8, 16, 32, 64)))
        lines = []
        for _ in range(RANDOM_MESSAGES):
            hwnd, cls = rng.choice(targets)
            if cls in OWN_CLASSES and rng.random() < 0.1:
                # Lumivo's own classes define no private messages: all must go to DefWindowProc.
                msg = rng.randrange(WM_USER, WM_APP + 0x4000)
            else:
                msg = rng.choice(allowed)
            wparam, lparam = param(), param()
            if msg == TRAY_CALLBACK and (lparam & 0xFFFF) in (LEFT_DOWN, RIGHT_UP, RIGHT_DOUBLE):
                lparam ^= 0x100  # those act by design: the next test sends each
            if msg == WM_PAINT:
                wparam = 0  # buttons would paint into wParam as a DC of someone else's
            kind = "s" if rng.random() < SENT_SHARE else "p"
            lines.append(f"{kind} {hwnd} {msg} {wparam} {lparam}")
        tally = self.drain_with_round_trip(lines)
        print(f"posted {tally['posted']}, sent {tally['sent']}, refused by Wine "
              f"{tally['refused']} {tally['failures'][:3]}")
        self.assert_alive_with_one_lamp()
        self.assert_nothing_launched()
        self.assertTrue(self.window(about["hwnd"])["visible"], "the About window went away")

    def test_every_tray_code_to_both_hosts(self):
        s = self.session
        rng = random.Random(0)
        negative = sorted({0x8000, 0xFFFF} | {rng.randrange(0x8000, 0x10000) for _ in range(126)})
        acting = {(self.closed_host, LEFT_DOWN), (self.closed_host, RIGHT_DOUBLE),
                  (self.open_host, RIGHT_UP)}
        lines = [f"p {host} {TRAY_CALLBACK} 1 {code}"
                 for host in (self.closed_host, self.open_host)
                 for code in list(range(1024)) + negative if (host, code) not in acting]
        notify_before = len(s.relay_calls("Shell_NotifyIconA", pid=self.pid))
        tally = self.drain_with_round_trip(lines)
        self.assertEqual(tally["posted"], len(lines) + 2)
        # Only the round trip touched the tray: its removal and addition, twice.
        self.assertEqual(len(s.relay_calls("Shell_NotifyIconA", pid=self.pid)), notify_before + 4)
        self.assert_alive_with_one_lamp()

        # The three that act, each on its own host.
        s.probe("post", self.closed_host, TRAY_CALLBACK, 1, LEFT_DOWN)
        s.wait_tray_icon(RED)
        s.probe("post", self.open_host, TRAY_CALLBACK, 1, RIGHT_UP)
        s.wait_tray_icon(GREEN)
        self.commands += [OPEN, CLOSED]
        wait_for(lambda: s.door_commands(pid=self.pid) == self.commands, 10, "door commands")
        s.probe("post", self.closed_host, TRAY_CALLBACK, 1, RIGHT_DOUBLE)
        wait_for(s.menu_window, 10, "the popup menu")
        s.probe("post", self.main, WM_CANCELMODE, 0, 0)
        wait_for(lambda: not s.menu_window(), 10, "the menu to close")
        self.assert_alive_with_one_lamp()
        self.assertEqual(s.door_commands(pid=self.pid), self.commands)

    def test_close_request_while_the_menu_is_open(self):
        s = self.session
        deletes = len(s.notify_calls(NIM_DELETE, pid=self.pid))
        s.open_menu()
        self.assertTrue(s.post_close(MAIN_TITLE), f"no window titled {MAIN_TITLE!r}")
        self.wait_process_ended()
        self.wait_no_lamp()
        self.assertIsNone(s.menu_window(), "the menu outlived the program")
        self.assertEqual(len(s.notify_calls(NIM_DELETE, pid=self.pid)), deletes + 1)

    def test_taskbar_restart_while_about_is_shown(self):
        s = self.session
        about = self.show_about()
        self.assertTrue(s.broadcast("TaskbarCreated"))
        wait_for(lambda: len(s.notify_calls(NIM_ADD, pid=self.pid)) == self.adds + 1, 10,
                 "the lamp to be added again")
        self.assert_alive_with_one_lamp()
        self.assert_stays_visible(about["hwnd"], 0.5)

    # A forged tick of the stopped start-up timer must not add the closed-door lamp beside the
    # open-door one, which would then be left behind when Lumivo ends.
    def test_forged_timer_ticks_leave_no_lamp_behind(self):
        s = self.session
        s.probe("send", self.closed_host, TRAY_CALLBACK, 1, LEFT_DOWN)
        s.wait_tray_icon(RED)
        lines = [f"p {self.main} {WM_TIMER} {timer} 0" for timer in range(64)]
        lines.append(f"p {self.main} 16 0 0")  # WM_CLOSE, after the ticks
        self.assertEqual(post_batch(s, lines, "timers")["failed"], 0)
        self.wait_process_ended()
        self.wait_no_lamp(timeout=5)  # the process is gone: its deletions are done


if __name__ == "__main__":
    unittest.main()
