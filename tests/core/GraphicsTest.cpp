#include "framework/core/Graphics.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/core/Strings.h"

namespace plomaret {
namespace {

struct TNamedColor {
  const char* Name;
  uint32_t Value;
};

// Every named colour with its value, written out independently of Graphics.cpp.
const TNamedColor NamedColors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", 0x80000000},
    {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},
    {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},
    {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},
    {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E},
    {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},
    {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},
    {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},
    {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},
    {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

TColor ColorOf(uint32_t value) { return static_cast<TColor>(static_cast<int32_t>(value)); }

TEST(Color, EveryNamedColourTravelsBothWays) {
  for (const TNamedColor& named : NamedColors) {
    const TColor color = ColorOf(named.Value);
    EXPECT_EQ(ColorToString(color), named.Name);
    EXPECT_EQ(StringToColor(named.Name), color) << named.Name;
    std::string ident;
    ASSERT_TRUE(ColorToIdent(color, ident)) << named.Name;
    EXPECT_EQ(ident, named.Name);
    TColor found{};
    EXPECT_TRUE(IdentToColor(named.Name, found));
    EXPECT_EQ(found, color);
  }
  EXPECT_EQ(StringToColor("CLWINDOWTEXT"), clWindowText);
}

TEST(Color, ColoursWithoutNameAreHex) {
  EXPECT_EQ(ColorToString(ColorOf(0x00123456)), "$00123456");
  EXPECT_EQ(ColorToString(ColorOf(0x00ABCDEF)), "$00ABCDEF");
  EXPECT_EQ(ColorToString(ColorOf(0x8000001E)), "$8000001E");
  EXPECT_EQ(StringToColor("$00abcdef"), ColorOf(0x00ABCDEF));
  EXPECT_EQ(StringToColor("$FF"), clRed);
  EXPECT_EQ(StringToColor("$80000005"), clWindow);
  EXPECT_EQ(StringToColor("16711680"), clBlue);
  EXPECT_EQ(StringToColor("-2147483643"), clWindow);
  std::string ident;
  EXPECT_FALSE(ColorToIdent(ColorOf(0x00123456), ident));

  for (const char* bad : {"", "clPink", "$", "$123456789", "$12G", "12abc", "0x10", "4294967296"}) {
    try {
      StringToColor(bad);
      ADD_FAILURE() << "'" << bad << "' was accepted";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(), "'" + std::string(bad) + "' is not a valid colour");
    }
  }
}

TEST(Color, ResolvesToRGBForDrawing) {
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
  EXPECT_EQ(ColorToRGB(RGB(1, 2, 3)), 0x030201u);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(clWindowText), 0x000000u);
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xC8D0D4u);
  EXPECT_EQ(ColorToRGB(clHighlight), 0x6A240Au);
  EXPECT_EQ(ColorToRGB(clInfoBk), 0xE1FFFFu);
  EXPECT_EQ(ColorToRGB(SystemColor(40)), 0u);
  EXPECT_EQ(ColorToRGB(clNone), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(clDefault), 0u);
  EXPECT_TRUE(IsSystemColor(clInfoBk));
  EXPECT_FALSE(IsSystemColor(clNone));
}

