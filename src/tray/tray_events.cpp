#include <cstdio>
#include <cstdlib>
#include <string>

#include "tray/form1.h"

namespace lumivo {
namespace {

// Mouse messages the shell reports for the icon.
constexpr double WM_LBUTTONDOWN = 513;
constexpr double WM_RBUTTONUP = 517;
constexpr double WM_RBUTTONDBLCLK = 518;

// The general single-precision format: at most 7 significant digits, whole numbers bare.
// The C library's, rather than std::to_chars, whose tables would double the exe's size.
std::string FormatSingle(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
  return text;
}

double ParseDouble(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

}  // namespace

// The shell sends the icon's mouse message as the X of a mouse move, in pixels; the run-time
// has turned it into twips, so dividing by the twips per pixel gives the code back.
double Form1::DecodeTrayMessage(float X) {
  const std::string text = FormatSingle(X / runtime_.TwipsPerPixelX());
  TrayMessage.assign(text.begin(), text.end());
  return ParseDouble(text);
}

void Form1::Picture1_MouseMove(std::int16_t, std::int16_t, std::int16_t, float X, float) {
  const double code = DecodeTrayMessage(X);
  if (code == WM_LBUTTONDOWN) {
    Swap(TrayIcon::ClosedDoor, TrayIcon::OpenDoor);
    SendDoorCommand(kDoorOpenCommand);
  } else if (code == WM_RBUTTONDBLCLK) {
    Window().PopupMenu();
  }
}

void Form1::Picture2_MouseMove(std::int16_t, std::int16_t, std::int16_t, float X, float) {
  if (DecodeTrayMessage(X) == WM_RBUTTONUP) {
    Swap(TrayIcon::OpenDoor, TrayIcon::ClosedDoor);
    SendDoorCommand(kDoorClosedCommand);
  }
}

void Form1::Hid_About_Click() { form2_.Show(); }

// A restarted Explorer has forgotten every icon; put back the one that was shown.
void Form1::OnTaskbarCreated() {
  if (lamp_) Install(*lamp_);
}

}  // namespace lumivo
