#include "editor/Fountain.h"

#include "editor/EditorUtils.h"
#include "framework/core/Properties.h"

namespace plomaret {

// ---- TFountainColor ----

void TFountainColor::SetBkColor(TColor value) {
  if (value == FBkColor) return;
  FBkColor = value;
  AnnounceChange();
}

void TFountainColor::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  AnnounceChange();
}

void TFountainColor::SetStyle(TFontStyles value) {
  if (value == FStyle) return;
  FStyle = value;
  AnnounceChange();
}

void TFountainColor::Assign(const TPersistent& source) {
  if (const auto* color = dynamic_cast<const TFountainColor*>(&source)) {
    FBkColor = color->FBkColor;
    FColor = color->FColor;
    FStyle = color->FStyle;
    AnnounceChange();
    return;
  }
  TNotifyPersistent::Assign(source);
}

const TClassInfo& TFountainColor::StaticClassInfo() {
  static const TClassInfo info = TPublished<TFountainColor>("TFountainColor", TNotifyPersistent::StaticClassInfo())
                                     .Property("BkColor", &TFountainColor::BkColor, &TFountainColor::SetBkColor, clNone)
                                     .Property("Color", &TFountainColor::Color, &TFountainColor::SetColor, clNone)
                                     .Property("Style", &TFountainColor::Style, &TFountainColor::SetStyle, TFontStyles{});
  return info;
}

// ---- TFountainColorItem ----

TFountainColorItem::TFountainColorItem(TCollection& collection) : TCollectionItem(collection) {}

void TFountainColorItem::AfterConstruction() {
  TCollectionItem::AfterConstruction();
  FItemColor = Create<TFountainColor>();
  // A colour change of any item is a change of a notifying collection.
  if (auto* notifying = dynamic_cast<TNotifyCollection*>(Collection())) {
    FItemColor->OnChange = TNotifyEvent(notifying, &TNotifyCollection::ForwardChange);
  }
}

void TFountainColorItem::Assign(const TPersistent& source) {
  if (const auto* item = dynamic_cast<const TFountainColorItem*>(&source)) {
    FItemColor->Assign(*item->ItemColor());
    return;
  }
  TCollectionItem::Assign(source);
}

const TClassInfo& TFountainColorItem::StaticClassInfo() {
  static const TClassInfo info =
      TPublished<TFountainColorItem>("TFountainColorItem", TCollectionItem::StaticClassInfo())
          .Property("ItemColor", &TFountainColorItem::ItemColor, &TFountainColorItem::SetItemColor);
  return info;
}

// ---- TFountainBracketItem ----

void TFountainBracketItem::Assign(const TPersistent& source) {
  if (const auto* item = dynamic_cast<const TFountainBracketItem*>(&source)) {
    FLeftBracket = item->FLeftBracket;
    FRightBracket = item->FRightBracket;
  }
  TFountainColorItem::Assign(source);
}

const TClassInfo& TFountainBracketItem::StaticClassInfo() {
  static const TClassInfo info =
      TPublished<TFountainBracketItem>("TFountainBracketItem", TFountainColorItem::StaticClassInfo())
          .Property("LeftBracket", &TFountainBracketItem::LeftBracket, &TFountainBracketItem::SetLeftBracket)
          .Property("RightBracket", &TFountainBracketItem::RightBracket, &TFountainBracketItem::SetRightBracket);
  return info;
}

// ---- TFountainBracketCollection ----

TFountainBracketItem* TFountainBracketCollection::Add() {
  if (Count() >= kMaxItems) {
    throw Exception("TFountainBracketCollection\r\nYou can not add item over " + std::to_string(kMaxItems));
  }
  return static_cast<TFountainBracketItem*>(TNotifyCollection::Add());
}

