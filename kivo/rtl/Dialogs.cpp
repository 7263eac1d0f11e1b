#include "kivo/rtl/Dialogs.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <iostream>
#include <istream>
#include <iterator>
#include <ostream>
#include <string_view>
#include <utility>

#include "kivo/rtl/StrUtils.h"

namespace kivo {

namespace {

// The result of the Help button: it shows the help context and closes nothing.
constexpr int kHelpResult = -1;

const char* const kDialogTitles[] = {"Warning", "Error", "Information", "Confirmation"};

struct ButtonInfo {
  const char* caption;
  int result;
};
// Indexed by TMsgDlgBtn.
constexpr ButtonInfo kButtons[] = {
    {"Yes", mrYes},
    {"No", mrNo},
    {"OK", mrOk},
    {"Cancel", mrCancel},
    {"Abort", mrAbort},
    {"Retry", mrRetry},
    {"Ignore", mrIgnore},
    {"All", mrAll},
    {"No to All", mrNoToAll},
    {"Yes to All", mrYesToAll},
    {"Help", kHelpResult},
};
constexpr int kButtonCount = static_cast<int>(std::size(kButtons));

std::string ProgramName() {
#if defined(__GLIBC__)
  return program_invocation_short_name;
#else
  return std::string();
#endif
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Forwards every call to a service that someone else owns.
class TBorrowedDialogService : public TDialogService {
 public:
  explicit TBorrowedDialogService(TDialogService& target) : target_(target) {}

  void ShowMessage(const std::string& text) override { target_.ShowMessage(text); }
  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                 int help_context) override {
    return target_.MessageDlg(text, type, buttons, help_context);
  }
  int MessageBoxA(uint32_t window, const std::string& text, const std::string& caption,
                  uint32_t flags) override {
    return target_.MessageBoxA(window, text, caption, flags);
  }

 private:
  TDialogService& target_;  // not owned
};

std::unique_ptr<TDialogService>& InstalledService() {
  static std::unique_ptr<TDialogService> service;
  return service;
}

TDialogService& TerminalService() {
  static TTerminalDialogService service(std::cin, std::cerr, ::isatty(0) != 0);
  return service;
}

}  // namespace

struct TTerminalDialogService::Choice {
  std::string caption;
  int result = mrNone;  // the modal result or ID answered for the button; kHelpResult for Help
};

TTerminalDialogService::TTerminalDialogService(std::istream& in, std::ostream& out,
                                               bool interactive, std::string application_title)
    : in_(in),
      out_(out),
      interactive_(interactive),
      application_title_(std::move(application_title)) {}

TTerminalDialogService::TTerminalDialogService(std::istream& in, std::ostream& out,
                                               bool interactive)
    : TTerminalDialogService(in, out, interactive, ProgramName()) {}

void TTerminalDialogService::ShowMessage(const std::string& text) {
  const Choice ok{kButtons[mbOK].caption, mrOk};
  Ask(application_title_, text, &ok, 1, 0, 0);
}

int TTerminalDialogService::MessageDlg(const std::string& text, TMsgDlgType type,
                                       TMsgDlgButtons buttons, int help_context) {
  Choice choices[kButtonCount];
  int count = 0;
  for (int b = 0; b < kButtonCount; ++b) {
    if (buttons.Contains(static_cast<TMsgDlgBtn>(b))) {
      choices[count++] = Choice{kButtons[b].caption, kButtons[b].result};
    }
  }
  int default_index = -1;
  for (int result : {mrOk, mrYes, mrRetry}) {
    for (int i = 0; i < count && default_index < 0; ++i) {
      if (choices[i].result == result) default_index = i;
    }
  }
  for (int i = 0; i < count && default_index < 0; ++i) {
    if (choices[i].result != kHelpResult) default_index = i;
  }
  const int type_index = static_cast<int>(type);
  const bool known_type = type_index >= 0 && type_index < static_cast<int>(mtCustom);
  const std::string title = known_type ? kDialogTitles[type_index] : application_title_;
  return Ask(title, text, choices, count, default_index, help_context);
}

int TTerminalDialogService::MessageBoxA(uint32_t /*window*/, const std::string& text,
                                        const std::string& caption, uint32_t flags) {
  static const Choice kLayouts[][3] = {
      {{"OK", IDOK}},
      {{"OK", IDOK}, {"Cancel", IDCANCEL}},
      {{"Abort", IDABORT}, {"Retry", IDRETRY}, {"Ignore", IDIGNORE}},
      {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}},
      {{"Yes", IDYES}, {"No", IDNO}},
      {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}},
  };
  static const int kLayoutSizes[] = {1, 2, 3, 3, 2, 2};
  uint32_t layout = flags & 0xF;
  if (layout >= std::size(kLayouts)) layout = MB_OK;
  const int count = kLayoutSizes[layout];
  int default_index = static_cast<int>((flags >> 8) & 0xF);
  if (default_index >= count) default_index = 0;
  return Ask(caption, text, kLayouts[layout], count, default_index, 0);
}

