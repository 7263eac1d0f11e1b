// Form-file writing: turns a component tree into the syntax tree of a form file; and the classes
// that lenient reading creates for classes it does not know.
#include <algorithm>
#include <set>

#include "kivo/rtl/Collection.h"
#include "kivo/rtl/FormFile.h"
#include "kivo/rtl/StrUtils.h"
#include "kivo/rtl/Stream.h"
#include "kivo/rtl/Strings.h"

namespace kivo {

KIVO_DEFINE_CLASS(TUnknownComponent) {}
KIVO_DEFINE_CLASS(TUnknownControl) {}
KIVO_DEFINE_CLASS(TUnknownForm) {}
KIVO_DEFINE_CLASS(TUnknownDataModule) {}

namespace detail {

TFormExtra& FormExtraOf(TPersistent& object) {
  auto* extra = dynamic_cast<TFormExtra*>(object.FilerExtra());
  if (extra == nullptr) {
    auto created = std::make_unique<TFormExtra>();
    extra = created.get();
    object.SetFilerExtra(std::move(created));
  }
  return *extra;
}

const TFormExtra* FindFormExtra(const TPersistent& object) {
  return dynamic_cast<const TFormExtra*>(object.FilerExtra());
}

}  // namespace detail

// --- Unknown classes

void detail::TNestedComponents::Add(TComponent& holder, TComponent* child) {
  if (child == nullptr || Contains(child)) return;
  items_.push_back(child);
  holder.FreeNotification(child);
}

bool detail::TNestedComponents::Contains(const TComponent* child) const {
  return std::find(items_.begin(), items_.end(), child) != items_.end();
}

TUnknownComponent::TUnknownComponent(TComponent* owner) : TComponent(owner) {}

void TUnknownComponent::GetChildren(std::vector<TComponent*>& children) const {
  children.insert(children.end(), nested_.Items().begin(), nested_.Items().end());
}

void TUnknownComponent::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove) nested_.Remove(component);
}

TUnknownControl::TUnknownControl(TComponent* owner) : TCustomControl(owner) {}

void TUnknownControl::GetChildren(std::vector<TComponent*>& children) const {
  for (TComponent* c : nested_.Items()) {
    auto* control = As<TControl>(c);
    if (control == nullptr || control->Parent() == this) children.push_back(c);
  }
  for (int i = 0; i < ControlCount(); ++i) {
    if (!nested_.Contains(Controls(i))) children.push_back(Controls(i));
  }
}

void TUnknownControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove) nested_.Remove(component);
}

TUnknownForm::TUnknownForm(TComponent* owner) : TForm(owner) {}

TUnknownDataModule::TUnknownDataModule(TComponent* owner) : TDataModule(owner) {}

std::string FormClassName(const TComponent& component) {
  if (const auto* u = dynamic_cast<const TUnknownClass*>(&component)) {
    return u->OriginalClassName();
  }
  return component.ClassName();
}

// --- Writer

namespace {

// Collects what an object defines through DefineProperties, in definition order.
class DefinedWriter : public TFiler {
 public:
  DefinedWriter(TFormValue::Properties& out, const std::string& prefix)
      : out_(out), prefix_(prefix) {}

  void DefineBinaryProperty(const std::string& name, const TStreamProc& /*read_data*/,
                            const TStreamProc& write_data, bool has_data) override {
    if (!has_data) return;
    TMemoryStream stream;
    write_data(stream);
    TFormValue::Property p;
    p.name = prefix_ + name;
    p.value.kind = TFormValue::kBinary;
    p.value.text = std::string(stream.Bytes());
    out_.push_back(std::move(p));
  }
  void DefineStringsProperty(const std::string& name, const TReadStringsProc& /*read_values*/,
                             const TWriteStringsProc& write_values, bool has_data) override {
    if (!has_data) return;
    TFormValue::Property p;
    p.name = prefix_ + name;
    p.value.kind = TFormValue::kList;
    for (std::string& s : write_values()) {
      TFormValue item;
      item.kind = TFormValue::kString;
      item.text = std::move(s);
      p.value.items.push_back(std::move(item));
    }
    out_.push_back(std::move(p));
  }

