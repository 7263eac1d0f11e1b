#include "kivo/rtl/Exceptions.h"

namespace kivo {

std::string FormatMessage(const char* format, std::initializer_list<std::string> args) {
  std::string out;
  auto next = args.begin();
  for (const char* p = format; *p != '\0'; ++p) {
    if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && next != args.end()) {
      out += *next++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

EListError EListError::IndexError(long long index) {
  return EListError(FormatMessage(SListIndexError, {std::to_string(index)}));
}

EConvertError EConvertError::InvalidInteger(const std::string& text) {
  return EConvertError(FormatMessage(SInvalidInteger, {text}));
}

EConvertError EConvertError::AssignError(const std::string& source_class,
                                         const std::string& dest_class) {
  return EConvertError(FormatMessage(SAssignError, {source_class, dest_class}));
}

EFOpenError::EFOpenError(const std::string& file_name, const std::string& reason)
    : EStreamError(FormatMessage(SFOpenError, {file_name, reason})) {}

EFCreateError::EFCreateError(const std::string& file_name, const std::string& reason)
    : EStreamError(FormatMessage(SFCreateError, {file_name, reason})) {}

EDatabaseError EDatabaseError::FieldNotFound(const std::string& field_name) {
  return EDatabaseError(FormatMessage(SFieldNotFound, {field_name}));
}

}  // namespace kivo
