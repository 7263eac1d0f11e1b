#include "kivo/rtl/ClassModel.h"

#include <map>

#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo {
namespace {

// The registered classes by lower-case name, and in registration order.
class ClassRegistry {
 public:
  static ClassRegistry& Instance() {
    static ClassRegistry registry;
    return registry;
  }

  void Add(TClass cls) {
    const std::string key = LowerCase(cls->Name());
    auto it = by_name_.find(key);
    if (it != by_name_.end()) {
      if (it->second == cls) return;
      throw Exception("A class named " + cls->Name() + " already exists");
    }
    by_name_.emplace(key, cls);
    order_.push_back(cls);
  }

  void Remove(TClass cls) {
    auto it = by_name_.find(LowerCase(cls->Name()));
    if (it == by_name_.end() || it->second != cls) return;
    by_name_.erase(it);
    std::erase(order_, cls);
  }

  TClass Find(std::string_view name) const {
    auto it = by_name_.find(LowerCase(name));
    return it == by_name_.end() ? nullptr : it->second;
  }

  const std::vector<TClass>& Order() const { return order_; }

 private:
  ClassRegistry() = default;

  std::map<std::string, TClass, std::less<>> by_name_;
  std::vector<TClass> order_;
};

ClassRegistry& Registry() {
  // The platform's own classes are registered the first time the registry is used. The flag is
  // set before, so that the registrations below find the registry ready.
  ClassRegistry& registry = ClassRegistry::Instance();
  static bool rtl_registered = false;
  if (!rtl_registered) {
    rtl_registered = true;
    detail::RegisterRtlClasses();
  }
  return registry;
}

}  // namespace

const char* PropKindName(TPropKind kind) {
  switch (kind) {
    case TPropKind::kInteger:
      return "Integer";
    case TPropKind::kBoolean:
      return "Boolean";
    case TPropKind::kEnumeration:
      return "Enumeration";
    case TPropKind::kSet:
      return "Set";
    case TPropKind::kString:
      return "String";
    case TPropKind::kFloat:
      return "Float";
    case TPropKind::kObject:
      return "Object";
    case TPropKind::kComponent:
      return "Component";
    case TPropKind::kCollection:
      return "Collection";
    case TPropKind::kStringList:
      return "StringList";
    case TPropKind::kEvent:
      return "Event";
  }
  return "?";
}

int TEnumInfo::OrdinalOf(std::string_view name) const {
  for (size_t i = 0; i < names.size(); ++i) {
    if (SameText(names[i], name)) return static_cast<int>(i);
  }
  return -1;
}

std::string TEnumInfo::NameOf(int64_t ordinal) const {
  if (ordinal < 0 || ordinal >= static_cast<int64_t>(names.size())) return std::string();
  return names[static_cast<size_t>(ordinal)];
}

bool TIdentMap::ToValue(std::string_view name, int64_t& value) const {
  for (const auto& [v, n] : entries) {
    if (SameText(n, name)) {
      value = v;
      return true;
    }
  }
  return false;
}

const std::string* TIdentMap::ToName(int64_t value) const {
  for (const auto& [v, n] : entries) {
    if (v == value) return &n;
  }
  return nullptr;
}

bool TPropInfo::IsReadOnly() const {
  switch (kind) {
    case TPropKind::kString:
      return !set_string;
    case TPropKind::kFloat:
      return !set_float;
    case TPropKind::kObject:
    case TPropKind::kComponent:
    case TPropKind::kCollection:
    case TPropKind::kStringList:
      return !set_object;
    case TPropKind::kEvent:
      return !set_method;
    default:
      return !set_ordinal;
  }
}

bool TPropInfo::IsStored(const TObject& instance) const { return !stored || stored(instance); }

bool TPropInfo::IsDefault(const TObject& instance) const {
  if (!has_default) return false;
  switch (kind) {
    case TPropKind::kInteger:
    case TPropKind::kBoolean:
    case TPropKind::kEnumeration:
    case TPropKind::kSet:
      return get_ordinal(instance) == default_ordinal;
    case TPropKind::kString:
      return get_string(instance) == default_string;
    case TPropKind::kFloat:
      return get_float(instance) == default_float;
    default:
      return false;
  }
}

TClassInfo::TClassInfo(std::string name, TClass parent) : name_(std::move(name)), parent_(parent) {}

bool TClassInfo::InheritsFrom(TClass cls) const {
  if (cls == nullptr) return false;
  for (TClass c = this; c != nullptr; c = c->parent_) {
    if (c == cls) return true;
  }
  return false;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TPropInfo*> out;
  if (parent_ != nullptr) out = parent_->Properties();
  for (const TPropInfo& p : properties_) {
    bool replaced = false;
    for (const TPropInfo*& q : out) {
      if (SameText(q->name, p.name)) {
        q = &p;
        replaced = true;
        break;
      }
    }
    if (!replaced) out.push_back(&p);
  }
  return out;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const TPropInfo& p : c->properties_) {
      if (SameText(p.name, name)) return &p;
    }
  }
  return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const {
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const TMethodInfo& m : c->methods_) {
      if (SameText(m.name, name)) return &m;
    }
  }
  return nullptr;
}

TComponent* TClassInfo::CreateComponent(TComponent* owner) const {
  if (component_factory_ == nullptr) {
    throw EComponentError("Class " + name_ + " cannot be created");
  }
  return component_factory_(owner);
}

TCollectionItem* TClassInfo::CreateItem(TCollection* collection) const {
  if (item_factory_ == nullptr) {
    throw Exception("Class " + name_ + " cannot be created in a collection");
  }
  return item_factory_(collection);
}

TClass TObject::StaticClass() {
  static const TClassInfo info("TObject", nullptr);
  return &info;
}

void RegisterClass(TClass cls) {
  if (cls != nullptr) Registry().Add(cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass cls) {
  if (cls != nullptr) Registry().Remove(cls);
}

TClass FindClass(std::string_view name) { return Registry().Find(name); }

TClass GetClass(std::string_view name) {
  TClass cls = FindClass(name);
  if (cls == nullptr) throw EClassNotFound(FormatMessage(SClassNotFound, {std::string(name)}));
  return cls;
}

std::vector<TClass> RegisteredClasses() { return Registry().Order(); }

namespace detail {

void ThrowPropKind(const TPropInfo& prop, const char* wanted) {
  throw EPropertyError("Property " + prop.name + " is of kind " + PropKindName(prop.kind) +
                       ", not " + wanted);
}

void ThrowSignatureMismatch(const std::string& event, const std::string& method) {
  throw EPropertyError("Method " + method + " does not match the signature of event " + event);
}

}  // namespace detail
}  // namespace kivo
