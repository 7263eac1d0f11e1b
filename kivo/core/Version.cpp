#include "kivo/core/Version.h"

namespace kivo {

const char* Version() { return KIVO_VERSION; }

}  // namespace kivo
