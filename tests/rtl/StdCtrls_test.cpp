#include "kivo/rtl/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "kivo/rtl/Buttons.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/ExtCtrls.h"
#include "kivo/rtl/Forms.h"

namespace kivo {
namespace {

TEST(StdCtrls, ComboBoxItemIndexPutsTheItemIntoTheEditText) {
  TComboBox box(nullptr);
  std::vector<std::string> changes;
  box.OnChange = [&](TObject*) { changes.push_back(box.Text()); };
  box.Items()->Add("Red");
  box.Items()->Add("Green");
  box.SetItemIndex(1);
  EXPECT_EQ(box.Text(), "Green");
  box.SetItemIndex(1);  // same text: no change reported
  box.SetText("Blue");  // the edit text is free; the items stay
  EXPECT_EQ(box.Items()->Count(), 2);
  box.SetItemIndex(5);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Text(), "");
  EXPECT_EQ(changes, (std::vector<std::string>{"Green", "Blue", ""}));
  box.SetItemIndex(0);
  box.Items()->Clear();
  EXPECT_EQ(box.ItemIndex(), -1);
}

TEST(StdCtrls, MemoTextIsItsLines) {
  TMemo memo(nullptr);
  int changes = 0;
  memo.OnChange = [&](TObject*) { ++changes; };
  memo.SetText("one\r\ntwo\nthree");
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(memo.Lines()->Count(), 3);
  EXPECT_EQ(memo.Lines()->Strings(2), "three");
  memo.Lines()->SetStrings(1, "zwei");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(memo.Text(), "one\r\nzwei\r\nthree\r\n");
}

TEST(StdCtrls, EditReportsOnlyRealTextChanges) {
  TEdit edit(nullptr);
  int changes = 0;
  edit.OnChange = [&](TObject*) { ++changes; };
  edit.SetText("a");
  edit.SetText("a");
  edit.SetCaption("b");
  EXPECT_EQ(changes, 2);
}

TEST(StdCtrls, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  TForm form(nullptr);
  auto* left = new TGroupBox(&form);
  auto* right = new TGroupBox(&form);
  auto make = [&](TWinControl* parent) {
    auto* r = new TRadioButton(&form);
    r->SetParent(parent);
    return r;
  };
  TRadioButton* a = make(left);
  TRadioButton* b = make(left);
  TRadioButton* c = make(right);
  auto* check = new TCheckBox(&form);
  check->SetParent(left);
  check->SetChecked(true);
  a->SetChecked(true);
  c->SetChecked(true);
  b->SetChecked(true);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(c->Checked());
  EXPECT_TRUE(check->Checked());
}

TEST(StdCtrls, PressingAGroupedSpeedButtonReleasesItsGroup) {
  TPanel panel(nullptr);
  std::vector<TSpeedButton*> buttons;
  for (int group : {1, 1, 2, 0}) {
    auto* s = new TSpeedButton(&panel);
    s->SetParent(&panel);
    s->SetGroupIndex(group);
    s->SetDown(true);
    buttons.push_back(s);
  }
  buttons[0]->SetDown(true);
  EXPECT_TRUE(buttons[0]->Down());
  EXPECT_FALSE(buttons[1]->Down());
  EXPECT_TRUE(buttons[2]->Down());
  EXPECT_TRUE(buttons[3]->Down());
}

TEST(StdCtrls, ListBoxItemsArePublishedAsAStringList) {
  TListBox box(nullptr);
  const TPropInfo* items = TListBox::StaticClass()->FindProperty("Items");
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->kind, TPropKind::kStringList);
  TStringList source;
  source.Add("x");
  items->set_object(box, &source);
  EXPECT_EQ(box.Items()->Text(), "x\r\n");
  EXPECT_EQ(items->get_object(box), box.Items());
}

// --- The items of list boxes and combo boxes

// Objects to tag entries with; Entries names each by its position here.
TObject tags[5];

// The entries as "string+tag" separated by spaces: "b0 d1" ("-" for an untagged entry).
std::string Entries(const TStrings& items) {
  std::string out;
  for (int i = 0; i < items.Count(); ++i) {
    if (i > 0) out += ' ';
    out += items.Strings(i);
    TObject* o = items.Objects(i);
    out += o == nullptr ? std::string("-") : std::to_string(o - tags);
  }
  return out;
}

// Fills `items` with `strings`, the i-th tagged with tags[i].
void Fill(TStrings& items, const std::vector<std::string>& strings) {
  for (size_t i = 0; i < strings.size(); ++i) items.AddObject(strings[i], &tags[i]);
}

