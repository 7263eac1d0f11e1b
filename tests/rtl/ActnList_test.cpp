#include "kivo/rtl/ActnList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/rtl/Forms.h"
#include "kivo/rtl/Menus.h"
#include "kivo/rtl/StdCtrls.h"

namespace kivo {
namespace {

class ActionTest : public ::testing::Test {
 protected:
  ActionTest() : form(new TForm(nullptr)), list(new TActionList(form)), save(new TAction(form)) {
    save->SetActionList(list);
    save->SetCaption("&Save");
    save->SetHint("Saves the file");
    save->SetEnabled(false);
  }
  ~ActionTest() override { delete form; }

  TForm* form;
  TActionList* list;
  TAction* save;
};

TEST_F(ActionTest, LinkedClientsTakeTheActionsStateAndFollowIt) {
  auto* button = new TButton(form);
  auto* item = new TMenuItem(form);
  auto* check = new TCheckBox(form);
  button->SetAction(save);
  item->SetAction(save);
  check->SetAction(save);
  EXPECT_EQ(button->Caption(), "&Save");
  EXPECT_EQ(button->Hint(), "Saves the file");
  EXPECT_FALSE(button->Enabled());
  EXPECT_EQ(item->Caption(), "&Save");
  EXPECT_EQ(save->ClientCount(), 3);

  save->SetCaption("&Sichern");
  save->SetHint("Sichert die Datei");
  save->SetChecked(true);
  save->SetVisible(false);
  for (const TControl* c : {static_cast<TControl*>(button), static_cast<TControl*>(check)}) {
    SCOPED_TRACE(c->ClassName());
    EXPECT_EQ(c->Text(), "&Sichern");
    EXPECT_EQ(c->Hint(), "Sichert die Datei");
    EXPECT_FALSE(c->Visible());
  }
  EXPECT_EQ(item->Caption(), "&Sichern");
  EXPECT_EQ(item->Hint(), "Sichert die Datei");
  EXPECT_TRUE(item->Checked());
  EXPECT_TRUE(check->Checked());
  // The caption comes from the action, so it is not stored with the control.
  EXPECT_FALSE(TButton::StaticClass()->FindProperty("Caption")->IsStored(*button));
  button->SetAction(nullptr);
  EXPECT_TRUE(TButton::StaticClass()->FindProperty("Caption")->IsStored(*button));
  EXPECT_EQ(save->ClientCount(), 2);
}

TEST_F(ActionTest, AnActionDestroyedFirstLeavesItsClientsUnlinked) {
  auto* button = new TButton(form);
  auto* item = new TMenuItem(form);
  button->SetAction(save);
  item->SetAction(save);
  delete save;
  EXPECT_EQ(button->Action(), nullptr);
  EXPECT_EQ(item->Action(), nullptr);
  EXPECT_EQ(list->ActionCount(), 0);
  EXPECT_EQ(button->Caption(), "&Save");  // the control keeps the last text
  button->Click();                        // nothing to execute, nothing dangles
  item->Click();
}

TEST_F(ActionTest, AClientDestroyedFirstLeavesTheActionsClients) {
  auto* button = new TButton(form);
  auto* other = new TButton(form);
  button->SetAction(save);
  other->SetAction(save);
  delete button;
  EXPECT_EQ(save->ClientCount(), 1);
  save->SetCaption("Later");
  EXPECT_EQ(other->Caption(), "Later");
}

// A client's reaction to the new caption destroys another client; the rest are still served.
TEST_F(ActionTest, AClientDestroyedWhileTheActionUpdatesIsSkipped) {
  auto* first = new TEdit(form);
  auto* victim = new TEdit(form);
  auto* last = new TEdit(form);
  for (TEdit* e : {first, victim, last}) e->SetAction(save);
  first->OnChange = [&](TObject*) {
    delete victim;
    victim = nullptr;
  };
  save->SetCaption("Changed");
  EXPECT_EQ(victim, nullptr);
  EXPECT_EQ(last->Text(), "Changed");
  EXPECT_EQ(save->ClientCount(), 2);
}

TEST_F(ActionTest, ClickExecutesTheActionWhenNoOnClickIsSet) {
  int executed = 0;
  save->OnExecute = [&](TObject* sender) {
    EXPECT_EQ(sender, save);
    ++executed;
  };
  auto* button = new TButton(form);
  button->SetAction(save);
  button->Click();
  int clicked = 0;
  button->OnClick = [&](TObject*) { ++clicked; };
  button->Click();
  EXPECT_EQ(executed, 1);
  EXPECT_EQ(clicked, 1);
}

TEST_F(ActionTest, ActionsBelongToOneListInTheOrderTheyJoined) {
  auto* open = new TAction(form);
  auto* close = new TAction(form);
  open->SetActionList(list);
  close->SetActionList(list);
  ASSERT_EQ(list->GetActionCount(), 3);
  EXPECT_EQ(list->GetAction(0), save);
  EXPECT_EQ(list->Actions(2), close);
  EXPECT_EQ(close->Index(), 2);
  auto* other = new TActionList(form);
  open->SetActionList(other);
  EXPECT_EQ(list->ActionCount(), 2);
  EXPECT_EQ(other->Actions(0), open);
  try {
    list->Actions(2);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (2)");
  }
  delete list;
  EXPECT_EQ(save->ActionList(), nullptr);
  EXPECT_EQ(close->Index(), -1);
}

// Form files nest actions in their list: a list lists its actions, an action read nested in a
// list joins it.
TEST_F(ActionTest, AnActionNestedInAListJoinsItAndTheListListsItsActions) {
  auto* open = new TAction(form);
  open->SetParentComponent(list);
  auto* other = new TActionList(form);
  save->SetParentComponent(other);  // leaves its former list
  open->SetParentComponent(form);   // not a list: ignored
  open->SetParentComponent(nullptr);
  EXPECT_EQ(open->ActionList(), list);
  std::vector<TComponent*> children;
  list->GetChildren(children);
  EXPECT_EQ(children, (std::vector<TComponent*>{open}));
  children.clear();
  other->GetChildren(children);
  EXPECT_EQ(children, (std::vector<TComponent*>{save}));
}

TEST(ActnListTeardown, FormDestroysLinkedActionsAndClientsInEitherOrder) {
  for (bool action_first : {true, false}) {
    SCOPED_TRACE(action_first ? "action created first" : "controls created first");
    auto* form = new TForm(nullptr);
    TAction* action = action_first ? new TAction(form) : nullptr;
    auto* button = new TButton(form);
    auto* item = new TMenuItem(form);
    if (!action_first) action = new TAction(form);
    button->SetAction(action);
    item->SetAction(action);
    delete form;
  }
}

}  // namespace
}  // namespace kivo
