#include "kivo/rtl/Format.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <system_error>

#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

// Digits read from the format text stop growing here; anything this large is beyond every limit.
constexpr int64_t kSaturated = int64_t{1} << 40;

// More digits than the exact decimal expansion of any double has (at most 767 significant).
constexpr int kExactDigits = 780;

constexpr std::string_view kTypeLetters = "duxefgnmpsc";

// Currency placements; "$" stands for the currency string, "1" for the number.
constexpr const char* kPositiveCurrency[] = {"$1", "1$", "$ 1", "1 $"};
constexpr const char* kNegativeCurrency[] = {"($1)", "-$1",  "$-1",   "$1-",  "(1$)", "-1$",
                                             "1-$",  "1$-",  "-1 $",  "-$ 1", "1 $-", "$ 1-",
                                             "$ -1", "1- $", "($ 1)", "(1 $)"};

// A number as decimal digits: digits[k] has the place value 10^(exponent - k).
//
// Invariant (after Normalise): `digits` has no leading or trailing zeros; zero is the empty
// digit string with exponent 0 and no sign.
struct Decimal {
  bool negative = false;
  std::string digits;
  int64_t exponent = 0;

  // The digit of the k-th place counted from the first digit, '0' outside the digit string.
  char DigitAt(int64_t k) const {
    return k >= 0 && k < static_cast<int64_t>(digits.size()) ? digits[static_cast<size_t>(k)] : '0';
  }

  void Normalise() {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (digits.empty()) {
      exponent = 0;
      negative = false;
    }
  }

  // Keeps the first `keep` digits (none when `keep` <= 0), rounding halves away from zero.
  void Round(int64_t keep) {
    if (keep >= static_cast<int64_t>(digits.size())) return;
    const bool up = keep >= 0 && digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(std::max<int64_t>(keep, 0)));
    if (up) {
      size_t end = digits.size();
      while (end > 0 && digits[end - 1] == '9') --end;
      if (end == 0) {
        digits = "1";
        ++exponent;
      } else {
        ++digits[end - 1];
        digits.resize(end);
      }
    }
    Normalise();
  }
};

Decimal DecimalFromInteger(uint64_t magnitude, bool negative) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
  assert(result.ec == std::errc());
  Decimal d;
  d.negative = negative;
  d.digits.assign(buffer, result.ptr);
  d.exponent = static_cast<int64_t>(d.digits.size()) - 1;
  d.Normalise();
  return d;
}

// The exact decimal value of a finite double.
Decimal DecimalFromDouble(double value) {
  Decimal d;
  d.negative = std::signbit(value);
  value = std::fabs(value);
  if (value == 0) {
    d.Normalise();
    return d;
  }
  char buffer[kExactDigits + 16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, kExactDigits);
  assert(result.ec == std::errc());
  const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  assert(e != std::string_view::npos && e >= 1);
  d.digits.push_back(text[0]);
  if (e > 2) d.digits.append(text.substr(2, e - 2));
  std::string_view exponent_text = text.substr(e + 1);
  if (!exponent_text.empty() && exponent_text[0] == '+') exponent_text.remove_prefix(1);
  int exponent = 0;
  std::from_chars(exponent_text.data(), exponent_text.data() + exponent_text.size(), exponent);
  d.exponent = exponent;
  d.Normalise();
  return d;
}

// "E+003" style exponent with at least `min_digits` digits.
std::string ExponentText(int64_t exponent, int min_digits) {
  std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(digits.size()) < min_digits) {
    digits.insert(0, static_cast<size_t>(min_digits) - digits.size(), '0');
  }
  return std::string("E") + (exponent < 0 ? '-' : '+') + digits;
}