// Runs `body` on the items of a list box and of a combo box whose Sorted is set to `sorted`;
// `control_sorted` reads the control's Sorted.
void ForEachListControl(
    bool sorted, const std::function<void(TListControlStrings& items,
                                          const std::function<bool()>& control_sorted)>& body) {
  {
    SCOPED_TRACE("TListBox");
    TListBox box(nullptr);
    box.SetSorted(sorted);
    body(*box.Items(), [&box] { return box.Sorted(); });
  }
  {
    SCOPED_TRACE("TComboBox");
    TComboBox box(nullptr);
    box.SetSorted(sorted);
    body(*box.Items(), [&box] { return box.Sorted(); });
  }
}

// Counts the change events of `items`.
struct ChangeCounter {
  explicit ChangeCounter(TStringList& items) {
    items.OnChanging = [this](TObject*) { ++changing; };
    items.OnChange = [this](TObject*) { ++change; };
  }
  int changing = 0;
  int change = 0;
};

TEST(StdCtrls, RewritingAnItemOfASortedControlMovesItWithItsObject) {
  struct Row {
    const char* name;
    TDuplicates duplicates;
    int index;
    const char* s;
    const char* expected;
  };
  const Row rows[] = {
      {"moves down", dupIgnore, 0, "e", "d1 e0 f2"},
      {"moves up", dupIgnore, 2, "a", "a2 b0 d1"},
      {"stays", dupIgnore, 1, "c", "b0 c1 f2"},
      {"moves to the end", dupIgnore, 0, "z", "d1 f2 z0"},
      {"same string", dupIgnore, 1, "d", "b0 d1 f2"},
      {"equal string: kept, before it (dupIgnore)", dupIgnore, 2, "B", "B2 b0 d1"},
      {"equal string: kept, before it (dupError)", dupError, 0, "D", "D0 d1 f2"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ForEachListControl(true, [&](TListControlStrings& items, const std::function<bool()>& sorted) {
      Fill(items, {"f", "b", "d"});
      ASSERT_EQ(Entries(items), "b1 d2 f0");
      items.Clear();
      Fill(items, {"b", "d", "f"});
      items.SetDuplicates(row.duplicates);
      ChangeCounter counter(items);
      items.SetStrings(row.index, row.s);
      EXPECT_EQ(Entries(items), row.expected);
      EXPECT_EQ(counter.changing, 1);
      EXPECT_EQ(counter.change, 1);
      EXPECT_TRUE(items.Sorted());
      EXPECT_TRUE(sorted());
      EXPECT_EQ(items.Duplicates(), row.duplicates);
    });
  }
}

TEST(StdCtrls, RewritingAnItemOutsideASortedControlRaisesAndChangesNothing) {
  ForEachListControl(true, [](TListControlStrings& items, const std::function<bool()>&) {
    Fill(items, {"a", "b"});
    ChangeCounter counter(items);
    for (int index : {2, -1}) {
      try {
        items.SetStrings(index, "x");
        ADD_FAILURE() << "no exception for index " << index;
      } catch (const EListError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "List index out of bounds (" + std::to_string(index) + ")");
      }
    }
    EXPECT_EQ(Entries(items), "a0 b1");
    EXPECT_EQ(counter.changing + counter.change, 0);
  });
}

