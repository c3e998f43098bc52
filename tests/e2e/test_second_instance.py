"""A second copy started beside a running one refuses to run."""

import unittest

from wine_session import GREEN, RED, LumivoTestCase, environment, wait_for

ALREADY_RUNNING = "Lumivo程序已经运行，请用鼠标左、右键点击状态栏中的*光驱*进行操作！"


def setUpModule():
    environment()


class SecondInstanceTest(LumivoTestCase):
    def test_second_copy_shows_a_message_and_ends_leaving_one_lamp(self):
        s = self.session
        s.wait_tray_icon(GREEN)
        first = self.lumivo_pid()
        first_commands = s.door_commands()

        second_log = s.launch("second")

        def message_box():
            boxes = [w for w in s.windows() if w["pid"] != first and w["visible"]
                     and w["class"] == "#32770"]
            return boxes[0] if boxes else None
        box = wait_for(message_box, 20, "the second copy's message box")
        self.assertEqual(box["title"], "Lumivo")
        texts = [c["text"] for c in box["children"] if c["class"].lower() == "static"]
        self.assertIn(ALREADY_RUNNING, texts)

        calls = s.relay_calls("MessageBoxW", log=second_log) + s.relay_calls("MessageBoxA",
                                                                             log=second_log)
        self.assertEqual(len(calls), 1, [c.line for c in calls])
        self.assertEqual(calls[0].args[1].text, ALREADY_RUNNING)
        self.assertEqual(calls[0].args[2].text, "Lumivo")

        s.key("Return")
        wait_for(lambda: s.lumivo_pids() == [first], 10, "the second copy to end")
        self.assertIsNone(message_box())

        self.assertEqual(s.relay_calls("mciSendStringA", log=second_log), [],
                         "the second copy sent a door command")
        self.assertEqual(s.relay_calls("Shell_NotifyIconA", log=second_log), [],
                         "the second copy touched the tray")
        self.assertEqual(s.door_commands(pid=first), first_commands)
        img = s.screenshot()
        self.assertEqual(len(s.tray_icons(GREEN, img)), 1)
        self.assertEqual(s.tray_icons(RED, img), [])
        others = [w for w in s.seen_windows
                  if w["pid"] not in (first,) and w["visible"] and w["class"] != "#32770"]
        self.assertEqual(others, [], "the second copy showed a window besides its message box")


if __name__ == "__main__":
    unittest.main()
