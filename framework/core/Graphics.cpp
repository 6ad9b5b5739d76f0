#include "Graphics.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstdio>
#include <iterator>

#include "CodePage.h"

namespace plomaret {

namespace {

struct TColorName {
  TColor Color;
  const char* Name;
};

constexpr TColorName ColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

// The classic Windows scheme (Windows 2000 "Windows Standard"), by COLOR_xxx index.
constexpr TColor SystemColorValues[] = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
};

}  // namespace

uint32_t ColorToRGB(TColor color) {
  const auto value = static_cast<uint32_t>(color);
  if (IsSystemColor(color)) {
    const uint32_t index = value & 0x00FFFFFFu;
    return index < std::size(SystemColorValues) ? static_cast<uint32_t>(SystemColorValues[index]) : 0;
  }
  return value & 0x00FFFFFFu;
}

bool ColorToIdent(TColor color, std::string& ident) {
  for (const TColorName& entry : ColorNames) {
    if (entry.Color == color) {
      ident = entry.Name;
      return true;
    }
  }
  return false;
}

bool IdentToColor(std::string_view ident, TColor& color) {
  for (const TColorName& entry : ColorNames) {
    if (AnsiSameText(entry.Name, ident)) {
      color = entry.Color;
      return true;
    }
  }
  return false;
}

std::string ColorToString(TColor color) {
  std::string ident;
  if (ColorToIdent(color, ident)) return ident;
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(static_cast<uint32_t>(color)));
  return text;
}

TColor StringToColor(std::string_view text) {
  TColor color;
  if (IdentToColor(text, color)) return color;
  const char* end = text.data() + text.size();
  if (!text.empty() && text.front() == '$' && text.size() >= 2 && text.size() <= 9) {
    uint32_t bits = 0;
    auto [ptr, error] = std::from_chars(text.data() + 1, end, bits, 16);
    if (error == std::errc() && ptr == end) return static_cast<TColor>(static_cast<int32_t>(bits));
  } else if (!text.empty()) {
    int32_t value = 0;
    const char* begin = text.front() == '+' ? text.data() + 1 : text.data();
    auto [ptr, error] = std::from_chars(begin, end, value, 10);
    if (error == std::errc() && ptr == end && begin != end) return static_cast<TColor>(value);
  }
  throw EConvertError("'" + std::string(text) + "' is not a valid colour");
}

const TTypeInfo& TypeInfoOf(TTypeTag<TColor>) {
  static const TTypeInfo info = [] {
    TTypeInfo type = OrdinalTypeInfo(tkInteger, "TColor", INT32_MIN, INT32_MAX);
    type.ToText = [](int64_t value) { return ColorToString(static_cast<TColor>(value)); };
    type.FromText = [](std::string_view text) { return static_cast<int64_t>(StringToColor(text)); };
    return type;
  }();
  return info;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TFontStyle>) {
  static const TTypeInfo info = EnumTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
  return info;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TFontStyles>) {
  static const TTypeInfo info = SetTypeInfo("TFontStyles", TypeInfoOf(TTypeTag<TFontStyle>{}));
  return info;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TFontPitch>) {
  static const TTypeInfo info = EnumTypeInfo("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});
  return info;
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const int64_t magnitude = (std::abs(product) + std::abs(static_cast<int64_t>(c)) / 2) / std::abs(static_cast<int64_t>(c));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

// ---- TFont ----------------------------------------------------------------------

const TClassInfo& TFont::StaticClassInfo() {
  static const TTypeInfo charsetType = OrdinalTypeInfo(tkInteger, "TFontCharset", 0, 255);
  static const TClassInfo info = TPublished<TFont>("TFont", TPersistent::StaticClassInfo())
                                     .TypedProperty("Charset", charsetType, &TFont::Charset, &TFont::SetCharset)
                                     .Property("Color", &TFont::Color, &TFont::SetColor)
                                     .Property("Height", &TFont::Height, &TFont::SetHeight)
                                     .Property("Name", &TFont::Name, &TFont::SetName)
                                     .Property("Pitch", &TFont::Pitch, &TFont::SetPitch, fpDefault)
                                     .Property("Size", &TFont::Size, &TFont::SetSize)
                                     .NotStored()
                                     .Property("Style", &TFont::Style, &TFont::SetStyle);
  return info;
}

void TFont::SetName(const std::string& name) {
  if (name == FName) return;
  FName = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == FHeight) return;
  FHeight = height;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TFont::SetCharset(int charset) {
  charset = std::clamp(charset, 0, 255);
  if (charset == FCharset) return;
  FCharset = charset;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == FPitch) return;
  FPitch = pitch;
  Changed();
}

void TFont::Assign(const TPersistent& source) {
  if (const auto* font = dynamic_cast<const TFont*>(&source)) {
    FName = font->FName;
    FHeight = font->FHeight;
    FColor = font->FColor;
    FStyle = font->FStyle;
    FCharset = font->FCharset;
    FPitch = font->FPitch;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TFont::Changed() { OnChange(this); }

}  // namespace plomaret
