#pragma once
// Append-only storage for many short texts.
//
// A document of millions of rows would otherwise cost one heap block per row. Texts
// are copied into large chunks; a replaced or deleted text only counts as garbage,
// and the owner compacts when garbage outweighs the live text.

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace plomaret {

class TTextArena {
 public:
  // Copies text into the arena followed by a zero byte, so that scanners can run
  // over it as a C string. An empty text is stored as nullptr.
  const char* Store(std::string_view text);
  // A text of this length stored earlier is no longer used.
  void Release(size_t length) {
    if (length > 0) FGarbage += length + 1;
  }
  void Reset();

  size_t LiveBytes() const { return FStored - FGarbage; }
  size_t GarbageBytes() const { return FGarbage; }
  // Reserve room for about this many bytes in one chunk (before a bulk copy).
  void Reserve(size_t bytes);

 private:
  static constexpr size_t kFirstChunk = 1024;
  static constexpr size_t kLargestChunk = 1 << 20;

  void StartChunk(size_t atLeast);

  std::vector<std::unique_ptr<char[]>> FChunks;
  char* FNext = nullptr;
  size_t FLeft = 0;
  size_t FNextChunkSize = kFirstChunk;
  size_t FStored = 0;
  size_t FGarbage = 0;
};

}  // namespace plomaret
