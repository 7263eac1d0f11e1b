#include "kivo/core/KivoMultiScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/core/KivoMultiClassMethod.h"
#include "kivo/core/KivoMultiDD.h"
#include "kivo/core/KivoMultiReplacer.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/ExtCtrls.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/StdCtrls.h"
#include "support/ClassMethods.h"
#include "support/CsvDictionary.h"
#include "support/Errors.h"

namespace kivo {
namespace {

class TEyeMainForm : public TForm {
  KIVO_CLASS(TEyeMainForm, TForm)
  explicit TEyeMainForm(TComponent* owner) : TForm(owner) {}
};
KIVO_DEFINE_CLASS(TEyeMainForm) {}

class TEyeOtherForm : public TForm {
  KIVO_CLASS(TEyeOtherForm, TForm)
  explicit TEyeOtherForm(TComponent* owner) : TForm(owner) {}
};
KIVO_DEFINE_CLASS(TEyeOtherForm) {}

// CSV bytes in which every key K translates to K' in code page 1252 (K' to K''), to K# in 936
// and to K~ in 950.
std::string Dictionary(const std::vector<std::string>& keys) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& key : keys) {
    rows.push_back({key, "1252", "", key + "'"});
    rows.push_back({key + "'", "1252", "", key + "''"});
    rows.push_back({key, "936", "", key + "#"});
    rows.push_back({key, "950", "", key + "~"});
  }
  return testing::CsvDictionary(rows);
}

using testing::ErrorOf;

using testing::ClassMethods;

// A form with its controls: a label, a panel holding a button owned by the form and a label
// owned by the panel.
struct EyeForm {
  TCustomForm* form;
  TLabel* label;
  TPanel* panel;
  TButton* button;
  TLabel* owned;
};

class ScreenEye : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_screen_handler_ = Screen().OnActiveFormChange;
    Screen().OnActiveFormChange = nullptr;
    auto* dd = new TKivoMultiStreamDD(&data_);
    dd->SetDDName("Main");
    dd->Dictionary()->Stream().WriteString(
        Dictionary({"Caption", "Label", "Panel", "Button", "Owned"}));
    eye_ = new TKivoMultiScreenEye(&data_);
    eye_->DefaultReplaceOption()->SetDDName("Main");
    eye_->DefaultReplaceOption()->SetCodePage("1252");
  }
  void TearDown() override {
    // The tests' handlers capture their locals.
    Screen().OnActiveFormChange = nullptr;
    for (TCustomForm* form : forms_) delete form;
    forms_.clear();
    delete eye_;
    Screen().OnActiveFormChange = saved_screen_handler_;
  }

  template <class T = TEyeMainForm>
  EyeForm MakeForm(const std::string& name) {
    EyeForm f{};
    f.form = new T(nullptr);
    forms_.push_back(f.form);
    f.form->SetName(name);
    f.form->SetText("Caption");
    f.label = Control<TLabel>(f.form, f.form, "Label1", "Label");
    f.panel = Control<TPanel>(f.form, f.form, "Panel1", "Panel");
    f.button = Control<TButton>(f.form, f.panel, "Button1", "Button");
    f.owned = Control<TLabel>(f.panel, f.panel, "Owned1", "Owned");
    return f;
  }
  void Destroy(TCustomForm* form) {
    std::erase(forms_, form);
    delete form;
  }

  template <class T>
  T* Control(TComponent* owner, TWinControl* parent, const std::string& name,
             const std::string& text) {
    auto* control = new T(owner);
    control->SetName(name);
    control->SetParent(parent);
    control->SetText(text);
    return control;
  }

  TMultiReplaceForm* AddEntry(const std::string& class_name, const std::string& form_name,
                              const std::string& code_page) {
    TMultiReplaceData* data = eye_->ReplaceDatas()->FindFormClass(class_name);
    if (data == nullptr) {
      data = eye_->ReplaceDatas()->Add<TMultiReplaceData>();
      data->SetFormClassName(class_name);
    }
    auto* entry = data->ReplaceForms()->Add<TMultiReplaceForm>();
    entry->SetFormName(form_name);
    entry->ReplaceOption()->SetDDName("Main");
    entry->ReplaceOption()->SetCodePage(code_page);
    return entry;
  }

  TKivoCore core_;
  ClassMethods class_methods_;
  TDataModule data_{nullptr};
  TKivoMultiScreenEye* eye_ = nullptr;
  std::vector<TCustomForm*> forms_;
  TNotifyEvent saved_screen_handler_;
};

