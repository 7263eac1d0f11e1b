#include "kivo/rtl/FormFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/Collection.h"
#include "kivo/rtl/ExtCtrls.h"
#include "kivo/rtl/StdCtrls.h"
#include "kivo/rtl/Stream.h"
#include "support/Errors.h"

namespace kivo {
namespace {

using testing::ErrorOf;

// --- Test classes: a form class with methods, a component that records Loaded and holds one
// property of each kind.

std::vector<std::string>& LoadedLog() {
  static std::vector<std::string> log;
  return log;
}

class TFilerTestForm : public TForm {
  KIVO_CLASS(TFilerTestForm, TForm)
  explicit TFilerTestForm(TComponent* owner) : TForm(owner) {}
  void Button1Click(TObject* /*sender*/) { ++clicks; }
  void Other(TObject* /*sender*/, int /*x*/) {}
  int clicks = 0;
};
KIVO_DEFINE_CLASS(TFilerTestForm) {
  b.Method("Button1Click", &TFilerTestForm::Button1Click);
  b.Method("Other", &TFilerTestForm::Other);
}

enum TTestMode { tmOff, tmSlow, tmFast };
const TEnumInfo& TestModeInfo() {
  static const TEnumInfo info{"TTestMode", {"tmOff", "tmSlow", "tmFast"}};
  return info;
}

class TTestItem : public TCollectionItem {
  KIVO_CLASS(TTestItem, TCollectionItem)
  explicit TTestItem(TCollection* c) : TCollectionItem(c) {}
  std::string text;
  TComponent* target = nullptr;
};
KIVO_DEFINE_CLASS(TTestItem) {
  b.String(
      "Text", [](const TTestItem& i) { return i.text; },
      [](TTestItem& i, const std::string& v) { i.text = v; });
  b.Component(
      "Target", [](const TTestItem& i) { return i.target; },
      [](TTestItem& i, TComponent* v) { i.target = v; });
}

class TRecorder : public TComponent {
  KIVO_CLASS(TRecorder, TComponent)
  explicit TRecorder(TComponent* owner)
      : TComponent(owner), items(std::make_unique<TCollection>(TTestItem::StaticClass())) {}
  void Loaded() override {
    TComponent::Loaded();
    LoadedLog().push_back(Name() + (peer != nullptr ? "->" + peer->Name() : std::string()));
  }
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
          blob.assign(static_cast<size_t>(s.Size() - s.Position()), '\0');
          s.ReadBuffer(blob.data(), static_cast<int64_t>(blob.size()));
        },
        [this](TStream& s) { s.WriteString(blob); }, !blob.empty());
  }
  int count = 0;
  bool flag = false;
  TTestMode mode = tmOff;
  TSet<TTestMode> modes;
  std::string text;
  double ratio = 0;
  TComponent* peer = nullptr;
  std::unique_ptr<TCollection> items;
  std::string blob;
  TNotifyEvent OnPing;
};
KIVO_DEFINE_CLASS(TRecorder) {
  b.Integer(
       "Count", [](const TRecorder& r) { return r.count; },
       [](TRecorder& r, int v) { r.count = v; })
      .Default(0);
  b.Boolean(
       "Flag", [](const TRecorder& r) { return r.flag; }, [](TRecorder& r, bool v) { r.flag = v; })
      .Default(false);
  b.Enumeration(
       "Mode", TestModeInfo(), [](const TRecorder& r) { return r.mode; },
       [](TRecorder& r, TTestMode v) { r.mode = v; })
      .Default(tmOff);
  b.Set(
       "Modes", TestModeInfo(), [](const TRecorder& r) { return r.modes; },
       [](TRecorder& r, TSet<TTestMode> v) { r.modes = v; })
      .Default(TSet<TTestMode>{});
  b.String(
      "Text", [](const TRecorder& r) { return r.text; },
      [](TRecorder& r, const std::string& v) { r.text = v; });
  b.Float(
      "Ratio", [](const TRecorder& r) { return r.ratio; },
      [](TRecorder& r, double v) { r.ratio = v; });
  b.Component(
      "Peer", [](const TRecorder& r) { return r.peer; },
      [](TRecorder& r, TComponent* v) { r.peer = v; });
  b.Collection(
      "Items", [](const TRecorder& r) { return r.items.get(); },
      [](TRecorder& r, TCollection* v) { r.items->Assign(v); });
  b.Event("OnPing", &TRecorder::OnPing);
}

