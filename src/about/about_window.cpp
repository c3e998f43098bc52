#include "about/about_window.h"

#include <string>

#include "about/about_window_layout.h"

namespace lumivo {
namespace {

constexpr int kWidth = 248;
constexpr int kHeight = 119;

}  // namespace

AboutWindow::AboutWindow(WindowsServices& services, FormRuntime& runtime)
    : Form(runtime, kAboutWindowLayout), services_(services) {}

// Placed at the form's drawing position, which is the top-left corner since nothing is ever
// drawn on it, and kept above all other windows.
void AboutWindow::OnLoad() {
  services_.SetWindowPos(Window().Handle(), kTopmost, 0, 0, kWidth, kHeight, kShowWindowFlag);
}

void AboutWindow::OnClick(int control) {
  switch (static_cast<AboutControl>(control)) {
    case AboutControl::WebLine:
      OpenLink(kMakerHomePage);
      break;
    case AboutControl::MailLine:
      // The subject goes in the system code page as it is; mail clients of the time read it so.
      OpenLink(u"mailto:" + std::u16string(kMakerEmail) + u"?subject=Lumivo程序");
      break;
    case AboutControl::UpperPanel:
      Hide();
      Unload();
      break;
    case AboutControl::Picture:
      break;
  }
}

// Shown in a normal window: a browser or mail window opened hidden would be lost to the user.
void AboutWindow::OpenLink(std::u16string_view url) {
  services_.ShellExecuteA(Window().Handle(), services_.ToAnsi(url), kShowNormal, url);
}

}  // namespace lumivo
