#include "kivo/core/KivoMsgBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kivo/core/KivoMultiDD.h"
#include "kivo/rtl/Exceptions.h"
#include "support/Errors.h"
#include "support/MemoryReader.h"
#include "support/RecordingDialogs.h"

namespace kivo {
namespace {

using testing::DialogCall;
using Rows = std::vector<std::vector<std::string>>;

// A dictionary over rows in memory, read anew for every load.
class TMsgBoxTestDD : public TCustomMultiDD {
  KIVO_CLASS(TMsgBoxTestDD, TCustomMultiDD)
  explicit TMsgBoxTestDD(TComponent* owner) : TCustomMultiDD(owner) {}

  Rows rows;
  int fail_after = 0;  // the source fails after this record (0: never)

  void BuildDictionary() override {
    testing::MemoryReader reader({"DDKey", "CodePage", "SeqNo", "DisplayValue"}, rows);
    if (fail_after > 0) reader.FailAfter(fail_after);
    BuildHashTable(reader);
  }
};
KIVO_DEFINE_CLASS(TMsgBoxTestDD) {}

const Rows kMain = {
    {"Save changes?", "1252", "", "Speichern?"},
    {"Open", "1252", "", "Offnen"},
    {"Open", "1252", "2", "Offnen (2)"},
    {"Open", "936", "", "Dakai"},
    {"File %d of %d", "1252", "", "Datei %d von %d"},
    {"Copied %d files", "1252", "", "%d Dateien kopiert"},
    {"Copy %d files", "1252", "", "%d Dateien kopieren"},
    {"Step %d", "1252", "", "Schritt %d"},
    {"Caption", "1252", "", "Titel"},
    {"Count %d", "1252", "", "Anzahl %s"},
    {"One %d", "1252", "", "Eins %d %d"},
};

// The core library, a dictionary "Main" of kMain, and every dialog recorded.
class MsgBox : public ::testing::Test {
 protected:
  MsgBox() { AddDictionary("Main", kMain); }

  TMsgBoxTestDD* AddDictionary(const std::string& name, Rows rows) {
    auto* dd = new TMsgBoxTestDD(&form_);
    dd->SetDDName(name);
    dd->rows = std::move(rows);
    return dd;
  }

  const DialogCall& Last() const {
    EXPECT_FALSE(dialogs_.calls.empty());
    static const DialogCall kNone;
    return dialogs_.calls.empty() ? kNone : dialogs_.calls.back();
  }

