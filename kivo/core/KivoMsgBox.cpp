#include "kivo/core/KivoMsgBox.h"

#include "kivo/core/KivoMultiDD.h"

namespace kivo {

KIVO_DEFINE_CLASS(TKivoMsgBox) {
  b.String("CodePage", &TKivoMsgBox::CodePage, &TKivoMsgBox::SetCodePage);
  b.String("DDName", &TKivoMsgBox::DDName, &TKivoMsgBox::SetDDName);
}

namespace {

// The named dictionary's translation of `text`; `text` itself without the registry.
std::string Translate(const std::string& text, const std::string& code_page,
                      const std::string& seq_no, const std::string& dd_name) {
  if (KivoDDStorage == nullptr) return text;
  return KivoDDStorage->GetDisplayValue(dd_name, text, code_page, seq_no);
}

// The translation of `text`, formatted with `args` unless the list is empty.
std::string TranslateAndFormat(const std::string& text, const std::string& code_page,
                               std::span<const TVarRec> args, const std::string& seq_no,
                               const std::string& dd_name) {
  std::string result = Translate(text, code_page, seq_no, dd_name);
  if (!args.empty()) result = Format(result, args);
  return result;
}

std::string FromText(const char* text) { return text == nullptr ? std::string() : text; }

}  // namespace

void MultiShowMessage(const std::string& msg, const std::string& code_page,
                      const std::string& seq_no, const std::string& dd_name) {
  ShowMessage(Translate(msg, code_page, seq_no, dd_name));
}

void MultiShowMessage2(const std::string& msg, const std::string& code_page,
                       std::span<const TVarRec> args, const std::string& seq_no,
                       const std::string& dd_name) {
  ShowMessage(TranslateAndFormat(msg, code_page, args, seq_no, dd_name));
}

int MultiMessageBox(uint32_t window, const char* text, const char* caption, uint32_t flags,
                    const std::string& code_page, const std::string& seq_no,
                    const std::string& dd_name) {
  const std::string shown_caption = Translate(FromText(caption), code_page, seq_no, dd_name);
  const std::string shown_text = Translate(FromText(text), code_page, seq_no, dd_name);
  return MessageBoxA(window, shown_text, shown_caption, flags);
}

int MultiMessageBox2(uint32_t window, const char* text, const char* caption, uint32_t flags,
                     const std::string& code_page, std::span<const TVarRec> text_args,
                     std::span<const TVarRec> caption_args, const std::string& seq_no,
                     const std::string& dd_name) {
  const std::string shown_text =
      TranslateAndFormat(FromText(text), code_page, text_args, seq_no, dd_name);
  const std::string shown_caption =
      TranslateAndFormat(FromText(caption), code_page, caption_args, seq_no, dd_name);
  return MessageBoxA(window, shown_text, shown_caption, flags);
}

int MultiMessageDlg(const std::string& msg, TMsgDlgType dlg_type, TMsgDlgButtons buttons,
                    int help_context, const std::string& code_page, const std::string& seq_no,
                    const std::string& dd_name) {
  return MessageDlg(Translate(msg, code_page, seq_no, dd_name), dlg_type, buttons, help_context);
}

int MultiMessageDlg2(const std::string& msg, TMsgDlgType dlg_type, TMsgDlgButtons buttons,
                     int help_context, const std::string& code_page, std::span<const TVarRec> args,
                     const std::string& seq_no, const std::string& dd_name) {
  return MessageDlg(TranslateAndFormat(msg, code_page, args, seq_no, dd_name), dlg_type, buttons,
                    help_context);
}

TKivoMsgBox::TKivoMsgBox(TComponent* owner) : TComponent(owner) {}

std::string TKivoMsgBox::GetDisplayValue(const std::string& text, const std::string& seq_no) const {
  return Translate(text, code_page_, seq_no, dd_name_);
}

void TKivoMsgBox::ShowMessage(const std::string& msg, const std::string& seq_no) const {
  MultiShowMessage(msg, code_page_, seq_no, dd_name_);
}

void TKivoMsgBox::ShowMessage2(const std::string& msg, std::span<const TVarRec> args,
                               const std::string& seq_no) const {
  MultiShowMessage2(msg, code_page_, args, seq_no, dd_name_);
}

int TKivoMsgBox::MessageBox(uint32_t window, const char* text, const char* caption, uint32_t flags,
                            const std::string& seq_no) const {
  return MultiMessageBox(window, text, caption, flags, code_page_, seq_no, dd_name_);
}

int TKivoMsgBox::MessageBox2(uint32_t window, const char* text, const char* caption, uint32_t flags,
                             std::span<const TVarRec> text_args,
                             std::span<const TVarRec> caption_args,
                             const std::string& seq_no) const {
  return MultiMessageBox2(window, text, caption, flags, code_page_, text_args, caption_args, seq_no,
                          dd_name_);
}

int TKivoMsgBox::MessageDlg(const std::string& msg, TMsgDlgType dlg_type, TMsgDlgButtons buttons,
                            int help_context, const std::string& seq_no) const {
  return MultiMessageDlg(msg, dlg_type, buttons, help_context, code_page_, seq_no, dd_name_);
}

int TKivoMsgBox::MessageDlg2(const std::string& msg, TMsgDlgType dlg_type, TMsgDlgButtons buttons,
                             int help_context, std::span<const TVarRec> args,
                             const std::string& seq_no) const {
  return MultiMessageDlg2(msg, dlg_type, buttons, help_context, code_page_, args, seq_no, dd_name_);
}

}  // namespace kivo
