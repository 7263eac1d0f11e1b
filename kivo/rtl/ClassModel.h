// The class model: class metadata, published properties, methods by name, the class registry.
//
// Every class of the platform and of the system derives from `TObject` and carries a
// `TClassInfo`: its name ("TCustomListView"), its parent class, a factory where instances can be
// created by name, its published (persistent) properties in declaration order and the methods it
// publishes for event binding. Class checks use the metadata, not compiler RTTI, so they give the
// same answer in every library that links the platform.
//
// A class declares itself with two lines:
//
//   // MainForm.h
//   class TMainForm : public kivo::TForm {
//     KIVO_CLASS(TMainForm, kivo::TForm)
//    public:
//     explicit TMainForm(kivo::TComponent* owner);
//     void Button1Click(kivo::TObject* sender);
//   };
//
//   // MainForm.cpp
//   KIVO_DEFINE_CLASS(TMainForm) {
//     b.Method("Button1Click", &TMainForm::Button1Click);
//   }
//
// `KIVO_DEFINE_CLASS` also registers the class, so `FindClass("tmainform")` finds it. Its body
// describes the class through the builder `b` (`TClassBuilder<TMainForm>`): properties in
// declaration order, with their getters, setters, defaults and stored-ness, and methods.
//
// A class whose constructor takes an owner (`TComponent*`) gets a component factory, a class
// whose constructor takes a `TCollection*` a collection-item factory; abstract classes get none.
//
// Metadata is built on first use, from a function-local static, so it never depends on the order
// in which static initialisers of different source files run.
// Threads: the class registry is meant for the user-interface thread; metadata, once built, is
// immutable.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

#include "kivo/rtl/Set.h"

namespace kivo {

class TObject;
class TClassInfo;
class TComponent;
class TCollection;
class TCollectionItem;

// A class reference: the metadata of a class. Null stands for "no class".
using TClass = const TClassInfo*;

// What a published property holds.
enum class TPropKind {
  kInteger,      // a 32-bit integer
  kBoolean,      // false or true (ordinal 0 or 1)
  kEnumeration,  // one value of an enumeration, by ordinal
  kSet,          // a set of enumeration values, as a bit mask of ordinals
  kString,       // a byte string
  kFloat,        // a double
  kObject,       // a sub-object the owner creates and frees (a font, an options object)
  kComponent,    // a reference to another component, not owned
  kCollection,   // an owned collection of items
  kStringList,   // an owned string list
  kEvent,        // a callback, bound to a published method by name
};

// The name of a property kind ("Integer", "Event", …), for messages and design-time lists.
const char* PropKindName(TPropKind kind);

// The value names of an enumeration, by ordinal ("alNone", "alTop", …).
struct TEnumInfo {
  std::string type_name;           // "TAlign"
  std::vector<std::string> names;  // names[ordinal]

  // The ordinal of `name` (compared without regard to ASCII letter case), or -1.
  int OrdinalOf(std::string_view name) const;
  // The name of `ordinal`, or an empty string outside the range.
  std::string NameOf(int64_t ordinal) const;
};

// Names for some values of an integer property (colours, character sets): a form file shows a
// value that has a name by its name ("clWindowText") and accepts the name in place of the value.
struct TIdentMap {
  std::vector<std::pair<int64_t, std::string>> entries;

  // The value named `name` (ASCII letter case ignored); false when there is none.
  bool ToValue(std::string_view name, int64_t& value) const;
  // The name of `value`, or null when it has none.
  const std::string* ToName(int64_t value) const;
};

// A method that a class publishes so that events can be bound to it by name.
struct TMethodInfo {
  std::string name;
  std::type_index signature{typeid(void)};  // the function type, void(TObject*) say
  // Returns a std::function of `signature` that calls the method on `instance`.
  // REQUIRES: `instance` is of the class that published the method.
  std::function<std::any(TObject* instance)> bind;
};

// One published property. Only the accessors of the property's kind are set.
struct TPropInfo {
  std::string name;
  TPropKind kind = TPropKind::kInteger;
  TClass owner = nullptr;                         // the class that declares the property
  const TEnumInfo* enum_info = nullptr;           // kEnumeration, kSet: the value names
  const TIdentMap* ident_map = nullptr;           // kInteger: names of some values, or null
  TClass (*value_class)() = nullptr;              // kObject, kComponent, kCollection, kStringList
  std::type_index event_signature{typeid(void)};  // kEvent: the callback's function type

