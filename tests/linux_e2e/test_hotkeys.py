"""The hotkeys under X11: door keys held, and a launcher whose program Linux lacks; without X
or in a Wayland session with Xwayland, through the GlobalShortcuts portal, or said to be
unavailable."""

import re
import time
import unittest
from pathlib import Path

from linux_session import CLOSE, EJECT, GREEN, RED, LumivoTestCase, wait_for
from system_services import fake_file_manager

PORTAL_MOCK = Path(__file__).with_name("global_shortcuts_portal.py")


class HotkeyTest(LumivoTestCase):
    def test_held_keypad_divide_and_multiply_send_the_door_requests(self):
        d = self.desktop
        self.wait_in_tray()
        d.hold("KP_Divide", 0.3)
        wait_for(lambda: d.door_requests().count(EJECT) >= 2, 5, "repeated ejects")
        self.assertEqual(set(d.door_requests()[1:]), {EJECT})
        d.hold("KP_Multiply", 0.3)
        wait_for(lambda: d.door_requests().count(CLOSE) >= 3, 5, "repeated closes")
        self.assertEqual(d.door_requests()[-1], CLOSE)
        # The keys leave the lamp as it was, and the slash of the main keyboard does nothing.
        self.assertEqual(len(d.lamps(GREEN)), 1)
        count = len(d.door_requests())
        d.hold("slash", 0.3)
        time.sleep(0.2)
        self.assertEqual(len(d.door_requests()), count)

    def test_f11_without_network_manager_reports_once_and_lumivo_keeps_running(self):
        d = self.desktop
        self.wait_in_tray()
        d.hold("F11", 0.3)
        box = self.message_box()
        time.sleep(0.3)
        boxes = [w for w in d.windows(self.lumivo.pid) if w["name"] == "Lumivo"]
        self.assertEqual([b["id"] for b in boxes], [box["id"]], "one box for one press")
        # The box came from a tick of the hotkeys' timer, which goes on ticking inside it.
        d.hold("KP_Divide", 0.2)
        wait_for(lambda: EJECT in d.door_requests(), 5, "an eject with the box open")
        d.key("Return")
        wait_for(lambda: d.window(self.lumivo.pid, name="Lumivo") is None, 5, "the box to close")
        self.assert_running()
        self.assertEqual(len(d.lamps(GREEN)), 1)
        d.hold("KP_Multiply", 0.2)
        wait_for(lambda: d.door_requests()[-1] == CLOSE, 5, "a close after the box")


class NetworkManagerTest(LumivoTestCase):
    def set_up_services(self, services):
        self.network = services.network_manager("163")

    def test_f11_brings_up_163_and_f12_without_its_connection_is_told(self):
        d = self.desktop
        self.wait_in_tray()
        d.hold("F11", 0.3)
        activations = wait_for(lambda: self.network.calls("ActivateConnection"), 10,
                               "the activation of 163")
        self.assertIn("/org/freedesktop/NetworkManager/Settings/0", activations[0][2])
        time.sleep(0.5)
        self.assertIsNone(d.window(self.lumivo.pid, name="Lumivo"), "nothing to tell")
        # No connection "Norbek-163": a message, and nothing is brought up.
        d.hold("F12", 0.3)
        self.message_box()
        self.assertEqual(len(self.network.calls("ActivateConnection")), 1)


