"""A second copy started beside a running one refuses to run."""

import unittest

from wine_session import GREEN, RED, LumivoSession, LumivoTestCase, environment, wait_for

ALREADY_RUNNING = "Lumivo程序已经运行，请用鼠标左、右键点击状态栏中的*光驱*进行操作！"
MB_SETFOREGROUND = 0x10000


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
        self.assertEqual(calls[0].args[3].low32, MB_SETFOREGROUND, "the box may open unseen")

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



class OtherRightsTest(unittest.TestCase):
    """A copy with other rights (elevated) holds the mark that Lumivo cannot even open."""

    def test_a_mark_that_cannot_be_opened_means_a_copy_is_running(self):
        s = LumivoSession(self.id().split(".", 1)[-1])
        self.addCleanup(s.stop)
        s.start(launch=False)
        holder = s._probe_popen("lock-mutex", "Local\\Lumivo.SingleInstance")
        self.assertEqual(s._read_line(holder, 30).strip(), b"ready")
        log = s.launch()
        box = wait_for(lambda: next((w for w in s.windows() if w["class"] == "#32770"
                                     and w["visible"]), None), 20, "the already-running message")
        self.assertIn(ALREADY_RUNNING, [c["text"] for c in box["children"]])
        s.key("Return")
        wait_for(lambda: not s.lumivo_pids(), 10, "the copy to end")
        self.assertEqual(s.relay_calls("mciSendStringA", log=log), [])
        self.assertEqual(s.relay_calls("Shell_NotifyIconA", log=log), [])


if __name__ == "__main__":
    unittest.main()
