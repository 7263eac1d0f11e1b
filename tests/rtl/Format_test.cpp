#include "kivo/rtl/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

struct Case {
  std::string format;
  std::vector<TVarRec> args;
  std::string expected;
};

void RunCases(const std::vector<Case>& cases, const TFormatSettings& settings) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    try {
      EXPECT_EQ(Format(c.format, c.args, settings), c.expected);
    } catch (const Exception& e) {
      ADD_FAILURE() << "raised: " << e.Message();
    }
  }
}

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
const int kPointerDigits = 2 * sizeof(void*);

TEST(Format, FormatsEveryPlaceholder) {
  const std::vector<Case> cases = {
      // Literal text and percent signs.
      {"", {}, ""},
      {"no placeholders", {}, "no placeholders"},
      {"100%%", {}, "100%"},
      {"%%%d%%", {5}, "%5%"},
      // d: 32- and 64-bit, signed and unsigned sources, precision and width.
      {"%d", {0}, "0"},
      {"%d", {-12}, "-12"},
      {"%d", {std::numeric_limits<int32_t>::min()}, "-2147483648"},
      {"%d", {std::numeric_limits<int64_t>::min()}, "-9223372036854775808"},
      {"%d", {std::numeric_limits<uint64_t>::max()}, "18446744073709551615"},
      {"%d", {4000000000u}, "4000000000"},
      {"%d", {static_cast<short>(-3)}, "-3"},
      {"%d", {static_cast<unsigned char>(200)}, "200"},
      {"%D", {7}, "7"},
      {"%.5d", {-12}, "-00012"},
      {"%.5d", {123456}, "123456"},
      {"%.0d", {0}, "0"},
      {"%5d|%-5d|", {42, 42}, "   42|42   |"},
      {"%8.5d|", {-12}, "  -00012|"},
      {"%3d", {123456}, "123456"},
      // u: negative values as unsigned of their own width.
      {"%u", {-1}, "4294967295"},
      {"%u", {-1LL}, "18446744073709551615"},
      {"%.3u", {7}, "007"},
      // x: upper-case digits, two's complement of the argument's width.
      {"%x", {255}, "FF"},
      {"%X", {0xabcdef}, "ABCDEF"},
      {"%x", {0}, "0"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%x", {-1LL}, "FFFFFFFFFFFFFFFF"},
      {"%x", {std::numeric_limits<uint64_t>::max()}, "FFFFFFFFFFFFFFFF"},
      {"%.4x", {255}, "00FF"},
      {"%8.4x|%-6x|", {0xAB, 0xAB}, "    00AB|AB    |"},
      // e: significant digits, signed exponent of at least three digits.
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {1234.5}, "1.23E+003"},
      {"%.1e", {1234.5}, "1E+003"},
      {"%.0e", {1234.5}, "1E+003"},
      {"%E", {0.0}, "0.00000000000000E+000"},
      {"%.3e", {-0.000123456}, "-1.23E-004"},
      {"%.2e", {9.99}, "1.0E+001"},
      {"%.3e", {1e-300}, "1.00E-300"},
      {"%.3e", {5e-324}, "4.94E-324"},
      {"%.4e", {12}, "1.200E+001"},
      {"%.17e", {0.1}, "1.0000000000000001E-001"},
      // f: decimals, exact binary value, halves away from zero, no "-0".
      {"%f", {3.14159}, "3.14"},
      {"%F", {7}, "7.00"},
      {"%f", {1.5f}, "1.50"},
      {"%.0f", {2.5}, "3"},
      {"%.0f", {-2.5}, "-3"},
      {"%.0f", {0.5}, "1"},
      {"%.0f", {0.49}, "0"},
      {"%.2f", {0.125}, "0.13"},
      {"%.2f", {2.675}, "2.67"},
      {"%.3f", {-0.0005}, "-0.001"},
      {"%.2f", {-0.001}, "0.00"},
      {"%f", {-0.0}, "0.00"},
      {"%.1f", {0.96}, "1.0"},
      {"%.2f", {99.999}, "100.00"},
      {"%f", {1e20}, "100000000000000000000.00"},
      {"%.0f", {std::numeric_limits<int64_t>::max()}, "9223372036854775807"},
      {"%.1f", {std::numeric_limits<uint64_t>::max()}, "18446744073709551615.0"},
      {"%8.3f|%-8.1f|", {3.14159, 2.0}, "   3.142|2.0     |"},
      // g: fixed for exponents -5 .. precision-1, scientific with minimal exponent otherwise.
      {"%g", {1234.5}, "1234.5"},
      {"%g", {0.1}, "0.1"},
      {"%g", {1.0 / 3}, "0.333333333333333"},
      {"%g", {100.0}, "100"},
      {"%g", {0.0}, "0"},
      {"%g", {-2.5}, "-2.5"},
      {"%g", {42}, "42"},
      {"%g", {1e20}, "1E+20"},
      {"%g", {1.5e-7}, "1.5E-7"},
      {"%g", {0.00001}, "0.00001"},
      {"%g", {0.000001}, "1E-6"},
      {"%g", {123456789012345.0}, "123456789012345"},
      {"%g", {1e15}, "1E+15"},
      {"%g", {1.7976931348623157e308}, "1.79769313486232E+308"},
      {"%.3g", {1234.5}, "1.23E+3"},
      {"%.3g", {999.6}, "1E+3"},
      {"%.0g", {0.25}, "0.3"},
      {"%.1g", {0.05}, "0.05"},
      {"%8g|", {0.5}, "     0.5|"},
      // n: thousand separators in the integer part only.
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%n", {-1234.5}, "-1,234.50"},
      {"%n", {123}, "123.00"},
      {"%.0n", {999.5}, "1,000"},
      {"%.4n", {100000.5}, "100,000.5000"},
      // m: default settings, "$1" and "($1)".
      {"%m", {1234.5}, "$1,234.50"},
      {"%m", {-2.5}, "($2.50)"},
      {"%m", {5}, "$5.00"},
      {"%.0m", {2.5}, "$3"},
      {"%m", {-0.001}, "$0.00"},
      {"%12m|", {-2.5}, "     ($2.50)|"},
      // NaN and infinities.
      {"%f", {kNan}, "NAN"},
      {"%e", {kInf}, "INF"},
      {"%g", {-kInf}, "-INF"},
      {"%n", {-kNan}, "NAN"},
      {"%m", {kInf}, "INF"},
      {"%6f|%-5e|", {kInf, -kInf}, "   INF|-INF |"},
      // p: zero-padded to the width of a pointer.
      {"%p", {static_cast<const void*>(nullptr)}, std::string(kPointerDigits, '0')},
      {"%p", {nullptr}, std::string(kPointerDigits, '0')},
      {"%P",
       {reinterpret_cast<const void*>(uintptr_t{0xABC})},
       std::string(kPointerDigits - 3, '0') + "ABC"},
      // s: strings of each source type, chars, maximum length.
      {"%s", {"abc"}, "abc"},
      {"%s", {std::string("abc")}, "abc"},
      {"%s", {std::string_view("abcdef").substr(1, 3)}, "bcd"},
      {"%s", {static_cast<const char*>(nullptr)}, ""},
      {"%s", {std::string("a\0b", 3)}, std::string("a\0b", 3)},
      {"[%s]", {""}, "[]"},
      {"%s", {'x'}, "x"},
      {"%.2s", {"abcdef"}, "ab"},
      {"%.0s", {"abc"}, ""},
      {"%.0s", {'x'}, ""},
      {"%.10s", {"abc"}, "abc"},
      {"%5s|%-5s|", {"ab", "ab"}, "   ab|ab   |"},
      {"%5.2s|", {"abcdef"}, "   ab|"},
      {"%S", {"up"}, "up"},
      // c: a char or an integer 0-255.
      {"%c", {'A'}, "A"},
      {"%c", {65}, "A"},
      {"%c", {255LL}, "\xFF"},
      {"%c", {0}, std::string(1, '\0')},
      {"%.0c", {'z'}, "z"},
      {"%3c|%-3c|", {'a', 'b'}, "  a|b  |"},
      // Index: sets the position; later placeholders continue after it; extras are ignored.
      {"%1:s %0:s %s", {"a", "b"}, "b a b"},
      {"%0:s%0:s", {"x"}, "xx"},
      {"%1:d %d %0:d", {10, 20, 30}, "20 30 10"},
      {"%2:s", {"a", "b", "c"}, "c"},
      {"%1:-4d|", {0, 7}, "7   |"},
      {"%*:s", {2, "a", "b"}, "b"},
      {"%s", {"a", "b", 3}, "a"},
      // "*" for width and precision, from the running argument position.
      {"%*d", {5, 42}, "   42"},
      {"%-*d|", {5, 42}, "42   |"},
      {"%*d|", {-5, 42}, "42   |"},
      {"%*d", {5LL, 1}, "    1"},
      {"%*d", {0, 1}, "1"},
      {"%.*f", {3, 3.14159}, "3.142"},
      {"%.*f", {-1, 3.14159}, "3.14"},
      {"%.*e", {-7, 1.0}, "1.00000000000000E+000"},
      {"%*.*f", {8, 1, 2.25}, "     2.3"},
      {"%1:*d", {99, 4, 7}, "   7"},
      {"%.*s", {2, "abc"}, "ab"},
      {"%*s%s", {3, "a", "b"}, "  ab"},
      // A bare "." is precision 0.
      {"%.f", {2.5}, "3"},
      {"%.s", {"abc"}, ""},
  };
  RunCases(cases, TFormatSettings());
}

