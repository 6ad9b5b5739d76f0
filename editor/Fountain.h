#pragma once
// Colour schemes (fountains) and the parser that splits a row into coloured tokens.
//
// A fountain says which token kinds get which colours, which words are reserved,
// which bracket pairs delimit coloured regions (at most 14: row states keep the
// index in four bits) and which parser class tokenizes for it. Editors share a
// fountain and register a change handler with its NotifyEventList; every change
// inside the fountain reaches each handler once, with the fountain as sender.

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "editor/NotifyClasses.h"
#include "editor/RowAttributeList.h"
#include "framework/core/CodePage.h"
#include "framework/core/Collection.h"
#include "framework/core/Graphics.h"
#include "framework/core/Strings.h"

namespace plomaret {

class TFountain;
class TFountainParser;
struct TPropInfo;

// ---- Colours and brackets ----

class TFountainColor : public TNotifyPersistent {
 public:
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles value);

  void Assign(const TPersistent& source) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TColor FBkColor = clNone;  // clNone: the editor's background
  TColor FColor = clNone;    // clNone: the editor's font colour
  TFontStyles FStyle;
};

class TFountainColorItem : public TCollectionItem {
 public:
  explicit TFountainColorItem(TCollection& collection);
  void AfterConstruction() override;

  TFountainColor* ItemColor() const { return FItemColor.get(); }
  void SetItemColor(const TFountainColor& value) { FItemColor->Assign(value); }
  void Assign(const TPersistent& source) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TOwned<TFountainColor> FItemColor;
};

class TFountainBracketItem : public TFountainColorItem {
 public:
  using TFountainColorItem::TFountainColorItem;

  // Stored without a change notification.
  const std::string& LeftBracket() const { return FLeftBracket; }
  void SetLeftBracket(const std::string& value) { FLeftBracket = value; }
  const std::string& RightBracket() const { return FRightBracket; }
  void SetRightBracket(const std::string& value) { FRightBracket = value; }

  void Assign(const TPersistent& source) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  std::string FLeftBracket;
  std::string FRightBracket;
};

class TFountainBracketCollection : public TNotifyCollection {
 public:
  static constexpr int kMaxItems = 14;

  explicit TFountainBracketCollection(TPersistent* owner,
                                      TCollectionItemClass itemClass = TCollectionItemClass::Of<TFountainBracketItem>())
      : TNotifyCollection(owner, itemClass) {}

  // Refuses a fifteenth item.
  TFountainBracketItem* Add() override;
  int MaxItemCount() const override { return kMaxItems; }
  TFountainBracketItem* Items(int index) const { return static_cast<TFountainBracketItem*>(TCollection::Items(index)); }
  void Assign(const TPersistent& source) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// ---- The fountain ----

using TFountainParserClass = TOwned<TFountainParser> (*)(TFountain* fountain);

class TFountain : public TFileExtComponent {
 public:
  void AfterConstruction() override;
  ~TFountain() override;

  TFountainBracketCollection* Brackets() const { return FBrackets.get(); }
  void SetBrackets(const TFountainBracketCollection& value) { FBrackets->Assign(value); }
  TFountainColor* Reserve() const { return FReserve.get(); }
  void SetReserve(const TFountainColor& value) { FReserve->Assign(value); }
  TStringList* ReserveWordList() const { return FReserveWordList.get(); }
  void SetReserveWordList(const TStrings& value);
  TNotifyEventList* NotifyEventList() const { return FNotifyEventList.get(); }

  // A new parser of this scheme's parser class; the caller owns it.
  virtual TOwned<TFountainParser> CreateParser();
  // Whether any colour reachable through instance's published properties is italic.
  virtual bool HasItalic(TPersistent* instance);
  // Copies, through their setters, Source's BkColor (mask bit 0), Color (bit 1) and
  // Style (bit 2) into every colour reachable through instance's published properties.
  void CopyColors(TPersistent* instance, const TFountainColor& source, int mask);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  virtual TOwned<TFountainColor> CreateFountainColor();
  virtual void CreateFountainColors();
  virtual TOwned<TFountainBracketCollection> CreateBrackets();
  virtual TFountainParserClass GetParserClass() = 0;
  virtual void InitBracketItems() {}
  virtual void InitReserveWordList() {}
  // The walk callbacks, one call per property reached.
  virtual void HasItalicProc(TObject* instance, const TPropInfo& property);
  virtual void CopyColorProc(TObject* instance, const TPropInfo& property);

