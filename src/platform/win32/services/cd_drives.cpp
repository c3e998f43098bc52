#include "platform/win32/windows_api.h"

#include "platform/win32/services/cd_drives.h"

namespace lumivo {

bool IsCdDrive(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  return ::GetDriveTypeW(root) == DRIVE_CDROM;
}

wchar_t FirstCdDrive() {
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if (IsCdDrive(letter)) return letter;
  }
  return 0;
}

// A device path of a drive is "\\.\E:" (the Win32 device namespace) or "\\?\E:".
wchar_t DriveLetterOf(std::u16string_view drive) {
  if (drive.empty()) return FirstCdDrive();
  if (drive.size() == 1) return static_cast<wchar_t>(drive[0]);
  if (drive.size() != 6 || !drive.starts_with(u"\\\\") || (drive[2] != u'.' && drive[2] != u'?') ||
      drive[3] != u'\\' || drive[5] != u':') {
    return 0;
  }
  const char16_t letter = drive[4] & ~0x20;  // ASCII upper case
  return letter >= u'A' && letter <= u'Z' ? static_cast<wchar_t>(letter) : 0;
}

}  // namespace lumivo
