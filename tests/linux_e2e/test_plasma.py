"""The lamp on Plasma 5.27's system tray, on X11 under KWin: one desktop for the whole module, a
fresh copy of Lumivo for each test. Plasma calls Activate on a left click and SecondaryActivate
on a middle one, and shows the item's exported menu on a right click rather than calling
ContextMenu; a right click while that menu is up shuts it."""

import time
import unittest

from linux_session import CLOSE, EJECT, GREEN, RED
import plasma
from test_gnome_shell import TrayHostChecks


class PlasmaTest(TrayHostChecks, unittest.TestCase):
    TRAY = NAME = "plasma"

    def menu_box(self, lamp):
        return plasma.menu(self.d)

    def assert_no_menu_and_door_stays(self, requests):
        time.sleep(1)  # for a menu or a door request the clicks would bring
        self.assertIsNone(plasma.menu(self.d), "a menu stayed open")
        self.assertEqual(self.d.door_requests(), requests)

    def test_a_left_and_a_middle_click_eject_and_the_red_lamp_closes_from_its_menu(self):
        d = self.d
        # The double click's second half reaches the red lamp, which hears no left click.
        d.double_click(*d.wait_lamp(GREEN, 20), button=1)
        d.wait_door_requests([CLOSE, EJECT])
        self.pointer_away()
        red = d.wait_lamp(RED, 10)
        d.click(*red, button=1)
        d.click(*red, button=2)
        self.assert_no_menu_and_door_stays([CLOSE, EJECT])
        d.click(*self.panel_menu(red)[0][1])
        d.wait_door_requests([CLOSE, EJECT, CLOSE])
        self.pointer_away()
        green = d.wait_lamp(GREEN, 10)
        # The tip's right double click: the second click shuts the menu if it is up by then.
        d.double_click(*green, button=3)
        time.sleep(1)
        d.key("Escape")
        self.assert_no_menu_and_door_stays([CLOSE, EJECT, CLOSE])
        d.click(*green, button=2)
        d.wait_door_requests([CLOSE, EJECT, CLOSE, EJECT])


if __name__ == "__main__":
    unittest.main()
