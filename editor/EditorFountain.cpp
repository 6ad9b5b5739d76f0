#include "editor/EditorFountain.h"

#include "framework/core/CodePage.h"
#include "framework/core/Properties.h"

namespace plomaret {

namespace {

inline bool IsHexDigitChar(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c; }
inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }
// Bytes that can begin a mail address: a mail character other than '@'.
inline bool IsMailStart(char c) {
  return c != '@' && ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
                      std::string_view("!$%&*,-./;=?^~").find(c) != std::string_view::npos);
}

}  // namespace

// ---- TEditorColor ----

const TClassInfo& TEditorColor::StaticClassInfo() {
  static const TClassInfo info = TPublished<TEditorColor>("TEditorColor", TFountainColor::StaticClassInfo());
  return info;
}

// ---- TEditorColors ----

void TEditorColors::AfterConstruction() {
  TNotifyPersistent::AfterConstruction();
  for (TOwned<TEditorColor>* color : {&FAnk, &FComment, &FDBCS, &FHit, &FInt, &FMail, &FSelect, &FStr, &FSymbol, &FUrl}) {
    *color = Create<TEditorColor>();
  }
  FSelect->SetBkColor(clNavy);
  FSelect->SetColor(clWhite);
  // Any colour's change is a change of the set.
  for (TEditorColor* color : {Ank(), Comment(), DBCS(), Hit(), Int(), Mail(), Select(), Str(), Symbol(), Url()}) {
    color->OnChange = TNotifyEvent(this, &TEditorColors::ForwardChange);
  }
}

void TEditorColors::SetReserve(const TFountainColor& value) {
  if (FFountain != nullptr) FFountain->Reserve()->Assign(value);
}

