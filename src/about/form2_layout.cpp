#include "about/form2.h"

namespace lumivo {
namespace {

using enum ControlType;

// The labels are invisible click areas over the About picture; their coordinates count from
// the picture's top-left pixel. The picture box is one pixel larger than the window each way,
// so its right and bottom border lines fall outside it.
constexpr ControlLayout kControls[] = {
    {.id = Form2::Picture1,
     .type = PictureBox,
     .name = u"Picture1",
     .left = 0,
     .top = 0,
     .width = 3735,
     .height = 1800,
     .picture = Picture::AboutPicture,
     .appearance = Appearance::Flat,
     .autoSize = true,
     .tabIndex = 0},
    {.id = Form2::Label3,
     .type = Label,
     .name = u"Label3",
     .container = Form2::Picture1,
     .left = 120,
     .top = 120,
     .width = 3495,
     .height = 855,
     .transparent = true,
     .tabIndex = 3,
     .toolTip = u"单击关闭此图形窗口"},
    {.id = Form2::Label2,
     .type = Label,
     .name = u"Label2",
     .container = Form2::Picture1,
     .left = 120,
     .top = 1440,
     .width = 3510,
     .height = 300,
     .transparent = true,
     .tabIndex = 2,
     .toolTip = u"您有什么建议和意见,请一定伊妹儿我哟,先谢了!",
     .mouseIcon = Picture::HandCursor},
    {.id = Form2::Label1,
     .type = Label,
     .name = u"Label1",
     .container = Form2::Picture1,
     .left = 120,
     .top = 1080,
     .width = 3510,
     .height = 300,
     .transparent = true,
     .tabIndex = 1,
     .toolTip = u"欢迎访问Norbek网站,还有更多更好的软件等你下载哟!",
     .mouseIcon = Picture::HandCursor},
};

}  // namespace

const FormLayout Form2::kLayout = {
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
