"""The lamp in the tray: splash, tool tip, door requests, the right-click menu, About, exit; on
trayer (XEmbed) and on Xfce's Status Tray (StatusNotifierItem), and a tray that comes late."""

import re
import subprocess
import time
import unittest
from pathlib import Path

from linux_session import CLOSE, EJECT, EXE, GREEN, LOG_DIR, RED, LumivoTestCase, wait_for

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

    def test_a_right_double_click_opens_the_menu_and_no_click_of_a_quick_pair_is_lost(self):
        d = self.desktop
        green = self.wait_in_tray()
        d.double_click(*green, button=3)
        menu = wait_for(lambda: d.menu(self.lumivo.pid), 5, "the menu")
        time.sleep(0.5)
        self.assertEqual(d.menu(self.lumivo.pid), menu, "the second click chose an item")
        d.key("Escape")
        wait_for(lambda: d.menu(self.lumivo.pid) is None, 5, "the menu to close")
        # A right click on red and at once one on the green lamp it turned into.
        d.click(*green, button=1)
        d.double_click(*d.wait_lamp(RED), button=3)
        wait_for(lambda: d.menu(self.lumivo.pid), 5, "the menu after the door closed")
        self.assertEqual(d.door_requests(), [CLOSE, EJECT, CLOSE])
        d.key("Escape")
        self.assert_running()

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


class SessionEndTest(LumivoTestCase):
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


class StatusNotifierTrayTest(LumivoTestCase):
    """Xfce shows the item's exported menu on a right click; Plasma calls ContextMenu."""

    TRAY = "xfce"

    def exported_menu(self, lamp, lines):
        """Right-clicks the lamp and waits for the panel's menu with that many items."""
        d = self.desktop
        d.click(*lamp, button=3)
        menu = wait_for(lambda: d.menu(None) or d.window(None, popup=True, min_height=25), 5,
                        "the exported menu")
        self.assertIsNone(d.menu(self.lumivo.pid), "Lumivo's own menu came too")
        return wait_for(lambda: (lambda i: i if len(i) == lines else None)(d.menu_items(menu)), 5,
                        f"{lines} items in the exported menu, have {d.menu_rows(menu)}")

    def test_real_clicks_reach_the_door_and_every_menu_item(self):
        d = self.desktop
        green = self.wait_in_tray()
        items = d.sni.items()
        self.assertEqual(len(items), 1, items)
        d.click(*green, button=1)
        red = d.wait_lamp(RED)
        d.wait_door_requests([CLOSE, EJECT])
        # The red lamp's menu holds its right click: the door closes, and no menu follows.
        d.click(*self.exported_menu(red, 1)[0])
        green = d.wait_lamp(GREEN)
        d.wait_door_requests([CLOSE, EJECT, CLOSE])
        time.sleep(0.5)
        self.assertIsNone(d.menu(self.lumivo.pid))
        self.assertEqual(d.sni.items(), items, "the swaps made a new tray item")

        # The green lamp's menu holds its left click, a line, and Lumivo's own nine lines.
        d.click(*self.exported_menu(green, 7)[0])
        d.wait_door_requests([CLOSE, EJECT, CLOSE, EJECT])
        d.click(*self.exported_menu(d.wait_lamp(RED), 1)[0])
        green = d.wait_lamp(GREEN)
        d.click(*self.exported_menu(green, 7)[3])
        d.wait_window(self.lumivo.pid, name="About")
        d.click(120, 30)
        wait_for(lambda: d.window(self.lumivo.pid, name="About") is None, 5, "About to close")
        d.click(*self.exported_menu(green, 7)[5])
        self.message_box()
        d.key("Return")
        wait_for(lambda: d.window(self.lumivo.pid, name="Lumivo") is None, 5, "the box to close")
        menu = self.exported_menu(d.wait_lamp(GREEN), 7)
        self.assertEqual(d.menu_rows(d.menu(None)), ["item", "separator"] + MENU_ROWS)
        d.click(*menu[1])
        self.wait_ended()
        self.assertEqual(d.door_requests(), [CLOSE, EJECT, CLOSE, EJECT, CLOSE])

    def test_activate_and_context_menu_over_the_bus_act_as_the_clicks(self):
        d = self.desktop
        self.wait_in_tray()
        items = d.sni.items()
        self.assertTrue(d.sni.click_item(items[0], "Activate"))
        d.wait_lamp(RED)
        d.wait_door_requests([CLOSE, EJECT])
        self.assertTrue(d.sni.click_item(items[0], "ContextMenu"))
        d.wait_lamp(GREEN)
        d.wait_door_requests([CLOSE, EJECT, CLOSE])
        time.sleep(0.5)
        self.assertIsNone(d.menu(self.lumivo.pid), "the close also opened the menu")
        self.assertTrue(d.sni.click_item(items[0], "ContextMenu"))
        menu = wait_for(lambda: d.menu(self.lumivo.pid), 5, "Lumivo's menu")
        wait_for(lambda: d.menu_rows(menu) == MENU_ROWS, 5,
                 f"the menu's nine lines, have {d.menu_rows(menu)}")
        d.key("Escape")
        # A middle click: the door opens, as with a left click.
        self.assertTrue(d.sni.click_item(items[0], "SecondaryActivate"))
        d.wait_lamp(RED)
        # Two right clicks at once, on red then green: the door closes and the menu opens.
        self.assertTrue(d.sni.click_item(items[0], "ContextMenu"))
        self.assertTrue(d.sni.click_item(items[0], "ContextMenu"))
        wait_for(lambda: d.menu(self.lumivo.pid), 5, "Lumivo's menu after the second click")
        d.key("Escape")
        self.assertEqual(d.sni.items(), items, "the swaps made a new tray item")
        self.assertEqual(d.door_requests(), [CLOSE, EJECT, CLOSE, EJECT, CLOSE])


