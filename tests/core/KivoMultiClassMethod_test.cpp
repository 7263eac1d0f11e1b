#include "kivo/core/KivoMultiClassMethod.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/Buttons.h"
#include "kivo/rtl/ComCtrls.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/ExtCtrls.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/Menus.h"
#include "kivo/rtl/StdCtrls.h"
#include "support/ClassMethods.h"
#include "support/Errors.h"

namespace kivo {
namespace {

// A page control of the application's own, for lookups of classes below a registered one.
class TAppPageControl : public TPageControl {
  KIVO_CLASS(TAppPageControl, TPageControl)
  explicit TAppPageControl(TComponent* owner) : TPageControl(owner) {}
};
KIVO_DEFINE_CLASS(TAppPageControl) {}

// A lookup that records every key it is asked for and answers "<key>!" (or what `table` says).
// With `fail_at` = k, the k-th call raises Exception "lookup failed" instead.
class RecordingLocate : public IDataLocate {
 public:
  std::string GetDisplayValue(const std::string& dd_key, const std::string& code_page,
                              const std::string& seq_no) override {
    asked.push_back(dd_key);
    arguments.insert(code_page + "/" + seq_no);
    if (fail_at > 0 && static_cast<int>(asked.size()) == fail_at) {
      throw Exception("lookup failed");
    }
    auto found = table.find(dd_key);
    return found != table.end() ? found->second : dd_key + "!";
  }

  std::map<std::string, std::string> table;
  std::vector<std::string> asked;
  std::set<std::string> arguments;  // "code page/sequence number" of every call
  int fail_at = 0;
};

void Dummy1(IDataLocate&, TObject*, const std::string&, const std::string&, TFont*) {}
void Dummy2(IDataLocate&, TObject*, const std::string&, const std::string&, TFont*) {}

// The nodes of `view`, one line each, indented by two spaces per level.
std::string TreeText(const TCustomTreeView& view) {
  std::string text;
  for (int i = 0; i < view.Items()->Count(); ++i) {
    const TTreeNode* node = view.Items()->Item(i);
    text += std::string(2 * node->Level(), ' ') + node->Text() + "\n";
  }
  return text;
}

// The shape of `storage` as DumpToTree shows it.
std::string Dump(const TMultiClassMethodStorage& storage) {
  TTreeView view(nullptr);
  storage.DumpToTree(view);
  EXPECT_EQ(view.Items()->UpdateCount(), 0);
  return TreeText(view);
}

// The classes of the standard handlers, in their registration order.
std::vector<TClass> StandardClasses() {
  return {TCustomControl::StaticClass(),
          TCustomTabControl::StaticClass(),
          TPageControl::StaticClass(),
          TButtonControl::StaticClass(),
          TCustomComboBox::StaticClass(),
          TCustomTreeView::StaticClass(),
          TCustomListView::StaticClass(),
          TCustomListBox::StaticClass(),
          TCustomHeaderControl::StaticClass(),
          TCustomStatusBar::StaticClass(),
          TCustomLabel::StaticClass(),
          TSpeedButton::StaticClass(),
          TToolBar::StaticClass(),
          TCoolBar::StaticClass(),
          TCustomForm::StaticClass(),
          TMenu::StaticClass()};
}

const char kStandardTree[] =
    "TCustomControl\n"
    "TCustomTabControl\n"
    "  TPageControl\n"
    "TButtonControl\n"
    "TCustomComboBox\n"
    "TCustomTreeView\n"
    "TCustomListView\n"
    "TCustomListBox\n"
    "TCustomHeaderControl\n"
    "TCustomStatusBar\n"
    "TCustomLabel\n"
    "TSpeedButton\n"
    "TToolBar\n"
    "TCoolBar\n"
    "TCustomForm\n"
    "TMenu\n";

using testing::ErrorOf;

using testing::ClassMethods;

// A private registry with the standard handlers, taken from the global one.
class Registry : public ::testing::Test {
 protected:
  void FillStandard() {
    for (TClass cls : StandardClasses()) {
      const TClassMethod* entry = KivoClassMethodStorage->GetClassMethod(cls);
      ASSERT_NE(entry, nullptr) << cls->Name();
      storage_.RegisterClassMethod(cls, entry->Proc());
    }
  }

