#include "platform/linux/tray/tray_tip.h"

#include <string_view>

#include "platform/linux/text/code_pages.h"

namespace lumivo {

std::string TrayTipText(const TrayIconRecord& record) {
  const std::string_view field(record.tip, sizeof record.tip);
  return GbkToUtf8(field.substr(0, field.find('\0')));
}

}  // namespace lumivo