// The unsigned fixed-point text of an already rounded `d` with `decimals` places after the
// separator; groups of three integer digits are separated when `grouping`.
std::string FixedText(const Decimal& d, int64_t decimals, const TFormatSettings& settings,
                      bool grouping) {
  std::string out;
  const int64_t int_digits = d.exponent >= 0 ? d.exponent + 1 : 1;
  out.reserve(static_cast<size_t>(int_digits + int_digits / 3 + decimals + 1));
  if (d.exponent < 0) {
    out += '0';
  } else {
    for (int64_t k = 0; k < int_digits; ++k) {
      if (grouping && k > 0 && (int_digits - k) % 3 == 0) out += settings.ThousandSeparator;
      out += d.DigitAt(k);
    }
  }
  if (decimals > 0) {
    out += settings.DecimalSeparator;
    for (int64_t j = 1; j <= decimals; ++j) out += d.DigitAt(d.exponent + j);
  }
  return out;
}

// The mantissa "d.ddd" of `count` significant digits of `d`.
std::string MantissaText(const Decimal& d, int64_t count, const TFormatSettings& settings) {
  std::string out(1, d.DigitAt(0));
  if (count > 1) {
    out.reserve(static_cast<size_t>(count + 1));
    out += settings.DecimalSeparator;
    for (int64_t k = 1; k < count; ++k) out += d.DigitAt(k);
  }
  return out;
}

std::string HexText(uint64_t value, int64_t min_digits) {
  char buffer[20];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
  assert(result.ec == std::errc());
  std::string digits(buffer, result.ptr);
  for (char& c : digits) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  if (static_cast<int64_t>(digits.size()) < min_digits) {
    digits.insert(0, static_cast<size_t>(min_digits) - digits.size(), '0');
  }
  return digits;
}

std::string DecimalText(uint64_t magnitude, bool negative, int64_t min_digits) {
  std::string digits = std::to_string(magnitude);
  if (static_cast<int64_t>(digits.size()) < min_digits) {
    digits.insert(0, static_cast<size_t>(min_digits) - digits.size(), '0');
  }
  if (negative) digits.insert(0, 1, '-');
  return digits;
}

// The integer of `arg` with its sign: an unsigned source is never negative.
struct SignedValue {
  bool negative;
  uint64_t magnitude;
};
SignedValue SignedOf(const TVarRec& arg) {
  const int64_t v = arg.AsInt64();
  const bool negative = !arg.IsUnsigned() && v < 0;
  const uint64_t bits = static_cast<uint64_t>(v);
  return {negative, negative ? uint64_t{0} - bits : bits};
}

// The two's complement bits of `arg` in its own width.
uint64_t BitsOf(const TVarRec& arg) {
  const int64_t v = arg.AsInt64();
  return arg.Kind() == TVarKind::kInteger ? static_cast<uint32_t>(v) : static_cast<uint64_t>(v);
}

// One run of `Format` over a format text.
class Formatter {
 public:
  Formatter(std::string_view format, std::span<const TVarRec> args, const TFormatSettings& settings)
      : format_(format), args_(args), settings_(settings) {}

  std::string Run() {
    std::string out;
    out.reserve(format_.size());
    while (pos_ < format_.size()) {
      const size_t percent = format_.find('%', pos_);
      if (percent == std::string_view::npos) {
        out.append(format_.substr(pos_));
        break;
      }
      out.append(format_.substr(pos_, percent - pos_));
      pos_ = percent + 1;
      if (Peek() == '%') {
        out += '%';
        ++pos_;
      } else {
        Placeholder(out);
      }
    }
    return out;
  }

 private:
  enum class FieldKind { kNone, kNumber, kStar };
  struct Field {
    FieldKind kind = FieldKind::kNone;
    int64_t value = 0;
  };

  [[noreturn]] void Invalid() const {
    throw EConvertError(FormatMessage(SInvalidFormat, {std::string(format_)}));
  }
  [[noreturn]] void Missing() const {
    throw EConvertError(FormatMessage(SArgumentMissing, {std::string(format_)}));
  }

  // The character at the parse position, '\0' at the end.
  char Peek() const { return pos_ < format_.size() ? format_[pos_] : '\0'; }

  // Digits (saturating at kSaturated), a "*", or nothing.
  Field ReadField() {
    Field field;
    if (Peek() == '*') {
      ++pos_;
      field.kind = FieldKind::kStar;
      return field;
    }
    while (Peek() >= '0' && Peek() <= '9') {
      field.kind = FieldKind::kNumber;
      field.value = std::min(field.value * 10 + (Peek() - '0'), kSaturated);
      ++pos_;
    }
    return field;
  }

