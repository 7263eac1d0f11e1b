#include "kivo/rtl/Persistent.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Stream.h"
#include "support/MemoryFiler.h"

namespace kivo {
namespace {

// Copying: TColor knows how to copy from TRgb (Assign), TRgb knows how to copy into TColor
// (AssignTo) and TName knows neither.
class TRgb : public TPersistent {
  KIVO_CLASS(TRgb, TPersistent)
  int value = 0;

 protected:
  void AssignTo(TPersistent* dest) const override;
};
KIVO_DEFINE_CLASS(TRgb) {}

class TColor : public TPersistent {
  KIVO_CLASS(TColor, TPersistent)
  int value = 0;
  void Assign(const TPersistent* source) override {
    if (const auto* c = As<TColor>(source)) {
      value = c->value;
    } else {
      Inherited::Assign(source);
    }
  }
};
KIVO_DEFINE_CLASS(TColor) {}

void TRgb::AssignTo(TPersistent* dest) const {
  if (auto* c = As<TColor>(dest)) {
    c->value = value + 1000;
  } else {
    Inherited::AssignTo(dest);
  }
}

class TName : public TPersistent {
  KIVO_CLASS(TName, TPersistent)
};
KIVO_DEFINE_CLASS(TName) {}

TEST(Persistent, AssignDispatchesToTheDestinationThenToTheSource) {
  TColor a, b;
  TRgb rgb;
  TName name;
  b.value = 7;
  a.Assign(&b);  // the destination knows the source
  EXPECT_EQ(a.value, 7);
  rgb.value = 5;
  a.Assign(&rgb);  // the source knows the destination
  EXPECT_EQ(a.value, 1005);

  struct Row {
    const char* name;
    TPersistent* dest;
    const TPersistent* source;
    const char* message;
  } rows[] = {
      {"unrelated source", &a, &name, "Cannot assign a TName to a TColor"},
      {"source that knows other classes", &name, &rgb, "Cannot assign a TRgb to a TName"},
      {"no source", &a, nullptr, "Cannot assign a nil to a TColor"},
      {"neither", &rgb, &a, "Cannot assign a TColor to a TRgb"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    try {
      r.dest->Assign(r.source);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), r.message);
    }
  }
  EXPECT_EQ(a.value, 1005);
}

// Keeps a blob that it stores as the binary property "Data", written only when not empty; the
// derived class adds "Extra", always written.
class TBlob : public TPersistent {
  KIVO_CLASS(TBlob, TPersistent)
  std::string data;
  void DefineProperties(TFiler& filer) override {
    Inherited::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { data = s.ReadString(s.Size() - s.Position()); },
        [this](TStream& s) { s.WriteString(data); }, !data.empty());
  }
};
KIVO_DEFINE_CLASS(TBlob) {}

class TTaggedBlob : public TBlob {
  KIVO_CLASS(TTaggedBlob, TBlob)
  std::string extra;
  void DefineProperties(TFiler& filer) override {
    Inherited::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Extra", [this](TStream& s) { extra = s.ReadString(s.Size() - s.Position()); },
        [this](TStream& s) { s.WriteString(extra); }, true);
  }
};
KIVO_DEFINE_CLASS(TTaggedBlob) {}

TEST(Persistent, BinaryPropertiesRoundTripThroughAFiler) {
  TTaggedBlob source;
  source.data = std::string("a\0b\xff", 4);
  source.extra = "";
  testing::MemoryFiler filer(testing::MemoryFiler::kWriting);
  filer.Write(source);
  EXPECT_EQ(filer.defined, (std::vector<std::string>{"Data", "Extra"}));
  ASSERT_EQ(filer.stored.size(), 2u);
  EXPECT_EQ(filer.stored["Data"], std::string("a\0b\xff", 4));
  EXPECT_EQ(filer.stored["Extra"], "");  // has data even when empty

  TTaggedBlob copy;
  copy.extra = "old";
  filer.Read(copy);
  EXPECT_EQ(copy.data, source.data);
  EXPECT_EQ(copy.extra, "");
}

TEST(Persistent, PropertyWithoutDataIsNotWritten) {
  TBlob empty;
  testing::MemoryFiler filer(testing::MemoryFiler::kWriting);
  filer.Write(empty);
  EXPECT_EQ(filer.defined, std::vector<std::string>{"Data"});
  EXPECT_TRUE(filer.stored.empty());
  // Reading a filer without the property leaves the object as it is.
  TBlob target;
  target.data = "keep";
  filer.Read(target);
  EXPECT_EQ(target.data, "keep");
}

}  // namespace
}  // namespace kivo
