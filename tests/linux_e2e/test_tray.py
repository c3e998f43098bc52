"""The lamp in the tray: splash, tool tip, door requests, the right-click menu, About, exit."""

import time
import unittest

from linux_session import CLOSE, EJECT, GREEN, RED, LumivoTestCase, wait_for
from system_services import ServicesTestCase

MENU_ROWS = ["item", "separator", "item", "item", "separator", "item", "separator", "item", "item"]


class StartUpTest(LumivoTestCase):
    def test_splash_for_a_second_then_the_green_lamp_with_its_tip(self):
        d = self.desktop
        about = d.wait_window(self.lumivo.pid, name="About", timeout=5)
        self.assertEqual((about["x"], about["y"], about["width"], about["height"]),
                         (0, 0, 248, 119))
        d.wait_door_requests([CLOSE])
        self.assertEqual(d.lamps(GREEN), [], "the lamp came before the splash was over")
        green = self.wait_in_tray()
        self.assertGreaterEqual(time.monotonic() - self.started, 1.0)
        self.assertIsNone(d.window(self.lumivo.pid, name="About"), "the splash stayed")
        self.assertEqual(d.lamps(RED), [])

        d.xdotool("mousemove", green[0], green[1])
        tip = wait_for(lambda: d.tool_tip(self.lumivo.pid), 5, "the tool tip")
        # The closed-door tip is a long line of Chinese text, not an empty or cut one.
        self.assertGreater(tip["width"], 250, tip)


class TrayClickTest(LumivoTestCase):
    def test_left_click_ejects_and_right_click_on_red_closes(self):
        d = self.desktop
        d.click(*self.wait_in_tray(), button=1)
        red = d.wait_lamp(RED)
        d.wait_door_requests([CLOSE, EJECT])
        self.assertEqual(d.lamps(GREEN), [])

        d.click(*red, button=3)
        d.wait_lamp(GREEN)
        d.wait_door_requests([CLOSE, EJECT, CLOSE])
        self.assertEqual(d.lamps(RED), [])
        time.sleep(0.5)
        self.assertIsNone(d.menu(self.lumivo.pid),
                          "the click that closed the door also opened the menu")

    def test_right_click_on_green_opens_the_nine_line_menu(self):
        d = self.desktop
        menu = self.open_menu()
        rows = wait_for(lambda: (lambda r: r if r == MENU_ROWS else None)(d.menu_rows(menu)), 5,
                        f"the menu's nine lines, have {d.menu_rows(menu)}")
        self.assertEqual(rows, MENU_ROWS)
        d.key("Escape")
        wait_for(lambda: d.menu(self.lumivo.pid) is None, 5, "the menu to close")
        self.assertEqual(d.door_requests(), [CLOSE], "the menu moved the door")
        self.assertEqual(len(d.lamps(GREEN)), 1)
        self.assert_running()


class MenuTest(LumivoTestCase):
    def test_exit_removes_the_lamp_and_ends(self):
        d = self.desktop
        self.open_menu()
        d.key("Down", "Return")
        self.wait_ended()
        self.assertEqual(d.lamps(GREEN) + d.lamps(RED), [])
        self.assertEqual(d.door_requests(), [CLOSE], "no door request at the end")

    def test_about_shows_again_and_its_upper_panel_closes_it(self):
        d = self.desktop
        self.open_menu()
        d.key("Down", "Down", "Down", "Return")
        about = d.wait_window(self.lumivo.pid, name="About")
        self.assertEqual((about["x"], about["y"], about["width"]), (0, 0, 248))
        d.click(120, 30)
        wait_for(lambda: d.window(self.lumivo.pid, name="About") is None, 5, "About to close")
        self.assert_running()
        self.assertEqual(len(d.lamps(GREEN)), 1)

    def test_a_refused_restart_is_reported_and_lumivo_stays(self):
        d = self.desktop
        self.open_menu()
        d.key(*["Down"] * 5, "Return")
        self.message_box()
        d.key("Return")
        wait_for(lambda: d.window(self.lumivo.pid, name="Lumivo") is None, 5, "the box to close")
        self.assertEqual(len(d.lamps(GREEN)), 1, "the lamp is back")
        self.assert_running()