  // kInteger, kBoolean (0/1), kEnumeration (ordinal), kSet (bit mask).
  std::function<int64_t(const TObject&)> get_ordinal;
  std::function<void(TObject&, int64_t)> set_ordinal;
  // kString.
  std::function<std::string(const TObject&)> get_string;
  std::function<void(TObject&, const std::string&)> set_string;
  // kFloat.
  std::function<double(const TObject&)> get_float;
  std::function<void(TObject&, double)> set_float;
  // kObject, kCollection, kStringList: the owned sub-object (never null). kComponent: the
  // referenced component, or null.
  std::function<TObject*(const TObject&)> get_object;
  // kComponent: sets the reference. Others: copies the given object into the owned one.
  // Empty for a read-only property.
  std::function<void(TObject&, TObject*)> set_object;
  // kEvent: the name of the bound method, or empty when none is bound by name.
  std::function<std::string(const TObject&)> get_method;
  // kEvent: binds the callback to `method` of `instance`; a null method clears it.
  std::function<void(TObject&, TObject* instance, const TMethodInfo* method)> set_method;

  // Streaming: a property is written when it is stored and its value is not its default.
  // Ordinal properties without a declared default are always written; strings default to "" and
  // floats to 0 unless declared "no default".
  bool has_default = false;
  int64_t default_ordinal = 0;
  std::string default_string;
  double default_float = 0;
  std::function<bool(const TObject&)> stored;  // empty: always stored

  bool IsReadOnly() const;
  bool IsStored(const TObject& instance) const;
  // True when the value of a scalar property (ordinal, string, float) equals its default.
  // Object-valued and event properties have no default: false.
  bool IsDefault(const TObject& instance) const;
};

// The metadata of one class.
class TClassInfo {
 public:
  using ComponentFactory = TComponent* (*)(TComponent* owner);
  using ItemFactory = TCollectionItem* (*)(TCollection* collection);

  TClassInfo(std::string name, TClass parent);
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;

  const std::string& Name() const { return name_; }
  TClass Parent() const { return parent_; }
  // True when this class is `cls` or descends from it; false for null.
  bool InheritsFrom(TClass cls) const;

  // The properties this class declares itself, in declaration order.
  const std::vector<TPropInfo>& OwnProperties() const { return properties_; }
  // Every published property: the ancestors' first, each in declaration order. A property that
  // a class declares again (to change its default, say) keeps its ancestor's position.
  std::vector<const TPropInfo*> Properties() const;
  // The property named `name` (ASCII letter case ignored), or null.
  const TPropInfo* FindProperty(std::string_view name) const;
  // The published method named `name` of this class or an ancestor (case ignored), or null.
  const TMethodInfo* FindMethod(std::string_view name) const;
  const std::vector<TMethodInfo>& OwnMethods() const { return methods_; }

  bool CanCreateComponent() const { return component_factory_ != nullptr; }
  bool CanCreateItem() const { return item_factory_ != nullptr; }
  // Creates an instance owned by `owner` (which may be null).
  // Throws: EComponentError "Class TX cannot be created" for a class without component factory.
  // Ownership: the owner owns the new component; without owner, the caller does.
  TComponent* CreateComponent(TComponent* owner) const;
  // Creates an item for `collection`; the caller adds it (TCollection does this).
  // Throws: Exception "Class TX cannot be created in a collection" without item factory.
  TCollectionItem* CreateItem(TCollection* collection) const;

