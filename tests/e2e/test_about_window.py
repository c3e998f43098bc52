"""Clicks on the About window: during the splash and when the menu shows it."""

from cases import LumivoTestCase, on_configurations
from lumivo import ABOUT_MAIL_LINE, ABOUT_PANEL, ABOUT_WEB_LINE, GREEN, HOME_PAGE, MAIL
from waiting import wait_for

MAIL_RELAY = 'mailto:norbek@norbek.example?subject=Lumivo\\xb3\\xcc\\xd0\\xf2"'  # GBK bytes


# Its drawing and clicks are the same on either bitness of Windows.
@on_configurations("x64", "wow64")
class AboutWindowTest(LumivoTestCase):
    def wait_shell_execute(self):
        return wait_for(lambda: self.session.trace.calls("ShellExecuteA"), 5, "ShellExecuteA")

    def assert_opened(self, call, target):
        args = call.args
        self.assertEqual(len(args), 6, call.line)
        owners = {w["hwnd"] & 0xFFFFFFFF for w in self.session.probe.windows()}
        self.assertIn(args[0].low32, owners, "owner is not one of Lumivo's windows")
        self.assertEqual(args[1].text, "open")
        self.assertEqual(args[2].text, target)
        self.assertEqual((args[3].value, args[4].value), (0, 0), "parameters/directory not NULL")
        self.assertEqual(args[5].low32, 1, "show command is not SW_SHOWNORMAL")

    # ---- during the splash

    def test_splash_panel_click_destroys_the_window(self):
        about = self.session.splash_window()
        self.click_in(about, ABOUT_PANEL)
        self.wait_about_closed(about)
        self.assertEqual(self.session.trace.calls("ShellExecuteA"), [])

    def test_splash_web_line_click_opens_the_home_page(self):
        about = self.session.splash_window()
        self.click_in(about, ABOUT_WEB_LINE)
        calls = self.wait_shell_execute()
        self.assertEqual(len(calls), 1)
        self.assert_opened(calls[0], HOME_PAGE)
        self.assertIsNotNone(self.window(about["hwnd"]), "the About window was destroyed")

    def test_splash_mail_line_click_writes_mail_with_gbk_subject(self):
        about = self.session.splash_window()
        self.click_in(about, ABOUT_MAIL_LINE)
        calls = self.wait_shell_execute()
        self.assertEqual(len(calls), 1)
        self.assert_opened(calls[0], MAIL)
        self.assertIn(MAIL_RELAY, calls[0].line)
        self.assertIsNotNone(self.window(about["hwnd"]), "the About window was destroyed")

    # ---- shown again from the tray menu

    def show_about_from_menu(self):
        self.session.splash_window()
        self.session.wait_tray_icon(GREEN)
        return self.show_about()

    def test_menu_about_shows_a_topmost_window(self):
        about = self.show_about_from_menu()
        self.assertTrue(self.window(about["hwnd"])["topmost"], "the About window is not topmost")

    def test_menu_about_web_line_click_keeps_the_window(self):
        about = self.show_about_from_menu()
        self.click_in(about, ABOUT_WEB_LINE)
        self.assert_opened(self.wait_shell_execute()[0], HOME_PAGE)
        self.assert_stays_visible(about["hwnd"], 1.5)

    def test_menu_about_mail_line_click_keeps_the_window(self):
        about = self.show_about_from_menu()
        self.click_in(about, ABOUT_MAIL_LINE)
        self.assert_opened(self.wait_shell_execute()[0], MAIL)
        self.assert_stays_visible(about["hwnd"], 1.5)

    def test_menu_about_panel_click_destroys_the_window(self):
        about = self.show_about_from_menu()
        self.assert_stays_visible(about["hwnd"], 1.5)  # no splash timer this time
        self.click_in(about, ABOUT_PANEL)
        self.wait_about_closed(about)
        self.assertEqual(self.session.trace.calls("ShellExecuteA"), [])