  TKivoCore core_;
  TComponent form_{nullptr};
  testing::RecordingDialogs dialogs_;
  TScopedDialogService guard_{dialogs_};
};

using testing::ErrorOf;

TEST_F(MsgBox, FreeFunctionsShowTheTranslationFormattedAfterwards) {
  const std::span<const TVarRec> no_args;
  const TVarRec three_of_seven[] = {3, 7};
  const TVarRec three[] = {3};
  const TVarRec two[] = {2};
  const struct {
    const char* name;
    std::function<void()> call;
    DialogCall::Kind kind;
    const char* text;
    const char* caption;
  } rows[] = {
      {"ShowMessage", [] { MultiShowMessage("Save changes?", "1252", "", "Main"); },
       DialogCall::kShowMessage, "Speichern?", ""},
      {"dictionary name without case", [] { MultiShowMessage("Open", "1252", "", "mAIN"); },
       DialogCall::kShowMessage, "Offnen", ""},
      {"code page", [] { MultiShowMessage("Open", "936", "", "Main"); }, DialogCall::kShowMessage,
       "Dakai", ""},
      {"sequence number", [] { MultiShowMessage("Open", "1252", "2", "Main"); },
       DialogCall::kShowMessage, "Offnen (2)", ""},
      {"no entry", [] { MultiShowMessage("Close", "1252", "", "Main"); }, DialogCall::kShowMessage,
       "Close", ""},
      {"no such dictionary", [] { MultiShowMessage("Open", "1252", "", "Other"); },
       DialogCall::kShowMessage, "Open", ""},
      {"empty dictionary name", [] { MultiShowMessage("Open", "1252", "", ""); },
       DialogCall::kShowMessage, "Open", ""},
      {"ShowMessage2",
       [&] { MultiShowMessage2("File %d of %d", "1252", three_of_seven, "", "Main"); },
       DialogCall::kShowMessage, "Datei 3 von 7", ""},
      {"ShowMessage2 without arguments",
       [&] { MultiShowMessage2("Copied %d files", "1252", no_args, "", "Main"); },
       DialogCall::kShowMessage, "%d Dateien kopiert", ""},
      {"ShowMessage2 untranslated",
       [&] { MultiShowMessage2("Left %d of %d", "1252", three_of_seven, "", "Main"); },
       DialogCall::kShowMessage, "Left 3 of 7", ""},
      {"MessageDlg",
       [] { MultiMessageDlg("Save changes?", mtConfirmation, {mbYes}, 0, "1252", "", "Main"); },
       DialogCall::kMessageDlg, "Speichern?", ""},
      {"MessageDlg2",
       [&] {
         MultiMessageDlg2("Copy %d files", mtInformation, {mbOK}, 0, "1252", three, "", "Main");
       },
       DialogCall::kMessageDlg, "3 Dateien kopieren", ""},
      {"MessageDlg2 without arguments",
       [&] {
         MultiMessageDlg2("Copy %d files", mtInformation, {mbOK}, 0, "1252", no_args, "", "Main");
       },
       DialogCall::kMessageDlg, "%d Dateien kopieren", ""},
      {"MessageBox", [] { MultiMessageBox(0, "Open", "Caption", MB_OK, "1252", "", "Main"); },
       DialogCall::kMessageBox, "Offnen", "Titel"},
      {"MessageBox null caption",
       [] { MultiMessageBox(0, "Open", nullptr, MB_OK, "1252", "", "Main"); },
       DialogCall::kMessageBox, "Offnen", ""},
      {"MessageBox null text",
       [] { MultiMessageBox(0, nullptr, "Caption", MB_OK, "1252", "", "Main"); },
       DialogCall::kMessageBox, "", "Titel"},
      {"MessageBox2",
       [&] {
         MultiMessageBox2(0, "File %d of %d", "Step %d", MB_OK, "1252", three_of_seven, two, "",
                          "Main");
       },
       DialogCall::kMessageBox, "Datei 3 von 7", "Schritt 2"},
      {"MessageBox2 caption without arguments",
       [&] {
         MultiMessageBox2(0, "File %d of %d", "Step %d", MB_OK, "1252", three_of_seven, no_args, "",
                          "Main");
       },
       DialogCall::kMessageBox, "Datei 3 von 7", "Schritt %d"},
      {"MessageBox2 nulls",
       [&] { MultiMessageBox2(0, nullptr, nullptr, MB_OK, "1252", no_args, no_args, "", "Main"); },
       DialogCall::kMessageBox, "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    dialogs_.calls.clear();
    row.call();
    ASSERT_EQ(dialogs_.calls.size(), 1u);
    EXPECT_EQ(Last().kind, row.kind);
    EXPECT_EQ(Last().text, row.text);
    EXPECT_EQ(Last().caption, row.caption);
  }
}

TEST_F(MsgBox, DialogParametersAndResultsPassUnchanged) {
  const TVarRec three[] = {3};
  dialogs_.Answer(4242);
  EXPECT_EQ(MultiMessageDlg("Open", mtWarning, {mbAbort, mbHelp}, 17, "1252", "", "Main"), 4242);
  EXPECT_EQ(Last().type, mtWarning);
  EXPECT_EQ(Last().buttons, (TMsgDlgButtons{mbAbort, mbHelp}));
  EXPECT_EQ(Last().help_context, 17);

  dialogs_.Answer(-3);
  EXPECT_EQ(MultiMessageDlg2("Step %d", mtCustom, {mbNoToAll}, -1, "1252", three, "", "Main"), -3);
  EXPECT_EQ(Last().type, mtCustom);
  EXPECT_EQ(Last().buttons, TMsgDlgButtons{mbNoToAll});
  EXPECT_EQ(Last().help_context, -1);

  const uint32_t flags = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3;
  dialogs_.Answer(IDCANCEL);
  EXPECT_EQ(MultiMessageBox(0xDEADBEEF, "Open", "Caption", flags, "1252", "", "Main"), IDCANCEL);
  EXPECT_EQ(Last().window, 0xDEADBEEF);
  EXPECT_EQ(Last().flags, flags);

  dialogs_.Answer(99);
  EXPECT_EQ(MultiMessageBox2(12, "Step %d", "Caption", MB_ICONERROR, "1252", three, {}, "", "Main"),
            99);
  EXPECT_EQ(Last().window, 12u);
  EXPECT_EQ(Last().flags, MB_ICONERROR);
  EXPECT_EQ(Last().text, "Schritt 3");
}

TEST_F(MsgBox, TranslationThatDoesNotFitTheArgumentsShowsNothing) {
  const TVarRec three[] = {3};
  const TVarRec word[] = {"x"};
  const struct {
    const char* name;
    std::function<void()> call;
    const char* message;
  } rows[] = {
      {"ShowMessage2", [&] { MultiShowMessage2("Count %d", "1252", three, "", "Main"); },
       "Format 'Anzahl %s' invalid or incompatible with argument"},
      {"MessageDlg2",
       [&] { MultiMessageDlg2("One %d", mtError, {mbOK}, 0, "1252", three, "", "Main"); },
       "No argument for format 'Eins %d %d'"},
      {"MessageBox2 text",
       [&] { MultiMessageBox2(0, "Step %d", "Caption", MB_OK, "1252", word, {}, "", "Main"); },
       "Format 'Schritt %d' invalid or incompatible with argument"},
      {"MessageBox2 caption",
       [&] { MultiMessageBox2(0, "Open", "One %d", MB_OK, "1252", {}, three, "", "Main"); },
       "No argument for format 'Eins %d %d'"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_THROW(row.call(), EConvertError);
    EXPECT_EQ(ErrorOf(row.call), row.message);
    EXPECT_TRUE(dialogs_.calls.empty());
  }
}

TEST_F(MsgBox, FailingDictionaryLoadShowsNothing) {
  AddDictionary("Broken", {{"Open", "1252", "", "A"}, {"Close", "1252", "", "B"}})->fail_after = 1;
  const TVarRec three[] = {3};
  const std::function<void()> calls[] = {
      [] { MultiShowMessage("Open", "1252", "", "Broken"); },
      [&] { MultiShowMessage2("Open", "1252", three, "", "Broken"); },
      [] { MultiMessageBox(0, "Open", "Caption", MB_OK, "1252", "", "Broken"); },
      [&] { MultiMessageBox2(0, "Open", "Caption", MB_OK, "1252", three, three, "", "Broken"); },
      [] { MultiMessageDlg("Open", mtError, {mbOK}, 0, "1252", "", "Broken"); },
      [&] { MultiMessageDlg2("Open", mtError, {mbOK}, 0, "1252", three, "", "Broken"); },
  };
  for (size_t i = 0; i < std::size(calls); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ErrorOf(calls[i]), "source failed");
    EXPECT_TRUE(dialogs_.calls.empty());
  }
}

TEST(MsgBoxWithoutCore, TextsStayUntranslated) {
  ASSERT_EQ(KivoDDStorage, nullptr);
  testing::RecordingDialogs dialogs;
  TScopedDialogService guard(dialogs);
  const TVarRec args[] = {3, 7};
  MultiShowMessage2("File %d of %d", "1252", args, "", "Main");
  MultiMessageBox(0, "Open", "Caption", MB_OK, "1252", "", "Main");
  ASSERT_EQ(dialogs.calls.size(), 2u);
  EXPECT_EQ(dialogs.calls[0].text, "File 3 of 7");
  EXPECT_EQ(dialogs.calls[1].text, "Open");
  EXPECT_EQ(dialogs.calls[1].caption, "Caption");
}

TEST_F(MsgBox, ComponentPublishesCodePageThenDDName) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TKivoMsgBox::StaticClass()->Properties()) {
    names.push_back(p->name);
    if (p->owner == TKivoMsgBox::StaticClass()) {
      EXPECT_EQ(p->kind, TPropKind::kString);
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "CodePage", "DDName"}));

