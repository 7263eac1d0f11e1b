#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "kivo/core/KivoMultiClassMethod.h"
#include "kivo/core/KivoMultiDD.h"
#include "kivo/core/KivoMultiReplace.h"
#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/Buttons.h"
#include "kivo/rtl/ComCtrls.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/ExtCtrls.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/Menus.h"
#include "kivo/rtl/StdCtrls.h"
#include "support/ClassMethods.h"
#include "support/CsvDictionary.h"
#include "support/Errors.h"

namespace kivo {
namespace {

// A form-stored dictionary that records every key it is asked for.
class TRecordingDD : public TKivoMultiStreamDD {
  KIVO_CLASS(TRecordingDD, TKivoMultiStreamDD)
  explicit TRecordingDD(TComponent* owner) : TKivoMultiStreamDD(owner) {}

  std::string GetDisplayValue(const std::string& dd_key, const std::string& code_page,
                              const std::string& seq_no) override {
    asked.push_back(dd_key);
    return TKivoMultiStreamDD::GetDisplayValue(dd_key, code_page, seq_no);
  }

  std::vector<std::string> asked;
};
KIVO_DEFINE_CLASS(TRecordingDD) {}

// CSV dictionary bytes in which every key K translates to K' for code page 1252, and K' to K''
// (so a text translated twice ends as K''), plus one record for another code page.
std::string ChainedDictionary(const std::vector<std::string>& keys) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& key : keys) {
    rows.push_back({key, "1252", "", key + "'"});
    rows.push_back({key + "'", "1252", "", key + "''"});
    rows.push_back({key, "936", "", "other code page"});
  }
  return testing::CsvDictionary(rows);
}

using testing::ErrorOf;

using testing::ClassMethods;

// Registers `proc` for `cls` in the global registry for a scope, then restores what was there.
class ScopedHandler {
 public:
  ScopedHandler(TClass cls, TClassMethodProc proc) : cls_(cls) {
    const TClassMethod* entry = KivoClassMethodStorage->GetClassMethod(cls);
    had_entry_ = entry != nullptr;
    old_proc_ = had_entry_ ? entry->Proc() : nullptr;
    KivoClassMethodStorage->RegisterClassMethod(cls, proc);
  }
  ~ScopedHandler() {
    if (had_entry_) {
      KivoClassMethodStorage->RegisterClassMethod(cls_, old_proc_);
    } else {
      KivoClassMethodStorage->UnRegisterClassMethod(cls_);
    }
  }
  ScopedHandler(const ScopedHandler&) = delete;
  ScopedHandler& operator=(const ScopedHandler&) = delete;

 private:
  TClass cls_;
  bool had_entry_;
  TClassMethodProc old_proc_;
};

// A query that refuses the components in `refused` and records the names of all it is asked.
class RefusingQuery : public IMultiReplaceQuery {
 public:
  bool AllowReplaceCom(TComponent* component) override {
    asked.push_back(component->Name());
    return refused.count(component) == 0;
  }

  std::set<const TComponent*> refused;
  std::vector<std::string> asked;
};

class Walk : public ::testing::Test {
 protected:
  // A dictionary "Main" (owned by a data module) with chained translations of `keys`.
  TRecordingDD* MakeDictionary(const std::vector<std::string>& keys) {
    auto* dd = new TRecordingDD(&data_);
    dd->SetDDName("Main");
    dd->Dictionary()->Stream().WriteString(ChainedDictionary(keys));
    return dd;
  }

  template <class T>
  T* Control(TComponent* owner, TWinControl* parent, const std::string& text,
             const std::string& hint = "") {
    auto* control = new T(owner);
    control->SetParent(parent);
    control->SetText(text);
    control->SetHint(hint);
    return control;
  }

  void WalkForm(TObject* object, TFont* font = nullptr, bool replace_font = false) {
    dd_->ReplaceComLanguage(object, "1252", "", font, true, true, true, replace_font);
  }

