#include "kivo/core/KivoMultiReplacer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kivo/core/KivoMultiClassMethod.h"
#include "kivo/core/KivoMultiDD.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/ExtCtrls.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/StdCtrls.h"
#include "support/ClassMethods.h"
#include "support/CsvDictionary.h"
#include "support/Errors.h"

namespace kivo {
namespace {

// A form-stored dictionary whose lookups fail for the key "Boom".
class TReplacerFailingDD : public TKivoMultiStreamDD {
  KIVO_CLASS(TReplacerFailingDD, TKivoMultiStreamDD)
  explicit TReplacerFailingDD(TComponent* owner) : TKivoMultiStreamDD(owner) {}

  std::string GetDisplayValue(const std::string& dd_key, const std::string& code_page,
                              const std::string& seq_no) override {
    if (dd_key == "Boom") throw Exception("lookup failed");
    return TKivoMultiStreamDD::GetDisplayValue(dd_key, code_page, seq_no);
  }
};
KIVO_DEFINE_CLASS(TReplacerFailingDD) {}

// CSV bytes in which every key K translates to K' in code page 1252 (and K' to K'', so a text
// translated twice shows it) and to K# in code page 936.
std::string Dictionary(const std::vector<std::string>& keys) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& key : keys) {
    rows.push_back({key, "1252", "", key + "'"});
    rows.push_back({key + "'", "1252", "", key + "''"});
    rows.push_back({key, "936", "", key + "#"});
  }
  return testing::CsvDictionary(rows);
}

using testing::ErrorOf;

using testing::ClassMethods;

const std::vector<std::string> kKeys = {"Main form", "Form hint", "Name:", "OK",    "Accept",
                                        "Panel",     "Apply",     "Owned", "Inner", "Status"};

// A form "Form1" with a label, a button, a panel holding a button owned by the form, a label
// owned by the panel and an inner panel; a dictionary "Main" on a data module; a replacer on
// the form set to "Main" and code page 1252.
class Replacer : public ::testing::Test {
 protected:
  void SetUp() override {
    dd_ = new TKivoMultiStreamDD(&data_);
    dd_->SetDDName("Main");
    dd_->Dictionary()->Stream().WriteString(Dictionary(kKeys));
    BuildForm();
  }
  void TearDown() override {
    delete form_;
    form_ = nullptr;
  }

  // (Re)creates the form and everything on it.
  void BuildForm() {
    delete form_;
    form_ = new TForm(nullptr);
    form_->SetName("Form1");
    form_->SetText("Main form");
    form_->SetHint("Form hint");
    label_ = Control<TLabel>(form_, form_, "Label1", "Name:");
    button_ = Control<TButton>(form_, form_, "Button1", "OK", "Accept");
    panel_ = Control<TPanel>(form_, form_, "Panel1", "Panel");
    apply_ = Control<TButton>(form_, panel_, "Apply1", "Apply");
    owned_ = Control<TLabel>(panel_, panel_, "Owned1", "Owned");
    inner_ = Control<TPanel>(form_, panel_, "Inner1", "Inner");
    replacer_ = new TKivoMultiReplacer(form_);
    replacer_->SetName("Replacer1");
    replacer_->OwnerOption()->SetDDName("Main");
    replacer_->OwnerOption()->SetCodePage("1252");
  }

  template <class T>
  T* Control(TComponent* owner, TWinControl* parent, const std::string& name,
             const std::string& text, const std::string& hint = "") {
    auto* control = new T(owner);
    control->SetName(name);
    control->SetParent(parent);
    control->SetText(text);
    control->SetHint(hint);
    return control;
  }

  // Reads the form as a form-file reader would: everything enters the loading state, then
  // everything is told that loading is over.
  static void SimulateLoading(TComponent* root) {
    std::vector<TComponent*> all;
    std::function<void(TComponent*)> collect = [&](TComponent* c) {
      all.push_back(c);
      for (int i = 0; i < c->ComponentCount(); ++i) collect(c->Components(i));
    };
    collect(root);
    for (TComponent* c : all) c->BeginLoading();
    for (TComponent* c : all) c->Loaded();
  }

