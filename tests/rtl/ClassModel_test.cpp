#include "kivo/rtl/ClassModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/rtl/Collection.h"
#include "kivo/rtl/Component.h"
#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TStyle { stBold, stItalic, stUnderline };
const TEnumInfo kAlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo kStyleInfo{"TStyle", {"stBold", "stItalic", "stUnderline"}};

class TOptions : public TPersistent {
  KIVO_CLASS(TOptions, TPersistent)
  int Level() const { return level_; }
  void SetLevel(int v) { level_ = v; }
  void Assign(const TPersistent* source) override {
    if (const auto* o = As<TOptions>(source)) {
      level_ = o->level_;
    } else {
      Inherited::Assign(source);
    }
  }

 private:
  int level_ = 0;
};
KIVO_DEFINE_CLASS(TOptions) { b.Integer("Level", &TOptions::Level, &TOptions::SetLevel); }

class TLine : public TCollectionItem {
  KIVO_CLASS(TLine, TCollectionItem)
  using TCollectionItem::TCollectionItem;
};
KIVO_DEFINE_CLASS(TLine) {}

// A component with one property of every kind.
class TWidget : public TComponent {
  KIVO_CLASS(TWidget, TComponent)

  explicit TWidget(TComponent* owner) : TComponent(owner), lines_(this, TLine::StaticClass()) {}

  int Width() const { return width_; }
  void SetWidth(int v) { width_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }
  TSet<TStyle> Style() const { return style_; }
  void SetStyle(TSet<TStyle> v) { style_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  TOptions* Options() const { return const_cast<TOptions*>(&options_); }
  void SetOptions(TOptions* v) { options_.Assign(v); }
  TOwnedCollection* Lines() const { return const_cast<TOwnedCollection*>(&lines_); }
  void SetLines(TOwnedCollection* v) { lines_.Assign(v); }
  TWidget* Buddy() const { return buddy_; }
  void SetBuddy(TWidget* v) { buddy_ = v; }

  TNotifyEvent OnClick;
  TEvent<void(TObject*, int&)> OnMeasure;

 private:
  int width_ = 0;
  bool visible_ = true;
  TAlignment alignment_ = taLeftJustify;
  TSet<TStyle> style_;
  std::string caption_;
  double ratio_ = 0;
  TOptions options_;
  TOwnedCollection lines_;
  TWidget* buddy_ = nullptr;
};

KIVO_DEFINE_CLASS(TWidget) {
  b.Integer("Width", &TWidget::Width, &TWidget::SetWidth);
  b.Boolean("Visible", &TWidget::Visible, &TWidget::SetVisible).Default(true);
  b.Enumeration("Alignment", kAlignmentInfo, &TWidget::Alignment, &TWidget::SetAlignment)
      .Default(taLeftJustify);
  b.Set("Style", kStyleInfo, &TWidget::Style, &TWidget::SetStyle).Default(TSet<TStyle>{});
  b.String("Caption", &TWidget::Caption, &TWidget::SetCaption);
  b.Float("Ratio", &TWidget::Ratio, &TWidget::SetRatio);
  b.Object("Options", &TWidget::Options, &TWidget::SetOptions);
  b.Collection("Lines", &TWidget::Lines, &TWidget::SetLines);
  b.Component("Buddy", &TWidget::Buddy, &TWidget::SetBuddy);
  b.Event("OnClick", &TWidget::OnClick);
  b.Event("OnMeasure", &TWidget::OnMeasure);
}

// A derived class that declares Width again with a default, and adds one property.
class TWideWidget : public TWidget {
  KIVO_CLASS(TWideWidget, TWidget)
  using TWidget::TWidget;
  int Depth() const { return 7; }
  void SetDepth(int) {}
};
KIVO_DEFINE_CLASS(TWideWidget) {
  b.Integer("Width", &TWideWidget::Width, &TWideWidget::SetWidth).Default(100);
  b.Integer("Depth", &TWideWidget::Depth, &TWideWidget::SetDepth).Stored(false);
}

// A form that publishes methods for event binding.
class TTestForm : public TComponent {
  KIVO_CLASS(TTestForm, TComponent)
  using TComponent::TComponent;
  void ButtonClick(TObject* sender) { clicked_by.push_back(sender); }
  void Measure(TObject*, int& size) { size = 42; }
  std::vector<TObject*> clicked_by;
};
KIVO_DEFINE_CLASS(TTestForm) {
  b.Method("ButtonClick", &TTestForm::ButtonClick);
  b.Method("Measure", &TTestForm::Measure);
}

std::vector<std::string> Names(const std::vector<const TPropInfo*>& props) {
  std::vector<std::string> out;
  for (const TPropInfo* p : props) out.push_back(p->name);
  return out;
}

TEST(ClassModel, ClassNamesParentsAndInheritance) {
  TWideWidget w(nullptr);
  EXPECT_EQ(w.ClassName(), "TWideWidget");
  EXPECT_EQ(w.ClassType(), TWideWidget::StaticClass());
  EXPECT_EQ(w.ClassType()->Parent(), TWidget::StaticClass());
  EXPECT_TRUE(w.InheritsFrom(TComponent::StaticClass()));
  EXPECT_TRUE(w.InheritsFrom(TObject::StaticClass()));
  EXPECT_TRUE(w.InheritsFrom(TWideWidget::StaticClass()));
  EXPECT_FALSE(w.InheritsFrom(TCollection::StaticClass()));
  EXPECT_FALSE(w.InheritsFrom(nullptr));
  EXPECT_FALSE(TWidget::StaticClass()->InheritsFrom(TWideWidget::StaticClass()));
  EXPECT_EQ(TObject::StaticClass()->Parent(), nullptr);
  EXPECT_EQ(As<TWidget>(static_cast<TObject*>(&w)), &w);
  EXPECT_EQ(As<TCollection>(static_cast<TObject*>(&w)), nullptr);
}

TEST(ClassModel, FindClassIgnoresCaseAndKnowsThePlatformClasses) {
  for (const char* name : {"TObject", "TPersistent", "TComponent", "TCollection",
                           "TOwnedCollection", "TCollectionItem", "TList", "TStrings",
                           "TStringList", "TStream", "TMemoryStream", "TFileStream"}) {
    SCOPED_TRACE(name);
    ASSERT_NE(FindClass(name), nullptr);
    EXPECT_EQ(FindClass(name)->Name(), name);
  }
  EXPECT_EQ(FindClass("TComponent"), TComponent::StaticClass());
  EXPECT_EQ(FindClass("tcomponent"), TComponent::StaticClass());
  EXPECT_EQ(FindClass("TWIDGET"), TWidget::StaticClass());  // registered by its definition
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  try {
    GetClass("TNoSuchClass");
    FAIL() << "no error";
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), "Class TNoSuchClass not found");
  }
  UnRegisterClass(TWideWidget::StaticClass());
  EXPECT_EQ(FindClass("TWideWidget"), nullptr);
  RegisterClass(TWideWidget::StaticClass());
  RegisterClass(TWideWidget::StaticClass());  // again: nothing happens
  EXPECT_EQ(FindClass("twidewidget"), TWideWidget::StaticClass());
}