  TKivoCore core_;
  ClassMethods class_methods_;
  TDataModule data_{nullptr};  // owns the dictionaries
  TForm form_{nullptr};
  TComponent other_{nullptr};  // owns controls that sit on the form without the form owning them
  TRecordingDD* dd_ = nullptr;
};

// --- A whole form

// A form with one control of each kind, and the getters of every text on it.
class WholeForm : public Walk {
 protected:
  struct Tracked {
    std::string name;
    std::function<std::string()> text;
    bool translated;  // whether a walk changes it
    std::string before;
  };

  void Track(const std::string& name, std::function<std::string()> text, bool translated) {
    tracked_.push_back({name, std::move(text), translated, ""});
  }
  // Tracks a control's text and hint.
  void TrackControl(const std::string& name, TControl* c, bool text = true, bool hint = true) {
    Track(
        name + ".Text", [c] { return c->Text(); }, text);
    Track(
        name + ".Hint", [c] { return c->Hint(); }, hint);
  }

  void SetUp() override {
    form_.SetText("Main form");
    form_.SetHint("Form hint");
    TrackControl("form", &form_);

    auto* menu = new TMainMenu(&form_);
    menu->Items()->SetCaption("Root");
    Track(
        "menu root", [menu] { return menu->Items()->Caption(); }, false);
    TMenuItem* parent = menu->Items();
    for (const char* caption : {"File", "Open", "Recent"}) {
      auto* item = new TMenuItem(&form_);
      item->SetCaption(caption);
      item->SetHint(std::string(caption) + " hint");
      parent->Add(item);
      Track(
          std::string("menu ") + caption, [item] { return item->Caption(); }, true);
      Track(
          std::string("menu hint ") + caption, [item] { return item->Hint(); }, true);
      parent = item;
    }

    auto* list = Control<TListView>(&form_, &form_, "", "List hint");
    Track(
        "list hint", [list] { return list->Hint(); }, true);
    list->Columns()->Add()->SetCaption("Name");
    list->Columns()->Add()->SetCaption("Size");
    TListItem* item = list->Items()->Add();
    item->SetCaption("Report");
    item->SubItems()->Add("Draft");
    item->SubItems()->Add("Ten");
    for (int i = 0; i < 2; ++i) {
      Track(
          "column", [list, i] { return list->Columns()->Items(i)->Caption(); }, true);
      Track(
          "sub-item", [item, i] { return item->SubItems()->Strings(i); }, true);
    }
    Track(
        "list item", [item] { return item->Caption(); }, true);

    auto* tree = Control<TTreeView>(&form_, &form_, "");
    TTreeNode* animals = tree->Items()->AddChild(nullptr, "Animals");
    TTreeNode* cats = tree->Items()->AddChild(animals, "Cats");
    TTreeNode* lions = tree->Items()->AddChild(cats, "Lions");
    for (TTreeNode* node : {animals, cats, lions}) {
      Track(
          "node", [node] { return node->Text(); }, true);
    }

    auto* status = Control<TStatusBar>(&form_, &form_, "Status text");
    status->Panels()->Add()->SetText("Ready");
    Track(
        "status", [status] { return status->Text(); }, true);
    Track(
        "panel", [status] { return status->Panels()->Items(0)->Text(); }, true);

    auto* pages = Control<TPageControl>(&form_, &form_, "");
    auto* general = Control<TTabSheet>(&form_, pages, "General", "Sheet hint");
    auto* advanced = Control<TTabSheet>(&form_, pages, "Advanced");
    TrackControl("sheet", general);
    Track(
        "sheet 2", [advanced] { return advanced->Text(); }, true);
    Track(
        "tabs", [pages] { return pages->Tabs()->Strings(0) + pages->Tabs()->Strings(1); },
        true);  // General'Advanced' once translated
    auto* name_label = Control<TLabel>(&form_, general, "Name:", "Name hint");
    TrackControl("label on sheet", name_label);

    auto* tools = Control<TToolBar>(&form_, &form_, "");
    TrackControl("tool button", Control<TToolButton>(&form_, tools, "Cut", "Cut hint"));
    TrackControl("tool button 2", Control<TToolButton>(&form_, tools, "Copy"), true, false);

    auto* cool = Control<TCoolBar>(&form_, &form_, "");
    cool->Bands()->Add()->SetText("Band");
    Track(
        "band", [cool] { return cool->Bands()->Items(0)->Text(); }, true);

    auto* header = Control<THeaderControl>(&form_, &form_, "");
    header->Sections()->Add()->SetText("Column");
    Track(
        "section", [header] { return header->Sections()->Items(0)->Text(); }, true);

    TrackControl("label", Control<TLabel>(&form_, &form_, "Caption label"), true, false);
    TrackControl("button", Control<TButton>(&form_, &form_, "OK", "Accept"));
    TrackControl("check box", Control<TCheckBox>(&form_, &form_, "Remember me"), true, false);
    TrackControl("untranslated", Control<TLabel>(&form_, &form_, "No entry", "No hint"), false,
                 false);

    auto* combo = Control<TComboBox>(&form_, &form_, "");
    combo->Items()->Add("Red");
    combo->SetText("Typed");
    Track(
        "combo item", [combo] { return combo->Items()->Strings(0); }, true);
    Track(
        "combo edit", [combo] { return combo->Text(); }, false);
    auto* box = Control<TListBox>(&form_, &form_, "");
    box->Items()->Add("Blue");
    Track(
        "list box item", [box] { return box->Items()->Strings(0); }, true);

    auto* options = Control<TPanel>(&form_, &form_, "Options", "Panel hint");
    TrackControl("panel", options);
    auto* inner = Control<TPanel>(&form_, options, "Inner");
    TrackControl("inner panel", inner, true, false);
    TrackControl("nested button", Control<TButton>(&form_, inner, "Apply", "Apply hint"));

    // Not owned by the form: reached through the child walk only, and only below containers
    // that the child walk reached first.
    auto* foreign = Control<TPanel>(&other_, &form_, "Foreign panel", "Foreign hint");
    TrackControl("foreign panel", foreign);
    TrackControl("foreign label", Control<TLabel>(&other_, foreign, "Foreign label"), true, false);
    TrackControl("foreign on owned panel", Control<TButton>(&other_, options, "Hidden", "Hid"),
                 false, false);
    // Owned, but without parent: skipped.
    TrackControl("loose", Control<TLabel>(&form_, nullptr, "Loose", "Loose hint"), false, false);

    // The dictionary knows every text but the "untranslated" ones, also those that must stay
    // (the menu's root, the combo box's edit text, the controls the walk does not reach).
    std::set<std::string> keys{"Typed"};
    for (Tracked& t : tracked_) {
      t.before = t.text();
      // "tabs" is the concatenation of two texts, each in the dictionary already.
      if (!t.before.empty() && t.name != "tabs" && t.name.rfind("untranslated", 0) != 0) {
        keys.insert(t.before);
      }
    }
    dd_ = MakeDictionary(std::vector<std::string>(keys.begin(), keys.end()));
  }