class SessionEndTest(ServicesTestCase):
    """Restart and shut down go to the session manager that runs, else to logind."""

    RESTART, SHUT_DOWN = ["Down"] * 5 + ["Return"], ["Down"] * 6 + ["Return"]
    MANAGERS = {
        "gnome": ("org.gnome.SessionManager", "/org/gnome/SessionManager",
                  "org.gnome.SessionManager", {"Reboot": "", "Shutdown": ""}),
        "kde": ("org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown",
                {"logoutAndReboot": "", "logoutAndShutdown": ""}),
        "ksmserver": ("org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface",
                      {"logout": "iii"}),
        "xfce": ("org.xfce.SessionManager", "/org/xfce/SessionManager",
                 "org.xfce.Session.Manager", {"Restart": "b", "Shutdown": "b"}),
    }

    def set_up_services(self, services):
        self.logind = services.mock("system", "org.freedesktop.login1", template="logind")
        services.start_bus("session")
        desktop = self._testMethodName.rsplit("_", 1)[-1]
        if desktop in self.MANAGERS:
            name, path, interface, methods = self.MANAGERS[desktop]
            self.manager = services.session_manager(
                name, path, interface, {m: (signature, "") for m, signature in methods.items()})

    def choose(self, keys, manager, method):
        self.open_menu()
        self.desktop.key(*keys)
        calls = wait_for(lambda: manager.calls(method), 10, f"{method}")
        self.wait_ended()
        return calls

    def test_restart_on_gnome(self):
        self.choose(self.RESTART, self.manager, "Reboot")
        self.assertEqual(self.logind.calls("Reboot"), [])

    def test_shut_down_on_kde(self):
        self.choose(self.SHUT_DOWN, self.manager, "logoutAndShutdown")
        self.assertEqual(self.logind.calls("PowerOff"), [])

    def test_restart_on_ksmserver(self):
        calls = self.choose(self.RESTART, self.manager, "logout")
        self.assertEqual(calls[0][2], "0 1 0", "no confirmation of its own, reboot, scheduled")

    def test_restart_on_xfce(self):
        calls = self.choose(self.RESTART, self.manager, "Restart")
        self.assertEqual(calls[0][2], "True", "applications may save their work")

    def test_shut_down_with_logind_alone(self):
        calls = self.choose(self.SHUT_DOWN, self.logind, "PowerOff")
        self.assertEqual(calls[0][2], "True", "interactive: polkit may ask for a password")

    def test_keys_act_while_a_refusal_is_awaited_from_logind(self):
        # As while polkit waits for a password: the answer, a refusal, comes after 3 s.
        self.services.add_method(
            "system", "org.freedesktop.login1", "/org/freedesktop/login1",
            "org.freedesktop.login1.Manager", "PowerOff", "b", "",
            "time.sleep(3); raise dbus.exceptions.DBusException('Access denied',"
            " name='org.freedesktop.DBus.Error.AccessDenied')")
        d = self.desktop
        self.open_menu()
        d.key(*self.SHUT_DOWN)
        asked = wait_for(lambda: self.logind.calls("PowerOff"), 10, "PowerOff")[0][0]
        d.hold("KP_Divide", 0.1)
        wait_for(lambda: EJECT in d.door_requests(), 5, "an eject")
        self.assertLess(d.door_request_times("CDROMEJECT")[0], asked + 3, "the key waited")
        self.assertEqual(d.lamps(GREEN), [], "the lamp came back before the answer")
        self.message_box()
        d.key("Return")
        d.wait_lamp(GREEN)
        self.assert_running()


if __name__ == "__main__":
    unittest.main()