  TReplaceCom* AddReplaceCom(TComponent* component, const std::string& code_page = "936") {
    auto* item = replacer_->ReplaceComs()->Add<TReplaceCom>();
    item->SetComponent(component);
    item->ReplaceOption()->SetDDName("Main");
    item->ReplaceOption()->SetCodePage(code_page);
    return item;
  }

  TKivoCore core_;
  ClassMethods class_methods_;
  TDataModule data_{nullptr};
  TKivoMultiStreamDD* dd_ = nullptr;
  TForm* form_ = nullptr;
  TLabel* label_ = nullptr;
  TButton* button_ = nullptr;
  TPanel* panel_ = nullptr;
  TButton* apply_ = nullptr;  // owned by the form, on the panel
  TLabel* owned_ = nullptr;   // owned by the panel
  TPanel* inner_ = nullptr;   // owned by the form, on the panel
  TKivoMultiReplacer* replacer_ = nullptr;
};

TEST_F(Replacer, CreatesDefaultsAndPublishesPropertiesInOrder) {
  EXPECT_TRUE(replacer_->AutoReplace());
  EXPECT_EQ(replacer_->ReplaceComs()->Count(), 0);
  EXPECT_EQ(replacer_->UnReplaceComs()->Count(), 0);
  EXPECT_EQ(replacer_->ReplaceComs()->Owner(), replacer_);
  EXPECT_EQ(replacer_->UnReplaceComs()->Owner(), replacer_);
  std::vector<std::string> names;
  for (const TPropInfo& p : TKivoMultiReplacer::StaticClass()->OwnProperties()) {
    names.push_back(p.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ReplaceComs", "UnReplaceComs", "AutoReplace",
                                             "OwnerOption", "OnBeforeReplace", "OnAfterReplaced"}));
  std::vector<std::string> item_names;
  for (const TPropInfo& p : TReplaceCom::StaticClass()->OwnProperties()) {
    item_names.push_back(p.name);
  }
  EXPECT_EQ(item_names, (std::vector<std::string>{"Component", "ReplaceOption"}));
}

// --- Loading

