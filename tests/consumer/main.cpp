// Uses the installed library.
#include <cstdio>

#include "kivo/core/Version.h"

int main() {
  std::printf("consumer: kivo %s\n", kivo::Version());
  return 0;
}
