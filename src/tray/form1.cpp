#include "tray/form1.h"

namespace lumivo {

Form1::Form1(WindowsServices& services, FormRuntime& runtime)
    : Form(runtime, kLayout), services_(services), form2_(services, runtime) {}

// Checked before the form exists, so a second copy never starts the timers: no hotkey acts
// twice and no tray icon of its own is left behind.
void Form1::StartUp() {
  if (runtime_.PrevInstance()) {
    runtime_.MsgBox(u"Lumivo程序已经运行，请用鼠标左、右键点击状态栏中的*光驱*进行操作！");
    runtime_.End();
  }
  // Without its window and timers the program would run unseen, with no icon and no hotkeys.
  if (!Load()) {
    runtime_.MsgBox(u"Lumivo无法创建它的窗口或定时器，程序将退出！");
    runtime_.End();
  }
}

void Form1::Form_Load() {
  Hide();
  form2_.Show();
  SendDoorCommand(kDoorClosedCommand);
}

// The first tick ends the splash: the program now lives in the tray. Later ticks come only
// while the shell refuses the icon, and try again.
void Form1::Timer1_Timer() {
  if (!splashOver_) {
    splashOver_ = true;
    form2_.Hide();
    Install(TrayIcon::ClosedDoor);
  } else if (lamp_ && !lampInstalled_) {
    RetryInstall();
  }
  SetTimer1Running(lamp_ && !lampInstalled_);
}

void Form1::SetTimer1Running(bool running) {
  if (running == timer1Running_) return;
  timer1Running_ = running;
  Window().SetTimerEnabled(Timer1, running);
}

void Form1::OnTimer(int control) {
  if (control == Timer1) Timer1_Timer();
  if (control == Timer2) Timer2_Timer();
}

void Form1::OnMouseMove(int control, std::int16_t index, std::int16_t button, std::int16_t shift,
                        float x, float y) {
  if (control == Picture1_0) Picture1_MouseMove(index, button, shift, x, y);
  if (control == Picture2_0) Picture2_MouseMove(index, button, shift, x, y);
}

void Form1::OnClick(int control) {
  switch (control) {
    case Command1:
      Command1_Click();
      break;
    case Command2:
      Command2_Click();
      break;
    case Hid_Exit:
      Hid_Exit_Click();
      break;
    case Hide_readme:
      Hide_readme_Click();
      break;
    case Hid_About:
      Hid_About_Click();
      break;
    case Hid_ListCD:
      Hid_ListCD_Click();
      break;
    case hid_restart:
      hid_restart_Click();
      break;
    case Hid_shutdown:
      Hid_shutdown_Click();
      break;
    default:
      break;
  }
}

}  // namespace lumivo