void TEditorColors::Assign(const TPersistent& source) {
  const auto* colors = dynamic_cast<const TEditorColors*>(&source);
  if (colors == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  TChangesBracket bracket(*this);
  FAnk->Assign(*colors->Ank());
  FComment->Assign(*colors->Comment());
  FDBCS->Assign(*colors->DBCS());
  FHit->Assign(*colors->Hit());
  FInt->Assign(*colors->Int());
  FMail->Assign(*colors->Mail());
  FStr->Assign(*colors->Str());
  FSymbol->Assign(*colors->Symbol());
  if (colors->Reserve() != nullptr) SetReserve(*colors->Reserve());
  FUrl->Assign(*colors->Url());
  FSelect->Assign(*colors->Select());
}

const TClassInfo& TEditorColors::StaticClassInfo() {
  using C = TEditorColors;
  static const TClassInfo info = TPublished<C>("TEditorColors", TNotifyPersistent::StaticClassInfo())
                                     .Property("Ank", &C::Ank, &C::SetAnk)
                                     .Property("Comment", &C::Comment, &C::SetComment)
                                     .Property("DBCS", &C::DBCS, &C::SetDBCS)
                                     .Property("Hit", &C::Hit, &C::SetHit)
                                     .Property("Int", &C::Int, &C::SetInt)
                                     .Property("Mail", &C::Mail, &C::SetMail)
                                     .Property("Reserve", &C::Reserve, &C::SetReserve)
                                     .Property("Select", &C::Select, &C::SetSelect)
                                     .Property("Str", &C::Str, &C::SetStr)
                                     .Property("Symbol", &C::Symbol, &C::SetSymbol)
                                     .Property("Url", &C::Url, &C::SetUrl);
  return info;
}

// ---- TEditorBracketCollection ----

namespace {

template <class Change>
void ChangeEveryItem(TFountainBracketCollection& brackets, Change change) {
  brackets.BeginUpdate();
  try {
    for (int i = 0; i < brackets.Count(); ++i) change(*brackets.Items(i)->ItemColor());
  } catch (...) {
    brackets.EndUpdate();
    throw;
  }
  brackets.EndUpdate();
}

}  // namespace

void TEditorBracketCollection::SetAllBkColor(TColor value) {
  ChangeEveryItem(*this, [value](TFountainColor& color) { color.SetBkColor(value); });
}

void TEditorBracketCollection::SetAllColor(TColor value) {
  ChangeEveryItem(*this, [value](TFountainColor& color) { color.SetColor(value); });
}

void TEditorBracketCollection::SetAllStyle(TFontStyles value) {
  ChangeEveryItem(*this, [value](TFountainColor& color) { color.SetStyle(value); });
}

const TClassInfo& TEditorBracketCollection::StaticClassInfo() {
  static const TClassInfo info =
      TPublished<TEditorBracketCollection>("TEditorBracketCollection", TFountainBracketCollection::StaticClassInfo());
  return info;
}

// ---- TEditorFountain ----

void TEditorFountain::AfterConstruction() {
  TFountain::AfterConstruction();
  FColors = CreateEditorColors();
}

TEditorFountain::~TEditorFountain() {
  if (FColors) FColors->OnChange = TNotifyEvent();
  FColors.reset();
}

TOwned<TEditorColors> TEditorFountain::CreateEditorColors() {
  TOwned<TEditorColors> colors = Create<TEditorColors>(this);
  colors->OnChange = TNotifyEvent(NotifyEventList(), &TNotifyEventList::ForwardChange);
  return colors;
}

TOwned<TFountainBracketCollection> TEditorFountain::CreateBrackets() {
  TOwned<TFountainBracketCollection> brackets = Create<TEditorBracketCollection>(this);
  brackets->OnChange = TNotifyEvent(NotifyEventList(), &TNotifyEventList::ForwardChange);
  return brackets;
}

TFountainParserClass TEditorFountain::GetParserClass() {
  return [](TFountain* fountain) -> TOwned<TFountainParser> { return Create<TEditorParser>(fountain); };
}

void TEditorFountain::CopyColorProc(TObject* instance, const TPropInfo& property) {
  if (AnsiSameText(property.Name, "Select") || AnsiSameText(property.Name, "Hit")) return;
  TFountain::CopyColorProc(instance, property);
}

void TEditorFountain::SetAll(const TFountainColor& source, int mask) {
  TChangesBracket bracket(*NotifyEventList());
  CopyColors(FColors.get(), source, mask);
}

void TEditorFountain::SetAllBkColor(TColor value) {
  TOwned<TFountainColor> source = Create<TFountainColor>();
  source->SetBkColor(value);
  SetAll(*source, 1);
}

void TEditorFountain::SetAllColor(TColor value) {
  TOwned<TFountainColor> source = Create<TFountainColor>();
  source->SetColor(value);
  SetAll(*source, 2);
}

void TEditorFountain::SetAllStyle(TFontStyles value) {
  TOwned<TFountainColor> source = Create<TFountainColor>();
  source->SetStyle(value);
  SetAll(*source, 4);
}

const TClassInfo& TEditorFountain::StaticClassInfo() {
  using C = TEditorFountain;
  static const TClassInfo info = TPublished<C>("TEditorFountain", TFountain::StaticClassInfo())
                                     .Property("Colors", &C::Colors, &C::SetColors)
                                     .Property("Commenter", &C::Commenter, &C::SetCommenter)
                                     .Property("ControlCode", &C::ControlCode, &C::SetControlCode, false)
                                     .Property("HexPrefix", &C::HexPrefix, &C::SetHexPrefix)
                                     .Property("Mail", &C::Mail, &C::SetMail, false)
                                     .Property("Quotation", &C::Quotation, &C::SetQuotation)
                                     .Property("Url", &C::Url, &C::SetUrl, false);
  return info;
}

// ---- TEditorParser ----

TEditorParser::TEditorParser(TFountain* fountain)
    : TFountainParser(fountain), FEditorFountain(dynamic_cast<TEditorFountain*>(fountain)) {}

void TEditorParser::InitMethodTable() {
  TFountainParser::InitMethodTable();
  FContinueTable[toQuotation] = static_cast<TScanProc>(&TEditorParser::QuotationProc);
  FContinueTable[toControlCode] = static_cast<TScanProc>(&TEditorParser::ControlCodeProc);
  FContinueTable[toHexControlCode] = static_cast<TScanProc>(&TEditorParser::ControlCodeHexProc);
}

void TEditorParser::PrepareSpecialStarts() {
  TFountainParser::PrepareSpecialStarts();
  if (FEditorFountain == nullptr) return;
  auto mark = [this](char c) { FSpecialStarts[static_cast<unsigned char>(c)] = true; };
  if (FEditorFountain->Mail()) {
    for (int c = 1; c < 256; ++c) {
      if (IsMailStart(static_cast<char>(c))) mark(static_cast<char>(c));
    }
  }
  if (FEditorFountain->Url()) {
    for (char c : {'f', 'h', 'w'}) mark(c);
  }
  if (!FEditorFountain->Commenter().empty()) mark(FEditorFountain->Commenter()[0]);
  if (!FEditorFountain->Quotation().empty()) mark(FEditorFountain->Quotation()[0]);
  if (FEditorFountain->ControlCode()) mark('#');
  if (!FEditorFountain->HexPrefix().empty()) {
    mark(AsciiUpper(FEditorFountain->HexPrefix()[0]));
    mark(AsciiLower(FEditorFountain->HexPrefix()[0]));
  }
}

void TEditorParser::ParseProc() {
  if (!FSpecialStarts[static_cast<unsigned char>(*FP)]) {
    RunCharProc();
    return;
  }
  const bool mail = FEditorFountain != nullptr && FEditorFountain->Mail();
  const bool url = FEditorFountain != nullptr && FEditorFountain->Url();
  if (FBracketIndex == kNoBracket && IsBracketProc()) {
    BracketProc();
  } else if (mail && IsMailProc()) {
    MailProc();
  } else if (url && IsUrlProc()) {
    UrlProc();
  } else if (IsCommenter()) {
    CommentProc();
  } else if (IsQuotation()) {
    QuotationProc();
  } else if (IsControlCodeHex()) {
    ControlCodeHexProc();
  } else if (IsControlCode()) {
    ControlCodeProc();
  } else if (IsHexPrefix()) {
    HexProc();
  } else {
    RunCharProc();
  }
}

bool TEditorParser::IsCommenter() {
  if (FEditorFountain == nullptr) return false;
  const std::string& commenter = FEditorFountain->Commenter();
  if (commenter.empty() || !MatchesAt(FP, commenter)) return false;
  FP += commenter.size();
  return true;
}

bool TEditorParser::IsQuotation() {
  if (FEditorFountain == nullptr) return false;
  const std::string& quotation = FEditorFountain->Quotation();
  if (quotation.empty() || *FP != quotation[0] || *FP == '\0') return false;
  ++FP;
  return true;
}

void TEditorParser::QuotationProc() {
  if (FEditorFountain == nullptr || FEditorFountain->Quotation().empty()) {
    FToken = toEof;
    return;
  }
  FToken = toQuotation;
  QuotationScan(FEditorFountain->Quotation()[0]);
}

bool TEditorParser::IsControlCodeHex() {
  if (FEditorFountain == nullptr || !FEditorFountain->ControlCode() || FP[0] != '#' || FP[1] != '$') return false;
  FP += 2;
  return true;
}

void TEditorParser::ControlCodeHexProc() {
  FToken = toHexControlCode;
  while (IsHexDigitChar(*FP)) ++FP;
}

bool TEditorParser::IsControlCode() {
  if (FEditorFountain == nullptr || !FEditorFountain->ControlCode() || *FP != '#') return false;
  ++FP;
  return true;
}

void TEditorParser::ControlCodeProc() {
  FToken = toControlCode;
  while (*FP >= '0' && *FP <= '9') ++FP;
}

bool TEditorParser::IsHexPrefix() {
  if (FEditorFountain == nullptr) return false;
  const std::string& prefix = FEditorFountain->HexPrefix();
  if (prefix.empty()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FP[i] == '\0' || AsciiUpper(FP[i]) != AsciiUpper(prefix[i])) return false;
  }
  FP += prefix.size();
  return true;
}

