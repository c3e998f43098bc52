#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;

TEST_F(LumivoTest, TheLaunchersStartTheirFixedCommandLinesEveryTime) {
  StartToTray();
  sim.ClearCalls();
  sim.Click(u"Form1", Form1::Command1);
  sim.Click(u"Form1", Form1::Command2);
  form1.Hide_readme_Click();
  form1.Command1_Click();
  EXPECT_THAT(TakeCalls(), ElementsAre("Shell \"rundll32.exe rnaui.dll,RnaDial 163\" 1",
                                       "Shell \"rundll32.exe rnaui.dll,RnaDial Norbek-163\" 1",
                                       "Shell \"notepad.exe c:\\lumivo.txt\" 1",
                                       "Shell \"rundll32.exe rnaui.dll,RnaDial 163\" 1"));
}

TEST_F(LumivoTest, TheMenusInstructionsItemOpensTheFile) {
  StartToTray();
  sim.ClearCalls();
  sim.onPopupMenu = [](std::span<const MenuItemLayout>) -> std::optional<int> {
    return Form1::Hide_readme;
  };
  sim.SendMouseMove(Host(Form1::Picture1_0), 518);
  EXPECT_THAT(TakeCalls(),
              ElementsAre("PopupMenu Form1", "Shell \"notepad.exe c:\\lumivo.txt\" 1"));
}

TEST_F(LumivoTest, AMissingProgramIsNamedInAMessageAndTheIconStays) {
  StartToTray();
  sim.FailProgram(u"notepad.exe");
  sim.ClearCalls();
  form1.Hide_readme_Click();
  EXPECT_THAT(
      TakeCalls(),
      ElementsAre("Shell \"notepad.exe c:\\lumivo.txt\" 1",
                  "MsgBox \"无法运行“notepad.exe c:\\lumivo.txt”，请检查该程序是否存在！\""));
  EXPECT_FALSE(sim.Ended());
  EXPECT_EQ(sim.TrayIcons().size(), 1u);
}

}  // namespace
}  // namespace lumivo