  // Every tracked text: translated ones with `suffix` appended, the others as they were.
  void ExpectTexts(const std::string& suffix) {
    for (const Tracked& t : tracked_) {
      SCOPED_TRACE(t.name);
      if (t.name == "tabs") {
        EXPECT_EQ(t.text(), "General" + suffix + "Advanced" + suffix);
      } else {
        EXPECT_EQ(t.text(), t.translated ? t.before + suffix : t.before);
      }
    }
  }

  std::vector<Tracked> tracked_;
};

TEST_F(WholeForm, EveryTextIsTranslatedExactlyOnce) {
  WalkForm(&form_);
  ExpectTexts("'");
  for (int i = 0; i < form_.ComponentCount(); ++i) {
    TComponent* c = form_.Components(i);
    SCOPED_TRACE(c->ClassName());
    if (auto* tree = As<TTreeView>(c)) {
      EXPECT_EQ(tree->Items()->UpdateCount(), 0);
    }
    if (auto* list = As<TListView>(c)) {
      EXPECT_EQ(list->Columns()->UpdateCount(), 0);
      EXPECT_EQ(list->Items()->UpdateCount(), 0);
    }
  }

  // A second walk looks the translated texts up as keys.
  WalkForm(&form_);
  ExpectTexts("''");
}