TEST(Format, PlainOverloadsUseTheDefaultSettings) {
  EXPECT_EQ(Format("%n|%m|%.1f", {1234.5, -3, 0.25}), "1,234.50|($3.00)|0.3");
  const std::vector<TVarRec> args = {1234.5, -3, 0.25};
  EXPECT_EQ(Format("%n|%m|%.1f", args), "1,234.50|($3.00)|0.3");
  EXPECT_EQ(Format("100%%", {}), "100%");
}

TEST(Format, ArgumentsOwnTheirStrings) {
  // Built from temporaries that are gone before Format runs; the sanitizer build catches a view.
  std::vector<TVarRec> args;
  args.push_back(std::string(40, 'x'));
  args.push_back(std::string_view(std::string(30, 'y')));
  args.push_back(7);
  EXPECT_EQ(Format("%s%s%d", args), std::string(40, 'x') + std::string(30, 'y') + "7");
}

TEST(Format, ArgumentKindsFollowTheSourceType) {
  static_assert(!std::is_convertible_v<bool, TVarRec>);
  int i = 0;
  char text[] = "t";
  const struct {
    const char* name;
    TVarRec value;
    TVarKind kind;
  } rows[] = {
      {"int", 1, TVarKind::kInteger},
      {"short", static_cast<short>(1), TVarKind::kInteger},
      {"signed char", static_cast<signed char>(1), TVarKind::kInteger},
      {"long long", 1LL, TVarKind::kInt64},
      {"unsigned", 1u, TVarKind::kInt64},
      {"unsigned long long", 1ULL, TVarKind::kInt64},
      {"double", 1.0, TVarKind::kFloat},
      {"float", 1.0f, TVarKind::kFloat},
      {"long double", 1.0L, TVarKind::kFloat},
      {"char", 'a', TVarKind::kChar},
      {"literal", "a", TVarKind::kString},
      {"char*", text, TVarKind::kString},
      {"std::string", std::string("a"), TVarKind::kString},
      {"std::string_view", std::string_view("a"), TVarKind::kString},
      {"int*", &i, TVarKind::kPointer},
      {"nullptr", nullptr, TVarKind::kPointer},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.value.Kind(), row.kind);
  }
}

