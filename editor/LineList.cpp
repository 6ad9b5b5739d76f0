#include "LineList.h"

#include "framework/core/LargeBlocks.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace plomaret {

static_assert(std::is_trivially_copyable_v<TLineItem>, "items are moved as raw blocks");
static_assert(sizeof(TLineItem) == 12, "a document holds millions of items");

namespace {

// Compaction copies every live text, so it waits until at least as much is wasted.
constexpr size_t kMinGarbageToCompact = 64 * 1024;

}  // namespace

TLineList::~TLineList() {
  // Destroying a list raises no events.
  OnChange = TNotifyEvent();
  OnChanging = TNotifyEvent();
  FreeAll();
}

int TLineList::GrownCapacity(int capacity) {
  int step = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
  return capacity > INT_MAX - step ? INT_MAX : capacity + step;
}

std::string TLineList::Get(int index) const { return std::string(ViewAt(index)); }


void TLineList::Put(int index, const std::string& text) {
  TLineItem& item = CheckedItem(index);
  AnnounceChanging();
  BumpStructureStamp();
  const TTextRef stored = FTexts.Store(text, FTexts.Extras(item.FText));
  FTexts.Release(item.FText);
  item.FText = stored;
  AnnounceChange();
  CompactTextsIfWasteful();
}

void TLineList::PutInPlace(int index, std::string_view text) {
  TLineItem& item = CheckedItem(index);
  if (text.size() > FTexts.View(item.FText).size() || (text.empty() && FTexts.Extras(item.FText) == 0)) {
    Put(index, std::string(text));
    return;
  }
  AnnounceChanging();
  BumpStructureStamp();
  FTexts.Overwrite(item.FText, text);
  AnnounceChange();
  CompactTextsIfWasteful();
}

void TLineList::PutFresh(int index, std::string_view text, uint32_t attribute1, uint32_t attribute2) {
  TLineItem& item = CheckedItem(index);
  AnnounceChanging();
  BumpStructureStamp();
  PutFreshItem(index, item, {text, attribute1, attribute2});
  AnnounceChange();
  CompactTextsIfWasteful();
}

void TLineList::PutFreshItem(int index, TLineItem& item, const TFreshItem& fresh) {
  if (!FTexts.OverwriteIfRoom(item.FText, fresh.Text)) {
    const TTextRef stored = FTexts.Store(fresh.Text);
    ReleaseItem(item);
    item.FText = stored;
  }
  if (Counted(item.FAttribute1) != Counted(fresh.Attribute1)) CountChanged(index, Counted(fresh.Attribute1) ? 1 : -1);
  item.FAttribute1 = fresh.Attribute1;
  item.FAttribute2 = fresh.Attribute2;
}

void TLineList::SetItemCapacity(int capacity) {
  if (capacity < FItemCount) throw EStringListError("List capacity out of bounds");
  if (capacity != FItemCapacity) Reallocate(capacity);
}

void TLineList::Reallocate(int capacity) {
  if (capacity == 0) {
    FreeLargeBlock(reinterpret_cast<char*>(FItemArray));
    FItemArray = nullptr;
    FItemCapacity = 0;
    FGapStart = 0;
    return;
  }
  auto* array = reinterpret_cast<TLineItem*>(AllocateLargeBlock(sizeof(TLineItem) * static_cast<size_t>(capacity)));
  const int after = FItemCount - FGapStart;
  if (FGapStart > 0) std::memcpy(array, FItemArray, sizeof(TLineItem) * static_cast<size_t>(FGapStart));
  if (after > 0) {
    std::memcpy(array + (capacity - after), FItemArray + (FItemCapacity - after), sizeof(TLineItem) * static_cast<size_t>(after));
  }
  FreeLargeBlock(reinterpret_cast<char*>(FItemArray));
  FItemArray = array;
  FItemCapacity = capacity;
}

void TLineList::MoveGapTo(int index) {
  const int gap = GapLength();
  if (gap == 0 || index == FGapStart) {
    FGapStart = index;
    return;
  }
  if (index < FGapStart) {
    std::memmove(FItemArray + index + gap, FItemArray + index, sizeof(TLineItem) * static_cast<size_t>(FGapStart - index));
  } else {
    std::memmove(FItemArray + FGapStart, FItemArray + FGapStart + gap, sizeof(TLineItem) * static_cast<size_t>(index - FGapStart));
  }
  FGapStart = index;
}

