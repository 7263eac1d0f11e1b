// Dialogs: the three modal dialogs of the platform, as a replaceable service.
//
// `ShowMessage` shows a text with an OK button, `MessageDlg` a text with a title of its dialog
// type and a set of buttons, `MessageBoxA` the system message box with a caption and a button
// layout chosen by flags. Each free function calls the current `TDialogService`. Without an
// installed service that is the terminal service: it writes the dialog to standard error and,
// when standard input is a terminal, reads the chosen button from it.
//
//   if (kivo::MessageDlg("Save changes?", kivo::mtConfirmation, {kivo::mbYes, kivo::mbNo}, 0) ==
//       kivo::mrYes) {
//     Save();
//   }
//
//   // In a test: every dialog goes to `recorder` until `guard` leaves the scope.
//   kivo::TScopedDialogService guard(recorder);
//
// Threads: dialogs are modal user-interface calls; use them and switch the service from the
// user-interface thread only.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "kivo/rtl/Set.h"

namespace kivo {

// The kind of a MessageDlg dialog; it gives the dialog's title.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons a MessageDlg dialog can offer, in the order in which it shows them.
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp,
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// Modal results: what MessageDlg answers for the button chosen (mbHelp closes no dialog).
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;
inline constexpr int mrAll = 8;
inline constexpr int mrNoToAll = 9;
inline constexpr int mrYesToAll = 10;

// MessageBoxA flags. The low four bits choose the buttons, the next four the icon, the next
// four the default button.
inline constexpr uint32_t MB_OK = 0x0;
inline constexpr uint32_t MB_OKCANCEL = 0x1;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x2;
inline constexpr uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr uint32_t MB_YESNO = 0x4;
inline constexpr uint32_t MB_RETRYCANCEL = 0x5;
inline constexpr uint32_t MB_ICONHAND = 0x10;
inline constexpr uint32_t MB_ICONERROR = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr uint32_t MB_ICONWARNING = 0x30;
inline constexpr uint32_t MB_ICONASTERISK = 0x40;
inline constexpr uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr uint32_t MB_DEFBUTTON1 = 0x0;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x100;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x200;

// MessageBoxA results: the button chosen.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The dialogs. An implementation shows them however it can and answers the button chosen.
class TDialogService {
 public:
  virtual ~TDialogService() = default;

  // Shows `text` with an OK button and returns once it is acknowledged.
  virtual void ShowMessage(const std::string& text) = 0;
  // Shows `text` under the title of `type` with `buttons`; returns the chosen button's modal
  // result (mrYes for mbYes, …).
  virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                         int help_context) = 0;
  // Shows `text` under `caption` with the buttons of `flags`; returns the chosen button's ID
  // (IDOK, IDCANCEL, …). `window` is the handle of the parent window, 0 for none.
  virtual int MessageBoxA(uint32_t window, const std::string& text, const std::string& caption,
                          uint32_t flags) = 0;
};

// The terminal service: dialogs as text on a stream, answers read from another.
//
// A dialog is written as three lines: the title, the text, the choices ("[Y]es [N]o [C]ancel").
// The title of ShowMessage, and of MessageDlg with mtCustom, is the application title; of
// MessageDlg otherwise "Warning", "Error", "Information" or "Confirmation"; of MessageBoxA the
// caption. MessageDlg lists its buttons in the order of TMsgDlgBtn; MessageBoxA in the order of
// its layout (OK Cancel; Abort Retry Ignore; Yes No Cancel; Yes No; Retry Cancel); a button
// layout outside MB_OK … MB_RETRYCANCEL is taken as MB_OK. The icon bits and the window handle
// are not used.
//
// Default button: for MessageDlg mbOK, else mbYes, else mbRetry, else the first button listed;
// for MessageBoxA the button that MB_DEFBUTTON1 … 3 selects, or the first one when the layout
// has fewer buttons.
//
// Without interaction the service answers the default button and reads nothing. With
// interaction it writes the prompt "> " and reads a line; leading and trailing blanks do not
// count. The answer is a button's caption or its shortcut, the letter in brackets, both without
// regard to ASCII letter case. A button's shortcut is the first letter of its caption that no
// button listed before it has taken. An empty line or the end of input takes the default
// button; an answer that names no button writes "Unknown answer "<answer>"" and asks again, and
// after kMaxAttempts such answers the default button is taken. Choosing Help writes
// "Help context <n>" and asks again, counting as an attempt. A MessageDlg with no button other
// than Help reads nothing and answers mrNone.
class TTerminalDialogService : public TDialogService {
 public:
  // The number of answers that are read for one dialog before the default button is taken.
  static constexpr int kMaxAttempts = 3;

  // A service that writes to `out` and, when `interactive`, reads answers from `in`. Its
  // application title is `application_title`.
  // REQUIRES: `in` and `out` outlive the service.
  TTerminalDialogService(std::istream& in, std::ostream& out, bool interactive,
                         std::string application_title);
  // The same with the program's name (its file name without directories) as application title.
  TTerminalDialogService(std::istream& in, std::ostream& out, bool interactive);
  TTerminalDialogService(const TTerminalDialogService&) = delete;
  TTerminalDialogService& operator=(const TTerminalDialogService&) = delete;

  void ShowMessage(const std::string& text) override;
  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 int help_context) override;
  int MessageBoxA(uint32_t window, const std::string& text, const std::string& caption,
                  uint32_t flags) override;

  const std::string& ApplicationTitle() const { return application_title_; }

 private:
  struct Choice;

  // Writes the dialog and returns the result of the button chosen.
  int Ask(const std::string& title, const std::string& text, const Choice* choices, int count,
          int default_index, int help_context);

  std::istream& in_;
  std::ostream& out_;
  bool interactive_;
  std::string application_title_;
};

// Shows `text` with an OK button through the current service.
void ShowMessage(const std::string& text);
// Shows a dialog of `type` with `buttons` through the current service; returns its modal result.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int help_context);
// Shows the system message box through the current service; returns the button's ID.
int MessageBoxA(uint32_t window, const std::string& text, const std::string& caption,
                uint32_t flags);

// The current service: the installed one, or else the terminal service over standard input
// and standard error, interactive when standard input is a terminal.
TDialogService& Dialogs();
// Installs `service` as the current service; null brings back the terminal service.
// Ownership: the installed service is owned until it is replaced; the previously installed
// service is handed back to the caller (null when the terminal service was current).
std::unique_ptr<TDialogService> SetDialogService(std::unique_ptr<TDialogService> service);

// Installs a service for the guard's lifetime and restores the previous one on destruction.
//
//   kivo::testing::RecordingDialogs recorder;
//   {
//     kivo::TScopedDialogService guard(recorder);
//     kivo::ShowMessage("Saved");   // recorded
//   }
class TScopedDialogService {
 public:
  // Installs `service`. Ownership: the guard owns it until its destruction.
  explicit TScopedDialogService(std::unique_ptr<TDialogService> service);
  // Installs a service that forwards every call to `service`.
  // REQUIRES: `service` outlives the guard.
  explicit TScopedDialogService(TDialogService& service);
  // Restores the service that was current when the guard was made.
  ~TScopedDialogService();
  TScopedDialogService(const TScopedDialogService&) = delete;
  TScopedDialogService& operator=(const TScopedDialogService&) = delete;

 private:
  std::unique_ptr<TDialogService> previous_;  // null: the terminal service was current
};

}  // namespace kivo
