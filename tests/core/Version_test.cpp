#include "kivo/core/Version.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Version, IsMajorMinorPatch) {
  const char* v = kivo::Version();
  int dots = 0;
  for (const char* p = v; *p != '\0'; ++p) dots += *p == '.';
  EXPECT_EQ(dots, 2) << v;
}
