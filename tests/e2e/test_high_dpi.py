"""At 144 dpi, where Wine (like Windows XP) does not scale the program for the screen."""

from cases import LampTestCase, on_configurations
from lumivo import ABOUT_MAIL_LINE, ABOUT_PANEL, ABOUT_WEB_LINE, HOME_PAGE, MAIL
from waiting import wait_for
from wine_prefix import EXE, set_registry_value

DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
TTM_GETTOOLCOUNT = 0x40D


def setUpModule():
    set_registry_value(DESKTOP_KEY, "LogPixels", "/t", "REG_DWORD", "/d", "144")


def tearDownModule():
    set_registry_value(DESKTOP_KEY, "LogPixels")


# Layout and tips at this DPI are the same on either bitness of Windows.
@on_configurations("x64", "wow64")
class HighDpiTest(LampTestCase):
    def test_the_tray_clicks_and_the_menu_work(self):
        self.open_and_close_by_clicks()
        self.right_double_click_chooses_nothing()

    def visible_tips(self):
        return [w for w in self.session.probe.windows()
                if w["class"] == "tooltips_class32" and w["visible"] and w["title"]]

    def tool_count(self):
        """TTM_GETTOOLCOUNT of Lumivo's tooltip window."""
        tips = next(w for w in self.session.probe.windows() if w["class"] == "tooltips_class32")
        code, out = self.session.probe.run("send", tips["hwnd"], TTM_GETTOOLCOUNT, 0, 0)
        self.assertEqual(code, 0, "the tooltip window did not answer")
        return int(out.split()[0])

    def tip_at(self, about, point):
        """Hovers over a point of the About window; the tip that shows there."""
        left, top, _, _ = about["rect"]
        self.session.xdotool("mousemove", left + point[0], top + point[1])
        return wait_for(self.visible_tips, 10, f"a tool tip at {point}")[0]["title"]

    def test_each_line_of_the_about_window_has_its_own_tip_and_click(self):
        s = self.session
        about = self.show_about()
        left, top, _, _ = about["rect"]
        for (point, tip), target in ((ABOUT_WEB_LINE, HOME_PAGE), (ABOUT_MAIL_LINE, MAIL)):
            self.assertEqual(self.tip_at(about, point), tip)
            self.assertEqual(self.tool_count(), 3, "not every TTM_ADDTOOLW was taken")
            before = len(s.trace.calls("ShellExecuteA"))
            s.click(left + point[0], top + point[1])
            calls = wait_for(lambda: s.trace.calls("ShellExecuteA")[before:], 5, target)
            self.assertEqual(calls[0].args[2].text, target)
            self.assert_stays_visible(about["hwnd"], 0.5)
            s.xdotool("mousemove", 400, 300)  # off the window, so the next tip is a new one
            wait_for(lambda: not any(w["class"] == "tooltips_class32" and w["visible"]
                                     for w in s.probe.windows()), 10, "the tip to go")
        point, tip = ABOUT_PANEL
        self.assertEqual(self.tip_at(about, point), tip)
        s.click(left + point[0], top + point[1])
        self.wait_about_closed(about)
        self.assertEqual(len(s.trace.calls("ShellExecuteA")), 2)
        # A Chinese system gets the ANSI calls, with the GBK bytes above, as it always did.
        for wide in ("ShellExecuteW", "Shell_NotifyIconW"):
            self.assertEqual(s.trace.own_calls(wide, self.pid, EXE), [])
        self.assertTrue(s.trace.own_calls("Shell_NotifyIconA", self.pid, EXE))
