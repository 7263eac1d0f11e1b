#include "kivo/rtl/Controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/Buttons.h"
#include "kivo/rtl/ComCtrls.h"
#include "kivo/rtl/ExtCtrls.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/Menus.h"
#include "kivo/rtl/StdCtrls.h"

namespace kivo {
namespace {

// The class's ancestors, from the class itself up to TPersistent, joined by " > ".
std::string Chain(TClass cls) {
  std::string chain;
  for (TClass c = cls; c != nullptr; c = c->Parent()) {
    if (!chain.empty()) chain += " > ";
    chain += c->Name();
    if (c->Name() == "TPersistent") break;
  }
  return chain;
}

// Nearest-class dispatch depends on these chains being exactly those of the classic library.
TEST(Controls, EveryClassHasTheClassicAncestry) {
  const std::string kCtl = "TControl > TComponent > TPersistent";
  const std::string kWin = "TWinControl > " + kCtl;
  const std::string kGraphic = "TGraphicControl > " + kCtl;
  const std::string kCustom = "TCustomControl > " + kWin;
  const std::string kButton = "TButtonControl > " + kWin;
  const std::string kList = "TCustomListControl > " + kWin;
  const std::string kScroll = "TScrollingWinControl > " + kWin;
  const std::string kItem = "TCollectionItem > TPersistent";
  const std::string kColl = "TCollection > TPersistent";
  const std::string kAction =
      "TCustomAction > TContainedAction > TBasicAction > TComponent > TPersistent";
  struct Row {
    const char* name;
    std::string chain;
  };
  const Row rows[] = {
      {"TFont", "TFont > TGraphicsObject > TPersistent"},
      {"TControl", kCtl},
      {"TGraphicControl", kGraphic},
      {"TWinControl", kWin},
      {"TCustomControl", kCustom},
      {"TScrollingWinControl", kScroll},
      {"TForm", "TForm > TCustomForm > " + kScroll},
      {"TFrame", "TFrame > TCustomFrame > " + kScroll},
      {"TDataModule", "TDataModule > TComponent > TPersistent"},
      {"TScreen", "TScreen > TComponent > TPersistent"},
      {"TButton", "TButton > " + kButton},
      {"TCheckBox", "TCheckBox > TCustomCheckBox > " + kButton},
      {"TRadioButton", "TRadioButton > " + kButton},
      {"TComboBox", "TComboBox > TCustomComboBox > TCustomCombo > " + kList},
      {"TListBox", "TListBox > TCustomListBox > TCustomMultiSelectListControl > " + kList},
      {"TLabel", "TLabel > TCustomLabel > " + kGraphic},
      {"TEdit", "TEdit > TCustomEdit > " + kWin},
      {"TMemo", "TMemo > TCustomMemo > TCustomEdit > " + kWin},
      {"TGroupBox", "TGroupBox > TCustomGroupBox > " + kCustom},
      {"TPanel", "TPanel > TCustomPanel > " + kCustom},
      {"TSpeedButton", "TSpeedButton > " + kGraphic},
      {"TMainMenu", "TMainMenu > TMenu > TComponent > TPersistent"},
      {"TPopupMenu", "TPopupMenu > TMenu > TComponent > TPersistent"},
      {"TMenuItem", "TMenuItem > TComponent > TPersistent"},
      {"TAction", "TAction > " + kAction},
      {"TActionList", "TActionList > TCustomActionList > TComponent > TPersistent"},
      {"TTabControl", "TTabControl > TCustomTabControl > " + kWin},
      {"TPageControl", "TPageControl > TCustomTabControl > " + kWin},
      {"TTabSheet", "TTabSheet > " + kWin},
      {"TTreeView", "TTreeView > TCustomTreeView > " + kWin},
      {"TTreeNodes", "TTreeNodes > TPersistent"},
      {"TTreeNode", "TTreeNode > TPersistent"},
      {"TListView", "TListView > TCustomListView > " + kWin},
      {"TListColumns", "TListColumns > " + kColl},
      {"TListColumn", "TListColumn > " + kItem},
      {"TListItems", "TListItems > TPersistent"},
      {"TListItem", "TListItem > TPersistent"},
      {"THeaderControl", "THeaderControl > TCustomHeaderControl > " + kWin},
      {"THeaderSections", "THeaderSections > " + kColl},
      {"THeaderSection", "THeaderSection > " + kItem},
      {"TStatusBar", "TStatusBar > TCustomStatusBar > " + kWin},
      {"TStatusPanels", "TStatusPanels > " + kColl},
      {"TStatusPanel", "TStatusPanel > " + kItem},
      {"TToolBar", "TToolBar > TToolWindow > " + kWin},
      {"TToolButton", "TToolButton > " + kGraphic},
      {"TCoolBar", "TCoolBar > TToolWindow > " + kWin},
      {"TCoolBands", "TCoolBands > " + kColl},
      {"TCoolBand", "TCoolBand > " + kItem},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TClass cls = FindClass(row.name);
    ASSERT_NE(cls, nullptr) << "not registered";
    EXPECT_EQ(Chain(cls), row.chain);
  }
}

// Creating every component class by name and destroying the owner must leave nothing behind.
TEST(Controls, EveryComponentClassCanBeCreatedByNameOnAForm) {
  const char* names[] = {
      "TButton",     "TCheckBox", "TRadioButton", "TComboBox",      "TListBox",     "TLabel",
      "TEdit",       "TMemo",     "TGroupBox",    "TPanel",         "TSpeedButton", "TMainMenu",
      "TPopupMenu",  "TMenuItem", "TAction",      "TActionList",    "TTabControl",  "TPageControl",
      "TTabSheet",   "TTreeView", "TListView",    "THeaderControl", "TStatusBar",   "TToolBar",
      "TToolButton", "TCoolBar",  "TFrame",       "TDataModule"};
  auto* form = new TForm(nullptr);
  for (const char* name : names) {
    SCOPED_TRACE(name);
    TComponent* c = GetClass(name)->CreateComponent(form);
    EXPECT_EQ(c->ClassName(), name);
    if (auto* control = As<TControl>(c)) control->SetParent(form);
  }
  EXPECT_EQ(form->ComponentCount(), static_cast<int>(std::size(names)));
  delete form;
}

// The text property a form file stores for each text-bearing control reaches the control's Text.
TEST(Controls, PublishedTextPropertyIsTheControlsText) {
  struct Row {
    const char* cls;
    const char* prop;
  };
  const Row rows[] = {
      {"TButton", "Caption"},      {"TCheckBox", "Caption"},   {"TRadioButton", "Caption"},
      {"TLabel", "Caption"},       {"TGroupBox", "Caption"},   {"TPanel", "Caption"},
      {"TSpeedButton", "Caption"}, {"TToolButton", "Caption"}, {"TTabSheet", "Caption"},
      {"TForm", "Caption"},        {"TEdit", "Text"},          {"TComboBox", "Text"}};
  TForm form(nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.cls);
    auto* control = static_cast<TControl*>(GetClass(row.cls)->CreateComponent(&form));
    const TPropInfo* prop = control->ClassType()->FindProperty(row.prop);
    ASSERT_NE(prop, nullptr);
    prop->set_string(*control, "Hello");
    EXPECT_EQ(control->GetText(), "Hello");
    control->SetText("World");
    EXPECT_EQ(prop->get_string(*control), "World");
  }
}

TEST(Controls, PublishedPropertiesComeInDeclarationOrderWithDefaults) {
  TForm form(nullptr);
  TButton button(&form);
  std::vector<std::string> names;
  for (const TPropInfo* p : TButton::StaticClass()->Properties()) names.push_back(p->name);
  const std::vector<std::string> expected = {
      "Name",    "Tag",     "Left",   "Top",     "Width",   "Height",
      "Action",  "Align",   "Color",  "Enabled", "Font",    "Hint",
      "Visible", "OnClick", "Cancel", "Caption", "Default", "ModalResult"};
  EXPECT_EQ(names, expected);
  const TClass cls = TButton::StaticClass();
  EXPECT_TRUE(cls->FindProperty("Visible")->IsDefault(button));
  button.SetVisible(false);
  EXPECT_FALSE(cls->FindProperty("Visible")->IsDefault(button));
  // Forms are created hidden, so their default is false.
  EXPECT_TRUE(TForm::StaticClass()->FindProperty("Visible")->IsDefault(form));
  EXPECT_EQ(cls->FindProperty("Font")->get_object(button), button.Font());
}

// The platform's component families. The test program's own fixture classes derive from
// TComponent directly and are left out: some declare defaults that differ on purpose.
bool IsPlatformComponentClass(TClass cls) {
  for (TClass root : {TControl::StaticClass(), TMenu::StaticClass(), TMenuItem::StaticClass(),
                      TBasicAction::StaticClass(), TCustomActionList::StaticClass(),
                      TDataModule::StaticClass(), TScreen::StaticClass()}) {
    if (cls->InheritsFrom(root)) return true;
  }
  return cls == TComponent::StaticClass();
}

// Expects every published property of `object` with a declared default to have that value,
// looking into sub-objects (a font) and into a new item of each collection.
void ExpectDeclaredDefaults(TObject& object, const std::string& path) {
  for (const TPropInfo* p : object.ClassType()->Properties()) {
    const std::string name = path + p->name;
    if (p->kind == TPropKind::kObject) {
      ExpectDeclaredDefaults(*p->get_object(object), name + ".");
    } else if (p->kind == TPropKind::kCollection) {
      auto* items = static_cast<TCollection*>(p->get_object(object));
      ExpectDeclaredDefaults(*items->Add(), name + "[0].");
    } else if (p->has_default && !p->IsDefault(object)) {
      std::ostringstream value;
      switch (p->kind) {
        case TPropKind::kString:
          value << "'" << p->get_string(object) << "' instead of '" << p->default_string << "'";
          break;
        case TPropKind::kFloat:
          value << p->get_float(object) << " instead of " << p->default_float;
          break;
        default: {
          // A named value (a colour) by its name.
          auto show = [p](int64_t v) {
            const std::string* name = p->ident_map != nullptr ? p->ident_map->ToName(v) : nullptr;
            return name != nullptr ? *name : std::to_string(v);
          };
          value << show(p->get_ordinal(object)) << " instead of " << show(p->default_ordinal);
        }
      }
      ADD_FAILURE() << object.ClassName() << ": " << name << " is " << value.str();
    }
  }
}

// A default that differs from what the constructor sets makes a writer write the value needlessly
// or, worse, lets a value equal to the wrong default be lost.
TEST(Controls, EveryDeclaredDefaultIsWhatTheConstructorSets) {
  TComponent root(nullptr);
  int checked = 0;
  for (TClass cls : RegisteredClasses()) {
    if (!cls->CanCreateComponent() || !IsPlatformComponentClass(cls)) continue;
    SCOPED_TRACE(cls->Name());
    ExpectDeclaredDefaults(*cls->CreateComponent(&root), "");
    ++checked;
  }
  EXPECT_GE(checked, 30);  // the families are found at all
}

TEST(Controls, ControlsThatShowTextToEditOrPickFromUseTheWindowColour) {
  struct Row {
    const char* cls;
    TColor color;
  };
  const Row rows[] = {
      {"TEdit", clWindow},     {"TMemo", clWindow},     {"TListBox", clWindow},
      {"TComboBox", clWindow}, {"TTreeView", clWindow}, {"TListView", clWindow},
      {"TButton", clBtnFace},  {"TLabel", clBtnFace},   {"TPanel", clBtnFace},
      {"TForm", clBtnFace},
  };
  TComponent root(nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.cls);
    auto* control = As<TControl>(GetClass(row.cls)->CreateComponent(&root));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->Color(), row.color);
    const TPropInfo* prop = control->ClassType()->FindProperty("Color");
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(prop->default_ordinal, row.color);
  }
}

