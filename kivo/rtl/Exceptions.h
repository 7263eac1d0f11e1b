// The platform's exception hierarchy.
//
// Every error that the library raises is an `Exception` or one of the subclasses below. Each
// carries a readable message; the `S…` constants are the message formats, kept stable so that
// callers and tests can rely on the exact text. Subclasses exist only where callers need to tell
// one kind of failure from another.
//
//   try {
//     list.Items(7);
//   } catch (const kivo::EListError& e) {
//     std::puts(e.Message().c_str());  // "List index out of bounds (7)"
//   }
#pragma once

#include <exception>
#include <initializer_list>
#include <string>

namespace kivo {

// Message formats. The placeholders are filled by the constructors below.
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SFOpenError = "Cannot open file \"%s\". %s";
inline constexpr const char* SFCreateError = "Cannot create file \"%s\". %s";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SAbstractError = "Abstract Error";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SClassNotFound = "Class %s not found";
// Format (Format.h); the whole format string stands in place of %s.
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";

// Base of every error of the platform and of the system. `what()` is the message.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}

  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// An index outside a list: "List index out of bounds (7)".
class EListError : public Exception {
 public:
  using Exception::Exception;
  // The list-index error for `index`.
  static EListError IndexError(long long index);
};

// A string list refused an operation (sorted list, duplicate string).
class EStringListError : public EListError {
 public:
  using EListError::EListError;
};

// Text that does not convert (StrToInt, Format), and assignments between unrelated classes.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
  // The integer-conversion error for `text`: "'12x' is not a valid integer value".
  static EConvertError InvalidInteger(const std::string& text);
  // The unsupported-assignment error: "Cannot assign a TFont to a TStrings". A null source is
  // named "nil".
  static EConvertError AssignError(const std::string& source_class, const std::string& dest_class);
};

// A call of an operation that the object's class does not supply: "Abstract Error".
class EAbstractError : public Exception {
 public:
  EAbstractError() : Exception(SAbstractError) {}
};

// Stream failures.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError(SReadError) {}
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError(SWriteError) {}
  using EStreamError::EStreamError;
};
// A file that could not be opened: "Cannot open file "a.ktc". No such file or directory".
class EFOpenError : public EStreamError {
 public:
  EFOpenError(const std::string& file_name, const std::string& reason);
};
// A file that could not be created: "Cannot create file "/x/a.ktc". Permission denied".
class EFCreateError : public EStreamError {
 public:
  EFCreateError(const std::string& file_name, const std::string& reason);
};

// Component naming and ownership errors.
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

// A class name that is not registered: "Class TFoo not found".
class EClassNotFound : public Exception {
 public:
  using Exception::Exception;
};

// A property used against its kind, or a property or method that a class does not have.
class EPropertyError : public Exception {
 public:
  using Exception::Exception;
};

// Data-set errors; `FieldNotFound` is "Field 'DDKey' not found".
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
  static EDatabaseError FieldNotFound(const std::string& field_name);
};

// Replaces each "%s" or "%d" of `format`, in order, by the next of `args`. For the fixed message
// formats above; general formatting is `Format` (Format.h).
std::string FormatMessage(const char* format, std::initializer_list<std::string> args);

}  // namespace kivo
