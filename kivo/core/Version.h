// The library's version.
#pragma once

namespace kivo {

// The version of the library as "major.minor.patch".
const char* Version();

}  // namespace kivo
