// Form files: the text format in which a form (or data module, or frame) stores its components
// and their published properties, with a reader that builds the components from it and a writer
// that writes them back.
//
//   object MainForm: TMainForm
//     Caption = 'Main'
//     object Button1: TButton
//       Left = 8
//       Caption = 'O''K'#13#10'next'
//       Font.Name = 'Arial'
//       OnClick = Button1Click
//     end
//     object Dict: TKivoMultiStreamDD
//       DDName = 'Main'
//       Dictionary.Data = {
//         4444…}
//     end
//   end
//
// An object block is `object Name: TClass` … `end` (`inherited` and `inline` are read like
// `object`; an unnamed component is `object TClass`). Inside it come its properties, `Name =
// value`, then the objects nested in it. Values: integers (decimal or `$` hexadecimal, with a
// sign), floats, strings (single-quoted pieces with doubled quotes, `#nn` byte codes, pieces
// joined with `+` across lines), identifiers (enumeration values, True/False, component
// references `Button1` or `Form1.Button1`, method names of events), sets `[a, b]`, lists `( … )`
// (string lists), collections `< item … end >` and binary data `{ hex digits }`. Dotted names
// reach into sub-objects: `Font.Name`, `Items.Strings`, `Dictionary.Data`.
//
// Reading (ReadForm, ReadFormInto): components are created by registered class name and owned
// by the root; each nested object is handed to its enclosing component through
// `SetParentComponent`, which decides what it becomes (a child control, a sub-item, a page). The
// loading state is set on every component while it is read; component references are resolved
// once the whole file is read, so forward references work; then `Loaded` runs on every component
// read, in creation order, the root first. Binary and string-list data that is not a published
// property goes through `DefineProperties`. Event values name published methods of the root's
// class.
//
// Strict and lenient reading: in strict mode an unknown class, an unknown property, a value that
// does not fit its property and an event naming an unknown method are errors. In lenient mode
// (for forms written by other applications) they are kept: an unknown class loads as a
// `TUnknownComponent` or, when it has a position, a size or nested objects, as a
// `TUnknownControl`, either of which keeps its class name and its nested objects; an unknown or
// unfitting property is kept with the object it belongs to, as it was read, and written back
// after the object's known properties. A reference to a component of another form that is not
// found is kept the same way; a reference within the form that names no component is an error
// in both modes. The root's own class (the application's form class) need not be registered in
// either mode: an unregistered root is read as a `TUnknownForm` (or a `TUnknownDataModule` when
// it has neither position nor size), whose events are kept as method names.
//
// Writing (WriteForm): the root and the components it owns, each as an object block with its
// name and class; inside, `Tag`, then the published properties in declared order that are stored
// and differ from their defaults (sub-objects as dotted names, collections, string lists, events
// by method name), then the properties defined through `DefineProperties`, then kept unknown
// properties, then the nested objects: a component's children (`GetChildren`) and, at the root,
// first every owned component that no other component lists as a child, then the root's own
// children. Bytes 32–126 and 128–255 are written inside quotes, other bytes as `#nn`. Reading
// what the writer wrote and writing it again gives the same bytes.
//
// Errors: every reading error is an EFormFileError whose message names the file and line, and,
// where there is one, the component (name and class) and the property:
//   Unknown property 'Captionx' of Button1 (TButton) at MainForm.dfm:14
//   data dictionary: "Main" already exists. (DDName of Dict1 (TKivoMultiStreamDD) at Main.dfm:5)
// A failed read destroys every component it created (so no dictionary it created stays
// registered); properties already set on a root given to ReadFormInto keep their new values.
// Lines longer than kMaxFormLine bytes and nesting deeper than kMaxFormDepth levels are refused.
//
// Threads: user-interface thread only, like the components.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kivo/rtl/Component.h"
#include "kivo/rtl/Controls.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Forms.h"

namespace kivo {

inline constexpr size_t kMaxFormLine = 1 << 20;  // bytes in one line of a form file
inline constexpr int kMaxFormDepth = 200;        // nesting of objects and values

// A form file that cannot be read.
class EFormFileError : public EReadError {
 public:
  using EReadError::EReadError;
};

// --- The syntax tree of a form file

// One value as written in a form file.
struct TFormValue {
  enum Kind {
    kInteger,     // integer
    kFloat,       // float; text keeps the digits as read
    kString,      // text
    kIdent,       // text: an identifier, possibly dotted (True, alClient, Form1.Button1)
    kSet,         // items: identifiers
    kList,        // items: any values ( … )
    kCollection,  // collection: items < item … end >
    kBinary,      // text: the bytes
  };
  struct Property;
  using Properties = std::vector<Property>;

