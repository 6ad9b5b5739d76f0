#include "LargeBlocks.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace plomaret {

namespace {

// The large page size of x86-64 and ARM64 Linux; blocks below it gain nothing.
constexpr size_t kLargePage = size_t{2} << 20;

}  // namespace

char* AllocateLargeBlock(size_t bytes) {
  if (bytes < kLargePage) {
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<char*>(block);
  }
  const size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
  if (rounded < bytes) throw std::bad_alloc();
  void* block = std::aligned_alloc(kLargePage, rounded);
  if (block == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  ::madvise(block, rounded, MADV_HUGEPAGE);  // a hint: without large pages all still works
#endif
  return static_cast<char*>(block);
}

void FreeLargeBlock(char* block) { std::free(block); }

}  // namespace plomaret
