#pragma once
// Small sets of enumeration values, kept as a bit mask (bit n = value n).
// A value's bit position is its ordinal, so masks can be stored and compared
// as plain numbers.

#include <cstdint>
#include <initializer_list>

namespace plomaret {

template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E value : values) Include(value);
  }

  static constexpr TSet FromMask(uint64_t mask) {
    TSet set;
    set.FMask = mask;
    return set;
  }
  constexpr uint64_t Mask() const { return FMask; }

  constexpr bool Contains(E value) const { return (FMask & Bit(value)) != 0; }
  constexpr bool Empty() const { return FMask == 0; }
  constexpr TSet& Include(E value) {
    FMask |= Bit(value);
    return *this;
  }
  constexpr TSet& Exclude(E value) {
    FMask &= ~Bit(value);
    return *this;
  }

  friend constexpr bool operator==(TSet a, TSet b) { return a.FMask == b.FMask; }
  friend constexpr TSet operator+(TSet a, TSet b) { return FromMask(a.FMask | b.FMask); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromMask(a.FMask & ~b.FMask); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromMask(a.FMask & b.FMask); }

 private:
  static constexpr uint64_t Bit(E value) {
    const auto ordinal = static_cast<uint64_t>(value);
    return ordinal < 64 ? uint64_t{1} << ordinal : 0;
  }

  uint64_t FMask = 0;
};

}  // namespace plomaret