TTokenKinds TEditorParser::WrappedTokenKinds() const {
  TTokenKinds kinds = TFountainParser::WrappedTokenKinds();
  kinds.set(toQuotation);
  return kinds;
}

TFountainColor* TEditorParser::TokenToFountainColor() {
  if (FFountain == nullptr) return nullptr;
  if (IsReserveWord()) return FFountain->Reserve();
  if (FToken == toReserve) return FFountain->Reserve();
  if (FToken == toBracket) {
    TFountainBracketCollection* brackets = FFountain->Brackets();
    if (FPrevBracketIndex < 0 || FPrevBracketIndex >= brackets->Count()) return nullptr;
    return brackets->Items(FPrevBracketIndex)->ItemColor();
  }
  if (FEditorFountain == nullptr) return nullptr;
  TEditorColors* colors = FEditorFountain->Colors();
  switch (FToken) {
    case toSymbol:
      return colors->Symbol();
    case toInteger:
    case toFloat:
    case toHex:
      return colors->Int();
    case toComment:
      return colors->Comment();
    case toAnk:
      return colors->Ank();
    case toDBSymbol:
    case toDBDigit:
    case toDBAlpha:
    case toDBHiragana:
    case toDBKatakana:
    case toDBKanji:
    case toKanaSymbol:
    case toKana:
      return colors->DBCS();
    case toUrl:
      return colors->Url();
    case toMail:
      return colors->Mail();
    default:
      break;
  }
  if (FToken == toQuotation || FToken == toControlCode || FToken == toHexControlCode) return colors->Str();
  return nullptr;
}

}  // namespace plomaret
