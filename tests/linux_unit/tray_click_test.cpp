#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lumivo_fixture.h"
#include "platform/linux/tray/tray_clicks.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// The tray's clicks as the Linux backend delivers them, one message after the other, to the
// real logic: each to the window of the lamp shown when it comes.
class TrayClickTest : public LumivoTest {
 protected:
  void SetUp() override {
    StartToTray();
    sim.ClearCalls();
  }
  WindowHandle ShownHost() const { return sim.TrayIcons().at(0).window; }
  std::vector<std::int16_t> Click(TrayClick click) {
    const WindowHandle host = ShownHost();
    const auto codes = pairs.Click(host, click);
    for (const std::int16_t code : codes) sim.SendMouseMove(host, code);
    return {codes.begin(), codes.end()};
  }
  // The double-click time passes.
  void NoSecondClick() {
    if (const auto host = pairs.ExpireRightClick()) {
      sim.SendMouseMove(*host, TrayClickPairs::kRightDoubleClick);
    }
  }

  TrayClickPairs pairs;
};

TEST_F(TrayClickTest, ClicksBecomeTheMessagesWindowsSends) {
  EXPECT_THAT(Click(TrayClick::Left), ElementsAre(513, 514));
  EXPECT_THAT(Click(TrayClick::LeftDouble), ElementsAre(515, 514));
  EXPECT_THAT(Click(TrayClick::Middle), ElementsAre(513, 514));
  EXPECT_FALSE(pairs.AwaitsSecondRightClick());
  EXPECT_THAT(Click(TrayClick::Right), ElementsAre(516, 517));
  EXPECT_TRUE(pairs.AwaitsSecondRightClick());
  EXPECT_THAT(Click(TrayClick::Right), ElementsAre(518, 517));
  EXPECT_FALSE(pairs.AwaitsSecondRightClick());
  EXPECT_EQ(pairs.ExpireRightClick(), std::nullopt);
}

TEST_F(TrayClickTest, LeftOnGreenOpensRightOnRedClosesAndNothingMore) {
  Click(TrayClick::Left);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen(), kDoorOpen));
  // 517 closes the door and swaps; the 518 at the end of the double-click time goes to the
  // red lamp's host and does nothing, so no menu opens on the lamp that just turned green.
  Click(TrayClick::Right);
  NoSecondClick();
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveOpen, InstallClosed(), kDoorClosed));
  EXPECT_EQ(ShownLamp(), LampState::ClosedDoor);

  // Neither a middle click nor a left double click on the red lamp does anything.
  Click(TrayClick::Middle);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen(), kDoorOpen));
  Click(TrayClick::LeftDouble);
  Click(TrayClick::Middle);
  EXPECT_THAT(TakeCalls(), IsEmpty());
}

TEST_F(TrayClickTest, ASingleAndADoubleRightClickOnGreenOpenTheMenuOnce) {
  Click(TrayClick::Right);
  EXPECT_THAT(TakeCalls(), IsEmpty()) << "the menu opened under the second click of a pair";
  NoSecondClick();
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1"));

  Click(TrayClick::Right);
  Click(TrayClick::Right);
  NoSecondClick();
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1"));
  EXPECT_EQ(ShownLamp(), LampState::ClosedDoor);
}

TEST_F(TrayClickTest, NoClickOfAQuickPairIsLost) {
  // Right on red, then at once on the green lamp it turned into: closed, then the menu.
  Click(TrayClick::Left);
  sim.ClearCalls();
  Click(TrayClick::Right);
  Click(TrayClick::Right);
  EXPECT_THAT(TakeCalls(),
              ElementsAre(kRemoveOpen, InstallClosed(), kDoorClosed, "PopupMenu Form1"));
  // A left click after a right one on green opens the door, and no menu follows on red.
  Click(TrayClick::Right);
  Click(TrayClick::Left);
  NoSecondClick();
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen(), kDoorOpen));
}

}  // namespace
}  // namespace lumivo
