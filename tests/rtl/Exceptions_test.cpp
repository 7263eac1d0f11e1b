#include "kivo/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <string>

namespace kivo {
namespace {

TEST(Exceptions, MessagesOfThePlatformErrors) {
  struct Row {
    const char* name;
    Exception error;
    const char* message;
  } rows[] = {
      {"list index", EListError::IndexError(-1), "List index out of bounds (-1)"},
      {"integer", EConvertError::InvalidInteger("12x"), "'12x' is not a valid integer value"},
      {"assign", EConvertError::AssignError("nil", "TFont"), "Cannot assign a nil to a TFont"},
      {"abstract", EAbstractError(), "Abstract Error"},
      {"read", EReadError(), "Stream read error"},
      {"write", EWriteError(), "Stream write error"},
      {"open", EFOpenError("a.ktc", "No such file or directory"),
       "Cannot open file \"a.ktc\". No such file or directory"},
      {"create", EFCreateError("/x/a.kbf", "Permission denied"),
       "Cannot create file \"/x/a.kbf\". Permission denied"},
      {"field", EDatabaseError::FieldNotFound("DDKey"), "Field 'DDKey' not found"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.error.Message(), r.message);
    EXPECT_STREQ(r.error.what(), r.message);
  }
}

TEST(Exceptions, SubclassesAreCaughtAsTheirBases) {
  EXPECT_THROW(throw EFOpenError("f", "r"), EStreamError);
  EXPECT_THROW(throw EStringListError(SSortedListError), EListError);
  EXPECT_THROW(throw EAbstractError(), Exception);
  EXPECT_THROW(throw EConvertError("x"), std::exception);
}

TEST(Exceptions, FormatMessageFillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatMessage("%s and %d", {"a", "2"}), "a and 2");
  EXPECT_EQ(FormatMessage("100%% %s %x", {"b"}), "100%% b %x");  // only %s and %d are filled
  EXPECT_EQ(FormatMessage("%s %s", {"only"}), "only %s");        // too few: left as they are
}

}  // namespace
}  // namespace kivo
