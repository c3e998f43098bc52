#pragma once

#include "commands/launchers.h"
#include "platform/windows_services.h"

namespace lumivo {

// Opens a file manager on every CD-ROM drive from C: to M:.
class DriveBrowser {
 public:
  DriveBrowser(WindowsServices& services, Launchers& launchers);

  void BrowseCdDrives();

 private:
  WindowsServices& services_;
  Launchers& launchers_;
};

}  // namespace lumivo
