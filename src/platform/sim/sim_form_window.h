#pragma once

#include <memory>

#include "platform/sim/simulation.h"

namespace lumivo::sim {

// The FormWindow the simulation hands to a form; it forwards everything to the Simulation,
// which keeps the window's state so that tests can look at it.
class SimFormWindow final : public FormWindow {
 public:
  SimFormWindow(Simulation& simulation, WindowHandle window);
  ~SimFormWindow() override;

  WindowHandle Handle() const override { return window_; }
  void Show() override;
  void Hide() override;
  WindowHandle ControlHandle(int control) const override;
  IconHandle ControlIcon(int control) const override;
  bool SetTimerEnabled(int control, bool enabled) override;
  void PopupMenu() override;

 private:
  SimWindowState& State() const;

  Simulation& simulation_;
  WindowHandle window_;
  // Lets PopupMenu notice that a handler run inside the menu destroyed this window.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace lumivo::sim