 private:
  TFormValue::Properties& out_;
  const std::string& prefix_;
};

TFormValue Ident(std::string text) {
  TFormValue v;
  v.kind = TFormValue::kIdent;
  v.text = std::move(text);
  return v;
}

class Writer {
 public:
  explicit Writer(const TComponent& root) : root_(root) {
    // Components that another component writes nested inside itself.
    for (int i = 0; i < root.ComponentCount(); ++i) {
      std::vector<TComponent*> children;
      root.Components(i)->GetChildren(children);
      claimed_.insert(children.begin(), children.end());
    }
  }

  TFormObject WriteRoot() {
    TFormObject obj = Header(root_);
    written_.insert(&root_);
    WriteProperties(const_cast<TComponent&>(root_), "", obj.properties, 0);
    std::vector<TComponent*> own;
    root_.GetChildren(own);
    std::set<const TComponent*> own_set(own.begin(), own.end());
    for (int i = 0; i < root_.ComponentCount(); ++i) {
      TComponent* c = root_.Components(i);
      if (claimed_.count(c) == 0 && own_set.count(c) == 0) WriteChild(*c, obj, 1);
    }
    for (TComponent* c : own) WriteChild(*c, obj, 1);
    return obj;
  }

 private:
  TFormObject Header(const TComponent& c) {
    TFormObject obj;
    if (const auto* extra = detail::FindFormExtra(c); extra != nullptr && !extra->keyword.empty()) {
      obj.keyword = extra->keyword;
    }
    obj.name = c.Name();
    obj.class_name = FormClassName(c);
    return obj;
  }

  void WriteChild(TComponent& c, TFormObject& parent, int depth) {
    if (c.Owner() != &root_ || !written_.insert(&c).second || depth > kMaxFormDepth) return;
    TFormObject obj = Header(c);
    WriteProperties(c, "", obj.properties, 0);
    std::vector<TComponent*> children;
    c.GetChildren(children);
    for (TComponent* child : children) WriteChild(*child, obj, depth + 1);
    parent.children.push_back(std::move(obj));
  }

