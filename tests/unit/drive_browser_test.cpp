#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

class DriveBrowserTest : public LumivoTest {
 protected:
  void SetUp() override {
    StartToTray();
    sim.ClearCalls();
  }
  void Browse() { ChooseFromMenu(u"Hid_ListCD"); }
  std::vector<std::string> Launched() {
    std::vector<std::string> shells;
    for (const auto& call : TakeCalls()) {
      if (call.starts_with("Shell ")) shells.push_back(call);
    }
    return shells;
  }
};

TEST_F(DriveBrowserTest, EveryLetterFromCToMIsExaminedInOrder) {
  Browse();
  std::vector<std::string> expected{"PopupMenu Form1"};
  for (char letter = 'C'; letter <= 'M'; ++letter) {
    expected.push_back(std::string("GetDriveTypeA \"") + letter + ":\\\"");
  }
  EXPECT_THAT(TakeCalls(), ElementsAreArray(expected));
}

TEST_F(DriveBrowserTest, EachCdRomDriveGetsAFileManagerAndOtherDrivesAreSkipped) {
  sim.SetDriveType('C', 3);  // fixed
  sim.SetDriveType('D', 2);  // removable
  sim.SetDriveType('E', kCdRomDrive);
  sim.SetDriveType('F', 4);  // network
  sim.SetDriveType('G', kCdRomDrive);
  sim.SetDriveType('H', 6);  // RAM disk
  sim.SetDriveType('N', kCdRomDrive);
  Browse();
  EXPECT_THAT(Launched(), ElementsAre("Shell \"explorer E:\" 1", "Shell \"explorer G:\" 1"));

  Browse();
  EXPECT_EQ(Launched().size(), 2u) << "windows already open are not looked for";
}

TEST_F(DriveBrowserTest, CdRomDrivesBeyondMAreNeverOpened) {
  for (char letter : {'A', 'B', 'N', 'Z'}) sim.SetDriveType(letter, kCdRomDrive);
  Browse();
  EXPECT_THAT(Launched(), IsEmpty());
}

TEST_F(DriveBrowserTest, EveryLetterACdRomOpensElevenWindows) {
  for (char letter = 'A'; letter <= 'Z'; ++letter) sim.SetDriveType(letter, kCdRomDrive);
  Browse();
  const auto launched = Launched();
  ASSERT_EQ(launched.size(), 11u);
  EXPECT_EQ(launched.front(), "Shell \"explorer C:\" 1");
  EXPECT_EQ(launched.back(), "Shell \"explorer M:\" 1");
}

TEST_F(DriveBrowserTest, AFileManagerThatCannotStartIsReportedAndTheProgramGoesOn) {
  sim.SetDriveType('E', kCdRomDrive);
  sim.SetDriveType('G', kCdRomDrive);
  sim.FailProgram(u"explorer");
  Browse();
  const auto calls = TakeCalls();
  EXPECT_THAT(std::vector<std::string>(calls.end() - 2, calls.end()),
              ElementsAre("Shell \"explorer E:\" 1",
                          "MsgBox \"无法运行“explorer E:”，请检查该程序是否存在！\""));
  EXPECT_FALSE(sim.Ended());
  EXPECT_EQ(sim.TrayIcons().size(), 1u);
}

}  // namespace
}  // namespace lumivo
