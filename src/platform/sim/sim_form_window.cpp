#include "platform/sim/sim_form_window.h"

#include <algorithm>

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

WindowHandle SimFormWindow::ControlHandle(int control) const {
  return State().controls.at(control);
}

IconHandle SimFormWindow::ControlIcon(int control) const { return State().icons.at(control); }

bool SimFormWindow::SetTimerEnabled(int control, bool enabled) {
  return simulation_.SetTimerEnabled(window_, control, enabled);
}

void SimFormWindow::PopupMenu() {
  simulation_.Record("PopupMenu " + ToUtf8(State().form));
  if (!simulation_.onPopupMenu) return;
  const auto alive = alive_;
  const std::span<const MenuItemLayout> items = State().layout->menu;
  const auto chosen = simulation_.onPopupMenu(items);
  if (!*alive || !chosen) return;
  const auto item = std::ranges::find(items, *chosen, &MenuItemLayout::name);
  if (item == items.end()) return;
  const int id = item->id;
  simulation_.Deliver(window_, [id](FormEvents& events) { events.OnClick(id); });
}

}  // namespace lumivo::sim
