// A progress bar on a terminal, for the long runs of a command.
//
//   kivo::tool::TProgressBar bar(std::cerr);
//   bar.Update(0.5);   // "\r 50% [####################                    ]"
//   bar.Finish();      // draws 100% and ends the line
//
// The bar is redrawn only when the whole percentage grows, so at most 101 times in a run. A bar
// that has drawn ends its line also when it is destroyed without Finish (a failed run), so that
// an error message that follows starts on a line of its own.
#pragma once

#include <ostream>

namespace kivo::tool {

// The least number of announced records for which convert shows a bar.
inline constexpr int kProgressMinRecords = 10000;

// The width of the bar between its brackets.
inline constexpr int kProgressBarWidth = 40;

class TProgressBar {
 public:
  // Ownership: borrows `out`, which must outlive the bar.
  explicit TProgressBar(std::ostream& out) : out_(out) {}
  // Ends the line when the bar has drawn and Finish has not.
  ~TProgressBar();
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  // Draws the bar for `fraction` (clamped to 0 … 1) when its whole percentage is above the one
  // drawn last (or nothing has been drawn yet).
  void Update(double fraction);
  // Draws 100% and ends the line; afterwards the bar draws nothing more.
  void Finish();

 private:
  std::ostream& out_;
  int percent_ = -1;  // drawn last; −1 before the first drawing
  bool finished_ = false;
};

// True when `err` is the process's standard error stream and that is a terminal.
bool IsTerminal(const std::ostream& err);

}  // namespace kivo::tool
