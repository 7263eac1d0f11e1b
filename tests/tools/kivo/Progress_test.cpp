#include "tools/kivo/Progress.h"

#include <gtest/gtest.h>

#include <iostream>
#include <limits>
#include <sstream>
#include <string>

namespace kivo::tool {
namespace {

// The line of the bar at `percent`, as drawn.
std::string Drawn(int percent) {
  const int filled = percent * kProgressBarWidth / 100;
  std::string text = std::to_string(percent);
  return "\r" + std::string(3 - text.size(), ' ') + text + "% [" + std::string(filled, '#') +
         std::string(kProgressBarWidth - filled, ' ') + "]";
}

TEST(ProgressBar, RedrawsOnlyWhenTheWholePercentageGrowsAndEndsWithANewline) {
  std::ostringstream out;
  {
    TProgressBar bar(out);
    for (const double fraction : {0.0, 0.001, 0.0099, 0.01, 0.0150, 0.5, 0.4, 0.5049,
                                  std::numeric_limits<double>::quiet_NaN(), 0.999})
      bar.Update(fraction);
    bar.Finish();
    bar.Update(1.0);
    bar.Finish();
  }
  EXPECT_EQ(out.str(), Drawn(0) + Drawn(1) + Drawn(50) + Drawn(99) + Drawn(100) + "\n");
  EXPECT_EQ(Drawn(50), "\r 50% [" + std::string(20, '#') + std::string(20, ' ') + "]");
}

TEST(ProgressBar, ClampsFractionsOutsideZeroToOne) {
  std::ostringstream out;
  TProgressBar bar(out);
  bar.Update(-0.5);
  bar.Update(1.7);  // a source that announced fewer records than it holds
  bar.Update(2.0);
  bar.Finish();
  EXPECT_EQ(out.str(), Drawn(0) + Drawn(100) + "\n");
}

TEST(ProgressBar, AnUnfinishedBarEndsItsLineWhenDestroyed) {
  std::ostringstream drawn, untouched;
  {
    TProgressBar bar(drawn);
    bar.Update(0.42);
    TProgressBar idle(untouched);
  }
  EXPECT_EQ(drawn.str(), Drawn(42) + "\n");
  EXPECT_EQ(untouched.str(), "");
}

TEST(ProgressBar, OnlyTheProcessStandardErrorCanBeATerminal) {
  std::ostringstream err;
  EXPECT_FALSE(IsTerminal(err));
  EXPECT_FALSE(IsTerminal(std::cout));
}

}  // namespace
}  // namespace kivo::tool
