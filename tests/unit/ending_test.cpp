#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class EndingTest : public LumivoTest {
 protected:
  void SetUp() override {
    StartToTray();
    sim.ClearCalls();
  }
};

TEST_F(EndingTest, ExitRemovesTheIconAndEnds) {
  ChooseFromMenu(u"Hid_Exit");
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1", kRemoveClosed, "End"));
  EXPECT_TRUE(sim.Ended());
  EXPECT_EQ(sim.ExitCode(), kExitSuccess);
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());
  sim.Advance(1000);
  EXPECT_THAT(TakeCalls(), IsEmpty()) << "nothing runs after the end";
}

TEST_F(EndingTest, RestartAndShutdownAskWindowsWithTheShutdownPrivilege) {
  struct Case {
    std::u16string_view item;
    const char* request;
  };
  for (const Case& c :
       {Case{u"hid_restart", "ExitWindowsEx 2 0"}, Case{u"Hid_shutdown", "ExitWindowsEx 1 0"}}) {
    sim::Simulation fresh;
    TrayWindow freshProgram(fresh, fresh);
    fresh.Run([&] { freshProgram.Start(); });
    fresh.Advance(1000);
    fresh.ClearCalls();
    fresh.onPopupMenu = [&](std::span<const MenuItemLayout>) { return std::optional(c.item); };
    fresh.SendMouseMove(fresh.ControlHandle(u"Form1", u"Picture1", 0), 518);
    EXPECT_THAT(
        fresh.CallsWithoutKeyQueries(),
        ElementsAre("PopupMenu Form1", kRemoveClosed, "EnableShutdownPrivilege", c.request, "End"));
    EXPECT_THAT(fresh.TrayIcons(), IsEmpty());
  }
}

TEST_F(EndingTest, WhenWindowsRefusesTheUserIsToldAndTheIconComesBack) {
  sim.SetExitWindowsAccepted(false);
  ChooseFromMenu(u"Hid_shutdown");
  EXPECT_THAT(
      TakeCalls(),
      ElementsAre("PopupMenu Form1", kRemoveClosed, "EnableShutdownPrivilege", "ExitWindowsEx 1 0",
                  "MsgBox \"Windows拒绝了关机请求，Lumivo将继续运行！\"", InstallClosed()));
  EXPECT_FALSE(sim.Ended());
  EXPECT_EQ(sim.TrayIcons().size(), 1u);

  ChooseFromMenu(u"hid_restart");
  EXPECT_THAT(TakeCalls(),
              testing::Contains("MsgBox \"Windows拒绝了重启请求，Lumivo将继续运行！\""));
  EXPECT_FALSE(sim.Ended());
}

// Elsewhere the answer can take minutes (a password to type): the program goes on meanwhile,
// asks nothing more, and acts on the answer when it comes.
TEST_F(EndingTest, WhileTheAnswerIsPendingTheHotkeysActAndTheAnswerDecidesLater) {
  sim.HoldExitWindowsAnswers();
  ChooseFromMenu(u"Hid_shutdown");
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1", kRemoveClosed, "EnableShutdownPrivilege",
                                       "ExitWindowsEx 1 0"));
  sim.SetKeyState(111, -32768);
  sim.Advance(10);
  sim.SetKeyState(111, 0);
  ChooseFromMenu(u"hid_restart");  // a message the vanished lamp had left behind
  sim.Advance(1000);
  EXPECT_THAT(TakeCalls(), ElementsAre(kDoorOpen, "PopupMenu Form1"));
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());

  sim.AnswerExitWindows(false);
  EXPECT_THAT(TakeCalls(),
              ElementsAre("MsgBox \"Windows拒绝了关机请求，Lumivo将继续运行！\"", InstallClosed()));
  EXPECT_FALSE(sim.Ended());

  ChooseFromMenu(u"hid_restart");
  EXPECT_THAT(TakeCalls(), testing::Contains("ExitWindowsEx 2 0"));
  sim.AnswerExitWindows(true);
  EXPECT_THAT(TakeCalls(), ElementsAre("End"));
  EXPECT_TRUE(sim.Ended());
}

