// String comparison and conversion helpers.
//
// Byte strings are `std::string`; bytes are taken as unsigned 0–255. Two families compare text:
//
//   * ordinal: `CompareStr` (case significant) and `CompareText` (ASCII letters "A"–"Z" fold to
//     "a"–"z", every other byte compares as itself);
//   * locale-aware: `AnsiCompareStr` and `AnsiCompareText`. The platform has no system locale; it
//     uses one fixed rule, the Western (Windows-1252) letters. `AnsiCompareText` folds the ASCII
//     letters, the Latin-1 capitals 0xC0–0xDE (except 0xD7, the multiplication sign) to their
//     small letters 0xE0–0xFE, and the 1252 capitals 0x8A, 0x8C, 0x8E to 0x9A, 0x9C, 0x9E and
//     0x9F to 0xFF; it then compares the folded bytes in byte order. `AnsiCompareStr` compares
//     bytes in byte order. So the order is deterministic on every machine and a byte that is not
//     a 1252 letter is compared as itself.
//
// Compare functions return a negative number, zero or a positive number as the first argument
// sorts below, equal to or above the second.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kivo {

// Ordinal byte comparison, letter case significant.
int CompareStr(std::string_view s1, std::string_view s2);
// Ordinal comparison with ASCII letters compared without regard to case.
int CompareText(std::string_view s1, std::string_view s2);
bool SameText(std::string_view s1, std::string_view s2);

// Locale-aware comparison, letter case significant (byte order; see the file comment).
int AnsiCompareStr(std::string_view s1, std::string_view s2);
// Locale-aware comparison without regard to letter case (Windows-1252 folding; see above).
int AnsiCompareText(std::string_view s1, std::string_view s2);
bool AnsiSameText(std::string_view s1, std::string_view s2);
bool AnsiSameStr(std::string_view s1, std::string_view s2);

// ASCII-only case mapping.
std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);
// Case mapping by the Windows-1252 rule of `AnsiCompareText`.
std::string AnsiLowerCase(std::string_view s);
std::string AnsiUpperCase(std::string_view s);

// The value of a decimal (optionally signed, "-12", "+7") or hexadecimal ("$1F", "0x1F", "-$10")
// 32-bit integer, with leading and trailing blanks allowed.
// Throws: EConvertError "'<text>' is not a valid integer value" for anything else, an empty
// text or a value outside −2147483648 … 2147483647 included.
int32_t StrToInt(std::string_view text);
// Like StrToInt, but answers `fallback` instead of raising.
int32_t StrToIntDef(std::string_view text, int32_t fallback);
// Like StrToInt for the 64-bit range.
int64_t StrToInt64(std::string_view text);
// True and `value` set when `text` converts; false and `value` untouched otherwise.
bool TryStrToInt(std::string_view text, int32_t& value);
bool TryStrToInt64(std::string_view text, int64_t& value);

std::string IntToStr(int64_t value);

// True when `name` is an identifier: a letter or "_" followed by letters, digits and "_" (ASCII).
bool IsValidIdent(std::string_view name);

}  // namespace kivo