TFormReadOptions Strict(std::string file = "Test.dfm") {
  TFormReadOptions o;
  o.file_name = std::move(file);
  return o;
}
TFormReadOptions Lenient(std::string file = "Test.dfm") {
  TFormReadOptions o = Strict(std::move(file));
  o.strict = false;
  return o;
}

// --- Syntax

TEST(FormSyntaxTest, ReadsEveryKindOfValue) {
  const std::string text =
      "object F: TX\n"
      "  A = -12\n"
      "  B = $FF\n"
      "  C = 1.5\n"
      "  D = 'it''s'#13#10'ok' +\n"
      "    ' more'\n"
      "  E = Form1.Button1\n"
      "  F = [a, b]\n"
      "  G = ( 'x'\n 'y' )\n"
      "  H = <\n    item\n      N = 1\n    end\n    item\n    end>\n"
      "  I = {\n  0A0b\n  FF }\n"
      "  J = #$41#233\n"
      "  K = #1071\n"
      "end\n";
  TFormObject obj = ParseFormText(text, "t.dfm");
  ASSERT_EQ(obj.properties.size(), 11u);
  const auto& p = obj.properties;
  EXPECT_EQ(p[0].value.integer, -12);
  EXPECT_EQ(p[1].value.integer, 255);
  EXPECT_EQ(p[2].value.kind, TFormValue::kFloat);
  EXPECT_DOUBLE_EQ(p[2].value.number, 1.5);
  EXPECT_EQ(p[3].value.text, "it's\r\nok more");
  EXPECT_EQ(p[4].value.kind, TFormValue::kIdent);
  EXPECT_EQ(p[4].value.text, "Form1.Button1");
  ASSERT_EQ(p[5].value.items.size(), 2u);
  EXPECT_EQ(p[5].value.items[1].text, "b");
  ASSERT_EQ(p[6].value.items.size(), 2u);
  EXPECT_EQ(p[6].value.items[1].text, "y");
  ASSERT_EQ(p[7].value.collection.size(), 2u);
  EXPECT_EQ(p[7].value.collection[0][0].name, "N");
  EXPECT_TRUE(p[7].value.collection[1].empty());
  EXPECT_EQ(p[8].value.text, std::string("\x0A\x0B\xFF", 3));
  EXPECT_EQ(p[9].value.text, "A\xE9");
  EXPECT_EQ(p[10].value.text, "\xD0\xAF");  // a code above 255 becomes UTF-8
  EXPECT_EQ(p[10].line, 21);

  // The layout reads back to the same tree and is stable.
  std::string layout = FormObjectToText(obj);
  EXPECT_EQ(FormObjectToText(ParseFormText(layout, "t.dfm")), layout);
}

TEST(FormSyntaxTest, LaysOutValuesLikeAFormDesigner) {
  const std::string text =
      "object F: TX\n"
      "  S = 'a'#9'b'#39'c'\n"
      "  L = (\n"
      "    'one'\n"
      "    'two')\n"
      "  C = <\n"
      "    item\n"
      "      N = 1\n"
      "    end>\n"
      "  E = <>\n"
      "  B = {\n"
      "    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
      "    20}\n"
      "  Z = {}\n"
      "  object TY\n"
      "  end\n"
      "end\n";
  std::string layout = FormObjectToText(ParseFormText(text, "t.dfm"));
  EXPECT_EQ(layout,
            "object F: TX\n"
            "  S = 'a'#9'b''c'\n"
            "  L = (\n"
            "    'one'\n"
            "    'two')\n"
            "  C = <\n"
            "    item\n"
            "      N = 1\n"
            "    end>\n"
            "  E = <>\n"
            "  B = {\n"
            "    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\n"
            "    20}\n"
            "  Z = {}\n"
            "  object TY\n"
            "  end\n"
            "end\n");
}

