#pragma once

#include <string_view>

#include "platform/windows_services.h"

namespace lumivo {

// The CD drive's door, moved by the multimedia control interface. Nothing reports whether it
// moved.
class DriveDoor {
 public:
  explicit DriveDoor(WindowsServices& services);

  void Open();
  void Close();

 private:
  void Send(std::u16string_view command);

  WindowsServices& services_;
};

}  // namespace lumivo
