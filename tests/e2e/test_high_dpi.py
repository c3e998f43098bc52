"""At 144 dpi, where Wine (like Windows XP) does not scale the program for the screen."""

import time
import unittest

from wine_session import (GREEN, RED, LumivoTestCase, _base_env, _run, environment, wait_for)

DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
CLOSED, OPEN = "set CDAudio door closed", "set CDAudio door open"
MENU_ROWS = ["item", "separator", "item", "item", "separator", "item", "separator", "item", "item"]
MENU_ABOUT = 2
HOME_PAGE = "http://www.norbek.example/"
MAIL = "mailto:norbek@norbek.example?subject=Lumivo程序"
# A point on each line of the About picture (window pixels) and the tip shown there.
PANEL = ((120, 36), "单击关闭此图形窗口")
WEB_LINE = ((120, 81), "欢迎访问Norbek网站,还有更多更好的软件等你下载哟!")
MAIL_LINE = ((120, 105), "您有什么建议和意见,请一定伊妹儿我哟,先谢了!")


def set_dpi(dpi):
    env = _base_env()
    env.pop("DISPLAY", None)
    if dpi is None:
        _run(["wine", "reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f"], env=env, check=False)
    else:
        _run(["wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
              str(dpi), "/f"], env=env)
    _run(["wineserver", "-w"], env=env, timeout=60)


def setUpModule():
    environment()
    set_dpi(144)


def tearDownModule():
    set_dpi(None)


class HighDpiTest(LumivoTestCase):
    def setUp(self):
        super().setUp()
        self.green = self.session.wait_tray_icon(GREEN)
        self.pid = self.lumivo_pid()

    def wait_commands(self, expected):
        wait_for(lambda: self.session.door_commands(pid=self.pid) == expected or None, 5,
                 f"door commands {expected}")

    def test_the_tray_clicks_and_the_menu_work(self):
        s = self.session
        s.click(*self.green, button=1)
        red = s.wait_tray_icon(RED)
        self.wait_commands([CLOSED, OPEN])
        s.click(*red, button=3)
        s.wait_tray_icon(GREEN)
        self.wait_commands([CLOSED, OPEN, CLOSED])
        time.sleep(0.6)  # past the double-click time: the menu's clicks pair with no earlier one
        menu = s.open_menu()
        self.assertEqual([kind for kind, _ in menu["rows"]], MENU_ROWS, menu)
        s.key("Escape")

    def tip_at(self, about, point):
        """Hovers over a point of the About window; the tip that shows there."""
        left, top, _, _ = about["rect"]
        self.session.xdotool("mousemove", left + point[0], top + point[1])
        tip = wait_for(lambda: next((w for w in self.session.windows()
                                     if w["class"] == "tooltips_class32" and w["visible"]
                                     and w["title"]), None), 10, f"a tool tip at {point}")
        return tip["title"]

    def test_each_line_of_the_about_window_has_its_own_tip_and_click(self):
        s = self.session
        menu = s.open_menu()
        s.click_menu_item(menu, MENU_ABOUT)
        about = s.wait_visible_window(248, 119, timeout=10)
        left, top, _, _ = about["rect"]
        for (point, tip), target in ((WEB_LINE, HOME_PAGE), (MAIL_LINE, MAIL)):
            self.assertEqual(self.tip_at(about, point), tip)
            before = len(s.relay_calls("ShellExecuteA"))
            s.click(left + point[0], top + point[1])
            calls = wait_for(lambda: s.relay_calls("ShellExecuteA")[before:], 5, target)
            self.assertEqual(calls[0].args[2].text, target)
            self.assert_stays_visible(about["hwnd"], 0.5)
            s.xdotool("mousemove", 400, 300)  # off the window, so the next tip is a new one
            wait_for(lambda: not any(w["class"] == "tooltips_class32" and w["visible"]
                                     for w in s.windows()), 10, "the tip to go")
        point, tip = PANEL
        self.assertEqual(self.tip_at(about, point), tip)
        s.click(left + point[0], top + point[1])
        self.wait_gone(about["hwnd"])
        self.assertEqual(len(s.relay_calls("ShellExecuteA")), 2)


if __name__ == "__main__":
    unittest.main()
