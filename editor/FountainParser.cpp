#include "editor/Fountain.h"

#include <cstring>

namespace plomaret {

namespace {

inline unsigned char ByteOf(const char* p) { return static_cast<unsigned char>(*p); }
inline bool InRange(unsigned char byte, unsigned char low, unsigned char high) { return byte >= low && byte <= high; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
inline bool IsAnkChar(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

// Blanks never form tokens: every control byte but NUL and tab, and the space.
inline bool IsBlank(unsigned char byte) { return byte >= 0x01 && byte <= 0x20 && byte != 0x09; }

inline bool IsMailChar(char c) {
  return IsAnkChar(c) || (c != '\0' && std::strchr("!$%&*,-./;=?@^~", c) != nullptr);
}

inline bool IsUrlChar(char c) {
  return IsAnkChar(c) || (c != '\0' && std::strchr("#%&+-./:=?~", c) != nullptr);
}

// Full-width symbols under lead byte 0x82.
inline bool IsDBSymbolTrailOf82(unsigned char trail) {
  return InRange(trail, 0x40, 0x4E) || InRange(trail, 0x59, 0x5F) || InRange(trail, 0x7A, 0x80) ||
         InRange(trail, 0x9B, 0x9E) || InRange(trail, 0xF2, 0xFF);
}

inline bool IsFullWidthDigit(const char* p) { return ByteOf(p) == 0x82 && InRange(ByteOf(p + 1), 0x4F, 0x58); }
inline bool IsFullWidthLetter(const char* p) {
  return ByteOf(p) == 0x82 && (InRange(ByteOf(p + 1), 0x60, 0x79) || InRange(ByteOf(p + 1), 0x81, 0x9A));
}
inline bool IsHiragana(const char* p) { return ByteOf(p) == 0x82 && InRange(ByteOf(p + 1), 0x9F, 0xF1); }
inline bool IsKatakana(const char* p) { return ByteOf(p) == 0x83 && InRange(ByteOf(p + 1), 0x40, 0x96); }
// The prolonged sound mark and 0x81 0x7C belong to kana runs.
inline bool IsKanaRunMark(const char* p) { return ByteOf(p) == 0x81 && (ByteOf(p + 1) == 0x5B || ByteOf(p + 1) == 0x7C); }
// Full-width comma and full stop belong to digit runs.
inline bool IsDigitRunMark(const char* p) { return ByteOf(p) == 0x81 && (ByteOf(p + 1) == 0x43 || ByteOf(p + 1) == 0x44); }

}  // namespace

TFountainParser::TFountainParser(TFountain* fountain) : FFountain(fountain) {
  if (fountain == nullptr) throw Exception("TFountainParser.Create need instance of TFountain");
}

void TFountainParser::InitMethodTable() {
  for (TScanProc& proc : FCharTable) proc = &TFountainParser::SymbolProc;
  FCharTable[0x00] = &TFountainParser::NullProc;
  FCharTable[0x09] = &TFountainParser::TabProc;
  FCharTable[0x0A] = &TFountainParser::LFProc;
  FCharTable[0x0D] = &TFountainParser::CRProc;
  for (int b = '0'; b <= '9'; ++b) FCharTable[b] = &TFountainParser::IntegerProc;
  for (int b = 'A'; b <= 'Z'; ++b) FCharTable[b] = &TFountainParser::AnkProc;
  for (int b = 'a'; b <= 'z'; ++b) FCharTable[b] = &TFountainParser::AnkProc;
  FCharTable[static_cast<unsigned char>('_')] = &TFountainParser::AnkProc;
  FCharTable[0x81] = &TFountainParser::DBSymbolProc;
  for (int b = 0x84; b <= 0x87; ++b) FCharTable[b] = &TFountainParser::DBSymbolProc;
  FCharTable[0x82] = &TFountainParser::DBProc;
  FCharTable[0x83] = &TFountainParser::DBProc;
  for (int b = 0x88; b <= 0x9F; ++b) FCharTable[b] = &TFountainParser::KanjiProc;
  for (int b = 0xE0; b <= 0xFC; ++b) FCharTable[b] = &TFountainParser::KanjiProc;
  for (int b = 0xA1; b <= 0xA5; ++b) FCharTable[b] = &TFountainParser::KanaSymbolProc;
  for (int b = 0xA6; b <= 0xDF; ++b) FCharTable[b] = &TFountainParser::KanaProc;

  for (TScanProc& proc : FContinueTable) proc = &TFountainParser::SymbolProc;
  FContinueTable[toInteger] = &TFountainParser::IntegerProc;
  FContinueTable[toFloat] = &TFountainParser::IntegerProc;
  FContinueTable[toBracket] = &TFountainParser::BracketProc;
  FContinueTable[toComment] = &TFountainParser::CommentProc;
  FContinueTable[toReserve] = &TFountainParser::ReserveWordProc;
  FContinueTable[toAnk] = &TFountainParser::AnkProc;
  FContinueTable[toDBSymbol] = &TFountainParser::DBSymbolProc;
  for (int kind = toDBDigit; kind <= toDBKatakana; ++kind) FContinueTable[kind] = &TFountainParser::DBProc;
  FContinueTable[toDBKanji] = &TFountainParser::KanjiProc;
  FContinueTable[toKanaSymbol] = &TFountainParser::KanaSymbolProc;
  FContinueTable[toKana] = &TFountainParser::KanaProc;
  FContinueTable[toUrl] = &TFountainParser::UrlProc;
  FContinueTable[toMail] = &TFountainParser::MailProc;
  FContinueTable[toHex] = &TFountainParser::HexProc;
  FContinueTable[toSQuote] = &TFountainParser::SingleQuotationProc;
  FContinueTable[toDQuote] = &TFountainParser::DoubleQuotationProc;
}

void TFountainParser::NewData(const char* text, const TRowAttributeData& data) {
  FBuffer = FP = FNextToken = FTokenStart = text;
  FPrevBracketIndex = kInvalidBracket;
  FRowAttribute = data.RowAttribute;
  FPrevRowAttribute = data.PrevRowAttribute;
  FBracketIndex = data.BracketIndex;
  FStateValue = data.StateValue;
  FRemain = data.Remain;
  FStateValue2 = data.StateValue2;
  FStartToken = static_cast<TTokenKind>(data.TokenKind);
  FStateByte = data.StateByte;
  if (!(FStateStr.empty() && data.StateStr.empty())) FStateStr = data.StateStr;
  PrepareSpecialStarts();
}

bool TFountainParser::ScanCanChangeState(const TRowAttributeData& data) const {
  if (data.BracketIndex >= 0) return true;  // inside a region, or a stale index that ends the scan
  if (data.BracketIndex != kNoBracket || FFountain == nullptr) return false;  // brackets are off for this row
  TFountainBracketCollection* brackets = FFountain->Brackets();
  for (int i = 0; i < brackets->Count(); ++i) {
    if (!brackets->Items(i)->LeftBracket().empty()) return true;
  }
  return false;
}

bool TFountainParser::StateCanSettle() const { return !ScanCanChangeState(StartRowAttributeData()); }

bool TFountainParser::RowSettlesState(int index, const TRowAttributeStringList& rows) const {
  // With no region able to open, a parse from the top keeps the start state's fields
  // but the token kind and remain, and UpdateRowData clears those two at every row
  // that has text and ends its line (a comment goes on past any wrap, even the last row's).
  if (!StateCanSettle()) return false;
  if (rows.RowAttributes(index) == raWrap) return false;
  return rows.ViewAt(index).find_first_not_of(' ') != std::string_view::npos;
}

void TFountainParser::PrepareSpecialStarts() {
  FSpecialStarts.reset();
  if (FFountain == nullptr) return;
  TFountainBracketCollection* brackets = FFountain->Brackets();
  for (int i = 0; i < brackets->Count(); ++i) {
    const std::string& left = brackets->Items(i)->LeftBracket();
    if (!left.empty()) FSpecialStarts[static_cast<unsigned char>(left[0])] = true;
  }
}

TTokenKind TFountainParser::NextToken() {
  SkipBlanks();
  FP = FTokenStart = FNextToken;
  FContinued = FStartToken != toEof;
  if (IsLineStop(*FP)) {
    FToken = toEof;
  } else if (FStartToken != toEof) {
    WrappedTokenProc();
  } else if (FBracketIndex >= 0) {
    BracketProc();
  } else {
    ParseProc();
  }
  FNextToken = FP;
  return FToken;
}

void TFountainParser::SkipBlanks() {
  while (IsBlank(ByteOf(FNextToken))) ++FNextToken;
}

void TFountainParser::ParseProc() {
  if (FSpecialStarts[ByteOf(FP)] && FBracketIndex == kNoBracket && IsBracketProc()) {
    BracketProc();
  } else {
    RunCharProc();
  }
}

void TFountainParser::WrappedTokenProc() {
  if (FRemain > 0) {
    FToken = FStartToken;
    for (int i = 0; i < FRemain && *FP != '\0'; ++i) ++FP;
    if (FToken == toBracket) {
      FPrevBracketIndex = FBracketIndex;
      FBracketIndex = kNoBracket;  // the region closes inside these bytes
    }
  } else {
    RunScanProc(FContinueTable[FStartToken]);
  }
  FStartToken = toEof;
  FRemain = 0;
}

bool TFountainParser::MatchesAt(const char* at, std::string_view literal) const {
  for (size_t i = 0; i < literal.size(); ++i) {
    if (at[i] == '\0' || at[i] != literal[i]) return false;
  }
  return true;
}

void TFountainParser::KeepTokenKindOrSymbol() {
  // A byte was taken, so the scan must not end here.
  if (FToken == toEof) FToken = toSymbol;
}

bool TFountainParser::IsBracketProc() {
  if (FFountain == nullptr) return false;
  TFountainBracketCollection* brackets = FFountain->Brackets();
  const int count = brackets->Count();
  for (int i = 0; i < count; ++i) {
    const std::string& left = brackets->Items(i)->LeftBracket();
    if (!left.empty() && MatchesAt(FP, left)) {
      FBracketIndex = i;
      FP += left.size();
      return true;
    }
  }
  return false;
}

void TFountainParser::BracketProc() {
  TFountainBracketCollection* brackets = FFountain != nullptr ? FFountain->Brackets() : nullptr;
  if (brackets == nullptr || FBracketIndex < 0 || FBracketIndex >= brackets->Count() ||
      brackets->Items(FBracketIndex)->RightBracket().empty()) {
    FToken = toEof;  // a stale or unusable region ends the row's scan
    return;
  }
  const std::string& right = brackets->Items(FBracketIndex)->RightBracket();
  FToken = toBracket;
  FPrevBracketIndex = FBracketIndex;
  for (;;) {
    if (IsLineStop(*FP)) return;  // the region stays open
    if (MatchesAt(FP, right)) {
      FP += right.size();
      FBracketIndex = kNoBracket;
      return;
    }
    AdvanceChar();
  }
}

bool TFountainParser::IsMailProc() {
  const char* p = FP;
  if (!IsMailChar(*p) || *p == '@') return false;
  bool passedAt = false;
  for (; IsMailChar(*p); ++p) {
    if (*p == '@') {
      passedAt = true;
    } else if (*p == '.' && passedAt) {
      FP = p + 1;
      return true;
    }
  }
  return false;
}

void TFountainParser::MailProc() {
  FToken = toMail;
  while (IsMailChar(*FP)) ++FP;
}

bool TFountainParser::IsUrlProc() {
  std::string_view prefix;
  switch (*FP) {
    case 'f':
      prefix = "ftp:";
      break;
    case 'h':
      prefix = MatchesAt(FP, "http:") ? "http:" : "https:";
      break;
    case 'w':
      prefix = "www.";
      break;
    default:
      return false;
  }
  if (!MatchesAt(FP, prefix)) return false;
  FP += prefix.size();
  return true;
}

void TFountainParser::UrlProc() {
  FToken = toUrl;
  while (IsUrlChar(*FP)) ++FP;
}

void TFountainParser::ReserveWordProc() {
  RunCharProc();
  FToken = toReserve;
}

void TFountainParser::NullProc() { FToken = toEof; }

void TFountainParser::LFProc() {
  FToken = toEof;
  if (*FP == '\n') ++FP;
}

void TFountainParser::CRProc() {
  FToken = toEof;
  if (*FP == '\r') ++FP;
  if (*FP == '\n') ++FP;
}

void TFountainParser::TabProc() {
  FToken = toTab;
  if (*FP == '\t') ++FP;
}

void TFountainParser::CommentProc() {
  FToken = toComment;
  while (!IsLineStop(*FP)) ++FP;
}

void TFountainParser::HexProc() {
  FToken = toHex;
  while (IsHexDigit(*FP)) ++FP;
}

void TFountainParser::IntegerProc() {
  FToken = toInteger;
  auto takeDigits = [this] {
    while (IsDigit(*FP)) ++FP;
  };
  auto takeExponentRest = [&] {  // after the letter: an optional sign, then digits
    if (*FP == '+' || *FP == '-') ++FP;
    takeDigits();
  };
  takeDigits();
  if (*FP == '.') {
    FToken = toFloat;
    const char next = FP[1];
    if (IsDigit(next)) {
      ++FP;
      takeDigits();
      if (*FP == 'E' || *FP == 'e') {
        ++FP;
        takeExponentRest();
      }
    } else if (next == 'E' || next == 'e') {
      FP += 2;
      takeExponentRest();
    }
    // Otherwise the point is not part of the number.
  } else if (*FP == 'E' || *FP == 'e') {
    FToken = toFloat;
    ++FP;
    takeExponentRest();
  }
}

void TFountainParser::AnkProc() {
  FToken = toAnk;
  while (IsAnkChar(*FP)) ++FP;
}

void TFountainParser::DBSymbolProc() {
  FToken = toDBSymbol;
  if (*FP == '\0') return;
  const unsigned char lead = ByteOf(FP);
  const unsigned char trail = ByteOf(FP + 1);
  const bool symbol = lead == 0x81 || InRange(lead, 0x84, 0x87) || (lead == 0x83 && InRange(trail, 0x97, 0xF0)) ||
                      (lead == 0x82 && IsDBSymbolTrailOf82(trail));
  if (symbol) FP += trail != 0 ? 2 : 1;
}

void TFountainParser::DBProc() {
  if (*FP == '\0') return;
  const unsigned char lead = ByteOf(FP);
  const unsigned char trail = ByteOf(FP + 1);
  auto takeRun = [this](auto belongs) {
    while (belongs(FP)) FP += 2;
  };
  if (lead == 0x82 && InRange(trail, 0x4F, 0x58)) {
    FToken = toDBDigit;
    takeRun([](const char* p) { return IsFullWidthDigit(p) || IsDigitRunMark(p); });
  } else if (IsFullWidthLetter(FP)) {
    FToken = toDBAlpha;
    takeRun(IsFullWidthLetter);
  } else if (IsHiragana(FP)) {
    FToken = toDBHiragana;
    takeRun([](const char* p) { return IsHiragana(p) || IsKanaRunMark(p); });
  } else if (lead == 0x82 && IsDBSymbolTrailOf82(trail)) {
    FToken = toDBSymbol;
    FP += 2;
  } else if (IsKatakana(FP)) {
    FToken = toDBKatakana;
    takeRun([](const char* p) { return IsKatakana(p) || IsKanaRunMark(p); });
  } else if (lead == 0x83 && InRange(trail, 0x97, 0xF0)) {
    FToken = toDBSymbol;
    FP += 2;
  } else if (lead == 0x82 || lead == 0x83) {
    ++FP;  // a lead byte with a trail that makes no character: the lead alone
    KeepTokenKindOrSymbol();
  } else {
    // A continued run whose row does not start with the run: nothing to take.
    KeepTokenKindOrSymbol();
  }
}

void TFountainParser::KanjiProc() {
  FToken = toDBKanji;
  while (InRange(ByteOf(FP), 0x88, 0x9F) || InRange(ByteOf(FP), 0xE0, 0xFC)) {
    ++FP;
    if (ByteOf(FP) >= 0x40) ++FP;
  }
}

void TFountainParser::KanaSymbolProc() {
  FToken = toKanaSymbol;
  if (InRange(ByteOf(FP), 0xA1, 0xA5)) ++FP;
}

void TFountainParser::KanaProc() {
  FToken = toKana;
  while (InRange(ByteOf(FP), 0xA6, 0xDF)) ++FP;
}

void TFountainParser::SymbolProc() {
  FToken = toSymbol;
  if (!IsLineStop(*FP)) ++FP;
}

void TFountainParser::QuotationScan(char quote) {
  for (;;) {
    if (IsLineStop(*FP)) return;  // the string stays open
    if (*FP == quote) {
      ++FP;
      if (*FP != quote) return;
      ++FP;  // a doubled quote stands for one
      continue;
    }
    AdvanceChar();
  }
}

void TFountainParser::SingleQuotationProc() {
  FToken = toSQuote;
  if (!FContinued && *FP == '\'') ++FP;
  QuotationScan('\'');
}

void TFountainParser::DoubleQuotationProc() {
  FToken = toDQuote;
  if (!FContinued && *FP == '"') ++FP;
  QuotationScan('"');
}

bool TFountainParser::IsReserveWord() {
  if (FContinued || FToken == toEof || FToken == toBracket || FToken == toComment) return false;
  if (FFountain == nullptr) return false;
  const TStringList* words = FFountain->ReserveWordList();
  if (words->Count() == 0) return false;
  int index = 0;
  return words->Find(TokenView(), index);
}

bool TFountainParser::IsReserveWordProc(TTokenKind& kind) {
  if (!IsReserveWord()) return false;
  kind = toReserve;
  return true;
}

TTokenKinds TFountainParser::WrappedTokenKinds() const {
  static const TTokenKinds kinds = TokenKindsOf({toComment, toSQuote, toDQuote});
  return kinds;
}

TTokenKinds TFountainParser::WholeRowTokenKinds() const {
  static const TTokenKinds kinds = TokenKindsOf({toComment});
  return kinds;
}

void TFountainParser::UpdateRowData(int index, const TRowAttributeStringList& rows, TRowAttributeData& data) {
  if (WholeRowTokenKinds()[data.TokenKind]) {
    // The row is the continued token whole; it goes on only past a wrap.
    if (data.RowAttribute != raWrap) data.TokenKind = toEof;
    data.Remain = 0;
    return;
  }
  const std::string_view row = rows.ViewAt(index);
  if (row.find_first_not_of(' ') == std::string_view::npos) return;  // nothing to change the state
  const bool joinsNextRow = data.RowAttribute == raWrap && index < rows.Count() - 1;
  if (!joinsNextRow && !ScanCanChangeState(data)) {
    // No token can run on into the next row, and none can change the state.
    data.Remain = 0;
    data.TokenKind = toEof;
    return;
  }
  const int rowLength = static_cast<int>(row.size());
  const char* text = row.data();  // the row store keeps a zero byte after every row
  int textLength = rowLength;
  if (joinsNextRow) {
    // A token may run on into the next row: scan both as one text.
    FJoinedRows.assign(row);
    FJoinedRows.append(rows.ViewAt(index + 1));
    text = FJoinedRows.c_str();
    textLength = static_cast<int>(FJoinedRows.size());
  }

  int lastBracket = data.BracketIndex;
  int stateAtStraddle = data.StateValue;
  TTokenKind last = toEof;
  NewData(text, data);
  // Kept in locals while scanning; data is written once at the end.
  int bracketIndex = data.BracketIndex;
  int stateValue = data.StateValue;
  uint8_t stateByte = data.StateByte;
  const char* const rowEnd = FBuffer + rowLength;
  for (TTokenKind kind = NextToken(); kind != toEof; kind = NextToken()) {
    last = kind;
    bracketIndex = FBracketIndex;
    if (kind == toBracket) lastBracket = FPrevBracketIndex;
    stateAtStraddle = FStateValue;
    if (FP > rowEnd) break;  // the token runs over the end of the row
    stateValue = FStateValue;
    stateByte = FStateByte;
  }
  data.BracketIndex = bracketIndex;
  data.StateValue = stateValue;
  data.StateByte = stateByte;
  data.Remain = 0;
  data.TokenKind = toEof;
  if (FToken != toEof && SourcePos() >= rowLength) {
    data.BracketIndex = kNoBracket;  // the token lies wholly in the next row
    return;
  }
  const int end = SourcePos() + TokenLength();
  if (!(SourcePos() < rowLength && rowLength < end)) return;

  // The token straddles the wrap.
  data.StateValue = stateAtStraddle;
  if (last == toBracket) {
    if (data.BracketIndex == kNoBracket) {
      // The region closes inside the next row. If its closing text itself is cut by
      // the wrap, the next row cannot find it: carry the byte count instead.
      data.BracketIndex = lastBracket;
      TFountainBracketCollection* brackets = FFountain != nullptr ? FFountain->Brackets() : nullptr;
      if (brackets != nullptr && lastBracket >= 0 && lastBracket < brackets->Count() &&
          static_cast<int>(brackets->Items(lastBracket)->RightBracket().size()) > end - rowLength) {
        data.TokenKind = toBracket;
        data.Remain = end - rowLength;
      }
    }
    return;  // otherwise the region is open at the next row's start
  }
  IsReserveWordProc(last);
  data.TokenKind = last;
  if (WrappedTokenKinds()[last]) return;  // the next row rescans it
  if (end < textLength || rows.RowAttributes(index + 1) != raWrap) data.Remain = end - rowLength;
}

// ---- TTokenParser ----

TTokenParser::TTokenParser() : TFountainParser(TWithoutFountain{}) {}

}  // namespace plomaret
