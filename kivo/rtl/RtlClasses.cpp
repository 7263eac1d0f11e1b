// Registers the platform layer's classes, so that they can be found by name (form files name
// their components' classes). Called once, by the class registry, the first time it is used.
#include "kivo/rtl/ClassModel.h"
#include "kivo/rtl/Persistent.h"

namespace kivo::detail {

void RegisterRtlClasses() {
  RegisterClasses({
      TObject::StaticClass(),
      TPersistent::StaticClass(),
  });
}

}  // namespace kivo::detail