int TLineList::Add(const std::string& text) { return AddText(text); }

int TLineList::AddText(std::string_view text) {
  int index = FItemCount;
  InsertText(index, text);
  return index;
}

void TLineList::ReserveForText(size_t bytes) {
  // A row takes its bytes, a zero byte and a header of one byte (five from 128 bytes
  // on), while every line but the last gave up at least one byte of line end.
  FTexts.Reserve(bytes + bytes / 32 + 16);
}

void TLineList::Insert(int index, const std::string& text) { InsertText(index, text); }

void TLineList::InsertText(int index, std::string_view text) {
  if (index < 0 || index > FItemCount) IndexError();
  AnnounceChanging();
  if (FItemCount == FItemCapacity) {
    if (FItemCount == INT_MAX) throw std::bad_alloc();
    MoveGapTo(index);  // no gap yet: only sets where the new one opens
    Reallocate(GrownCapacity(FItemCapacity));
  } else {
    MoveGapTo(index);
  }
  const TTextRef stored = FTexts.Store(text);
  FItemArray[FGapStart] = TLineItem{stored, 0, 0};
  ++FGapStart;
  ++FItemCount;
  CountChanged(index, Counted(0) ? 1 : 0);
  BumpStructureStamp();
  AnnounceChange();
}

void TLineList::ReleaseItem(TLineItem& item) {
  if (const uint32_t extras = FTexts.Extras(item.FText); extras != 0) {
    FExtras[extras - 1] = TLineExtras();
    FFreeExtras.push_back(extras);
  }
  FTexts.Release(item.FText);
  item.FText = kEmptyTextRef;
}

void TLineList::Delete(int index) {
  if (index < 0 || index >= FItemCount) IndexError();
  AnnounceChanging();
  MoveGapTo(index);
  TLineItem& item = FItemArray[index + GapLength()];
  CountChanged(index, Counted(item.FAttribute1) ? -1 : 0);
  ReleaseItem(item);
  --FItemCount;  // the gap now takes in the released slot
  BumpStructureStamp();
  AnnounceChange();
  CompactTextsIfWasteful();
}

void TLineList::Exchange(int index1, int index2) {
  TLineItem& first = CheckedItem(index1);
  TLineItem& second = CheckedItem(index2);
  AnnounceChanging();
  std::swap(first, second);
  CountChanged(std::min(index1, index2), 0);
  BumpStructureStamp();
  AnnounceChange();
}

void TLineList::Clear() {
  if (FItemCount == 0) return;
  AnnounceChanging();
  FreeAll();
  BumpStructureStamp();
  AnnounceChange();
}

std::string TLineList::AllText() const {
  size_t size = 0;
  for (int i = 0; i < FItemCount; ++i) size += FTexts.View(Item(i).FText).size() + 2;
  std::string text;
  text.reserve(size);
  for (int i = 0; i < FItemCount; ++i) {
    text += FTexts.View(Item(i).FText);
    text += "\r\n";
  }
  return text;
}

void TLineList::FreeAll() {
  FItemCount = 0;
  Reallocate(0);
  FTexts.Reset();
  FExtras.clear();
  FFreeExtras.clear();
  FCounted = 0;
  FCheckpoints.clear();
}

void TLineList::CountItemsWith(uint32_t mask, uint32_t value, int step) {
  FCountMask = mask;
  FCountValue = value;
  FCountStep = std::max(1, step);
  FCheckpoints.clear();
  FCounted = 0;
  for (int i = 0; i < FItemCount; ++i) FCounted += Counted(Item(i).FAttribute1) ? 1 : 0;
}

void TLineList::CountChanged(int index, int delta) {
  FCounted += delta;
  // Checkpoint k covers the items before (k + 1) * step: it holds while index is not among them.
  while (!FCheckpoints.empty() && static_cast<int64_t>(FCheckpoints.size()) * FCountStep > index) FCheckpoints.pop_back();
}

