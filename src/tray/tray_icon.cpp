#include <algorithm>
#include <cstring>
#include <string>

#include "tray/form1.h"

namespace lumivo {
namespace {

constexpr std::uint32_t kIconId = 1;
constexpr std::uint32_t kCallbackMessage = 512;  // the mouse-move message: see Picture1_MouseMove

constexpr std::u16string_view kClosedDoorTip =
    u"[Lumivo]单击左键弹出光驱,单击右键关闭光驱,双击右键弹出菜单.";
constexpr std::u16string_view kOpenDoorTip =
    u"Lumivo -> 单击左键打开光驱,单击右键关闭光驱,双击右键弹出菜单.";

// The shell reads the tip up to its NUL; the rest of the field is padded with spaces.
void FillTip(char (&field)[64], const std::string& text) {
  const std::size_t length = std::min(text.size(), sizeof field - 1);
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

}  // namespace

void Form1::Install(TrayIcon icon) {
  const bool closed = icon == TrayIcon::ClosedDoor;
  const Control host = closed ? Picture1_0 : Picture2_0;
  nid.cbSize = sizeof nid;
  nid.hWnd = Window().ControlHWnd(host);
  nid.uID = kIconId;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kCallbackMessage;
  nid.hIcon = Window().ControlPicture(host);
  FillTip(nid.szTip, services_.ToAnsi(closed ? kClosedDoorTip : kOpenDoorTip));
  lamp_ = icon;
  lampInstalled_ = services_.Shell_NotifyIconA(NIM_ADD, nid);
  // A busy shell (at logon, or while it restarts) is asked again every second.
  if (!lampInstalled_) SetTimer1Running(true);
}

// Only the fields that identify the icon are set; the others keep their last values.
void Form1::Remove(TrayIcon icon) {
  nid.cbSize = sizeof nid;
  nid.hWnd = Window().ControlHWnd(icon == TrayIcon::ClosedDoor ? Picture1_0 : Picture2_0);
  nid.uID = kIconId;
  services_.Shell_NotifyIconA(NIM_DELETE, nid);
  if (lamp_ == icon) {
    lamp_.reset();
    lampInstalled_ = false;
  }
}

// A request that timed out may still have added the icon: it is taken out first, so that the
// tray never holds two.
void Form1::RetryInstall() {
  const TrayIcon icon = *lamp_;
  Remove(icon);
  Install(icon);
}

// The icon is always taken out and put back: each state has its own host window.
void Form1::Swap(TrayIcon from, TrayIcon to) {
  Remove(from);
  Install(to);
}

void Form1::SendDoorCommand(std::u16string_view command) {
  services_.mciSendStringA(services_.ToAnsi(command));
}

}  // namespace lumivo
