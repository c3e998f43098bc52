#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/form_layout.h"
#include "platform/tray_icon_record.h"

namespace lumivo {

// What a form hears from its window. Every call arrives on the GUI thread; a handler may
// unload its own form, so the run-time touches nothing of the form after a call returns.
class FormEvents {
 public:
  virtual void OnClick(int control) = 0;  // button, label or menu item
  virtual void OnTimer(int control) = 0;
  // Message 512 on a picture box, reported as a mouse move: X in twips. (The run-time's
  // button, shift and Y are of no use to this program.)
  virtual void OnMouseMove(int control, float x) = 0;
  // A close request from outside: another program, or Windows ending the session.
  virtual void OnCloseRequest() = 0;
  // The shell's taskbar was created again (Explorer restarted); tray icons must be re-added.
  virtual void OnTaskbarCreated() = 0;

 protected:
  ~FormEvents() = default;
};

// The live window of a loaded form, with its controls. Destroying it destroys the window.
class FormWindow {
 public:
  virtual ~FormWindow() = default;

  virtual WindowHandle Handle() const = 0;
  virtual void Show() = 0;  // modeless
  virtual void Hide() = 0;
  virtual WindowHandle ControlHandle(int control) const = 0;
  virtual IconHandle ControlIcon(int control) const = 0;
  // Whether the timer now runs (or stands) as asked: starting one can fail.
  virtual bool SetTimerEnabled(int control, bool enabled) = 0;
  // Pops up the form's menu at the mouse pointer; the chosen item's OnClick has run when
  // this returns. Timers keep ticking meanwhile.
  virtual void PopupMenu() = 0;
};

// Exit codes: a program that could not run as it should ends with a failure.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;

// The services of the form run-time that are not tied to one window.
class FormRuntime {
 public:
  virtual ~FormRuntime() = default;

  // Creates the form's window and controls, hidden, and starts its enabled timers; nothing
  // when the window, one of its controls or one of its timers cannot be created.
  virtual std::unique_ptr<FormWindow> CreateForm(const FormLayout& layout, FormEvents& events) = 0;
  virtual bool AnotherCopyIsRunning() = 0;
  // Modal box with one OK button, titled "Lumivo"; timers keep ticking while it is open.
  virtual void ShowMessage(std::u16string_view prompt) = 0;
  // Ends the program at once with that exit code: it does not return, and nothing of the
  // program runs after it.
  [[noreturn]] virtual void End(int exitCode) = 0;
  // Starts the program named first in the command line; its process id, or nothing when it
  // could not be started.
  virtual std::optional<std::uint32_t> StartProgram(std::u16string_view commandLine,
                                                    int windowStyle) = 0;
  virtual float TwipsPerPixel() const = 0;
  // Whether a path names an existing file (not a folder).
  virtual bool FileExists(std::u16string_view path) = 0;
  // The folder that holds the program's own executable, with no separator at its end.
  virtual std::u16string ProgramFolder() const = 0;
};

}  // namespace lumivo