class LateTrayTest(LumivoTestCase):
    """An autostart race: the session bus is there, the panel comes after Lumivo."""

    TRAY = None
    SESSION_BUS = True

    def second_copy_message(self):
        """The pixels of the box a second copy shows, which it then closes."""
        d = self.desktop
        second = d.start_lumivo(traced=False)
        box = self.message_box(pid=second.pid)
        time.sleep(0.3)
        shot = d.screenshot()
        pixels = [shot.pixel(x, y) for y in range(box["y"], box["y"] + box["height"])
                  for x in range(box["x"], box["x"] + box["width"])]
        d.key("Return")
        wait_for(lambda: second.poll() is not None, 5, "the second copy to end")
        return pixels

    def test_told_once_without_a_tray_then_the_lamp_when_a_panel_comes(self):
        d = self.desktop
        notice = self.message_box(timeout=15)
        # The hotkeys act with the notice open, and the retries do not repeat it.
        d.hold("KP_Divide", 0.2)
        wait_for(lambda: EJECT in d.door_requests(), 5, "an eject behind the notice")
        time.sleep(1.5)
        self.assertEqual([w["id"] for w in d.windows(self.lumivo.pid) if w["name"] == "Lumivo"],
                         [notice["id"]])
        d.key("Return")
        wait_for(lambda: d.window(self.lumivo.pid, name="Lumivo") is None, 5, "the notice to close")
        # A second copy does not send the user to a lamp that is not there.
        without_tray = self.second_copy_message()

        # A tray may take the XEmbed selection before a StatusNotifierItem host is on the bus,
        # as Xfce's own does: here trayer's, a moment before Xfce's host.
        d.start_tray("trayer")
        d.start_tray("xfce")
        self.wait_in_tray()
        self.assertEqual(len(d.sni.items()), 1, "the lamp went to the XEmbed tray")
        self.assertNotEqual(self.second_copy_message(), without_tray,
                            "the same message with and without a tray")
        self.assert_running()


class LateXEmbedTrayTest(LumivoTestCase):
    """A tray with XEmbed alone comes after the notice, where there is a session bus."""

    TRAY = None
    SESSION_BUS = True

    def test_the_lamp_comes_when_no_host_follows(self):
        self.message_box(timeout=15)
        self.desktop.key("Return")
        self.desktop.start_tray("trayer")
        self.wait_in_tray()


