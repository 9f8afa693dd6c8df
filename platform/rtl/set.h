// TSet: a set of up to 64 values of an enumeration, like the platform's sets.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace platform {

/// \brief A set of enumeration values (ordinals 0..63), stored as a bit mask.
template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Items) {
    for (E It : Items) FBits |= Bit(It);
  }
  static constexpr TSet FromBits(std::uint64_t Bits) {
    TSet S;
    S.FBits = Bits;
    return S;
  }

  constexpr bool Contains(E Item) const { return (FBits & Bit(Item)) != 0; }
  constexpr TSet& Include(E Item) {
    FBits |= Bit(Item);
    return *this;
  }
  constexpr TSet& Exclude(E Item) {
    FBits &= ~Bit(Item);
    return *this;
  }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr std::uint64_t Bits() const { return FBits; }

  friend constexpr TSet operator+(TSet A, TSet B) { return FromBits(A.FBits | B.FBits); }
  friend constexpr TSet operator-(TSet A, TSet B) { return FromBits(A.FBits & ~B.FBits); }
  friend constexpr TSet operator*(TSet A, TSet B) { return FromBits(A.FBits & B.FBits); }
  friend constexpr TSet operator+(TSet A, E B) { return A.Include(B); }
  friend constexpr TSet operator-(TSet A, E B) { return A.Exclude(B); }
  TSet& operator+=(TSet B) { return *this = *this + B; }
  TSet& operator-=(TSet B) { return *this = *this - B; }
  TSet& operator+=(E B) { return Include(B); }
  TSet& operator-=(E B) { return Exclude(B); }
  /// True when every member of A is in B.
  friend constexpr bool operator<=(TSet A, TSet B) { return (A.FBits & ~B.FBits) == 0; }
  friend constexpr bool operator==(TSet A, TSet B) = default;

 private:
  static constexpr std::uint64_t Bit(E Item) { return std::uint64_t(1) << static_cast<unsigned>(Item); }
  std::uint64_t FBits = 0;
};

}  // namespace platform