TEST(FormSyntaxTest, MalformedTextGivesItsLine) {
  struct Case {
    std::string text;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"object F: TX\n  S = 'abc\nend\n", "Unterminated string at m.dfm:2"},
      {"object F: TX\n  B = {\n 0G }\nend\n",
       "Invalid hexadecimal digit 'G' in binary value at m.dfm:3"},
      {"object F: TX\n  B = {0}\nend\n",
       "Odd number of hexadecimal digits in binary value at m.dfm:2"},
      {"object F: TX\n  B = {00\n", "Unterminated binary value at m.dfm:2"},
      {"object F: TX\n  object B: TY\n  end\n",
       "'end' expected for F (TX) opened at line 1, found end of file at m.dfm:4"},
      {"object F: TX\n  A 1\nend\n", "'=' expected after property name 'A' at m.dfm:2"},
      {"object F: TX\n  A = ?\nend\n", "Unexpected character '?' at m.dfm:2"},
      {"object F: TX\n  A = \nend\n", "Value expected, found 'end' at m.dfm:3"},
      {"object F: TX\n  A = 99999999999999999999\nend\n", "Integer value out of range at m.dfm:2"},
      {"object F: TX\n  A = [a b]\nend\n", "',' or ']' expected in set, found 'b' at m.dfm:2"},
      {"object F: TX\n  A = <item X = 1>\nend\n",
       "'end' expected for the item opened at line 2, found '>' at m.dfm:2"},
      {"object F: TX\nend\nobject G: TX\nend\n", "Text after the end of the form at m.dfm:3"},
      {"thing F: TX\nend\n", "'object' expected, found 'thing' at m.dfm:1"},
      {"", "'object' expected, found end of file at m.dfm:1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { ParseFormText(c.text, "m.dfm"); }), c.message) << c.text;
  }
}

TEST(FormSyntaxTest, RefusesHugeLinesAndDeepNesting) {
  std::string huge = "object F: TX\n  S = '" + std::string(10 << 20, 'x') + "'\nend\n";
  EXPECT_EQ(ErrorOf([&] { ParseFormText(huge, "big.dfm"); }),
            "Line longer than 1048576 bytes at big.dfm:2");

  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "object TX\n";
  for (int i = 0; i < 1000; ++i) deep += "end\n";
  EXPECT_EQ(ErrorOf([&] { ParseFormText(deep, "deep.dfm"); }),
            "Nesting deeper than 200 levels at deep.dfm:201");

  std::string lists =
      "object F: TX\n  A = " + std::string(1000, '(') + std::string(1000, ')') + "\nend\n";
  EXPECT_EQ(ErrorOf([&] { ParseFormText(lists, "deep.dfm"); }),
            "Nesting deeper than 200 levels at deep.dfm:2");
}

// --- Reading and writing components

const char* const kRecorderForm =
    "object FilerForm1: TFilerTestForm\n"
    "  Tag = 3\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Width = 320\n"
    "  Height = 240\n"
    "  Caption = 'Main'\n"
    "  object R1: TRecorder\n"
    "    Count = -5\n"
    "    Flag = True\n"
    "    Mode = tmFast\n"
    "    Modes = [tmOff, tmFast]\n"
    "    Text = 'caf\xE9 ''x'''#13#10\n"
    "    Ratio = 0.25\n"
    "    Peer = R2\n"
    "    Items = <\n"
    "      item\n"
    "        Text = 'first'\n"
    "        Target = FilerForm1\n"
    "      end\n"
    "      item\n"
    "        Target = R2\n"
    "      end>\n"
    "    OnPing = Button1Click\n"
    "    Blob = {\n"
    "      00FF10}\n"
    "  end\n"
    "  object R2: TRecorder\n"
    "    Peer = R1\n"
    "  end\n"
    "end\n";

