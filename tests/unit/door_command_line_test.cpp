#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "commands/door_command_line.h"
#include "platform/sim/simulation.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// A door command line run beside (or without) a running copy; the simulation is its Windows.
class DoorCommandLineTest : public testing::Test {
 protected:
  DoorRunResult Run(std::vector<std::u16string_view> arguments) {
    const DoorRunResult result = RunDoorCommand(sim, arguments);
    calls = sim.Calls();
    sim.ClearCalls();
    return result;
  }

  sim::Simulation sim;
  std::vector<std::string> calls;
};

TEST_F(DoorCommandLineTest, BadArgumentsMoveNothingAndExitWithTwo) {
  const std::u16string overlong = u"\\\\.\\" + std::u16string(257, u'x');
  const std::vector<std::vector<std::u16string_view>> bad = {
      {},
      {u""},
      {u"eject"},
      {u"open", u"E:", u"F:"},  // two drives
      {u"open", u""},
      {u"open", overlong},
      {u"open", u"É:"},
      {u"open", u"Ｅ:"},  // a full-width letter
      {u"open", u"EF"},
      {u"open", u"E:x"},
      {u"open", u"/dev/sr0\n"},
  };
  for (const auto& arguments : bad) {
    SCOPED_TRACE(testing::PrintToString(arguments.size()));
    EXPECT_EQ(Run(arguments), DoorRunResult::BadArguments);
    EXPECT_EQ(ExitCodeOf(DoorRunResult::BadArguments), 2);
    EXPECT_THAT(calls, IsEmpty());
  }
}

TEST_F(DoorCommandLineTest, DrivesAreLettersOrDevicePaths) {
  const std::u16string longest = u"\\\\.\\" + std::u16string(256, u'x');
  const std::vector<std::u16string_view> open{u"OPEN"};
  EXPECT_EQ(ParseDoorArguments(open)->drive, u"");
  EXPECT_EQ(ParseDoorArguments(open)->verb, DoorVerb::Open);
  const std::vector<std::pair<std::u16string_view, std::u16string_view>> drives = {
      {u"e:", u"E"},
      {u"E", u"E"},
      {u"/dev/sr1", u"/dev/sr1"},
      {u"\\\\.\\CdRom1", u"\\\\.\\CdRom1"},
      {longest, longest}};
  for (const auto& [given, named] : drives) {
    const std::vector<std::u16string_view> arguments{u"toggle", given};
    const auto request = ParseDoorArguments(arguments);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->verb, DoorVerb::Toggle);
    EXPECT_EQ(request->drive, named);
  }
}

TEST_F(DoorCommandLineTest, AMissingNonOpticalOrRefusingDriveExitsWithOne) {
  sim.SetDriveType('C', 3);  // a fixed disk
  sim.SetDriveType('E', kCdRomDrive);
  sim.SetDoorResult(u"E", DoorResult::Refused);
  sim.SetDoorResult(u"/dev/sr7", DoorResult::Missing);
  EXPECT_EQ(Run({u"open", u"F:"}), DoorRunResult::Missing);
  EXPECT_THAT(calls, ElementsAre("GetDriveTypeA \"F:\\\""));
  EXPECT_EQ(Run({u"open", u"C:"}), DoorRunResult::NotOptical);
  EXPECT_THAT(calls, ElementsAre("GetDriveTypeA \"C:\\\""));
  EXPECT_EQ(Run({u"close", u"E:"}), DoorRunResult::Refused);
  EXPECT_THAT(calls, ElementsAre("GetDriveTypeA \"E:\\\"", "MoveDoor \"E\" closed"));
  EXPECT_EQ(Run({u"close", u"/dev/sr7"}), DoorRunResult::Missing);
  EXPECT_THAT(calls, ElementsAre("MoveDoor \"/dev/sr7\" closed"));
  for (auto result : {DoorRunResult::Refused, DoorRunResult::Missing, DoorRunResult::NotOptical}) {
    EXPECT_EQ(ExitCodeOf(result), 1);
  }
}

// Only a move of the lamp's own drive is told to the running copy.
TEST_F(DoorCommandLineTest, AMoveOfTheLampsDriveIsToldToTheRunningCopy) {
  sim.SetDriveType('D', kCdRomDrive);
  sim.SetDriveType('E', kCdRomDrive);
  EXPECT_EQ(Run({u"open"}), DoorRunResult::Done);
  EXPECT_EQ(ExitCodeOf(DoorRunResult::Done), 0);
  EXPECT_THAT(calls, ElementsAre("MoveDoor \"\" open", "TellRunningCopy open"));
  Run({u"close", u"d:"});
  EXPECT_THAT(calls, ElementsAre("GetDriveTypeA \"D:\\\"", "MoveDoor \"D\" closed",
                                 "TellRunningCopy closed"));
  Run({u"close", u"E:"});
  EXPECT_THAT(calls, ElementsAre("GetDriveTypeA \"E:\\\"", "MoveDoor \"E\" closed"));
}

TEST_F(DoorCommandLineTest, ToggleGoesByTheRealDoorElseTheRunningLampElseOpens) {
  sim.SetDoorState(u"", DoorState::Open);
  Run({u"toggle"});
  EXPECT_THAT(calls,
              ElementsAre("DoorStateOf \"\"", "MoveDoor \"\" closed", "TellRunningCopy closed"));
  sim.SetDoorState(u"", DoorState::Closed);
  sim.SetRunningLampDoor(DoorState::Closed);
  Run({u"toggle"});
  EXPECT_THAT(calls, ElementsAre("DoorStateOf \"\"", "MoveDoor \"\" open", "TellRunningCopy open"));

  sim.SetDoorState(u"", DoorState::Unknown);
  sim.SetRunningLampDoor(DoorState::Open);
  Run({u"toggle"});
  EXPECT_THAT(calls, ElementsAre("DoorStateOf \"\"", "RunningLampDoor", "MoveDoor \"\" closed",
                                 "TellRunningCopy closed"));
  sim.SetRunningLampDoor(DoorState::Closed);
  Run({u"toggle"});
  EXPECT_THAT(calls, ElementsAre("DoorStateOf \"\"", "RunningLampDoor", "MoveDoor \"\" open",
                                 "TellRunningCopy open"));
  sim.SetRunningLampDoor(DoorState::Unknown);  // no copy runs
  Run({u"toggle"});
  EXPECT_THAT(calls, ElementsAre("DoorStateOf \"\"", "RunningLampDoor", "MoveDoor \"\" open",
                                 "TellRunningCopy open"));

  // The running lamp says nothing of another drive.
  sim.SetDriveType('E', kCdRomDrive);
  sim.SetRunningLampDoor(DoorState::Open);
  Run({u"toggle", u"E:"});
  EXPECT_THAT(calls,
              ElementsAre("DoorStateOf \"E\"", "GetDriveTypeA \"E:\\\"", "MoveDoor \"E\" open"));
}

}  // namespace
}  // namespace lumivo
