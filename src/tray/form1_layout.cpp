#include "tray/form1.h"

namespace lumivo {
namespace {

using enum ControlType;

// Nobody sees this window; the dial-up buttons and the spare picture-box elements are here
// because the hotkeys and the tray reach their handlers through it.
constexpr ControlLayout kControls[] = {
    {.id = Form1::Command2,
     .type = CommandButton,
     .name = u"Command2",
     .left = 1440,
     .top = 840,
     .width = 975,
     .height = 375,
     .caption = u"Norbek-163",
     .tabIndex = 5},
    {.id = Form1::Command1,
     .type = CommandButton,
     .name = u"Command1",
     .left = 120,
     .top = 840,
     .width = 975,
     .height = 375,
     .caption = u"163",
     .tabIndex = 4},
    {.id = Form1::Timer2, .type = Timer, .name = u"Timer2", .interval = 10},
    {.id = Form1::Picture2_1,
     .type = PictureBox,
     .name = u"Picture2",
     .index = 1,
     .left = 1200,
     .top = 120,
     .width = 270,
     .height = 270,
     .picture = Picture::OpenDoorLamp,
     .appearance = Appearance::Flat,
     .autoSize = true,
     .tabIndex = 3},
    {.id = Form1::Picture2_0,
     .type = PictureBox,
     .name = u"Picture2",
     .index = 0,
     .left = 840,
     .top = 120,
     .width = 270,
     .height = 270,
     .picture = Picture::OpenDoorLamp,
     .appearance = Appearance::Flat,
     .autoSize = true,
     .tabIndex = 2},
    {.id = Form1::Timer1, .type = Timer, .name = u"Timer1", .interval = 1000},
    {.id = Form1::Picture1_1,
     .type = PictureBox,
     .name = u"Picture1",
     .index = 1,
     .left = 480,
     .top = 120,
     .width = 300,
     .height = 300,
     .picture = Picture::ClosedDoorLamp,
     .appearance = Appearance::ThreeD,
     .autoSize = true,
     .tabIndex = 1},
    {.id = Form1::Picture1_0,
     .type = PictureBox,
     .name = u"Picture1",
     .index = 0,
     .left = 120,
     .top = 120,
     .width = 300,
     .height = 300,
     .picture = Picture::ClosedDoorLamp,
     .appearance = Appearance::ThreeD,
     .autoSize = true,
     .tabIndex = 0},
};

constexpr MenuItemLayout kMenu[] = {
    {Form1::Hid_Exit, u"Hid_Exit", u"退出程序"},
    {Form1::hide_0, u"hide_0", kMenuSeparator},
    {Form1::Hide_readme, u"Hide_readme", u"使用说明"},
    {Form1::Hid_About, u"Hid_About", u"关于软件"},
    {Form1::Hid_1, u"Hid_1", kMenuSeparator},
    {Form1::Hid_ListCD, u"Hid_ListCD", u"浏览光盘"},
    {Form1::Hid_2, u"Hid_2", kMenuSeparator},
    {Form1::hid_restart, u"hid_restart", u"立即重启"},
    {Form1::Hid_shutdown, u"Hid_shutdown", u"立即关机"},
};

}  // namespace

const FormLayout Form1::kLayout = {
    .name = u"Form1",
    .caption = u"Lumivo v1.2",
    .icon = Picture::ProgramIcon,
    .border = BorderStyle::Sizable,
    .startUpPosition = StartUpPosition::WindowsDefault,
    .left = 165,
    .top = 735,
    .width = 2610,
    .height = 1590,
    .controls = kControls,
    .menu = kMenu,
};

}  // namespace lumivo
