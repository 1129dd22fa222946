// A small set over an enumeration with at most 64 values, kept as a bit mask
// (bit i = value i), as published set properties are read and written.
#pragma once

#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Values) {
    for (E V : Values) Include(V);
  }
  constexpr explicit TSet(int64_t Mask) : Mask_(static_cast<uint64_t>(Mask)) {}

  constexpr bool Contains(E V) const { return (Mask_ >> static_cast<unsigned>(V)) & 1u; }
  constexpr TSet& Include(E V) {
    Mask_ |= uint64_t(1) << static_cast<unsigned>(V);
    return *this;
  }
  constexpr TSet& Exclude(E V) {
    Mask_ &= ~(uint64_t(1) << static_cast<unsigned>(V));
    return *this;
  }
  constexpr bool Empty() const { return Mask_ == 0; }
  constexpr int64_t Mask() const { return static_cast<int64_t>(Mask_); }
  constexpr explicit operator int64_t() const { return Mask(); }
  constexpr TSet operator+(TSet O) const { return TSet(static_cast<int64_t>(Mask_ | O.Mask_)); }
  constexpr TSet operator-(TSet O) const { return TSet(static_cast<int64_t>(Mask_ & ~O.Mask_)); }
  constexpr TSet operator*(TSet O) const { return TSet(static_cast<int64_t>(Mask_ & O.Mask_)); }
  constexpr bool operator==(const TSet&) const = default;

private:
  uint64_t Mask_ = 0;
};