TEST_F(EndingTest, ACloseRequestWhileTheAnswerIsPendingEndsAndTheAnswerIsIgnored) {
  sim.HoldExitWindowsAnswers();
  ChooseFromMenu(u"Hid_shutdown");
  sim.ClearCalls();
  sim.CloseRequest(u"Form1");
  EXPECT_THAT(TakeCalls(), ElementsAre("End"));
  sim.AnswerExitWindows(false);
  EXPECT_THAT(sim.Calls(), IsEmpty()) << "no message, no lamp";
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());
}

TEST_F(EndingTest, ACloseRequestOrTheEndOfTheSessionRemovesWhicheverIconIsShown) {
  sim.SendMouseMove(ClosedLampHost(), 513);
  sim.ClearCalls();
  sim.CloseRequest(u"Form1");
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveOpen, "End"));
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());
}

TEST_F(LumivoTest, ACloseRequestDuringTheSplashEndsWithoutTouchingTheTray) {
  Start();
  sim.ClearCalls();
  sim.CloseRequest(u"Form1");
  EXPECT_THAT(TakeCalls(), ElementsAre("End"));
  sim.Advance(2000);
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());
}

TEST_F(EndingTest, ExitChosenAfterTheIconWasSwappedUnderTheMenuLeavesNoIcon) {
  sim.onPopupMenu = [&](std::span<const MenuItemLayout>) -> std::optional<std::u16string_view> {
    sim.SendMouseMove(ClosedLampHost(), 513);
    return u"Hid_Exit";
  };
  sim.SendMouseMove(ClosedLampHost(), 518);
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());
  EXPECT_TRUE(sim.Ended());
}

// A close request or the end of the session can come while a handler waits in a nested loop
// (a menu, a message box); the handler must not go on from there once the program has ended.
TEST_F(EndingTest, ACloseRequestWhileTheMenuIsOpenEndsCleanly) {
  sim.onPopupMenu = [&](std::span<const MenuItemLayout>) -> std::optional<std::u16string_view> {
    sim.SetKeyState(111, -32768);
    sim.CloseRequest(u"Form1");
    return u"Hid_About";
  };
  sim.SendMouseMove(ClosedLampHost(), 518);
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1", kRemoveClosed, "End"));
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());
  sim.Advance(1000);
  EXPECT_THAT(sim.Calls(), IsEmpty()) << "no tick, no key query, no door command";
}

TEST_F(EndingTest, AnEndInsideTheRefusalMessageLeavesNoGhostIcon) {
  sim.SetExitWindowsAccepted(false);
  sim.onMessage = [&](std::u16string_view) {
    sim.Advance(20);
    sim.CloseRequest(u"Form1");
  };
  ChooseFromMenu(u"Hid_shutdown");
  EXPECT_THAT(
      TakeCalls(),
      ElementsAre("PopupMenu Form1", kRemoveClosed, "EnableShutdownPrivilege", "ExitWindowsEx 1 0",
                  "MsgBox \"Windows拒绝了关机请求，Lumivo将继续运行！\"", "End"));
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());
  EXPECT_EQ(sim.FindWindow(u"Form2")->visible, false) << "the About window was not shown again";
}

TEST_F(EndingTest, AnEndInsideALaunchFailureMessageStartsNothingMore) {
  sim.FailProgram(u"rundll32.exe");
  sim.SetKeyState(122, -32768);  // F11, whose dialler cannot start
  sim.SetKeyState(123, -32768);  // F12 held too: it would be next in the same tick
  sim.onMessage = [&](std::u16string_view) { sim.CloseRequest(u"Form1"); };
  sim.Advance(10);
  EXPECT_THAT(
      TakeCalls(),
      ElementsAre("Shell \"rundll32.exe rnaui.dll,RnaDial 163\" 1",
                  "MsgBox \"无法运行“rundll32.exe rnaui.dll,RnaDial 163”，请检查该程序是否存在！\"",
                  kRemoveClosed, "End"));
  sim.Advance(5000);
  EXPECT_THAT(sim.Calls(), IsEmpty());
}

}  // namespace
}  // namespace lumivo
