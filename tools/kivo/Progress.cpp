#include "tools/kivo/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <iostream>
#include <string>

namespace kivo::tool {

TProgressBar::~TProgressBar() {
  if (percent_ >= 0 && !finished_) out_ << '\n' << std::flush;
}

void TProgressBar::Update(double fraction) {
  if (finished_ || std::isnan(fraction)) return;
  const int percent = static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0));
  if (percent <= percent_) return;
  percent_ = percent;
  const int filled = percent * kProgressBarWidth / 100;
  out_ << '\r' << std::setw(3) << percent << "% [" << std::string(filled, '#')
       << std::string(kProgressBarWidth - filled, ' ') << ']' << std::flush;
}

void TProgressBar::Finish() {
  if (finished_) return;
  Update(1.0);
  out_ << '\n' << std::flush;
  finished_ = true;
}

bool IsTerminal(const std::ostream& err) { return &err == &std::cerr && isatty(2) == 1; }

}  // namespace kivo::tool