int TTerminalDialogService::Ask(const std::string& title, const std::string& text,
                                const Choice* choices, int count, int default_index,
                                int help_context) {
  // Each button's shortcut: the first letter of its caption not taken by an earlier button.
  std::string shortcuts(static_cast<size_t>(count), '\0');
  std::string line;
  for (int i = 0; i < count; ++i) {
    const std::string& caption = choices[i].caption;
    size_t at = std::string::npos;
    for (size_t k = 0; k < caption.size() && at == std::string::npos; ++k) {
      const char c = AsciiLower(caption[k]);
      if (std::isalpha(static_cast<unsigned char>(c)) && shortcuts.find(c) == std::string::npos) {
        at = k;
        shortcuts[static_cast<size_t>(i)] = c;
      }
    }
    if (i > 0) line += ' ';
    if (at == std::string::npos) {
      line += caption;
    } else {
      line.append(caption, 0, at).append("[").append(1, caption[at]).append("]");
      line.append(caption, at + 1);
    }
  }
  out_ << title << '\n' << text << '\n' << line << '\n';
  if (default_index < 0) {
    out_.flush();
    return mrNone;
  }
  const int fallback = choices[default_index].result;
  if (!interactive_) {
    out_.flush();
    return fallback;
  }
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    out_ << "> " << std::flush;
    std::string answer_line;
    if (!std::getline(in_, answer_line)) return fallback;
    const std::string_view answer = Trim(answer_line);
    if (answer.empty()) return fallback;
    int chosen = -1;
    for (int i = 0; i < count && chosen < 0; ++i) {
      const bool by_shortcut = answer.size() == 1 && shortcuts[static_cast<size_t>(i)] != '\0' &&
                               AsciiLower(answer[0]) == shortcuts[static_cast<size_t>(i)];
      if (by_shortcut || SameText(answer, choices[i].caption)) chosen = i;
    }
    if (chosen < 0) {
      out_ << "Unknown answer \"" << answer << "\"\n" << line << '\n';
    } else if (choices[chosen].result == kHelpResult) {
      out_ << "Help context " << help_context << '\n';
    } else {
      return choices[chosen].result;
    }
  }
  return fallback;
}

void ShowMessage(const std::string& text) { Dialogs().ShowMessage(text); }

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
               int help_context) {
  return Dialogs().MessageDlg(text, type, buttons, help_context);
}

int MessageBoxA(uint32_t window, const std::string& text, const std::string& caption,
                uint32_t flags) {
  return Dialogs().MessageBoxA(window, text, caption, flags);
}

TDialogService& Dialogs() {
  const std::unique_ptr<TDialogService>& installed = InstalledService();
  return installed ? *installed : TerminalService();
}

std::unique_ptr<TDialogService> SetDialogService(std::unique_ptr<TDialogService> service) {
  std::unique_ptr<TDialogService> previous = std::move(InstalledService());
  InstalledService() = std::move(service);
  return previous;
}

TScopedDialogService::TScopedDialogService(std::unique_ptr<TDialogService> service)
    : previous_(SetDialogService(std::move(service))) {}

TScopedDialogService::TScopedDialogService(TDialogService& service)
    : TScopedDialogService(std::make_unique<TBorrowedDialogService>(service)) {}

TScopedDialogService::~TScopedDialogService() { SetDialogService(std::move(previous_)); }

}  // namespace kivo