  // Writes the stored, non-default properties of `object`, then its defined properties, then
  // what the reader kept of it.
  void WriteProperties(TPersistent& object, const std::string& prefix, TFormValue::Properties& out,
                       int depth) {
    if (depth > kMaxFormDepth) return;
    const size_t first = out.size();
    for (const TPropInfo* prop : object.ClassType()->Properties()) {
      if (!prop->IsStored(object)) continue;
      const std::string name = prefix + prop->name;
      TFormValue v;
      switch (prop->kind) {
        case TPropKind::kInteger: {
          if (prop->IsDefault(object)) continue;
          int64_t value = prop->get_ordinal(object);
          const std::string* ident =
              prop->ident_map != nullptr ? prop->ident_map->ToName(value) : nullptr;
          if (ident != nullptr) {
            v = Ident(*ident);
          } else {
            v.kind = TFormValue::kInteger;
            v.integer = value;
          }
          break;
        }
        case TPropKind::kBoolean:
          if (prop->IsDefault(object)) continue;
          v = Ident(prop->get_ordinal(object) != 0 ? "True" : "False");
          break;
        case TPropKind::kEnumeration:
          if (prop->IsDefault(object)) continue;
          v = Ident(prop->enum_info->NameOf(prop->get_ordinal(object)));
          if (v.text.empty()) {
            v.kind = TFormValue::kInteger;
            v.integer = prop->get_ordinal(object);
          }
          break;
        case TPropKind::kSet: {
          if (prop->IsDefault(object)) continue;
          v.kind = TFormValue::kSet;
          auto bits = static_cast<uint64_t>(prop->get_ordinal(object));
          for (int i = 0; i < 64; ++i) {
            if ((bits >> i & 1) != 0) v.items.push_back(Ident(prop->enum_info->NameOf(i)));
          }
          break;
        }
        case TPropKind::kString:
          if (prop->IsDefault(object)) continue;
          v.kind = TFormValue::kString;
          v.text = prop->get_string(object);
          break;
        case TPropKind::kFloat:
          if (prop->IsDefault(object)) continue;
          v.kind = TFormValue::kFloat;
          v.number = prop->get_float(object);
          break;
        case TPropKind::kObject: {
          if (auto* sub = As<TPersistent>(prop->get_object(object))) {
            WriteProperties(*sub, name + ".", out, depth + 1);
          }
          continue;
        }
        case TPropKind::kComponent: {
          auto* ref = As<TComponent>(prop->get_object(object));
          if (ref == nullptr) continue;
          std::string ref_name = Reference(*ref);
          if (ref_name.empty()) continue;
          v = Ident(ref_name);
          break;
        }
        case TPropKind::kCollection: {
          auto* coll = As<TCollection>(prop->get_object(object));
          if (coll == nullptr || coll->Count() == 0) continue;
          v.kind = TFormValue::kCollection;
          for (int i = 0; i < coll->Count(); ++i) {
            TFormValue::Properties item;
            WriteProperties(*coll->Items(i), "", item, depth + 1);
            v.collection.push_back(std::move(item));
          }
          break;
        }
        case TPropKind::kStringList: {
          auto* strings = As<TStrings>(prop->get_object(object));
          if (strings != nullptr) WriteProperties(*strings, name + ".", out, depth + 1);
          if (strings == nullptr || strings->Count() == 0) continue;
          v.kind = TFormValue::kList;
          for (int i = 0; i < strings->Count(); ++i) {
            TFormValue item;
            item.kind = TFormValue::kString;
            item.text = strings->Strings(i);
            v.items.push_back(std::move(item));
          }
          TFormValue::Property p;
          p.name = name + ".Strings";
          p.value = std::move(v);
          out.push_back(std::move(p));
          continue;
        }
        case TPropKind::kEvent: {
          std::string method = prop->get_method(object);
          if (method.empty()) continue;
          v = Ident(std::move(method));
          break;
        }
      }
      TFormValue::Property p;
      p.name = name;
      p.value = std::move(v);
      out.push_back(std::move(p));
    }
    DefinedWriter defined(out, prefix);
    object.DefineProperties(defined);
    if (const auto* extra = detail::FindFormExtra(object)) {
      // A kept value of a known property (one that did not fit it) is written in its place, so
      // that the property appears once and the file's value survives.
      auto kept_name = [&](const TFormValue::Property& p) {
        for (const auto& kept : extra->properties) {
          if (SameText(p.name, prefix + kept.name)) return true;
        }
        return false;
      };
      out.erase(
          std::remove_if(out.begin() + static_cast<std::ptrdiff_t>(first), out.end(), kept_name),
          out.end());
      for (const auto& kept : extra->properties) {
        TFormValue::Property p = kept;
        p.name = prefix + kept.name;
        out.push_back(std::move(p));
      }
    }
  }

  // The name under which `ref` is written: its name in this form, or Form.Name for a component
  // of another named form; empty when it has no name to write.
  std::string Reference(const TComponent& ref) const {
    if (&ref == &root_) return root_.Name();
    if (ref.Name().empty()) return std::string();
    if (ref.Owner() == &root_) return ref.Name();
    if (ref.Owner() != nullptr && !ref.Owner()->Name().empty()) {
      return ref.Owner()->Name() + "." + ref.Name();
    }
    return std::string();
  }

  const TComponent& root_;
  std::set<const TComponent*> claimed_;
  std::set<const TComponent*> written_;
};

}  // namespace

TFormObject WriteFormObject(const TComponent& root) { return Writer(root).WriteRoot(); }

std::string WriteForm(const TComponent& root) { return FormObjectToText(WriteFormObject(root)); }

}  // namespace kivo