// --- Nesting in form files

// Copies the nesting below `source` to `target` as a form file does: the writer walks
// GetChildren, the reader creates each child by class name, owned by `form`, and hands it to
// the component it was read in.
void CopyNesting(const TComponent& source, TComponent* target, TComponent* form) {
  std::vector<TComponent*> children;
  source.GetChildren(children);
  for (const TComponent* child : children) {
    TComponent* copy = GetClass(child->ClassName())->CreateComponent(form);
    copy->SetName(child->Name());
    copy->SetParentComponent(target);
    CopyNesting(*child, copy, form);
  }
}

std::string ControlOutline(const TWinControl* parent) {
  std::string out;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    const TControl* c = parent->Controls(i);
    if (!out.empty()) out += " ";
    out += c->Name();
    if (const auto* w = As<TWinControl>(c); w != nullptr && w->ControlCount() > 0) {
      out += "(" + ControlOutline(w) + ")";
    }
  }
  return out;
}

std::string MenuOutline(const TMenuItem* item) {
  std::string out;
  for (int i = 0; i < item->Count(); ++i) {
    if (!out.empty()) out += " ";
    out += item->Items(i)->Name();
    if (item->Items(i)->Count() > 0) out += "(" + MenuOutline(item->Items(i)) + ")";
  }
  return out;
}

