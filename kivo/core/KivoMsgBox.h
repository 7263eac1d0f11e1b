// Translated message boxes: the platform's dialogs with texts looked up in a dictionary.
//
// Each function translates its message text (and the caption of the system message box) with
// the dictionary named by the caller, fills in the format arguments when there are any, and
// shows the result with ShowMessage, MessageDlg or MessageBoxA (kivo/rtl/Dialogs.h). The text
// that is looked up is the unformatted one: a dictionary's keys are the format strings
// themselves, and their translations carry their own placeholders. Only the texts passed in are
// translated; the titles and button captions are the dialog service's own.
//
//   // "Main" holds the key "File %d of %d" with the translation "Datei %d von %d".
//   const kivo::TVarRec args[] = {3, 7};
//   kivo::MultiShowMessage2("File %d of %d", "1252", args, "", "Main");   // "Datei 3 von 7"
//
//   auto* box = new kivo::TKivoMsgBox(form);   // or dropped on the form with its two properties
//   box->SetDDName("Main");
//   box->SetCodePage("1252");
//   if (box->MessageDlg("Save changes?", kivo::mtConfirmation, {kivo::mbYes, kivo::mbNo}, 0,
//                       "") == kivo::mrYes) { … }
//
// A text is translated by KivoDDStorage->GetDisplayValue(dictionary name, text, code page,
// sequence number): when no dictionary has the name (an empty name included), or the
// dictionary has no entry for the text, the text stays as it is; when the core library is not
// initialised, every text stays as it is. An empty list of format arguments means that the text
// is not formatted at all, so a "%" in it is shown as it is.
//
// Errors leave a function before anything is shown: the dictionary's loading errors, and the
// EConvertError of Format for a translation whose placeholders do not fit the arguments
// ("Format '<translation>' invalid or incompatible with argument", "No argument for format
// '<translation>'").
//
// Threads: the user-interface thread only; the dialogs are modal.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "kivo/rtl/Component.h"
#include "kivo/rtl/Dialogs.h"
#include "kivo/rtl/Format.h"

namespace kivo {

// Shows the translation of `msg` with ShowMessage.
// Throws: the dictionary's loading errors.
void MultiShowMessage(const std::string& msg, const std::string& code_page,
                      const std::string& seq_no, const std::string& dd_name);
// Shows the translation of `msg`, formatted with `args` unless `args` is empty, with
// ShowMessage.
// Throws: the dictionary's loading errors; EConvertError of Format.
void MultiShowMessage2(const std::string& msg, const std::string& code_page,
                       std::span<const TVarRec> args, const std::string& seq_no,
                       const std::string& dd_name);
// Shows the translations of `text` and `caption` with MessageBoxA and returns its result as it
// is. A null `text` or `caption` is the empty string.
// Throws: the dictionary's loading errors.
int MultiMessageBox(uint32_t window, const char* text, const char* caption, uint32_t flags,
                    const std::string& code_page, const std::string& seq_no,
                    const std::string& dd_name);
// As MultiMessageBox, with the translated text formatted with `text_args` and the translated
// caption with `caption_args`, each unless its list is empty.
// Throws: the dictionary's loading errors; EConvertError of Format.
int MultiMessageBox2(uint32_t window, const char* text, const char* caption, uint32_t flags,
                     const std::string& code_page, std::span<const TVarRec> text_args,
                     std::span<const TVarRec> caption_args, const std::string& seq_no,
                     const std::string& dd_name);
// Shows the translation of `msg` with MessageDlg and returns its modal result as it is.
// Throws: the dictionary's loading errors.
int MultiMessageDlg(const std::string& msg, TMsgDlgType dlg_type, TMsgDlgButtons buttons,
                    int help_context, const std::string& code_page, const std::string& seq_no,
                    const std::string& dd_name);
// As MultiMessageDlg, with the translation formatted with `args` unless `args` is empty.
// Throws: the dictionary's loading errors; EConvertError of Format.
int MultiMessageDlg2(const std::string& msg, TMsgDlgType dlg_type, TMsgDlgButtons buttons,
                     int help_context, const std::string& code_page, std::span<const TVarRec> args,
                     const std::string& seq_no, const std::string& dd_name);

// A component that holds the dictionary name and code page of a form's messages, so that its
// methods take only the texts and a sequence number. Each method calls the free function of the
// same family with CodePage and DDName; it throws what that function throws.
//
// It refers to the dictionary by name only, so it may be created before the dictionary and
// keeps working when the dictionary is replaced by another of the same name. Published
// properties, after those of TComponent: CodePage, DDName (strings, written when not empty).
class TKivoMsgBox : public TComponent {
  KIVO_CLASS(TKivoMsgBox, TComponent)

  // Creates the component with an empty code page and dictionary name.
  // Ownership: `owner` owns it; without owner the creator does.
  explicit TKivoMsgBox(TComponent* owner);

  // The code page passed to every lookup.
  const std::string& CodePage() const { return code_page_; }
  void SetCodePage(const std::string& value) { code_page_ = value; }
  // The name of the dictionary used for every lookup.
  const std::string& DDName() const { return dd_name_; }
  void SetDDName(const std::string& value) { dd_name_ = value; }

  // The translation of `text`.
  // Throws: the dictionary's loading errors.
  std::string GetDisplayValue(const std::string& text, const std::string& seq_no) const;
  // Shows `msg` through MultiShowMessage.
  void ShowMessage(const std::string& msg, const std::string& seq_no) const;
  // Shows `msg` with `args` through MultiShowMessage2.
  void ShowMessage2(const std::string& msg, std::span<const TVarRec> args,
                    const std::string& seq_no) const;
  // Shows `text` and `caption` through MultiMessageBox; returns its result.
  int MessageBox(uint32_t window, const char* text, const char* caption, uint32_t flags,
                 const std::string& seq_no) const;
  // Shows `text` and `caption` with their arguments through MultiMessageBox2; returns its
  // result.
  int MessageBox2(uint32_t window, const char* text, const char* caption, uint32_t flags,
                  std::span<const TVarRec> text_args, std::span<const TVarRec> caption_args,
                  const std::string& seq_no) const;
  // Shows `msg` through MultiMessageDlg; returns its result.
  int MessageDlg(const std::string& msg, TMsgDlgType dlg_type, TMsgDlgButtons buttons,
                 int help_context, const std::string& seq_no) const;
  // Shows `msg` with `args` through MultiMessageDlg2; returns its result.
  int MessageDlg2(const std::string& msg, TMsgDlgType dlg_type, TMsgDlgButtons buttons,
                  int help_context, std::span<const TVarRec> args, const std::string& seq_no) const;

 private:
  std::string code_page_;
  std::string dd_name_;
};

}  // namespace kivo
