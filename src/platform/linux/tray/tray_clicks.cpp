#include "platform/linux/tray/tray_clicks.h"

namespace lumivo {
namespace {

constexpr std::int16_t kLeftClick[] = {513, 514};
constexpr std::int16_t kLeftDoubleClick[] = {515, 514};
constexpr std::int16_t kRightClick[] = {516, 517, 518};
constexpr std::int16_t kMiddleClick[] = {519, 520};

}  // namespace

std::span<const std::int16_t> NotificationCodes(TrayClick click) {
  switch (click) {
    case TrayClick::Left:
      return kLeftClick;
    case TrayClick::LeftDouble:
      return kLeftDoubleClick;
    case TrayClick::Right:
      return kRightClick;
    case TrayClick::Middle:
      return kMiddleClick;
  }
  return {};
}

}  // namespace lumivo
