#include "commands/drive_browser.h"

#include <string>

namespace lumivo {

DriveBrowser::DriveBrowser(WindowsServices& services, Launchers& launchers)
    : services_(services), launchers_(launchers) {}

// Every letter is looked at, so each CD-ROM drive gets its own window; a file manager that
// cannot start ends the round, as the user has been told already.
void DriveBrowser::BrowseCdDrives() {
  for (char16_t letter = u'C'; letter <= u'M'; ++letter) {
    const std::u16string drive{letter, u':'};
    if (services_.GetDriveTypeA(services_.ToAnsi(drive + u'\\')) != kCdRomDrive) continue;
    if (!launchers_.Launch(u"explorer " + drive)) return;
  }
}

}  // namespace lumivo
