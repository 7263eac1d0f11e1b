// Form-file reading: builds components from the syntax tree of a form file.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "kivo/rtl/Collection.h"
#include "kivo/rtl/FormFile.h"
#include "kivo/rtl/OnFailure.h"
#include "kivo/rtl/StrUtils.h"
#include "kivo/rtl/Stream.h"
#include "kivo/rtl/Strings.h"

namespace kivo {

namespace {

// Collects what an object defines through DefineProperties, for one property name.
class DefinedFinder : public TFiler {
 public:
  explicit DefinedFinder(std::string_view name) : name_(name) {}

  void DefineBinaryProperty(const std::string& name, const TStreamProc& read_data,
                            const TStreamProc& /*write_data*/, bool /*has_data*/) override {
    if (!found_binary && !found_strings && SameText(name, name_)) {
      found_binary = true;
      read_binary = read_data;
    }
  }
  void DefineStringsProperty(const std::string& name, const TReadStringsProc& read_values,
                             const TWriteStringsProc& /*write_values*/,
                             bool /*has_data*/) override {
    if (!found_binary && !found_strings && SameText(name, name_)) {
      found_strings = true;
      read_strings = read_values;
    }
  }

  bool found_binary = false;
  bool found_strings = false;
  TStreamProc read_binary;
  TReadStringsProc read_strings;

 private:
  std::string_view name_;
};

std::string Describe(const TComponent* c) {
  if (c == nullptr) return "?";
  std::string name = c->Name().empty() ? "<unnamed>" : c->Name();
  return name + " (" + FormClassName(*c) + ")";
}

bool HasAnyProperty(const TFormObject& obj, std::initializer_list<const char*> names) {
  for (const auto& p : obj.properties) {
    for (const char* n : names) {
      if (SameText(p.name, n)) return true;
    }
  }
  return false;
}

bool ClassMatches(const TComponent& root, const std::string& class_name) {
  if (SameText(FormClassName(root), class_name)) return true;
  for (TClass c = root.ClassType(); c != nullptr; c = c->Parent()) {
    if (SameText(c->Name(), class_name)) return true;
  }
  return false;
}

class Loader {
 public:
  Loader(TComponent& root, const TFormReadOptions& options) : root_(root), options_(options) {}

  // Reads `obj` into the root; on failure destroys every component created here.
  void Run(const TFormObject& obj, bool created_root) {
    OnFailure undo([&] {
      // Components created by this read go; a created root takes them with it.
      if (created_root) return;
      for (auto it = created_.rbegin(); it != created_.rend(); ++it) delete *it;
      // Components that stay (the root, inherited ones) leave the loading state without
      // running what their own Loaded would do.
      for (TComponent* c : loaded_) {
        if (std::find(created_.begin(), created_.end(), c) == created_.end()) {
          c->TComponent::Loaded();
        }
      }
    });
    ReadRoot(obj);
    ResolveFixups();
    for (TComponent* c : loaded_) {
      try {
        c->Loaded();
      } catch (const EFormFileError&) {
        throw;
      } catch (const Exception& e) {
        throw EFormFileError(e.Message() + " (loading " + Describe(c) + " from " +
                             options_.file_name + ")");
      }
    }
  }

 private:
  struct Fixup {
    TPersistent* target;
    const TPropInfo* prop;
    TComponent* component;  // for messages
    std::string path;       // from the component, for messages
    std::string rel_path;   // from the target, for keeping the value
    std::string value;
    int line;
  };

  [[noreturn]] void Fail(const std::string& what, int line) const {
    throw EFormFileError(what + " at " + options_.file_name + ":" + std::to_string(line));
  }
  [[noreturn]] void FailIn(const std::string& message, const std::string& path, TComponent* c,
                           int line) const {
    throw EFormFileError(message + " (" + path + " of " + Describe(c) + " at " +
                         options_.file_name + ":" + std::to_string(line) + ")");
  }

  void ReadRoot(const TFormObject& obj) {
    if (options_.designing) root_.SetDesigning(true);
    if (!obj.name.empty() && obj.name != root_.Name()) {
      try {
        root_.SetName(obj.name);
      } catch (const Exception& e) {
        Fail(e.Message(), obj.line);
      }
    }
    root_.BeginLoading();
    loaded_.push_back(&root_);
    SetKeyword(root_, obj.keyword);
    ReadBody(obj, root_, 0);
  }

