#include "kivo/rtl/Persistent.h"

#include "kivo/rtl/Exceptions.h"

namespace kivo {

KIVO_DEFINE_CLASS(TPersistent) {}

void TPersistent::Assign(const TPersistent* source) {
  if (source == nullptr) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError::AssignError(ClassName(), dest != nullptr ? dest->ClassName() : "nil");
}

void TPersistent::AssignError(const TPersistent* source) const {
  throw EConvertError::AssignError(source != nullptr ? source->ClassName() : "nil", ClassName());
}

void TPersistent::DefineProperties(TFiler& /*filer*/) {}

}  // namespace kivo