class DoorCommandLineTest(LumivoTestCase):
    """lumivo --door beside a running copy, and the running lamp following a door moved
    elsewhere. The drives are regular files; a shim loaded into lumivo answers the tray's
    status request with the number in the drive's ".status" file, strace the door requests."""

    SESSION_BUS = True
    TRAY_OPEN, NO_INFO, NO_DISC = 2, 0, 1  # linux/cdrom.h's CDS_ values

    @classmethod
    def setUpClass(cls):
        cls.shim = LOG_DIR.parent / "drive_status.so"
        cls.shim.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["cc", "-shared", "-fPIC", "-o", str(cls.shim),
                        str(Path(__file__).with_name("drive_status.c"))], check=True, timeout=60)

    def set_up_services(self, services):
        self.second = self.desktop.dir / "cdrom2"
        self.second.write_bytes(b"")
        services.udisks2(self.desktop.cdrom, disc=False, more_devices=[str(self.second)])
        self.desktop.extra_env["LD_PRELOAD"] = str(self.shim)

    def door(self, *arguments, error=None):
        """lumivo --door with the drives' requests traced and answered (0, or that errno):
        its exit status, its standard error and the door requests on each drive."""
        log = self.desktop.dir / "door.strace"
        answer = f"error={error}" if error else "retval=0"
        run = subprocess.run(["strace", "-f", "-qq", "-y", "-P", str(self.desktop.cdrom),
                              "-P", str(self.second), "-e", "trace=ioctl",
                              "-e", f"inject=ioctl:{answer}", "-o", str(log), str(EXE), "--door",
                              *arguments], env=self.desktop.env(), capture_output=True,
                             text=True, timeout=30)
        text = log.read_text()
        requests = {drive: re.findall(r"<" + re.escape(str(drive)) + f">, ({EJECT}|{CLOSE})",
                                      text) for drive in (self.desktop.cdrom, self.second)}
        return run.returncode, run.stderr, requests[self.desktop.cdrom], requests[self.second]

    def test_door_command_lines_move_their_drive_and_the_running_lamp_follows(self):
        d = self.desktop
        self.wait_in_tray()
        self.assertEqual(self.door("open"), (0, "", [EJECT], []))
        d.wait_lamp(RED)
        # The drive cannot tell (no status), so the toggle goes by the running lamp: it closes.
        self.assertEqual(self.door("toggle"), (0, "", [CLOSE], []))
        d.wait_lamp(GREEN)
        self.assertEqual(self.door("close", "E:"), (0, "", [], [CLOSE]))
        code, said, *_ = self.door("open", "D:", error="EIO")
        self.assertEqual(code, 1)
        self.assertIn("Input/output error", said)
        code, said, *_ = self.door("open", "F:")
        self.assertEqual((code, said), (1, "lumivo: no such optical drive (F:)\n"))
        time.sleep(1)
        self.assertEqual(len(d.lamps(GREEN)), 1, "a refused or another drive's move swapped it")
        self.assertEqual(d.door_requests(), [CLOSE], "the running copy moved the door itself")
        self.assert_running()

    def test_a_door_moved_elsewhere_swaps_the_lamp_and_is_looked_at_without_holding_it(self):
        d = self.desktop
        status = Path(f"{d.cdrom}.status")
        self.wait_in_tray()
        status.write_text(f"{self.TRAY_OPEN}\n")
        d.wait_lamp(RED, timeout=5)
        status.write_text(f"{self.NO_INFO}\n")
        time.sleep(2.5)
        self.assertEqual(len(d.lamps(RED)), 1, "a drive that tells nothing swapped the lamp")
        status.write_text(f"{self.NO_DISC}\n")
        d.wait_lamp(GREEN, timeout=5)
        self.assertEqual(d.door_requests(), [CLOSE], "the swaps sent door requests")
        # A toggle goes by the drive where it tells: the stand-in's tray stays shut after the
        # eject, so the second toggle opens again although the lamp (told by the first) is red.
        self.assertEqual(self.door("toggle"), (0, "", [EJECT], []))
        d.wait_lamp(RED)
        self.assertEqual(self.door("toggle"), (0, "", [EJECT], []), "it went by the lamp")
        # Every look opens the drive read-only and non-blocking, and closes it before the next,
        # at most once a second.
        drive = re.escape(str(d.cdrom))
        calls = re.findall(r"^\d+ +([\d.]+) (?:openat\(.*\"" + drive + r"\", (\S+)\) = (\d+)|"
                           r"close\((\d+)<" + drive + r">\))", d.strace_log.read_text(), re.M)
        opens = [(float(t), flags) for t, flags, _, _ in calls if flags]
        self.assertGreaterEqual(len(opens), 5)
        self.assertEqual({flags for _, flags in opens}, {"O_RDONLY|O_NONBLOCK|O_CLOEXEC"})
        held = 0
        for _, flags, opened, closed in calls:
            held += 1 if flags else -1
            self.assertIn(held, (0, 1), "a descriptor of the drive was kept open")
        looks = [t for t, _ in opens[1:]]  # the first open is the start's close request
        self.assertGreaterEqual(min(b - a for a, b in zip(looks, looks[1:])), 0.95)


if __name__ == "__main__":
    unittest.main()
