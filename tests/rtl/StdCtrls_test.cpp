#include "kivo/rtl/StdCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/rtl/Buttons.h"
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

}  // namespace
}  // namespace kivo
