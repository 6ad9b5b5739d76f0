#pragma once
// The editor's own colour scheme: words, comments, double-byte text, numbers, mail
// addresses, reserved words, strings, symbols, URLs, and the selection and search-hit
// colours that the editor applies itself. An optional comment marker, string quote,
// hexadecimal prefix, control codes ("#13", "#$0D"), URLs and mail addresses.

#include <string>

#include "editor/Fountain.h"

namespace plomaret {

// Token kinds of the editor's parser, after those of the base parser.
inline constexpr TTokenKind toQuotation = static_cast<TTokenKind>(26);
inline constexpr TTokenKind toControlCode = static_cast<TTokenKind>(27);
inline constexpr TTokenKind toHexControlCode = static_cast<TTokenKind>(28);

class TEditorColor : public TFountainColor {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TEditorColors : public TNotifyPersistent {
 public:
  explicit TEditorColors(TFountain* fountain) : FFountain(fountain) {}
  void AfterConstruction() override;

  TEditorColor* Ank() const { return FAnk.get(); }
  TEditorColor* Comment() const { return FComment.get(); }
  TEditorColor* DBCS() const { return FDBCS.get(); }
  TEditorColor* Hit() const { return FHit.get(); }
  TEditorColor* Int() const { return FInt.get(); }
  TEditorColor* Mail() const { return FMail.get(); }
  // The owning fountain's own Reserve colour.
  TFountainColor* Reserve() const { return FFountain != nullptr ? FFountain->Reserve() : nullptr; }
  TEditorColor* Select() const { return FSelect.get(); }
  TEditorColor* Str() const { return FStr.get(); }
  TEditorColor* Symbol() const { return FSymbol.get(); }
  TEditorColor* Url() const { return FUrl.get(); }

  void SetAnk(const TFountainColor& value) { FAnk->Assign(value); }
  void SetComment(const TFountainColor& value) { FComment->Assign(value); }
  void SetDBCS(const TFountainColor& value) { FDBCS->Assign(value); }
  void SetHit(const TFountainColor& value) { FHit->Assign(value); }
  void SetInt(const TFountainColor& value) { FInt->Assign(value); }
  void SetMail(const TFountainColor& value) { FMail->Assign(value); }
  void SetReserve(const TFountainColor& value);
  void SetSelect(const TFountainColor& value) { FSelect->Assign(value); }
  void SetStr(const TFountainColor& value) { FStr->Assign(value); }
  void SetSymbol(const TFountainColor& value) { FSymbol->Assign(value); }
  void SetUrl(const TFountainColor& value) { FUrl->Assign(value); }

  // From another colour set, with one change notification.
  void Assign(const TPersistent& source) override;

  TFountain* Fountain() const { return FFountain; }

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TFountain* FFountain;
  TOwned<TEditorColor> FAnk, FComment, FDBCS, FHit, FInt, FMail, FSelect, FStr, FSymbol, FUrl;
};

class TEditorBracketCollection : public TFountainBracketCollection {
 public:
  explicit TEditorBracketCollection(TPersistent* owner)
      : TFountainBracketCollection(owner, TCollectionItemClass::Of<TFountainBracketItem>()) {}

  // Each sets one field of every item's colour, with one change notification.
  virtual void SetAllBkColor(TColor value);
  virtual void SetAllColor(TColor value);
  virtual void SetAllStyle(TFontStyles value);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

class TEditorFountain : public TFountain {
 public:
  void AfterConstruction() override;
  ~TEditorFountain() override;

  TEditorColors* Colors() const { return FColors.get(); }
  void SetColors(const TEditorColors& value) { FColors->Assign(value); }
  TEditorBracketCollection* EditorBrackets() const { return static_cast<TEditorBracketCollection*>(Brackets()); }

  // Stored without a change notification: the editor's View notifies for them.
  const std::string& Commenter() const { return FCommenter; }
  void SetCommenter(const std::string& value) { FCommenter = value; }
  bool ControlCode() const { return FControlCode; }
  void SetControlCode(bool value) { FControlCode = value; }
  const std::string& HexPrefix() const { return FHexPrefix; }
  void SetHexPrefix(const std::string& value) { FHexPrefix = value; }
  bool Mail() const { return FMail; }
  void SetMail(bool value) { FMail = value; }
  const std::string& Quotation() const { return FQuotation; }
  void SetQuotation(const std::string& value) { FQuotation = value; }
  bool Url() const { return FUrl; }
  void SetUrl(bool value) { FUrl = value; }

  // Set one field of every colour of Colors but Select and Hit; registered editors
  // hear of it once.
  virtual void SetAllBkColor(TColor value);
  virtual void SetAllColor(TColor value);
  virtual void SetAllStyle(TFontStyles value);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  virtual TOwned<TEditorColors> CreateEditorColors();
  TOwned<TFountainBracketCollection> CreateBrackets() override;
  TFountainParserClass GetParserClass() override;
  // The selection and hit colours are the editor's, not the scheme's.
  void CopyColorProc(TObject* instance, const TPropInfo& property) override;

 private:
  void SetAll(const TFountainColor& source, int mask);

  TOwned<TEditorColors> FColors;
  std::string FCommenter;
  bool FControlCode = false;
  std::string FHexPrefix;
  bool FMail = false;
  std::string FQuotation;
  bool FUrl = false;
};

class TEditorParser : public TFountainParser {
 public:
  explicit TEditorParser(TFountain* fountain);

  TFountainColor* TokenToFountainColor() override;
  TTokenKinds WrappedTokenKinds() const override;

 protected:
  void InitMethodTable() override;
  void ParseProc() override;
  void PrepareSpecialStarts() override;
  virtual bool IsQuotation();
  virtual void QuotationProc();
  virtual bool IsCommenter();
  virtual bool IsHexPrefix();
  virtual bool IsControlCodeHex();
  virtual void ControlCodeHexProc();
  virtual bool IsControlCode();
  virtual void ControlCodeProc();

 private:
  TEditorFountain* FEditorFountain;  // the fountain, when it is the editor's kind
};

}  // namespace plomaret
