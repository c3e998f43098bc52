#include "about/form2.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace lumivo {
namespace {

constexpr int kWidth = 248;
constexpr int kHeight = 119;

// Whole number nearest to a drawing position, halves to the even one.
std::int32_t RoundToInt32(float value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

}  // namespace

Form2::Form2(WindowsServices& services, FormRuntime& runtime)
    : Form(runtime, kLayout), services_(services) {}

void Form2::Form_Load() {
  const WindowHandle window = hWnd();
  const std::int32_t x = RoundToInt32(CurrentX());
  const std::int32_t y = RoundToInt32(CurrentY());
  services_.SetWindowPos(window, HWND_TOPMOST, x, y, kWidth, kHeight, SWP_SHOWWINDOW);
}

void Form2::OnClick(int control) {
  switch (control) {
    case Label1:
      Label1_Click();
      break;
    case Label2:
      Label2_Click();
      break;
    case Label3:
      Label3_Click();
      break;
    default:
      break;
  }
}

// Shown in a normal window: a browser or mail window opened hidden would be lost to the user.
void Form2::OpenLink(std::u16string_view url) {
  services_.ShellExecuteA(hWnd(), services_.ToAnsi(url), SW_SHOWNORMAL);
}

void Form2::Label1_Click() { OpenLink(kMakerHomePage); }

// The subject goes in the system code page as it is; mail clients of the time read it so.
void Form2::Label2_Click() {
  OpenLink(u"mailto:" + std::u16string(kMakerEmail) + u"?subject=Lumivo程序");
}

void Form2::Label3_Click() {
  Hide();
  Unload();
}

}  // namespace lumivo
