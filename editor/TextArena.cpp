#include "TextArena.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace plomaret {

namespace {

// The header and the zero byte of the empty text, which reference 0 names.
constexpr char kEmptyRecord[2] = {0, 0};

uint32_t ReadWord(const char* at) {
  uint32_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

void WriteWord(char* at, uint32_t word) { std::memcpy(at, &word, sizeof word); }

}  // namespace

TTextArena::TTextArena() { FSlots.push_back(kEmptyRecord + 1); }
TTextArena::TTextArena(TTextArena&&) noexcept = default;
TTextArena& TTextArena::operator=(TTextArena&&) noexcept = default;
TTextArena::~TTextArena() = default;

uint32_t TTextArena::LongLength(const char* text) { return ReadWord(text - 1 - sizeof(uint32_t)); }

size_t TTextArena::HeaderSize(size_t length, uint32_t extras) {
  if (extras == 0 && length < kLongHead) return 1;
  return 1 + sizeof(uint32_t) + (extras != 0 ? sizeof(uint32_t) : 0);
}

uint32_t TTextArena::Extras(TTextRef ref) const {
  const char* text = Address(ref);
  const auto head = static_cast<uint8_t>(text[-1]);
  if (head < kLongHead || (head & kHasExtras) == 0) return 0;
  return ReadWord(text - 1 - 2 * sizeof(uint32_t));
}

size_t TTextArena::HeaderSizeOf(const char* text) {
  const auto head = static_cast<uint8_t>(text[-1]);
  if (head < kLongHead) return 1;
  return 1 + sizeof(uint32_t) + ((head & kHasExtras) != 0 ? sizeof(uint32_t) : 0);
}

size_t TTextArena::RecordSize(TTextRef ref) const {
  return HeaderSizeOf(Address(ref)) + View(ref).size() + 1;
}

void TTextArena::Overwrite(TTextRef ref, std::string_view text) {
  if (ref == kEmptyTextRef || !WriteOver(ref, text, true)) throw std::logic_error("TTextArena::Overwrite: no room");
}

bool TTextArena::OverwriteIfRoom(TTextRef ref, std::string_view text) {
  return ref != kEmptyTextRef && !text.empty() && WriteOver(ref, text, false);
}

bool TTextArena::WriteOver(TTextRef ref, std::string_view text, bool withExtras) {
  // The arena's own memory: the reference names a place in one of its chunks.
  char* place = const_cast<char*>(Address(ref));
  const auto head = static_cast<uint8_t>(place[-1]);
  const bool shortHead = head < kLongHead;
  const size_t old = shortHead ? head : LongLength(place);
  if (text.size() > old || (!shortHead && !withExtras && (head & kHasExtras) != 0)) return false;
  std::memmove(place, text.data(), text.size());
  place[text.size()] = '\0';
  if (shortHead) {
    place[-1] = static_cast<char>(text.size());
  } else {
    WriteWord(place - 1 - sizeof(uint32_t), static_cast<uint32_t>(text.size()));
  }
  FGarbage += old - text.size();
  return true;
}

TTextRef TTextArena::Store(std::string_view text, uint32_t extras) {
  if (text.empty() && extras == 0) return kEmptyTextRef;
  if (text.size() > UINT32_MAX - 16) throw std::bad_alloc();
  const size_t header = HeaderSize(text.size(), extras);
  const size_t size = header + text.size() + 1;
  if (size > FLeft) StartChunk(size);
  char* place = FNext + header;
  if (header == 1) {
    place[-1] = static_cast<char>(text.size());
  } else {
    place[-1] = static_cast<char>(kLongHead | (extras != 0 ? kHasExtras : 0));
    WriteWord(place - 1 - sizeof(uint32_t), static_cast<uint32_t>(text.size()));
    if (extras != 0) WriteWord(place - 1 - 2 * sizeof(uint32_t), extras);
  }
  if (!text.empty()) std::memcpy(place, text.data(), text.size());
  place[text.size()] = '\0';
  const TTextRef ref = static_cast<TTextRef>((FChunks.back().FirstSlot << kSlotBits) + FNextOffset + header);
  FNext += size;
  FNextOffset += size;
  FLeft -= size;
  FStored += size;
  return ref;
}

void TTextArena::Release(TTextRef ref) {
  if (ref != kEmptyTextRef) FGarbage += RecordSize(ref);
}

void TTextArena::StartChunk(size_t atLeast) {
  const size_t size = std::max(FNextChunkSize, atLeast);
  const size_t slots = (size + kSlotSize - 1) / kSlotSize;
  if (FSlots.size() + slots > kMaxSlots) throw std::bad_alloc();
  TChunk chunk{TLargeBlock(AllocateLargeBlock(size)), FSlots.size()};
  // Room first, so that nothing below can fail half done.
  if (FChunks.size() == FChunks.capacity()) FChunks.reserve(2 * FChunks.size() + 1);
  if (FSlots.size() + slots > FSlots.capacity()) FSlots.reserve(std::max(2 * FSlots.size(), FSlots.size() + slots));
  for (size_t s = 0; s < slots; ++s) FSlots.push_back(chunk.Memory.get() + s * kSlotSize);
  FChunks.push_back(std::move(chunk));
  FNext = FChunks.back().Memory.get();
  FNextOffset = 0;
  FLeft = size;
  FNextChunkSize = std::min(FNextChunkSize * 2, kSlotSize);
}

void TTextArena::Reserve(size_t bytes) {
  if (bytes > FLeft) StartChunk(bytes);
}

void TTextArena::Reset() {
  FChunks.clear();
  FSlots.assign(1, kEmptyRecord + 1);
  FNext = nullptr;
  FLeft = 0;
  FNextOffset = 0;
  FNextChunkSize = kFirstChunk;
  FStored = 0;
  FGarbage = 0;
}

}  // namespace plomaret