  ClassMethods class_methods_;
  TMultiClassMethodStorage storage_;
};

TEST_F(Registry, StartUpRegistersTheSixteenStandardHandlers) {
  EXPECT_EQ(Dump(*KivoClassMethodStorage), kStandardTree);
  for (TClass cls : StandardClasses()) {
    const TClassMethod* entry = KivoClassMethodStorage->GetClassMethod(cls);
    ASSERT_NE(entry, nullptr) << cls->Name();
    EXPECT_NE(entry->Proc(), nullptr) << cls->Name();
  }
  EXPECT_EQ(KivoClassMethodStorage->GetClassMethod(TCustomActionList::StaticClass()), nullptr);

  InitializeClassMethods();  // again: the registry stays as it is
  EXPECT_EQ(Dump(*KivoClassMethodStorage), kStandardTree);
}

TEST_F(Registry, FinalizeDestroysTheGlobalAndIsIdempotent) {
  FinalizeClassMethods();
  EXPECT_EQ(KivoClassMethodStorage, nullptr);
  FinalizeClassMethods();
  InitializeClassMethods();
  ASSERT_NE(KivoClassMethodStorage, nullptr);
  EXPECT_EQ(Dump(*KivoClassMethodStorage), kStandardTree);
}

TEST_F(Registry, RegisteringAgainReplacesTheHandlerInPlace) {
  storage_.RegisterClassMethod(TButtonControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TCustomLabel::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TButtonControl::StaticClass(), Dummy2);
  storage_.RegisterClassMethod(nullptr, Dummy2);  // ignored
  EXPECT_EQ(Dump(storage_), "TButtonControl\nTCustomLabel\n");
  EXPECT_EQ(storage_.Count(), 2);
  EXPECT_EQ(storage_.GetClassMethod(TButtonControl::StaticClass())->Proc(), Dummy2);
  EXPECT_EQ(storage_.GetClassMethod(TCustomLabel::StaticClass())->Proc(), Dummy1);
}

TEST_F(Registry, AnAncestorTakesItsDescendingRootsInTheirOrder) {
  storage_.RegisterClassMethod(TButtonControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TMenu::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TCustomLabel::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TControl::StaticClass(), Dummy2);
  EXPECT_EQ(Dump(storage_),
            "TMenu\n"
            "TControl\n"
            "  TButtonControl\n"
            "  TCustomLabel\n");
  const TClassMethod* control = storage_.GetClassMethod(TControl::StaticClass());
  EXPECT_EQ(storage_.GetClassMethod(TCustomLabel::StaticClass())->Parent(), control);
  EXPECT_EQ(control->Parent(), nullptr);
}

TEST_F(Registry, AnAncestorOfTheLastRootTakesEveryDescendingRoot) {
  FillStandard();
  storage_.RegisterClassMethod(TComponent::StaticClass(), Dummy1);
  std::string expected = "TComponent\n";
  for (const char* line = kStandardTree; *line != '\0';) {
    const char* end = line;
    while (*end != '\n') ++end;
    expected += "  " + std::string(line, end + 1);
    line = end + 1;
  }
  EXPECT_EQ(Dump(storage_), expected);
  EXPECT_EQ(storage_.Count(), 1);
}

TEST_F(Registry, AClassBetweenAnEntryAndItsChildrenTakesTheDescendingChildren) {
  storage_.RegisterClassMethod(TControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TButtonControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TCustomComboBox::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TCustomLabel::StaticClass(), Dummy1);
  EXPECT_EQ(Dump(storage_),
            "TControl\n"
            "  TCustomLabel\n"
            "  TCustomComboBox\n"
            "  TButtonControl\n");
  // The children that move are taken in chain order and put in front, one by one.
  storage_.RegisterClassMethod(TWinControl::StaticClass(), Dummy2);
  EXPECT_EQ(Dump(storage_),
            "TControl\n"
            "  TWinControl\n"
            "    TButtonControl\n"
            "    TCustomComboBox\n"
            "  TCustomLabel\n");
  const TClassMethod* win = storage_.GetClassMethod(TWinControl::StaticClass());
  EXPECT_EQ(storage_.GetClassMethod(TButtonControl::StaticClass())->Parent(), win);
  EXPECT_EQ(win->Parent(), storage_.GetClassMethod(TControl::StaticClass()));
}

TEST_F(Registry, NearestLookupFindsTheDeepestRegisteredAncestor) {
  FillStandard();
  struct Row {
    TClass cls;
    const char* expected;  // the class of the entry found, or "" for none
  };
  const Row rows[] = {
      {TDataModule::StaticClass(), ""},
      {TComponent::StaticClass(), ""},
      {TCustomEdit::StaticClass(), ""},
      {TToolButton::StaticClass(), ""},
      {TTabSheet::StaticClass(), ""},
      {TMenuItem::StaticClass(), ""},
      {TFrame::StaticClass(), ""},
      {nullptr, ""},
      {TPanel::StaticClass(), "TCustomControl"},
      {TGroupBox::StaticClass(), "TCustomControl"},
      {TCustomControl::StaticClass(), "TCustomControl"},
      {TTabControl::StaticClass(), "TCustomTabControl"},
      {TPageControl::StaticClass(), "TPageControl"},
      {TAppPageControl::StaticClass(), "TPageControl"},
      {TCheckBox::StaticClass(), "TButtonControl"},
      {TComboBox::StaticClass(), "TCustomComboBox"},
      {TListBox::StaticClass(), "TCustomListBox"},
      {TLabel::StaticClass(), "TCustomLabel"},
      {TForm::StaticClass(), "TCustomForm"},
      {TPopupMenu::StaticClass(), "TMenu"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.cls != nullptr ? row.cls->Name() : "null");
    const TClassMethod* entry = storage_.GetNearstClassMethod(row.cls);
    EXPECT_EQ(entry != nullptr ? entry->MethodClass()->Name() : "", row.expected);
  }
  EXPECT_EQ(storage_.GetClassMethod(TAppPageControl::StaticClass()), nullptr);
}

TEST_F(Registry, UnregisteringAClassWithoutEntryChangesNothing) {
  FillStandard();
  storage_.UnRegisterClassMethod(TPanel::StaticClass());  // its ancestor is registered
  storage_.UnRegisterClassMethod(TAppPageControl::StaticClass());
  storage_.UnRegisterClassMethod(TDataModule::StaticClass());
  storage_.UnRegisterClassMethod(nullptr);
  EXPECT_EQ(Dump(storage_), kStandardTree);
}

TEST_F(Registry, UnregisteringARootMakesItsChildrenRootsAtTheEnd) {
  storage_.RegisterClassMethod(TMenu::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TMenuItem::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TCustomLabel::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TWinControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TButtonControl::StaticClass(), Dummy2);
  ASSERT_EQ(Dump(storage_),
            "TMenu\n"
            "TControl\n"
            "  TWinControl\n"
            "    TButtonControl\n"
            "  TCustomLabel\n"
            "TMenuItem\n");
  storage_.UnRegisterClassMethod(TControl::StaticClass());
  EXPECT_EQ(Dump(storage_),
            "TMenu\n"
            "TMenuItem\n"
            "TWinControl\n"
            "  TButtonControl\n"
            "TCustomLabel\n");
  EXPECT_EQ(storage_.GetClassMethod(TControl::StaticClass()), nullptr);
  EXPECT_EQ(storage_.GetNearstClassMethod(TControl::StaticClass()), nullptr);
  const TClassMethod* label = storage_.GetClassMethod(TCustomLabel::StaticClass());
  EXPECT_EQ(label->Parent(), nullptr);
  EXPECT_EQ(label->NextSibling(), nullptr);
  EXPECT_EQ(storage_.GetNearstClassMethod(TButton::StaticClass())->Proc(), Dummy2);
}

TEST_F(Registry, UnregisteringAnInnerEntrySplicesItsChildrenIntoItsPlace) {
  storage_.RegisterClassMethod(TControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TSpeedButton::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TWinControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TCustomLabel::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TButtonControl::StaticClass(), Dummy1);
  storage_.RegisterClassMethod(TCustomListBox::StaticClass(), Dummy1);
  ASSERT_EQ(Dump(storage_),
            "TControl\n"
            "  TCustomLabel\n"
            "  TWinControl\n"
            "    TCustomListBox\n"
            "    TButtonControl\n"
            "  TSpeedButton\n");
  storage_.UnRegisterClassMethod(TWinControl::StaticClass());
  EXPECT_EQ(Dump(storage_),
            "TControl\n"
            "  TCustomLabel\n"
            "  TCustomListBox\n"
            "  TButtonControl\n"
            "  TSpeedButton\n");
  const TClassMethod* control = storage_.GetClassMethod(TControl::StaticClass());
  EXPECT_EQ(storage_.GetClassMethod(TButtonControl::StaticClass())->Parent(), control);
  EXPECT_EQ(storage_.GetNearstClassMethod(TWinControl::StaticClass()), control);

  // An inner entry without children: its next sibling takes its place.
  storage_.UnRegisterClassMethod(TCustomLabel::StaticClass());
  storage_.UnRegisterClassMethod(TSpeedButton::StaticClass());
  EXPECT_EQ(Dump(storage_),
            "TControl\n"
            "  TCustomListBox\n"
            "  TButtonControl\n");
  EXPECT_EQ(storage_.GetNearstClassMethod(TLabel::StaticClass()), control);
}

TEST_F(Registry, ClearDestroysEveryEntry) {
  FillStandard();
  storage_.Clear();
  EXPECT_EQ(storage_.Count(), 0);
  EXPECT_EQ(Dump(storage_), "");
  EXPECT_EQ(storage_.GetNearstClassMethod(TButton::StaticClass()), nullptr);
  FillStandard();  // usable again; the destructor frees these
  EXPECT_EQ(Dump(storage_), kStandardTree);
}

TEST_F(Registry, ManyClassesInALineAndInOneChain) {
  // A line of classes, each the parent of the next, registered from the deepest up (each new
  // entry takes the former root as its child), and many unrelated classes below one base.
  constexpr int kCount = 2000;
  std::vector<std::unique_ptr<TClassInfo>> line;
  TClass parent = TObject::StaticClass();
  for (int i = 0; i < kCount; ++i) {
    line.push_back(std::make_unique<TClassInfo>("TLine" + std::to_string(i), parent));
    parent = line.back().get();
  }
  std::vector<std::unique_ptr<TClassInfo>> flat;
  for (int i = 0; i < kCount; ++i) {
    flat.push_back(
        std::make_unique<TClassInfo>("TFlat" + std::to_string(i), TPersistent::StaticClass()));
  }
  auto storage = std::make_unique<TMultiClassMethodStorage>();
  for (int i = kCount - 1; i >= 0; --i) storage->RegisterClassMethod(line[i].get(), Dummy1);
  for (const auto& cls : flat) storage->RegisterClassMethod(cls.get(), Dummy2);
  storage->RegisterClassMethod(TPersistent::StaticClass(), Dummy1);
  ASSERT_EQ(storage->Count(), 2);

  const TClassMethod* deepest = storage->GetClassMethod(line.back().get());
  ASSERT_NE(deepest, nullptr);
  int depth = 0;
  for (const TClassMethod* e = deepest; e->Parent() != nullptr; e = e->Parent()) ++depth;
  EXPECT_EQ(depth, kCount - 1);
  const TClassMethod* base = storage->GetClassMethod(TPersistent::StaticClass());
  int chain = 0;
  for (const TClassMethod* e = base->FirstChild(); e != nullptr; e = e->NextSibling()) ++chain;
  EXPECT_EQ(chain, kCount);
  EXPECT_EQ(base->FirstChild()->MethodClass(), flat[0].get());  // former list order
  EXPECT_EQ(storage->GetNearstClassMethod(flat[7].get())->Proc(), Dummy2);

  storage->UnRegisterClassMethod(line[kCount / 2].get());
  EXPECT_EQ(storage->GetNearstClassMethod(line[kCount / 2].get())->MethodClass(),
            line[kCount / 2 - 1].get());
  storage.reset();  // frees every entry
}

TEST_F(Registry, DumpToTreeReplacesTheFormerNodes) {
  TTreeView view(nullptr);
  view.Items()->AddChild(nullptr, "old");
  storage_.DumpToTree(view);
  EXPECT_EQ(TreeText(view), "");
  FillStandard();
  storage_.DumpToTree(view);
  EXPECT_EQ(TreeText(view), kStandardTree);
  EXPECT_EQ(view.Items()->UpdateCount(), 0);
}

TEST(GetDisplayValue, AsksTheLookupForEveryKeyButTheEmptyOne) {
  RecordingLocate locate;
  locate.table["Known"] = "Bekannt";
  locate.table["Unknown"] = "Unknown";  // as a dictionary answers a key it lacks
  EXPECT_EQ(GetDisplayValue(locate, "", "1252", "1"), "");
  EXPECT_TRUE(locate.asked.empty());
  EXPECT_EQ(GetDisplayValue(locate, "Known", "1252", "1"), "Bekannt");
  EXPECT_EQ(GetDisplayValue(locate, "Unknown", "1252", "1"), "Unknown");
  EXPECT_EQ(locate.asked, (std::vector<std::string>{"Known", "Unknown"}));
  EXPECT_EQ(locate.arguments, (std::set<std::string>{"1252/1"}));
}

// --- The standard handlers

// One kind of object a handler translates: how to build one, its texts in the order the handler
// looks them up (empty ones included: they are not looked up and stay empty), the texts the
// handler must leave alone, and the update brackets still open on it.
struct HandlerCase {
  const char* name;
  std::function<TObject*(TForm& form)> build;
  std::function<std::vector<std::string>(TObject*)> texts;
  std::function<std::string(TObject*)> untouched = [](TObject*) { return std::string(); };
  std::function<int(TObject*)> open_brackets = [](TObject*) { return 0; };
  TClassMethodProc proc = nullptr;  // null: the registered handler of the object's class
};

std::vector<std::string> StringsOf(const TStrings& strings) {
  std::vector<std::string> out;
  for (int i = 0; i < strings.Count(); ++i) out.push_back(strings.Strings(i));
  return out;
}

void AddStrings(TStrings& strings, std::initializer_list<const char*> values) {
  for (const char* value : values) strings.Add(value);
}

TMenuItem* AddMenuItem(TForm& form, TMenuItem* parent, const char* caption, const char* hint) {
  auto* item = new TMenuItem(&form);
  item->SetCaption(caption);
  item->SetHint(hint);
  parent->Add(item);
  return item;
}

void MenuTexts(const TMenuItem& item, std::vector<std::string>& out) {
  for (int i = 0; i < item.Count(); ++i) {
    out.push_back(item.Items(i)->Caption());
    out.push_back(item.Items(i)->Hint());
    MenuTexts(*item.Items(i), out);
  }
}

std::vector<HandlerCase> HandlerCases() {
  std::vector<HandlerCase> cases;
  auto text_case = [&](const char* name, auto make) {
    HandlerCase c;
    c.name = name;
    c.build = [make](TForm& form) -> TObject* {
      TControl* control = make(form);
      control->SetText(std::string("Text of ") + control->ClassName());
      control->SetHint("hint");
      return control;
    };
    c.texts = [](TObject* o) {
      return std::vector<std::string>{static_cast<TControl*>(o)->Text()};
    };
    c.untouched = [](TObject* o) { return static_cast<TControl*>(o)->Hint(); };
    cases.push_back(std::move(c));
  };
  text_case("panel", [](TForm& form) -> TControl* { return new TPanel(&form); });
  text_case("group box", [](TForm& form) -> TControl* { return new TGroupBox(&form); });
  text_case("button", [](TForm& form) -> TControl* { return new TButton(&form); });
  text_case("check box", [](TForm& form) -> TControl* { return new TCheckBox(&form); });
  text_case("label", [](TForm& form) -> TControl* { return new TLabel(&form); });
  text_case("speed button", [](TForm& form) -> TControl* { return new TSpeedButton(&form); });
  text_case("form", [](TForm& form) -> TControl* { return new TForm(&form); });

  HandlerCase tabs;
  tabs.name = "tab control";
  tabs.build = [](TForm& form) -> TObject* {
    auto* tab = new TTabControl(&form);
    AddStrings(*tab->Tabs(), {"One", "", "Two"});
    return tab;
  };
  tabs.texts = [](TObject* o) { return StringsOf(*static_cast<TTabControl*>(o)->Tabs()); };
  cases.push_back(tabs);

  HandlerCase pages;
  pages.name = "page control";
  pages.build = [](TForm& form) -> TObject* {
    auto* control = new TPageControl(&form);
    for (const char* caption : {"General", "Advanced"}) {
      auto* sheet = new TTabSheet(&form);
      sheet->SetText(caption);
      sheet->SetPageControl(control);
    }
    return control;
  };
  pages.texts = [](TObject* o) {
    auto* control = static_cast<TPageControl*>(o);
    std::vector<std::string> out;
    for (int i = 0; i < control->PageCount(); ++i) out.push_back(control->Pages(i)->Text());
    EXPECT_EQ(StringsOf(*control->Tabs()), out);  // the tabs follow the captions
    return out;
  };
  cases.push_back(pages);

  HandlerCase combo;
  combo.name = "combo box";
  combo.build = [](TForm& form) -> TObject* {
    auto* box = new TComboBox(&form);
    AddStrings(*box->Items(), {"Red", "Green", ""});
    box->SetText("typed");
    return box;
  };
  combo.texts = [](TObject* o) { return StringsOf(*static_cast<TComboBox*>(o)->Items()); };
  combo.untouched = [](TObject* o) { return static_cast<TComboBox*>(o)->Text(); };
  cases.push_back(combo);

  HandlerCase list_box;
  list_box.name = "list box";
  list_box.build = [](TForm& form) -> TObject* {
    auto* box = new TListBox(&form);
    AddStrings(*box->Items(), {"Alpha", "Beta"});
    return box;
  };
  list_box.texts = [](TObject* o) { return StringsOf(*static_cast<TListBox*>(o)->Items()); };
  cases.push_back(list_box);

  HandlerCase tree;
  tree.name = "tree view";
  tree.build = [](TForm& form) -> TObject* {
    auto* view = new TTreeView(&form);
    TTreeNodes& nodes = *view->Items();
    TTreeNode* animals = nodes.AddChild(nullptr, "Animals");
    TTreeNode* cats = nodes.AddChild(animals, "Cats");
    nodes.AddChild(cats, "Lions");
    nodes.AddChild(animals, "");
    nodes.AddChild(nullptr, "Plants");
    return view;
  };
  tree.texts = [](TObject* o) {
    std::vector<std::string> out;
    TTreeNodes& nodes = *static_cast<TTreeView*>(o)->Items();
    for (int i = 0; i < nodes.Count(); ++i) out.push_back(nodes.Item(i)->Text());
    return out;
  };
  tree.open_brackets = [](TObject* o) {
    return static_cast<TTreeView*>(o)->Items()->UpdateCount();
  };
  cases.push_back(tree);

  HandlerCase list_view;
  list_view.name = "list view";
  list_view.build = [](TForm& form) -> TObject* {
    auto* view = new TListView(&form);
    view->Columns()->Add()->SetCaption("Name");
    view->Columns()->Add()->SetCaption("Size");
    TListItem* report = view->Items()->Add();
    report->SetCaption("Report");
    AddStrings(*report->SubItems(), {"Draft", ""});
    view->Items()->Add()->SetCaption("Empty");
    TListItem* memo = view->Items()->Add();
    memo->SetCaption("Memo");
    AddStrings(*memo->SubItems(), {"Final"});
    return view;
  };
  list_view.texts = [](TObject* o) {
    auto* view = static_cast<TListView*>(o);
    std::vector<std::string> out;
    for (int i = 0; i < view->Columns()->Count(); ++i) {
      out.push_back(view->Columns()->Items(i)->Caption());
    }
    for (int i = 0; i < view->Items()->Count(); ++i) {
      out.push_back(view->Items()->Item(i)->Caption());
      for (const std::string& s : StringsOf(*view->Items()->Item(i)->SubItems())) {
        out.push_back(s);
      }
    }
    return out;
  };
  list_view.open_brackets = [](TObject* o) {
    auto* view = static_cast<TListView*>(o);
    return view->Columns()->UpdateCount() + view->Items()->UpdateCount();
  };
  cases.push_back(list_view);

  HandlerCase header;
  header.name = "header control";
  header.build = [](TForm& form) -> TObject* {
    auto* control = new THeaderControl(&form);
    control->Sections()->Add()->SetText("Column");
    control->Sections()->Add()->SetText("Width");
    return control;
  };
  header.texts = [](TObject* o) {
    auto* control = static_cast<THeaderControl*>(o);
    std::vector<std::string> out;
    for (int i = 0; i < control->Sections()->Count(); ++i) {
      out.push_back(control->Sections()->Items(i)->Text());
    }
    return out;
  };
  cases.push_back(header);

  HandlerCase status;
  status.name = "status bar";
  status.build = [](TForm& form) -> TObject* {
    auto* bar = new TStatusBar(&form);
    bar->Panels()->Add()->SetText("Ready");
    bar->Panels()->Add()->SetText("Line");
    bar->SetText("Status");
    bar->SetSimpleText("Simple");
    return bar;
  };
  status.texts = [](TObject* o) {
    auto* bar = static_cast<TStatusBar*>(o);
    std::vector<std::string> out;
    for (int i = 0; i < bar->Panels()->Count(); ++i) out.push_back(bar->Panels()->Items(i)->Text());
    out.push_back(bar->Text());
    return out;
  };
  status.untouched = [](TObject* o) { return static_cast<TStatusBar*>(o)->SimpleText(); };
  cases.push_back(status);

  HandlerCase tool;
  tool.name = "tool bar";
  tool.build = [](TForm& form) -> TObject* {
    auto* bar = new TToolBar(&form);
    for (const char* caption : {"Cut", "Copy"}) {
      auto* button = new TToolButton(&form);
      button->SetText(caption);
      button->SetHint("tool hint");
      button->SetParent(bar);
    }
    return bar;
  };
  tool.texts = [](TObject* o) {
    auto* bar = static_cast<TToolBar*>(o);
    std::vector<std::string> out;
    for (int i = 0; i < bar->ButtonCount(); ++i) out.push_back(bar->Buttons(i)->Text());
    return out;
  };
  tool.untouched = [](TObject* o) { return static_cast<TToolBar*>(o)->Buttons(0)->Hint(); };
  cases.push_back(tool);

  HandlerCase cool;
  cool.name = "cool bar";
  cool.build = [](TForm& form) -> TObject* {
    auto* bar = new TCoolBar(&form);
    bar->Bands()->Add()->SetText("Band");
    bar->Bands()->Add()->SetText("");
    bar->Bands()->Add()->SetText("Tools");
    return bar;
  };
  cool.texts = [](TObject* o) {
    auto* bar = static_cast<TCoolBar*>(o);
    std::vector<std::string> out;
    for (int i = 0; i < bar->Bands()->Count(); ++i) out.push_back(bar->Bands()->Items(i)->Text());
    return out;
  };
  cases.push_back(cool);

  HandlerCase menu;
  menu.name = "menu of three levels";
  menu.build = [](TForm& form) -> TObject* {
    auto* main = new TMainMenu(&form);
    main->Items()->SetCaption("Root");
    main->Items()->SetHint("Root hint");
    TMenuItem* file = AddMenuItem(form, main->Items(), "&File", "File menu");
    TMenuItem* recent = AddMenuItem(form, file, "Recent", "");
    AddMenuItem(form, recent, "One", "First file");
    AddMenuItem(form, recent, "Two", "Second file");
    AddMenuItem(form, file, "-", "");
    AddMenuItem(form, file, "E&xit", "Quit");
    AddMenuItem(form, main->Items(), "&Help", "Help menu");
    return main;
  };
  menu.texts = [](TObject* o) {
    std::vector<std::string> out;
    MenuTexts(*static_cast<TMenu*>(o)->Items(), out);
    return out;
  };
  menu.untouched = [](TObject* o) {
    TMenuItem* root = static_cast<TMenu*>(o)->Items();
    return root->Caption() + "|" + root->Hint();
  };
  cases.push_back(menu);

  HandlerCase actions;
  actions.name = "action list";
  actions.proc = Proc_TCustomActionList;
  actions.build = [](TForm& form) -> TObject* {
    auto* list = new TActionList(&form);
    for (const char* caption : {"Save", "", "Open"}) {
      auto* action = new TAction(&form);
      action->SetCaption(caption);
      action->SetHint(std::string(caption) + " hint");
      action->SetActionList(list);
    }
    auto* plain = new TContainedAction(&form);  // not a TCustomAction: passed over
    plain->SetActionList(list);
    plain->SetCategory("File");
    return list;
  };
  actions.texts = [](TObject* o) {
    auto* list = static_cast<TActionList*>(o);
    std::vector<std::string> out;
    for (int i = 0; i < list->ActionCount(); ++i) {
      if (auto* action = As<TCustomAction>(list->Actions(i))) {
        out.push_back(action->Caption());
        out.push_back(action->Hint());
      }
    }
    return out;
  };
  actions.untouched = [](TObject* o) {
    return static_cast<TActionList*>(o)->Actions(3)->Category();
  };
  cases.push_back(actions);
  return cases;
}

class Handlers : public ::testing::Test {
 protected:
  static TClassMethodProc ProcOf(const HandlerCase& c, TObject* object) {
    if (c.proc != nullptr) return c.proc;
    const TClassMethod* entry = KivoClassMethodStorage->GetNearstClassMethod(object->ClassType());
    return entry != nullptr ? entry->Proc() : nullptr;
  }

