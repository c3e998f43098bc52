#pragma once

#include <optional>
#include <string_view>

#include "platform/tray_icon_record.h"
#include "platform/windows_services.h"
#include "tray/tray_host.h"

namespace lumivo {

// The lamp in the notification area: the one tray record, reused by every request, and the
// state it shows. A lamp the shell refuses (busy at logon, restarting) is installed again once
// a second until it is in.
class TrayLamp {
 public:
  TrayLamp(WindowsServices& services, TrayHost& host);

  void Install(LampState state);
  void Remove(LampState state);
  // The icon is always taken out and put back: each state has its own host window.
  void Swap(LampState from, LampState to);
  void RetryInstall();
  // A restarted shell has forgotten every icon.
  void OnShellRestarted();

  // The state the lamp shows, or is to show once the shell accepts it.
  std::optional<LampState> State() const { return state_; }
  bool InstallPending() const { return state_.has_value() && !installed_; }

 private:
  WindowsServices& services_;
  TrayHost& host_;
  TrayIconRecord record_{};
  // The record's tip in UTF-16.
  std::u16string_view tip_;
  std::optional<LampState> state_;
  bool installed_ = false;
};

}  // namespace lumivo
