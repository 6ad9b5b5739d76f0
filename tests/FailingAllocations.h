#pragma once
// Out of memory on demand: while a TFailingAllocation lives, the n-th allocation made
// through operator new from then on throws std::bad_alloc (once), as a full memory
// would at that point. Linked only into the test programs that use it.

namespace plomaret::testing {

class TFailingAllocation {
 public:
  // n is 1-based.
  explicit TFailingAllocation(long n);
  ~TFailingAllocation();
  TFailingAllocation(const TFailingAllocation&) = delete;
  TFailingAllocation& operator=(const TFailingAllocation&) = delete;
  // Whether the allocation failed (the work reached it).
  bool Failed() const;
};

}  // namespace plomaret::testing
