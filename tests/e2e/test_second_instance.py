"""A second copy started beside a running one refuses to run."""

import subprocess

from cases import LumivoTestCase
from lumivo import ALREADY_RUNNING, GREEN, MB_SETFOREGROUND, MENU_EXIT, SINGLE_INSTANCE_MUTEX
from waiting import TIME_SCALE, wait_for
from wine_prefix import windows_path


class SecondInstanceTest(LumivoTestCase):
    def test_second_copy_shows_a_message_and_ends_leaving_one_lamp(self):
        s = self.session
        s.wait_tray_icon(GREEN)
        first = self.lumivo_pid()
        first_commands = s.trace.door_commands()

        second = s.launch("second")
        box = self.wait_message_box(lambda pid: pid != first)
        self.assertEqual(box["title"], "Lumivo")
        texts = [c["text"] for c in box["children"] if c["class"].lower() == "static"]
        self.assertIn(ALREADY_RUNNING, texts)

        calls = second.calls("MessageBoxW") + second.calls("MessageBoxA")
        self.assertEqual(len(calls), 1, [c.line for c in calls])
        self.assertEqual(calls[0].args[1].text, ALREADY_RUNNING)
        self.assertEqual(calls[0].args[2].text, "Lumivo")
        self.assertEqual(calls[0].args[3].low32, MB_SETFOREGROUND, "the box may open unseen")

        s.key("Return")
        wait_for(lambda: s.probe.lumivo_pids() == [first], 10, "the second copy to end")
        self.assertEqual([w for w in s.probe.windows() if w["pid"] != first and w["visible"]
                          and w["class"] == "#32770"], [], "the message box is still shown")

        self.assertEqual(second.calls("mciSendStringA"), [], "the second copy sent a door command")
        self.assertEqual(second.calls("Shell_NotifyIconA"), [], "the second copy touched the tray")
        self.assertEqual(s.trace.door_commands(first), first_commands)
        self.assert_only_lamp(GREEN)
        others = [w for w in s.probe.seen_windows
                  if w["pid"] != first and w["visible"] and w["class"] != "#32770"]
        self.assertEqual(others, [], "the second copy showed a window besides its message box")

    def test_the_installers_restart_starts_a_copy_only_where_none_runs(self):
        # Restart Manager's restart, after a full-UI upgrade's own start has brought Lumivo
        # back: with the user's unelevated token, which does start a copy once none runs.
        s = self.session
        s.wait_tray_icon(GREEN)
        first = self.lumivo_pid()

        def restart():
            command = subprocess.list2cmdline([windows_path(s.exe), "/reopen", "/start"])
            return subprocess.run(s.probe.command("filtered", command),
                                  env=s.env(), stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  timeout=60 * TIME_SCALE).returncode

        self.assertEqual(restart(), 0)
        self.assertEqual(s.probe.lumivo_pids(), [first])
        self.click_menu(MENU_EXIT)
        self.wait_process_ended()
        self.assertEqual(restart(), 0)
        restarted = wait_for(lambda: s.probe.lumivo_pids() or None, 30, "the restarted copy")
        self.assertEqual(len(restarted), 1, restarted)
        s.wait_tray_icon(GREEN, timeout=60)


class OtherRightsTest(LumivoTestCase):
    """A copy with other rights (elevated) holds the mark that Lumivo cannot even open."""

    start_lumivo = False

    def test_a_mark_that_cannot_be_opened_means_a_copy_is_running(self):
        s = self.session
        s.probe.start("lock-mutex", SINGLE_INSTANCE_MUTEX)
        trace = s.launch()
        box = self.wait_message_box()
        self.assertIn(ALREADY_RUNNING, [c["text"] for c in box["children"]])
        s.key("Return")
        wait_for(lambda: not s.probe.lumivo_pids(), 10, "the copy to end")
        self.assertEqual(trace.calls("mciSendStringA"), [])
        self.assertEqual(trace.calls("Shell_NotifyIconA"), [])
