#include "FailingAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> gCountdown{0};  // 0: no failure armed
std::atomic<bool> gFailed{false};

void* Allocate(std::size_t size) {
  if (gCountdown.load(std::memory_order_relaxed) > 0 && gCountdown.fetch_sub(1) == 1) {
    gFailed = true;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
// Every form that pairs with the deletes below, so that one allocator serves them all.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace plomaret::testing {

TFailingAllocation::TFailingAllocation(long n) {
  gFailed = false;
  gCountdown = n;
}

TFailingAllocation::~TFailingAllocation() { gCountdown = 0; }

bool TFailingAllocation::Failed() const { return gFailed; }

}  // namespace plomaret::testing
