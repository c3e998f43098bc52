#include <string>

#include "tray/form1.h"

namespace lumivo {

// Every letter from C to M is looked at, so each CD-ROM drive gets its own file manager.
void Form1::Hid_ListCD_Click() {
  for (char16_t letter = u'C'; letter <= u'M'; ++letter) {
    const std::u16string drive{letter, u':'};
    if (services_.GetDriveTypeA(services_.ToAnsi(drive + u'\\')) != DRIVE_CDROM) continue;
    if (!Launch(u"explorer " + drive)) return;
  }
}

}  // namespace lumivo
