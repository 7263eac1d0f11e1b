// Format: the format-string language of the run-time library.
//
// `Format` copies its format text to the result and replaces each placeholder by one argument of
// a list of typed values (`TVarRec`). Results never depend on the machine: no global locale is
// consulted; the separators and currency come from a `TFormatSettings`, and the overloads
// without one use a default-constructed `TFormatSettings` ('.' decimals, ',' thousands, "$"
// before the amount, two currency decimals).
//
//   Format("%s has %d items", {"list", 3});      // "list has 3 items"
//   Format("[%-6s][%6.2f]", {"ab", 3.14159});    // "[ab    ][  3.14]"
//   Format("%1:s %0:s %s", {"a", "b"});          // "b a b"
//   Format("%.5d %x %*d", {-12, 255, 4, 7});     // "-00012 FF    7"
//   Format("%e|%g|%n|%m", {1234.5, 1e20, 1e6, -2.5});
//       // "1.23450000000000E+003|1E+20|1,000,000.00|($2.50)"
//
// Placeholder syntax:  "%" [index ":"] ["-"] [width] ["." precision] type
//
//   "%%" is one literal percent sign. index, width and precision are decimal digits or "*"; a "*"
//   takes the next argument, which must be an integer (32- or 64-bit). A "." with neither digits
//   nor "*" after it is precision 0.
//
//   Arguments are taken in order, starting at the first (index 0). An index makes its
//   placeholder take the argument at that index, and the following placeholders continue after
//   it. A "*" takes its argument from the same running position, so "%*d" uses two arguments and
//   "%1:*d" takes the width from argument 1 and the value from argument 2. Arguments left over
//   are not an error.
//
//   width is the minimum length of the text in bytes; it is padded with spaces on the left, or
//   on the right after "-" (a leading 0 is a digit of the width, not a flag). A negative "*"
//   width left-justifies with its magnitude. A negative "*" precision means the type's default
//   precision; a negative "*" index is an error.
//
// Type letters (case-insensitive; hexadecimal digits are always upper case):
//
//   d  decimal integer; precision = minimum digits, zeros after the sign ("%.5d", -12: "-00012");
//      0 always shows at least "0".
//   u  unsigned decimal; a negative 32-bit argument shows as its 32-bit two's complement, a
//      negative 64-bit argument as its 64-bit one ("%u", -1: "4294967295").
//   x  hexadecimal, precision = minimum digits; negative values as for u ("%x", -1: "FFFFFFFF").
//   e  scientific "-d.ddd…E+ddd": precision = significant digits (default 15, 0 counts as 1),
//      exponent always signed, at least three digits ("%.3e", 1234.5: "1.23E+003").
//   f  fixed "-ddd.ddd": precision = digits after the separator (default 2; 0 gives no separator).
//   g  general: precision = significant digits (default 15, 0 counts as 1); trailing zeros and a
//      trailing separator are dropped. With E the decimal exponent of the value rounded to that
//      many digits, the text is fixed when -5 <= E < precision, and scientific otherwise with
//      the exponent signed and as few exponent digits as it needs ("1E+20", "1.5E-7", "1E-6";
//      "0.00001" is still fixed). Zero is "0". No thousand separators.
//   n  as f, with ThousandSeparator between groups of three integer digits ("1,234,567.00").
//   m  money: as n with CurrencyDecimals digits after the separator (a precision overrides it),
//      and CurrencyString placed by CurrencyFormat for values that are not negative and by
//      NegCurrFormat for negative ones. With "$" the currency and "1" the number:
//        CurrencyFormat  0 "$1"  1 "1$"  2 "$ 1"  3 "1 $"
//        NegCurrFormat   0 "($1)"  1 "-$1"  2 "$-1"  3 "$1-"  4 "(1$)"  5 "-1$"  6 "1-$"
//                        7 "1$-"  8 "-1 $"  9 "-$ 1"  10 "1 $-"  11 "$ 1-"  12 "$ -1"
//                        13 "1- $"  14 "($ 1)"  15 "(1 $)"
//      A placement outside these ranges is taken as 0; a negative CurrencyDecimals as 0.
//   p  pointer: upper-case hexadecimal, zero-padded to 2 * sizeof(void*) digits; precision unused.
//   s  string, or a char as a one-character string; precision = maximum bytes taken.
//   c  a char, or an integer 0–255 taken as that byte; precision unused.
//
// e, f, g, n and m accept float and integer arguments. Their digits come from the exact value of
// the argument (the exact binary value of a double, the exact integer of an integer argument),
// rounded to the digits shown with halves rounded away from zero ("%.0f", 2.5: "3"; "%.2f",
// 2.675, stored as 2.67499…: "2.67"; "%.17e", 0.1: "1.0000000000000001E-001"). A value that
// rounds to zero shows no minus sign ("%.2f", -0.001: "0.00"). NaN and the infinities are "NAN",
// "INF" and "-INF" under every float letter (padded to the width, without currency).
//
// Limits: a width or precision above kFormatMaxWidth (1 MiB), from the text or from "*", is an
// error, so no placeholder adds more than about 1 MiB to the result.
//
// Threads: `Format` keeps no state; any number of threads may call it at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace kivo {

// The largest width or precision that a placeholder may ask for.
inline constexpr int64_t kFormatMaxWidth = int64_t{1} << 20;