 private:
  template <class C>
  friend class TClassBuilder;

  std::string name_;
  TClass parent_;
  std::vector<TPropInfo> properties_;
  std::vector<TMethodInfo> methods_;
  ComponentFactory component_factory_ = nullptr;
  ItemFactory item_factory_ = nullptr;
};

// Root of every class of the platform and the system.
class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  static TClass StaticClass();
  // The object's exact class.
  virtual TClass ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType()->Name(); }
  // True when the object's class is `cls` or descends from it.
  bool InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }
};

// True when `object` is not null and of class T or a descendant.
template <class T>
bool Is(const TObject* object) {
  return object != nullptr && object->InheritsFrom(T::StaticClass());
}

// `object` as a T when `Is<T>(object)`, else null.
template <class T>
T* As(TObject* object) {
  return Is<T>(object) ? static_cast<T*>(object) : nullptr;
}
template <class T>
const T* As(const TObject* object) {
  return Is<T>(object) ? static_cast<const T*>(object) : nullptr;
}

// An event: a callback that a form file can bind to a published method by name.
//
//   TEvent<void(TObject*)> OnClick;
//   OnClick = [](TObject* sender) { … };   // bound in code; MethodName() is empty
//   if (OnClick) OnClick(this);
template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
 public:
  using Function = std::function<R(A...)>;

  TEvent() = default;
  TEvent(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  template <class F, class = std::enable_if_t<std::is_constructible_v<Function, F> &&
                                              !std::is_same_v<std::decay_t<F>, TEvent>>>
  TEvent(F f) : fn_(std::move(f)) {}  // NOLINT(google-explicit-constructor)

  explicit operator bool() const { return static_cast<bool>(fn_); }
  R operator()(A... args) const { return fn_(std::forward<A>(args)...); }

  // Binds the event to a method known by `method_name` (the form-file reader does this).
  void Bind(std::string method_name, Function fn) {
    fn_ = std::move(fn);
    method_name_ = fn_ ? std::move(method_name) : std::string();
  }
  // The name of the bound method, empty when the event is unbound or bound in code.
  const std::string& MethodName() const { return method_name_; }
  const Function& Fn() const { return fn_; }

 private:
  Function fn_;
  std::string method_name_;
};

using TNotifyEvent = TEvent<void(TObject* sender)>;

// Registers `cls` for finding by name. Registering a class again does nothing.
// Throws: Exception "A class named TX already exists" when another class has the same name.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
// Removes `cls` from the registry; does nothing when it is not registered.
void UnRegisterClass(TClass cls);
// The registered class named `name` (ASCII letter case ignored), or null.
TClass FindClass(std::string_view name);
// Like FindClass. Throws: EClassNotFound "Class TX not found" when there is none.
TClass GetClass(std::string_view name);
// Every registered class, in registration order.
std::vector<TClass> RegisteredClasses();

namespace detail {

// Raises EPropertyError for a property used against its kind.
[[noreturn]] void ThrowPropKind(const TPropInfo& prop, const char* wanted);
// Raises EPropertyError for a method whose signature does not fit an event.
[[noreturn]] void ThrowSignatureMismatch(const std::string& event, const std::string& method);

// Registers the platform layer's own classes; the class registry calls it when it is created.
void RegisterRtlClasses();

template <class T>
struct MemberFunctionTraits;
template <class C, class R, class... A>
struct MemberFunctionTraits<R (C::*)(A...)> {
  using Signature = R(A...);
};
template <class C, class R, class... A>
struct MemberFunctionTraits<R (C::*)(A...) const> {
  using Signature = R(A...);
};

template <class T>
struct EventTraits : std::false_type {};
template <class Sig>
struct EventTraits<TEvent<Sig>> : std::true_type {
  using Signature = Sig;
};

}  // namespace detail

