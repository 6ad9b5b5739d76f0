#include "framework/core/CodePage.h"

#include <gtest/gtest.h>

namespace plomaret {
namespace {

TEST(CodePage, LeadByteSetIsShiftJis) {
  int leads = 0;
  for (int b = 0; b < 256; ++b) leads += IsLeadByte(static_cast<unsigned char>(b)) ? 1 : 0;
  EXPECT_EQ(leads, (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1));
  EXPECT_TRUE(IsLeadByte(0x81));
  EXPECT_TRUE(IsLeadByte(0x9F));
  EXPECT_TRUE(IsLeadByte(0xE0));
  EXPECT_TRUE(IsLeadByte(0xFC));
  EXPECT_FALSE(IsLeadByte(0x80));
  EXPECT_FALSE(IsLeadByte(0xA0));  // half-width katakana are single bytes
  EXPECT_FALSE(IsLeadByte(0xDF));
  EXPECT_FALSE(IsLeadByte(0xFD));
}

TEST(CodePage, ConvertsJapaneseBothWays) {
  const std::string sjis = "\x83\x5C\x83\x74\x83\x67 abc \xB1";  // ソフト abc ｱ
  const std::string utf8 = Cp932ToUtf8(sjis);
  EXPECT_EQ(utf8, "ソフト abc ｱ");
  EXPECT_EQ(Utf8ToCp932(utf8), sjis);
  // The backslash and tilde stay ASCII, as file paths need.
  EXPECT_EQ(Cp932ToUtf8("C:\\a~"), "C:\\a~");
}

TEST(CodePage, BadBytesHaveADefinedResult) {
  // A lone lead byte at the end, and bytes CP932 does not define.
  EXPECT_EQ(Cp932ToUtf8("a\x82"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Cp932ToUtf8("\xFD" "b"), "\xEF\xBF\xBD" "b");
  // Characters outside CP932 and malformed UTF-8 become '?', one each.
  EXPECT_EQ(Utf8ToCp932("x\xF0\x9F\x98\x80y"), "x?y");
  EXPECT_EQ(Utf8ToCp932("x\xC3y"), "x?y");
  EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(CodePage, CompareTextFoldsAsciiOnly) {
  EXPECT_EQ(AnsiCompareText("Mesh", "mESH"), 0);
  EXPECT_LT(AnsiCompareText("abc", "ABD"), 0);
  EXPECT_GT(AnsiCompareText("abc", "AB"), 0);
  EXPECT_LT(AnsiCompareText("", "a"), 0);
  // Full-width letters are not folded: Ａ (82 60) and ａ (82 81) differ.
  EXPECT_NE(AnsiCompareText("\x82\x60", "\x82\x81"), 0);
  // A trail byte is never folded, even when it looks like an ASCII capital:
  // 83 41 (ア) and 83 61 (ャ) are different characters.
  EXPECT_NE(AnsiCompareText("\x83\x41", "\x83\x61"), 0);
}

}  // namespace
}  // namespace plomaret
