#pragma once
// Storage for many short texts, each named by a 32-bit reference.
//
// A document of millions of rows would otherwise cost a heap block and a pointer per
// row. Texts are copied into large chunks, each with its length in a header just
// before it (one byte for the short texts most rows have); a replaced or deleted text
// only counts as garbage, and the owner compacts when garbage outweighs the live text.
// A text may carry a small number beside it (its owner's extras), kept in its header.
//
// A reference is an offset in an address space of 1 MiB slots: a table maps each slot
// to the memory it stands for, so a chunk larger than a slot takes several slots.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "framework/core/LargeBlocks.h"

namespace plomaret {

using TTextRef = uint32_t;
// The empty text without extras; it takes no storage.
inline constexpr TTextRef kEmptyTextRef = 0;

class TTextArena {
 public:
  TTextArena();
  TTextArena(TTextArena&&) noexcept;
  TTextArena& operator=(TTextArena&&) noexcept;
  ~TTextArena();

  // Copies text into the arena followed by a zero byte, so that scanners can run over
  // it as a C string. extras (0: none) is kept with it. Throws std::bad_alloc when
  // the address space is used up.
  TTextRef Store(std::string_view text, uint32_t extras = 0);

  std::string_view View(TTextRef ref) const {
    const char* text = Address(ref);
    const auto head = static_cast<uint8_t>(text[-1]);
    if (head < kLongHead) return std::string_view(text, head);
    return std::string_view(text, LongLength(text));
  }
  // The number stored with the text, 0 when none.
  uint32_t Extras(TTextRef ref) const;

  // Puts a text no longer than the stored one where that stands (its header keeps its
  // form); the bytes it no longer needs count as garbage.
  void Overwrite(TTextRef ref, std::string_view text);
  // Overwrite where the stored text has no extras and room for a text that is not
  // empty; false, with nothing written, otherwise.
  bool OverwriteIfRoom(TTextRef ref, std::string_view text);
  // The text is no longer used.
  void Release(TTextRef ref);
  void Reset();

  size_t LiveBytes() const { return FStored - FGarbage; }
  size_t GarbageBytes() const { return FGarbage; }
  // Whether most of the address space is taken (the owner should compact).
  bool NearlyFull() const { return FSlots.size() > kMaxSlots - kMaxSlots / 4; }
  // Reserve room for about this many bytes of texts and headers in one chunk (before
  // a bulk copy).
  void Reserve(size_t bytes);

 private:
  static constexpr unsigned kSlotBits = 20;
  static constexpr size_t kSlotSize = size_t{1} << kSlotBits;
  static constexpr uint32_t kSlotMask = kSlotSize - 1;
  static constexpr size_t kMaxSlots = size_t{1} << (32 - kSlotBits);
  static constexpr size_t kFirstChunk = 1024;
  // A header byte below this is the whole header: the text's length.
  static constexpr uint8_t kLongHead = 0x80;
  static constexpr uint8_t kHasExtras = 0x01;

  const char* Address(TTextRef ref) const { return FSlots[ref >> kSlotBits] + (ref & kSlotMask); }
  static uint32_t LongLength(const char* text);
  static size_t HeaderSize(size_t length, uint32_t extras);
  // The header's size, told by its last byte.
  static size_t HeaderSizeOf(const char* text);
  size_t RecordSize(TTextRef ref) const;
  // Overwrite's work, refused (false) where the text has no room, or has extras and
  // withExtras is false.
  bool WriteOver(TTextRef ref, std::string_view text, bool withExtras);
  void StartChunk(size_t atLeast);

  struct TChunk {
    TLargeBlock Memory;
    size_t FirstSlot;
  };
  std::vector<TChunk> FChunks;
  std::vector<const char*> FSlots;  // slot 0 holds the empty text
  char* FNext = nullptr;
  size_t FLeft = 0;
  size_t FNextOffset = 0;  // offset of FNext in the current chunk
  size_t FNextChunkSize = kFirstChunk;
  size_t FStored = 0;
  size_t FGarbage = 0;
};

}  // namespace plomaret
