#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "about/form2.h"
#include "platform/form.h"
#include "platform/windows_services.h"

namespace lumivo {

// The hidden main window: it owns the tray icon, the timers, the dial-up buttons and the
// popup menu. Nothing ever shows it.
class Form1 final : public Form {
 public:
  enum Control : int {
    Command2 = 1,
    Command1,
    Timer2,
    Picture2_1,
    Picture2_0,
    Timer1,
    Picture1_1,
    Picture1_0,
    Hid_Exit,
    hide_0,
    Hide_readme,
    Hid_About,
    Hid_1,
    Hid_ListCD,
    Hid_2,
    hid_restart,
    Hid_shutdown,
  };
  static const FormLayout kLayout;

  // The two states of the tray icon: which door command was last given through it.
  enum class TrayIcon { ClosedDoor, OpenDoor };

  Form1(WindowsServices& services, FormRuntime& runtime);

  // The program's start: refuses to run beside another copy, else loads this form.
  void StartUp();

  void Timer1_Timer();
  void Timer2_Timer();
  void Picture1_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                          float Y);
  void Picture2_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                          float Y);
  void Hid_Exit_Click();
  void Hide_readme_Click();
  void Hid_About_Click();
  void Hid_ListCD_Click();
  void hid_restart_Click();
  void Hid_shutdown_Click();
  void Command1_Click();
  void Command2_Click();

  const NOTIFYICONDATA& TrayRecord() const { return nid; }
  const std::u16string& LastTrayMessage() const { return TrayMessage; }
  std::optional<TrayIcon> ShownIcon() const { return lampInstalled_ ? lamp_ : std::nullopt; }
  Form2& About() { return form2_; }

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void OnClick(int control) override;
  void OnTimer(int control) override;
  void OnMouseMove(int control, std::int16_t index, std::int16_t button, std::int16_t shift,
                   float x, float y) override;
  void OnTaskbarCreated() override;

  // Tray record operations.
  void Install(TrayIcon icon);
  void Remove(TrayIcon icon);
  void Swap(TrayIcon from, TrayIcon to);
  void RetryInstall();
  // Timer1 runs for the splash, then again while an install of the icon is refused.
  void SetTimer1Running(bool running);

  void SendDoorCommand(std::u16string_view command);
  // Stores the notification code carried by X and returns its numeric value.
  double DecodeTrayMessage(float X);
  // Removes the icon, asks Windows to end the session when flags are given, and unloads.
  void EndProgram(std::optional<std::uint32_t> exitWindowsFlags);
  bool IsKeyDown(std::int32_t key);
  // Starts a command line; tells the user and returns false when it cannot be started.
  bool Launch(std::u16string_view commandLine);
  void LaunchDialUp(std::u16string_view entryName);

  WindowsServices& services_;
  Form2 form2_;
  NOTIFYICONDATA nid{};
  std::u16string TrayMessage;
  // The icon the tray shows, or is to show once the shell accepts it.
  std::optional<TrayIcon> lamp_;
  bool lampInstalled_ = false;
  bool splashOver_ = false;
  bool timer1Running_ = true;
  // Launcher hotkeys act once per press: whether each was down at the last tick.
  std::array<bool, 3> launcherKeyHeld_{};
};

}  // namespace lumivo
