#include "kivo/rtl/Forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/rtl/StdCtrls.h"

namespace kivo {
namespace {

// Records the screen's active-form changes and the forms' activation events; restores the
// screen's handler afterwards.
class ScreenTest : public ::testing::Test {
 protected:
  ScreenTest() : saved_(Screen().OnActiveFormChange) {
    Screen().OnActiveFormChange = [this](TObject* sender) {
      EXPECT_EQ(sender, &Screen());
      TCustomForm* active = Screen().ActiveForm();
      log.push_back("change:" + (active != nullptr ? active->Name() : std::string("nil")));
    };
  }
  ~ScreenTest() override { Screen().OnActiveFormChange = saved_; }

  TForm* MakeForm(const std::string& name) {
    auto* f = new TForm(nullptr);
    f->SetName(name);
    f->OnActivate = [this, name](TObject*) { log.push_back("activate:" + name); };
    f->OnDeactivate = [this, name](TObject*) { log.push_back("deactivate:" + name); };
    return f;
  }

  std::vector<std::string> log;

 private:
  TNotifyEvent saved_;
};

TEST_F(ScreenTest, FormsJoinTheScreenInCreationOrderAndLeaveWhenDestroyed) {
  const int before = Screen().FormCount();
  TForm* a = MakeForm("A");
  TForm* b = MakeForm("B");
  ASSERT_EQ(Screen().FormCount(), before + 2);
  EXPECT_EQ(Screen().Forms(before), a);
  EXPECT_EQ(Screen().Forms(before + 1), b);
  delete a;
  EXPECT_EQ(Screen().FormCount(), before + 1);
  EXPECT_EQ(Screen().Forms(before), b);
  delete b;
  EXPECT_EQ(Screen().FormCount(), before);
  EXPECT_TRUE(log.empty());  // neither was ever active
}

TEST_F(ScreenTest, ShowingOrActivatingMakesTheActiveFormAndFiresOnlyOnChange) {
  TForm* a = MakeForm("A");
  TForm* b = MakeForm("B");
  EXPECT_FALSE(a->Visible());
  a->Show();
  EXPECT_TRUE(a->Visible());
  EXPECT_EQ(Screen().ActiveForm(), a);
  a->Show();
  a->Activate();
  b->Activate();
  b->SetActive(true);
  a->SetActive(false);  // not active: nothing happens
  EXPECT_EQ(log, (std::vector<std::string>{"activate:A", "change:A", "deactivate:A", "activate:B",
                                           "change:B"}));
  EXPECT_TRUE(b->Active());
  delete a;
  delete b;
}

TEST_F(ScreenTest, DestroyingTheActiveFormLeavesNoActiveForm) {
  TForm* a = MakeForm("A");
  TForm* b = MakeForm("B");
  auto* button = new TButton(b);  // the form's components go with it
  button->SetParent(b);
  b->Show();
  log.clear();
  delete a;  // not active: no event
  EXPECT_TRUE(log.empty());
  delete b;
  EXPECT_EQ(Screen().ActiveForm(), nullptr);
  // The dying form's own OnDeactivate is not called: its derived parts are gone.
  EXPECT_EQ(log, (std::vector<std::string>{"change:nil"}));
}

TEST_F(ScreenTest, HidingTheActiveFormLeavesNoActiveForm) {
  TForm* a = MakeForm("A");
  int shown = 0;
  int hidden = 0;
  a->OnShow = [&](TObject*) { ++shown; };
  a->OnHide = [&](TObject*) { ++hidden; };
  a->Show();
  a->Hide();
  a->Hide();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(hidden, 1);
  EXPECT_EQ(Screen().ActiveForm(), nullptr);
  EXPECT_EQ(log,
            (std::vector<std::string>{"activate:A", "change:A", "deactivate:A", "change:nil"}));
  delete a;
}

TEST_F(ScreenTest, AFormReadVisibleIsShownByLoaded) {
  TForm* a = MakeForm("A");
  a->BeginLoading();
  a->SetVisible(true);
  EXPECT_EQ(Screen().ActiveForm(), nullptr);
  a->Loaded();
  EXPECT_EQ(Screen().ActiveForm(), a);
  delete a;
}

TEST(Forms, ScreenIsOneObjectAndItsFormsIndexIsChecked) {
  EXPECT_EQ(&Screen(), &Screen());
  try {
    Screen().Forms(Screen().FormCount());
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(),
              "List index out of bounds (" + std::to_string(Screen().FormCount()) + ")");
  }
}

TEST(Forms, FramesAndDataModulesDestroyWhatTheyOwn) {
  TForm form(nullptr);
  auto* frame = new TFrame(&form);
  frame->SetParent(&form);
  auto* inside = new TButton(frame);
  inside->SetParent(frame);
  auto* outside = new TButton(&form);  // owned by the form, shown on the frame
  outside->SetParent(frame);
  delete frame;
  EXPECT_EQ(outside->Parent(), nullptr);
  EXPECT_EQ(form.ComponentCount(), 1);

  auto* module = new TDataModule(nullptr);
  new TComponent(module);
  EXPECT_FALSE(Is<TControl>(module));
  delete module;
}

}  // namespace
}  // namespace kivo
