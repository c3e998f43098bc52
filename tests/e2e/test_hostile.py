"""Another program throws messages at Lumivo's windows: it must neither crash, hang nor act."""

import random

from cases import TrayHostsTestCase, seeded_random
from lumivo import (CLOSED, GREEN, LEFT_DOWN, MAIN_TITLE, NIM_ADD, NIM_DELETE, OPEN, OWN_CLASSES,
                    RED, RIGHT_DOUBLE, RIGHT_UP, TRAY_CALLBACK, WM_CANCELMODE, WM_CLOSE, WM_TIMER)
from waiting import wait_for

WM_PAINT, WM_USER, WM_APP = 0x0F, 0x400, 0x8000
RANDOM_MESSAGES = 1500
SENT_SHARE = 0.2


def _ranges(*spans):
    """Message numbers, alone or as (first, last)."""
    return {m for s in spans for m in (range(s[0], s[1] + 1) if isinstance(s, tuple) else [s])}


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


class HostileMessagesTest(TrayHostsTestCase):
    def setUp(self):
        super().setUp()
        self.adds = len(self.session.trace.notify_calls(NIM_ADD, self.pid))

    def assert_alive_with_one_lamp(self):
        self.assert_alive()
        wait_for(lambda: [c for c, _ in self.session.lamps()] == [GREEN], 10,
                 "exactly one green lamp in the tray")

    def drain_with_round_trip(self, lines):
        """Appends a left click and a right click on the lamp to posted messages and waits for
        their door commands: posted messages are handled in order, so all before them ran."""
        lines = lines + [f"p {self.closed_host} {TRAY_CALLBACK} 1 {LEFT_DOWN}",
                         f"p {self.open_host} {TRAY_CALLBACK} 1 {RIGHT_UP}"]
        tally = self.session.probe.batch(lines, self._testMethodName)
        self.assertEqual(tally["failed"], 0, f"messages not delivered (hung window?): {tally}")
        self.commands += [OPEN, CLOSED]
        wait_for(lambda: self.door_commands() == self.commands, 30,
                 "the round trip's door commands, and no others")
        return tally

    def assert_nothing_launched(self):
        s = self.session
        for function in ("ShellExecuteA", "CreateProcessW", "ExitWindowsEx", "MessageBoxW",
                         "MessageBoxA"):
            self.assertEqual(s.trace.calls(function, self.pid), [], function)

    def test_random_plain_messages_to_every_window(self):
        s = self.session
        about = self.show_about()
        rng = seeded_random("LUMIVO_HOSTILE_SEED")
        targets = [(w["hwnd"], w["class"]) for w in s.probe.tree()
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
        notify_before = len(s.trace.calls("Shell_NotifyIconA", self.pid))
        tally = self.drain_with_round_trip(lines)
        self.assertEqual(tally["posted"], len(lines) + 2)
        # Only the round trip touched the tray: its removal and addition, twice.
        self.assertEqual(len(s.trace.calls("Shell_NotifyIconA", self.pid)), notify_before + 4)
        self.assert_alive_with_one_lamp()

        # The three that act, each on its own host.
        s.probe.post(self.closed_host, TRAY_CALLBACK, 1, LEFT_DOWN)
        s.wait_tray_icon(RED)
        s.probe.post(self.open_host, TRAY_CALLBACK, 1, RIGHT_UP)
        s.wait_tray_icon(GREEN)
        self.commands += [OPEN, CLOSED]
        wait_for(lambda: self.door_commands() == self.commands, 10, "door commands")
        s.probe.post(self.closed_host, TRAY_CALLBACK, 1, RIGHT_DOUBLE)
        wait_for(s.probe.menu_window, 10, "the popup menu")
        s.probe.post(self.main, WM_CANCELMODE, 0, 0)
        wait_for(lambda: not s.probe.menu_window(), 10, "the menu to close")
        self.assert_alive_with_one_lamp()
        self.assertEqual(self.door_commands(), self.commands)

    def test_close_request_while_the_menu_is_open(self):
        s = self.session
        deletes = len(s.trace.notify_calls(NIM_DELETE, self.pid))
        s.open_menu()
        self.assertTrue(s.probe.close(MAIN_TITLE), f"no window titled {MAIN_TITLE!r}")
        self.wait_process_ended()
        self.wait_no_lamp()
        self.assertIsNone(s.probe.menu_window(), "the menu outlived the program")
        self.assertEqual(len(s.trace.notify_calls(NIM_DELETE, self.pid)), deletes + 1)

    def test_taskbar_restart_while_about_is_shown(self):
        s = self.session
        about = self.show_about()
        self.assertTrue(s.probe.broadcast("TaskbarCreated"))
        wait_for(lambda: len(s.trace.notify_calls(NIM_ADD, self.pid)) == self.adds + 1, 10,
                 "the lamp to be added again")
        self.assert_alive_with_one_lamp()
        self.assert_stays_visible(about["hwnd"], 0.5)

    # A forged tick of the stopped start-up timer must not add the closed-door lamp beside the
    # open-door one, which would then be left behind when Lumivo ends.
    def test_forged_timer_ticks_leave_no_lamp_behind(self):
        s = self.session
        s.probe.send(self.closed_host, TRAY_CALLBACK, 1, LEFT_DOWN)
        s.wait_tray_icon(RED)
        lines = [f"p {self.main} {WM_TIMER} {timer} 0" for timer in range(64)]
        lines.append(f"p {self.main} {WM_CLOSE} 0 0")  # after the ticks
        self.assertEqual(s.probe.batch(lines, "timers")["failed"], 0)
        self.wait_process_ended()
        self.wait_no_lamp(timeout=5)  # the process is gone: its deletions are done