TEST(FormReaderTest, ReadsPropertiesOfEveryKind) {
  LoadedLog().clear();
  std::unique_ptr<TComponent> root = ReadForm(kRecorderForm, Strict());
  auto* form = As<TFilerTestForm>(root.get());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Name(), "FilerForm1");
  EXPECT_EQ(form->Tag(), 3);
  EXPECT_EQ(form->Caption(), "Main");
  ASSERT_EQ(form->ComponentCount(), 2);
  auto* r1 = As<TRecorder>(form->Components(0));
  auto* r2 = As<TRecorder>(form->Components(1));
  ASSERT_NE(r1, nullptr);
  ASSERT_NE(r2, nullptr);
  EXPECT_EQ(r1->count, -5);
  EXPECT_TRUE(r1->flag);
  EXPECT_EQ(r1->mode, tmFast);
  EXPECT_EQ(r1->modes, (TSet<TTestMode>{tmOff, tmFast}));
  EXPECT_EQ(r1->text, "caf\xE9 'x'\r\n");
  EXPECT_DOUBLE_EQ(r1->ratio, 0.25);
  EXPECT_EQ(r1->peer, r2);  // a forward reference
  EXPECT_EQ(r2->peer, r1);
  ASSERT_EQ(r1->items->Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(r1->items->Items(0))->text, "first");
  EXPECT_EQ(static_cast<TTestItem*>(r1->items->Items(0))->target, form);
  EXPECT_EQ(static_cast<TTestItem*>(r1->items->Items(1))->target, r2);
  EXPECT_EQ(r1->blob, std::string("\x00\xFF\x10", 3));
  ASSERT_TRUE(static_cast<bool>(r1->OnPing));
  r1->OnPing(r1);
  EXPECT_EQ(form->clicks, 1);
  // Loaded runs after every reference is resolved, in creation order; states are cleared.
  EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"R1->R2", "R2->R1"}));
  EXPECT_FALSE(r1->ComponentState().Contains(csLoading));
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));

  // What the writer writes reads back and writes again to the same bytes.
  std::string written = WriteForm(*form);
  EXPECT_EQ(written, kRecorderForm);
  EXPECT_EQ(WriteForm(*ReadForm(written, Strict())), written);
}

TEST(FormReaderTest, ReadIntoAnExistingRootReplacesCollections) {
  TFilerTestForm form(nullptr);
  auto* old = new TRecorder(&form);
  old->SetName("Old");
  ReadFormInto(form, kRecorderForm, Strict());
  EXPECT_EQ(form.ComponentCount(), 3);
  EXPECT_EQ(form.Name(), "FilerForm1");
  auto* r1 = As<TRecorder>(form.FindComponent("R1"));
  ASSERT_NE(r1, nullptr);
  // Reading a collection replaces its items.
  ReadFormInto(form,
               "object FilerForm1: TForm\n"
               "  object R3: TRecorder\n"
               "  end\n"
               "end\n",
               Strict());
  EXPECT_NE(form.FindComponent("R3"), nullptr);
  EXPECT_EQ(ErrorOf([&] { ReadFormInto(form, "object X: TButton\nend\n", Strict()); }),
            "The form's class TButton does not match TFilerTestForm at Test.dfm:1");
}

TEST(FormReaderTest, StrictErrorsNameFileLineComponentAndProperty) {
  struct Case {
    std::string body;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"  object Button1: TButton\n    Captionx = 'x'\n  end\n",
       "Unknown property 'Captionx' of Button1 (TButton) at MainForm.dfm:3"},
      {"  object R: TRecorder\n    Count = 'x'\n  end\n",
       "Invalid value for property 'Count' of R (TRecorder) at MainForm.dfm:3"},
      {"  object R: TRecorder\n    Mode = tmNone\n  end\n",
       "Invalid value for property 'Mode' of R (TRecorder) at MainForm.dfm:3"},
      {"  object R: TRecorder\n    Count = 4294967296\n  end\n",
       "Integer value out of range for 'Count' at MainForm.dfm:3"},
      {"  object R: TRecorder\n    Items = <\n      item\n        Textx = ''\n      end>\n  end\n",
       "Unknown property 'Items[0].Textx' of R (TRecorder) at MainForm.dfm:5"},
      {"  object R: TRecorder\n    Peer = Nobody\n  end\n",
       "Unresolved reference 'Nobody' in 'Peer' of R (TRecorder) at MainForm.dfm:3"},
      {"  object R: TRecorder\n    Peer = Other.Button\n  end\n",
       "Unresolved reference 'Other.Button' in 'Peer' of R (TRecorder) at MainForm.dfm:3"},
      {"  object R: TRecorder\n    OnPing = Missing\n  end\n",
       "Method 'Missing' not found in TFilerTestForm, for 'OnPing' of R (TRecorder) at "
       "MainForm.dfm:3"},
      {"  object R: TRecorder\n    Count = 1\n    count = 2\n  end\n",
       "Duplicate property 'count' of R (TRecorder) at MainForm.dfm:4"},
      {"  object V: TVendorGrid\n  end\n", "Class TVendorGrid not found, for V at MainForm.dfm:2"},
      {"  object F: TFont\n  end\n",
       "Class TFont is not a component class, for F at MainForm.dfm:2"},
      {"  object R: TRecorder\n  end\n  object r: TRecorder\n  end\n",
       "A component named r already exists at MainForm.dfm:4"},
      {"  object 1R: TRecorder\n  end\n", "Invalid number '1R' at MainForm.dfm:2"},
  };
  for (const Case& c : cases) {
    std::string text = "object FilerForm1: TFilerTestForm\n" + c.body + "end\n";
    EXPECT_EQ(ErrorOf([&] { ReadForm(text, Strict("MainForm.dfm")); }), c.message) << c.body;
  }
  // A method of another signature.
  EXPECT_NE(
      ErrorOf([&] {
        ReadForm(
            "object T: TFilerTestForm\n  object R: TRecorder\n    OnPing = Other\n  end\nend\n",
            Strict());
      }).find("(OnPing of R (TRecorder) at Test.dfm:3)"),
      std::string::npos);
}

