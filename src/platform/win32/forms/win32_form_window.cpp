#include "platform/win32/windows_api.h"

#include "platform/win32/forms/win32_form_window.h"

#include <algorithm>
#include <string>

#include "platform/twips.h"
#include "platform/win32/forms/destroy_later.h"
#include "platform/win32/forms/form_frame.h"
#include "platform/win32/forms/resource_pictures.h"
#include "platform/win32/forms/window_classes.h"
#include "platform/win32/forms/window_procedure.h"
#include "platform/win32/handle_values.h"
#include "platform/win32/services/message_filter.h"
#include "platform/win32/text/wide_text.h"

namespace lumivo {

Win32FormWindow::Win32FormWindow(const FormLayout& layout, FormEvents& events,
                                 const RuntimeState& state)
    : layout_(layout),
      events_(events),
      state_(state),
      twipsPerPixel_(layout.designTwipsPerPixel > 0 ? layout.designTwipsPerPixel
                                                    : state.twipsPerPixel),
      menu_(layout.menu) {
  const FormFrame frame = FrameOf(layout, twipsPerPixel_);
  ::CreateWindowExW(0, kFormClassName, AsWide(std::u16string(layout.caption)), frame.style, frame.x,
                    frame.y, frame.width, frame.height, nullptr, nullptr, state.instance, this);
  if (window_ == nullptr || menu_.Failed()) return;
  AllowTaskbarCreated();
  SetIcon();
  for (const ControlLayout& control : layout.controls) {
    if (!CreateControl(control)) return;
  }
  complete_ = true;
}

// An unload may come from inside a handler of this window or of one of its picture boxes, so
// the window and its controls are destroyed later, once nothing of theirs runs.
Win32FormWindow::~Win32FormWindow() {
  for (const auto& box : pictureBoxes_) {
    if (box->Window() != nullptr) DetachOwner(box->Window(), *box);
  }
  if (window_ == nullptr) return;
  HWND window = window_;
  DetachOwner(window, *this);
  DestroyLater(window);
}

void Win32FormWindow::SetIcon() {
  if (layout_.icon == Picture::None) return;
  bigIcon_ = LoadIconPicture(state_.instance, layout_.icon, ::GetSystemMetrics(SM_CXICON));
  smallIcon_ = LoadIconPicture(state_.instance, layout_.icon, ::GetSystemMetrics(SM_CXSMICON));
  ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

// An elevated copy would not hear the shell's broadcast from the unelevated Explorer, and its
// icon would not come back after a restart of the shell.
void Win32FormWindow::AllowTaskbarCreated() {
  AllowMessageFromLowerRights(window_, state_.taskbarCreatedMessage);
}

bool Win32FormWindow::CreateControl(const ControlLayout& control) {
  switch (control.type) {
    case ControlType::CommandButton:
      return CreateButton(control);
    case ControlType::Timer:
      return !control.enabled || StartTimer(control);
    case ControlType::PictureBox:
      return CreatePictureBox(control);
    case ControlType::Label:
      AddLabel(control);
      return true;
  }
  return false;
}

HWND Win32FormWindow::ContainerWindow(int container) const {
  const HWND found = ControlWindow(container);
  return found ? found : window_;
}

HWND Win32FormWindow::ControlWindow(int control) const {
  const auto found = std::ranges::find(controlWindows_, control, &ControlWindowEntry::id);
  return found == controlWindows_.end() ? nullptr : found->window;
}

bool Win32FormWindow::CreateButton(const ControlLayout& control) {
  const float twips = twipsPerPixel_;
  const DWORD style =
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | (control.enabled ? 0 : WS_DISABLED);
  HWND button = ::CreateWindowExW(
      0, L"BUTTON", AsWide(std::u16string(control.caption)), style,
      TwipsToPixels(control.left, twips), TwipsToPixels(control.top, twips),
      TwipsToPixels(control.width, twips), TwipsToPixels(control.height, twips),
      ContainerWindow(control.container), reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
      state_.instance, nullptr);
  ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  controlWindows_.push_back({control.id, button});
  return button != nullptr;
}

bool Win32FormWindow::CreatePictureBox(const ControlLayout& control) {
  auto& box = pictureBoxes_.emplace_back(std::make_unique<PictureBox>(
      control, ContainerWindow(control.container), twipsPerPixel_, state_, events_));
  controlWindows_.push_back({control.id, box->Window()});
  return box->Window() != nullptr;
}

// Labels are windowless; they live on the picture box that contains them.
void Win32FormWindow::AddLabel(const ControlLayout& control) {
  const auto box = std::ranges::find(pictureBoxes_, control.container, &PictureBox::Id);
  if (box != pictureBoxes_.end()) (*box)->AddLabel(control);
}

const ControlLayout* Win32FormWindow::FindControl(int id) const {
  const auto found = std::ranges::find(layout_.controls, id, &ControlLayout::id);
  return found == layout_.controls.end() ? nullptr : &*found;
}

WindowHandle Win32FormWindow::Handle() const { return ValueFromHandle(window_); }

void Win32FormWindow::Show() { ::ShowWindow(window_, SW_SHOW); }

void Win32FormWindow::Hide() { ::ShowWindow(window_, SW_HIDE); }

WindowHandle Win32FormWindow::ControlHandle(int control) const {
  return ValueFromHandle(ControlWindow(control));
}

IconHandle Win32FormWindow::ControlIcon(int control) const {
  const auto box = std::ranges::find(pictureBoxes_, control, &PictureBox::Id);
  return box == pictureBoxes_.end() ? 0 : ValueFromHandle((*box)->Icon());
}

bool Win32FormWindow::TimerRunning(int timer) const {
  return std::ranges::find(runningTimers_, timer) != runningTimers_.end();
}

// An interval of 0 keeps a timer stopped; enabling a running timer does not restart it.
bool Win32FormWindow::StartTimer(const ControlLayout& timer) {
  if (timer.interval <= 0 || TimerRunning(timer.id)) return true;
  if (::SetTimer(window_, static_cast<UINT_PTR>(timer.id), static_cast<UINT>(timer.interval),
                 nullptr) == 0) {
    return false;
  }
  runningTimers_.push_back(timer.id);
  return true;
}

// A timer that KillTimer could not stop still counts as stopped: its ticks are not passed on.
bool Win32FormWindow::SetTimerEnabled(int control, bool enabled) {
  const ControlLayout* timer = FindControl(control);
  if (timer == nullptr || timer->type != ControlType::Timer) return true;
  if (enabled) return StartTimer(*timer);
  if (std::erase(runningTimers_, control) > 0) ::KillTimer(window_, static_cast<UINT_PTR>(control));
  return true;
}

void Win32FormWindow::PopupMenu() {
  if (menu_.Empty()) return;
  const std::weak_ptr<bool> alive = alive_;
  FormEvents& events = events_;
  const int chosen = menu_.Track(window_);
  if (alive.expired() || chosen == 0) return;
  events.OnClick(chosen);
}

LRESULT Win32FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        return OnButtonClicked(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
      }
      break;
    case WM_TIMER:
      return OnTimerTick(static_cast<int>(wParam));
    case WM_CLOSE:
      return OnCloseRequest();
    case WM_QUERYENDSESSION:
      return OnQueryEndSession();
    case WM_ENDSESSION:
      return OnEndSession(wParam);
    default:
      if (message == state_.taskbarCreatedMessage && message != 0) return OnTaskbarCreated();
      break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

// Each handler below raises one event and then returns at once: the form may have been
// unloaded by it, and this object with it.
// Messages can be posted by any program: only a click from one of our own buttons counts.
LRESULT Win32FormWindow::OnButtonClicked(int control, HWND button) {
  const auto found = std::ranges::find(controlWindows_, control, &ControlWindowEntry::id);
  if (found == controlWindows_.end() || found->window != button) return 0;
  events_.OnClick(control);
  return 0;
}

// Likewise only ticks of a running timer: a forged tick of the stopped start-up timer would
// add a second tray icon.
LRESULT Win32FormWindow::OnTimerTick(int control) {
  if (!TimerRunning(control)) return 0;
  events_.OnTimer(control);
  return 0;
}

LRESULT Win32FormWindow::OnCloseRequest() {
  events_.OnCloseRequest();
  return 0;
}

// The session may always end; the form hears of it once, when it really does. Restart
// Manager's shutdown for an install (ENDSESSION_CLOSEAPP in lParam) ends it the same way, at
// once, well within the time it gives before ending a program by force.
LRESULT Win32FormWindow::OnQueryEndSession() { return TRUE; }

LRESULT Win32FormWindow::OnEndSession(WPARAM ending) { return ending ? OnCloseRequest() : 0; }

LRESULT Win32FormWindow::OnTaskbarCreated() {
  events_.OnTaskbarCreated();
  return 0;
}

}  // namespace lumivo