  void SetKeyword(TComponent& c, const std::string& keyword) {
    if (keyword == "object") return;
    detail::FormExtraOf(c).keyword = keyword;
  }

  void ReadBody(const TFormObject& obj, TComponent& comp, int depth) {
    ApplyProperties(obj.properties, comp, comp, "");
    for (const TFormObject& child : obj.children) ReadChild(child, comp, depth + 1);
  }

  void ReadChild(const TFormObject& obj, TComponent& parent, int depth) {
    if (depth > kMaxFormDepth) Fail("Objects nested too deeply", obj.line);
    // An inherited block describes a component the root already has (from its ancestor form).
    if (obj.keyword == "inherited" && !obj.name.empty()) {
      if (TComponent* existing = root_.FindComponent(obj.name)) {
        if (!ClassMatches(*existing, obj.class_name)) {
          Fail("Inherited component " + Describe(existing) + " is not a " + obj.class_name,
               obj.line);
        }
        existing->BeginLoading();
        loaded_.push_back(existing);
        SetKeyword(*existing, obj.keyword);
        ReadBody(obj, *existing, depth);
        return;
      }
    }
    TClass cls = FindClass(obj.class_name);
    TComponent* child = nullptr;
    if (cls != nullptr && cls->InheritsFrom(TComponent::StaticClass())) {
      if (!cls->CanCreateComponent()) {
        Fail("Class " + obj.class_name + " cannot be created, for " + obj.name, obj.line);
      }
      child = cls->CreateComponent(&root_);
      created_.push_back(child);
    } else if (cls != nullptr || options_.strict) {
      Fail((cls != nullptr ? "Class " + obj.class_name + " is not a component class"
                           : "Class " + obj.class_name + " not found") +
               (obj.name.empty() ? std::string() : ", for " + obj.name),
           obj.line);
    } else {
      bool windowed =
          !obj.children.empty() || HasAnyProperty(obj, {"Left", "Top", "Width", "Height"});
      auto keep = [&](auto* unknown) -> TComponent* {
        created_.push_back(unknown);
        unknown->SetOriginalClassName(obj.class_name);
        return unknown;
      };
      child = windowed ? keep(new TUnknownControl(&root_)) : keep(new TUnknownComponent(&root_));
    }
    if (options_.designing) child->SetDesigning(true);
    if (!obj.name.empty()) {
      try {
        child->SetName(obj.name);
      } catch (const Exception& e) {
        Fail(e.Message(), obj.line);
      }
    }
    child->BeginLoading();
    loaded_.push_back(child);
    SetKeyword(*child, obj.keyword);
    try {
      child->SetParentComponent(&parent);
    } catch (const Exception& e) {
      Fail(e.Message() + " (placing " + Describe(child) + " in " + Describe(&parent) + ")",
           obj.line);
    }
    if (auto* u = dynamic_cast<TUnknownClass*>(&parent)) u->AddNested(child);
    ReadBody(obj, *child, depth);
  }

  // Applies one property list to `target` (a component, a sub-object or a collection item).
  void ApplyProperties(const TFormValue::Properties& props, TPersistent& target, TComponent& comp,
                       const std::string& prefix) {
    std::set<std::string> seen;
    for (const auto& p : props) {
      std::string key = p.name;
      for (char& ch : key) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      if (!seen.insert(key).second) {
        Fail("Duplicate property '" + prefix + p.name + "' of " + Describe(&comp), p.line);
      }
      Apply(target, comp, prefix, p.name, p.value, p.line, 0);
    }
  }

  // Keeps a property this reader cannot apply (lenient mode), or refuses it (strict mode).
  void Keep(TPersistent& target, TComponent& comp, const std::string& rel_path,
            const TFormValue& value, int line, const std::string& strict_message) {
    if (options_.strict) Fail(strict_message + " of " + Describe(&comp), line);
    TFormValue::Property p;
    p.name = rel_path;
    p.value = value;
    p.line = line;
    detail::FormExtraOf(target).properties.push_back(std::move(p));
  }

