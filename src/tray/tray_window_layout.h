#pragma once

#include "platform/form_layout.h"

namespace lumivo {

// The hidden tray window's controls and menu items. The spare lamp hosts are the second
// elements of the lamp hosts' control arrays, which nothing uses.
enum class TrayControl : int {
  NorbekDialButton = 1,
  Dial163Button,
  HotkeyTimer,
  SpareOpenDoorLampHost,
  OpenDoorLampHost,
  SplashTimer,  // after the splash, it retries a lamp the shell refused
  SpareClosedDoorLampHost,
  ClosedDoorLampHost,
  ExitItem,
  FirstSeparator,
  InstructionsItem,
  AboutItem,
  SecondSeparator,
  BrowseCdDrivesItem,
  ThirdSeparator,
  RestartItem,
  ShutDownItem,
};

constexpr int Id(TrayControl control) { return static_cast<int>(control); }

extern const FormLayout kTrayWindowLayout;

}  // namespace lumivo