TEST_F(ScreenEye, CreatesDefaultsAndPublishesPropertiesInOrder) {
  EXPECT_TRUE(eye_->ReplaceNotRegister());
  EXPECT_FALSE(eye_->Hooked());
  EXPECT_EQ(eye_->ReplaceDatas()->Owner(), eye_);
  std::vector<std::string> names;
  for (const TPropInfo& p : TKivoMultiScreenEye::StaticClass()->OwnProperties()) {
    names.push_back(p.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ReplaceNotRegister", "DefaultReplaceOption",
                                             "ReplaceDatas", "OnBeforeReplace", "OnAfterReplace"}));
  names.clear();
  for (const TPropInfo& p : TMultiReplaceForm::StaticClass()->OwnProperties()) {
    names.push_back(p.name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"FormName", "ReplaceOption", "ReplaceComs",
                                             "UnReplaceComs"}));
}

// --- Translating forms

TEST_F(ScreenEye, AFormIsTranslatedOnceHoweverOftenItIsActivated) {
  eye_->HookScreenEvent();
  EyeForm a = MakeForm("Form1");
  EyeForm b = MakeForm<TEyeOtherForm>("Form2");
  a.form->Activate();
  EXPECT_EQ(a.form->Text(), "Caption'");
  EXPECT_EQ(a.label->Text(), "Label'");
  EXPECT_EQ(a.button->Text(), "Button'");
  EXPECT_EQ(a.owned->Text(), "Owned'");
  EXPECT_EQ(b.form->Text(), "Caption");
  b.form->Activate();
  a.form->Activate();
  eye_->Replace(a.form);
  EXPECT_EQ(a.form->Text(), "Caption'");
  EXPECT_EQ(b.form->Text(), "Caption'");
  EXPECT_EQ(eye_->TranslatedFormCount(), 2);
  EXPECT_TRUE(eye_->IsTranslated(a.form));

  Destroy(a.form);
  EXPECT_EQ(eye_->TranslatedFormCount(), 1);
  EyeForm again = MakeForm("Form1");
  again.form->Activate();
  EXPECT_EQ(again.form->Text(), "Caption'");
  again.form->Activate();
  b.form->Activate();
  again.form->Activate();
  EXPECT_EQ(again.form->Text(), "Caption'");
  EXPECT_EQ(eye_->TranslatedFormCount(), 2);
}

