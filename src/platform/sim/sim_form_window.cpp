#include "platform/sim/sim_form_window.h"

#include "platform/sim/text_codec.h"

namespace lumivo::sim {

SimFormWindow::SimFormWindow(Simulation& simulation, WindowHandle window)
    : simulation_(simulation), window_(window) {}

SimFormWindow::~SimFormWindow() {
  *alive_ = false;
  simulation_.DestroyWindow(window_);
}

SimWindowState& SimFormWindow::State() const { return *simulation_.Find(window_); }

void SimFormWindow::Show() {
  simulation_.Record("Show " + ToUtf8(State().form));
  State().visible = true;
}

void SimFormWindow::Hide() {
  simulation_.Record("Hide " + ToUtf8(State().form));
  State().visible = false;
}

WindowHandle SimFormWindow::ControlHWnd(int control) const { return State().controls.at(control); }

IconHandle SimFormWindow::ControlPicture(int control) const { return State().pictures.at(control); }

void SimFormWindow::SetTimerEnabled(int control, bool enabled) {
  simulation_.SetTimerEnabled(window_, control, enabled);
}

void SimFormWindow::PopupMenu() {
  simulation_.Record("PopupMenu " + ToUtf8(State().form));
  if (!simulation_.onPopupMenu) return;
  const auto alive = alive_;
  const auto chosen = simulation_.onPopupMenu(State().layout->menu);
  if (!*alive || !chosen) return;
  simulation_.Deliver(window_, [&](FormEvents& events) { events.OnClick(*chosen); });
}

}  // namespace lumivo::sim