 private:
  TOwned<TNotifyEventList> FNotifyEventList;
  TOwned<TFountainBracketCollection> FBrackets;
  TOwned<TStringList> FReserveWordList;
  TOwned<TFountainColor> FReserve;
  // Scratch values of the two walks.
  bool FItalicFound = false;
  const TFountainColor* FCopySource = nullptr;
  int FCopyMask = 0;
};

// ---- Token kinds ----

// Kinds are stored in row states, so their values are fixed.
enum TTokenKind : uint8_t {
  toEof = 0,
  toSymbol = 1,
  toInteger = 3,
  toFloat = 4,
  toBracket = 6,
  toComment = 7,
  toReserve = 8,
  toTab = 9,
  toAnk = 11,
  toDBSymbol = 12,
  toDBDigit = 14,
  toDBAlpha = 15,
  toDBHiragana = 16,
  toDBKatakana = 17,
  toDBKanji = 18,
  toKanaSymbol = 19,
  toKana = 20,
  toUrl = 21,
  toMail = 22,
  toHex = 23,
  toSQuote = 24,
  toDQuote = 25,
};

using TTokenKinds = std::bitset<256>;

inline TTokenKinds TokenKindsOf(std::initializer_list<TTokenKind> kinds) {
  TTokenKinds set;
  for (TTokenKind kind : kinds) set.set(kind);
  return set;
}

// ---- The parser ----

// Splits the text of a row into tokens, resumable from the state saved at the start
// of any row. Two 256-entry tables pick the scanning operation by byte value and by
// the kind of a token continued from the row above; both hold the object's own
// (possibly overridden) operations, so derived parsers change behaviour by
// overriding, never by editing tables.
class TFountainParser : public TObject {
 public:
  explicit TFountainParser(TFountain* fountain);
  void AfterConstruction() override { InitMethodTable(); }

  // Starts a scan of text, which must end with a zero byte and stay unchanged and
  // alive until the scan ends, from the start state data.
  virtual void NewData(const char* text, const TRowAttributeData& data);
  // Scans the next token; toEof when the text is exhausted.
  virtual TTokenKind NextToken();
  // Computes the start state of row index + 1 from that of row index (data, whose
  // RowAttribute is the row's attribute).
  virtual void UpdateRowData(int index, const TRowAttributeStringList& rows, TRowAttributeData& data);
  // Whether some row can leave the start state whatever state a parse from the top
  // brings into it, so that a parse may begin below such a row instead of at the top.
  virtual bool StateCanSettle() const;
  // Whether UpdateRowData of row index leaves the start state (row attributes aside)
  // whatever state a parse from the top brings into the row. A parser that changes
  // UpdateRowData or keeps state of its own answers for its own rules.
  virtual bool RowSettlesState(int index, const TRowAttributeStringList& rows) const;

  std::string TokenString() const { return std::string(TokenView()); }
  std::string_view TokenView() const { return std::string_view(FTokenStart, static_cast<size_t>(FP - FTokenStart)); }
  int SourcePos() const { return static_cast<int>(FTokenStart - FBuffer); }
  int TokenLength() const { return static_cast<int>(FP - FTokenStart); }
  TTokenKind Token() const { return FToken; }

  virtual bool IsReserveWord();
  virtual bool IsReserveWordProc(TTokenKind& kind);
  // The colour of the current token; nullptr means the editor's default colours.
  virtual TFountainColor* TokenToFountainColor() = 0;
  virtual TTokenKinds WrappedTokenKinds() const;
  virtual TTokenKinds WholeRowTokenKinds() const;

  TFountain* Fountain() const { return FFountain; }
  int BracketIndex() const { return FBracketIndex; }
  int PrevBracketIndex() const { return FPrevBracketIndex; }
  int StateValue() const { return FStateValue; }
  int StateValue2() const { return FStateValue2; }
  uint8_t StateByte() const { return FStateByte; }
  const std::string& StateStr() const { return FStateStr; }