TEST_F(Replacer, LoadingTranslatesTheOwnerOnceOutsideADesignerWithAutoReplaceOn) {
  struct Case {
    const char* name;
    bool designing;
    bool auto_replace;
    bool translated;
  };
  const Case cases[] = {
      {"running, auto", false, true, true},
      {"designing, auto", true, true, false},
      {"running, no auto", false, false, false},
      {"designing, no auto", true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BuildForm();
    form_->SetDesigning(c.designing);
    replacer_->SetAutoReplace(c.auto_replace);
    int before = 0;
    replacer_->OnBeforeReplace = [&before](TObject*) { ++before; };
    SimulateLoading(form_);
    const std::string q = c.translated ? "'" : "";
    EXPECT_EQ(before, c.translated ? 1 : 0);
    EXPECT_EQ(form_->Text(), "Main form" + q);
    EXPECT_EQ(form_->Hint(), "Form hint" + q);
    EXPECT_EQ(label_->Text(), "Name:" + q);
    EXPECT_EQ(button_->Text(), "OK" + q);
    EXPECT_EQ(button_->Hint(), "Accept" + q);
    EXPECT_EQ(apply_->Text(), "Apply" + q);
    EXPECT_EQ(owned_->Text(), "Owned" + q);
  }
}

TEST_F(Replacer, ReplaceTranslatesOnRequestAndLooksTranslatedTextsUpAgain) {
  replacer_->SetAutoReplace(false);
  SimulateLoading(form_);
  EXPECT_EQ(form_->Text(), "Main form");
  replacer_->Replace();
  EXPECT_EQ(form_->Text(), "Main form'");
  EXPECT_EQ(apply_->Text(), "Apply'");
  replacer_->Replace();
  EXPECT_EQ(form_->Text(), "Main form''");
  EXPECT_EQ(apply_->Text(), "Apply''");
}

TEST_F(Replacer, WithoutOwnerOnlyTheListedComponentsAreTranslated) {
  TKivoMultiReplacer alone(nullptr);
  alone.OwnerOption()->SetDDName("Main");
  auto* item = alone.ReplaceComs()->Add<TReplaceCom>();
  item->SetComponent(panel_);
  item->ReplaceOption()->SetDDName("Main");
  item->ReplaceOption()->SetCodePage("1252");
  alone.Replace();
  EXPECT_EQ(panel_->Text(), "Panel'");
  EXPECT_EQ(owned_->Text(), "Owned'");
  EXPECT_EQ(form_->Text(), "Main form");
  EXPECT_EQ(button_->Text(), "OK");
}

// --- Per-component settings

TEST_F(Replacer, AListedComponentKeepsItsCodePageForItselfWhatItOwnsAndWhatItContains) {
  AddReplaceCom(panel_);
  replacer_->Replace();
  EXPECT_EQ(panel_->Text(), "Panel#");
  EXPECT_EQ(apply_->Text(), "Apply#");  // contained, owned by the form
  EXPECT_EQ(owned_->Text(), "Owned#");  // owned by the panel
  EXPECT_EQ(inner_->Text(), "Inner#");
  EXPECT_EQ(form_->Text(), "Main form'");
  EXPECT_EQ(button_->Text(), "OK'");
}

TEST_F(Replacer, AListedComponentWithoutReplaceSelfIsTranslatedByTheOwnerWalk) {
  AddReplaceCom(panel_)->ReplaceOption()->SetReplaceSelf(false);
  replacer_->Replace();
  EXPECT_EQ(panel_->Text(), "Panel'");
  EXPECT_EQ(apply_->Text(), "Apply#");
  EXPECT_EQ(owned_->Text(), "Owned#");
  EXPECT_EQ(form_->Text(), "Main form'");
}

TEST_F(Replacer, ItemsAreHandledInOrderAndTheFirstToReachAComponentWins) {
  // The inner panel is listed after the panel that contains it: the panel's second pass (936)
  // does not reach it, since its own first pass (1252) has entered it already.
  AddReplaceCom(panel_);
  AddReplaceCom(inner_, "1252");
  replacer_->Replace();
  EXPECT_EQ(panel_->Text(), "Panel#");
  EXPECT_EQ(inner_->Text(), "Inner'");
  EXPECT_EQ(apply_->Text(), "Apply#");
}

TEST_F(Replacer, AnExcludedComponentKeepsItsTextsButFormOwnedControlsOnItAreTranslated) {
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(panel_);
  replacer_->Replace();
  EXPECT_EQ(panel_->Text(), "Panel");
  EXPECT_EQ(owned_->Text(), "Owned");   // below the panel in the ownership tree
  EXPECT_EQ(apply_->Text(), "Apply'");  // owned by the form
  EXPECT_EQ(inner_->Text(), "Inner'");
  EXPECT_EQ(form_->Text(), "Main form'");
}

TEST_F(Replacer, AnExcludedComponentInsideAListedOneIsSkippedByItsWalks) {
  AddReplaceCom(panel_);
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(inner_);
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(owned_);
  replacer_->Replace();
  EXPECT_EQ(panel_->Text(), "Panel#");
  EXPECT_EQ(apply_->Text(), "Apply#");
  EXPECT_EQ(inner_->Text(), "Inner");
  EXPECT_EQ(owned_->Text(), "Owned");
}

TEST_F(Replacer, AllowReplaceComRefusesNullAndExcludedComponents) {
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(panel_);
  AddReplaceCom(button_);
  EXPECT_FALSE(replacer_->AllowReplaceCom(nullptr));
  EXPECT_FALSE(replacer_->AllowReplaceCom(panel_));
  EXPECT_TRUE(replacer_->AllowReplaceCom(button_));
  EXPECT_TRUE(replacer_->AllowReplaceCom(label_));
}

TEST_F(Replacer, ItemsNamingNoRegisteredDictionaryAreSkipped) {
  AddReplaceCom(panel_)->ReplaceOption()->SetDDName("Missing");
  AddReplaceCom(button_, "1252");
  replacer_->Replace();
  EXPECT_EQ(button_->Text(), "OK'");
  EXPECT_EQ(panel_->Text(), "Panel'");  // by the owner walk
  EXPECT_EQ(owned_->Text(), "Owned'");

  replacer_->OwnerOption()->SetDDName("Missing");
  replacer_->Replace();
  EXPECT_EQ(button_->Text(), "OK''");
  EXPECT_EQ(form_->Text(), "Main form'");  // the owner pass is skipped
  EXPECT_EQ(panel_->Text(), "Panel'");
}

TEST_F(Replacer, ItemsWithoutComponentAreSkipped) {
  replacer_->ReplaceComs()->Add<TReplaceCom>()->ReplaceOption()->SetDDName("Main");
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>();
  replacer_->Replace();
  EXPECT_EQ(form_->Text(), "Main form'");
  EXPECT_EQ(panel_->Text(), "Panel'");
}

// --- Component writers

TEST_F(Replacer, ComponentWritersKeepEachComponentInOneItemOfOneList) {
  struct Case {
    const char* name;
    bool first_in_replace;
    bool second_in_replace;
    const char* message;
  };
  const Case cases[] = {
      {"replace, then unreplace", true, false,
       "component: \"Panel1\" already added in replace list."},
      {"unreplace, then replace", false, true,
       "component: \"Panel1\" already added in unreplace list."},
      {"replace twice", true, true, "component: \"Panel1\" already added."},
      {"unreplace twice", false, false, "component: \"Panel1\" already added."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    replacer_->ReplaceComs()->Clear();
    replacer_->UnReplaceComs()->Clear();
    auto set = [&](bool in_replace, TComponent* component) -> std::function<TComponent*()> {
      if (in_replace) {
        auto* item = replacer_->ReplaceComs()->Add<TReplaceCom>();
        item->SetComponent(button_);
        return [item, component] {
          item->SetComponent(component);
          return item->Component();
        };
      }
      auto* item = replacer_->UnReplaceComs()->Add<TUnReplaceCom>();
      item->SetComponent(button_);
      return [item, component] {
        item->SetComponent(component);
        return item->Component();
      };
    };
    EXPECT_EQ(set(c.first_in_replace, panel_)(), panel_);
    auto second = set(c.second_in_replace, panel_);
    TComponent* kept = nullptr;
    EXPECT_EQ(ErrorOf([&] { kept = second(); }), c.message);
    // The failing item keeps its former component.
    TComponent* former =
        c.second_in_replace
            ? replacer_->ReplaceComs()->Items(replacer_->ReplaceComs()->Count() - 1)->Component()
            : replacer_->UnReplaceComs()
                  ->Items(replacer_->UnReplaceComs()->Count() - 1)
                  ->Component();
    EXPECT_EQ(kept, nullptr);
    EXPECT_EQ(former, button_);
  }
}

TEST_F(Replacer, WritingTheCurrentComponentAgainOrNullPasses) {
  TReplaceCom* item = AddReplaceCom(panel_);
  auto* un = replacer_->UnReplaceComs()->Add<TUnReplaceCom>();
  un->SetComponent(button_);
  EXPECT_EQ(ErrorOf([&] { item->SetComponent(panel_); }), "no error");
  EXPECT_EQ(ErrorOf([&] { un->SetComponent(button_); }), "no error");
  EXPECT_EQ(item->Component(), panel_);
  EXPECT_EQ(un->Component(), button_);
  item->SetComponent(nullptr);
  un->SetComponent(nullptr);
  EXPECT_EQ(item->Component(), nullptr);
  EXPECT_EQ(un->Component(), nullptr);
  // Now free for the other list.
  EXPECT_EQ(ErrorOf([&] { un->SetComponent(panel_); }), "no error");
}

TEST_F(Replacer, FindComAndDisplayNames) {
  TReplaceCom* item = AddReplaceCom(panel_);
  auto* empty = replacer_->ReplaceComs()->Add<TReplaceCom>();
  auto* un = replacer_->UnReplaceComs()->Add<TUnReplaceCom>();
  un->SetComponent(button_);
  auto* un_empty = replacer_->UnReplaceComs()->Add<TUnReplaceCom>();
  EXPECT_EQ(replacer_->ReplaceComs()->FindCom(panel_), item);
  EXPECT_EQ(replacer_->ReplaceComs()->FindCom(button_), nullptr);
  EXPECT_EQ(replacer_->ReplaceComs()->FindCom(nullptr), empty);
  EXPECT_EQ(replacer_->UnReplaceComs()->FindCom(button_), un);
  EXPECT_EQ(replacer_->UnReplaceComs()->FindCom(panel_), nullptr);
  EXPECT_EQ(item->DisplayName(), "Panel1");
  EXPECT_EQ(empty->DisplayName(), "");
  EXPECT_EQ(un->DisplayName(), "Button1");
  EXPECT_EQ(un_empty->DisplayName(), "");
  EXPECT_EQ(item->Replacer(), replacer_);
  EXPECT_EQ(un->Replacer(), replacer_);
}

// --- Lifetimes

TEST_F(Replacer, ADestroyedComponentLeavesItsItemsEmpty) {
  TComponent other(nullptr);
  auto* foreign = new TPanel(&other);  // owned elsewhere, on the form
  foreign->SetName("Foreign");
  foreign->SetParent(form_);
  TReplaceCom* item = AddReplaceCom(foreign);
  TReplaceCom* panel_item = AddReplaceCom(panel_);
  auto* un = replacer_->UnReplaceComs()->Add<TUnReplaceCom>();
  un->SetComponent(button_);

  delete foreign;
  delete panel_;  // also destroys the label it owns
  delete button_;
  EXPECT_EQ(item->Component(), nullptr);
  EXPECT_EQ(panel_item->Component(), nullptr);
  EXPECT_EQ(un->Component(), nullptr);
  EXPECT_EQ(replacer_->ReplaceComs()->Count(), 2);
  EXPECT_EQ(replacer_->UnReplaceComs()->Count(), 1);
  EXPECT_EQ(ErrorOf([&] { replacer_->Replace(); }), "no error");
  EXPECT_EQ(form_->Text(), "Main form'");
  EXPECT_EQ(label_->Text(), "Name:'");
}

TEST_F(Replacer, TheReplacerMayGoFirst) {
  TComponent other(nullptr);
  auto* foreign = new TPanel(&other);
  foreign->SetName("Foreign");
  AddReplaceCom(foreign);
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(button_);
  delete replacer_;
  replacer_ = nullptr;
  delete foreign;  // must not reach the destroyed replacer
  delete button_;
  EXPECT_EQ(form_->ComponentCount(), 4);
}

TEST_F(Replacer, TheFormMayDestroyBothInEitherOrder) {
  for (bool replacer_first : {true, false}) {
    SCOPED_TRACE(replacer_first ? "replacer created first" : "replacer created last");
    auto* form = new TForm(nullptr);
    TKivoMultiReplacer* replacer = nullptr;
    if (replacer_first) replacer = new TKivoMultiReplacer(form);
    auto* a = new TButton(form);
    a->SetName("A");
    auto* b = new TButton(form);
    b->SetName("B");
    if (!replacer_first) replacer = new TKivoMultiReplacer(form);
    replacer->ReplaceComs()->Add<TReplaceCom>()->SetComponent(a);
    replacer->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(b);
    delete form;
  }
}

// --- Events

TEST_F(Replacer, EventsRunOnceBeforeTheFirstAndAfterTheLastTranslation) {
  std::vector<std::string> seen;
  replacer_->OnBeforeReplace = [&](TObject* sender) {
    EXPECT_EQ(sender, replacer_);
    seen.push_back("before " + form_->Text() + " " + panel_->Text());
  };
  replacer_->OnAfterReplaced = [&](TObject* sender) {
    EXPECT_EQ(sender, replacer_);
    seen.push_back("after " + form_->Text() + " " + panel_->Text());
  };
  AddReplaceCom(panel_);
  replacer_->Replace();
  EXPECT_EQ(seen, (std::vector<std::string>{"before Main form Panel", "after Main form' Panel#"}));
  replacer_->Replace();
  EXPECT_EQ(seen.size(), 4u);
}

TEST_F(Replacer, AFailingPassLeavesReplaceWithoutOnAfterReplaced) {
  auto* failing = new TReplacerFailingDD(&data_);
  failing->SetDDName("Failing");
  failing->Dictionary()->Stream().WriteString(Dictionary(kKeys));
  struct Case {
    const char* name;
    TComponent* where;  // the component whose text fails
    bool list_panel;
  };
  const Case cases[] = {
      {"first pass", panel_, true},
      {"second pass", apply_, true},
      {"owner pass", button_, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    replacer_->ReplaceComs()->Clear();
    form_->SetText("Main form");
    panel_->SetText("Panel");
    apply_->SetText("Apply");
    button_->SetText("OK");
    label_->SetText("Name:");
    static_cast<TControl*>(c.where)->SetText("Boom");
    replacer_->OwnerOption()->SetDDName("Failing");
    if (c.list_panel) AddReplaceCom(panel_)->ReplaceOption()->SetDDName("Failing");
    int before = 0;
    int after = 0;
    replacer_->OnBeforeReplace = [&before](TObject*) { ++before; };
    replacer_->OnAfterReplaced = [&after](TObject*) { ++after; };
    EXPECT_EQ(ErrorOf([&] { replacer_->Replace(); }), "lookup failed");
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 0);
    // Texts translated before the failure stay translated.
    if (c.where == apply_) {
      EXPECT_EQ(panel_->Text(), "Panel#");
    }
    if (c.where == button_) {
      EXPECT_EQ(form_->Text(), "Main form'");
      EXPECT_EQ(label_->Text(), "Name:'");
    }
  }
}

// --- Options and collection copies

TEST_F(Replacer, OwnerOptionCopiesAndIgnoresNull) {
  TMultiReplaceOption option;
  option.SetDDName("Other");
  option.SetCodePage("936");
  option.SetReplaceSon(false);
  TMultiReplaceOption* owned = replacer_->OwnerOption();
  replacer_->SetOwnerOption(&option);
  EXPECT_EQ(replacer_->OwnerOption(), owned);
  EXPECT_EQ(owned->CodePage(), "936");
  EXPECT_FALSE(owned->ReplaceSon());
  replacer_->SetOwnerOption(nullptr);
  EXPECT_EQ(owned->DDName(), "Other");
  EXPECT_EQ(owned->CodePage(), "936");
}

TEST_F(Replacer, AssigningCollectionsCopiesComponentsAndOptions) {
  TReplaceCom* source = AddReplaceCom(panel_);
  source->ReplaceOption()->SetSeqNo("7");
  source->ReplaceOption()->SetReplaceOwned(false);
  replacer_->ReplaceComs()->Add<TReplaceCom>();  // without component
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(button_);

  auto* copy = new TKivoMultiReplacer(form_);
  copy->ReplaceComs()->Add<TReplaceCom>()->SetComponent(label_);  // replaced by the copy
  copy->SetReplaceComs(replacer_->ReplaceComs());
  copy->SetUnReplaceComs(replacer_->UnReplaceComs());
  ASSERT_EQ(copy->ReplaceComs()->Count(), 2);
  TReplaceCom* first = copy->ReplaceComs()->Items(0);
  EXPECT_EQ(first->Component(), panel_);
  EXPECT_NE(first->ReplaceOption(), source->ReplaceOption());
  EXPECT_EQ(first->ReplaceOption()->DDName(), "Main");
  EXPECT_EQ(first->ReplaceOption()->CodePage(), "936");
  EXPECT_EQ(first->ReplaceOption()->SeqNo(), "7");
  EXPECT_FALSE(first->ReplaceOption()->ReplaceOwned());
  EXPECT_EQ(copy->ReplaceComs()->Items(1)->Component(), nullptr);
  ASSERT_EQ(copy->UnReplaceComs()->Count(), 1);
  EXPECT_EQ(copy->UnReplaceComs()->Items(0)->Component(), button_);
  EXPECT_FALSE(copy->AllowReplaceCom(button_));

  // The copy watches the copied components itself.
  delete replacer_;
  replacer_ = nullptr;
  delete panel_;
  delete button_;
  EXPECT_EQ(copy->ReplaceComs()->Items(0)->Component(), nullptr);
  EXPECT_EQ(copy->UnReplaceComs()->Items(0)->Component(), nullptr);
}

TEST_F(Replacer, ACopyThatWouldBreakTheListsFailsAndChangesNothing) {
  AddReplaceCom(panel_);
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(button_);

  TKivoMultiReplacer other(nullptr);
  other.UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(panel_);
  other.ReplaceComs()->Add<TReplaceCom>()->SetComponent(button_);
  EXPECT_EQ(ErrorOf([&] { other.SetReplaceComs(replacer_->ReplaceComs()); }),
            "component: \"Panel1\" already added in unreplace list.");
  EXPECT_EQ(ErrorOf([&] { other.SetUnReplaceComs(replacer_->UnReplaceComs()); }),
            "component: \"Button1\" already added in replace list.");
  ASSERT_EQ(other.ReplaceComs()->Count(), 1);
  EXPECT_EQ(other.ReplaceComs()->Items(0)->Component(), button_);
  ASSERT_EQ(other.UnReplaceComs()->Count(), 1);
  EXPECT_EQ(other.UnReplaceComs()->Items(0)->Component(), panel_);
}

TEST_F(Replacer, CopyingFromACollectionWithoutReplacer) {
  // Without a replacer the items still refuse a component twice, but nobody watches it.
  TReplaceComs loose(nullptr);
  loose.Add<TReplaceCom>()->SetComponent(panel_);
  EXPECT_EQ(ErrorOf([&] { loose.Add<TReplaceCom>()->SetComponent(panel_); }),
            "component: \"Panel1\" already added.");
  loose.Delete(1);
  TUnReplaceComs loose_un(nullptr);
  loose_un.Add<TUnReplaceCom>()->SetComponent(label_);
  replacer_->SetReplaceComs(&loose);
  replacer_->SetUnReplaceComs(&loose_un);
  EXPECT_EQ(replacer_->ReplaceComs()->FindCom(panel_)->Replacer(), replacer_);
  EXPECT_FALSE(replacer_->AllowReplaceCom(label_));
  loose.Clear();  // the copies do not depend on the source
  loose_un.Clear();
  delete panel_;
  delete label_;
  EXPECT_EQ(replacer_->ReplaceComs()->Items(0)->Component(), nullptr);
  EXPECT_EQ(replacer_->UnReplaceComs()->Items(0)->Component(), nullptr);
}

TEST_F(Replacer, AssigningACollectionToItselfOrFromAnotherClass) {
  AddReplaceCom(panel_);
  replacer_->SetReplaceComs(replacer_->ReplaceComs());
  ASSERT_EQ(replacer_->ReplaceComs()->Count(), 1);
  EXPECT_EQ(replacer_->ReplaceComs()->Items(0)->Component(), panel_);
  EXPECT_EQ(ErrorOf([&] { replacer_->SetReplaceComs(nullptr); }),
            "Cannot assign a nil to a TReplaceComs");
  EXPECT_EQ(ErrorOf([&] { replacer_->ReplaceComs()->Assign(replacer_->UnReplaceComs()); }),
            "no error");  // an empty collection copies
  replacer_->UnReplaceComs()->Add<TUnReplaceCom>()->SetComponent(button_);
  EXPECT_EQ(ErrorOf([&] { replacer_->ReplaceComs()->Assign(replacer_->UnReplaceComs()); }),
            "Cannot assign a TUnReplaceCom to a TReplaceCom");
}

}  // namespace
}  // namespace kivo