TEST(FormReaderTest, AFailedReadLeavesNothingBehind) {
  TFilerTestForm form(nullptr);
  auto* mine = new TRecorder(&form);
  mine->SetName("Mine");
  const std::string text =
      "object FilerForm1: TFilerTestForm\n"
      "  object A: TRecorder\n"
      "  end\n"
      "  object B: TRecorder\n"
      "    Peer = Ghost\n"
      "  end\n"
      "end\n";
  EXPECT_NE(ErrorOf([&] { ReadFormInto(form, text, Strict()); }), "no error");
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0), mine);
}

TEST(FormReaderTest, FailedReadIntoARootEndsItsLoadingState) {
  TFilerTestForm form(nullptr);
  EXPECT_NE(ErrorOf([&] { ReadFormInto(form, "object F: TForm\n  Bogus = 1\nend\n", Strict()); }),
            "no error");
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  EXPECT_FALSE(form.ComponentState().Contains(csReading));
}

TEST(FormReaderTest, InheritedBlocksDescribeComponentsTheRootHas) {
  TFilerTestForm form(nullptr);
  auto* base = new TRecorder(&form);
  base->SetName("Base");
  base->count = 1;
  const std::string text =
      "inherited FilerForm1: TFilerTestForm\n"
      "  inherited Base: TRecorder\n"
      "    Count = 7\n"
      "  end\n"
      "  object Added: TRecorder\n"
      "  end\n"
      "end\n";
  ReadFormInto(form, text, Strict());
  ASSERT_EQ(form.ComponentCount(), 2);
  EXPECT_EQ(form.Components(0), base);
  EXPECT_EQ(base->count, 7);
  const std::string written = WriteForm(form);
  EXPECT_EQ(written.substr(0, 36), "inherited FilerForm1: TFilerTestForm");
  EXPECT_NE(written.find("  inherited Base: TRecorder\n    Count = 7\n  end\n"), std::string::npos);
  // An inherited block for a component of another class is refused.
  EXPECT_EQ(ErrorOf([&] {
              ReadFormInto(
                  form,
                  "object FilerForm1: TFilerTestForm\n  inherited Base: TButton\n  end\nend\n",
                  Strict());
            }),
            "Inherited component Base (TRecorder) is not a TButton at Test.dfm:2");
}

