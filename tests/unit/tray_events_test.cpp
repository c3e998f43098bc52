#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class TrayEventsTest : public LumivoTest {
 protected:
  void SetUp() override {
    StartToTray();
    sim.ClearCalls();
  }
  void SendToClosedLamp(std::int16_t code) { sim.SendMouseMove(ClosedLampHost(), code); }
  void SendToOpenLamp(std::int16_t code) { sim.SendMouseMove(OpenLampHost(), code); }
};

TEST_F(TrayEventsTest, LeftPressOnTheClosedDoorIconSwapsTheIconThenOpensTheDoor) {
  SendToClosedLamp(513);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen(), kDoorOpen));
  EXPECT_EQ(ShownLamp(), LampState::OpenDoor);
  ASSERT_EQ(sim.TrayIcons().size(), 1u);
  EXPECT_EQ(sim.TrayIcons()[0].tip, kOpenDoorTip);

  SendToOpenLamp(517);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveOpen, InstallClosed(), kDoorClosed));
  EXPECT_EQ(ShownLamp(), LampState::ClosedDoor);
  EXPECT_EQ(program.LastTrayMessage(), u"517");
}

TEST_F(TrayEventsTest, EveryOtherCodeOnlyStoresTheMessage) {
  for (std::int16_t code = 512; code <= 520; ++code) {
    if (code == 513 || code == 518) continue;
    SendToClosedLamp(code);
    EXPECT_EQ(sim::ToUtf8(program.LastTrayMessage()), std::to_string(code));
  }
  EXPECT_THAT(TakeCalls(), IsEmpty());

  SendToClosedLamp(513);
  sim.ClearCalls();
  for (std::int16_t code = 512; code <= 520; ++code) {
    if (code != 517) SendToOpenLamp(code);
  }
  EXPECT_THAT(TakeCalls(), IsEmpty()) << "the menu cannot be reached from the open-door icon";
  EXPECT_EQ(ShownLamp(), LampState::OpenDoor);
}

TEST_F(TrayEventsTest, TheCodeIsDecodedRightAtEveryScreenSetting) {
  for (int dpi = 72; dpi <= 480; ++dpi) {
    SCOPED_TRACE(dpi);
    sim.SetTwipsPerPixel(1440.0f / static_cast<float>(dpi));
    SendToClosedLamp(513);
    ASSERT_EQ(ShownLamp(), LampState::OpenDoor);
    SendToOpenLamp(517);
    ASSERT_EQ(ShownLamp(), LampState::ClosedDoor);
    SendToClosedLamp(514);
    ASSERT_EQ(program.LastTrayMessage(), u"514");
  }
}

// tests/windows_units/tray_decoding_check.cpp asserts the same of the Windows build, whose C
// library is msvcrt.dll's.
TEST_F(TrayEventsTest, EveryMessageTheShellCanSendReadsAsItselfAtEveryScreenSetting) {
  std::vector<std::int16_t> codes{123};  // the context-menu message
  for (std::int16_t code = 512; code <= 526; ++code) codes.push_back(code);    // mouse messages
  for (std::int16_t code = 1024; code <= 1031; ++code) codes.push_back(code);  // the shell's own
  for (int dpi = 72; dpi <= 480; ++dpi) {
    SCOPED_TRACE(dpi);
    sim.SetTwipsPerPixel(1440.0f / static_cast<float>(dpi));
    for (const std::int16_t code : codes) {
      SCOPED_TRACE(code);
      SendToClosedLamp(code);
      ASSERT_EQ(sim::ToUtf8(program.LastTrayMessage()), std::to_string(code));
      if (code == 513) {
        ASSERT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen(), kDoorOpen));
      } else if (code == 518) {
        ASSERT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1"));
        SendToClosedLamp(513);
        TakeCalls();
      } else {
        ASSERT_THAT(TakeCalls(), IsEmpty());
        SendToClosedLamp(513);
        TakeCalls();
      }
      SendToOpenLamp(code);
      ASSERT_EQ(sim::ToUtf8(program.LastTrayMessage()), std::to_string(code));
      if (code == 517) {
        ASSERT_THAT(TakeCalls(), ElementsAre(kRemoveOpen, InstallClosed(), kDoorClosed));
      } else {
        ASSERT_THAT(TakeCalls(), IsEmpty());
        SendToOpenLamp(517);
        TakeCalls();
      }
      ASSERT_EQ(ShownLamp(), LampState::ClosedDoor);
    }
  }
}

TEST_F(TrayEventsTest, AFractionalQuotientMatchesNothing) {
  // X arrives in twips; a position that is not a whole pixel cannot be a notification code.
  sim.SendMouseMoveInTwips(ClosedLampHost(), 513.5f * 15.0f);
  EXPECT_EQ(program.LastTrayMessage(), u"513.5");
  sim.SendMouseMoveInTwips(ClosedLampHost(), 518.25f * 15.0f);
  EXPECT_EQ(program.LastTrayMessage(), u"518.25");
  EXPECT_THAT(TakeCalls(), IsEmpty());
}

