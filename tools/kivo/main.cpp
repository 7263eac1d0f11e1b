// The kivo tool: maintains and inspects translation dictionaries.
#include <cstdio>
#include <cstring>

#include "kivo/core/Version.h"

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("usage: kivo --version\n");
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("kivo %s\n", kivo::Version());
    return 0;
  }
  std::fprintf(stderr, "usage: kivo --version\n");
  return 2;
}
