#include "platform/linux/tray/tray_clicks.h"

#include <utility>

namespace lumivo {
namespace {

constexpr std::int16_t kLeftClick[] = {513, 514};
constexpr std::int16_t kLeftDoubleClick[] = {515, 514};
constexpr std::int16_t kRightClick[] = {516, 517};
constexpr std::int16_t kSecondRightClick[] = {TrayClickPairs::kRightDoubleClick, 517};

}  // namespace

std::span<const std::int16_t> TrayClickPairs::Click(WindowHandle window, TrayClick click) {
  const bool second = firstRightClick_.has_value();
  firstRightClick_.reset();
  switch (click) {
    case TrayClick::Left:
    case TrayClick::Middle:
      return kLeftClick;
    case TrayClick::LeftDouble:
      return kLeftDoubleClick;
    case TrayClick::Right:
      if (second) return kSecondRightClick;
      firstRightClick_ = window;
      return kRightClick;
  }
  return {};
}

std::optional<WindowHandle> TrayClickPairs::ExpireRightClick() {
  return std::exchange(firstRightClick_, std::nullopt);
}

}  // namespace lumivo