// The kind of value that a `TVarRec` holds.
enum class TVarKind { kInteger, kInt64, kFloat, kString, kChar, kPointer };

// One argument of `Format`: a typed value, built implicitly from the argument's C++ type.
//
// int, short and the small character types other than char are 32-bit integers (kInteger);
// long long and the unsigned types (whose values may not fit 32 signed bits) are 64-bit integers
// (kInt64), and so is long where it has 64 bits. An unsigned 64-bit value above the signed range
// keeps its value under "%d". float, double and long double are floats (held as double). A
// string is copied, so a `TVarRec` never refers to the caller's text; a null `const char*` is
// the empty string. A pointer is any object pointer, or nullptr. bool is rejected at compile
// time, so that a flag is never formatted as a number by accident.
class TVarRec {
 public:
  // Implicit on purpose: arguments are written as plain values in a braced list.
  TVarRec(int value) : kind_(TVarKind::kInteger), integer_(value) {}
  TVarRec(long value)
      : kind_(sizeof(long) == 4 ? TVarKind::kInteger : TVarKind::kInt64), integer_(value) {}
  TVarRec(long long value) : kind_(TVarKind::kInt64), integer_(value) {}
  TVarRec(unsigned value) : kind_(TVarKind::kInt64), integer_(value), unsigned_(true) {}
  TVarRec(unsigned long value)
      : kind_(TVarKind::kInt64), integer_(static_cast<int64_t>(value)), unsigned_(true) {}
  TVarRec(unsigned long long value)
      : kind_(TVarKind::kInt64), integer_(static_cast<int64_t>(value)), unsigned_(true) {}
  TVarRec(float value) : kind_(TVarKind::kFloat), float_(value) {}
  TVarRec(double value) : kind_(TVarKind::kFloat), float_(value) {}
  TVarRec(long double value) : kind_(TVarKind::kFloat), float_(static_cast<double>(value)) {}
  TVarRec(char value) : kind_(TVarKind::kChar), char_(value) {}
  TVarRec(const char* value) : kind_(TVarKind::kString), string_(value == nullptr ? "" : value) {}
  TVarRec(std::string value) : kind_(TVarKind::kString), string_(std::move(value)) {}
  TVarRec(std::string_view value) : kind_(TVarKind::kString), string_(value) {}
  TVarRec(const void* value) : kind_(TVarKind::kPointer), pointer_(value) {}
  TVarRec(std::nullptr_t) : kind_(TVarKind::kPointer) {}
  TVarRec(bool) = delete;

  // The kind of value held.
  TVarKind Kind() const noexcept { return kind_; }
  // True for an integer kind.
  bool IsInteger() const noexcept {
    return kind_ == TVarKind::kInteger || kind_ == TVarKind::kInt64;
  }
  // The integer, sign-extended from 32 bits for kInteger; 0 for other kinds. For an unsigned
  // source these are the bits of the value (see IsUnsigned).
  int64_t AsInt64() const noexcept { return integer_; }
  // True when the integer came from an unsigned type, so that AsInt64's bits are unsigned.
  bool IsUnsigned() const noexcept { return unsigned_; }
  // The float; 0 for other kinds.
  double AsFloat() const noexcept { return float_; }
  // The string; empty for other kinds. Valid while this TVarRec lives unchanged.
  std::string_view AsString() const noexcept { return string_; }
  // The char; '\0' for other kinds.
  char AsChar() const noexcept { return char_; }
  // The pointer; null for other kinds.
  const void* AsPointer() const noexcept { return pointer_; }

 private:
  TVarKind kind_;
  int64_t integer_ = 0;            // kInteger, kInt64
  bool unsigned_ = false;          // integer_ holds the bits of an unsigned value
  double float_ = 0;               // kFloat
  char char_ = '\0';               // kChar
  const void* pointer_ = nullptr;  // kPointer
  std::string string_;             // kString
};

// Separators and currency used by `Format`. A default-constructed object is what the overloads
// without settings use.
struct TFormatSettings {
  char DecimalSeparator = '.';       // between the integer digits and the decimals (e f g n m)
  char ThousandSeparator = ',';      // between groups of three integer digits (n m)
  std::string CurrencyString = "$";  // the currency of m
  int CurrencyFormat = 0;            // placement for amounts that are not negative, 0–3
  int NegCurrFormat = 0;             // placement for negative amounts, 0–15
  int CurrencyDecimals = 2;          // decimals of m when the placeholder has no precision
};

// The text of `format` with each placeholder replaced by its argument, using default settings.
// Throws: EConvertError "Format '<format>' invalid or incompatible with argument" for a
// malformed placeholder, an unknown type letter, an argument of the wrong kind, a "*" argument
// that is not an integer, a negative "*" index, or a width or precision above kFormatMaxWidth;
// EConvertError "No argument for format '<format>'" when a placeholder or "*" runs out of
// arguments. <format> is the whole format text.
std::string Format(std::string_view format, std::initializer_list<TVarRec> args);
std::string Format(std::string_view format, std::span<const TVarRec> args);
// The same with the separators and currency of `settings`.
std::string Format(std::string_view format, std::initializer_list<TVarRec> args,
                   const TFormatSettings& settings);
std::string Format(std::string_view format, std::span<const TVarRec> args,
                   const TFormatSettings& settings);

}  // namespace kivo