  void Apply(TPersistent& target, TComponent& comp, const std::string& prefix,
             const std::string& path, const TFormValue& value, int line, int depth) {
    if (depth > kMaxFormDepth) Fail("Property path too deep", line);
    const std::string full = prefix + path;
    const size_t dot = path.find('.');
    const std::string head = path.substr(0, dot);
    const std::string rest = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    const TPropInfo* prop = target.ClassType()->FindProperty(head);
    if (prop == nullptr || (prop->owner == TComponent::StaticClass() && prop->name == "Name")) {
      if (rest.empty() && ApplyDefined(target, comp, full, head, value, line)) return;
      Keep(target, comp, path, value, line, "Unknown property '" + full + "'");
      return;
    }
    if (!rest.empty()) {
      if (prop->kind == TPropKind::kStringList && SameText(rest, "Strings")) {
        ApplyStrings(target, comp, *prop, full, path, value, line);
        return;
      }
      if (prop->kind == TPropKind::kObject || prop->kind == TPropKind::kStringList ||
          prop->kind == TPropKind::kCollection) {
        auto* sub = As<TPersistent>(prop->get_object(target));
        if (sub != nullptr) {
          Apply(*sub, comp, prefix + head + ".", rest, value, line, depth + 1);
          return;
        }
      }
      Keep(target, comp, path, value, line, "Unknown property '" + full + "'");
      return;
    }
    try {
      ApplyValue(target, comp, *prop, prefix, path, value, line);
    } catch (const EFormFileError&) {
      throw;
    } catch (const Exception& e) {
      FailIn(e.Message(), full, &comp, line);
    }
  }

  bool ApplyDefined(TPersistent& target, TComponent& comp, const std::string& full,
                    const std::string& name, const TFormValue& value, int line) {
    DefinedFinder finder(name);
    target.DefineProperties(finder);
    if (!finder.found_binary && !finder.found_strings) return false;
    try {
      if (finder.found_binary) {
        if (value.kind != TFormValue::kBinary) {
          Keep(target, comp, name, value, line, "Binary data expected for '" + full + "'");
          return true;
        }
        TMemoryStream stream;
        stream.WriteString(value.text);
        stream.SetPosition(0);
        finder.read_binary(stream);
      } else {
        std::vector<std::string> values;
        if (value.kind != TFormValue::kList) {
          Keep(target, comp, name, value, line, "String list expected for '" + full + "'");
          return true;
        }
        for (const TFormValue& item : value.items) {
          if (item.kind != TFormValue::kString) {
            Keep(target, comp, name, value, line, "Strings expected in '" + full + "'");
            return true;
          }
          values.push_back(item.text);
        }
        finder.read_strings(values);
      }
    } catch (const EFormFileError&) {
      throw;
    } catch (const Exception& e) {
      FailIn(e.Message(), full, &comp, line);
    }
    return true;
  }

  void ApplyStrings(TPersistent& target, TComponent& comp, const TPropInfo& prop,
                    const std::string& full, const std::string& path, const TFormValue& value,
                    int line) {
    if (value.kind != TFormValue::kList) {
      Keep(target, comp, path, value, line, "String list expected for '" + full + "'");
      return;
    }
    TStringList list;
    for (const TFormValue& item : value.items) {
      if (item.kind != TFormValue::kString) {
        Keep(target, comp, path, value, line, "Strings expected in '" + full + "'");
        return;
      }
      list.Add(item.text);
    }
    try {
      if (prop.set_object) {
        prop.set_object(target, &list);
      } else if (auto* strings = As<TStrings>(prop.get_object(target))) {
        strings->Assign(&list);
      }
    } catch (const Exception& e) {
      FailIn(e.Message(), full, &comp, line);
    }
  }

  void Mismatch(TPersistent& target, TComponent& comp, const std::string& full,
                const std::string& path, const TFormValue& value, int line) {
    Keep(target, comp, path, value, line, "Invalid value for property '" + full + "'");
  }