TEST(ClassModel, AnotherClassWithATakenNameIsRefused) {
  static TClassInfo impostor("TWidget", TComponent::StaticClass());
  try {
    RegisterClass(&impostor);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "A class named TWidget already exists");
  }
  EXPECT_EQ(FindClass("TWidget"), TWidget::StaticClass());
}

TEST(ClassModel, FactoriesOnlyWhereAClassCanBeCreated) {
  EXPECT_TRUE(TWidget::StaticClass()->CanCreateComponent());
  EXPECT_FALSE(TWidget::StaticClass()->CanCreateItem());
  EXPECT_TRUE(TLine::StaticClass()->CanCreateItem());
  EXPECT_FALSE(TOptions::StaticClass()->CanCreateComponent());
  TComponent owner(nullptr);
  TComponent* w = GetClass("TWideWidget")->CreateComponent(&owner);
  EXPECT_EQ(w->ClassName(), "TWideWidget");
  EXPECT_EQ(owner.Components(0), w);
  try {
    TOptions::StaticClass()->CreateComponent(&owner);
    FAIL() << "no error";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "Class TOptions cannot be created");
  }
}

TEST(ClassModel, PropertiesInDeclarationOrderAncestorsFirst) {
  EXPECT_EQ(
      Names(TWidget::StaticClass()->Properties()),
      (std::vector<std::string>{"Name", "Tag", "Width", "Visible", "Alignment", "Style", "Caption",
                                "Ratio", "Options", "Lines", "Buddy", "OnClick", "OnMeasure"}));
  // A property declared again keeps its place; the new declaration is the one found.
  const auto props = TWideWidget::StaticClass()->Properties();
  EXPECT_EQ(props.size(), 14u);
  EXPECT_EQ(props[2]->name, "Width");
  EXPECT_EQ(props[2]->owner, TWideWidget::StaticClass());
  EXPECT_EQ(props.back()->name, "Depth");
  EXPECT_EQ(TWideWidget::StaticClass()->FindProperty("width")->default_ordinal, 100);
  EXPECT_EQ(TWideWidget::StaticClass()->FindProperty("Nope"), nullptr);
}

