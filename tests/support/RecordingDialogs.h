// A dialog service for tests that records every dialog and answers preset results.
//
//   kivo::testing::RecordingDialogs dialogs;
//   dialogs.Answer(kivo::mrNo);
//   kivo::TScopedDialogService guard(dialogs);
//   CodeUnderTest();                                  // calls kivo::MessageDlg
//   ASSERT_EQ(dialogs.calls.size(), 1u);
//   EXPECT_EQ(dialogs.calls[0].text, "Save changes?");
//
// MessageDlg and MessageBoxA take their results from the queue filled by Answer, first in first
// out; once it is empty they answer `default_answer`.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "kivo/rtl/Dialogs.h"

namespace kivo::testing {

// One recorded dialog; the fields that its kind does not have keep their initial values.
struct DialogCall {
  enum Kind { kShowMessage, kMessageDlg, kMessageBox };

  Kind kind = kShowMessage;
  std::string text;
  std::string caption;          // kMessageBox
  TMsgDlgType type = mtCustom;  // kMessageDlg
  TMsgDlgButtons buttons;       // kMessageDlg
  int help_context = 0;         // kMessageDlg
  uint32_t window = 0;          // kMessageBox
  uint32_t flags = 0;           // kMessageBox
  int result = 0;               // what the call answered; 0 for kShowMessage
};

class RecordingDialogs : public TDialogService {
 public:
  // Queues the result of a later MessageDlg or MessageBoxA.
  void Answer(int result) { answers_.push_back(result); }

  void ShowMessage(const std::string& text) override {
    DialogCall call;
    call.kind = DialogCall::kShowMessage;
    call.text = text;
    calls.push_back(call);
  }
  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 int help_context) override {
    DialogCall call;
    call.kind = DialogCall::kMessageDlg;
    call.text = text;
    call.type = type;
    call.buttons = buttons;
    call.help_context = help_context;
    call.result = NextAnswer();
    calls.push_back(call);
    return call.result;
  }
  int MessageBoxA(uint32_t window, const std::string& text, const std::string& caption,
                  uint32_t flags) override {
    DialogCall call;
    call.kind = DialogCall::kMessageBox;
    call.text = text;
    call.caption = caption;
    call.window = window;
    call.flags = flags;
    call.result = NextAnswer();
    calls.push_back(call);
    return call.result;
  }

  std::vector<DialogCall> calls;  // in the order of the calls
  int default_answer = 0;         // the result once the queued answers are used up

 private:
  int NextAnswer() {
    if (answers_.empty()) return default_answer;
    const int result = answers_.front();
    answers_.pop_front();
    return result;
  }

  std::deque<int> answers_;
};

}  // namespace kivo::testing
