// Runs the tray's decoding of the shell's mouse messages, compiled as the Windows exe compiles
// it (msvcrt.dll's printf and strtod), at every screen setting, and reports each difference
// from what the unit tests assert with the host's C library. Exit status 0 when there is none.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands/drive_door.h"
#include "platform/form_runtime.h"
#include "platform/twips.h"
#include "platform/windows_services.h"
#include "tray/tray_events.h"
#include "tray/tray_host.h"
#include "tray/tray_lamp.h"

namespace lumivo {
namespace {

constexpr float kTwipsPerInch = 1440.0f;
constexpr int kFirstDpi = 72;
constexpr int kLastDpi = 480;

// What the shell may send a legacy icon: the context-menu message, every mouse message and the
// shell's own notifications.
constexpr int kContextMenu = 123;
constexpr int kFirstMouseMessage = 512;
constexpr int kLastMouseMessage = 526;
constexpr int kFirstShellNotification = 1024;
constexpr int kLastShellNotification = 1031;

constexpr int kLeftButtonDown = 513;
constexpr int kRightButtonUp = 517;
constexpr int kRightButtonDoubleClick = 518;

class Services final : public WindowsServices {
 public:
  std::string ToAnsi(std::u16string_view text) const override {
    return std::string(text.begin(), text.end());
  }
  bool Shell_NotifyIconA(TrayRequest, const TrayIconRecord&, std::u16string_view) override {
    return true;
  }
  void mciSendStringA(const std::string& command) override { commands += command + ";"; }
  std::uint32_t GetDriveTypeA(const std::string&) override { return 0; }
  void ShellExecuteA(WindowHandle, const std::string&, int, std::u16string_view) override {}
  void EnableShutdownPrivilege() override {}
  void ExitWindowsEx(WindowsExit, std::uint32_t, ExitWindowsAnswer& answer) override {
    answer.OnExitWindowsAnswered(false);
  }
  std::int16_t GetAsyncKeyState(std::int32_t) override { return 0; }
  void SetWindowPos(WindowHandle, WindowHandle, int, int, int, int, std::uint32_t) override {}
  bool IsLampDrive(std::u16string_view) override { return true; }
  DoorState DoorStateOf(std::u16string_view) override { return DoorState::Unknown; }
  DoorResult MoveDoor(std::u16string_view, bool) override { return DoorResult::Refused; }
  void WatchDoor(DoorWatcher&) override {}
  DoorState RunningLampDoor() override { return DoorState::Unknown; }
  void TellRunningCopy(DoorState) override {}

  std::string commands;
};

class Runtime final : public FormRuntime {
 public:
  std::unique_ptr<FormWindow> CreateForm(const FormLayout&, FormEvents&) override {
    return nullptr;
  }
  bool AnotherCopyIsRunning() override { return false; }
  void ShowMessage(std::u16string_view) override {}
  [[noreturn]] void End(int) override { std::abort(); }
  std::optional<std::uint32_t> StartProgram(std::u16string_view, int) override {
    return std::nullopt;
  }
  float TwipsPerPixel() const override { return twipsPerPixel; }
  bool FileExists(std::u16string_view) override { return false; }
  std::u16string ProgramFolder() const override { return {}; }

  float twipsPerPixel = 15.0f;
};

class Host final : public TrayHost {
 public:
  WindowHandle LampWindow(LampState state) override { return state == LampState::OpenDoor; }
  IconHandle LampIcon(LampState) override { return 0; }
  void RetryLampEverySecond() override {}
  void PopupMenu() override { ++menus; }
  void Close() override {}

  int menus = 0;
};

class Check {
 public:
  Check() : lamp_(services_, host_), door_(services_), events_(runtime_, lamp_, door_, host_) {}

  // The run-time's twips per pixel at this DPI, and X as a picture box reports the pixel.
  void AtDpi(int dpi) {
    dpi_ = dpi;
    runtime_.twipsPerPixel = kTwipsPerInch / static_cast<float>(dpi);
  }
  float TwipsOf(int code) const {
    return PixelsToTwips(static_cast<std::int16_t>(code), runtime_.twipsPerPixel);
  }

  void ClosedDoorLamp(int code) {
    Send(LampState::ClosedDoor, TwipsOf(code), std::to_string(code),
         code == kLeftButtonDown ? "set CDAudio door open;" : "", code == kRightButtonDoubleClick);
  }
  void OpenDoorLamp(int code) {
    Send(LampState::OpenDoor, TwipsOf(code), std::to_string(code),
         code == kRightButtonUp ? "set CDAudio door closed;" : "", false);
  }
  // A quotient that is not a whole number: its text, and no action.
  void Fraction(float pixels, const std::string& text) {
    Send(LampState::ClosedDoor, pixels * runtime_.twipsPerPixel, text, "", false);
  }

  int Checked() const { return checked_; }
  int Failed() const { return failed_; }

 private:
  void Send(LampState lamp, float x, const std::string& text, const std::string& commands,
            bool menu) {
    lamp_.Install(lamp);
    services_.commands.clear();
    host_.menus = 0;
    if (lamp == LampState::ClosedDoor) {
      events_.OnClosedDoorLamp(x);
    } else {
      events_.OnOpenDoorLamp(x);
    }
    const std::u16string& message = events_.LastMessage();
    const std::string decoded(message.begin(), message.end());
    ++checked_;
    if (decoded == text && services_.commands == commands && (host_.menus == 1) == menu) return;
    ++failed_;
    std::printf(
        "dpi %d, %s lamp, x %.9g twips: text \"%s\", want \"%s\"; door \"%s\", want "
        "\"%s\"; %d menus\n",
        dpi_, lamp == LampState::ClosedDoor ? "closed-door" : "open-door", static_cast<double>(x),
        decoded.c_str(), text.c_str(), services_.commands.c_str(), commands.c_str(), host_.menus);
  }

  Services services_;
  Runtime runtime_;
  Host host_;
  TrayLamp lamp_;
  DriveDoor door_;
  TrayEvents events_;
  int dpi_ = 0;
  int checked_ = 0;
  int failed_ = 0;
};

void CheckCode(Check& check, int code) {
  check.ClosedDoorLamp(code);
  check.OpenDoorLamp(code);
}

}  // namespace
}  // namespace lumivo

int main() {
  lumivo::Check check;
  for (int dpi = lumivo::kFirstDpi; dpi <= lumivo::kLastDpi; ++dpi) {
    check.AtDpi(dpi);
    lumivo::CheckCode(check, lumivo::kContextMenu);
    for (int code = lumivo::kFirstMouseMessage; code <= lumivo::kLastMouseMessage; ++code) {
      lumivo::CheckCode(check, code);
    }
    for (int code = lumivo::kFirstShellNotification; code <= lumivo::kLastShellNotification;
         ++code) {
      lumivo::CheckCode(check, code);
    }
  }
  check.AtDpi(96);
  check.Fraction(513.5f, "513.5");
  check.Fraction(518.25f, "518.25");
  std::printf("%d decodings checked at screen settings %d to %d DPI, %d wrong\n", check.Checked(),
              lumivo::kFirstDpi, lumivo::kLastDpi, check.Failed());
  return check.Failed() == 0 ? 0 : 1;
}