class DiscTest(LumivoTestCase):
    """A drive that UDisks2 knows, with or without a disc, mounted or not."""

    MOUNTED = "/media/lumivo/DISC"
    DRIVES = {
        "test_opening_unmounts_the_disc_before_the_eject": dict(mounted=MOUNTED),
        "test_a_disc_in_use_is_told_and_not_ejected": dict(
            mounted=MOUNTED, unmount_error="org.freedesktop.UDisks2.Error.DeviceBusy"),
        "test_the_browser_mounts_the_disc_before_opening_its_folder": dict(),
        "test_keypad_add_with_no_disc_says_so": dict(disc=False),
        "test_a_slow_unmount_leaves_the_lamp_working_and_the_order_kept": dict(
            mounted=MOUNTED, unmount_delay=3),
        "test_an_eject_the_drive_refuses_is_told_and_a_refused_close_is_not": dict(),
    }

    def set_up_services(self, services):
        self.udisks = services.udisks2(self.desktop.cdrom, **self.DRIVES[self._testMethodName])
        if "refuses" in self._testMethodName:
            self.desktop.door_error = "EBUSY"
        self.opened, self.desktop.extra_env["PATH"] = fake_file_manager(services.dir)

    def test_opening_unmounts_the_disc_before_the_eject(self):
        d = self.desktop
        d.click(*self.wait_in_tray())
        d.wait_door_requests([CLOSE, EJECT])
        unmounts = self.udisks.calls("Unmount")
        self.assertEqual(len(unmounts), 1)
        self.assertLessEqual(unmounts[0][0], d.door_request_times(EJECT)[0])

    def test_a_disc_in_use_is_told_and_not_ejected(self):
        d = self.desktop
        d.click(*self.wait_in_tray())
        self.message_box()
        self.assertEqual(len(self.udisks.calls("Unmount")), 1)
        self.assertEqual(d.door_requests(), [CLOSE])
        d.key("Return")
        self.assert_running()

    def test_the_browser_mounts_the_disc_before_opening_its_folder(self):
        self.open_menu()
        self.desktop.key("Down", "Down", "Down", "Down", "Return")
        wait_for(self.opened.exists, 10, "the file manager")
        opened_at, url = self.opened.read_text().split()[:2]
        self.assertEqual(url, "file:///media/lumivo/DISC")
        mounts = self.udisks.calls("Mount")
        self.assertEqual(len(mounts), 1)
        self.assertLessEqual(mounts[0][0], float(opened_at))

    def test_an_eject_the_drive_refuses_is_told_and_a_refused_close_is_not(self):
        d = self.desktop
        d.click(*self.wait_in_tray())
        self.message_box()
        self.assertEqual(d.door_requests(), [CLOSE, EJECT])
        boxes = [w for w in d.windows(self.lumivo.pid) if w["name"] == "Lumivo"]
        self.assertEqual(len(boxes), 1, "the start's refused close said nothing")

    def test_keypad_add_with_no_disc_says_so(self):
        self.wait_in_tray()
        self.desktop.hold("KP_Add", 0.2)
        self.message_box()
        self.assertFalse(self.opened.exists())
        self.assertEqual(self.udisks.calls("Mount"), [])

    def test_a_slow_unmount_leaves_the_lamp_working_and_the_order_kept(self):
        d = self.desktop
        d.click(*self.wait_in_tray())
        d.click(*d.wait_lamp(RED), button=3)
        d.wait_lamp(GREEN)
        self.assertEqual(d.door_requests(), [CLOSE], "the lamp waited for the drive")
        d.wait_door_requests([CLOSE, EJECT, CLOSE], timeout=10)


class SecondCopyTest(LumivoTestCase):
    def test_a_second_copy_shows_its_message_and_leaves_the_first_alone(self):
        d = self.desktop
        self.wait_in_tray()
        second = d.start_lumivo(traced=False)
        self.message_box(pid=second.pid)
        self.assertEqual(len(d.lamps(GREEN)), 1)
        d.key("Return")
        wait_for(lambda: second.poll() is not None, 5, "the second copy to end")
        self.assertEqual(second.returncode, 0)
        time.sleep(1.2)
        self.assertEqual(len(d.lamps(GREEN)), 1, "no lamp of its own")
        self.assertEqual(d.door_requests(), [CLOSE], "the second copy sent a door request")
        self.assert_running()


