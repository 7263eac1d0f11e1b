// The message of the kivo::Exception that a call raises, for tests that compare whole messages.
#pragma once

#include <string>

#include "kivo/rtl/Exceptions.h"

namespace kivo::testing {

// Runs `f` and answers the message of the Exception it raised, or "no error".
template <class F>
std::string ErrorOf(F f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no error";
}

}  // namespace kivo::testing
