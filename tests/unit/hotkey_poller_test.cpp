#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr std::int16_t kDown = -32768;  // bit 0x8000
constexpr const char* kDial163 = "Shell \"rundll32.exe rnaui.dll,RnaDial 163\" 1";
constexpr const char* kDialNorbek = "Shell \"rundll32.exe rnaui.dll,RnaDial Norbek-163\" 1";

class HotkeyTest : public LumivoTest {
 protected:
  void SetUp() override {
    StartToTray();
    sim.SetDriveType('E', kCdRomDrive);
    sim.ClearCalls();
  }
  void Tick() { sim.Advance(10); }
  std::vector<std::string> AllCalls() {
    auto calls = sim.Calls();
    sim.ClearCalls();
    return calls;
  }
  static std::vector<std::string> DriveQueries() {
    std::vector<std::string> queries;
    for (char letter = 'C'; letter <= 'M'; ++letter) {
      queries.push_back(std::string("GetDriveTypeA \"") + letter + ":\\\"");
    }
    return queries;
  }
};

TEST_F(HotkeyTest, AQuietTickOnlyAsksForTheFiveKeys) {
  Tick();
  EXPECT_THAT(AllCalls(),
              ElementsAre("GetAsyncKeyState 111", "GetAsyncKeyState 106", "GetAsyncKeyState 107",
                          "GetAsyncKeyState 122", "GetAsyncKeyState 123"));
}

TEST_F(HotkeyTest, KeysDownTogetherActInTableOrderEachAskedJustBeforeItsAction) {
  for (int key : {111, 106, 107, 122, 123}) sim.SetKeyState(key, kDown);
  Tick();
  std::vector<std::string> expected{"GetAsyncKeyState 111", kDoorOpen, "GetAsyncKeyState 106",
                                    kDoorClosed, "GetAsyncKeyState 107"};
  for (const auto& query : DriveQueries()) {
    expected.push_back(query);
    if (query.find("E:") != std::string::npos) expected.push_back("Shell \"explorer E:\" 1");
  }
  for (const char* rest : {"GetAsyncKeyState 122", kDial163, "GetAsyncKeyState 123", kDialNorbek}) {
    expected.push_back(rest);
  }
  EXPECT_EQ(AllCalls(), expected);
  EXPECT_EQ(ShownLamp(), LampState::ClosedDoor) << "hotkeys never touch the icon";
}

TEST_F(HotkeyTest, OnlyTheDownBitCounts) {
  for (int key : {111, 106, 107, 122, 123}) sim.SetKeyState(key, 1);  // pressed since last asked
  Tick();
  for (int key : {111, 106, 107, 122, 123}) sim.SetKeyState(key, static_cast<std::int16_t>(0x7FFF));
  Tick();
  EXPECT_THAT(TakeCalls(), IsEmpty());
  sim.SetKeyState(111, static_cast<std::int16_t>(0x8001));
  Tick();
  EXPECT_THAT(TakeCalls(), ElementsAre(kDoorOpen));
}

TEST_F(HotkeyTest, HeldDoorKeysRepeatEveryTickWhileHeldLaunchersActOncePerPress) {
  sim.SetKeyState(111, kDown);
  sim.SetKeyState(106, kDown);
  sim.SetKeyState(122, kDown);
  sim.Advance(50);
  std::vector<std::string> expected{kDoorOpen, kDoorClosed, kDial163};
  for (int tick = 1; tick < 5; ++tick) {
    expected.insert(expected.end(), {kDoorOpen, kDoorClosed});
  }
  EXPECT_EQ(TakeCalls(), expected);

  sim.SetKeyState(111, 0);
  sim.SetKeyState(106, 0);
  sim.SetKeyState(122, 0);
  Tick();
  sim.SetKeyState(122, kDown);
  sim.Advance(30);
  EXPECT_THAT(TakeCalls(), ElementsAre(kDial163)) << "a new press acts again";
}

TEST_F(HotkeyTest, TheMainKeyboardsSlashAsteriskAndPlusDoNothing) {
  for (int key : {0xBF, 0x38, 0xBB, 0x6D, 0x6C}) sim.SetKeyState(key, kDown);
  sim.Advance(100);
  EXPECT_THAT(TakeCalls(), IsEmpty());
}

TEST_F(HotkeyTest, AFailingLauncherIsReportedAndTheRestOfTheTickGoesOn) {
  sim.FailProgram(u"explorer");
  sim.SetKeyState(107, kDown);
  sim.SetKeyState(122, kDown);
  Tick();
  const auto calls = TakeCalls();
  const auto shellE = std::find(calls.begin(), calls.end(), "Shell \"explorer E:\" 1");
  ASSERT_NE(shellE, calls.end());
  EXPECT_THAT(std::vector<std::string>(shellE + 1, calls.end()),
              ElementsAre("MsgBox \"无法运行“explorer E:”，请检查该程序是否存在！\"", kDial163));
  EXPECT_FALSE(sim.Ended());
}

TEST_F(HotkeyTest, TicksInsideTheFailureMessageNeitherRepeatTheActionNorFreezeOtherKeys) {
  sim.FailProgram(u"explorer");
  sim.SetKeyState(107, kDown);
  int boxes = 0;
  sim.onMessage = [&](std::u16string_view) {
    ++boxes;
    sim.SetKeyState(111, kDown);
    sim.Advance(30);  // the keypad add key is still held while the box is open
    sim.SetKeyState(111, 0);
  };
  Tick();
  EXPECT_EQ(boxes, 1);
  const auto calls = TakeCalls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), kDoorOpen), 3);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Shell \"explorer E:\" 1"), 1);
}

}  // namespace
}  // namespace lumivo
