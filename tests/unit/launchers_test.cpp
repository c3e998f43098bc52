#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;

TEST_F(LumivoTest, TheLaunchersStartTheirFixedCommandLinesEveryTime) {
  StartToTray();
  sim.ClearCalls();
  sim.Click(u"Form1", u"Command1");
  sim.Click(u"Form1", u"Command2");
  ChooseFromMenu(u"Hide_readme");
  sim.Click(u"Form1", u"Command1");
  EXPECT_THAT(TakeCalls(), ElementsAre("Shell \"rundll32.exe rnaui.dll,RnaDial 163\" 1",
                                       "Shell \"rundll32.exe rnaui.dll,RnaDial Norbek-163\" 1",
                                       "PopupMenu Form1", "Shell \"notepad.exe c:\\lumivo.txt\" 1",
                                       "Shell \"rundll32.exe rnaui.dll,RnaDial 163\" 1"));
}

// C:'s file wins; the one beside the program stands in where C: has none; with neither, the
// editor is given C:'s file, as always.
TEST_F(LumivoTest, TheMenusInstructionsItemOpensCsFileElseTheOneBesideTheProgram) {
  StartToTray();
  sim.SetProgramFolder(u"D:\\Program Files\\Lumivo");
  sim.ClearCalls();
  ChooseFromMenu(u"Hide_readme");
  sim.AddFile(u"D:\\PROGRAM FILES\\Lumivo\\LUMIVO.TXT");
  ChooseFromMenu(u"Hide_readme");
  sim.AddFile(u"C:\\Lumivo.txt");
  ChooseFromMenu(u"Hide_readme");
  EXPECT_THAT(
      TakeCalls(),
      ElementsAre("PopupMenu Form1", "Shell \"notepad.exe c:\\lumivo.txt\" 1", "PopupMenu Form1",
                  "Shell \"notepad.exe \"D:\\Program Files\\Lumivo\\lumivo.txt\"\" 1",
                  "PopupMenu Form1", "Shell \"notepad.exe c:\\lumivo.txt\" 1"));
}

TEST_F(LumivoTest, AMissingProgramIsNamedInAMessageAndTheIconStays) {
  StartToTray();
  sim.FailProgram(u"notepad.exe");
  sim.ClearCalls();
  ChooseFromMenu(u"Hide_readme");
  EXPECT_THAT(
      TakeCalls(),
      ElementsAre("PopupMenu Form1", "Shell \"notepad.exe c:\\lumivo.txt\" 1",
                  "MsgBox \"无法运行“notepad.exe c:\\lumivo.txt”，请检查该程序是否存在！\""));
  EXPECT_FALSE(sim.Ended());
  EXPECT_EQ(sim.TrayIcons().size(), 1u);
}

}  // namespace
}  // namespace lumivo
