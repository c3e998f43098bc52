#include <cstring>

#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;

TEST_F(LumivoTest, StartUpShowsTheSplashClosesTheDoorAndAfterASecondMovesToTheTray) {
  Start();
  EXPECT_THAT(TakeCalls(), ElementsAre("CreateForm Form1", "Hide Form1", "CreateForm Form2",
                                       "SetWindowPos Form2 HWND_TOPMOST 0 0 248 119 64",
                                       "Show Form2", kDoorClosed, "WatchDoor"));
  EXPECT_TRUE(AboutVisible());
  EXPECT_TRUE(sim.FindWindow(u"Form2")->topmost);
  EXPECT_FALSE(sim.FindWindow(u"Form1")->visible);

  sim.Advance(999);
  EXPECT_TRUE(sim.TrayIcons().empty());
  EXPECT_TRUE(AboutVisible());

  sim.Advance(1);
  EXPECT_THAT(TakeCalls(), ElementsAre("Hide Form2", InstallClosed(), "Disable Form1.Timer1"));
  EXPECT_FALSE(AboutVisible());
  ASSERT_EQ(sim.TrayIcons().size(), 1u);
  EXPECT_EQ(sim.TrayIcons()[0].window, ClosedLampHost());

  sim.Advance(60'000);
  EXPECT_TRUE(TakeCalls().empty()) << "Timer1 must never tick again";
}

TEST_F(LumivoTest, ASlowDoorCommandLengthensTheSplash) {
  sim.SetMciDuration(2500);
  Start();
  EXPECT_TRUE(sim.TrayIcons().empty());
  sim.Advance(0);
  EXPECT_EQ(sim.TrayIcons().size(), 1u) << "the overdue tick comes as soon as the load returns";
  EXPECT_EQ(sim.Now(), 2500);
}

TEST_F(LumivoTest, TheHotkeysArePolledDuringTheSplash) {
  Start();
  sim.Advance(500);
  const auto& calls = sim.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetAsyncKeyState 111"), 50);
}

TEST_F(LumivoTest, TheTrayRecordsAreTheShellsExact88Bytes) {
  StartToTray();
  sim.SendMouseMove(ClosedLampHost(), 513);

  struct Expected {
    WindowHandle host;
    const char* icon;
    std::u16string tip;
    std::size_t tipBytesWithNul;
  };
  const Expected installs[] = {
      {ClosedLampHost(), "Form1.Picture1(0).Picture",
       u"[Lumivo]单击左键弹出光驱,单击右键关闭光驱,双击右键弹出菜单.", 60},
      {OpenLampHost(), "Form1.Picture2(0).Picture",
       u"Lumivo -> 单击左键打开光驱,单击右键关闭光驱,双击右键弹出菜单.", 62},
  };
  ASSERT_EQ(sim.TrayRecords().size(), 3u);  // install closed, remove closed, install open
  const TrayIconRecord* records[] = {&sim.TrayRecords()[0], &sim.TrayRecords()[2]};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    unsigned char bytes[88];
    std::memcpy(bytes, records[i], sizeof bytes);
    const auto word = [&](int offset) {
      return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
             static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
    };
    EXPECT_EQ(word(0), 88u);
    EXPECT_EQ(word(4), installs[i].host);
    EXPECT_EQ(word(8), 1u);
    EXPECT_EQ(word(12), 7u);
    EXPECT_EQ(word(16), 512u);
    EXPECT_EQ(sim.HandleName(word(20)), installs[i].icon);

    const std::string tip = sim::ToGbk(installs[i].tip);
    ASSERT_EQ(tip.size() + 1, installs[i].tipBytesWithNul) << "GBK bytes of the tool tip";
    EXPECT_EQ(std::memcmp(bytes + 24, tip.data(), tip.size()), 0);
    EXPECT_EQ(bytes[24 + tip.size()], 0) << "one NUL after the text";
    for (std::size_t at = 24 + tip.size() + 1; at < 88; ++at) EXPECT_EQ(bytes[at], ' ') << at;
  }
  // The remove only names the icon: the rest of the record keeps the closed-door values.
  const TrayIconRecord& removal = sim.TrayRecords()[1];
  EXPECT_EQ(removal.window, ClosedLampHost());
  EXPECT_EQ(std::memcmp(removal.tip, records[0]->tip, sizeof removal.tip), 0);
}

TEST_F(LumivoTest, ASecondCopyShowsItsMessageAndEndsWithoutActing) {
  sim.SetAnotherCopyRunning(true);
  sim.SetKeyState(111, -32768);
  sim.onMessage = [&](std::u16string_view) { sim.Advance(5000); };  // the user reads slowly
  Start();
  EXPECT_THAT(
      sim.Calls(),
      ElementsAre("MsgBox \"Lumivo程序已经运行，请用鼠标左、右键点击状态栏中的*光驱*进行操作！\"",
                  "End"));
  EXPECT_TRUE(sim.Ended());
  EXPECT_EQ(sim.ExitCode(), kExitSuccess) << "the copy that runs is all the user asked for";
  EXPECT_TRUE(sim.TrayIcons().empty());
  EXPECT_EQ(sim.FindWindow(u"Form1"), nullptr);
}

TEST_F(LumivoTest, AWindowOrTimerThatCannotBeCreatedIsReportedAndTheProgramEnds) {
  sim.FailToCreate(u"Form1");
  Start();
  EXPECT_THAT(TakeCalls(),
              ElementsAre("CreateForm Form1 failed",
                          "MsgBox \"Lumivo无法创建它的窗口或定时器，程序将退出！\"", "End"));
  EXPECT_TRUE(sim.Ended());
  EXPECT_EQ(sim.ExitCode(), kExitFailure);
}

TEST_F(LumivoTest, AnAboutWindowThatCannotBeCreatedIsLeftOut) {
  sim.FailToCreate(u"Form2");
  StartToTray();
  EXPECT_THAT(TakeCalls(), ElementsAre("CreateForm Form1", "Hide Form1", "CreateForm Form2 failed",
                                       kDoorClosed, "WatchDoor", "CreateForm Form2 failed",
                                       InstallClosed(), "Disable Form1.Timer1"));
  EXPECT_EQ(sim.TrayIcons().size(), 1u);
}

}  // namespace
}  // namespace lumivo
