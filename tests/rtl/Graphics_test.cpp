#include "kivo/rtl/Graphics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "kivo/rtl/Controls.h"

namespace kivo {
namespace {

TEST(Graphics, ColoursAndCharsetsHaveTheirNamesBothWays) {
  struct Row {
    const TIdentMap* map;
    int64_t value;
    const char* name;
  };
  const Row rows[] = {
      {&ColorIdents(), 0x000000, "clBlack"},
      {&ColorIdents(), 0x0000FF, "clRed"},
      {&ColorIdents(), 0x008000, "clGreen"},
      {&ColorIdents(), 0xFF0000, "clBlue"},
      {&ColorIdents(), 0xC0C0C0, "clSilver"},
      {&ColorIdents(), 0xFFFFFF, "clWhite"},
      {&ColorIdents(), static_cast<int32_t>(0x80000005), "clWindow"},
      {&ColorIdents(), static_cast<int32_t>(0x80000008), "clWindowText"},
      {&ColorIdents(), static_cast<int32_t>(0x8000000F), "clBtnFace"},
      {&ColorIdents(), static_cast<int32_t>(0x80000018), "clInfoBk"},
      {&CharsetIdents(), 0, "ANSI_CHARSET"},
      {&CharsetIdents(), 1, "DEFAULT_CHARSET"},
      {&CharsetIdents(), 2, "SYMBOL_CHARSET"},
      {&CharsetIdents(), 204, "RUSSIAN_CHARSET"},
      {&CharsetIdents(), 255, "OEM_CHARSET"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string* name = row.map->ToName(row.value);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(*name, row.name);
    int64_t value = -1;
    ASSERT_TRUE(row.map->ToValue(row.name, value));
    EXPECT_EQ(value, row.value);
  }
  int64_t value = 0;
  EXPECT_TRUE(ColorIdents().ToValue("CLBTNFACE", value));  // letter case is ignored
  EXPECT_EQ(value, clBtnFace);
  EXPECT_FALSE(ColorIdents().ToValue("clTomato", value));
  EXPECT_EQ(ColorIdents().ToName(0x123456), nullptr);  // written as a number
  EXPECT_EQ(CharsetIdents().ToName(3), nullptr);
}

// A writer writes the name of a value and a reader reads the value of the name: with a value or
// a name listed twice, one of them would come back as something else.
TEST(Graphics, EveryNameAndEveryValueAppearsOnce) {
  for (const TIdentMap* map : {&ColorIdents(), &CharsetIdents()}) {
    std::set<int64_t> values;
    std::set<std::string> names;
    for (const auto& [value, name] : map->entries) {
      SCOPED_TRACE(name);
      EXPECT_TRUE(values.insert(value).second);
      EXPECT_TRUE(names.insert(name).second);
    }
  }
}

// Every Color property, also where a class declares it again with another default, and the
// font's Charset are written by name.
TEST(Graphics, ColourAndCharsetPropertiesCarryTheirNames) {
  int colours = 0;
  for (TClass cls : RegisteredClasses()) {
    for (const TPropInfo& p : cls->OwnProperties()) {
      if (p.name != "Color") continue;
      SCOPED_TRACE(cls->Name());
      EXPECT_EQ(p.ident_map, &ColorIdents());
      ++colours;
    }
  }
  EXPECT_GE(colours, 2);  // the font's and the control's at least
  EXPECT_EQ(TFont::StaticClass()->FindProperty("Charset")->ident_map, &CharsetIdents());
  EXPECT_EQ(TControl::StaticClass()->FindProperty("Color")->ident_map, &ColorIdents());
}

}  // namespace
}  // namespace kivo