 protected:
  using TScanProc = void (TFountainParser::*)();

  // For the plain token parser, which has no fountain.
  struct TWithoutFountain {};
  explicit TFountainParser(TWithoutFountain) {}

  virtual void InitMethodTable();
  virtual void SkipBlanks();
  virtual bool IsBracketProc();
  virtual void BracketProc();
  virtual bool IsMailProc();
  virtual void MailProc();
  virtual bool IsUrlProc();
  virtual void UrlProc();
  virtual void ReserveWordProc();
  virtual void NullProc();
  virtual void TabProc();
  virtual void LFProc();
  virtual void CRProc();
  virtual void CommentProc();
  virtual void HexProc();
  virtual void IntegerProc();
  virtual void AnkProc();
  virtual void DBSymbolProc();
  virtual void DBProc();
  virtual void KanjiProc();
  virtual void KanaSymbolProc();
  virtual void KanaProc();
  virtual void SymbolProc();
  virtual void SingleQuotationProc();
  virtual void DoubleQuotationProc();
  virtual void WrappedTokenProc();
  virtual void ParseProc();

  // Runs a scanning operation from one of the tables. Derived parsers call the
  // tables through this: g++ 12's vptr check breaks a member-pointer call made
  // from a derived class's own member function.
  void RunScanProc(TScanProc proc) { (this->*proc)(); }
  void RunCharProc() { RunScanProc(FCharTable[static_cast<unsigned char>(*FP)]); }

  // Helpers for scanning operations.
  static bool IsLineStop(char byte) { return byte == '\0' || byte == '\n' || byte == '\r'; }
  // Moves the scan pointer over one character: two bytes at a lead byte, but never
  // over the terminating zero.
  void AdvanceChar() {
    const bool lead = IsLeadByte(static_cast<unsigned char>(*FP));
    ++FP;
    if (lead && *FP != '\0') ++FP;
  }
  // Whether literal stands at the scan pointer (exact bytes; never reads past a zero).
  bool MatchesAt(const char* at, std::string_view literal) const;
  void QuotationScan(char quote);
  // A byte was taken: the token must not read as the end of the text.
  void KeepTokenKindOrSymbol();

  // Called by NewData: notes which bytes can start a token that ParseProc's tests
  // recognise before the byte table (a bracket's opening text, for instance). A
  // derived parser that adds such a test adds its starts here too; ParseProc goes
  // straight to the byte table for any other byte.
  virtual void PrepareSpecialStarts();
  std::bitset<256> FSpecialStarts;

  // Whether scanning a row that starts in state data can leave a different state
  // at its end. Here only bracket regions outlive a row end, so a row that starts
  // outside any region, with no bracket that could open one, need not be scanned
  // for its end state. A derived parser that keeps state of its own in StateValue,
  // StateByte or StateStr answers true. The answer must not depend on the row
  // attributes, the token kind or the remain of data.
  virtual bool ScanCanChangeState(const TRowAttributeData& data) const;

  const char* FBuffer = "";
  int FBracketIndex = kNoBracket;
  std::string FStateStr;
  int FPrevBracketIndex = kInvalidBracket;
  int FStateValue = 0;
  TFountain* FFountain = nullptr;
  bool FContinued = false;
  TScanProc FCharTable[256] = {};
  const char* FP = "";
  uint8_t FPrevRowAttribute = raLineEnd;
  uint8_t FStateByte = 0;
  int FStateValue2 = 0;
  uint8_t FRowAttribute = raLineEnd;
  const char* FNextToken = "";
  TTokenKind FStartToken = toEof;
  TTokenKind FToken = toEof;
  TScanProc FContinueTable[256] = {};
  const char* FTokenStart = "";
  int FRemain = 0;

 private:
  std::string FJoinedRows;  // a wrapped row and the next, joined for UpdateRowData
};


// The plain token parser: the base parser without a fountain or colours, which
// splits text into the base token kinds only.
class TTokenParser : public TFountainParser {
 public:
  TTokenParser();
  TFountainColor* TokenToFountainColor() override { return nullptr; }
};

}  // namespace plomaret