TEST(Format, WidthAndPrecisionLimitsAreInclusive) {
  EXPECT_EQ(Format("%*d", {kFormatMaxWidth, 1}), std::string(kFormatMaxWidth - 1, ' ') + "1");
  EXPECT_EQ(Format("%.1048576x", {1}).size(), static_cast<size_t>(kFormatMaxWidth));
  const std::string fixed = Format("%.*f", {kFormatMaxWidth, 1e308});
  EXPECT_EQ(fixed.size(), static_cast<size_t>(309 + 1 + kFormatMaxWidth));
  EXPECT_EQ(fixed.substr(0, 20), "10000000000000000109");
}

TEST(Format, RejectsBadPlaceholdersWithExactMessages) {
  enum Error { kInvalid, kMissing };
  const int64_t above = kFormatMaxWidth + 1;
  int i = 0;
  const struct {
    std::string format;
    std::vector<TVarRec> args;
    Error error;
  } rows[] = {
      // Malformed placeholders and unknown letters.
      {"%", {}, kInvalid},
      {"abc%", {1}, kInvalid},
      {"%5", {1}, kInvalid},
      {"%-", {1}, kInvalid},
      {"%.3", {1.0}, kInvalid},
      {"%1:", {1}, kInvalid},
      {"%:d", {1}, kInvalid},
      {"% d", {1}, kInvalid},
      {"%--5d", {1}, kInvalid},
      {"%-1:d", {1, 2}, kInvalid},
      {"%z", {1}, kInvalid},
      {"%5z", {}, kInvalid},
      {"x=%d y=%q", {1, 2}, kInvalid},
      {std::string("%\0", 2), {1}, kInvalid},
      // Arguments of the wrong kind.
      {"%d", {"12"}, kInvalid},
      {"%d", {1.5}, kInvalid},
      {"%d", {'1'}, kInvalid},
      {"%u", {1.0}, kInvalid},
      {"%x", {&i}, kInvalid},
      {"%f", {"1.5"}, kInvalid},
      {"%e", {'1'}, kInvalid},
      {"%m", {&i}, kInvalid},
      {"%s", {1}, kInvalid},
      {"%s", {1.0}, kInvalid},
      {"%s", {nullptr}, kInvalid},
      {"%c", {"a"}, kInvalid},
      {"%c", {256}, kInvalid},
      {"%c", {-1}, kInvalid},
      {"%c", {65.0}, kInvalid},
      {"%p", {1}, kInvalid},
      {"%p", {"a"}, kInvalid},
      {"%d %s", {1, 2}, kInvalid},
      // "*" arguments that are not integers or are out of range.
      {"%*d", {"5", 1}, kInvalid},
      {"%.*d", {1.0, 1}, kInvalid},
      {"%*:d", {"0", 1}, kInvalid},
      {"%*:d", {-1, 1}, kInvalid},
      {"%*d", {above, 1}, kInvalid},
      {"%*d", {-above, 1}, kInvalid},
      {"%*d", {std::numeric_limits<int64_t>::min(), 1}, kInvalid},
      {"%*d", {std::numeric_limits<uint64_t>::max(), 1}, kInvalid},
      {"%.*f", {above, 1.0}, kInvalid},
      // Widths and precisions written in the text.
      {"%1048577d", {1}, kInvalid},
      {"%.1048577f", {1.0}, kInvalid},
      {"%99999999999999999999999d", {1}, kInvalid},
      // Too few arguments.
      {"%d", {}, kMissing},
      {"%s %s", {"a"}, kMissing},
      {"%s %d", {"a"}, kMissing},
      {"%*d", {5}, kMissing},
      {"%*d", {}, kMissing},
      {"%.*f", {2}, kMissing},
      {"%*:d", {5, 1}, kMissing},
      {"%2:d", {1, 2}, kMissing},
      {"%99999999999999999999999:d", {1}, kMissing},
      {"%0:s %s %s", {"a", "b"}, kMissing},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.format);
    const std::string expected =
        row.error == kInvalid ? "Format '" + row.format + "' invalid or incompatible with argument"
                              : "No argument for format '" + row.format + "'";
    try {
      const std::string result = Format(row.format, row.args);
      ADD_FAILURE() << "no error; result \"" << result << "\"";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), expected);
    }
  }
}