// Describes one property while a class is built; returned by the TClassBuilder calls.
class TPropBuilder {
 public:
  TPropBuilder(std::vector<TPropInfo>& props, size_t index) : props_(props), index_(index) {}

  // The value that is not written (ordinal kinds take an integer, Boolean or enumeration value).
  template <class V>
  TPropBuilder& Default(V value) {
    TPropInfo& p = Info();
    p.has_default = true;
    if constexpr (std::is_convertible_v<V, std::string> && !std::is_arithmetic_v<V>) {
      p.default_string = std::string(value);
    } else if constexpr (std::is_floating_point_v<V>) {
      p.default_float = value;
    } else {
      p.default_ordinal = static_cast<int64_t>(value);
    }
    return *this;
  }
  // The set default of a set property.
  template <class E>
  TPropBuilder& Default(TSet<E> value) {
    Info().has_default = true;
    Info().default_ordinal = static_cast<int64_t>(value.Bits());
    return *this;
  }
  // Names for some of the values of an integer property.
  TPropBuilder& Idents(const TIdentMap& map) {
    Info().ident_map = &map;
    return *this;
  }
  // Always written, whatever the value.
  TPropBuilder& NoDefault() {
    Info().has_default = false;
    return *this;
  }
  // Written only when `stored` (a constant).
  TPropBuilder& Stored(bool stored) {
    if (stored) {
      Info().stored = nullptr;
    } else {
      Info().stored = [](const TObject&) { return false; };
    }
    return *this;
  }
  // Written only when `pred(instance)` is true.
  TPropBuilder& Stored(std::function<bool(const TObject&)> pred) {
    Info().stored = std::move(pred);
    return *this;
  }

 private:
  TPropInfo& Info() { return props_[index_]; }

  std::vector<TPropInfo>& props_;
  size_t index_;
};

// The builder handed to a KIVO_DEFINE_CLASS body. Each call appends one property or method.
// Getters are member functions (const) or callables taking `const C&`; setters are member
// functions or callables taking `C&` and the value.
template <class C>
class TClassBuilder {
 public:
  explicit TClassBuilder(TClassInfo& info) : info_(info) {}

  // Builds the metadata of C; called once, by C::StaticClass().
  static void Build(TClassInfo& info, void (*describe)(TClassBuilder&)) {
    TClassBuilder b(info);
    b.SetFactories();
    describe(b);
  }

