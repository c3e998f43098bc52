#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/linux/keys/key_symbols.h"

namespace lumivo {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr std::uint32_t kKeypadDivide = 0xFFAF;
constexpr std::uint32_t kSlash = 0x2F;

TEST(KeySymbolTest, TheFiveHotkeysAreTheKeypadAndFunctionKeys) {
  EXPECT_EQ(KeysymOfVirtualKey(111), kKeypadDivide);
  EXPECT_EQ(KeysymOfVirtualKey(106), 0xFFAAu);  // keypad *
  EXPECT_EQ(KeysymOfVirtualKey(107), 0xFFABu);  // keypad +
  EXPECT_EQ(KeysymOfVirtualKey(122), 0xFFC8u);  // F11
  EXPECT_EQ(KeysymOfVirtualKey(123), 0xFFC9u);  // F12
  for (std::int32_t other : {0, 13, 0x41, 110, 121, 124, 0xBF, -1}) {
    EXPECT_EQ(KeysymOfVirtualKey(other), std::nullopt) << other;
  }
}

TEST(KeySymbolTest, KeycodesComeFromTheServersMappingNotFromFixedNumbers) {
  // Two keysyms per keycode from keycode 8: 8 is "/", 9 keypad "/" (with a shifted keysym),
  // 10 nothing, 11 keypad "/" again in the second column.
  const std::vector<std::uint32_t> mapping = {kSlash, 0x3F, kKeypadDivide, 0xFE22,
                                              0,      0,    0x61,          kKeypadDivide};
  EXPECT_THAT(KeycodesOf(kKeypadDivide, mapping, 2, 8), ElementsAre(9, 11));
  EXPECT_THAT(KeycodesOf(0xFFC8, mapping, 2, 8), IsEmpty());
  EXPECT_THAT(KeycodesOf(kKeypadDivide, mapping, 0, 8), IsEmpty());
  // Keycodes end at 255, whatever the table holds past it.
  EXPECT_THAT(KeycodesOf(kKeypadDivide, mapping, 2, 253), ElementsAre(254));
}

TEST(KeySymbolTest, AKeyIsDownWhenItsBitInTheKeymapIsSet) {
  std::array<std::uint8_t, 32> keymap{};
  const std::vector<std::uint8_t> keypadDivide = {106, 200};
  EXPECT_FALSE(AnyKeyDown(keymap, keypadDivide));
  keymap[200 / 8] = 1u << (200 % 8);
  EXPECT_TRUE(AnyKeyDown(keymap, keypadDivide));
  keymap.fill(0xFF);
  keymap[106 / 8] = static_cast<std::uint8_t>(~(1u << (106 % 8)));
  keymap[200 / 8] = static_cast<std::uint8_t>(~(1u << (200 % 8)));
  EXPECT_FALSE(AnyKeyDown(keymap, keypadDivide)) << "other keys held change nothing";
  EXPECT_FALSE(AnyKeyDown(keymap, {}));

  // Raw key events keep the same keymap: a press sets one bit, its release clears it.
  keymap.fill(0);
  SetKeyDown(keymap, 200, true);
  SetKeyDown(keymap, 201, true);
  EXPECT_TRUE(AnyKeyDown(keymap, keypadDivide));
  SetKeyDown(keymap, 200, false);
  EXPECT_FALSE(AnyKeyDown(keymap, keypadDivide));
  EXPECT_TRUE(AnyKeyDown(keymap, std::vector<std::uint8_t>{201})) << "a neighbour stays down";
  SetKeyDown(keymap, 106 + 256, true);
  EXPECT_FALSE(AnyKeyDown(keymap, keypadDivide)) << "keycodes past 255 are ignored";
}

}  // namespace
}  // namespace lumivo