  // The texts after a handler call whose lookups answered "<key>!" for the first `translated`
  // non-empty texts and then stopped.
  static std::vector<std::string> Expected(const std::vector<std::string>& before, int translated) {
    std::vector<std::string> out;
    int n = 0;
    for (const std::string& text : before) {
      out.push_back(!text.empty() && n++ < translated ? text + "!" : text);
    }
    return out;
  }

  ClassMethods class_methods_;
};

TEST_F(Handlers, EachTranslatesItsTextsOnceInOrder) {
  for (const HandlerCase& c : HandlerCases()) {
    SCOPED_TRACE(c.name);
    TForm form(nullptr);
    TObject* object = c.build(form);
    TClassMethodProc proc = ProcOf(c, object);
    ASSERT_NE(proc, nullptr);
    const std::vector<std::string> before = c.texts(object);
    const std::string untouched = c.untouched(object);
    std::vector<std::string> non_empty;
    for (const std::string& text : before) {
      if (!text.empty()) non_empty.push_back(text);
    }

    RecordingLocate locate;
    TFont font;
    proc(locate, object, "1252", "7", &font);
    EXPECT_EQ(locate.asked, non_empty);
    EXPECT_EQ(c.texts(object), Expected(before, static_cast<int>(before.size())));
    EXPECT_EQ(c.untouched(object), untouched);
    EXPECT_EQ(c.open_brackets(object), 0);
    if (!non_empty.empty()) {
      EXPECT_EQ(locate.arguments, (std::set<std::string>{"1252/7"}));
    }
  }
}

TEST_F(Handlers, AFailingLookupStopsTheHandlerAndClosesItsBrackets) {
  for (const HandlerCase& c : HandlerCases()) {
    SCOPED_TRACE(c.name);
    int lookups = 0;
    {
      TForm form(nullptr);
      TObject* object = c.build(form);
      for (const std::string& text : c.texts(object)) lookups += text.empty() ? 0 : 1;
    }
    for (int k = 1; k <= lookups; ++k) {
      SCOPED_TRACE("failing lookup " + std::to_string(k));
      TForm form(nullptr);
      TObject* object = c.build(form);
      const std::vector<std::string> before = c.texts(object);
      RecordingLocate locate;
      locate.fail_at = k;
      EXPECT_EQ(ErrorOf([&] { ProcOf(c, object)(locate, object, "1252", "", nullptr); }),
                "lookup failed");
      EXPECT_EQ(static_cast<int>(locate.asked.size()), k);
      EXPECT_EQ(c.texts(object), Expected(before, k - 1));
      EXPECT_EQ(c.open_brackets(object), 0);
    }
  }
}

TEST_F(Handlers, SortedListAndComboBoxesTranslateEveryItemOnce) {
  // Translations that sort in another order than the keys: rewriting an item of a sorted control
  // would move it at once, so the loop could meet a moved item again and skip another.
  TForm form(nullptr);
  auto* list = new TListBox(&form);
  auto* combo = new TComboBox(&form);
  TStringList* lists[] = {list->Items(), combo->Items()};
  for (TStringList* items : lists) {
    items->SetSorted(true);
    for (const char* s : {"apple", "banana", "cherry"}) items->Add(s);
  }
  RecordingLocate locate;
  locate.table = {{"apple", "zebra"}, {"banana", "yak"}, {"cherry", "xerus"}};
  for (TObject* box : {static_cast<TObject*>(list), static_cast<TObject*>(combo)}) {
    SCOPED_TRACE(box->ClassName());
    locate.asked.clear();
    KivoClassMethodStorage->GetNearstClassMethod(box->ClassType())
        ->Proc()(locate, box, "", "", nullptr);
    EXPECT_EQ(locate.asked, (std::vector<std::string>{"apple", "banana", "cherry"}));
  }
  for (TStringList* items : lists) {
    EXPECT_EQ(items->Text(), "xerus\r\nyak\r\nzebra\r\n");
    EXPECT_TRUE(items->Sorted());
  }
}

TEST_F(Handlers, ASeparatorIsLookedUpLikeAnyCaption) {
  TForm form(nullptr);
  TMainMenu menu(&form);
  TMenuItem* separator = AddMenuItem(form, menu.Items(), "-", "");
  TClassMethodProc proc = KivoClassMethodStorage->GetNearstClassMethod(menu.ClassType())->Proc();
  RecordingLocate locate;
  locate.table["-"] = "-";  // a dictionary without an entry answers the key
  proc(locate, &menu, "1252", "", nullptr);
  EXPECT_EQ(locate.asked, (std::vector<std::string>{"-"}));
  EXPECT_EQ(separator->Caption(), "-");
  locate.table["-"] = "~";
  proc(locate, &menu, "1252", "", nullptr);
  EXPECT_EQ(separator->Caption(), "~");
}

}  // namespace
}  // namespace kivo