  template <class G, class S>
  TPropBuilder Integer(std::string name, G getter, S setter) {
    return Ordinal(std::move(name), TPropKind::kInteger, nullptr, getter, setter);
  }
  template <class G, class S>
  TPropBuilder Boolean(std::string name, G getter, S setter) {
    return Ordinal(std::move(name), TPropKind::kBoolean, nullptr, getter, setter);
  }
  template <class G, class S>
  TPropBuilder Enumeration(std::string name, const TEnumInfo& info, G getter, S setter) {
    return Ordinal(std::move(name), TPropKind::kEnumeration, &info, getter, setter);
  }
  template <class G, class S>
  TPropBuilder Set(std::string name, const TEnumInfo& info, G getter, S setter) {
    TPropInfo& p = Add(std::move(name), TPropKind::kSet);
    p.enum_info = &info;
    p.get_ordinal = [getter](const TObject& o) {
      return static_cast<int64_t>(std::invoke(getter, Self(o)).Bits());
    };
    using V = std::decay_t<std::invoke_result_t<G, const C&>>;
    p.set_ordinal = [setter](TObject& o, int64_t v) {
      std::invoke(setter, Self(o), V::FromBits(static_cast<uint64_t>(v)));
    };
    return Last();
  }
  template <class G, class S>
  TPropBuilder String(std::string name, G getter, S setter) {
    TPropInfo& p = Add(std::move(name), TPropKind::kString);
    p.has_default = true;
    p.get_string = [getter](const TObject& o) { return std::string(std::invoke(getter, Self(o))); };
    p.set_string = [setter](TObject& o, const std::string& v) { std::invoke(setter, Self(o), v); };
    return Last();
  }
  template <class G, class S>
  TPropBuilder Float(std::string name, G getter, S setter) {
    TPropInfo& p = Add(std::move(name), TPropKind::kFloat);
    p.has_default = true;
    p.get_float = [getter](const TObject& o) {
      return static_cast<double>(std::invoke(getter, Self(o)));
    };
    p.set_float = [setter](TObject& o, double v) { std::invoke(setter, Self(o), v); };
    return Last();
  }
  // A sub-object (kObject), collection (kCollection) or string list (kStringList) that C owns.
  // The getter returns a pointer to it; the setter, when given, copies a value into it.
  template <class G>
  TPropBuilder Object(std::string name, G getter) {
    return Owned(std::move(name), TPropKind::kObject, getter, nullptr);
  }
  template <class G, class S>
  TPropBuilder Object(std::string name, G getter, S setter) {
    return Owned(std::move(name), TPropKind::kObject, getter, setter);
  }
  template <class G, class S>
  TPropBuilder Collection(std::string name, G getter, S setter) {
    return Owned(std::move(name), TPropKind::kCollection, getter, setter);
  }
  template <class G, class S>
  TPropBuilder StringList(std::string name, G getter, S setter) {
    return Owned(std::move(name), TPropKind::kStringList, getter, setter);
  }
  // A reference to a component of class V (the getter's pointee), not owned.
  template <class G, class S>
  TPropBuilder Component(std::string name, G getter, S setter) {
    TPropInfo& p = Add(std::move(name), TPropKind::kComponent);
    using V = std::remove_pointer_t<std::decay_t<std::invoke_result_t<G, const C&>>>;
    p.value_class = &V::StaticClass;
    p.get_object = [getter](const TObject& o) -> TObject* {
      return const_cast<std::remove_const_t<V>*>(std::invoke(getter, Self(o)));
    };
    p.set_object = [setter](TObject& o, TObject* v) {
      std::invoke(setter, Self(o), static_cast<std::remove_const_t<V>*>(v));
    };
    return Last();
  }
  // An event member `TEvent<Sig> Base::*` of C or of one of its bases.
  template <class E, class Base>
  TPropBuilder Event(std::string name, E Base::*member) {
    static_assert(detail::EventTraits<E>::value, "an event property is a TEvent member");
    static_assert(std::is_base_of_v<Base, C>, "the event is a member of the class or a base");
    using Sig = typename detail::EventTraits<E>::Signature;
    TPropInfo& p = Add(std::move(name), TPropKind::kEvent);
    p.event_signature = std::type_index(typeid(Sig));
    p.get_method = [member](const TObject& o) { return (Self(o).*member).MethodName(); };
    p.set_method = [member, prop_name = p.name](TObject& o, TObject* instance,
                                                const TMethodInfo* method) {
      E& event = Self(o).*member;
      if (method == nullptr || instance == nullptr) {
        event = nullptr;
        return;
      }
      if (method->signature != std::type_index(typeid(Sig))) {
        detail::ThrowSignatureMismatch(prop_name, method->name);
      }
      event.Bind(method->name, std::any_cast<typename E::Function>(method->bind(instance)));
    };
    return Last();
  }

  // Publishes the member function `fn` under `name`, for binding events by name.
  template <class F>
  void Method(std::string name, F fn) {
    using Sig = typename detail::MemberFunctionTraits<F>::Signature;
    TMethodInfo m;
    m.name = std::move(name);
    m.signature = std::type_index(typeid(Sig));
    m.bind = [fn](TObject* instance) -> std::any {
      C* self = static_cast<C*>(instance);
      return std::function<Sig>([self, fn](auto&&... args) {
        return (self->*fn)(std::forward<decltype(args)>(args)...);
      });
    };
    info_.methods_.push_back(std::move(m));
  }

 private:
  static const C& Self(const TObject& o) { return static_cast<const C&>(o); }
  static C& Self(TObject& o) { return static_cast<C&>(o); }