TEST_F(ScreenEye, SettingsComeFromTheFormClassAndNameWithSelfAsFallback) {
  AddEntry("TEyeMainForm", "Form1", "936");
  AddEntry("teyemainform", "Self", "950");    // found in the same item
  AddEntry("TEyeMainForm", "form1", "1252");  // a repeated name: the first entry wins
  AddEntry("TEyeOtherForm", "Named", "936");  // no "Self": other forms take the defaults
  ASSERT_EQ(eye_->ReplaceDatas()->Count(), 2);
  struct Case {
    const char* name;
    bool other_class;
    const char* form_name;
    const char* caption;
  };
  const Case cases[] = {
      {"own entry", false, "FORM1", "Caption#"},
      {"Self entry", false, "Form2", "Caption~"},
      {"own entry, other class", true, "Named", "Caption#"},
      {"no entry in the class", true, "Form1", "Caption'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EyeForm f = c.other_class ? MakeForm<TEyeOtherForm>(c.form_name) : MakeForm(c.form_name);
    eye_->Replace(f.form);
    EXPECT_EQ(f.form->Text(), c.caption);
    EXPECT_TRUE(eye_->IsTranslated(f.form));
  }
  EyeForm unknown = MakeForm<TForm>("Form9");
  eye_->Replace(unknown.form);
  EXPECT_EQ(unknown.form->Text(), "Caption'");
}

TEST_F(ScreenEye, ReplaceNotRegisterOffSkipsUnregisteredFormsFromTheScreenOnly) {
  AddEntry("TEyeMainForm", "Self", "936");
  eye_->SetReplaceNotRegister(false);
  int asked = 0;
  eye_->OnBeforeReplace = [&asked](TObject*, TCustomForm*, bool&) { ++asked; };
  eye_->HookScreenEvent();
  EyeForm registered = MakeForm("Form1");
  EyeForm other = MakeForm<TEyeOtherForm>("Form2");
  registered.form->Activate();
  EXPECT_EQ(registered.form->Text(), "Caption#");
  other.form->Activate();
  EXPECT_EQ(other.form->Text(), "Caption");
  EXPECT_FALSE(eye_->IsTranslated(other.form));
  EXPECT_EQ(asked, 1);  // not asked for the skipped form

  // Considered again at its next activation.
  eye_->SetReplaceNotRegister(true);
  registered.form->Activate();
  other.form->Activate();
  EXPECT_EQ(other.form->Text(), "Caption'");
  EXPECT_EQ(asked, 2);

  // Replace does not come from the screen.
  eye_->SetReplaceNotRegister(false);
  EyeForm direct = MakeForm<TEyeOtherForm>("Form3");
  eye_->Replace(direct.form);
  EXPECT_EQ(direct.form->Text(), "Caption'");
}

TEST_F(ScreenEye, OnBeforeReplaceMayDeclineAndOnAfterReplaceIsToldOfEachTranslation) {
  AddEntry("TEyeMainForm", "Self", "936");
  for (bool with_entry : {true, false}) {
    SCOPED_TRACE(with_entry ? "with entry" : "defaults");
    bool accept = false;
    std::vector<std::string> calls;
    eye_->OnBeforeReplace = [&](TObject* sender, TCustomForm* form, bool& replace) {
      EXPECT_EQ(sender, eye_);
      EXPECT_TRUE(replace);
      calls.push_back("before " + form->Name());
      replace = accept;
    };
    eye_->OnAfterReplace = [&](TObject* sender, TCustomForm* form) {
      EXPECT_EQ(sender, eye_);
      calls.push_back("after " + form->Text());
    };
    EyeForm f = with_entry ? MakeForm("Form1") : MakeForm<TEyeOtherForm>("Form1");
    eye_->Replace(f.form);
    EXPECT_EQ(f.form->Text(), "Caption");
    EXPECT_FALSE(eye_->IsTranslated(f.form));
    accept = true;
    eye_->Replace(f.form);
    eye_->Replace(f.form);
    const std::string caption = with_entry ? "Caption#" : "Caption'";
    EXPECT_EQ(calls,
              (std::vector<std::string>{"before Form1", "before Form1", "after " + caption}));
    EXPECT_TRUE(eye_->IsTranslated(f.form));
  }
}

TEST_F(ScreenEye, FormsWithAnAutoReplacingReplacerAreLeftAlone) {
  bool asked = false;
  eye_->OnBeforeReplace = [&asked](TObject*, TCustomForm*, bool&) { asked = true; };
  EyeForm f = MakeForm("Form1");
  auto* replacer = new TKivoMultiReplacer(f.form);
  eye_->Replace(f.form);
  EXPECT_EQ(f.form->Text(), "Caption");
  EXPECT_FALSE(eye_->IsTranslated(f.form));
  EXPECT_FALSE(asked);
  replacer->SetAutoReplace(false);
  eye_->Replace(f.form);
  EXPECT_EQ(f.form->Text(), "Caption'");
  EXPECT_TRUE(asked);
}

TEST_F(ScreenEye, AFormIsEnteredEvenWithoutDictionary) {
  eye_->DefaultReplaceOption()->SetDDName("Missing");
  EyeForm f = MakeForm("Form1");
  eye_->Replace(f.form);
  EXPECT_EQ(f.form->Text(), "Caption");
  EXPECT_TRUE(eye_->IsTranslated(f.form));
  eye_->Replace(nullptr);
  EXPECT_EQ(eye_->TranslatedFormCount(), 1);
}

// --- Per-form entries

TEST_F(ScreenEye, AnEntryTranslatesListedComponentsWithTheirOwnSettings) {
  TMultiReplaceForm* entry = AddEntry("TEyeMainForm", "Self", "1252");
  auto* com = entry->ReplaceComs()->Add<TMultiReplaceCom2>();
  com->SetComName("PANEL1");
  com->ReplaceOption()->SetDDName("Main");
  com->ReplaceOption()->SetCodePage("936");
  auto* owned = entry->ReplaceComs()->Add<TMultiReplaceCom2>();
  owned->SetComName("Owned1");  // owned by the panel, not the form: not matched
  owned->ReplaceOption()->SetDDName("Main");
  owned->ReplaceOption()->SetCodePage("950");
  EyeForm f = MakeForm("Form1");
  eye_->Replace(f.form);
  EXPECT_EQ(f.form->Text(), "Caption'");
  EXPECT_EQ(f.label->Text(), "Label'");
  EXPECT_EQ(f.panel->Text(), "Panel#");
  EXPECT_EQ(f.button->Text(), "Button#");
  EXPECT_EQ(f.owned->Text(), "Owned#");
}

TEST_F(ScreenEye, AListedComponentWithoutReplaceSelfIsTranslatedWithTheFormsSettings) {
  TMultiReplaceForm* entry = AddEntry("TEyeMainForm", "Self", "1252");
  auto* com = entry->ReplaceComs()->Add<TMultiReplaceCom2>();
  com->SetComName("Panel1");
  com->ReplaceOption()->SetDDName("Main");
  com->ReplaceOption()->SetCodePage("936");
  com->ReplaceOption()->SetReplaceSelf(false);
  EyeForm f = MakeForm("Form1");
  eye_->Replace(f.form);
  EXPECT_EQ(f.panel->Text(), "Panel'");
  EXPECT_EQ(f.button->Text(), "Button#");
  EXPECT_EQ(f.owned->Text(), "Owned#");
}

TEST_F(ScreenEye, AnEntryExcludesComponentsByNameAlsoListedOnes) {
  TMultiReplaceForm* entry = AddEntry("TEyeMainForm", "Self", "1252");
  auto* com = entry->ReplaceComs()->Add<TMultiReplaceCom2>();
  com->SetComName("Panel1");
  com->ReplaceOption()->SetDDName("Main");
  com->ReplaceOption()->SetCodePage("936");
  entry->UnReplaceComs()->Add("panel1");  // added after the item: no test against ReplaceComs
  entry->UnReplaceComs()->Add("PANEL1");  // a duplicate, ignored
  EXPECT_EQ(entry->UnReplaceComs()->Count(), 1);
  EyeForm f = MakeForm("Form1");
  EXPECT_FALSE(entry->AllowReplaceCom(f.panel));
  EXPECT_FALSE(entry->AllowReplaceCom(nullptr));
  EXPECT_TRUE(entry->AllowReplaceCom(f.button));
  eye_->Replace(f.form);
  EXPECT_EQ(f.panel->Text(), "Panel");
  EXPECT_EQ(f.owned->Text(), "Owned");
  EXPECT_EQ(f.button->Text(), "Button'");  // owned by the form
  EXPECT_EQ(f.form->Text(), "Caption'");
}

TEST_F(ScreenEye, AnEntryReplacesNothingForNullAndSkipsMissingDictionaries) {
  TMultiReplaceForm* entry = AddEntry("TEyeMainForm", "Self", "1252");
  entry->Replace(nullptr);
  auto* com = entry->ReplaceComs()->Add<TMultiReplaceCom2>();
  com->SetComName("Panel1");
  com->ReplaceOption()->SetDDName("Missing");
  EyeForm f = MakeForm("Form1");
  entry->Replace(f.form);
  EXPECT_EQ(f.panel->Text(), "Panel'");
  EXPECT_EQ(f.owned->Text(), "Owned'");
  entry->ReplaceOption()->SetDDName("Missing");
  com->ReplaceOption()->SetDDName("Main");
  com->ReplaceOption()->SetCodePage("1252");
  entry->Replace(f.form);
  EXPECT_EQ(f.panel->Text(), "Panel''");
  EXPECT_EQ(f.form->Text(), "Caption'");
}

// --- Writers, display names, copies

TEST_F(ScreenEye, NameWritersRefuseDuplicatesWithTheirMessages) {
  TMultiReplaceForm* entry = AddEntry("TEyeMainForm", "Self", "1252");
  TMultiReplaceData* data = eye_->ReplaceDatas()->Items(0);
  auto* other = eye_->ReplaceDatas()->Add<TMultiReplaceData>();
  EXPECT_EQ(ErrorOf([&] { other->SetFormClassName("teyemainform"); }),
            "form class: \"teyemainform\" already added.");
  EXPECT_EQ(other->FormClassName(), "");
  data->SetFormClassName("TEYEMAINFORM");  // a change of letter case only
  EXPECT_EQ(data->FormClassName(), "TEyeMainForm");
  other->SetFormClassName("TOther");
  other->SetFormClassName("");
  EXPECT_EQ(other->FormClassName(), "");

  entry->UnReplaceComs()->Add("Memo1");
  auto* com = entry->ReplaceComs()->Add<TMultiReplaceCom2>();
  com->SetComName("Button1");
  auto* second = entry->ReplaceComs()->Add<TMultiReplaceCom2>();
  EXPECT_EQ(ErrorOf([&] { second->SetComName("MEMO1"); }),
            "component: \"MEMO1\" already added in unreplace list.");
  EXPECT_EQ(ErrorOf([&] { second->SetComName("button1"); }),
            "component: \"button1\" already added.");
  EXPECT_EQ(second->ComName(), "");
  com->SetComName("BUTTON1");
  EXPECT_EQ(com->ComName(), "Button1");
  second->SetComName("Label1");
  EXPECT_EQ(second->ComName(), "Label1");
}

TEST_F(ScreenEye, DisplayNames) {
  TMultiReplaceForm* entry = AddEntry("TEyeMainForm", "Self", "1252");
  AddEntry("TEyeMainForm", "Form1", "1252");
  entry->ReplaceComs()->Add<TMultiReplaceCom2>()->SetComName("Button1");
  entry->UnReplaceComs()->Add("Memo1");
  entry->UnReplaceComs()->Add("Memo2");
  EXPECT_EQ(eye_->ReplaceDatas()->Items(0)->DisplayName(), "TEyeMainForm : 2");
  EXPECT_EQ(entry->DisplayName(), "Self - 1 - 2");
  EXPECT_EQ(entry->ReplaceComs()->Items(0)->DisplayName(), "Button1");
  EXPECT_EQ(eye_->ReplaceDatas()->Add<TMultiReplaceData>()->DisplayName(), " : 0");
}

TEST_F(ScreenEye, CopyingReplaceDatasCopiesTheWholeTree) {
  TMultiReplaceForm* entry = AddEntry("TEyeMainForm", "Self", "936");
  entry->ReplaceOption()->SetSeqNo("3");
  auto* com = entry->ReplaceComs()->Add<TMultiReplaceCom2>();
  com->SetComName("Panel1");
  com->ReplaceOption()->SetCodePage("950");
  entry->UnReplaceComs()->Add("Memo1");

  TKivoMultiScreenEye copy(nullptr);
  copy.ReplaceDatas()->Add<TMultiReplaceData>()->SetFormClassName("TGone");
  copy.SetReplaceDatas(eye_->ReplaceDatas());
  ASSERT_EQ(copy.ReplaceDatas()->Count(), 1);
  TMultiReplaceData* data = copy.ReplaceDatas()->Items(0);
  EXPECT_EQ(data->FormClassName(), "TEyeMainForm");
  ASSERT_EQ(data->ReplaceForms()->Count(), 1);
  TMultiReplaceForm* e = data->ReplaceForms()->Items(0);
  EXPECT_NE(e, entry);
  EXPECT_EQ(e->FormName(), "Self");
  EXPECT_EQ(e->ReplaceOption()->CodePage(), "936");
  EXPECT_EQ(e->ReplaceOption()->SeqNo(), "3");
  ASSERT_EQ(e->ReplaceComs()->Count(), 1);
  EXPECT_EQ(e->ReplaceComs()->Items(0)->ComName(), "Panel1");
  EXPECT_EQ(e->ReplaceComs()->Items(0)->ReplaceOption()->CodePage(), "950");
  ASSERT_EQ(e->UnReplaceComs()->Count(), 1);
  EXPECT_EQ(e->UnReplaceComs()->Strings(0), "Memo1");
  EXPECT_TRUE(e->UnReplaceComs()->Sorted());
  EXPECT_EQ(e->ReplaceComs()->Owner(), e);

  // Other destinations fail.
  EXPECT_EQ(ErrorOf([&] { e->ReplaceComs()->Items(0)->Assign(data); }),
            "Cannot assign a TMultiReplaceData to a TMultiReplaceCom2");
  EXPECT_EQ(ErrorOf([&] { data->Assign(e); }),
            "Cannot assign a TMultiReplaceForm to a TMultiReplaceData");
}

// --- Hooking

TEST_F(ScreenEye, HookCallsThePreviousHandlerFirstAndUnhookRestoresIt) {
  std::vector<std::string> seen;
  Screen().OnActiveFormChange = [&seen](TObject* sender) {
    EXPECT_EQ(sender, &Screen());
    TCustomForm* form = Screen().ActiveForm();
    seen.push_back(form != nullptr ? form->Text() : "none");
  };
  EyeForm a = MakeForm("Form1");
  eye_->HookScreenEvent();
  eye_->HookScreenEvent();  // ignored
  EXPECT_TRUE(eye_->Hooked());
  a.form->Activate();
  EXPECT_EQ(seen, (std::vector<std::string>{"Caption"}));  // before the translation, once
  EXPECT_EQ(a.form->Text(), "Caption'");

  eye_->UnHookScreenEvent();
  EXPECT_FALSE(eye_->Hooked());
  EyeForm b = MakeForm("Form2");
  b.form->Activate();
  EXPECT_EQ(b.form->Text(), "Caption");
  EXPECT_EQ(seen, (std::vector<std::string>{"Caption", "Caption"}));
  eye_->UnHookScreenEvent();  // not hooked: nothing
  b.form->SetActive(false);
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(ScreenEye, UnhookPutsTheSavedHandlerBackWhateverIsInstalled) {
  int previous = 0;
  int on_top = 0;
  Screen().OnActiveFormChange = [&previous](TObject*) { ++previous; };
  eye_->HookScreenEvent();
  Screen().OnActiveFormChange = [&on_top](TObject*) { ++on_top; };
  eye_->UnHookScreenEvent();
  EyeForm a = MakeForm("Form1");
  a.form->Activate();
  EXPECT_EQ(previous, 1);
  EXPECT_EQ(on_top, 0);
}

TEST_F(ScreenEye, AWatcherDestroyedWhileHookedLeavesTheChainWorking) {
  struct Case {
    const char* name;
    bool handler_on_top;
  };
  for (const Case& c : {Case{"installed last", false}, Case{"a handler on top", true}}) {
    SCOPED_TRACE(c.name);
    int previous = 0;
    int on_top = 0;
    Screen().OnActiveFormChange = [&previous](TObject*) { ++previous; };
    auto* eye = new TKivoMultiScreenEye(nullptr);
    eye->DefaultReplaceOption()->SetDDName("Main");
    eye->DefaultReplaceOption()->SetCodePage("1252");
    eye->HookScreenEvent();
    if (c.handler_on_top) {
      TNotifyEvent below = Screen().OnActiveFormChange;
      Screen().OnActiveFormChange = [&on_top, below](TObject* sender) {
        ++on_top;
        below(sender);
      };
    }
    EyeForm a = MakeForm("Form1");
    a.form->Activate();
    EXPECT_EQ(a.form->Text(), "Caption'");
    delete eye;
    EyeForm b = MakeForm("Form2");
    b.form->Activate();  // must not reach the destroyed watcher
    EXPECT_EQ(b.form->Text(), "Caption");
    EXPECT_EQ(previous, 2);
    EXPECT_EQ(on_top, c.handler_on_top ? 2 : 0);
    if (!c.handler_on_top) {
      // The previous handler is installed again.
      Screen().OnActiveFormChange(&Screen());
      EXPECT_EQ(previous, 3);
    }
    Destroy(a.form);
    Destroy(b.form);
  }
}

TEST_F(ScreenEye, TwoWatchersChainAndMayGoInAnyOrder) {
  int previous = 0;
  Screen().OnActiveFormChange = [&previous](TObject*) { ++previous; };
  auto* second = new TKivoMultiScreenEye(nullptr);
  second->DefaultReplaceOption()->SetDDName("Main");
  second->DefaultReplaceOption()->SetCodePage("936");
  eye_->HookScreenEvent();
  second->HookScreenEvent();
  int before_first = 0;
  eye_->OnBeforeReplace = [&before_first](TObject*, TCustomForm*, bool& replace) {
    ++before_first;
    replace = false;  // lets the second watcher's translation show
  };
  EyeForm a = MakeForm("Form1");
  a.form->Activate();
  EXPECT_EQ(previous, 1);
  EXPECT_EQ(before_first, 1);
  EXPECT_EQ(a.form->Text(), "Caption#");
  delete eye_;  // below the second one
  eye_ = nullptr;
  EyeForm b = MakeForm("Form2");
  b.form->Activate();
  EXPECT_EQ(previous, 2);
  EXPECT_EQ(b.form->Text(), "Caption#");
  second->UnHookScreenEvent();  // puts the first watcher's forwarder back: it only forwards
  a.form->Activate();
  EXPECT_EQ(previous, 3);
  delete second;
}

TEST_F(ScreenEye, AWatcherDestroyedBeforeItsFormsForgetsThem) {
  EyeForm a = MakeForm("Form1");
  eye_->Replace(a.form);
  delete eye_;
  eye_ = nullptr;
  Destroy(a.form);  // must not reach the destroyed watcher
  SUCCEED();
}

}  // namespace
}  // namespace kivo