TEST_F(TrayEventsTest, RightDoubleClickPopsUpTheNineLineMenu) {
  std::vector<std::string> captions;
  sim.onPopupMenu =
      [&](std::span<const MenuItemLayout> items) -> std::optional<std::u16string_view> {
    for (const auto& item : items) captions.push_back(sim::ToUtf8(item.caption));
    return std::nullopt;
  };
  SendToClosedLamp(518);
  EXPECT_THAT(captions, ElementsAre("退出程序", "-", "使用说明", "关于软件", "-", "浏览光盘", "-",
                                    "立即重启", "立即关机"));
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1"));
}

TEST_F(TrayEventsTest, TheChosenItemRunsInsideThePopupWhileTimersKeepTicking) {
  sim.onPopupMenu = [&](std::span<const MenuItemLayout>) -> std::optional<std::u16string_view> {
    sim.SetKeyState(111, -32768);
    sim.Advance(20);  // the user hesitates with the keypad divide key down
    sim.SetKeyState(111, 0);
    return u"Hid_About";
  };
  SendToClosedLamp(518);
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1", kDoorOpen, kDoorOpen, "Show Form2"));
}

TEST_F(TrayEventsTest, TheMouseHandlersCanBeEnteredAgainFromInsideThePopup) {
  int depth = 0;
  sim.onPopupMenu = [&](std::span<const MenuItemLayout>) -> std::optional<std::u16string_view> {
    if (++depth == 1) {
      SendToClosedLamp(518);  // a second menu from the same icon
      SendToClosedLamp(513);  // then a left press swaps the icon under the menu
    }
    return std::nullopt;
  };
  SendToClosedLamp(518);
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1", "PopupMenu Form1", kRemoveClosed,
                                       InstallOpen(), kDoorOpen));
  EXPECT_EQ(ShownLamp(), LampState::OpenDoor);
  EXPECT_EQ(sim.TrayIcons().size(), 1u);
}

TEST_F(TrayEventsTest, TheHotkeyOpensTheDoorButLeavesTheClosedDoorIcon) {
  sim.SetKeyState(111, -32768);
  sim.Advance(10);
  sim.SetKeyState(111, 0);
  EXPECT_EQ(ShownLamp(), LampState::ClosedDoor);
  SendToClosedLamp(513);
  EXPECT_THAT(TakeCalls(), ElementsAre(kDoorOpen, kRemoveClosed, InstallOpen(), kDoorOpen));
}

// The drive's button, another program or a door command line: the lamp swaps as after its own
// click, with no door command, and its clicks and menu are those of the lamp now shown.
TEST_F(TrayEventsTest, ADoorMovedElsewhereSwapsTheLampWithoutADoorCommand) {
  sim.ChangeDoor(DoorState::Open);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen()));
  EXPECT_EQ(sim.WatchedLampDoor(), DoorState::Open);
  SendToOpenLamp(518);
  EXPECT_THAT(TakeCalls(), IsEmpty()) << "no menu from the open-door lamp";
  SendToOpenLamp(517);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveOpen, InstallClosed(), kDoorClosed));

  sim.ChangeDoor(DoorState::Closed);  // the lamp already says so
  sim.NoticeFromDoorCommandLine(DoorState::Open);
  sim.NoticeFromDoorCommandLine(DoorState::Closed);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen(), kRemoveOpen, InstallClosed()));
  SendToClosedLamp(518);
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1"));
  ASSERT_EQ(sim.TrayIcons().size(), 1u);
  EXPECT_EQ(sim.TrayIcons()[0].tip, kClosedDoorTip);
}

TEST_F(TrayEventsTest, AnUnknownDoorChangesNothing) {
  sim.ChangeDoor(DoorState::Unknown);
  SendToClosedLamp(513);
  sim.ChangeDoor(DoorState::Unknown);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen(), kDoorOpen));
  EXPECT_EQ(ShownLamp(), LampState::OpenDoor);
}

TEST_F(TrayEventsTest, AKeypadDoorKeySwapsTheLampOnlyOnceTheRealDoorIsRead) {
  sim.SetKeyState(111, -32768);
  sim.Advance(10);
  sim.SetKeyState(111, 0);
  EXPECT_EQ(ShownLamp(), LampState::ClosedDoor);
  sim.ChangeDoor(DoorState::Open);
  EXPECT_THAT(TakeCalls(), ElementsAre(kDoorOpen, kRemoveClosed, InstallOpen()));
}

TEST_F(LumivoTest, ADoorThatMovesDuringTheSplashGivesTheLampItsState) {
  Start();
  sim.ChangeDoor(DoorState::Open);
  EXPECT_TRUE(sim.TrayIcons().empty());
  sim.ClearCalls();
  sim.Advance(1000);
  EXPECT_THAT(TakeCalls(), ElementsAre("Hide Form2", InstallOpen(), "Disable Form1.Timer1"));
}

TEST_F(TrayEventsTest, ARestartedShellGetsTheShownIconBack) {
  SendToClosedLamp(513);
  sim.ClearCalls();
  sim.BroadcastTaskbarCreated();
  EXPECT_THAT(TakeCalls(), ElementsAre(InstallOpen()));
}

TEST_F(LumivoTest, AShellRestartDuringTheSplashAddsNoIconYet) {
  Start();
  sim.ClearCalls();
  sim.BroadcastTaskbarCreated();
  EXPECT_THAT(TakeCalls(), IsEmpty());
}

}  // namespace
}  // namespace lumivo
