// Persistent objects: copying between objects, and binary properties for the form-file filer.
//
// `TPersistent` is the base of everything that a form file stores: components, collections,
// their items, string lists, fonts and option objects. Copying goes through a double dispatch:
// `dest.Assign(source)` lets the destination copy what it knows; a destination that does not
// know the source asks the source (`source.AssignTo(dest)`); when neither does, the copy fails
// with the unsupported-assignment error "Cannot assign a TSource to a TDest".
//
// `DefineProperties` lets a class store data that is not a published property, such as a blob
// of dictionary bytes, through a `TFiler`: the class names the property and gives a reader and a
// writer callback; a form-file reader calls the reader when the property is in the file, a
// writer calls the writer when the class says it has data.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kivo/rtl/ClassModel.h"

namespace kivo {

class TStream;

// The interface through which a persistent object defines its binary properties.
// A form-file reader and a form-file writer each implement it.
class TFiler {
 public:
  using TStreamProc = std::function<void(TStream& stream)>;
  using TReadStringsProc = std::function<void(const std::vector<std::string>& values)>;
  using TWriteStringsProc = std::function<std::vector<std::string>()>;

  virtual ~TFiler() = default;

  // Defines the binary property `name` of the object being filed. A reading filer calls
  // `read_data` with a stream positioned on the property's bytes when the property is present;
  // a writing filer calls `write_data` with an empty stream to collect the bytes, but only when
  // `has_data` is true.
  virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& read_data,
                                    const TStreamProc& write_data, bool has_data) = 0;
  // Defines the property `name` whose value is a list of byte strings (a form file shows it as
  // a string list). A reading filer calls `read_values` with the strings when the property is
  // present; a writing filer calls `write_values`, but only when `has_data` is true.
  virtual void DefineStringsProperty(const std::string& name, const TReadStringsProc& read_values,
                                     const TWriteStringsProc& write_values, bool has_data) = 0;
};

// Data that a form-file reader attaches to an object it has read, such as the properties it
// did not know and kept so that a writer can put them back. The platform's form-file code
// defines what it holds; the object only keeps it.
class TFilerExtra {
 public:
  virtual ~TFilerExtra() = default;
};

class TPersistent : public TObject {
  KIVO_CLASS(TPersistent, TObject)

  TPersistent() = default;
  ~TPersistent() override = default;

  // Copies `source` into this object. The base asks `source->AssignTo(this)`; classes that know
  // how to copy from a source override it and call the inherited Assign for other sources.
  // Throws: EConvertError "Cannot assign a TSource to a TThis" when no class can copy; a null
  // source is named "nil".
  virtual void Assign(const TPersistent* source);

  // The object that owns this one in a name path (a collection's owner, an item's collection),
  // or null.
  virtual TPersistent* GetOwner() const { return nullptr; }

  // Defines the binary properties of this object with `filer`. The base defines none.
  virtual void DefineProperties(TFiler& filer);

  // What a form-file reader attached to this object, or null. Copies of the object start
  // without it.
  TFilerExtra* FilerExtra() const { return filer_extra_.get(); }
  void SetFilerExtra(std::unique_ptr<TFilerExtra> extra) { filer_extra_ = std::move(extra); }

 protected:
  TPersistent(const TPersistent& /*other*/) : TObject() {}
  TPersistent& operator=(const TPersistent& /*other*/) { return *this; }

  // Copies this object into `dest`. The base fails with the unsupported-assignment error.
  // Throws: EConvertError "Cannot assign a TThis to a TDest".
  virtual void AssignTo(TPersistent* dest) const;

  // Raises the unsupported-assignment error for copying `source` into this object.
  [[noreturn]] void AssignError(const TPersistent* source) const;

 private:
  std::unique_ptr<TFilerExtra> filer_extra_;
};

}  // namespace kivo
