// A set of the values of a small enumeration (at most 64 values, ordinals 0 … 63).
//
//   enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
//   TSet<TFontStyle> style{fsBold, fsItalic};
//   style.Contains(fsBold);  // true
//   style.Bits();            // 0b11, the form a set property is read and written in
#pragma once

#include <cstdint>
#include <initializer_list>

namespace kivo {

template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E v : values) Include(v);
  }

  // The set whose members are the ordinals of the 1 bits of `bits`.
  static constexpr TSet FromBits(uint64_t bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr uint64_t Bits() const { return bits_; }

  constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E v) {
    bits_ |= Bit(v);
    return *this;
  }
  constexpr TSet& Exclude(E v) {
    bits_ &= ~Bit(v);
    return *this;
  }

  constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr uint64_t Bit(E v) { return uint64_t{1} << static_cast<unsigned>(v); }

  uint64_t bits_ = 0;  // bit n set: the value of ordinal n is a member
};

}  // namespace kivo