TEST_F(WholeForm, RegistryWalkFindsTheDictionaryByName) {
  KivoDDStorage->ReplaceComLanguage("Unknown", &form_, "1252", "", nullptr, true, true, true,
                                    false);
  ExpectTexts("");
  EXPECT_TRUE(dd_->asked.empty());
  KivoDDStorage->ReplaceComLanguage("MAIN", &form_, "1252", "", nullptr, true, true, true, false);
  ExpectTexts("'");
}

// --- Order, skipping and the visited list

TEST_F(Walk, OwnedComponentsComeBeforeChildControls) {
  dd_ = MakeDictionary({});
  form_.SetText("F");
  form_.SetHint("FH");
  auto* p1 = Control<TPanel>(&form_, &form_, "P1");
  Control<TButton>(&form_, p1, "B1", "B1H");
  Control<TButton>(&other_, p1, "X");  // below a panel the owned walk took: not reached
  auto* q = Control<TPanel>(&other_, &form_, "Q");
  Control<TLabel>(&other_, q, "L");
  auto* loose = Control<TPanel>(&form_, nullptr, "Loose");
  Control<TLabel>(loose, loose, "Deep");  // owned by the skipped control: not entered either
  new TMainMenu(&form_);                  // no parent needed: not a control

  WalkForm(&form_);
  EXPECT_EQ(dd_->asked, (std::vector<std::string>{"FH", "F", "P1", "B1H", "B1", "Q", "L"}));

  // Once parented, the skipped control is translated by a later walk.
  loose->SetParent(&form_);
  dd_->asked.clear();
  WalkForm(&form_);
  EXPECT_EQ(dd_->asked,
            (std::vector<std::string>{"FH", "F", "P1", "B1H", "B1", "Loose", "Deep", "Q", "L"}));
}