TEST(StdCtrls, RewritesInsideAnUpdateBracketKeepTheirPlaceUntilTheOutermostEndUpdate) {
  const std::map<std::string, std::string> translation = {
      {"a", "z"}, {"b", "y"}, {"c", "x"}, {"d", "w"}};
  ForEachListControl(true, [&](TListControlStrings& items, const std::function<bool()>& sorted) {
    Fill(items, {"a", "b", "c", "d"});
    ChangeCounter counter(items);
    std::map<std::string, int> translated;  // how often each original was rewritten
    items.BeginUpdate();
    items.BeginUpdate();
    for (int i = 0; i < items.Count(); ++i) {
      const std::string original = items.Strings(i);
      ++translated[original];
      items.SetStrings(i, translation.at(original));
      EXPECT_EQ(items.Strings(i), translation.at(original));
      EXPECT_EQ(items.Objects(i), &tags[i]);
    }
    EXPECT_EQ(translated, (std::map<std::string, int>{{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}}));
    EXPECT_EQ(Entries(items), "z0 y1 x2 w3");
    EXPECT_TRUE(items.Sorted());
    EXPECT_TRUE(sorted());

    // While the sort is pending the list still acts as a sorted one.
    auto expect_sorted_error = [](const char* what, const std::function<void()>& operation) {
      SCOPED_TRACE(what);
      try {
        operation();
        ADD_FAILURE() << "no exception";
      } catch (const EStringListError& e) {
        EXPECT_EQ(std::string(e.what()), "Operation not allowed on sorted list");
      }
    };
    expect_sorted_error("Insert", [&] { items.Insert(0, "q"); });
    expect_sorted_error("InsertObject", [&] { items.InsertObject(0, "q", nullptr); });
    expect_sorted_error("Exchange", [&] { items.Exchange(0, 1); });
    expect_sorted_error("Move", [&] { items.Move(0, 1); });
    expect_sorted_error("CustomSort",
                        [&] { items.CustomSort([](const TStringList&, int, int) { return 0; }); });
    items.Sort();
    EXPECT_EQ(Entries(items), "z0 y1 x2 w3");
    EXPECT_EQ(items.Add("Y"), 1);  // dupIgnore: the equal string's index
    items.SetDuplicates(dupError);
    try {
      items.Add("X");
      ADD_FAILURE() << "no exception for a duplicate";
    } catch (const EStringListError& e) {
      EXPECT_EQ(std::string(e.what()), "String list does not allow duplicates");
    }
    items.SetDuplicates(dupIgnore);
    EXPECT_EQ(items.AddObject("m", &tags[4]), 4);
    EXPECT_EQ(Entries(items), "z0 y1 x2 w3 m4");

    items.EndUpdate();
    EXPECT_EQ(Entries(items), "z0 y1 x2 w3 m4");
    EXPECT_EQ(counter.change, 0);
    items.EndUpdate();
    EXPECT_EQ(Entries(items), "m4 w3 x2 y1 z0");
    EXPECT_EQ(counter.changing, 1);
    EXPECT_EQ(counter.change, 1);
    EXPECT_TRUE(items.Sorted());
    EXPECT_TRUE(sorted());
    int index = -1;
    EXPECT_TRUE(items.Find("X", index));
    EXPECT_EQ(index, 2);

    // Outside the bracket a rewrite moves the entry again.
    items.SetStrings(0, "zz");
    EXPECT_EQ(Entries(items), "w3 x2 y1 z0 zz4");
  });
}

TEST(StdCtrls, TurningSortingOffInsideTheBracketKeepsTheRewrittenOrder) {
  ForEachListControl(true, [](TListControlStrings& items, const std::function<bool()>& sorted) {
    Fill(items, {"a", "b", "c"});
    {
      TStringsUpdate update(items);
      items.SetStrings(0, "z");
      items.SetSorted(false);
      EXPECT_FALSE(items.Sorted());
      items.Insert(0, "q");
    }
    EXPECT_EQ(Entries(items), "q- z0 b1 c2");
    EXPECT_FALSE(items.Sorted());
    EXPECT_FALSE(sorted());
  });
}

TEST(StdCtrls, AnUpdateBracketLeftByAnExceptionStillSortsTheItems) {
  ForEachListControl(true, [](TListControlStrings& items, const std::function<bool()>&) {
    Fill(items, {"a", "b", "c"});
    try {
      TStringsUpdate update(items);
      items.SetStrings(0, "z");
      throw std::runtime_error("step failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(items.UpdateCount(), 0);
    EXPECT_EQ(Entries(items), "b1 c2 z0");
    EXPECT_TRUE(items.Sorted());
  });
}

TEST(StdCtrls, RewritingAnItemOfAnUnsortedControlKeepsItsPlace) {
  ForEachListControl(false, [](TListControlStrings& items, const std::function<bool()>& sorted) {
    Fill(items, {"b", "a", "c"});
    ChangeCounter counter(items);
    items.SetStrings(0, "z");
    EXPECT_EQ(Entries(items), "z0 a1 c2");
    EXPECT_EQ(counter.changing, 1);
    EXPECT_EQ(counter.change, 1);
    {
      TStringsUpdate update(items);
      items.SetStrings(2, "0");
      EXPECT_EQ(Entries(items), "z0 a1 02");
    }
    EXPECT_EQ(Entries(items), "z0 a1 02");
    EXPECT_FALSE(items.Sorted());
    EXPECT_FALSE(sorted());
    items.Insert(0, "q");  // still allowed
    EXPECT_EQ(Entries(items), "q- z0 a1 02");
  });
}

}  // namespace
}  // namespace kivo
