#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/simulation.h"
#include "platform/sim/text_codec.h"
#include "tray/tray_window.h"

namespace lumivo {

// The real program on a simulated Windows, driven as a user drives it.
class LumivoTest : public testing::Test {
 protected:
  void Start() {
    sim.Run([&] { program.Start(); });
  }
  void StartToTray() {
    Start();
    sim.Advance(1000);
  }

  WindowHandle ClosedLampHost() const { return sim.ControlHandle(u"Form1", u"Picture1", 0); }
  WindowHandle OpenLampHost() const { return sim.ControlHandle(u"Form1", u"Picture2", 0); }

  // The lamp the tray shows, told by the window it belongs to.
  std::optional<LampState> ShownLamp() const {
    if (sim.TrayIcons().size() != 1) return std::nullopt;
    const WindowHandle window = sim.TrayIcons()[0].window;
    if (window == ClosedLampHost()) return LampState::ClosedDoor;
    if (window == OpenLampHost()) return LampState::OpenDoor;
    return std::nullopt;
  }

  // The user right double-clicks the green lamp and chooses the item with that name.
  void ChooseFromMenu(std::u16string_view item) {
    sim.onPopupMenu = [item](std::span<const MenuItemLayout>) { return std::optional(item); };
    sim.SendMouseMove(ClosedLampHost(), 518);
  }

  // What happened since the last look, without the poller's key queries.
  std::vector<std::string> TakeCalls() {
    auto calls = sim.CallsWithoutKeyQueries();
    sim.ClearCalls();
    return calls;
  }

  bool AboutVisible() const {
    const auto* about = sim.FindWindow(u"Form2");
    return about && about->visible;
  }

  sim::Simulation sim;
  TrayWindow program{sim, sim};
};

inline constexpr const char* kClosedDoorTip =
    "[Lumivo]单击左键弹出光驱,单击右键关闭光驱,双击右键弹出菜单.";
inline constexpr const char* kOpenDoorTip =
    "Lumivo -> 单击左键打开光驱,单击右键关闭光驱,双击右键弹出菜单.";

inline std::string InstallClosed() {
  return std::string(
             "Shell_NotifyIconA NIM_ADD Form1.Picture1(0) uID=1 uFlags=7 "
             "uCallbackMessage=512 hIcon=Form1.Picture1(0).Picture szTip=\"") +
         kClosedDoorTip + "\"";
}

inline std::string InstallOpen() {
  return std::string(
             "Shell_NotifyIconA NIM_ADD Form1.Picture2(0) uID=1 uFlags=7 "
             "uCallbackMessage=512 hIcon=Form1.Picture2(0).Picture szTip=\"") +
         kOpenDoorTip + "\"";
}

inline constexpr const char* kRemoveClosed = "Shell_NotifyIconA NIM_DELETE Form1.Picture1(0) uID=1";
inline constexpr const char* kRemoveOpen = "Shell_NotifyIconA NIM_DELETE Form1.Picture2(0) uID=1";
inline constexpr const char* kDoorOpen = "mciSendStringA \"set CDAudio door open\"";
inline constexpr const char* kDoorClosed = "mciSendStringA \"set CDAudio door closed\"";

}  // namespace lumivo