  auto* box = As<TKivoMsgBox>(GetClass("TKivoMsgBox")->CreateComponent(&form_));
  ASSERT_NE(box, nullptr);
  const TPropInfo* dd_name = TKivoMsgBox::StaticClass()->FindProperty("DDName");
  EXPECT_TRUE(dd_name->IsDefault(*box));
  dd_name->set_string(*box, "Main");
  TKivoMsgBox::StaticClass()->FindProperty("CodePage")->set_string(*box, "936");
  EXPECT_EQ(box->GetDisplayValue("Open", ""), "Dakai");
}

TEST_F(MsgBox, ComponentMethodsUseItsCodePageAndDDName) {
  TKivoMsgBox box(&form_);
  box.SetDDName("Main");
  box.SetCodePage("1252");
  const TVarRec three_of_seven[] = {3, 7};
  const TVarRec two[] = {2};

  EXPECT_EQ(box.GetDisplayValue("Open", "2"), "Offnen (2)");
  box.ShowMessage("Open", "");
  box.ShowMessage2("File %d of %d", three_of_seven, "");
  dialogs_.Answer(5);
  EXPECT_EQ(box.MessageBox(3, "Open", "Caption", MB_OKCANCEL, "2"), 5);
  dialogs_.Answer(6);
  EXPECT_EQ(box.MessageBox2(3, "File %d of %d", "Step %d", MB_YESNO, three_of_seven, two, ""), 6);
  dialogs_.Answer(7);
  EXPECT_EQ(box.MessageDlg("Save changes?", mtConfirmation, {mbYes, mbNo}, 8, ""), 7);
  dialogs_.Answer(8);
  EXPECT_EQ(box.MessageDlg2("Copy %d files", mtInformation, {mbOK}, 9, two, ""), 8);

  ASSERT_EQ(dialogs_.calls.size(), 6u);
  EXPECT_EQ(dialogs_.calls[0].text, "Offnen");
  EXPECT_EQ(dialogs_.calls[1].text, "Datei 3 von 7");
  EXPECT_EQ(dialogs_.calls[2].text, "Offnen (2)");
  EXPECT_EQ(dialogs_.calls[2].caption, "Caption");
  EXPECT_EQ(dialogs_.calls[2].flags, MB_OKCANCEL);
  EXPECT_EQ(dialogs_.calls[3].text, "Datei 3 von 7");
  EXPECT_EQ(dialogs_.calls[3].caption, "Schritt 2");
  EXPECT_EQ(dialogs_.calls[4].text, "Speichern?");
  EXPECT_EQ(dialogs_.calls[4].help_context, 8);
  EXPECT_EQ(dialogs_.calls[5].text, "2 Dateien kopieren");
  EXPECT_EQ(dialogs_.calls[5].type, mtInformation);
}

