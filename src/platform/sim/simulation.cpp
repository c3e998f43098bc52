#include "platform/sim/simulation.h"

#include <algorithm>

#include "platform/sim/sim_form_window.h"
#include "platform/sim/text_codec.h"
#include "platform/twips.h"

namespace lumivo::sim {

Simulation::Simulation() = default;

Simulation::~Simulation() = default;

std::vector<std::string> Simulation::CallsWithoutKeyQueries() const {
  std::vector<std::string> calls;
  std::ranges::copy_if(calls_, std::back_inserter(calls), [](const std::string& call) {
    return !call.starts_with("GetAsyncKeyState");
  });
  return calls;
}

std::uint32_t Simulation::NewHandle(std::string name) {
  nextHandle_ += 0x10;
  handleNames_[nextHandle_] = std::move(name);
  return nextHandle_;
}

std::string Simulation::HandleName(std::uint32_t handle) const {
  const auto found = handleNames_.find(handle);
  return found == handleNames_.end() ? std::to_string(handle) : found->second;
}

SimWindowState* Simulation::Find(WindowHandle window) {
  const auto found = std::ranges::find(windows_, window, [](const auto& w) { return w->handle; });
  return found == windows_.end() ? nullptr : found->get();
}

SimWindowState* Simulation::FindByControl(WindowHandle control, int* controlId) {
  for (const auto& window : windows_) {
    for (const auto& [id, handle] : window->controls) {
      if (handle != control) continue;
      *controlId = id;
      return window.get();
    }
  }
  return nullptr;
}

const SimWindowState* Simulation::FindWindow(std::u16string_view form) const {
  const auto found = std::ranges::find(windows_, form, [](const auto& w) { return w->form; });
  return found == windows_.end() ? nullptr : found->get();
}

WindowHandle Simulation::ControlHandle(std::u16string_view form, std::u16string_view control,
                                       int index) const {
  const SimWindowState* window = FindWindow(form);
  if (!window) return 0;
  for (const ControlLayout& layout : window->layout->controls) {
    if (layout.name == control && layout.index == index) return window->controls.at(layout.id);
  }
  return 0;
}

void Simulation::DestroyWindow(WindowHandle window) {
  if (SimWindowState* state = Find(window)) Record("Destroy " + ToUtf8(state->form));
  std::erase_if(timers_, [&](const SimTimer& timer) { return timer.form == window; });
  std::erase_if(windows_, [&](const auto& w) { return w->handle == window; });
}

bool Simulation::SetTimerEnabled(WindowHandle window, int control, bool enabled) {
  for (SimTimer& timer : timers_) {
    if (timer.form != window || timer.control != control) continue;
    const std::string name = HandleName(Find(window)->controls.at(control));
    if (enabled && !timer.enabled && failingTimerStarts_ > 0) {
      --failingTimerStarts_;
      Record("Enable " + name + " failed");
      return false;
    }
    Record(std::string(enabled ? "Enable " : "Disable ") + name);
    if (enabled && !timer.enabled) timer.due = now_ + timer.interval;
    timer.enabled = enabled;
  }
  return true;
}

// Only the outermost run catches the end: inside a nested loop (a message box, a menu) the
// handler that opened it must not go on either.
void Simulation::Run(const std::function<void()>& action) {
  if (ended_) return;
  if (running_) {
    action();
    return;
  }
  running_ = true;
  struct Outermost {
    bool& running;
    ~Outermost() { running = false; }
  } outermost{running_};
  try {
    action();
  } catch (const ProgramEnded&) {
  }
}

void Simulation::Deliver(WindowHandle window, const std::function<void(FormEvents&)>& event) {
  Run([&] {
    if (SimWindowState* state = Find(window)) event(*state->events);
  });
}

// Like WM_TIMER: a timer that fell behind fires once, and counts its next interval from then.
void Simulation::Advance(std::int64_t milliseconds) {
  const std::int64_t until = now_ + milliseconds;
  while (!ended_) {
    const auto next = std::ranges::min_element(
        timers_, {}, [](const SimTimer& timer) { return timer.enabled ? timer.due : INT64_MAX; });
    if (next == timers_.end() || !next->enabled || next->due > until) break;
    now_ = std::max(now_, next->due);
    next->due = now_ + next->interval;
    const WindowHandle window = next->form;
    const int control = next->control;
    Deliver(window, [control](FormEvents& events) { events.OnTimer(control); });
  }
  now_ = std::max(now_, until);
}

void Simulation::SendMouseMove(WindowHandle control, std::int16_t pixelsX) {
  SendMouseMoveInTwips(control, PixelsToTwips(pixelsX, twipsPerPixel_));
}

void Simulation::SendMouseMoveInTwips(WindowHandle control, float x) {
  int id = 0;
  if (SimWindowState* window = FindByControl(control, &id)) {
    Deliver(window->handle, [&](FormEvents& events) { events.OnMouseMove(id, x); });
  }
}

void Simulation::Click(std::u16string_view form, std::u16string_view control) {
  const SimWindowState* window = FindWindow(form);
  if (!window) return;
  for (const ControlLayout& layout : window->layout->controls) {
    if (layout.name != control) continue;
    const int id = layout.id;
    Deliver(window->handle, [id](FormEvents& events) { events.OnClick(id); });
    return;
  }
}

void Simulation::CloseRequest(std::u16string_view form) {
  if (const SimWindowState* window = FindWindow(form)) {
    Deliver(window->handle, [](FormEvents& events) { events.OnCloseRequest(); });
  }
}

// A restarted shell has forgotten every icon, then tells every top-level window.
void Simulation::BroadcastTaskbarCreated() {
  tray_.clear();
  std::vector<WindowHandle> windows;
  for (const auto& window : windows_) windows.push_back(window->handle);
  for (WindowHandle window : windows) {
    Deliver(window, [](FormEvents& events) { events.OnTaskbarCreated(); });
  }
}

}  // namespace lumivo::sim
