#include "platform/linux/forms/linux_form_runtime.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QScreen>

#include <cstdlib>

#include "platform/linux/forms/qt_form_window.h"
#include "platform/linux/services/program_launcher.h"

namespace lumivo {
namespace {

constexpr float kTwipsPerInch = 1440.0f;

float ScreenTwipsPerPixel() {
  return kTwipsPerInch /
         static_cast<float>(QGuiApplication::primaryScreen()->logicalDotsPerInchX());
}

}  // namespace

LinuxFormRuntime::LinuxFormRuntime()
    : twipsPerPixel_(ScreenTwipsPerPixel()),
      requests_([this](const std::u16string& message) { ShowMessage(message); }) {}

std::unique_ptr<FormWindow> LinuxFormRuntime::CreateForm(const FormLayout& layout,
                                                         FormEvents& events) {
  auto window = std::make_unique<QtFormWindow>(layout, events, handles_, twipsPerPixel_);
  if (!window->Complete()) return nullptr;
  return window;
}

bool LinuxFormRuntime::AnotherCopyIsRunning() { return sessionLock_.HeldByAnotherCopy(); }

// Raised from a hotkey or a timer, a box must come to the front, not wait unseen behind the
// program that has the focus. Its event loop keeps the timers ticking.
void LinuxFormRuntime::ShowMessage(std::u16string_view prompt) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Lumivo"),
                  QString::fromUtf16(prompt.data(), static_cast<qsizetype>(prompt.size())),
                  QMessageBox::Ok);
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
}

// The process goes at once, from inside whatever event loop (a message box, a menu) the
// handler that ended it was waiting in: no handler resumes, no Qt object is torn down, and
// the desktop drops the tray icon and windows of a process that is gone.
void LinuxFormRuntime::End(int exitCode) { std::_Exit(exitCode); }

// The window style is for Windows' programs; what Linux opens picks its own.
std::optional<std::uint32_t> LinuxFormRuntime::StartProgram(std::u16string_view commandLine, int) {
  return RunCommandLine(commandLine, requests_);
}

// The paths the program asks about are Windows paths, which name no file here: the launcher
// finds the instructions this system installed when given the usual command line.
bool LinuxFormRuntime::FileExists(std::u16string_view) { return false; }

std::u16string LinuxFormRuntime::ProgramFolder() const {
  return QCoreApplication::applicationDirPath().toStdU16String();
}

void LinuxFormRuntime::Run() { QApplication::exec(); }

}  // namespace lumivo