TEST_F(MsgBox, ComponentWithEmptyDDNameShowsTextsUnchanged) {
  TKivoMsgBox box(&form_);
  box.SetCodePage("1252");
  const TVarRec three[] = {3};

  EXPECT_EQ(box.GetDisplayValue("Open", ""), "Open");
  box.ShowMessage("Open", "");
  box.ShowMessage2("Step %d", three, "");
  box.MessageBox(0, "Open", "Caption", MB_OK, "");
  box.MessageBox2(0, "Step %d", "Caption", MB_OK, three, {}, "");
  box.MessageDlg("Open", mtInformation, {mbOK}, 0, "");
  box.MessageDlg2("Step %d", mtInformation, {mbOK}, 0, {}, "");

  std::vector<std::string> texts;
  for (const DialogCall& call : dialogs_.calls) texts.push_back(call.text + "|" + call.caption);
  EXPECT_EQ(texts, (std::vector<std::string>{"Open|", "Step 3|", "Open|Caption", "Step 3|Caption",
                                             "Open|", "Step %d|"}));
}

TEST_F(MsgBox, ComponentFollowsTheDictionaryByName) {
  TKivoMsgBox box(&form_);
  box.SetDDName("Later");
  box.SetCodePage("1252");
  EXPECT_EQ(box.GetDisplayValue("Open", ""), "Open");

  TMsgBoxTestDD* first = AddDictionary("Later", {{"Open", "1252", "", "First"}});
  EXPECT_EQ(box.GetDisplayValue("Open", ""), "First");

  delete first;
  AddDictionary("later", {{"Open", "1252", "", "Second"}});
  EXPECT_EQ(box.GetDisplayValue("Open", ""), "Second");
}

}  // namespace
}  // namespace kivo
