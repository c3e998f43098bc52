#include "about/about_window_layout.h"

namespace lumivo {
namespace {

using enum ControlType;

// The labels are invisible click areas over the About picture; their coordinates count from
// the picture's top-left pixel. The picture box is one pixel larger than the window each way,
// so its right and bottom border lines fall outside it.
constexpr ControlLayout kControls[] = {
    {.id = Id(AboutControl::Picture),
     .type = PictureBox,
     .name = u"Picture1",
     .left = 0,
     .top = 0,
     .width = 3735,
     .height = 1800,
     .picture = Picture::AboutPicture,
     .appearance = Appearance::Flat,
     .autoSize = true},
    {.id = Id(AboutControl::UpperPanel),
     .type = Label,
     .name = u"Label3",
     .container = Id(AboutControl::Picture),
     .left = 120,
     .top = 120,
     .width = 3495,
     .height = 855,
     .toolTip = u"单击关闭此图形窗口"},
    {.id = Id(AboutControl::MailLine),
     .type = Label,
     .name = u"Label2",
     .container = Id(AboutControl::Picture),
     .left = 120,
     .top = 1440,
     .width = 3510,
     .height = 300,
     .toolTip = u"您有什么建议和意见,请一定伊妹儿我哟,先谢了!",
     .mouseIcon = Picture::HandCursor},
    {.id = Id(AboutControl::WebLine),
     .type = Label,
     .name = u"Label1",
     .container = Id(AboutControl::Picture),
     .left = 120,
     .top = 1080,
     .width = 3510,
     .height = 300,
     .toolTip = u"欢迎访问Norbek网站,还有更多更好的软件等你下载哟!",
     .mouseIcon = Picture::HandCursor},
};

}  // namespace

const FormLayout kAboutWindowLayout = {
    .name = u"Form2",
    .caption = u"About",
    .icon = Picture::None,
    .border = BorderStyle::None,
    .startUpPosition = StartUpPosition::CenterScreen,
    .width = 3720,
    .height = 1785,
    // The About picture is a bitmap of fixed pixels: the click areas are placed on its lines.
    .designTwipsPerPixel = 15,
    .controls = kControls,
};

}  // namespace lumivo