  void SetFactories() {
    if constexpr (!std::is_abstract_v<C> && std::is_base_of_v<TComponent, C> &&
                  std::is_constructible_v<C, TComponent*>) {
      info_.component_factory_ = [](TComponent* owner) -> TComponent* { return new C(owner); };
    }
    if constexpr (!std::is_abstract_v<C> && std::is_base_of_v<TCollectionItem, C> &&
                  std::is_constructible_v<C, TCollection*>) {
      info_.item_factory_ = [](TCollection* c) -> TCollectionItem* { return new C(c); };
    }
  }

  TPropInfo& Add(std::string name, TPropKind kind) {
    TPropInfo p;
    p.name = std::move(name);
    p.kind = kind;
    p.owner = &info_;
    info_.properties_.push_back(std::move(p));
    return info_.properties_.back();
  }
  TPropBuilder Last() { return TPropBuilder(info_.properties_, info_.properties_.size() - 1); }

  template <class G, class S>
  TPropBuilder Ordinal(std::string name, TPropKind kind, const TEnumInfo* enum_info, G getter,
                       S setter) {
    TPropInfo& p = Add(std::move(name), kind);
    p.enum_info = enum_info;
    using V = std::decay_t<std::invoke_result_t<G, const C&>>;
    p.get_ordinal = [getter](const TObject& o) {
      return static_cast<int64_t>(std::invoke(getter, Self(o)));
    };
    p.set_ordinal = [setter](TObject& o, int64_t v) {
      if constexpr (std::is_same_v<V, bool>) {
        std::invoke(setter, Self(o), v != 0);
      } else {
        std::invoke(setter, Self(o), static_cast<V>(v));
      }
    };
    return Last();
  }

  template <class G, class S>
  TPropBuilder Owned(std::string name, TPropKind kind, G getter, S setter) {
    TPropInfo& p = Add(std::move(name), kind);
    using V = std::remove_pointer_t<std::decay_t<std::invoke_result_t<G, const C&>>>;
    using M = std::remove_const_t<V>;
    p.value_class = &M::StaticClass;
    p.get_object = [getter](const TObject& o) -> TObject* {
      return const_cast<M*>(std::invoke(getter, Self(o)));
    };
    if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      p.set_object = [setter](TObject& o, TObject* v) {
        std::invoke(setter, Self(o), static_cast<M*>(v));
      };
    }
    return Last();
  }

  TClassInfo& info_;
};

}  // namespace kivo

// Declares the class-model members of `Class`, whose parent class is `Parent`. Put it first in
// the class body; it leaves the access at public.
#define KIVO_CLASS(Class, Parent)                                     \
 public:                                                              \
  using Inherited = Parent;                                           \
  static ::kivo::TClass StaticClass();                                \
  ::kivo::TClass ClassType() const override { return StaticClass(); } \
                                                                      \
 public:

// Defines the metadata of `Class` and registers the class; follow it with the body that
// describes the class through the builder `b`. Use it at namespace scope of the class's
// namespace, in one source file.
#define KIVO_DEFINE_CLASS(Class)                                                  \
  static void KivoDescribe_##Class(::kivo::TClassBuilder<Class>& b);              \
  ::kivo::TClass Class::StaticClass() {                                           \
    static const ::kivo::TClassInfo* const info = [] {                            \
      static ::kivo::TClassInfo storage(#Class, Class::Inherited::StaticClass()); \
      ::kivo::TClassBuilder<Class>::Build(storage, &KivoDescribe_##Class);        \
      return &storage;                                                            \
    }();                                                                          \
    return info;                                                                  \
  }                                                                               \
  [[maybe_unused]] static const bool kivo_registered_##Class =                    \
      (::kivo::RegisterClass(Class::StaticClass()), true);                        \
  static void KivoDescribe_##Class([[maybe_unused]] ::kivo::TClassBuilder<Class>& b)
