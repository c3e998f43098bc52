#pragma once

#include "platform/win32/windows_api.h"

#include <string_view>

namespace lumivo {

bool IsCdDrive(wchar_t letter);

// The first CD drive's letter (as MCI's CD audio device takes it), or 0 when there is none.
wchar_t FirstCdDrive();

// The letter of a drive as the logic names it: empty for the first CD drive, a letter itself,
// a drive's device path (\\.\E: or \\?\E:) its letter; 0 when it names no drive.
wchar_t DriveLetterOf(std::u16string_view drive);

}  // namespace lumivo
