#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/linux/text/code_pages.h"
#include "platform/linux/text/link_urls.h"
#include "platform/linux/tray/tray_tip.h"

namespace lumivo {
namespace {

TEST(CodePagesTest, ChineseTextMakesTheGbkBytesWindowsWouldAndBack) {
  const std::string gbk = Utf16ToGbk(u"光驱");
  EXPECT_EQ(gbk, "\xB9\xE2\xC7\xFD");
  EXPECT_EQ(GbkToUtf8(gbk), "光驱");
  EXPECT_EQ(Utf16ToUtf8(u"Lumivo程序"), "Lumivo程序");
}

TEST(CodePagesTest, WhatCannotBeConvertedIsReplacedOrDroppedNotLost) {
  // GBK has no Hangul: '?' for it, as WideCharToMultiByte puts; the rest of the text stays.
  EXPECT_EQ(Utf16ToGbk(u"a한b"), "a?b");
  EXPECT_EQ(Utf16ToGbk(u"a\xD800z"), "a?z") << "a lone surrogate";
  // A lead byte with no valid second byte is an unknown character, and the byte after it is
  // read on its own; a lead byte cut off at the end is left out.
  EXPECT_EQ(GbkToUtf8("a\x81\x7Fz"), "a\xEF\xBF\xBD\x7Fz");
  EXPECT_EQ(GbkToUtf8("ab\xB9"), "ab");
  EXPECT_EQ(Utf16ToGbk(u""), "");
}

TrayIconRecord RecordWithTip(const std::string& bytes) {
  TrayIconRecord record{};
  std::memset(record.tip, ' ', sizeof record.tip);
  std::memcpy(record.tip, bytes.data(), std::min(bytes.size(), sizeof record.tip));
  return record;
}

TEST(TrayTipTest, TheTipIsReadUpToItsNulAndDecodedFromGbk) {
  const std::string tip =
      Utf16ToGbk(u"Lumivo -> 单击左键打开光驱,单击右键关闭光驱,双击右键弹出菜单.");
  ASSERT_EQ(tip.size(), 61u) << "with its NUL it needs 62 of the 64 bytes";
  EXPECT_EQ(TrayTipText(RecordWithTip(tip + '\0')),
            "Lumivo -> 单击左键打开光驱,单击右键关闭光驱,双击右键弹出菜单.");
  EXPECT_EQ(TrayTipText(RecordWithTip(std::string("\0abc", 4))), "");
}

TEST(TrayTipTest, AFieldWithoutNulIsReadToItsEndAndNoFurther) {
  // 32 Chinese characters fill all 64 bytes; nothing beyond the field may be read.
  std::u16string wide(32, u'光');
  const TrayIconRecord record = RecordWithTip(Utf16ToGbk(wide));
  EXPECT_EQ(TrayTipText(record), Utf16ToUtf8(wide));
  // Cut in the middle of a character, the half is left out.
  std::string cut = "abc" + Utf16ToGbk(std::u16string(31, u'光'));
  EXPECT_EQ(TrayTipText(RecordWithTip(cut)), "abc" + Utf16ToUtf8(std::u16string(30, u'光')));
}

TEST(DesktopUrlTest, TheMailSubjectBecomesPercentEncodedUtf8) {
  const std::string link = Utf16ToGbk(u"mailto:norbek@norbek.example?subject=Lumivo程序");
  EXPECT_EQ(DesktopUrl(link), "mailto:norbek@norbek.example?subject=Lumivo%E7%A8%8B%E5%BA%8F");
  EXPECT_EQ(DesktopUrl("http://www.norbek.example/"), "http://www.norbek.example/");
  EXPECT_EQ(DesktopUrl("HTTPS://a.example/x y\"<>"), "HTTPS://a.example/x%20y%22%3C%3E");
}

TEST(DesktopUrlTest, OnlyWebAndMailLinksAreOpened) {
  for (const char* link : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)",
                           "mailto:", "http:", "", "smb://host/share"}) {
    EXPECT_EQ(DesktopUrl(link), std::nullopt) << link;
  }
}

}  // namespace
}  // namespace lumivo
