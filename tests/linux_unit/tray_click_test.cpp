#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "lumivo_fixture.h"
#include "platform/linux/tray/tray_clicks.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// The tray's clicks as the Linux backend delivers them, one message after the other, to the
// real logic.
class TrayClickTest : public LumivoTest {
 protected:
  void SetUp() override {
    StartToTray();
    sim.ClearCalls();
  }
  void Click(WindowHandle lampHost, TrayClick click) {
    for (const std::int16_t code : NotificationCodes(click)) sim.SendMouseMove(lampHost, code);
  }
};

TEST_F(TrayClickTest, ClicksBecomeTheMessagesWindowsSends) {
  EXPECT_THAT(NotificationCodes(TrayClick::Left), ElementsAre(513, 514));
  EXPECT_THAT(NotificationCodes(TrayClick::Right), ElementsAre(516, 517, 518));
  EXPECT_THAT(NotificationCodes(TrayClick::LeftDouble), ElementsAre(515, 514));
  EXPECT_THAT(NotificationCodes(TrayClick::Middle), ElementsAre(519, 520));
}

TEST_F(TrayClickTest, LeftOnGreenOpensRightOnRedClosesAndNothingMore) {
  Click(ClosedLampHost(), TrayClick::Left);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallOpen(), kDoorOpen));
  // 517 closes the door and swaps; the 518 after it reaches the red lamp's host and does
  // nothing, so no menu opens on the lamp that just turned green.
  Click(OpenLampHost(), TrayClick::Right);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveOpen, InstallClosed(), kDoorClosed));
  EXPECT_EQ(ShownLamp(), LampState::ClosedDoor);
}

TEST_F(TrayClickTest, ASingleRightClickOnGreenOpensTheMenu) {
  Click(ClosedLampHost(), TrayClick::Right);
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1"));
  EXPECT_EQ(ShownLamp(), LampState::ClosedDoor);

  // Neither a middle click nor a left double click on the red lamp does anything.
  Click(ClosedLampHost(), TrayClick::Left);
  sim.ClearCalls();
  Click(OpenLampHost(), TrayClick::LeftDouble);
  Click(OpenLampHost(), TrayClick::Middle);
  EXPECT_THAT(TakeCalls(), IsEmpty());
}

}  // namespace
}  // namespace lumivo
