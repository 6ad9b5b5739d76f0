#include "LineList.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace plomaret {

static_assert(std::is_trivially_copyable_v<TLineItem>, "items are moved as raw blocks");
static_assert(sizeof(TLineItem) == 32, "a document holds millions of items");

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

TLineItem& TLineList::CheckedItem(int index) {
  if (index < 0 || index >= FItemCount) IndexError();
  return Item(index);
}

const TLineItem& TLineList::CheckedItem(int index) const {
  if (index < 0 || index >= FItemCount) IndexError();
  return Item(index);
}

std::string TLineList::Get(int index) const { return std::string(ViewAt(index)); }

std::string_view TLineList::ViewAt(int index) const {
  const TLineItem& item = CheckedItem(index);
  return item.FString == nullptr ? std::string_view("") : std::string_view(item.FString, item.FStringLength);
}

void TLineList::Put(int index, const std::string& text) {
  TLineItem& item = CheckedItem(index);
  AnnounceChanging();
  BumpStructureStamp();
  const char* stored = FTexts.Store(text);
  FTexts.Release(item.FStringLength);
  item.FString = stored;
  item.FStringLength = static_cast<uint32_t>(text.size());
  AnnounceChange();
  CompactTextsIfWasteful();
}

void TLineList::SetItemCapacity(int capacity) {
  if (capacity < FItemCount) throw EStringListError("List capacity out of bounds");
  if (capacity != FItemCapacity) Reallocate(capacity);
}

void TLineList::Reallocate(int capacity) {
  if (capacity == 0) {
    std::free(FItemArray);
    FItemArray = nullptr;
    FItemCapacity = 0;
    FGapStart = 0;
    return;
  }
  auto* array = static_cast<TLineItem*>(std::malloc(sizeof(TLineItem) * static_cast<size_t>(capacity)));
  if (array == nullptr) throw std::bad_alloc();
  const int after = FItemCount - FGapStart;
  if (FGapStart > 0) std::memcpy(array, FItemArray, sizeof(TLineItem) * static_cast<size_t>(FGapStart));
  if (after > 0) {
    std::memcpy(array + (capacity - after), FItemArray + (FItemCapacity - after), sizeof(TLineItem) * static_cast<size_t>(after));
  }
  std::free(FItemArray);
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
  const char* stored = FTexts.Store(text);
  FItemArray[FGapStart] = TLineItem{stored, nullptr, static_cast<uint32_t>(text.size()), 0, 0, 0};
  ++FGapStart;
  ++FItemCount;
  BumpStructureStamp();
  AnnounceChange();
}

void TLineList::ReleaseItem(TLineItem& item) {
  FTexts.Release(item.FStringLength);
  delete item.FStrData;
  item.FStrData = nullptr;
}

void TLineList::Delete(int index) {
  if (index < 0 || index >= FItemCount) IndexError();
  AnnounceChanging();
  MoveGapTo(index);
  ReleaseItem(FItemArray[index + GapLength()]);
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
  for (int i = 0; i < FItemCount; ++i) size += Item(i).FStringLength + 2;
  std::string text;
  text.reserve(size);
  for (int i = 0; i < FItemCount; ++i) {
    const TLineItem& item = Item(i);
    if (item.FString != nullptr) text.append(item.FString, item.FStringLength);
    text += "\r\n";
  }
  return text;
}

void TLineList::SwapItems(TLineList& other) {
  AnnounceChanging();
  std::swap(FItemArray, other.FItemArray);
  std::swap(FItemCount, other.FItemCount);
  std::swap(FItemCapacity, other.FItemCapacity);
  std::swap(FGapStart, other.FGapStart);
  std::swap(FTexts, other.FTexts);
  BumpStructureStamp();
  other.BumpStructureStamp();
  AnnounceChange();
}

void TLineList::FreeAll() {
  for (int i = 0; i < FItemCount; ++i) delete Item(i).FStrData;
  FItemCount = 0;
  Reallocate(0);
  FTexts.Reset();
}

void TLineList::CompactTextsIfWasteful() {
  const size_t garbage = FTexts.GarbageBytes();
  if (garbage < kMinGarbageToCompact || garbage < FTexts.LiveBytes()) return;
  TTextArena fresh;
  fresh.Reserve(FTexts.LiveBytes());
  for (int i = 0; i < FItemCount; ++i) {
    TLineItem& item = Item(i);
    item.FString = fresh.Store(std::string_view(item.FString == nullptr ? "" : item.FString, item.FStringLength));
  }
  FTexts = std::move(fresh);
}

std::string TLineList::StrData(int index) const {
  const TLineItem& item = CheckedItem(index);
  return item.FStrData == nullptr ? std::string() : *item.FStrData;
}

std::string_view TLineList::ViewStrData(int index) const {
  const TLineItem& item = CheckedItem(index);
  return item.FStrData == nullptr ? std::string_view() : std::string_view(*item.FStrData);
}

void TLineList::SetStrData(int index, const std::string& text) {
  TLineItem& item = CheckedItem(index);
  if (text.empty()) {
    delete item.FStrData;
    item.FStrData = nullptr;
  } else if (item.FStrData == nullptr) {
    item.FStrData = new std::string(text);
  } else {
    *item.FStrData = text;
  }
}

int32_t TLineList::DataWord(int index) const { return CheckedItem(index).FData; }
void TLineList::SetDataWord(int index, int32_t value) { CheckedItem(index).FData = value; }
uint32_t TLineList::Attribute1(int index) const { return CheckedItem(index).FAttribute1; }
void TLineList::SetAttribute1(int index, uint32_t value) { CheckedItem(index).FAttribute1 = value; }
uint32_t TLineList::Attribute2(int index) const { return CheckedItem(index).FAttribute2; }
void TLineList::SetAttribute2(int index, uint32_t value) { CheckedItem(index).FAttribute2 = value; }

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