TEST_F(Walk, FlagsChooseTheSteps) {
  dd_ = MakeDictionary({});
  form_.SetText("F");
  Control<TPanel>(&other_, &form_, "Child");
  Control<TLabel>(&form_, nullptr, "Owned only");
  struct Row {
    const char* name;
    bool self, owned, son;
    std::vector<std::string> asked;
  };
  const Row rows[] = {
      {"nothing", false, false, false, {}},   {"self", true, false, false, {"F"}},
      {"owned", false, true, false, {}},  // the only owned control has no parent
      {"son", false, false, true, {"Child"}}, {"all", true, true, true, {"F", "Child"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dd_->asked.clear();
    dd_->ReplaceComLanguage(&form_, "1252", "", nullptr, row.self, row.owned, row.son, false);
    EXPECT_EQ(dd_->asked, row.asked);
  }
}

TEST_F(Walk, ReplaceComHandlesEachObjectOnce) {
  dd_ = MakeDictionary({"F", "Hint"});
  form_.SetText("F");
  form_.SetHint("Hint");
  auto* edit = Control<TEdit>(&form_, &form_, "Edit text", "Hint");  // no handler: hint only
  auto* loose = Control<TButton>(&form_, nullptr, "Loose", "Hint");
  TReplaceList list;

  EXPECT_FALSE(dd_->ReplaceCom(nullptr, "1252", "", nullptr, false, list));
  EXPECT_TRUE(dd_->ReplaceCom(&form_, "1252", "", nullptr, false, list));  // a form needs no parent
  EXPECT_EQ(form_.Text(), "F'");
  EXPECT_EQ(form_.Hint(), "Hint'");
  EXPECT_FALSE(dd_->ReplaceCom(&form_, "1252", "", nullptr, false, list));
  EXPECT_EQ(form_.Text(), "F'");
  EXPECT_EQ(form_.Hint(), "Hint'");

  EXPECT_TRUE(dd_->ReplaceCom(edit, "1252", "", nullptr, false, list));
  EXPECT_EQ(edit->Text(), "Edit text");
  EXPECT_EQ(edit->Hint(), "Hint'");
  EXPECT_FALSE(dd_->ReplaceCom(loose, "1252", "", nullptr, false, list));
  EXPECT_EQ(loose->Hint(), "Hint");
  EXPECT_FALSE(list.Contains(loose));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(dd_->asked, (std::vector<std::string>{"Hint", "F", "Hint"}));
}

TEST_F(Walk, TheQueryKeepsComponentsOutOfOwnedAndChildSteps) {
  dd_ = MakeDictionary({});
  form_.SetText("F");
  auto* refused = Control<TPanel>(&form_, &form_, "Refused");
  refused->SetName("Refused");
  auto* owned = Control<TButton>(&form_, refused, "Owned on refused");
  owned->SetName("Owned");
  auto* foreign = Control<TButton>(&other_, refused, "Foreign on refused");
  foreign->SetName("Foreign");
  auto* other_child = Control<TPanel>(&other_, &form_, "Other child");
  other_child->SetName("OtherChild");
  RefusingQuery query;
  query.refused = {refused};

  TReplaceList list;
  dd_->ReplaceCom(&form_, "1252", "", nullptr, false, list);  // the start object is not asked
  dd_->ReplaceComOwned(&form_, "1252", "", nullptr, false, &query, list);
  dd_->ReplaceComSon(&form_, "1252", "", nullptr, false, &query, list);
  EXPECT_EQ(dd_->asked, (std::vector<std::string>{"F", "Owned on refused", "Other child"}));
  EXPECT_EQ(query.asked, (std::vector<std::string>{"Refused", "Owned", "Refused", "OtherChild"}));
  EXPECT_FALSE(list.Contains(refused));
  EXPECT_FALSE(list.Contains(foreign));
}

// --- Fonts and handlers

TFont* g_font_seen = nullptr;  // the font the recording handler received last

void RecordFont(IDataLocate&, TObject*, const std::string&, const std::string&, TFont* font) {
  g_font_seen = font;
}

void FailingHandler(IDataLocate&, TObject*, const std::string&, const std::string&, TFont*) {
  throw Exception("handler failed");
}

TEST_F(Walk, ReplaceFontCopiesTheOptionsFontIntoEachVisitedControl) {
  dd_ = MakeDictionary({});
  auto* label = Control<TLabel>(&form_, &form_, "Label");
  auto* loose = Control<TLabel>(&form_, nullptr, "Loose");
  TFont font;
  font.SetName("Arial");
  font.SetSize(12);
  font.SetStyle({fsBold});
  const TFont default_font;
  ScopedHandler record(TCustomLabel::StaticClass(), RecordFont);

  struct Row {
    const char* name;
    TFont* font;
    bool replace_font;
    bool changed;
  };
  const Row rows[] = {
      {"off", &font, false, false},
      {"on without font", nullptr, true, false},
      {"on", &font, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    static TFont sentinel;
    g_font_seen = &sentinel;
    WalkForm(&form_, row.font, row.replace_font);
    EXPECT_EQ(g_font_seen, row.font);  // the handler gets the font whatever the flag says
    const TFont& expected = row.changed ? font : default_font;
    EXPECT_TRUE(form_.Font()->Equals(expected));
    EXPECT_TRUE(label->Font()->Equals(expected));
    EXPECT_TRUE(loose->Font()->Equals(default_font));
  }
}

TEST_F(Walk, ANilHandlerShadowsTheAncestorsHandler) {
  dd_ = MakeDictionary({"Options", "Panel hint", "Apply"});
  auto* panel = Control<TPanel>(&form_, &form_, "Options", "Panel hint");
  auto* group = Control<TGroupBox>(&form_, &form_, "Options");
  auto* button = Control<TButton>(&form_, panel, "Apply");
  ScopedHandler shadow(TPanel::StaticClass(), nullptr);
  WalkForm(&form_);
  EXPECT_EQ(panel->Text(), "Options");  // no handler call
  EXPECT_EQ(panel->Hint(), "Panel hint'");
  EXPECT_EQ(group->Text(), "Options'");  // TCustomControl's handler still serves its other lines
  EXPECT_EQ(button->Text(), "Apply'");   // and the walk still descends
}

TEST_F(Walk, AHandlerErrorLeavesTheWalkAndKeepsWhatWasTranslated) {
  dd_ = MakeDictionary({"F", "OK", "Label", "Label hint", "Later"});
  form_.SetText("F");
  auto* ok = Control<TButton>(&form_, &form_, "OK");
  auto* label = Control<TLabel>(&form_, &form_, "Label", "Label hint");
  auto* later = Control<TButton>(&form_, &form_, "Later");
  ScopedHandler failing(TCustomLabel::StaticClass(), FailingHandler);

  EXPECT_EQ(ErrorOf([&] { WalkForm(&form_); }), "handler failed");
  EXPECT_EQ(form_.Text(), "F'");
  EXPECT_EQ(ok->Text(), "OK'");
  EXPECT_EQ(label->Hint(), "Label hint'");  // the walk's own step ran before the handler
  EXPECT_EQ(label->Text(), "Label");
  EXPECT_EQ(later->Text(), "Later");

  TReplaceList list;
  EXPECT_EQ(ErrorOf([&] { dd_->ReplaceCom(label, "1252", "", nullptr, false, list); }),
            "handler failed");
  EXPECT_FALSE(list.Contains(label));
}

TEST_F(Walk, ActionListsAreTranslatedOnceTheirHandlerIsRegistered) {
  dd_ = MakeDictionary({"Save", "Save hint"});
  auto build = [this](TForm& form) {
    auto* edit = Control<TEdit>(&form, &form, "");  // no handler of its own
    auto* list = new TActionList(&form);
    auto* action = new TAction(&form);
    action->SetCaption("Save");
    action->SetHint("Save hint");
    action->SetActionList(list);
    edit->SetAction(action);
    return std::make_pair(action, edit);
  };

  TForm before(nullptr);
  auto [action, edit] = build(before);
  dd_->ReplaceComLanguage(&before, "1252", "", nullptr, true, true, true, false);
  EXPECT_EQ(action->Caption(), "Save");
  EXPECT_EQ(action->Hint(), "Save hint");
  EXPECT_EQ(edit->Text(), "Save");

  ScopedHandler actions(TCustomActionList::StaticClass(), Proc_TCustomActionList);
  TForm after(nullptr);
  auto [action2, edit2] = build(after);
  dd_->ReplaceComLanguage(&after, "1252", "", nullptr, true, true, true, false);
  EXPECT_EQ(action2->Caption(), "Save'");
  EXPECT_EQ(action2->Hint(), "Save hint'");
  EXPECT_EQ(edit2->Text(), "Save'");
  EXPECT_EQ(edit2->Hint(), "Save hint'");
}

TEST_F(Walk, NothingDanglesWhicheverGoesFirstAfterAWalk) {
  for (bool dictionary_first : {true, false}) {
    SCOPED_TRACE(dictionary_first ? "dictionary first" : "form first");
    auto* form = new TForm(nullptr);
    auto* dd = new TKivoMultiStreamDD(form);  // the form owns the dictionary it is walked with
    dd->Dictionary()->Stream().WriteString(ChainedDictionary({"Caption"}));
    form->SetText("Caption");
    Control<TButton>(form, form, "Caption");
    auto* foreign = Control<TLabel>(&other_, form, "Caption");
    TFont font;
    dd->ReplaceComLanguage(form, "1252", "", &font, true, true, true, true);
    EXPECT_EQ(form->Text(), "Caption'");
    EXPECT_EQ(foreign->Text(), "Caption'");
    if (dictionary_first) delete dd;
    delete form;
    EXPECT_EQ(foreign->Parent(), nullptr);
    delete foreign;
  }
}

// --- Options

TEST(MultiReplaceOption, DefaultsAndStoredProperties) {
  TMultiReplaceOption option;
  EXPECT_EQ(option.DDName(), "");
  EXPECT_EQ(option.CodePage(), "");
  EXPECT_EQ(option.SeqNo(), "");
  EXPECT_TRUE(option.ReplaceSelf());
  EXPECT_TRUE(option.ReplaceOwned());
  EXPECT_TRUE(option.ReplaceSon());
  EXPECT_FALSE(option.ReplaceFont());
  EXPECT_TRUE(option.Font()->Equals(TFont()));

  // The properties a form file gets, in order: those stored and not at their default.
  auto written = [](const TMultiReplaceOption& o) {
    std::vector<std::string> names;
    for (const TPropInfo* p : TMultiReplaceOption::StaticClass()->Properties()) {
      if (p->kind != TPropKind::kObject && p->IsStored(o) && !p->IsDefault(o)) {
        names.push_back(p->name);
      }
    }
    return names;
  };
  std::vector<std::string> all;
  for (const TPropInfo* p : TMultiReplaceOption::StaticClass()->Properties()) {
    all.push_back(p->name);
  }
  EXPECT_EQ(all, (std::vector<std::string>{"DDName", "CodePage", "SeqNo", "Font", "ReplaceSelf",
                                           "ReplaceOwned", "ReplaceSon", "ReplaceFont"}));
  EXPECT_EQ(written(option), (std::vector<std::string>{"ReplaceFont"}));
  option.SetDDName("Main");
  option.SetReplaceSelf(false);
  option.SetReplaceOwned(false);
  option.SetReplaceSon(false);
  option.SetReplaceFont(true);
  EXPECT_EQ(written(option), (std::vector<std::string>{"DDName", "ReplaceSelf", "ReplaceOwned",
                                                       "ReplaceSon", "ReplaceFont"}));
}

TEST(MultiReplaceOption, FontIsCopiedIntoTheOwnedFont) {
  TMultiReplaceOption option;
  TFont* own = option.Font();
  TFont font;
  font.SetName("Arial");
  font.SetCharset(RUSSIAN_CHARSET);
  option.SetFont(&font);
  EXPECT_EQ(option.Font(), own);
  EXPECT_TRUE(option.Font()->Equals(font));
  EXPECT_EQ(ErrorOf([&] { option.SetFont(nullptr); }), "Cannot assign a nil to a TFont");
}

TEST(MultiReplaceOption, AssignCopiesEverySettingAndRefusesOtherSources) {
  TMultiReplaceOption source;
  source.SetDDName("Main");
  source.SetCodePage("936");
  source.SetSeqNo("2");
  source.SetReplaceSelf(false);
  source.SetReplaceOwned(false);
  source.SetReplaceSon(false);
  source.SetReplaceFont(true);
  source.Font()->SetName("SimSun");
  source.Font()->SetSize(11);

  TMultiReplaceOption target;
  TFont* own = target.Font();
  target.Assign(&source);
  EXPECT_EQ(target.DDName(), "Main");
  EXPECT_EQ(target.CodePage(), "936");
  EXPECT_EQ(target.SeqNo(), "2");
  EXPECT_FALSE(target.ReplaceSelf());
  EXPECT_FALSE(target.ReplaceOwned());
  EXPECT_FALSE(target.ReplaceSon());
  EXPECT_TRUE(target.ReplaceFont());
  EXPECT_EQ(target.Font(), own);
  EXPECT_TRUE(target.Font()->Equals(*source.Font()));

  TMultiReplaceOption fresh;
  TFont font;
  EXPECT_EQ(ErrorOf([&] { fresh.Assign(nullptr); }),
            "Cannot assign a nil to a TMultiReplaceOption");
  EXPECT_EQ(ErrorOf([&] { fresh.Assign(&font); }),
            "Cannot assign a TFont to a TMultiReplaceOption");
  EXPECT_EQ(fresh.DDName(), "");
  EXPECT_TRUE(fresh.ReplaceSelf());
}

}  // namespace
}  // namespace kivo
