#include "tray/tray_window_layout.h"

#include "lumivo/version.h"

namespace lumivo {
namespace {

using enum ControlType;

// Nobody sees this window; the dial-up buttons and the spare picture-box elements are here
// because the hotkeys and the tray reach their handlers through it.
constexpr ControlLayout kControls[] = {
    {.id = Id(TrayControl::NorbekDialButton),
     .type = CommandButton,
     .name = u"Command2",
     .left = 1440,
     .top = 840,
     .width = 975,
     .height = 375,
     .caption = u"Norbek-163"},
    {.id = Id(TrayControl::Dial163Button),
     .type = CommandButton,
     .name = u"Command1",
     .left = 120,
     .top = 840,
     .width = 975,
     .height = 375,
     .caption = u"163"},
    {.id = Id(TrayControl::HotkeyTimer), .type = Timer, .name = u"Timer2", .interval = 10},
    {.id = Id(TrayControl::SpareOpenDoorLampHost),
     .type = PictureBox,
     .name = u"Picture2",
     .index = 1,
     .left = 1200,
     .top = 120,
     .width = 270,
     .height = 270,
     .picture = Picture::OpenDoorLamp,
     .appearance = Appearance::Flat,
     .autoSize = true},
    {.id = Id(TrayControl::OpenDoorLampHost),
     .type = PictureBox,
     .name = u"Picture2",
     .index = 0,
     .left = 840,
     .top = 120,
     .width = 270,
     .height = 270,
     .picture = Picture::OpenDoorLamp,
     .appearance = Appearance::Flat,
     .autoSize = true},
    {.id = Id(TrayControl::SplashTimer), .type = Timer, .name = u"Timer1", .interval = 1000},
    {.id = Id(TrayControl::SpareClosedDoorLampHost),
     .type = PictureBox,
     .name = u"Picture1",
     .index = 1,
     .left = 480,
     .top = 120,
     .width = 300,
     .height = 300,
     .picture = Picture::ClosedDoorLamp,
     .appearance = Appearance::ThreeD,
     .autoSize = true},
    {.id = Id(TrayControl::ClosedDoorLampHost),
     .type = PictureBox,
     .name = u"Picture1",
     .index = 0,
     .left = 120,
     .top = 120,
     .width = 300,
     .height = 300,
     .picture = Picture::ClosedDoorLamp,
     .appearance = Appearance::ThreeD,
     .autoSize = true},
};

constexpr MenuItemLayout kMenu[] = {
    {Id(TrayControl::ExitItem), u"Hid_Exit", u"退出程序"},
    {Id(TrayControl::FirstSeparator), u"hide_0", kMenuSeparator},
    {Id(TrayControl::InstructionsItem), u"Hide_readme", u"使用说明"},
    {Id(TrayControl::AboutItem), u"Hid_About", u"关于软件"},
    {Id(TrayControl::SecondSeparator), u"Hid_1", kMenuSeparator},
    {Id(TrayControl::BrowseCdDrivesItem), u"Hid_ListCD", u"浏览光盘"},
    {Id(TrayControl::ThirdSeparator), u"Hid_2", kMenuSeparator},
    {Id(TrayControl::RestartItem), u"hid_restart", u"立即重启"},
    {Id(TrayControl::ShutDownItem), u"Hid_shutdown", u"立即关机"},
};

}  // namespace

const FormLayout kTrayWindowLayout = {
    .name = u"Form1",
    .caption = u"" LUMIVO_CAPTION,
    .icon = Picture::ProgramIcon,
    .border = BorderStyle::Sizable,
    .startUpPosition = StartUpPosition::WindowsDefault,
    .width = 2610,
    .height = 1590,
    .controls = kControls,
    .menu = kMenu,
};

}  // namespace lumivo
