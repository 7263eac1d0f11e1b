#include "kivo/rtl/StrUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(StrUtils, CompareFamilies) {
  struct Row {
    const char* a;
    const char* b;
    int str, text, ansi_text;
  } rows[] = {
      {"abc", "abc", 0, 0, 0},
      {"abc", "ABC", 1, 0, 0},
      {"a", "B", 1, -1, -1},
      {"ab", "abc", -1, -1, -1},
      {"", "", 0, 0, 0},
      {"", "a", -1, -1, -1},
      {"\xC9t\xE9", "\xE9T\xC9", -1, -1, 0},  // É/é fold only in the locale-aware family
      {"\x8A", "\x9A", -1, -1, 0},            // Š/š
      {"\xD7", "\xF7", -1, -1, -1},           // × and ÷ are no letters
      {"_", "a", -1, -1, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.a) + " vs " + r.b);
    EXPECT_EQ(Sign(CompareStr(r.a, r.b)), r.str);
    EXPECT_EQ(Sign(AnsiCompareStr(r.a, r.b)), r.str);
    EXPECT_EQ(Sign(CompareText(r.a, r.b)), r.text);
    EXPECT_EQ(Sign(AnsiCompareText(r.a, r.b)), r.ansi_text);
    EXPECT_EQ(AnsiSameText(r.a, r.b), r.ansi_text == 0);
    EXPECT_EQ(SameText(r.a, r.b), r.text == 0);
  }
}

TEST(StrUtils, CaseMapping) {
  EXPECT_EQ(LowerCase("AbC\xC9"), "abc\xC9");
  EXPECT_EQ(AnsiLowerCase("AbC\xC9\x9F"), "abc\xE9\xFF");
  EXPECT_EQ(AnsiUpperCase("abc\xE9\xFF\xF7"), "ABC\xC9\x9F\xF7");
  EXPECT_EQ(UpperCase("abc\xE9"), "ABC\xE9");
}

TEST(StrUtils, StrToIntAcceptsDecimalAndHex) {
  struct Row {
    const char* text;
    int32_t value;
  } rows[] = {
      {"0", 0},
      {"42", 42},
      {"-42", -42},
      {"+7", 7},
      {" 12 ", 12},
      {"$1F", 31},
      {"0x1f", 31},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"007", 7},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(StrToInt(r.text), r.value);
  }
}

TEST(StrUtils, StrToIntRejectsWithExactMessage) {
  const char* bad[] = {"",  " ",          "12x",         "x",   "-",
                       "$", "2147483648", "-2147483649", "1 2", "99999999999999999999",
                       "0x"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    try {
      StrToInt(text);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid integer value");
    }
    EXPECT_EQ(StrToIntDef(text, -5), -5);
  }
}

TEST(StrUtils, StrToInt64Range) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  int32_t v = 3;
  EXPECT_FALSE(TryStrToInt("nope", v));
  EXPECT_EQ(v, 3);
}

TEST(StrUtils, IsValidIdent) {
  EXPECT_TRUE(IsValidIdent("Button1"));
  EXPECT_TRUE(IsValidIdent("_x"));
  EXPECT_FALSE(IsValidIdent(""));
  EXPECT_FALSE(IsValidIdent("1Button"));
  EXPECT_FALSE(IsValidIdent("a.b"));
  EXPECT_FALSE(IsValidIdent("a b"));
}

}  // namespace
}  // namespace kivo
