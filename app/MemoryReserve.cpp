#include "app/MemoryReserve.h"

#include <cstdlib>
#include <new>

namespace plomaret {

namespace {

constexpr size_t kReserveSize = 256 * 1024;
void* gReserve = nullptr;

void ReleaseReserve() {
  if (gReserve == nullptr) throw std::bad_alloc();
  std::free(gReserve);
  gReserve = nullptr;
}

}  // namespace

bool ReserveMemoryForFailures() {
  if (gReserve == nullptr) gReserve = std::malloc(kReserveSize);
  if (gReserve == nullptr) return false;
  std::set_new_handler(ReleaseReserve);
  return true;
}

}  // namespace plomaret
