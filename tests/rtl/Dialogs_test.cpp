#include "kivo/rtl/Dialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/RecordingDialogs.h"

namespace kivo {
namespace {

using Dialog = std::function<int(TDialogService&)>;

// A terminal service over string streams, titled "Demo".
struct Terminal {
  explicit Terminal(std::string input, bool interactive = true)
      : in(std::move(input)), service(in, out, interactive, "Demo") {}

  // The input that the service has not read.
  std::string Unread() {
    std::string rest;
    std::getline(in, rest, '\0');
    return rest;
  }

  std::istringstream in;
  std::ostringstream out;
  TTerminalDialogService service;
};

Dialog Dlg(TMsgDlgButtons buttons, TMsgDlgType type = mtConfirmation) {
  return [=](TDialogService& s) { return s.MessageDlg("Proceed?", type, buttons, 0); };
}
Dialog Box(uint32_t flags) {
  return [=](TDialogService& s) { return s.MessageBoxA(0, "Proceed?", "Question", flags); };
}

TEST(Dialogs, TerminalTakesTheDefaultButtonWithoutInputOrOnAnEmptyLine) {
  const struct {
    const char* name;
    Dialog dialog;
    int expected;
  } rows[] = {
      {"OK before Yes", Dlg({mbYes, mbOK, mbCancel}), mrOk},
      {"Yes before Retry", Dlg({mbRetry, mbNo, mbYes}), mrYes},
      {"Retry", Dlg({mbAbort, mbRetry, mbIgnore}), mrRetry},
      {"else the first listed", Dlg({mbCancel, mbNo}), mrNo},
      {"Help is never the default", Dlg({mbHelp, mbIgnore}), mrIgnore},
      {"MB_OK", Box(MB_OK), IDOK},
      {"MB_YESNO", Box(MB_YESNO), IDYES},
      {"MB_YESNO second", Box(MB_YESNO | MB_DEFBUTTON2), IDNO},
      {"MB_YESNOCANCEL third", Box(MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONQUESTION), IDCANCEL},
      {"MB_ABORTRETRYIGNORE second", Box(MB_ABORTRETRYIGNORE | MB_DEFBUTTON2), IDRETRY},
      {"MB_RETRYCANCEL", Box(MB_RETRYCANCEL | MB_ICONWARNING), IDRETRY},
      {"third of two is the first", Box(MB_OKCANCEL | MB_DEFBUTTON3), IDOK},
      {"unknown layout is MB_OK", Box(0xE | MB_DEFBUTTON2), IDOK},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Terminal quiet("n\n", /*interactive=*/false);
    EXPECT_EQ(row.dialog(quiet.service), row.expected);
    EXPECT_EQ(quiet.Unread(), "n\n");
    EXPECT_EQ(quiet.out.str().find("> "), std::string::npos);

    Terminal empty_line("\nn\n");
    EXPECT_EQ(row.dialog(empty_line.service), row.expected);
    EXPECT_EQ(empty_line.Unread(), "n\n");

    Terminal end_of_input("");
    EXPECT_EQ(row.dialog(end_of_input.service), row.expected);
  }
}

TEST(Dialogs, TerminalAcceptsCaptionOrShortcutAndAsksAgainAFewTimes) {
  const struct {
    const char* input;
    int expected;
    const char* unread;
  } rows[] = {
      {"y\n", mrYes, ""},
      {"Yes\n", mrYes, ""},
      {"N\n", mrNo, ""},
      {"  cancel \t\nn\n", mrCancel, "n\n"},
      {"maybe\nn\n", mrNo, ""},
      {"maybe\nyess\nn\n", mrNo, ""},
      {"1\n2\n3\nn\n", mrYes, "n\n"},  // three unknown answers: the default
      {"maybe", mrYes, ""},            // then the end of input
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.input);
    Terminal t(row.input);
    EXPECT_EQ(t.service.MessageDlg("Save?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0),
              row.expected);
    EXPECT_EQ(t.Unread(), row.unread);
  }

  Terminal t("maybe\nn\n");
  t.service.MessageDlg("Save?", mtConfirmation, {mbYes, mbNo, mbCancel}, 0);
  EXPECT_EQ(t.out.str(),
            "Confirmation\nSave?\n[Y]es [N]o [C]ancel\n"
            "> Unknown answer \"maybe\"\n[Y]es [N]o [C]ancel\n> ");
}

TEST(Dialogs, TerminalWritesTitleTextAndChoices) {
  const struct {
    const char* name;
    std::function<void(TDialogService&)> dialog;
    const char* output;
  } rows[] = {
      {"ShowMessage", [](TDialogService& s) { s.ShowMessage("Saved"); }, "Demo\nSaved\n[O]K\n"},
      {"mtWarning", [](TDialogService& s) { s.MessageDlg("Low", mtWarning, {mbOK}, 0); },
       "Warning\nLow\n[O]K\n"},
      {"mtError",
       [](TDialogService& s) {
         s.MessageDlg("Disk", mtError, {mbAbort, mbRetry, mbIgnore}, 0);
       },
       "Error\nDisk\n[A]bort [R]etry [I]gnore\n"},
      {"mtInformation",
       [](TDialogService& s) {
         s.MessageDlg("Done", mtInformation, {mbOK, mbHelp}, 0);
       },
       "Information\nDone\n[O]K [H]elp\n"},
      {"mtConfirmation",
       [](TDialogService& s) {
         s.MessageDlg("Go?", mtConfirmation, {mbCancel, mbOK}, 0);
       },
       "Confirmation\nGo?\n[O]K [C]ancel\n"},
      {"mtCustom", [](TDialogService& s) { s.MessageDlg("Hi", mtCustom, {mbOK}, 0); },
       "Demo\nHi\n[O]K\n"},
      {"clashing shortcuts",
       [](TDialogService& s) {
         s.MessageDlg("Copy", mtConfirmation, {mbYesToAll, mbNoToAll, mbAll, mbNo, mbYes}, 0);
       },
       "Confirmation\nCopy\n[Y]es [N]o [A]ll N[o] to All Y[e]s to All\n"},
      {"MessageBoxA",
       [](TDialogService& s) { s.MessageBoxA(7, "Line 1\nLine 2", "Caption", MB_YESNOCANCEL); },
       "Caption\nLine 1\nLine 2\n[Y]es [N]o [C]ancel\n"},
      {"MessageBoxA empty caption",
       [](TDialogService& s) { s.MessageBoxA(0, "Text", "", MB_RETRYCANCEL); },
       "\nText\n[R]etry [C]ancel\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Terminal t("", /*interactive=*/false);
    row.dialog(t.service);
    EXPECT_EQ(t.out.str(), row.output);
  }
}

TEST(Dialogs, TerminalShortcutsOfClashingCaptions) {
  const TMsgDlgButtons buttons{mbYes, mbNo, mbAll, mbNoToAll, mbYesToAll};
  const struct {
    const char* input;
    int expected;
  } rows[] = {
      {"a\n", mrAll},      {"o\n", mrNoToAll},         {"E\n", mrYesToAll},
      {"n\n", mrNo},       {"no to all\n", mrNoToAll}, {"YES TO ALL\n", mrYesToAll},
      {"t\nall\n", mrAll},  // "t" is no shortcut
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.input);
    Terminal t(row.input);
    EXPECT_EQ(t.service.MessageDlg("Copy", mtConfirmation, buttons, 0), row.expected);
  }
}

TEST(Dialogs, TerminalHelpShowsTheContextAndClosesNothing) {
  Terminal t("h\nok\n");
  EXPECT_EQ(t.service.MessageDlg("Done", mtInformation, {mbOK, mbHelp}, 42), mrOk);
  EXPECT_EQ(t.out.str(), "Information\nDone\n[O]K [H]elp\n> Help context 42\n> ");

  Terminal help_only("ok\n");
  EXPECT_EQ(help_only.service.MessageDlg("Done", mtInformation, {mbHelp}, 42), mrNone);
  EXPECT_EQ(help_only.Unread(), "ok\n");

  Terminal no_buttons("ok\n");
  EXPECT_EQ(no_buttons.service.MessageDlg("Done", mtInformation, {}, 0), mrNone);
  EXPECT_EQ(no_buttons.out.str(), "Information\nDone\n\n");
  EXPECT_EQ(no_buttons.Unread(), "ok\n");
}

TEST(Dialogs, TerminalMessageBoxAnswersTheButtonsID) {
  const struct {
    uint32_t flags;
    const char* input;
    int expected;
  } rows[] = {
      {MB_YESNO, "n\n", IDNO},
      {MB_OKCANCEL, "c\n", IDCANCEL},
      {MB_ABORTRETRYIGNORE, "abort\n", IDABORT},
      {MB_ABORTRETRYIGNORE, "i\n", IDIGNORE},
      {MB_RETRYCANCEL, "r\n", IDRETRY},
      {MB_YESNOCANCEL, "y\n", IDYES},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.input);
    Terminal t(row.input);
    EXPECT_EQ(t.service.MessageBoxA(0, "Text", "Caption", row.flags), row.expected);
  }
}

TEST(Dialogs, FreeFunctionsCallTheCurrentService) {
  TDialogService* const terminal = &Dialogs();
  testing::RecordingDialogs outer;
  outer.Answer(mrNo);
  outer.Answer(4242);
  {
    TScopedDialogService outer_guard(outer);
    ShowMessage("one");
    EXPECT_EQ(MessageDlg("two", mtWarning, {mbYes, mbNo}, 5), mrNo);
    EXPECT_EQ(MessageBoxA(9, "three", "Caption", MB_YESNO | MB_ICONWARNING), 4242);
    {
      testing::RecordingDialogs inner;
      TScopedDialogService inner_guard(inner);
      ShowMessage("inner");
      EXPECT_EQ(inner.calls.size(), 1u);
    }
    ShowMessage("four");
  }
  EXPECT_EQ(&Dialogs(), terminal);

  ASSERT_EQ(outer.calls.size(), 4u);
  EXPECT_EQ(outer.calls[0].kind, testing::DialogCall::kShowMessage);
  EXPECT_EQ(outer.calls[0].text, "one");
  EXPECT_EQ(outer.calls[1].kind, testing::DialogCall::kMessageDlg);
  EXPECT_EQ(outer.calls[1].text, "two");
  EXPECT_EQ(outer.calls[1].type, mtWarning);
  EXPECT_EQ(outer.calls[1].buttons, (TMsgDlgButtons{mbYes, mbNo}));
  EXPECT_EQ(outer.calls[1].help_context, 5);
  EXPECT_EQ(outer.calls[2].kind, testing::DialogCall::kMessageBox);
  EXPECT_EQ(outer.calls[2].window, 9u);
  EXPECT_EQ(outer.calls[2].text, "three");
  EXPECT_EQ(outer.calls[2].caption, "Caption");
  EXPECT_EQ(outer.calls[2].flags, MB_YESNO | MB_ICONWARNING);
  EXPECT_EQ(outer.calls[3].text, "four");
}

TEST(Dialogs, SetDialogServiceHandsBackThePreviousService) {
  TDialogService* const terminal = &Dialogs();
  auto first = std::make_unique<testing::RecordingDialogs>();
  testing::RecordingDialogs* const first_ptr = first.get();

  EXPECT_EQ(SetDialogService(std::move(first)), nullptr);
  EXPECT_EQ(&Dialogs(), first_ptr);
  std::unique_ptr<TDialogService> back =
      SetDialogService(std::make_unique<testing::RecordingDialogs>());
  EXPECT_EQ(back.get(), first_ptr);
  EXPECT_NE(SetDialogService(nullptr), nullptr);
  EXPECT_EQ(&Dialogs(), terminal);

  {
    TScopedDialogService guard(std::move(back));
    EXPECT_EQ(&Dialogs(), first_ptr);
  }
  EXPECT_EQ(&Dialogs(), terminal);
}

}  // namespace
}  // namespace kivo
