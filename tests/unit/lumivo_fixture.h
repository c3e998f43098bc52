#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/simulation.h"
#include "platform/sim/text_codec.h"
#include "tray/form1.h"

namespace lumivo {

// The real Form1 and Form2 on a simulated Windows.
class LumivoTest : public testing::Test {
 protected:
  void Start() {
    sim.Run([&] { form1.StartUp(); });
  }
  void StartToTray() {
    Start();
    sim.Advance(1000);
  }

  WindowHandle Host(Form1::Control control) const { return sim.ControlHandle(u"Form1", control); }

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
  Form1 form1{sim, sim};
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