int TLineList::CountedItemsBefore(int index) const {
  index = std::clamp(index, 0, FItemCount);
  const size_t known = std::min(FCheckpoints.size(), static_cast<size_t>(index / FCountStep));
  int at = static_cast<int>(known) * FCountStep;
  int counted = known > 0 ? FCheckpoints[known - 1] : 0;
  while (at < index) {
    counted += Counted(Item(at).FAttribute1) ? 1 : 0;
    ++at;
    if (at % FCountStep == 0 && FCheckpoints.size() == static_cast<size_t>(at / FCountStep - 1)) {
      FCheckpoints.push_back(counted);
    }
  }
  return counted;
}

void TLineList::CompactTextsIfWasteful() {
  const size_t garbage = FTexts.GarbageBytes();
  const bool wasteful = garbage >= kMinGarbageToCompact && garbage >= FTexts.LiveBytes();
  if (!wasteful && !(FTexts.NearlyFull() && garbage > 0)) return;
  TTextArena fresh;
  fresh.Reserve(FTexts.LiveBytes());
  for (int i = 0; i < FItemCount; ++i) {
    TLineItem& item = Item(i);
    item.FText = fresh.Store(FTexts.View(item.FText), FTexts.Extras(item.FText));
  }
  FTexts = std::move(fresh);
}

const TLineList::TLineExtras* TLineList::ExtrasOf(const TLineItem& item) const {
  if (!HasExtras()) return nullptr;  // the usual case, without reading the text's header
  const uint32_t extras = FTexts.Extras(item.FText);
  return extras == 0 ? nullptr : &FExtras[extras - 1];
}

TLineList::TLineExtras& TLineList::OwnExtras(TLineItem& item) {
  if (const uint32_t extras = FTexts.Extras(item.FText); extras != 0) return FExtras[extras - 1];
  if (FFreeExtras.empty()) {
    if (FExtras.size() >= UINT32_MAX - 1) throw std::bad_alloc();
    FExtras.emplace_back();
    FFreeExtras.push_back(static_cast<uint32_t>(FExtras.size()));
  }
  const uint32_t extras = FFreeExtras.back();
  const TTextRef stored = FTexts.Store(FTexts.View(item.FText), extras);
  FFreeExtras.pop_back();
  FTexts.Release(item.FText);
  item.FText = stored;
  return FExtras[extras - 1];
}

void TLineList::DropExtrasIfEmpty(TLineItem& item) {
  const uint32_t extras = FTexts.Extras(item.FText);
  if (extras == 0 || FExtras[extras - 1].Data != 0 || !FExtras[extras - 1].StrData.empty()) return;
  const TTextRef stored = FTexts.Store(FTexts.View(item.FText));
  FTexts.Release(item.FText);
  item.FText = stored;
  FFreeExtras.push_back(extras);
}

std::string TLineList::StrData(int index) const { return std::string(ViewStrData(index)); }

std::string_view TLineList::ViewStrData(int index) const {
  const TLineExtras* extras = ExtrasOf(CheckedItem(index));
  return extras == nullptr ? std::string_view() : std::string_view(extras->StrData);
}

void TLineList::SetStrData(int index, const std::string& text) {
  TLineItem& item = CheckedItem(index);
  if (text.empty() && ExtrasOf(item) == nullptr) return;
  OwnExtras(item).StrData = text;
  DropExtrasIfEmpty(item);
}

int32_t TLineList::DataWord(int index) const {
  const TLineExtras* extras = ExtrasOf(CheckedItem(index));
  return extras == nullptr ? 0 : extras->Data;
}

void TLineList::SetDataWord(int index, int32_t value) {
  TLineItem& item = CheckedItem(index);
  if (value == 0 && ExtrasOf(item) == nullptr) return;
  OwnExtras(item).Data = value;
  DropExtrasIfEmpty(item);
}


void TLineList::UpdateStateChanged(bool updating) {
  if (updating) {
    AnnounceChanging();
    ++FUpdateDepth;
  } else {
    --FUpdateDepth;
    AnnounceChange();
  }
}

void TLineList::AnnounceChange() {
  if (FUpdateDepth == 0) OnChange(this);
}

void TLineList::AnnounceChanging() {
  if (FUpdateDepth == 0) OnChanging(this);
}

}  // namespace plomaret
