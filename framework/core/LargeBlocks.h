#pragma once
// Memory for the few very large blocks of a big document (its texts, its rows).
//
// Touching 150 MB page by page costs the loading of a 100 MB file a third of its time
// in page faults; a large block asks the system for large pages where it has them.

#include <cstddef>
#include <memory>

namespace plomaret {

// At least `bytes` of uninitialised memory; throws std::bad_alloc.
char* AllocateLargeBlock(size_t bytes);
void FreeLargeBlock(char* block);

struct TLargeBlockFree {
  void operator()(char* block) const { FreeLargeBlock(block); }
};
using TLargeBlock = std::unique_ptr<char, TLargeBlockFree>;

}  // namespace plomaret