void TFountainBracketCollection::Assign(const TPersistent& source) {
  const auto* brackets = dynamic_cast<const TFountainBracketCollection*>(&source);
  if (brackets == nullptr) {
    TNotifyCollection::Assign(source);
    return;
  }
  if (brackets == this) return;
  BeginUpdate();
  try {
    Clear();
    for (int i = 0; i < brackets->Count(); ++i) Add()->Assign(*brackets->Items(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

const TClassInfo& TFountainBracketCollection::StaticClassInfo() {
  static const TClassInfo info =
      TPublished<TFountainBracketCollection>("TFountainBracketCollection", TNotifyCollection::StaticClassInfo());
  return info;
}

// ---- TFountain ----

void TFountain::AfterConstruction() {
  TFileExtComponent::AfterConstruction();
  FNotifyEventList = Create<TNotifyEventList>(this);
  FBrackets = CreateBrackets();
  InitBracketItems();
  FReserveWordList = CreateFileExtList();
  InitReserveWordList();
  CreateFountainColors();
}

TFountain::~TFountain() {
  // Nothing may announce into a list that is already gone.
  if (FBrackets) FBrackets->OnChange = TNotifyEvent();
  if (FReserve) FReserve->OnChange = TNotifyEvent();
  FNotifyEventList.reset();
  FBrackets.reset();
  FReserveWordList.reset();
  FReserve.reset();
}

void TFountain::SetReserveWordList(const TStrings& value) {
  FReserveWordList->Assign(value);
  FNotifyEventList->AnnounceChange();
}

TOwned<TFountainColor> TFountain::CreateFountainColor() {
  TOwned<TFountainColor> color = Create<TFountainColor>();
  color->OnChange = TNotifyEvent(FNotifyEventList.get(), &TNotifyEventList::ForwardChange);
  return color;
}

void TFountain::CreateFountainColors() { FReserve = CreateFountainColor(); }

TOwned<TFountainBracketCollection> TFountain::CreateBrackets() {
  TOwned<TFountainBracketCollection> brackets = Create<TFountainBracketCollection>(this);
  brackets->OnChange = TNotifyEvent(FNotifyEventList.get(), &TNotifyEventList::ForwardChange);
  return brackets;
}

TOwned<TFountainParser> TFountain::CreateParser() { return GetParserClass()(this); }

namespace {

TFountainColor* ColorHeldBy(TObject* instance, const TPropInfo& property) {
  if (property.Kind() != tkClass || !property.GetObject) return nullptr;
  return dynamic_cast<TFountainColor*>(property.GetObject(*instance));
}

}  // namespace

bool TFountain::HasItalic(TPersistent* instance) {
  FItalicFound = false;
  WalkProperties(
      instance, tkProperties,
      [](void* data, TObject* object, const TPropInfo& property, const TTypeInfo&) {
        static_cast<TFountain*>(data)->HasItalicProc(object, property);
      },
      this);
  return FItalicFound;
}

void TFountain::HasItalicProc(TObject* instance, const TPropInfo& property) {
  if (TFountainColor* color = ColorHeldBy(instance, property)) {
    if (color->Style().Contains(fsItalic)) FItalicFound = true;
  }
}

void TFountain::CopyColors(TPersistent* instance, const TFountainColor& source, int mask) {
  FCopySource = &source;
  FCopyMask = mask;
  WalkProperties(
      instance, tkProperties,
      [](void* data, TObject* object, const TPropInfo& property, const TTypeInfo&) {
        static_cast<TFountain*>(data)->CopyColorProc(object, property);
      },
      this);
  FCopySource = nullptr;
}

void TFountain::CopyColorProc(TObject* instance, const TPropInfo& property) {
  TFountainColor* color = ColorHeldBy(instance, property);
  if (color == nullptr || FCopySource == nullptr || color == FCopySource) return;
  if (FCopyMask & 1) color->SetBkColor(FCopySource->BkColor());
  if (FCopyMask & 2) color->SetColor(FCopySource->Color());
  if (FCopyMask & 4) color->SetStyle(FCopySource->Style());
}

const TClassInfo& TFountain::StaticClassInfo() {
  static const TClassInfo info = TPublished<TFountain>("TFountain", TFileExtComponent::StaticClassInfo())
                                     .Property("Brackets", &TFountain::Brackets, &TFountain::SetBrackets)
                                     .Property("Reserve", &TFountain::Reserve, &TFountain::SetReserve)
                                     .Property("ReserveWordList", &TFountain::ReserveWordList, &TFountain::SetReserveWordList);
  return info;
}

}  // namespace plomaret
