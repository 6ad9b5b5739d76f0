#pragma once
// Colours, font styles and fonts as plain data (drawing lives in framework/gui).

#include <cstdint>
#include <string>
#include <string_view>

#include "Events.h"
#include "Persistent.h"
#include "Properties.h"
#include "Sets.h"

namespace plomaret {

// A colour: 0x00BBGGRR (red is 0x0000FF), or a system colour 0x80000000 | COLOR_xxx,
// or one of the markers clNone and clDefault. Its own type, so that a colour
// property is published as a colour and not as a plain integer.
enum TColor : int32_t {};

// The system colour indices.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;

constexpr TColor RGB(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<TColor>(red | (green << 8) | (blue << 16));
}
constexpr TColor SystemColor(int index) { return static_cast<TColor>(static_cast<int32_t>(0x80000000u | index)); }
constexpr bool IsSystemColor(TColor color) { return (static_cast<uint32_t>(color) & 0xFF000000u) == 0x80000000u; }

inline constexpr TColor clNone = static_cast<TColor>(0x1FFFFFFF);
inline constexpr TColor clDefault = static_cast<TColor>(0x20000000);

inline constexpr TColor clBlack = static_cast<TColor>(0x000000);
inline constexpr TColor clMaroon = static_cast<TColor>(0x000080);
inline constexpr TColor clGreen = static_cast<TColor>(0x008000);
inline constexpr TColor clOlive = static_cast<TColor>(0x008080);
inline constexpr TColor clNavy = static_cast<TColor>(0x800000);
inline constexpr TColor clPurple = static_cast<TColor>(0x800080);
inline constexpr TColor clTeal = static_cast<TColor>(0x808000);
inline constexpr TColor clGray = static_cast<TColor>(0x808080);
inline constexpr TColor clSilver = static_cast<TColor>(0xC0C0C0);
inline constexpr TColor clRed = static_cast<TColor>(0x0000FF);
inline constexpr TColor clLime = static_cast<TColor>(0x00FF00);
inline constexpr TColor clYellow = static_cast<TColor>(0x00FFFF);
inline constexpr TColor clBlue = static_cast<TColor>(0xFF0000);
inline constexpr TColor clFuchsia = static_cast<TColor>(0xFF00FF);
inline constexpr TColor clAqua = static_cast<TColor>(0xFFFF00);
inline constexpr TColor clWhite = static_cast<TColor>(0xFFFFFF);

inline constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
inline constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
inline constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
inline constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
inline constexpr TColor clMenu = SystemColor(COLOR_MENU);
inline constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
inline constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
inline constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
inline constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
inline constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
inline constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
inline constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
inline constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
inline constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
inline constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
inline constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
inline constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
inline constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
inline constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);

// The RGB value (0x00BBGGRR) to draw a colour with. System colours take the classic
// Windows scheme (see Graphics.cpp); an unknown system index gives black. clNone and
// clDefault name no colour: callers put their own default in first, and if they do
// not, clNone draws white and clDefault black.
uint32_t ColorToRGB(TColor color);

// Names such as "clWindowText" for every named colour, regardless of case.
bool ColorToIdent(TColor color, std::string& ident);
bool IdentToColor(std::string_view ident, TColor& color);
// A colour's name, or "$00BBGGRR" (8 upper-case hex digits) for one without a name.
std::string ColorToString(TColor color);
// A colour name, "$" and up to 8 hex digits, or a decimal integer; anything else
// raises EConvertError.
TColor StringToColor(std::string_view text);

const TTypeInfo& TypeInfoOf(TTypeTag<TColor>);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

const TTypeInfo& TypeInfoOf(TTypeTag<TFontStyle>);
const TTypeInfo& TypeInfoOf(TTypeTag<TFontStyles>);
const TTypeInfo& TypeInfoOf(TTypeTag<TFontPitch>);

inline constexpr int ANSI_CHARSET = 0;
inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int SHIFTJIS_CHARSET = 128;

// a * b / c rounded half away from zero, computed without overflow; -1 when c is 0.
int MulDiv(int a, int b, int c);

// A font description. Size is in points at 96 pixels per inch and follows from
// Height: a negative Height is the character height in pixels, a positive one the
// cell height.
class TFont : public TPersistent {
 public:
  static constexpr int PixelsPerInch = 96;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  int Size() const { return -MulDiv(FHeight, 72, PixelsPerInch); }
  void SetSize(int size) { SetHeight(-MulDiv(size, PixelsPerInch, 72)); }
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);
  // 0..255; values outside are clamped.
  int Charset() const { return FCharset; }
  void SetCharset(int charset);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch pitch);

  // From another font: every field, then one change notification.
  void Assign(const TPersistent& source) override;

  // Raised by a setter that changed a value, and once by Assign.
  TNotifyEvent OnChange;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  virtual void Changed();

 private:
  std::string FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  int FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
};

}  // namespace plomaret
