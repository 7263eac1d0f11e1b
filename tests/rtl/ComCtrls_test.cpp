#include "kivo/rtl/ComCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kivo/rtl/Forms.h"
#include "kivo/rtl/StdCtrls.h"
#include "support/MemoryFiler.h"

namespace kivo {
namespace {

// --- Page control

class PageControlTest : public ::testing::Test {
 protected:
  PageControlTest() : form(new TForm(nullptr)), pages(new TPageControl(form)) {
    pages->SetParent(form);
  }
  ~PageControlTest() override { delete form; }

  TTabSheet* Sheet(const std::string& caption, TPageControl* page_control) {
    auto* sheet = new TTabSheet(form);
    sheet->SetCaption(caption);
    sheet->SetPageControl(page_control);
    return sheet;
  }

  TForm* form;
  TPageControl* pages;
};

TEST_F(PageControlTest, TabsFollowThePagesAndTheirCaptions) {
  TTabSheet* a = Sheet("General", pages);
  TTabSheet* b = Sheet("Advanced", pages);
  auto* c = new TTabSheet(form);
  c->SetCaption("Extra");
  c->SetParent(pages);  // becoming a child of the page control makes it a page
  ASSERT_EQ(pages->GetPageCount(), 3);
  EXPECT_EQ(pages->GetPage(1), b);
  EXPECT_EQ(c->PageControl(), pages);
  EXPECT_EQ(pages->Tabs()->CommaText(), "General,Advanced,Extra");
  b->SetText("Erweitert");
  EXPECT_EQ(pages->Tabs()->Strings(1), "Erweitert");
  c->SetPageIndex(0);
  EXPECT_EQ(pages->Tabs()->CommaText(), "Extra,General,Erweitert");
  EXPECT_EQ(a->PageIndex(), 1);
  // A non-sheet child is no page.
  (new TButton(form))->SetParent(pages);
  EXPECT_EQ(pages->PageCount(), 3);
  try {
    pages->Pages(3);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (3)");
  }
}

TEST_F(PageControlTest, ASheetMovesBetweenPageControlsAndLeavesWhenDestroyed) {
  auto* other = new TPageControl(form);
  TTabSheet* a = Sheet("A", pages);
  TTabSheet* b = Sheet("B", pages);
  TTabSheet* c = Sheet("C", pages);
  pages->SetActivePage(b);
  EXPECT_EQ(pages->TabIndex(), 1);
  b->SetPageControl(other);
  EXPECT_EQ(pages->Tabs()->CommaText(), "A,C");
  EXPECT_EQ(pages->ActivePage(), c);  // the next page takes the removed one's place
  EXPECT_EQ(other->Pages(0), b);
  EXPECT_EQ(b->Parent(), other);
  delete c;
  EXPECT_EQ(pages->Tabs()->CommaText(), "A");
  EXPECT_EQ(pages->ActivePage(), a);
  b->SetParent(form);  // a parent that is no page control: no page control
  EXPECT_EQ(b->PageControl(), nullptr);
  EXPECT_EQ(other->PageCount(), 0);
  pages->SetActivePage(b);  // not one of its pages
  EXPECT_EQ(pages->ActivePage(), nullptr);
}

TEST_F(PageControlTest, APageControlDestroyedFirstLeavesItsSheetsWithoutPageControl) {
  TTabSheet* a = Sheet("A", pages);
  auto* on_sheet = new TButton(form);
  on_sheet->SetParent(a);
  delete pages;
  EXPECT_EQ(a->PageControl(), nullptr);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(on_sheet->Parent(), a);
}

// A form file writes the sheets nested in their page control, in page order, and reads them back
// in that order: the page control lists them so, whatever their order as child controls.
TEST_F(PageControlTest, ChildrenArePagesInPageOrderThenTheOtherChildControls) {
  TTabSheet* a = Sheet("A", pages);
  TTabSheet* b = Sheet("B", pages);
  auto* button = new TButton(form);
  button->SetParent(pages);
  auto* c = new TTabSheet(form);
  c->SetCaption("C");
  c->SetParentComponent(pages);  // as a reader does: the last page
  EXPECT_EQ(c->PageControl(), pages);
  EXPECT_EQ(pages->Tabs()->CommaText(), "A,B,C");
  c->SetPageIndex(0);
  std::vector<TComponent*> children;
  pages->GetChildren(children);
  EXPECT_EQ(children, (std::vector<TComponent*>{c, a, b, button}));
  // Every page is a child control, and every sheet among the child controls is a page.
  int sheets = 0;
  for (int i = 0; i < pages->ControlCount(); ++i) {
    if (auto* sheet = As<TTabSheet>(pages->Controls(i))) {
      ++sheets;
      EXPECT_EQ(sheet->PageControl(), pages);
      EXPECT_GE(sheet->PageIndex(), 0);
    }
  }
  EXPECT_EQ(sheets, pages->PageCount());
  // Nesting carries the page control: the property stays published but is not written.
  const TPropInfo* prop = TTabSheet::StaticClass()->FindProperty("PageControl");
  ASSERT_NE(prop, nullptr);
  EXPECT_FALSE(prop->IsStored(*a));
  auto* other = new TPageControl(form);
  prop->set_object(*a, other);
  EXPECT_EQ(other->Pages(0), a);
  EXPECT_EQ(pages->Tabs()->CommaText(), "C,B");
}

// --- Tree view

std::string Flat(const TTreeNodes& nodes) {
  std::string out;
  for (int i = 0; i < nodes.Count(); ++i) {
    const TTreeNode* n = nodes.Item(i);
    out += std::string(static_cast<size_t>(n->Level()), '.') + n->Text() + " ";
  }
  return out;
}

TEST(TreeView, NodesAreListedInFlatOrderEachBeforeItsChildren) {
  TTreeView tree(nullptr);
  TTreeNodes& nodes = *tree.Items();
  TTreeNode* animals = nodes.AddChild(nullptr, "Animals");
  TTreeNode* cats = nodes.AddChild(animals, "Cats");
  nodes.AddChild(cats, "Lion");
  nodes.Add(cats, "Dogs");
  nodes.Add(nullptr, "Plants");
  nodes.AddChildFirst(animals, "Birds");
  nodes.AddFirst(animals, "Minerals");
  nodes.Insert(cats, "Bats");
  EXPECT_EQ(Flat(nodes), "Minerals Animals .Birds .Bats .Cats ..Lion .Dogs Plants ");
  EXPECT_EQ(nodes.Count(), 8);
  EXPECT_EQ(cats->Parent(), animals);
  EXPECT_EQ(animals->Count(), 4);
  EXPECT_EQ(animals->Item(2), cats);
  EXPECT_EQ(cats->Index(), 2);
  EXPECT_EQ(cats->AbsoluteIndex(), 4);
  EXPECT_EQ(nodes.GetFirstNode()->Text(), "Minerals");
  EXPECT_EQ(nodes.Owner(), &tree);

  cats->Delete();  // with its children
  EXPECT_EQ(Flat(nodes), "Minerals Animals .Birds .Bats .Dogs Plants ");
  try {
    nodes.Item(6);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (6)");
  }
  nodes.Clear();
  EXPECT_EQ(nodes.Count(), 0);
}

TEST(TreeView, UpdateBracketsNestAndAnUnmatchedEndUpdateIsIgnored) {
  TTreeView tree(nullptr);
  TTreeNodes& nodes = *tree.Items();
  nodes.BeginUpdate();
  nodes.BeginUpdate();
  EXPECT_EQ(nodes.UpdateCount(), 2);
  nodes.EndUpdate();
  nodes.EndUpdate();
  nodes.EndUpdate();
  EXPECT_EQ(nodes.UpdateCount(), 0);
}

TEST(TreeView, AssignCopiesTheWholeTreeShape) {
  TTreeView source(nullptr);
  TTreeNode* a = source.Items()->AddChild(nullptr, "A");
  source.Items()->AddChild(source.Items()->AddChild(a, "B"), "C");
  source.Items()->Add(a, "D");
  TTreeView copy(nullptr);
  copy.Items()->AddChild(nullptr, "old");
  copy.SetItems(source.Items());
  EXPECT_EQ(Flat(*copy.Items()), "A .B ..C D ");
  EXPECT_EQ(copy.Items()->Item(1)->Owner(), copy.Items());
}

// The nodes below `parent` (null: the top level), each as [text[children…]].
std::string Shape(const TTreeNodes& nodes, const TTreeNode* parent) {
  std::string out;
  for (int i = 0; i < nodes.Count(); ++i) {
    const TTreeNode* n = nodes.Item(i);
    if (n->Parent() == parent) out += "[" + n->Text() + Shape(nodes, n) + "]";
  }
  return out;
}

TEST(TreeView, NodesAreWrittenAsLevelAndTextAndReadBackReplacingEveryNode) {
  TTreeView tree(nullptr);
  TTreeNodes& nodes = *tree.Items();
  TTreeNode* animals = nodes.AddChild(nullptr, "Animals");
  TTreeNode* cats = nodes.AddChild(animals, "Cats");
  nodes.AddChild(cats, "Lion");
  nodes.AddChild(cats, "a:b");  // colons, leading spaces or '>', digits: all part of the text
  nodes.AddChild(animals, "  x");
  TTreeNode* odd = nodes.Add(nullptr, ">y");
  nodes.AddChild(odd, "");
  nodes.AddChild(odd, "12:3");
  nodes.Add(nullptr, "Plants");
  const std::string shape = "[Animals[Cats[Lion][a:b]][  x]][>y[][12:3]][Plants]";
  ASSERT_EQ(Shape(nodes, nullptr), shape);

  // Published as Items, so that a form file shows Items.Nodes.
  const TPropInfo* prop = TTreeView::StaticClass()->FindProperty("Items");
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(prop->kind, TPropKind::kObject);
  EXPECT_EQ(prop->get_object(tree), &nodes);

  testing::MemoryFiler filer(testing::MemoryFiler::kWriting);
  filer.Write(nodes);
  EXPECT_EQ(filer.stored_strings["Nodes"],
            (std::vector<std::string>{"0:Animals", "1:Cats", "2:Lion", "2:a:b", "1:  x", "0:>y",
                                      "1:", "1:12:3", "0:Plants"}));
  TTreeView copy(nullptr);
  copy.Items()->AddChild(copy.Items()->AddChild(nullptr, "old"), "older");
  filer.Read(*copy.Items());
  EXPECT_EQ(Shape(*copy.Items(), nullptr), shape);
  EXPECT_EQ(copy.Items()->Item(2)->Owner(), copy.Items());

  // An empty list of entries empties the tree; an empty tree has no data to write.
  filer.stored_strings["Nodes"].clear();
  filer.Read(*copy.Items());
  EXPECT_EQ(copy.Items()->Count(), 0);
  testing::MemoryFiler empty(testing::MemoryFiler::kWriting);
  empty.Write(*copy.Items());
  EXPECT_EQ(empty.defined, (std::vector<std::string>{"Nodes"}));
  EXPECT_TRUE(empty.stored_strings.empty());
}

TEST(TreeView, MalformedNodeEntriesAreRefusedLeavingTheNodesAsTheyWere) {
  struct Row {
    const char* name;
    std::vector<std::string> entries;
    const char* message;
  };
  const Row rows[] = {
      {"first entry below the top", {"1:A"}, "Invalid tree node entry '1:A'"},
      {"two levels deeper", {"0:A", "1:B", "3:C"}, "Invalid tree node entry '3:C'"},
      {"negative level", {"0:A", "-1:B"}, "Invalid tree node entry '-1:B'"},
      {"signed level", {"0:A", "+1:B"}, "Invalid tree node entry '+1:B'"},
      {"not a number", {"0:A", "x:B"}, "Invalid tree node entry 'x:B'"},
      {"spaced level", {"0:A", " 0:B"}, "Invalid tree node entry ' 0:B'"},
      {"no level", {":A"}, "Invalid tree node entry ':A'"},
      {"no colon", {"0:A", "Cats"}, "Invalid tree node entry 'Cats'"},
      {"empty entry", {"0:A", ""}, "Invalid tree node entry ''"},
      {"huge level",
       {"0:A", "99999999999999999999999:B"},
       "Invalid tree node entry '99999999999999999999999:B'"},
      {"the first bad one is named", {"0:A", "x", "y"}, "Invalid tree node entry 'x'"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TTreeView tree(nullptr);
    tree.Items()->AddChild(tree.Items()->AddChild(nullptr, "Kept"), "Child");
    testing::MemoryFiler filer(testing::MemoryFiler::kReading);
    filer.stored_strings["Nodes"] = row.entries;
    try {
      filer.Read(*tree.Items());
      FAIL() << "no exception";
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), row.message);
    }
    EXPECT_EQ(Shape(*tree.Items(), nullptr), "[Kept[Child]]");
  }
  // Leading zeros are still a decimal level.
  TTreeView tree(nullptr);
  testing::MemoryFiler filer(testing::MemoryFiler::kReading);
  filer.stored_strings["Nodes"] = {"00:A", "01:B"};
  filer.Read(*tree.Items());
  EXPECT_EQ(Shape(*tree.Items(), nullptr), "[A[B]]");
}

// --- List view

TEST(ListView, ColumnsAndItemsHoldTheTextsOfEveryColumn) {
  TListView view(nullptr);
  TListColumn* name = view.Columns()->Add();
  name->SetCaption("Name");
  view.Columns()->Add()->SetCaption("Size");
  EXPECT_EQ(view.Columns()->Items(1)->Caption(), "Size");
  EXPECT_EQ(view.Columns()->GetOwner(), &view);
  EXPECT_EQ(name->DisplayName(), "Name");
  TListItem* item = view.Items()->Add();
  item->SetCaption("a.txt");
  item->SubItems()->Add("12 KB");
  view.Items()->Insert(0)->SetCaption("first");
  ASSERT_EQ(view.Items()->Count(), 2);
  EXPECT_EQ(view.Items()->Item(1), item);
  EXPECT_EQ(item->Index(), 1);
  EXPECT_EQ(item->SubItems()->Strings(0), "12 KB");

  view.Columns()->BeginUpdate();
  view.Items()->BeginUpdate();
  EXPECT_EQ(view.Columns()->UpdateCount(), 1);
  EXPECT_EQ(view.Items()->UpdateCount(), 1);
  view.Items()->EndUpdate();
  view.Columns()->EndUpdate();

  TListView copy(nullptr);
  copy.SetColumns(view.Columns());
  copy.SetItems(view.Items());
  EXPECT_EQ(copy.Columns()->Items(0)->Caption(), "Name");
  EXPECT_EQ(copy.Items()->Item(1)->SubItems()->Text(), "12 KB\r\n");
  EXPECT_NE(copy.Items()->Item(1)->SubItems(), item->SubItems());
  view.Items()->Item(0)->Delete();
  EXPECT_EQ(view.Items()->Item(0), item);
}

// The captions and sub-items of every item: caption(sub|sub) …
std::string Rows(const TListItems& items) {
  std::string out;
  for (int i = 0; i < items.Count(); ++i) {
    const TListItem* item = items.Item(i);
    out += "<" + item->Caption() + ">(";
    for (int j = 0; j < item->SubItems()->Count(); ++j) {
      out += (j > 0 ? "|" : "") + item->SubItems()->Strings(j);
    }
    out += ")";
  }
  return out;
}

TEST(ListView, ItemsAreWrittenAsTabSeparatedRowsAndReadBackReplacingEveryItem) {
  TListView view(nullptr);
  TListItems& items = *view.Items();
  TListItem* a = items.Add();
  a->SetCaption("a.txt");
  a->SubItems()->Add("12 KB");
  a->SubItems()->Add("text");
  items.Add();  // no caption, no sub-items
  TListItem* b = items.Add();
  b->SetCaption("b");
  b->SubItems()->Add("");  // one empty sub-item
  TListItem* c = items.Add();
  c->SetCaption("c");
  c->SubItems()->Add("");
  c->SubItems()->Add("x");
  const std::string rows = "<a.txt>(12 KB|text)<>()<b>()<c>(|x)";
  ASSERT_EQ(Rows(items), rows);
  EXPECT_EQ(b->SubItems()->Count(), 1);

  const TPropInfo* prop = TListView::StaticClass()->FindProperty("Items");
  ASSERT_NE(prop, nullptr);
  EXPECT_EQ(prop->kind, TPropKind::kObject);
  EXPECT_EQ(prop->get_object(view), &items);

  testing::MemoryFiler filer(testing::MemoryFiler::kWriting);
  filer.Write(items);
  EXPECT_EQ(filer.stored_strings["Rows"],
            (std::vector<std::string>{"a.txt\t12 KB\ttext", "", "b\t", "c\t\tx"}));
  TListView copy(nullptr);
  copy.Items()->Add()->SetCaption("old");
  filer.Read(*copy.Items());
  EXPECT_EQ(Rows(*copy.Items()), rows);
  EXPECT_EQ(copy.Items()->Item(2)->SubItems()->Count(), 1);

  // An empty list has no data to write.
  copy.Items()->Clear();
  testing::MemoryFiler empty(testing::MemoryFiler::kWriting);
  empty.Write(*copy.Items());
  EXPECT_EQ(empty.defined, (std::vector<std::string>{"Rows"}));
  EXPECT_TRUE(empty.stored_strings.empty());
}

// The documented limit of the format: a tab inside a text is read as a separator.
TEST(ListView, ATabInsideACaptionReadsBackAsASubItem) {
  TListView view(nullptr);
  view.Items()->Add()->SetCaption("a\tb");
  testing::MemoryFiler filer(testing::MemoryFiler::kWriting);
  filer.Write(*view.Items());
  TListView copy(nullptr);
  filer.Read(*copy.Items());
  EXPECT_EQ(Rows(*copy.Items()), "<a>(b)");
}

// --- Collections of texts: header sections, status panels, cool bands

TEST(ComCtrls, TextCollectionsBelongToTheirControl) {
  struct Row {
    const char* name;
    std::function<TWinControl*(TComponent*)> make;
    std::function<TCollection*(TWinControl*)> collection;
    std::function<void(TCollectionItem*, const std::string&)> set_text;
    std::function<std::string(TCollectionItem*)> text;
    const char* property;
  };
  const Row rows[] = {
      {"THeaderControl", [](TComponent* o) { return new THeaderControl(o); },
       [](TWinControl* c) { return static_cast<THeaderControl*>(c)->Sections(); },
       [](TCollectionItem* i, const std::string& s) {
         static_cast<THeaderSection*>(i)->SetText(s);
       },
       [](TCollectionItem* i) { return static_cast<THeaderSection*>(i)->Text(); }, "Sections"},
      {"TStatusBar", [](TComponent* o) { return new TStatusBar(o); },
       [](TWinControl* c) { return static_cast<TStatusBar*>(c)->Panels(); },
       [](TCollectionItem* i, const std::string& s) { static_cast<TStatusPanel*>(i)->SetText(s); },
       [](TCollectionItem* i) { return static_cast<TStatusPanel*>(i)->Text(); }, "Panels"},
      {"TCoolBar", [](TComponent* o) { return new TCoolBar(o); },
       [](TWinControl* c) { return static_cast<TCoolBar*>(c)->Bands(); },
       [](TCollectionItem* i, const std::string& s) { static_cast<TCoolBand*>(i)->SetText(s); },
       [](TCollectionItem* i) { return static_cast<TCoolBand*>(i)->Text(); }, "Bands"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TForm form(nullptr);
    TWinControl* control = row.make(&form);
    TCollection* items = row.collection(control);
    EXPECT_EQ(items->GetOwner(), control);
    row.set_text(items->Add(), "One");
    row.set_text(items->Add(), "Two");
    EXPECT_EQ(row.text(items->Items(1)), "Two");
    EXPECT_EQ(items->Items(0)->DisplayName(), "One");
    // The collection is published, and copying into it replaces its items.
    const TPropInfo* prop = control->ClassType()->FindProperty(row.property);
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(prop->kind, TPropKind::kCollection);
    TWinControl* other = row.make(&form);
    prop->set_object(*other, items);
    EXPECT_EQ(row.text(row.collection(other)->Items(0)), "One");
    EXPECT_EQ(row.collection(other)->Count(), 2);
  }
}

// --- Tool bar

TEST(ComCtrls, ToolBarButtonsAreTheToolButtonsParentedToIt) {
  TForm form(nullptr);
  auto* bar = new TToolBar(&form);
  auto* other_bar = new TToolBar(&form);
  std::vector<TToolButton*> buttons;
  for (const char* caption : {"New", "Open", "Save"}) {
    auto* b = new TToolButton(&form);
    b->SetCaption(caption);
    b->SetParent(bar);
    buttons.push_back(b);
    if (buttons.size() == 1) (new TEdit(&form))->SetParent(bar);  // not a button
  }
  ASSERT_EQ(bar->GetButtonCount(), 3);
  EXPECT_EQ(bar->GetButton(1)->Caption(), "Open");
  buttons[1]->SetParent(other_bar);
  EXPECT_EQ(bar->ButtonCount(), 2);
  EXPECT_EQ(bar->Buttons(1), buttons[2]);
  delete buttons[0];
  EXPECT_EQ(bar->Buttons(0), buttons[2]);
  try {
    bar->Buttons(1);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (1)");
  }
}

TEST(ComCtrls, TabControlSelectsOnlyExistingTabs) {
  TTabControl tabs(nullptr);
  int changes = 0;
  tabs.OnChange = [&](TObject*) { ++changes; };
  tabs.Tabs()->SetCommaText("One,Two");
  tabs.SetTabIndex(1);
  tabs.SetTabIndex(1);
  tabs.SetTabIndex(7);
  EXPECT_EQ(tabs.TabIndex(), -1);
  EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace kivo