template <class T>
T* Named(TComponent* form, const char* name) {
  auto* c = new T(form);
  c->SetName(name);
  return c;
}

template <class T>
T* Child(TComponent* form, const char* name, TWinControl* parent) {
  T* c = Named<T>(form, name);
  c->SetParent(parent);
  return c;
}

TEST(Controls, NestingSurvivesWritingChildrenAndReadingThemBackIntoTheirParents) {
  struct Row {
    const char* name;
    // Builds the source on `form` and answers the component whose nesting is copied.
    std::function<TComponent*(TForm* form)> build;
    // Describes the nesting through the component's own interface.
    std::function<std::string(TComponent* top)> outline;
    const char* expected;
  };
  const Row rows[] = {
      {"child controls",
       [](TForm* form) -> TComponent* {
         auto* panel = Child<TPanel>(form, "Panel", form);
         Child<TButton>(form, "B", panel);
         auto* group = Child<TGroupBox>(form, "Group", panel);
         Child<TLabel>(form, "L", group);
         Child<TEdit>(form, "E", form);
         Child<TButton>(form, "A", panel);
         return form;
       },
       [](TComponent* top) { return ControlOutline(As<TWinControl>(top)); },
       "Panel(B Group(L) A) E"},
      {"pages in page order",
       [](TForm* form) -> TComponent* {
         auto* pages = Child<TPageControl>(form, "Pages", form);
         for (const char* name : {"One", "Two", "Three"}) {
           Named<TTabSheet>(form, name)->SetPageControl(pages);
         }
         pages->Pages(2)->SetPageIndex(0);
         Child<TButton>(form, "OnTwo", pages->Pages(2));
         return pages;
       },
       [](TComponent* top) {
         auto* pages = As<TPageControl>(top);
         std::string out;
         for (int i = 0; i < pages->PageCount(); ++i) {
           out += pages->Pages(i)->Name() + "[" + ControlOutline(pages->Pages(i)) + "] ";
         }
         return out + "controls " + std::to_string(pages->ControlCount());
       },
       "Three[] One[] Two[OnTwo] controls 3"},
      {"tool buttons",
       [](TForm* form) -> TComponent* {
         auto* bar = Child<TToolBar>(form, "Bar", form);
         Child<TToolButton>(form, "New", bar);
         Child<TEdit>(form, "Find", bar);
         Child<TToolButton>(form, "Open", bar);
         return bar;
       },
       [](TComponent* top) {
         auto* bar = As<TToolBar>(top);
         std::string out;
         for (int i = 0; i < bar->ButtonCount(); ++i) out += bar->Buttons(i)->Name() + " ";
         return out + "| " + ControlOutline(bar);
       },
       "New Open | New Find Open"},
      {"menu items",
       [](TForm* form) -> TComponent* {
         auto* menu = Named<TMainMenu>(form, "Menu");
         auto* file = Named<TMenuItem>(form, "File");
         menu->Items()->Add(file);
         file->Add(Named<TMenuItem>(form, "Open"));
         auto* recent = Named<TMenuItem>(form, "Recent");
         file->Add(recent);
         recent->Add(Named<TMenuItem>(form, "One"));
         menu->Items()->Add(Named<TMenuItem>(form, "Edit"));
         return menu;
       },
       [](TComponent* top) { return MenuOutline(As<TMenu>(top)->Items()); },
       "File(Open Recent(One)) Edit"},
      {"actions",
       [](TForm* form) -> TComponent* {
         auto* list = Named<TActionList>(form, "Actions");
         for (const char* name : {"Save", "Load", "Quit"}) {
           Named<TAction>(form, name)->SetActionList(list);
         }
         return list;
       },
       [](TComponent* top) {
         auto* list = As<TActionList>(top);
         std::string out;
         for (int i = 0; i < list->ActionCount(); ++i) out += list->Actions(i)->Name() + " ";
         return out;
       },
       "Save Load Quit "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TForm source(nullptr);
    TComponent* top = row.build(&source);
    ASSERT_EQ(row.outline(top), row.expected);
    TForm target(nullptr);
    TComponent* copy = &target;
    if (top != &source) {
      copy = GetClass(top->ClassName())->CreateComponent(&target);
      copy->SetName(top->Name());
      if (auto* control = As<TControl>(copy)) control->SetParent(&target);
    }
    CopyNesting(*top, copy, &target);
    EXPECT_EQ(row.outline(copy), row.expected);
  }
}

// --- Parent tree

class ParentTree : public ::testing::Test {
 protected:
  ParentTree() : form(new TForm(nullptr)) {}
  ~ParentTree() override { delete form; }

  template <class T>
  T* Make(const std::string& name, TWinControl* parent) {
    auto* c = new T(form);
    c->SetName(name);
    c->SetParent(parent);
    return c;
  }
  static std::vector<std::string> Children(const TWinControl* w) {
    std::vector<std::string> out;
    for (int i = 0; i < w->ControlCount(); ++i) out.push_back(w->Controls(i)->Name());
    return out;
  }

  TForm* form;
};

TEST_F(ParentTree, SetParentMovesAControlBetweenParentsKeepingTheOthersInOrder) {
  auto* left = Make<TPanel>("Left", form);
  auto* right = Make<TPanel>("Right", form);
  auto* a = Make<TButton>("A", left);
  Make<TButton>("B", left);
  Make<TButton>("C", left);
  a->SetParent(right);
  EXPECT_EQ(Children(left), (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(Children(right), (std::vector<std::string>{"A"}));
  EXPECT_EQ(a->Parent(), right);
  right->RemoveControl(a);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(right->ControlCount(), 0);
  left->InsertControl(a);
  EXPECT_EQ(Children(left), (std::vector<std::string>{"B", "C", "A"}));
  left->RemoveControl(right);  // not a child of left: nothing happens
  EXPECT_EQ(right->Parent(), form);
}

TEST_F(ParentTree, AControlCannotBeParentedToItselfOrItsDescendants) {
  auto* outer = Make<TPanel>("Outer", form);
  auto* inner = Make<TPanel>("Inner", outer);
  for (TWinControl* target : {static_cast<TWinControl*>(outer), static_cast<TWinControl*>(inner)}) {
    SCOPED_TRACE(target->Name());
    try {
      outer->SetParent(target);
      FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
      EXPECT_STREQ(e.what(), "A control cannot have itself as its parent");
    }
    EXPECT_EQ(outer->Parent(), form);
    EXPECT_EQ(Children(form), (std::vector<std::string>{"Outer"}));
  }
  EXPECT_TRUE(form->ContainsControl(inner));
  EXPECT_FALSE(inner->ContainsControl(outer));
}

TEST_F(ParentTree, SetParentComponentParentsToWindowedControlsOnly) {
  auto* panel = Make<TPanel>("Panel", form);
  auto* label = Make<TLabel>("Label", form);
  auto* action = new TAction(form);
  auto* button = Make<TButton>("Button", form);
  button->SetParentComponent(panel);
  EXPECT_EQ(button->Parent(), panel);
  for (TComponent* other : {static_cast<TComponent*>(label), static_cast<TComponent*>(action),
                            static_cast<TComponent*>(nullptr)}) {
    button->SetParentComponent(other);
    EXPECT_EQ(button->Parent(), panel);
  }
  try {
    panel->SetParentComponent(panel);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "A control cannot have itself as its parent");
  }
  // A control owned elsewhere is still a child.
  TButton foreign(nullptr);
  foreign.SetName("Foreign");
  foreign.SetParentComponent(panel);
  std::vector<TComponent*> children;
  panel->GetChildren(children);
  EXPECT_EQ(children, (std::vector<TComponent*>{button, &foreign}));
  children.clear();
  label->GetChildren(children);
  EXPECT_TRUE(children.empty());
}

TEST_F(ParentTree, ControlsIndexOutOfRangeRaisesTheListError) {
  Make<TButton>("A", form);
  try {
    form->Controls(1);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (1)");
  }
}

TEST_F(ParentTree, AChildDestroyedFirstLeavesItsParent) {
  auto* panel = Make<TPanel>("Panel", form);
  auto* a = Make<TButton>("A", panel);
  Make<TButton>("B", panel);
  delete a;
  EXPECT_EQ(Children(panel), (std::vector<std::string>{"B"}));
  EXPECT_EQ(form->FindComponent("A"), nullptr);
}

TEST_F(ParentTree, AParentDestroyedFirstDetachesTheChildrenItDoesNotOwn) {
  auto* panel = Make<TPanel>("Panel", form);
  auto* a = Make<TButton>("A", panel);
  auto* owned = new TButton(panel);  // owned by the panel: destroyed with it
  owned->SetParent(panel);
  delete panel;
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(form->FindComponent("A"), a);
  EXPECT_EQ(Children(form), (std::vector<std::string>{}));
}

// Both creation orders: the form destroys the panel before or after the controls on it.
TEST(ControlsTeardown, FormDestroysControlsParentedToPanelsInEitherOrder) {
  for (bool panel_first : {true, false}) {
    SCOPED_TRACE(panel_first ? "panel created first" : "controls created first");
    auto* form = new TForm(nullptr);
    TPanel* panel = nullptr;
    if (panel_first) panel = new TPanel(form);
    auto* a = new TButton(form);
    auto* b = new TEdit(form);
    auto* nested = new TGroupBox(form);
    auto* c = new TLabel(form);
    if (!panel_first) panel = new TPanel(form);
    panel->SetParent(form);
    nested->SetParent(panel);
    a->SetParent(panel);
    b->SetParent(nested);
    c->SetParent(nested);
    delete form;  // AddressSanitizer reports any use of a destroyed parent or child
  }
}

TEST(ControlsTeardown, AWindowedControlWithoutOwnerLeavesItsChildrenDetached) {
  auto* child = new TButton(nullptr);
  {
    TPanel panel(nullptr);
    child->SetParent(&panel);
  }
  EXPECT_EQ(child->Parent(), nullptr);
  delete child;
}

// --- Fonts

TEST(Controls, FontAssignCopiesEveryAttributeAndReportsOnce) {
  TFont source;
  source.SetName("Arial");
  source.SetSize(12);
  source.SetColor(clRed);
  source.SetStyle({fsBold, fsStrikeOut});
  source.SetCharset(RUSSIAN_CHARSET);
  TButton button(nullptr);
  int changes = 0;
  button.Font()->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, button.Font());
    ++changes;
  };
  button.SetFont(&source);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(button.Font()->Equals(source));
  EXPECT_EQ(button.Font()->Name(), "Arial");
  EXPECT_EQ(button.Font()->Style(), (TFontStyles{fsBold, fsStrikeOut}));
  EXPECT_EQ(button.Font()->Charset(), RUSSIAN_CHARSET);
  // A copy, not a share.
  source.SetSize(20);
  EXPECT_EQ(button.Font()->Size(), 12);
  // Setting an attribute to its value reports nothing.
  button.Font()->SetSize(12);
  EXPECT_EQ(changes, 1);
}

TEST(Controls, FontAssignFromAnotherClassRaisesTheAssignError) {
  TFont font;
  TStringList list;
  try {
    font.Assign(&list);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TStringList to a TFont");
  }
}

}  // namespace
}  // namespace kivo
