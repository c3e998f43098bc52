#pragma once

#include <string>

#include "platform/tray_icon_record.h"

namespace lumivo {

// The tool tip of a tray record as the shell reads it, in UTF-8: the GBK bytes of its field
// up to the first NUL, or all 64 when the field holds none.
std::string TrayTipText(const TrayIconRecord& record);

}  // namespace lumivo