  void ApplyValue(TPersistent& target, TComponent& comp, const TPropInfo& prop,
                  const std::string& prefix, const std::string& path, const TFormValue& value,
                  int line) {
    const std::string full = prefix + path;
    const bool read_only = prop.IsReadOnly();
    switch (prop.kind) {
      case TPropKind::kInteger: {
        int64_t v = 0;
        if (value.kind == TFormValue::kInteger) {
          v = value.integer;
        } else if (value.kind != TFormValue::kIdent || prop.ident_map == nullptr ||
                   !prop.ident_map->ToValue(value.text, v)) {
          return Mismatch(target, comp, full, path, value, line);
        }
        if (v < INT32_MIN || v > UINT32_MAX) {
          if (options_.strict) Fail("Integer value out of range for '" + full + "'", line);
          return Mismatch(target, comp, full, path, value, line);
        }
        if (v > INT32_MAX) v = static_cast<int32_t>(static_cast<uint32_t>(v));
        if (read_only) break;
        prop.set_ordinal(target, v);
        return;
      }
      case TPropKind::kBoolean: {
        if (value.kind != TFormValue::kIdent ||
            !(SameText(value.text, "True") || SameText(value.text, "False"))) {
          return Mismatch(target, comp, full, path, value, line);
        }
        if (read_only) break;
        prop.set_ordinal(target, SameText(value.text, "True") ? 1 : 0);
        return;
      }
      case TPropKind::kEnumeration: {
        int ordinal = value.kind == TFormValue::kIdent && prop.enum_info != nullptr
                          ? prop.enum_info->OrdinalOf(value.text)
                          : -1;
        if (ordinal < 0) return Mismatch(target, comp, full, path, value, line);
        if (read_only) break;
        prop.set_ordinal(target, ordinal);
        return;
      }
      case TPropKind::kSet: {
        if (value.kind != TFormValue::kSet || prop.enum_info == nullptr) {
          return Mismatch(target, comp, full, path, value, line);
        }
        int64_t bits = 0;
        for (const TFormValue& item : value.items) {
          int ordinal = item.kind == TFormValue::kIdent ? prop.enum_info->OrdinalOf(item.text) : -1;
          if (ordinal < 0 || ordinal >= 63) return Mismatch(target, comp, full, path, value, line);
          bits |= int64_t{1} << ordinal;
        }
        if (read_only) break;
        prop.set_ordinal(target, bits);
        return;
      }
      case TPropKind::kString:
        if (value.kind != TFormValue::kString) {
          return Mismatch(target, comp, full, path, value, line);
        }
        if (read_only) break;
        prop.set_string(target, value.text);
        return;
      case TPropKind::kFloat:
        if (value.kind == TFormValue::kFloat) {
          if (read_only) break;
          prop.set_float(target, value.number);
        } else if (value.kind == TFormValue::kInteger) {
          if (read_only) break;
          prop.set_float(target, static_cast<double>(value.integer));
        } else {
          return Mismatch(target, comp, full, path, value, line);
        }
        return;
      case TPropKind::kComponent:
        if (value.kind != TFormValue::kIdent) {
          return Mismatch(target, comp, full, path, value, line);
        }
        if (read_only) break;
        if (SameText(value.text, "nil")) {
          prop.set_object(target, nullptr);
        } else {
          fixups_.push_back(Fixup{&target, &prop, &comp, full, path, value.text, line});
        }
        return;
      case TPropKind::kEvent: {
        if (value.kind != TFormValue::kIdent) {
          return Mismatch(target, comp, full, path, value, line);
        }
        if (SameText(value.text, "nil")) {
          prop.set_method(target, nullptr, nullptr);
          return;
        }
        const TMethodInfo* method = root_.ClassType()->FindMethod(value.text);
        if (method == nullptr) {
          if (options_.strict && dynamic_cast<TUnknownClass*>(&root_) == nullptr) {
            Fail("Method '" + value.text + "' not found in " + root_.ClassName() + ", for '" +
                     full + "' of " + Describe(&comp),
                 line);
          }
          TFormValue::Property p;
          p.name = path;
          p.value = value;
          p.line = line;
          detail::FormExtraOf(target).properties.push_back(std::move(p));
          return;
        }
        prop.set_method(target, &root_, method);
        return;
      }
      case TPropKind::kCollection: {
        auto* coll = As<TCollection>(prop.get_object(target));
        if (value.kind != TFormValue::kCollection || coll == nullptr) {
          return Mismatch(target, comp, full, path, value, line);
        }
        coll->Clear();
        for (const TFormValue::Properties& item_props : value.collection) {
          TCollectionItem* item = coll->Add();
          ApplyProperties(item_props, *item, comp,
                          full + "[" + std::to_string(item->Index()) + "].");
        }
        return;
      }
      case TPropKind::kStringList:
        ApplyStrings(target, comp, prop, full, path, value, line);
        return;
      case TPropKind::kObject:
        return Mismatch(target, comp, full, path, value, line);
    }
    Fail("Property '" + full + "' of " + Describe(&comp) + " is read-only", line);
  }