TEST(Set, IncludeExcludeContainsCompare) {
  TFontStyles styles;
  EXPECT_TRUE(styles.Empty());
  styles.Include(fsItalic).Include(fsStrikeOut);
  EXPECT_TRUE(styles.Contains(fsItalic));
  EXPECT_FALSE(styles.Contains(fsBold));
  EXPECT_EQ(styles.Mask(), 0b1010u);
  EXPECT_EQ(styles, (TFontStyles{fsStrikeOut, fsItalic}));
  styles.Exclude(fsItalic).Exclude(fsBold);
  EXPECT_EQ(styles, TFontStyles{fsStrikeOut});
  EXPECT_FALSE(styles == TFontStyles{});
  EXPECT_EQ(TFontStyles::FromMask(0b0011), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ((TFontStyles{fsBold} + TFontStyles{fsUnderline}), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ((TFontStyles{fsBold, fsUnderline} - TFontStyles{fsBold}), TFontStyles{fsUnderline});
  EXPECT_EQ((TFontStyles{fsBold, fsUnderline} * TFontStyles{fsBold, fsItalic}), TFontStyles{fsBold});
  EXPECT_TRUE(tkProperties.Contains(tkClass));
  EXPECT_FALSE(tkProperties.Contains(tkMethod));
  EXPECT_TRUE(tkAny.Contains(tkDynArray));
}

class TFontTest : public ::testing::Test {
 protected:
  void SetUp() override { font->OnChange = TNotifyEvent(this, &TFontTest::Count); }
  void Count(TObject* sender) {
    ++changes;
    EXPECT_EQ(sender, font.get());
  }
  TOwned<TFont> font = Create<TFont>();
  int changes = 0;
};

TEST_F(TFontTest, Defaults) {
  EXPECT_EQ(font->Name(), "MS Sans Serif");
  EXPECT_EQ(font->Height(), -11);
  EXPECT_EQ(font->Size(), 8);
  EXPECT_EQ(font->Color(), clWindowText);
  EXPECT_TRUE(font->Style().Empty());
  EXPECT_EQ(font->Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(font->Pitch(), fpDefault);
}

TEST_F(TFontTest, SettersNotifyOnlyWhenTheValueChanges) {
  font->SetName("FixedSys");
  font->SetName("FixedSys");
  font->SetColor(clWhite);
  font->SetColor(clWhite);
  font->SetStyle({fsBold});
  font->SetStyle({fsBold});
  font->SetCharset(SHIFTJIS_CHARSET);
  font->SetCharset(SHIFTJIS_CHARSET);
  font->SetPitch(fpFixed);
  font->SetPitch(fpFixed);
  font->SetHeight(-12);
  font->SetHeight(-12);
  EXPECT_EQ(changes, 6);
  font->SetSize(9);  // 9 pt is 12 px at 96 dpi: no change
  EXPECT_EQ(changes, 6);
  font->SetCharset(300);
  EXPECT_EQ(font->Charset(), 255);
  font->SetCharset(-5);
  EXPECT_EQ(font->Charset(), 0);
}

TEST_F(TFontTest, SizeFollowsHeightAtNinetySixDpi) {
  struct TCase {
    int Height;
    int Size;
  };
  for (TCase c : {TCase{-12, 9}, TCase{-11, 8}, TCase{-16, 12}, TCase{-13, 10}, TCase{-2, 2}, TCase{12, -9}}) {
    font->SetHeight(c.Height);
    EXPECT_EQ(font->Size(), c.Size) << c.Height;
  }
  for (TCase c : {TCase{-11, 8}, TCase{-12, 9}, TCase{-13, 10}, TCase{-15, 11}, TCase{-16, 12}, TCase{-1, 1}}) {
    font->SetSize(c.Size);
    EXPECT_EQ(font->Height(), c.Height) << c.Size;
  }
  EXPECT_EQ(MulDiv(5, 3, 2), 8);
  EXPECT_EQ(MulDiv(-5, 3, 2), -8);
  EXPECT_EQ(MulDiv(5, -3, -2), 8);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST_F(TFontTest, AssignCopiesEverythingWithOneNotification) {
  TOwned<TFont> source = Create<TFont>();
  source->SetName("ＭＳ Ｐゴシック");
  source->SetHeight(-12);
  source->SetColor(clNavy);
  source->SetStyle({fsItalic, fsUnderline});
  source->SetCharset(SHIFTJIS_CHARSET);
  source->SetPitch(fpVariable);
  font->Assign(*source);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(font->Name(), source->Name());
  EXPECT_EQ(font->Height(), -12);
  EXPECT_EQ(font->Color(), clNavy);
  EXPECT_EQ(font->Style(), (TFontStyles{fsItalic, fsUnderline}));
  EXPECT_EQ(font->Charset(), SHIFTJIS_CHARSET);
  EXPECT_EQ(font->Pitch(), fpVariable);

  TOwned<TStringList> list = Create<TStringList>();
  try {
    font->Assign(*list);
    FAIL() << "a string list is not a font";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "Cannot assign a TStringList to a TFont");
  }
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace plomaret
