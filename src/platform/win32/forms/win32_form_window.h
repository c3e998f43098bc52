#pragma once

#include "platform/win32/windows_api.h"

#include <memory>
#include <vector>

#include "platform/form_runtime.h"
#include "platform/win32/forms/context_menu.h"
#include "platform/win32/forms/picture_box.h"
#include "platform/win32/forms/runtime_state.h"
#include "platform/win32/unique_handles.h"

namespace lumivo {

// A loaded form: a top-level window with its controls. Destroying it destroys the window, and
// with it every child and owned window.
class Win32FormWindow final : public FormWindow {
 public:
  Win32FormWindow(const FormLayout& layout, FormEvents& events, const RuntimeState& state);
  ~Win32FormWindow() override;
  Win32FormWindow(const Win32FormWindow&) = delete;
  Win32FormWindow& operator=(const Win32FormWindow&) = delete;

  WindowHandle Handle() const override;
  void Show() override;
  void Hide() override;
  WindowHandle ControlHandle(int control) const override;
  IconHandle ControlIcon(int control) const override;
  bool SetTimerEnabled(int control, bool enabled) override;
  void PopupMenu() override;

  // Whether the window and every control and timer of the layout were created.
  bool Complete() const { return complete_; }

  // For the window procedure.
  void Attach(HWND window) { window_ = window; }
  void Detach() { window_ = nullptr; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void AllowTaskbarCreated();
  void SetIcon();
  bool CreateControl(const ControlLayout& control);
  HWND ContainerWindow(int container) const;
  HWND ControlWindow(int control) const;
  bool CreateButton(const ControlLayout& control);
  bool CreatePictureBox(const ControlLayout& control);
  bool StartTimer(const ControlLayout& timer);
  bool TimerRunning(int timer) const;
  void AddLabel(const ControlLayout& control);
  const ControlLayout* FindControl(int id) const;

  LRESULT OnButtonClicked(int control, HWND button);
  LRESULT OnTimerTick(int control);
  LRESULT OnCloseRequest();
  LRESULT OnQueryEndSession();
  LRESULT OnEndSession(WPARAM ending);
  LRESULT OnTaskbarCreated();

  const FormLayout& layout_;
  FormEvents& events_;
  const RuntimeState& state_;
  // Twips per pixel of this form's layout.
  float twipsPerPixel_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
  ContextMenu menu_;
  std::vector<std::unique_ptr<PictureBox>> pictureBoxes_;
  // A form has a handful of controls and timers: plain lists, searched in order, keep the exe
  // free of the tree containers' code. Each control id once, as in the layout.
  struct ControlWindowEntry {
    int id;
    HWND window;
  };
  std::vector<ControlWindowEntry> controlWindows_;
  std::vector<int> runningTimers_;
  // Lets PopupMenu notice that a handler run inside the menu destroyed this window. Not
  // make_shared: without RTTI its control block needs the library's type checks.
  std::shared_ptr<bool> alive_{new bool(true)};
  HWND window_ = nullptr;
  bool complete_ = false;
};

}  // namespace lumivo