TEST(FormReaderTest, LenientModeKeepsWhatItDoesNotKnow) {
  const std::string text =
      "object Foreign: TVendorMainForm\n"
      "  Left = 10\n"
      "  OldCreateOrder = False\n"
      "  Font.Color = clVendorBlue\n"
      "  OnCreate = FormCreate\n"
      "  object Grid1: TVendorGrid\n"
      "    Left = 4\n"
      "    Vendor.Options = [voA, voB]\n"
      "    Bands = <\n"
      "      item\n"
      "        Caption = 'x'\n"
      "      end>\n"
      "    Blob = {\n"
      "      0102}\n"
      "    object R: TRecorder\n"
      "      Count = 2\n"
      "      Extra = 'kept'\n"
      "      Items = <\n"
      "        item\n"
      "          Text = 'a'\n"
      "          Color = 5\n"
      "        end>\n"
      "      Peer = Other.Thing\n"
      "    end\n"
      "  end\n"
      "  object Timer1: TVendorTimer\n"
      "    Interval = 100\n"
      "  end\n"
      "end\n";
  std::unique_ptr<TComponent> root = ReadForm(text, Lenient());
  ASSERT_NE(As<TUnknownForm>(root.get()), nullptr);
  EXPECT_EQ(FormClassName(*root), "TVendorMainForm");
  EXPECT_EQ(As<TControl>(root.get())->Left(), 10);
  auto* grid = As<TUnknownControl>(root->FindComponent("Grid1"));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->Left(), 4);
  EXPECT_NE(As<TUnknownComponent>(root->FindComponent("Timer1")), nullptr);
  auto* r = As<TRecorder>(root->FindComponent("R"));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->count, 2);

  // Written back with nothing lost; the kept properties follow the known ones of their object.
  const std::string written = WriteForm(*root);
  EXPECT_EQ(written,
            "object Foreign: TVendorMainForm\n"
            "  Left = 10\n" +
                written.substr(written.find("  Top = "),
                               written.find("  Font.Color") - written.find("  Top = ")) +
                "  Font.Color = clVendorBlue\n"
                "  OldCreateOrder = False\n"
                "  OnCreate = FormCreate\n"
                "  object Timer1: TVendorTimer\n"
                "    Interval = 100\n"
                "  end\n"
                "  object Grid1: TVendorGrid\n"
                "    Left = 4\n" +
                written.substr(written.find("    Top = "),
                               written.find("    Vendor.Options") - written.find("    Top = ")) +
                "    Vendor.Options = [voA, voB]\n"
                "    Bands = <\n"
                "      item\n"
                "        Caption = 'x'\n"
                "      end>\n"
                "    Blob = {\n"
                "      0102}\n"
                "    object R: TRecorder\n"
                "      Count = 2\n"
                "      Items = <\n"
                "        item\n"
                "          Text = 'a'\n"
                "          Color = 5\n"
                "        end>\n"
                "      Extra = 'kept'\n"
                "      Peer = Other.Thing\n"
                "    end\n"
                "  end\n"
                "end\n");
  EXPECT_EQ(WriteForm(*ReadForm(written, Lenient())), written);

  // A value that does not fit a known property is written in the property's place, once.
  const std::string unfit = "object A: TForm\n  Left = True\nend\n";
  const std::string unfit_written = WriteForm(*ReadForm(unfit, Lenient()));
  EXPECT_NE(unfit_written.find("  Left = True\n"), std::string::npos);
  EXPECT_EQ(unfit_written.find("  Left = 0\n"), std::string::npos);
  EXPECT_EQ(WriteForm(*ReadForm(unfit_written, Lenient())), unfit_written);

  // Strict mode refuses the same file at its first unknown property.
  EXPECT_EQ(ErrorOf([&] { ReadForm(text, Strict("Foreign.dfm")); }),
            "Unknown property 'OldCreateOrder' of Foreign (TVendorMainForm) at Foreign.dfm:3");
}

TEST(FormReaderTest, NestedObjectsGoToTheirEnclosingComponent) {
  const std::string text =
      "object FilerForm1: TFilerTestForm\n"
      "  object Panel1: TPanel\n"
      "    object Button1: TButton\n"
      "      OnClick = Button1Click\n"
      "    end\n"
      "  end\n"
      "end\n";
  std::unique_ptr<TComponent> root = ReadForm(text, Strict());
  auto* panel = As<TPanel>(root->FindComponent("Panel1"));
  auto* button = As<TButton>(root->FindComponent("Button1"));
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Owner(), root.get());
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(panel->Parent(), root.get());
  button->Click();
  EXPECT_EQ(As<TFilerTestForm>(root.get())->clicks, 1);
  // Written nested again.
  std::string written = WriteForm(*root);
  EXPECT_NE(written.find("  object Panel1: TPanel\n"), std::string::npos);
  EXPECT_NE(written.find("    object Button1: TButton\n"), std::string::npos);
  EXPECT_NE(written.find("      OnClick = Button1Click\n"), std::string::npos);
  EXPECT_EQ(WriteForm(*ReadForm(written, Strict())), written);
}

TEST(FormReaderTest, DesigningStateReachesEveryComponent) {
  TFormReadOptions options = Strict();
  options.designing = true;
  std::unique_ptr<TComponent> root = ReadForm(kRecorderForm, options);
  EXPECT_TRUE(root->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(root->Components(1)->ComponentState().Contains(csDesigning));
}

TEST(FormReaderTest, ReadsAFileAndNamesItInErrors) {
  EXPECT_NE(ErrorOf([] { ReadFormFile("/nonexistent/x.dfm", Strict()); }).find("x.dfm"),
            std::string::npos);
}

}  // namespace
}  // namespace kivo
