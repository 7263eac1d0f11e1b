#include "kivo/rtl/StrUtils.h"

#include <array>
#include <limits>

#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

bool IsAsciiUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
bool IsAsciiLower(unsigned char c) { return c >= 'a' && c <= 'z'; }

unsigned char AsciiLower(unsigned char c) { return IsAsciiUpper(c) ? c + ('a' - 'A') : c; }
unsigned char AsciiUpper(unsigned char c) { return IsAsciiLower(c) ? c - ('a' - 'A') : c; }

// Windows-1252 case tables: kLower[c] is the small letter of c, kUpper[c] its capital.
struct CaseTables {
  std::array<unsigned char, 256> lower{};
  std::array<unsigned char, 256> upper{};
  CaseTables() {
    for (int c = 0; c < 256; ++c) {
      lower[c] = static_cast<unsigned char>(c);
      upper[c] = static_cast<unsigned char>(c);
    }
    auto pair = [this](int cap, int small) {
      lower[cap] = static_cast<unsigned char>(small);
      upper[small] = static_cast<unsigned char>(cap);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c) {
      if (c != 0xD7) pair(c, c + 32);
    }
    pair(0x8A, 0x9A);
    pair(0x8C, 0x9C);
    pair(0x8E, 0x9E);
    pair(0x9F, 0xFF);
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

template <class Fold>
int CompareFolded(std::string_view s1, std::string_view s2, Fold fold) {
  const size_t n = s1.size() < s2.size() ? s1.size() : s2.size();
  for (size_t i = 0; i < n; ++i) {
    const int a = fold(static_cast<unsigned char>(s1[i]));
    const int b = fold(static_cast<unsigned char>(s2[i]));
    if (a != b) return a - b;
  }
  if (s1.size() == s2.size()) return 0;
  return s1.size() < s2.size() ? -1 : 1;
}

template <class Map>
std::string MapBytes(std::string_view s, Map map) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(map(static_cast<unsigned char>(c)));
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Parses a signed decimal or hexadecimal integer into [lo, hi]; false when it does not convert.
bool ParseInteger(std::string_view text, int64_t lo, int64_t hi, int64_t& out) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  if (b == e) return false;
  bool negative = false;
  if (text[b] == '+' || text[b] == '-') {
    negative = text[b] == '-';
    ++b;
  }
  int base = 10;
  if (b < e && text[b] == '$') {
    base = 16;
    ++b;
  } else if (e - b >= 2 && text[b] == '0' && (text[b + 1] == 'x' || text[b + 1] == 'X')) {
    base = 16;
    b += 2;
  }
  if (b == e) return false;
  // Accumulate the magnitude; the limit is that of the negative range for negative numbers.
  const uint64_t limit =
      negative ? static_cast<uint64_t>(-(lo + 1)) + 1 : static_cast<uint64_t>(hi);
  uint64_t value = 0;
  for (size_t i = b; i < e; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && AsciiLower(c) >= 'a' && AsciiLower(c) <= 'f') {
      digit = AsciiLower(c) - 'a' + 10;
    } else {
      return false;
    }
    if (value > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) {
      return false;
    }
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  if (negative) {
    out = value == 0 ? 0 : -static_cast<int64_t>(value - 1) - 1;
  } else {
    out = static_cast<int64_t>(value);
  }
  return true;
}

}  // namespace

int CompareStr(std::string_view s1, std::string_view s2) {
  return CompareFolded(s1, s2, [](unsigned char c) { return c; });
}

int CompareText(std::string_view s1, std::string_view s2) {
  return CompareFolded(s1, s2, AsciiLower);
}

bool SameText(std::string_view s1, std::string_view s2) {
  return s1.size() == s2.size() && CompareText(s1, s2) == 0;
}

int AnsiCompareStr(std::string_view s1, std::string_view s2) { return CompareStr(s1, s2); }

int AnsiCompareText(std::string_view s1, std::string_view s2) {
  const auto& lower = Tables().lower;
  return CompareFolded(s1, s2, [&lower](unsigned char c) { return lower[c]; });
}

bool AnsiSameText(std::string_view s1, std::string_view s2) {
  return s1.size() == s2.size() && AnsiCompareText(s1, s2) == 0;
}

bool AnsiSameStr(std::string_view s1, std::string_view s2) { return s1 == s2; }

std::string LowerCase(std::string_view s) { return MapBytes(s, AsciiLower); }
std::string UpperCase(std::string_view s) { return MapBytes(s, AsciiUpper); }

std::string AnsiLowerCase(std::string_view s) {
  const auto& lower = Tables().lower;
  return MapBytes(s, [&lower](unsigned char c) { return lower[c]; });
}

std::string AnsiUpperCase(std::string_view s) {
  const auto& upper = Tables().upper;
  return MapBytes(s, [&upper](unsigned char c) { return upper[c]; });
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  int64_t v;
  if (!ParseInteger(text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                    v)) {
    return false;
  }
  value = static_cast<int32_t>(v);
  return true;
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
  int64_t v;
  if (!ParseInteger(text, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(),
                    v)) {
    return false;
  }
  value = v;
  return true;
}

int32_t StrToInt(std::string_view text) {
  int32_t v;
  if (!TryStrToInt(text, v)) throw EConvertError::InvalidInteger(std::string(text));
  return v;
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
  int32_t v;
  return TryStrToInt(text, v) ? v : fallback;
}

int64_t StrToInt64(std::string_view text) {
  int64_t v;
  if (!TryStrToInt64(text, v)) throw EConvertError::InvalidInteger(std::string(text));
  return v;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

bool IsValidIdent(std::string_view name) {
  if (name.empty()) return false;
  auto alpha = [](unsigned char c) { return IsAsciiUpper(c) || IsAsciiLower(c) || c == '_'; };
  if (!alpha(static_cast<unsigned char>(name[0]))) return false;
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

}  // namespace kivo
