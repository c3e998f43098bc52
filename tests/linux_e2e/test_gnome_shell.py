"""The lamp on GNOME Shell 43 with the AppIndicator extension, on X11: one shell for the whole
module, a fresh copy of Lumivo for each test. The extension shows the item's exported menu on
a left press and calls Activate only on a double click, SecondaryActivate on a middle click.

TrayHostChecks holds what every desktop's StatusNotifierItem tray is checked for; Plasma's
module shares it."""

import re
import subprocess
import unittest

from linux_session import CLOSE, EJECT, EXE, GREEN, LOG_DIR, RED, Desktop, wait_for
from waiting import wait_settled  # noqa: E402
import gnome_shell  # noqa: E402 (found through linux_session's path)
from test_tray import MENU_ROWS


class TrayHostChecks:
    """One desktop (TRAY, a Desktop's tray; NAME, its logs' and screenshots' prefix) for the
    class, a fresh copy of Lumivo for each test. A desktop names the button that shows its menu
    (MENU_BUTTON) and finds that menu on the screen (menu_box)."""

    TRAY = NAME = None
    MENU_BUTTON = 3

    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop(cls.NAME, tray=cls.TRAY)

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def setUp(self):
        if not EXE.exists():
            self.fail(f"{EXE} is not built (cmake --build --preset linux)")
        self.d = self.desktop
        self.d.name = self.id().rsplit(".", 1)[-1]
        self.d.strace_log.unlink(missing_ok=True)  # the last test's copy
        self.lumivo = self.d.start_lumivo()
        self.addCleanup(self.end_lumivo)

    def end_lumivo(self):
        self.d.save_screenshot("end")
        self.d.key("Escape")
        self.d.stop_lumivo(self.lumivo)
        self.pointer_away()
        wait_for(lambda: not self.d.sni.items(), 10, "the item to leave the tray")

    def pointer_away(self):
        """Off the lamp: GNOME's extension shows a loading icon for a lamp that changes under
        the pointer, Plasma a tool tip."""
        self.d.xdotool("mousemove", 400, 300)

    def menu_box(self, lamp):
        raise NotImplementedError

    def panel_menu(self, lamp, button=None):
        """Clicks the lamp (with the desktop's menu button) and waits for the desktop's menu;
        its lines and item points."""
        d = self.d
        d.click(*lamp, button=button or self.MENU_BUTTON)

        def lines():
            box = self.menu_box(lamp)
            return box and [(kind, (box["x"] + box["width"] // 2, y))
                            for kind, y in d.menu_lines(box)]
        return wait_settled(lines, "the desktop's menu, which fades in")

    def test_the_menu_ejects_and_closes_and_one_item_lives_across_swaps(self):
        d = self.d
        green = d.wait_lamp(GREEN, 20)
        d.save_screenshot("lamp", LOG_DIR / f"{self.NAME}-lamp.png")
        items = d.sni.items()
        self.assertEqual(len(items), 1, items)
        lines = self.panel_menu(green)
        d.save_screenshot("menu", LOG_DIR / f"{self.NAME}-menu.png")
        self.assertEqual([kind for kind, _ in lines], ["item", "separator"] + MENU_ROWS)
        self.assertEqual(d.door_requests(), [CLOSE], "the click moved the door")
        d.click(*lines[0][1])
        d.wait_door_requests([CLOSE, EJECT])
        self.pointer_away()
        red = d.wait_lamp(RED, 10)
        lines = self.panel_menu(red)
        self.assertEqual([kind for kind, _ in lines], ["item"])
        d.click(*lines[0][1])
        d.wait_door_requests([CLOSE, EJECT, CLOSE])
        self.pointer_away()
        d.wait_lamp(GREEN, 10)
        self.assertEqual(d.sni.items(), items, "the swaps made a new tray item")

    def test_about_and_a_message_come_to_the_front_over_the_focused_window(self):
        d = self.d
        green = d.wait_lamp(GREEN, 20)
        other = d._spawn(["xmessage", "-geometry", "400x300+0+40", "another program"])
        self.addCleanup(other.kill)
        focused = wait_for(lambda: d.xdotool("search", "--onlyvisible", "--class",
                                             "Xmessage").split(), 10, "the other program")[0]
        d.xdotool("windowactivate", "--sync", focused)
        d.click(*self.panel_menu(green)[5][1])  # About
        about = d.wait_window(self.lumivo.pid, name="About")
        wait_for(lambda: self.topmost() == about["id"], 5, "About above the focused window")
        about = d.window(self.lumivo.pid, name="About")  # placed clear of the panels
        d.click(about["x"] + 120, about["y"] + 30)
        wait_for(lambda: d.window(self.lumivo.pid, name="About") is None, 5, "About to close")
        # F11 while the other program has the focus: the hotkey acts, and its message (no
        # NetworkManager) comes to the front.
        d.xdotool("windowactivate", "--sync", focused)
        d.key("F11")
        box = wait_for(lambda: d.window(self.lumivo.pid, name="Lumivo", popup=False), 10,
                       "the message")
        wait_for(lambda: self.topmost() == box["id"], 5, "the message above the focused window")
        d.key("Return")

    def topmost(self):
        """The client window the window manager stacks highest."""
        reply = subprocess.run(["xprop", "-display", self.d.display, "-root",
                                "_NET_CLIENT_LIST_STACKING"], capture_output=True,
                               text=True).stdout
        ids = [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", reply)]
        return ids[-1] if ids else None


class GnomeShellTest(TrayHostChecks, unittest.TestCase):
    TRAY, NAME = "gnome", "gnome-shell"
    MENU_BUTTON = 1  # a left press shows the menu; the door stays

    def menu_box(self, lamp):
        return gnome_shell.menu(self.d, lamp)

    def test_a_left_double_and_a_middle_click_eject(self):
        d = self.d
        d.double_click(*d.wait_lamp(GREEN, 20), button=1)
        d.wait_door_requests([CLOSE, EJECT])
        d.key("Escape")
        self.pointer_away()
        # The red lamp's: its right click closes the door.
        lines = self.panel_menu(d.wait_lamp(RED, 10), button=3)
        d.click(*lines[0][1])
        d.wait_door_requests([CLOSE, EJECT, CLOSE])
        d.click(*d.wait_lamp(GREEN, 10), button=2)
        d.wait_door_requests([CLOSE, EJECT, CLOSE, EJECT])


if __name__ == "__main__":
    unittest.main()