TEST(Format, CustomSettingsChangeSeparatorsAndCurrency) {
  TFormatSettings settings;
  settings.DecimalSeparator = ',';
  settings.ThousandSeparator = '.';
  settings.CurrencyString = "EUR";
  settings.CurrencyFormat = 3;
  settings.NegCurrFormat = 8;
  settings.CurrencyDecimals = 1;
  RunCases(
      {
          {"%n", {1234567.5}, "1.234.567,50"},
          {"%f", {1.5}, "1,50"},
          {"%.3e", {1234.5}, "1,23E+003"},
          {"%g", {0.5}, "0,5"},
          {"%g", {1.5e-7}, "1,5E-7"},
          {"%m", {1234.56}, "1.234,6 EUR"},
          {"%m", {-1234.56}, "-1.234,6 EUR"},
          {"%.3m", {2}, "2,000 EUR"},
          {"%d|%x", {1234567, 1234567}, "1234567|12D687"},
      },
      settings);
  EXPECT_EQ(Format("%m", {1.5}, settings), "1,5 EUR");
  const std::vector<TVarRec> args = {1.5};
  EXPECT_EQ(Format("%m", args, settings), "1,5 EUR");
}

TEST(Format, CurrencyPlacements) {
  const char* positive[] = {"$1", "1$", "$ 1", "1 $"};
  const char* negative[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                            "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  TFormatSettings settings;
  settings.CurrencyDecimals = 0;
  for (int f = 0; f < 4; ++f) {
    SCOPED_TRACE("CurrencyFormat " + std::to_string(f));
    settings.CurrencyFormat = f;
    EXPECT_EQ(Format("%m", {1}, settings), positive[f]);
  }
  for (int f = 0; f < 16; ++f) {
    SCOPED_TRACE("NegCurrFormat " + std::to_string(f));
    settings.NegCurrFormat = f;
    EXPECT_EQ(Format("%m", {-1}, settings), negative[f]);
  }
  // Out-of-range placements fall back to 0, a negative CurrencyDecimals counts as 0.
  settings.CurrencyFormat = 4;
  settings.NegCurrFormat = -1;
  settings.CurrencyDecimals = -3;
  settings.CurrencyString = "CHF";
  EXPECT_EQ(Format("%m|%m", {2.5, -2.5}, settings), "CHF3|(CHF3)");
  settings.CurrencyFormat = -1;
  settings.NegCurrFormat = 16;
  EXPECT_EQ(Format("%m|%m", {2.5, -2.5}, settings), "CHF3|(CHF3)");
}

}  // namespace
}  // namespace kivo