  const TVarRec& NextArg() {
    if (next_ >= args_.size()) Missing();
    return args_[next_++];
  }

  // The integer argument of a "*"; an unsigned value above the signed range saturates.
  int64_t StarArg() {
    const TVarRec& arg = NextArg();
    if (!arg.IsInteger()) Invalid();
    if (arg.IsUnsigned() && arg.AsInt64() < 0) return std::numeric_limits<int64_t>::max();
    return arg.AsInt64();
  }

  // Parses the placeholder after its "%", formats its argument and appends it to `out`.
  void Placeholder(std::string& out) {
    bool left = false;
    Field index;
    Field width = ReadField();
    if (Peek() == ':') {
      if (width.kind == FieldKind::kNone) Invalid();
      ++pos_;
      index = width;
      width = Field();
    }
    if (width.kind == FieldKind::kNone) {
      if (Peek() == '-') {
        left = true;
        ++pos_;
      }
      width = ReadField();
    }
    bool has_precision = false;
    Field precision;
    if (Peek() == '.') {
      ++pos_;
      has_precision = true;
      precision = ReadField();
    }
    if (pos_ >= format_.size()) Invalid();
    char type = format_[pos_++];
    if (type >= 'A' && type <= 'Z') type = static_cast<char>(type - 'A' + 'a');
    if (kTypeLetters.find(type) == std::string_view::npos) Invalid();
    if (width.value > kFormatMaxWidth || precision.value > kFormatMaxWidth) Invalid();

    if (index.kind != FieldKind::kNone) {
      const int64_t i = index.kind == FieldKind::kStar ? StarArg() : index.value;
      if (i < 0) Invalid();
      next_ = static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(i), args_.size()));
    }
    int64_t min_width = width.value;
    if (width.kind == FieldKind::kStar) {
      min_width = StarArg();
      if (min_width < 0) {
        left = true;
        min_width = min_width == std::numeric_limits<int64_t>::min()
                        ? std::numeric_limits<int64_t>::max()
                        : -min_width;
      }
      if (min_width > kFormatMaxWidth) Invalid();
    }
    int64_t digits = -1;  // the type's default
    if (has_precision) {
      digits = precision.value;
      if (precision.kind == FieldKind::kStar) {
        digits = StarArg();  // negative: the default
        if (digits > kFormatMaxWidth) Invalid();
      }
    }

    const std::string text = Render(type, NextArg(), digits);
    const size_t pad =
        static_cast<size_t>(std::max<int64_t>(min_width - static_cast<int64_t>(text.size()), 0));
    if (!left) out.append(pad, ' ');
    out += text;
    if (left) out.append(pad, ' ');
  }

  // The text of `arg` under `type`; a negative `precision` means the default.
  std::string Render(char type, const TVarRec& arg, int64_t precision) const {
    switch (type) {
      case 'd': {
        if (!arg.IsInteger()) Invalid();
        const SignedValue v = SignedOf(arg);
        return DecimalText(v.magnitude, v.negative, precision);
      }
      case 'u':
        if (!arg.IsInteger()) Invalid();
        return DecimalText(BitsOf(arg), false, precision);
      case 'x':
        if (!arg.IsInteger()) Invalid();
        return HexText(BitsOf(arg), precision);
      case 'p':
        if (arg.Kind() != TVarKind::kPointer) Invalid();
        return HexText(reinterpret_cast<uintptr_t>(arg.AsPointer()), 2 * sizeof(void*));
      case 's': {
        std::string_view s;
        const char c = arg.AsChar();
        if (arg.Kind() == TVarKind::kString) {
          s = arg.AsString();
        } else if (arg.Kind() == TVarKind::kChar) {
          s = std::string_view(&c, 1);
        } else {
          Invalid();
        }
        if (precision >= 0) s = s.substr(0, static_cast<size_t>(precision));
        return std::string(s);
      }
      case 'c':
        if (arg.Kind() == TVarKind::kChar) return std::string(1, arg.AsChar());
        if (arg.IsInteger()) {
          const SignedValue v = SignedOf(arg);
          if (!v.negative && v.magnitude <= 255) {
            return std::string(1, static_cast<char>(static_cast<unsigned char>(v.magnitude)));
          }
        }
        Invalid();
      default:
        return RenderFloat(type, arg, precision);
    }
  }

  // e, f, g, n and m.
  std::string RenderFloat(char type, const TVarRec& arg, int64_t precision) const {
    Decimal d;
    if (arg.Kind() == TVarKind::kFloat) {
      const double v = arg.AsFloat();
      if (std::isnan(v)) return "NAN";
      if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
      d = DecimalFromDouble(v);
    } else if (arg.IsInteger()) {
      const SignedValue v = SignedOf(arg);
      d = DecimalFromInteger(v.magnitude, v.negative);
    } else {
      Invalid();
    }

    std::string body;
    switch (type) {
      case 'e': {
        const int64_t significant = precision < 0 ? 15 : std::max<int64_t>(precision, 1);
        d.Round(significant);
        body = MantissaText(d, significant, settings_) + ExponentText(d.exponent, 3);
        break;
      }
      case 'g': {
        const int64_t significant = precision < 0 ? 15 : std::max<int64_t>(precision, 1);
        d.Round(significant);
        if (d.exponent < -5 || d.exponent >= significant) {
          body = MantissaText(d, static_cast<int64_t>(d.digits.size()), settings_) +
                 ExponentText(d.exponent, 1);
        } else {
          const int64_t decimals =
              std::max<int64_t>(static_cast<int64_t>(d.digits.size()) - d.exponent - 1, 0);
          body = FixedText(d, decimals, settings_, false);
        }
        break;
      }
      case 'f':
      case 'n': {
        const int64_t decimals = precision < 0 ? 2 : precision;
        d.Round(d.exponent + 1 + decimals);
        body = FixedText(d, decimals, settings_, type == 'n');
        break;
      }
      case 'm':
        return MoneyText(d, precision);
      default:
        assert(false && "type letter checked by Placeholder");
    }
    return d.negative ? "-" + body : body;
  }

  std::string MoneyText(Decimal d, int64_t precision) const {
    const int64_t decimals =
        precision >= 0 ? precision
                       : std::clamp<int64_t>(settings_.CurrencyDecimals, 0, kFormatMaxWidth);
    d.Round(d.exponent + 1 + decimals);
    const std::string number = FixedText(d, decimals, settings_, true);
    const char* pattern;
    if (d.negative) {
      const int f = settings_.NegCurrFormat;
      pattern = f >= 0 && f < static_cast<int>(std::size(kNegativeCurrency)) ? kNegativeCurrency[f]
                                                                             : kNegativeCurrency[0];
    } else {
      const int f = settings_.CurrencyFormat;
      pattern = f >= 0 && f < static_cast<int>(std::size(kPositiveCurrency)) ? kPositiveCurrency[f]
                                                                             : kPositiveCurrency[0];
    }
    std::string out;
    for (const char* p = pattern; *p != '\0'; ++p) {
      if (*p == '$') {
        out += settings_.CurrencyString;
      } else if (*p == '1') {
        out += number;
      } else {
        out += *p;
      }
    }
    return out;
  }

  std::string_view format_;
  std::span<const TVarRec> args_;
  const TFormatSettings& settings_;
  size_t pos_ = 0;   // parse position in format_
  size_t next_ = 0;  // index of the next argument to take
};

}  // namespace

// The overloads without settings use a fresh default object: no shared state to initialise.
std::string Format(std::string_view format, std::initializer_list<TVarRec> args) {
  return Format(format, args, TFormatSettings());
}

std::string Format(std::string_view format, std::span<const TVarRec> args) {
  return Format(format, args, TFormatSettings());
}

std::string Format(std::string_view format, std::initializer_list<TVarRec> args,
                   const TFormatSettings& settings) {
  return Formatter(format, std::span<const TVarRec>(args.begin(), args.size()), settings).Run();
}

std::string Format(std::string_view format, std::span<const TVarRec> args,
                   const TFormatSettings& settings) {
  return Formatter(format, args, settings).Run();
}

}  // namespace kivo