class WithoutXTestCase(LumivoTestCase):
    """No X server for Lumivo (Qt's offscreen platform stands for a Wayland session without
    XWayland), mocks of the notification server and of the portal on the session bus."""

    TRAY = None
    SESSION_BUS = True
    PORTAL = True

    def set_up_services(self, services):
        services.notification_server()
        if self.PORTAL:
            services.portal(PORTAL_MOCK)

    def start(self):
        env = {k: v for k, v in self.desktop.env().items() if k != "DISPLAY"}
        return self.desktop.start_lumivo(env=dict(env, QT_QPA_PLATFORM="offscreen"))

    def notices(self):
        """The texts of the desktop notifications so far."""
        calls = self.services.send("session", "--dest=org.freedesktop.Notifications",
                                   "/org/freedesktop/Notifications",
                                   "org.freedesktop.DBus.Mock.GetCalls")
        return [t for t in re.findall(r'string "([^"]*)"', calls or "") if len(t) > 20]

    def press(self, shortcut, down):
        self.assertIsNotNone(self.services.send(
            "session", "--dest=org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
            "org.freedesktop.DBus.Mock.Press", f"string:{shortcut}",
            f"boolean:{str(down).lower()}"))


class PortalHotkeyTest(WithoutXTestCase):
    def test_portal_shortcuts_held_and_released_move_the_door(self):
        d = self.desktop
        # Told of the missing tray through the notification server, once.
        notice = wait_for(lambda: self.notices(), 10, "the notice of the missing tray")
        self.assertIn("系统托盘", notice[0])
        self.press("open-door", True)
        wait_for(lambda: d.door_requests().count(EJECT) >= 2, 5, "ejects while held")
        self.press("open-door", False)
        time.sleep(0.2)
        count = len(d.door_requests())
        time.sleep(0.3)
        self.assertEqual(len(d.door_requests()), count, "the door key acted after its release")
        self.press("close-door", True)
        time.sleep(0.2)
        self.press("close-door", False)
        wait_for(lambda: d.door_requests()[-1] == CLOSE, 5, "a close")
        self.assertEqual(len(self.notices()), 1, self.notices())
        self.assert_running()


class NoHotkeysTest(WithoutXTestCase):
    PORTAL = False

    def test_without_x_or_portal_the_missing_hotkeys_are_told_once(self):
        found = wait_for(lambda: [n for n in self.notices() if "热键" in n and "不可用" in n], 10,
                         "the notice of the missing hotkeys")
        self.assertIn("GlobalShortcuts", found[0])
        time.sleep(1.5)
        self.assertEqual(len([n for n in self.notices() if "不可用" in n]), 1, self.notices())
        self.assert_running()


class WaylandWithXTestCase(WithoutXTestCase):
    """A Wayland session whose Xwayland Lumivo's Qt is on (xcb), with the lamp in its tray:
    Xwayland passes X programs keys only while one of their windows has the focus, so the
    keyboard is not read there, though the X keys below would reach it on Xvfb."""

    TRAY = "trayer"

    def start(self):
        return self.desktop.start_lumivo(env=dict(
            self.desktop.env(), XDG_SESSION_TYPE="wayland", WAYLAND_DISPLAY="wayland-0",
            QT_QPA_PLATFORM="xcb"))

    def assert_x_keys_unread(self):
        count = len(self.desktop.door_requests())
        self.desktop.hold("KP_Divide", 0.3)
        time.sleep(0.2)
        self.assertEqual(len(self.desktop.door_requests()), count, "an X key was read")


class WaylandPortalHotkeyTest(WaylandWithXTestCase):
    def test_in_a_wayland_session_the_portal_moves_the_door_and_x_is_not_read(self):
        d = self.desktop
        self.wait_in_tray()
        self.assert_x_keys_unread()
        self.press("open-door", True)
        wait_for(lambda: EJECT in d.door_requests(), 5, "an eject through the portal")
        self.press("open-door", False)
        self.assertEqual(self.notices(), [])
        self.assert_running()


class WaylandNoHotkeysTest(WaylandWithXTestCase):
    PORTAL = False

    def test_in_a_wayland_session_without_portal_the_missing_hotkeys_are_told_once(self):
        self.wait_in_tray()
        found = wait_for(lambda: [n for n in self.notices() if "热键" in n and "不可用" in n], 10,
                         "the notice of the missing hotkeys")
        self.assertIn("Wayland", found[0])
        self.assertIn("GNOME on Xorg", found[0])
        self.assertIn("“lumivo --door toggle”", found[0])
        self.assert_x_keys_unread()
        self.assertEqual(len(self.notices()), 1, self.notices())
        self.assert_running()


if __name__ == "__main__":
    unittest.main()
