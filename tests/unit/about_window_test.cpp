#include "about/about_window_layout.h"
#include "lumivo_fixture.h"

namespace lumivo {
namespace {

using testing::ElementsAre;

constexpr const char* kPlaceOnTop = "SetWindowPos Form2 HWND_TOPMOST 0 0 248 119 64";

TEST_F(LumivoTest, TheWebAndMailLinesOpenTheirLinksInANormalWindowAndTheWindowStays) {
  Start();
  sim.ClearCalls();
  sim.Click(u"Form2", u"Label1");
  sim.Click(u"Form2", u"Label2");
  EXPECT_THAT(
      TakeCalls(),
      ElementsAre(
          "ShellExecuteA Form2 open \"http://www.norbek.example/\" 1",
          "ShellExecuteA Form2 open \"mailto:norbek@norbek.example?subject=Lumivo程序\" 1"));
  EXPECT_TRUE(AboutVisible());

  // The subject goes out as the code page's bytes, not percent-encoded.
  const std::string mail = sim::ToGbk(u"mailto:norbek@norbek.example?subject=Lumivo程序");
  EXPECT_EQ(mail.substr(mail.size() - 4), "\xb3\xcc\xd0\xf2");
}

TEST_F(LumivoTest, TheUpperPanelClosesTheWindowAndTheMenuCreatesItAnew) {
  StartToTray();
  sim.ClearCalls();
  ChooseFromMenu(u"Hid_About");
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1", "Show Form2"))
      << "a hidden window is only shown again";

  sim.Click(u"Form2", u"Label3");
  EXPECT_THAT(TakeCalls(), ElementsAre("Hide Form2", "Destroy Form2"));
  EXPECT_EQ(sim.FindWindow(u"Form2"), nullptr);

  ChooseFromMenu(u"Hid_About");
  EXPECT_THAT(TakeCalls(),
              ElementsAre("PopupMenu Form1", "CreateForm Form2", kPlaceOnTop, "Show Form2"));
  EXPECT_TRUE(AboutVisible());

  ChooseFromMenu(u"Hid_About");
  EXPECT_THAT(TakeCalls(), ElementsAre("PopupMenu Form1", "Show Form2"))
      << "a visible window stays where it is";
}

TEST_F(LumivoTest, ClosingTheSplashEarlyLeavesTheWindowLoadedAndHiddenAfterTheFirstTick) {
  Start();
  sim.Advance(300);
  sim.Click(u"Form2", u"Label3");
  sim.ClearCalls();
  sim.Advance(700);
  EXPECT_THAT(TakeCalls(), ElementsAre("CreateForm Form2", kPlaceOnTop, "Hide Form2",
                                       InstallClosed(), "Disable Form1.Timer1"));
  ASSERT_NE(sim.FindWindow(u"Form2"), nullptr);
  EXPECT_FALSE(AboutVisible());
}

TEST_F(LumivoTest, ClicksOutsideTheThreeAreasDoNothing) {
  Start();
  sim.ClearCalls();
  sim.Click(u"Form2", u"Picture1");
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_TRUE(AboutVisible());
}

TEST(AboutLayout, TheClickAreasLieOnThePicturesLinesAt96Dpi) {
  struct Area {
    int id, left, top, width, height;
  };
  const Area expected[] = {{Id(AboutControl::UpperPanel), 8, 8, 233, 57},
                           {Id(AboutControl::MailLine), 8, 96, 234, 20},
                           {Id(AboutControl::WebLine), 8, 72, 234, 20}};
  const auto controls = kAboutWindowLayout.controls;
  ASSERT_EQ(controls.size(), 4u);
  EXPECT_EQ(controls[0].id, Id(AboutControl::Picture));
  EXPECT_EQ(controls[0].picture, Picture::AboutPicture);
  for (std::size_t i = 0; i < 3; ++i) {
    const ControlLayout& label = controls[i + 1];
    SCOPED_TRACE(sim::ToUtf8(label.name));
    EXPECT_EQ(label.id, expected[i].id);
    EXPECT_EQ(label.container, Id(AboutControl::Picture));
    EXPECT_TRUE(label.caption.empty());
    EXPECT_EQ(label.left / 15, expected[i].left);
    EXPECT_EQ(label.top / 15, expected[i].top);
    EXPECT_EQ(label.width / 15, expected[i].width);
    EXPECT_EQ(label.height / 15, expected[i].height);
  }
  EXPECT_EQ(controls[1].mouseIcon, Picture::None) << "the upper panel keeps the arrow";
  EXPECT_EQ(controls[2].mouseIcon, Picture::HandCursor);
  EXPECT_EQ(controls[3].mouseIcon, Picture::HandCursor);
  EXPECT_EQ(kAboutWindowLayout.border, BorderStyle::None);
  EXPECT_EQ(kAboutWindowLayout.designTwipsPerPixel, 15) << "laid out at the picture's scale";
  EXPECT_EQ(kAboutWindowLayout.width / 15, 248);
  EXPECT_EQ(kAboutWindowLayout.height / 15, 119);
}

}  // namespace
}  // namespace lumivo