  Kind kind = kInteger;
  int64_t integer = 0;
  double number = 0;
  std::string text;
  std::vector<TFormValue> items;
  std::vector<Properties> collection;  // one property list per collection item
};

struct TFormValue::Property {
  std::string name;  // possibly dotted: Font.Name
  TFormValue value;
  int line = 0;
};

// One object block.
struct TFormObject {
  std::string keyword = "object";  // object, inherited or inline
  std::string name;                // empty for an unnamed component
  std::string class_name;
  TFormValue::Properties properties;
  std::vector<TFormObject> children;
  int line = 0;
};

// Parses form-file text. `file_name` names the file in messages.
// Throws: EFormFileError for text that is not a form file.
TFormObject ParseFormText(std::string_view text, const std::string& file_name);
// Writes a syntax tree back as text, in the writer's layout.
std::string FormObjectToText(const TFormObject& object);

// --- Components

struct TFormReadOptions {
  std::string file_name = "form";  // named in messages
  bool strict = true;
  bool designing = false;  // read the components in the designing state (as a form designer)
};

// Reads a form file whose root class is registered (or, see above, unregistered) and returns the
// new root with everything it owns.
// Throws: EFormFileError.
std::unique_ptr<TComponent> ReadForm(std::string_view text, const TFormReadOptions& options);
// Reads a form file into an existing root: the root takes the file's name and properties and
// owns the components read. The file's root class must be the root's class or an ancestor's
// name.
// Throws: EFormFileError.
void ReadFormInto(TComponent& root, std::string_view text, const TFormReadOptions& options);
// Reads the file at `path` (named in messages by its path).
// Throws: EFOpenError; EFormFileError.
std::unique_ptr<TComponent> ReadFormFile(const std::string& path, TFormReadOptions options);

// Writes `root` and what it owns as form-file text.
std::string WriteForm(const TComponent& root);
// The syntax tree that WriteForm writes (FormObjectToText(WriteFormObject(root)) ==
// WriteForm(root)); useful for comparing two states of a form property by property.
TFormObject WriteFormObject(const TComponent& root);

// --- Classes that lenient reading creates for classes it does not know

// What every class of lenient reading has: the class name it was read under, and the components
// read nested in it (the reader lists them through AddNested).
class TUnknownClass {
 public:
  const std::string& OriginalClassName() const { return class_name_; }
  void SetOriginalClassName(std::string name) { class_name_ = std::move(name); }
  // Lists `child` as read nested in this object; the base forgets it (a form's or a data
  // module's children are its own components and controls).
  virtual void AddNested(TComponent* /*child*/) {}

 protected:
  TUnknownClass() = default;
  ~TUnknownClass() = default;

 private:
  std::string class_name_;
};

namespace detail {

// The components read nested in a component, in read order; not owned. Its holder asks each
// for free notification and calls Remove when one goes.
class TNestedComponents {
 public:
  void Add(TComponent& holder, TComponent* child);
  void Remove(const TComponent* child) { std::erase(items_, child); }
  bool Contains(const TComponent* child) const;
  const std::vector<TComponent*>& Items() const { return items_; }

 private:
  std::vector<TComponent*> items_;
};

}  // namespace detail

// A component of an unknown class: writes its nested components back inside itself.
class TUnknownComponent : public TComponent, public TUnknownClass {
  KIVO_CLASS(TUnknownComponent, TComponent)

  explicit TUnknownComponent(TComponent* owner);

  void GetChildren(std::vector<TComponent*>& children) const override;
  void Notification(TComponent* component, TOperation operation) override;
  void AddNested(TComponent* child) override { nested_.Add(*this, child); }

 private:
  detail::TNestedComponents nested_;
};

// A windowed control of an unknown class: its child controls stay its children.
class TUnknownControl : public TCustomControl, public TUnknownClass {
  KIVO_CLASS(TUnknownControl, TCustomControl)

  explicit TUnknownControl(TComponent* owner);

  // The nested components in read order (child controls among them while they stay its
  // children), then child controls added later.
  void GetChildren(std::vector<TComponent*>& children) const override;
  void Notification(TComponent* component, TOperation operation) override;
  void AddNested(TComponent* child) override { nested_.Add(*this, child); }

 private:
  detail::TNestedComponents nested_;
};

// The root of a form whose class is not registered.
class TUnknownForm : public TForm, public TUnknownClass {
  KIVO_CLASS(TUnknownForm, TForm)

  explicit TUnknownForm(TComponent* owner);
};

class TUnknownDataModule : public TDataModule, public TUnknownClass {
  KIVO_CLASS(TUnknownDataModule, TDataModule)

  explicit TUnknownDataModule(TComponent* owner);
};

namespace detail {

// What the reader keeps with an object it has read: the properties it could not apply (lenient
// mode), with names relative to the object, and the keyword of a component's block when it was
// not `object`.
struct TFormExtra : TFilerExtra {
  std::string keyword;
  TFormValue::Properties properties;
};

// The extra data of `object`, created when missing.
TFormExtra& FormExtraOf(TPersistent& object);
// The extra data of `object`, or null.
const TFormExtra* FindFormExtra(const TPersistent& object);

}  // namespace detail

// The class name a writer writes for `component`: the original name of an unknown class, else
// the class name.
std::string FormClassName(const TComponent& component);

}  // namespace kivo
