// The kivo tool: maintains and inspects translation dictionaries and translates form files.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/kivo/Commands.h"
#include "tools/kivo/Options.h"

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int status = kivo::tool::Main(args, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) return kivo::tool::Failure(std::cerr, "write error on standard output");
    return status;
  } catch (const std::exception& e) {
    return kivo::tool::Failure(std::cerr, e.what());
  } catch (...) {
    return kivo::tool::Failure(std::cerr, "unknown error");
  }
}
