#pragma once
// The string list beneath every text store of the editor.
//
// Each item holds its text, a second string and three data words that the list never
// interprets. Items live in one array with a gap at the last edit position, so that
// inserting or deleting rows where the user works moves nothing, and the array is
// still moved in raw blocks. Texts live in an arena; an item is 12 bytes, because a
// document of millions of rows pays every byte millions of times. The second string
// and the first data word are rare, so they live aside, named from the text's header.

#include <cstdint>
#include <string>
#include <string_view>
#include <deque>
#include <vector>

#include "editor/TextArena.h"
#include "framework/core/Events.h"
#include "framework/core/Strings.h"

namespace plomaret {

struct TLineItem {
  TTextRef FText;
  uint32_t FAttribute1;
  uint32_t FAttribute2;
};

// What a fresh item is to hold (see TLineList::PutFresh).
struct TFreshItem {
  std::string_view Text;
  uint32_t Attribute1 = 0;
  uint32_t Attribute2 = 0;
};

class TLineList : public TStrings {
 public:
  ~TLineList() override;

  std::string Get(int index) const override;
  // The item's text without a copy; valid until the list next changes. Its data()
  // is always followed by a zero byte.
  std::string_view ViewAt(int index) const { return FTexts.View(CheckedItem(index).FText); }
  void Put(int index, const std::string& text) override;
  // Put that writes a text no longer than the old one where that stands: views of the
  // item's old text see the new one.
  void PutInPlace(int index, std::string_view text);
  // The item becomes a fresh one holding text and the two words, without a second
  // string or data word; the text is written in place where the old one has room.
  void PutFresh(int index, std::string_view text, uint32_t attribute1, uint32_t attribute2);
  // PutFresh for items first .. first + count - 1 as one change (the thousands of rows
  // after an edit in a long wrapped line): source(i) gives item first + i's TFreshItem.
  template <class Source>
  void PutFreshRun(int first, int count, Source&& source) {
    if (count <= 0) return;
    CheckedItem(first);
    CheckedItem(first + count - 1);
    AnnounceChanging();
    BumpStructureStamp();
    for (int i = 0; i < count; ++i) PutFreshItem(first + i, Item(first + i), source(i));
    AnnounceChange();
    CompactTextsIfWasteful();
  }
  int Count() const override { return FItemCount; }
  int Capacity() const override { return FItemCapacity; }
  void SetCapacity(int capacity) override { SetItemCapacity(capacity); }
  virtual void SetItemCapacity(int capacity);

  int Add(const std::string& text) override;
  void Insert(int index, const std::string& text) override;
  // Add and Insert without making a std::string first (loading millions of rows).
  int AddText(std::string_view text);
  // Room for the rows of a text of this many bytes, split into lines, in one block.
  void ReserveForText(size_t bytes);
  void InsertText(int index, std::string_view text);
  // Every item followed by CR LF, without a copy per item.
  std::string AllText() const override;
  void Delete(int index) override;
  void Exchange(int index1, int index2) override;
  void Clear() override;

  std::string StrData(int index) const;
  // The second string without a copy.
  std::string_view ViewStrData(int index) const;
  void SetStrData(int index, const std::string& text);
  int32_t DataWord(int index) const;
  void SetDataWord(int index, int32_t value);
  // The attribute words are read for every row on every pass: kept inline.
  uint32_t Attribute1(int index) const { return CheckedItem(index).FAttribute1; }
  void SetAttribute1(int index, uint32_t value) {
    TLineItem& item = CheckedItem(index);
    if (Counted(item.FAttribute1) != Counted(value)) CountChanged(index, Counted(value) ? 1 : -1);
    item.FAttribute1 = value;
  }
  uint32_t Attribute2(int index) const { return CheckedItem(index).FAttribute2; }
  void SetAttribute2(int index, uint32_t value) { CheckedItem(index).FAttribute2 = value; }
  // Whether any item has a second string or a data word.
  bool HasExtras() const { return FExtras.size() > FFreeExtras.size(); }

  // Items whose first word, masked, equals value are counted as words change: in all,
  // and before an index through checkpoints every `step` items that a change after
  // them keeps (a derived list's rows continued by a wrap, counted for line numbers).
  void CountItemsWith(uint32_t mask, uint32_t value, int step = 4096);
  int CountedItems() const { return FCounted; }
  // The counted items among the first `index`: a walk from the nearest checkpoint.
  int CountedItemsBefore(int index) const;

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Changes whenever the texts or the order of the items change (and when a
  // derived list says its structure changed): lets readers keep caches.
  uint64_t StructureStamp() const { return FStructureStamp; }

  // The capacity an array of this many items grows to when it is full.
  static int GrownCapacity(int capacity);

 protected:
  void UpdateStateChanged(bool updating) override;
  void BumpStructureStamp() { ++FStructureStamp; }
  virtual void AnnounceChange();
  virtual void AnnounceChanging();

 private:
  int GapLength() const { return FItemCapacity - FItemCount; }
  TLineItem& Item(int index) { return FItemArray[index < FGapStart ? index : index + GapLength()]; }
  const TLineItem& Item(int index) const { return FItemArray[index < FGapStart ? index : index + GapLength()]; }
  TLineItem& CheckedItem(int index) {
    if (index < 0 || index >= FItemCount) IndexError();
    return Item(index);
  }
  const TLineItem& CheckedItem(int index) const {
    if (index < 0 || index >= FItemCount) IndexError();
    return Item(index);
  }
  void PutFreshItem(int index, TLineItem& item, const TFreshItem& fresh);
  bool Counted(uint32_t attribute1) const { return (attribute1 & FCountMask) == FCountValue; }
  // The count changed by delta at index, or items moved there (delta 0): checkpoints
  // past it no longer hold.
  void CountChanged(int index, int delta);
  void MoveGapTo(int index);
  void Reallocate(int capacity);
  void ReleaseItem(TLineItem& item);
  void CompactTextsIfWasteful();
  void FreeAll();
  // The item's extras, or nullptr when it has none.
  struct TLineExtras {
    int32_t Data = 0;
    std::string StrData;
  };
  const TLineExtras* ExtrasOf(const TLineItem& item) const;
  // The item's extras, made when it has none (its text is then stored again with them;
  // views of the old copy stay readable until the next compaction).
  TLineExtras& OwnExtras(TLineItem& item);
  // Gives the extras back when they hold nothing any more.
  void DropExtrasIfEmpty(TLineItem& item);

  TLineItem* FItemArray = nullptr;
  int FItemCount = 0;
  int FItemCapacity = 0;
  int FUpdateDepth = 0;
  uint64_t FStructureStamp = 0;
  int FGapStart = 0;  // items [FGapStart, FGapStart + GapLength()) of the array are free
  TTextArena FTexts;
  // Named by index + 1 in a text's header; a deque, so that views stay valid as it grows.
  std::deque<TLineExtras> FExtras;
  std::vector<uint32_t> FFreeExtras;
  // See CountItemsWith: by default nothing is counted (no word masked to 0 is 1).
  uint32_t FCountMask = 0;
  uint32_t FCountValue = 1;
  int FCountStep = 4096;
  int FCounted = 0;
  // Checkpoint k: the counted items among the first (k + 1) * FCountStep.
  mutable std::vector<int> FCheckpoints;
};

}  // namespace plomaret
