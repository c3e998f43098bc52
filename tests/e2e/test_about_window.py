"""Clicks on the About window: during the splash and when the menu shows it."""

import unittest

from wine_session import GREEN, LumivoTestCase, environment, wait_for

HOME_PAGE = "http://www.norbek.example/"
MAIL = "mailto:norbek@norbek.example?subject=Lumivo程序"
MAIL_RELAY = 'mailto:norbek@norbek.example?subject=Lumivo\\xb3\\xcc\\xd0\\xf2"'  # GBK bytes
MENU_ABOUT = 2  # 退出程序, 使用说明, 关于软件, ...

# Points inside each area, in window pixels.
PANEL = (120, 36)
WEB_LINE = (120, 81)
MAIL_LINE = (120, 105)


def setUpModule():
    environment()


class AboutWindowTest(LumivoTestCase):
    def click_in(self, window, point):
        left, top, _, _ = window["rect"]
        self.session.click(left + point[0], top + point[1])

    def wait_shell_execute(self):
        return wait_for(lambda: self.session.relay_calls("ShellExecuteA"), 5, "ShellExecuteA")

    def assert_opened(self, call, target, owners):
        args = call.args
        self.assertEqual(len(args), 6, call.line)
        self.assertIn(args[0].low32, owners, "owner is not one of Lumivo's windows")
        self.assertEqual(args[1].text, "open")
        self.assertEqual(args[2].text, target)
        self.assertEqual((args[3].value, args[4].value), (0, 0), "parameters/directory not NULL")
        self.assertEqual(args[5].low32, 1, "show command is not SW_SHOWNORMAL")

    def owners(self):
        return {w["hwnd"] & 0xFFFFFFFF for w in self.session.windows()}

    # ---- during the splash

    def test_splash_panel_click_destroys_the_window(self):
        about = self.session.splash_window()
        self.click_in(about, PANEL)
        self.wait_gone(about["hwnd"])
        self.assertEqual(self.session.relay_calls("ShellExecuteA"), [])

    def test_splash_web_line_click_opens_the_home_page(self):
        about = self.session.splash_window()
        self.click_in(about, WEB_LINE)
        calls = self.wait_shell_execute()
        self.assertEqual(len(calls), 1)
        self.assert_opened(calls[0], HOME_PAGE, self.owners())
        self.assertIsNotNone(self.window(about["hwnd"]), "the About window was destroyed")

    def test_splash_mail_line_click_writes_mail_with_gbk_subject(self):
        about = self.session.splash_window()
        self.click_in(about, MAIL_LINE)
        calls = self.wait_shell_execute()
        self.assertEqual(len(calls), 1)
        self.assert_opened(calls[0], MAIL, self.owners())
        self.assertIn(MAIL_RELAY, calls[0].line)
        self.assertIsNotNone(self.window(about["hwnd"]), "the About window was destroyed")

    # ---- shown again from the tray menu

    def show_about_from_menu(self):
        s = self.session
        s.splash_window()
        s.wait_tray_icon(GREEN)
        menu = s.open_menu()
        self.assertEqual(len(menu["items"]), 6, menu)
        s.click_menu_item(menu, MENU_ABOUT)
        return s.wait_visible_window(248, 119, timeout=10)

    def test_menu_about_shows_a_topmost_window(self):
        about = self.show_about_from_menu()
        self.assertTrue(self.window(about["hwnd"])["topmost"], "the About window is not topmost")

    def test_menu_about_web_line_click_keeps_the_window(self):
        about = self.show_about_from_menu()
        self.click_in(about, WEB_LINE)
        calls = self.wait_shell_execute()
        self.assert_opened(calls[0], HOME_PAGE, self.owners())
        self.assert_stays_visible(about["hwnd"], 1.5)

    def test_menu_about_mail_line_click_keeps_the_window(self):
        about = self.show_about_from_menu()
        self.click_in(about, MAIL_LINE)
        calls = self.wait_shell_execute()
        self.assert_opened(calls[0], MAIL, self.owners())
        self.assert_stays_visible(about["hwnd"], 1.5)

    def test_menu_about_panel_click_destroys_the_window(self):
        about = self.show_about_from_menu()
        self.assert_stays_visible(about["hwnd"], 1.5)  # no splash timer this time
        self.click_in(about, PANEL)
        self.wait_gone(about["hwnd"])
        self.assertEqual(self.session.relay_calls("ShellExecuteA"), [])


if __name__ == "__main__":
    unittest.main()