  TComponent* FindInForm(TComponent& form, std::string_view name) const {
    if (SameText(form.Name(), name)) return &form;
    return form.FindComponent(name);
  }

  void ResolveFixups() {
    for (const Fixup& f : fixups_) {
      TComponent* found = nullptr;
      bool other_form = false;
      const size_t dot = f.value.find('.');
      if (dot == std::string::npos) {
        found = FindInForm(root_, f.value);
      } else {
        std::string form_name = f.value.substr(0, dot);
        std::string comp_name = f.value.substr(dot + 1);
        if (SameText(form_name, root_.Name())) {
          found = root_.FindComponent(comp_name);
        } else {
          other_form = true;
          for (int k = 0; k < Screen().FormCount() && found == nullptr; ++k) {
            TCustomForm* form = Screen().Forms(k);
            if (SameText(form->Name(), form_name)) found = form->FindComponent(comp_name);
          }
        }
      }
      if (found == nullptr) {
        if (other_form && !options_.strict) {
          TFormValue v;
          v.kind = TFormValue::kIdent;
          v.text = f.value;
          TFormValue::Property p;
          p.name = f.rel_path;
          p.value = std::move(v);
          p.line = f.line;
          detail::FormExtraOf(*f.target).properties.push_back(std::move(p));
          continue;
        }
        Fail("Unresolved reference '" + f.value + "' in '" + f.path + "' of " +
                 Describe(f.component),
             f.line);
      }
      if (!found->InheritsFrom(f.prop->value_class())) {
        Fail("Component " + Describe(found) + " does not fit '" + f.path + "' of " +
                 Describe(f.component),
             f.line);
      }
      try {
        f.prop->set_object(*f.target, found);
      } catch (const Exception& e) {
        FailIn(e.Message(), f.path, f.component, f.line);
      }
    }
  }

  TComponent& root_;
  const TFormReadOptions& options_;
  std::vector<TComponent*> created_;  // owned by the root; in creation order
  std::vector<TComponent*> loaded_;   // the root, then created_
  std::vector<Fixup> fixups_;
};

}  // namespace

std::unique_ptr<TComponent> ReadForm(std::string_view text, const TFormReadOptions& options) {
  TFormObject obj = ParseFormText(text, options.file_name);
  TClass cls = FindClass(obj.class_name);
  std::unique_ptr<TComponent> root;
  if (cls != nullptr && cls->InheritsFrom(TComponent::StaticClass())) {
    if (!cls->CanCreateComponent()) {
      throw EFormFileError("Class " + obj.class_name + " cannot be created at " +
                           options.file_name + ":" + std::to_string(obj.line));
    }
    root.reset(cls->CreateComponent(nullptr));
  } else if (cls != nullptr) {
    throw EFormFileError("Class " + obj.class_name + " is not a component class at " +
                         options.file_name + ":" + std::to_string(obj.line));
  } else if (HasAnyProperty(obj,
                            {"Left", "Top", "Width", "Height", "ClientWidth", "ClientHeight"})) {
    auto form = std::make_unique<TUnknownForm>(nullptr);
    form->SetOriginalClassName(obj.class_name);
    root = std::move(form);
  } else {
    auto module = std::make_unique<TUnknownDataModule>(nullptr);
    module->SetOriginalClassName(obj.class_name);
    root = std::move(module);
  }
  Loader(*root, options).Run(obj, true);
  return root;
}

void ReadFormInto(TComponent& root, std::string_view text, const TFormReadOptions& options) {
  TFormObject obj = ParseFormText(text, options.file_name);
  if (!ClassMatches(root, obj.class_name)) {
    throw EFormFileError("The form's class " + obj.class_name + " does not match " +
                         FormClassName(root) + " at " + options.file_name + ":" +
                         std::to_string(obj.line));
  }
  Loader(root, options).Run(obj, false);
}

std::unique_ptr<TComponent> ReadFormFile(const std::string& path, TFormReadOptions options) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  const std::string text = file.ReadString(file.Size());
  options.file_name = path;
  return ReadForm(text, options);
}

}  // namespace kivo
