#include "TextArena.h"

#include <algorithm>
#include <cstring>

namespace plomaret {

const char* TTextArena::Store(std::string_view text) {
  if (text.empty()) return nullptr;
  if (text.size() > FLeft) StartChunk(text.size());
  char* place = FNext;
  std::memcpy(place, text.data(), text.size());
  FNext += text.size();
  FLeft -= text.size();
  FStored += text.size();
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