TEST(ClassModel, PropertyKindsAndAccessors) {
  TWidget w(nullptr);
  TWidget buddy(nullptr);
  TClass cls = w.ClassType();
  struct Row {
    const char* name;
    TPropKind kind;
  } rows[] = {
      {"Width", TPropKind::kInteger},         {"Visible", TPropKind::kBoolean},
      {"Alignment", TPropKind::kEnumeration}, {"Style", TPropKind::kSet},
      {"Caption", TPropKind::kString},        {"Ratio", TPropKind::kFloat},
      {"Options", TPropKind::kObject},        {"Lines", TPropKind::kCollection},
      {"Buddy", TPropKind::kComponent},       {"OnClick", TPropKind::kEvent},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_NE(cls->FindProperty(r.name), nullptr);
    EXPECT_EQ(cls->FindProperty(r.name)->kind, r.kind);
    EXPECT_FALSE(cls->FindProperty(r.name)->IsReadOnly());
  }
  cls->FindProperty("Width")->set_ordinal(w, 12);
  cls->FindProperty("Visible")->set_ordinal(w, 0);
  cls->FindProperty("Alignment")->set_ordinal(w, taCenter);
  cls->FindProperty("Style")->set_ordinal(w, TSet<TStyle>{stBold, stUnderline}.Bits());
  cls->FindProperty("Caption")->set_string(w, "OK");
  cls->FindProperty("Ratio")->set_float(w, 0.5);
  cls->FindProperty("Buddy")->set_object(w, &buddy);
  EXPECT_EQ(w.Width(), 12);
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.Alignment(), taCenter);
  EXPECT_TRUE(w.Style().Contains(stUnderline));
  EXPECT_FALSE(w.Style().Contains(stItalic));
  EXPECT_EQ(w.Caption(), "OK");
  EXPECT_EQ(w.Ratio(), 0.5);
  EXPECT_EQ(w.Buddy(), &buddy);
  EXPECT_EQ(cls->FindProperty("Alignment")->get_ordinal(w), taCenter);
  EXPECT_EQ(kAlignmentInfo.NameOf(cls->FindProperty("Alignment")->get_ordinal(w)), "taCenter");
  EXPECT_EQ(kAlignmentInfo.OrdinalOf("TACENTER"), taCenter);
  EXPECT_EQ(kAlignmentInfo.OrdinalOf("taNone"), -1);
  EXPECT_EQ(cls->FindProperty("Options")->get_object(w), w.Options());
  EXPECT_EQ(cls->FindProperty("Options")->value_class(), TOptions::StaticClass());
  EXPECT_EQ(cls->FindProperty("Lines")->value_class(), TOwnedCollection::StaticClass());
  EXPECT_EQ(cls->FindProperty("Buddy")->value_class(), TWidget::StaticClass());

  // Writing an owned sub-object copies into it; the owned object stays.
  TOptions source;
  source.SetLevel(3);
  cls->FindProperty("Options")->set_object(w, &source);
  EXPECT_EQ(w.Options()->Level(), 3);
  EXPECT_NE(w.Options(), &source);
}

TEST(ClassModel, DefaultsAndStoredDecideWhatIsWritten) {
  TWideWidget w(nullptr);
  TClass cls = w.ClassType();
  struct Row {
    const char* name;
    bool is_default;
  } rows[] = {
      {"Tag", true},      // 0 is its default
      {"Width", false},   // 0, but the redeclared default is 100
      {"Visible", true},  // true by default
      {"Alignment", true}, {"Style", true}, {"Caption", true},  // strings default to empty
      {"Ratio", true},                                          // floats to 0
      {"Options", false},                                       // object-valued: no default
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(cls->FindProperty(r.name)->IsDefault(w), r.is_default);
  }
  w.SetWidth(100);
  w.SetCaption("x");
  EXPECT_TRUE(cls->FindProperty("Width")->IsDefault(w));
  EXPECT_FALSE(cls->FindProperty("Caption")->IsDefault(w));
  EXPECT_FALSE(cls->FindProperty("Name")->IsStored(w));
  EXPECT_FALSE(cls->FindProperty("Depth")->IsStored(w));
  EXPECT_TRUE(cls->FindProperty("Width")->IsStored(w));
  // An ordinal property without a declared default is always written.
  EXPECT_FALSE(TWidget::StaticClass()->FindProperty("Width")->IsDefault(w));
}

TEST(ClassModel, EventsBindToPublishedMethodsByName) {
  TTestForm form(nullptr);
  auto* w = new TWidget(&form);
  const TPropInfo* on_click = w->ClassType()->FindProperty("OnClick");
  const TMethodInfo* method = form.ClassType()->FindMethod("buttonclick");
  ASSERT_NE(method, nullptr);
  on_click->set_method(*w, &form, method);
  EXPECT_EQ(on_click->get_method(*w), "ButtonClick");
  w->OnClick(w);
  EXPECT_EQ(form.clicked_by, std::vector<TObject*>{w});

  const TPropInfo* on_measure = w->ClassType()->FindProperty("OnMeasure");
  on_measure->set_method(*w, &form, form.ClassType()->FindMethod("Measure"));
  int size = 0;
  w->OnMeasure(w, size);
  EXPECT_EQ(size, 42);

  try {
    on_click->set_method(*w, &form, form.ClassType()->FindMethod("Measure"));
    FAIL() << "no error";
  } catch (const EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Method Measure does not match the signature of event OnClick");
  }
  EXPECT_EQ(on_click->get_method(*w), "ButtonClick");

  // Bound in code: no method name to write; cleared: unbound.
  w->OnClick = [](TObject*) {};
  EXPECT_EQ(on_click->get_method(*w), "");
  on_click->set_method(*w, &form, nullptr);
  EXPECT_FALSE(static_cast<bool>(w->OnClick));
  EXPECT_EQ(form.ClassType()->FindMethod("Nope"), nullptr);
}

}  // namespace
}  // namespace kivo
