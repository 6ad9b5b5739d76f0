#include "TextArena.h"

#include <algorithm>
#include <cstring>

namespace plomaret {

const char* TTextArena::Store(std::string_view text) {
  if (text.empty()) return nullptr;
  const size_t size = text.size() + 1;
  if (size > FLeft) StartChunk(size);
  char* place = FNext;
  std::memcpy(place, text.data(), text.size());
  place[text.size()] = '\0';
  FNext += size;
  FLeft -= size;
  FStored += size;
  return place;
}

void TTextArena::StartChunk(size_t atLeast) {
  size_t size = std::max(FNextChunkSize, atLeast);
  FChunks.emplace_back(new char[size]);
  FNext = FChunks.back().get();
  FLeft = size;
  FNextChunkSize = std::min(FNextChunkSize * 2, kLargestChunk);
}

void TTextArena::Reserve(size_t bytes) {
  if (bytes > FLeft) StartChunk(bytes);
}

void TTextArena::Reset() {
  FChunks.clear();
  FNext = nullptr;
  FLeft = 0;
  FNextChunkSize = kFirstChunk;
  FStored = 0;
  FGarbage = 0;
}

}  // namespace plomaret
