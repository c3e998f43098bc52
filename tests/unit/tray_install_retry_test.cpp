#include <tuple>

#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// At logon the shell may be busy: a refused install is tried again every second, the icon id
// taken out first, until the shell takes it. Parameters: how many installs are refused, and
// whether the door was opened (the open-door icon is then the one to come).
class TrayInstallRetryTest : public LumivoTest,
                             public testing::WithParamInterface<std::tuple<int, bool>> {};

TEST_P(TrayInstallRetryTest, ARefusedInstallIsTriedAgainEachSecondUntilTheShellTakesIt) {
  const auto [refusals, doorOpened] = GetParam();
  const std::string remove = doorOpened ? kRemoveOpen : kRemoveClosed;
  const std::string install = doorOpened ? InstallOpen() : InstallClosed();
  if (doorOpened) {
    StartToTray();
    TakeCalls();
    sim.RefuseTrayInstalls(refusals);
    sim.SendMouseMove(ClosedLampHost(), 513);
    EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, install, "Enable Form1.Timer1", kDoorOpen));
  } else {
    sim.RefuseTrayInstalls(refusals);
    StartToTray();
    EXPECT_EQ(TakeCalls().back(), install) << "Timer1 keeps running";
  }
  EXPECT_THAT(sim.TrayIcons(), IsEmpty());

  for (int second = 1; second <= refusals; ++second) {
    SCOPED_TRACE(second);
    sim.Advance(999);
    EXPECT_THAT(TakeCalls(), IsEmpty()) << "a retry comes a second after the last";
    sim.Advance(1);
    std::vector<std::string> expected{remove, install};
    if (second == refusals) expected.push_back("Disable Form1.Timer1");
    EXPECT_EQ(TakeCalls(), expected);
  }
  sim.Advance(60'000);
  EXPECT_THAT(TakeCalls(), IsEmpty()) << "no retry once the icon is in";
  ASSERT_EQ(sim.TrayIcons().size(), 1u);
  EXPECT_EQ(sim.TrayIcons()[0].tip, doorOpened ? kOpenDoorTip : kClosedDoorTip);
}

INSTANTIATE_TEST_SUITE_P(RefusedOnceThriceOrTwentyTimes, TrayInstallRetryTest,
                         testing::Combine(testing::Values(1, 3, 20), testing::Bool()));

TEST_F(LumivoTest, AnInstallThatTimedOutButAddedTheIconLeavesOneIcon) {
  sim.RefuseTrayInstalls(1, /*stillAdd=*/true);
  StartToTray();
  EXPECT_EQ(sim.TrayIcons().size(), 1u) << "the shell added it while saying it did not";
  TakeCalls();
  sim.Advance(1000);
  // Added again without taking it out first, the shell would refuse it for good.
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveClosed, InstallClosed(), "Disable Form1.Timer1"));
  ASSERT_EQ(sim.TrayIcons().size(), 1u);
  EXPECT_EQ(sim.TrayIcons()[0].window, ClosedLampHost());
  sim.SendMouseMove(ClosedLampHost(), 513);
  EXPECT_EQ(sim.TrayIcons().size(), 1u);
}

// Without USER handles to spare SetTimer fails: the retry timer is asked for again at each
// hotkey tick until it runs, and the lamp then comes a second later.
TEST_F(LumivoTest, ARetryTimerThatCannotStartIsAskedForAgainUntilItRuns) {
  StartToTray();
  TakeCalls();
  sim.RefuseTrayInstalls(1);
  sim.FailTimerStarts(2);
  sim.SendMouseMove(ClosedLampHost(), 513);
  EXPECT_THAT(TakeCalls(),
              ElementsAre(kRemoveClosed, InstallOpen(), "Enable Form1.Timer1 failed", kDoorOpen));
  sim.Advance(10);
  EXPECT_THAT(TakeCalls(), ElementsAre("Enable Form1.Timer1 failed"));
  sim.Advance(10);
  EXPECT_THAT(TakeCalls(), ElementsAre("Enable Form1.Timer1"));
  sim.Advance(990);
  EXPECT_THAT(TakeCalls(), IsEmpty()) << "a retry comes a second after the timer started";
  sim.Advance(10);
  EXPECT_THAT(TakeCalls(), ElementsAre(kRemoveOpen, InstallOpen(), "Disable Form1.Timer1"));
  EXPECT_EQ(sim.TrayIcons().size(), 1u);
}

}  // namespace
}  // namespace lumivo
