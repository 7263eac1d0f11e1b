#include "kivo/core/KivoMultiReplacer.h"

#include <vector>

#include "kivo/core/KivoMultiDD.h"
#include "kivo/rtl/Controls.h"
#include "kivo/rtl/Exceptions.h"

namespace kivo {

namespace {

[[noreturn]] void Fail(const char* format, const TComponent* component) {
  throw Exception(FormatMessage(format, {component->Name()}));
}

// The components that `source` names, in order, nulls included; T is an item type.
template <class Items, class T>
std::vector<TComponent*> SourceComponents(const Items* source) {
  std::vector<TComponent*> out;
  for (int i = 0; i < source->Count(); ++i) out.push_back(source->Items(i)->Component());
  return out;
}

// Checks the components to copy into a list: none may be named by `other` (the replacer's other
// list; may be null) and none twice.
template <class Other>
void CheckCopy(const std::vector<TComponent*>& components, const Other* other,
               const char* other_message) {
  for (size_t i = 0; i < components.size(); ++i) {
    TComponent* c = components[i];
    if (c == nullptr) continue;
    if (other != nullptr && other->FindCom(c) != nullptr) Fail(other_message, c);
    for (size_t j = 0; j < i; ++j) {
      if (components[j] == c) Fail(SComAlreadyAdded, c);
    }
  }
}

}  // namespace

// --- TReplaceCom

KIVO_DEFINE_CLASS(TReplaceCom) {
  b.Component("Component", &TReplaceCom::Component, &TReplaceCom::SetComponent);
  b.Object("ReplaceOption", &TReplaceCom::ReplaceOption, &TReplaceCom::SetReplaceOption);
}

TReplaceCom::TReplaceCom(TCollection* collection)
    : TCollectionItem(collection), replace_option_(std::make_unique<TMultiReplaceOption>()) {}

TReplaceCom::~TReplaceCom() = default;

TKivoMultiReplacer* TReplaceCom::Replacer() const {
  return Collection() != nullptr ? As<TKivoMultiReplacer>(Collection()->Owner()) : nullptr;
}

void TReplaceCom::SetComponent(TComponent* value) {
  if (value == component_) return;
  TKivoMultiReplacer* replacer = Replacer();
  if (value != nullptr) {
    if (replacer != nullptr && replacer->UnReplaceComs()->FindCom(value) != nullptr) {
      Fail(SComAddedInUnReplaceList, value);
    }
    auto* coms = static_cast<TReplaceComs*>(Collection());
    TReplaceCom* found = coms != nullptr ? coms->FindCom(value) : nullptr;
    if (found != nullptr && found != this) Fail(SComAlreadyAdded, value);
    if (replacer != nullptr) replacer->FreeNotification(value);
  }
  component_ = value;
}

std::string TReplaceCom::GetDisplayName() const {
  return component_ != nullptr ? component_->Name() : std::string();
}

// --- TUnReplaceCom

KIVO_DEFINE_CLASS(TUnReplaceCom) {
  b.Component("Component", &TUnReplaceCom::Component, &TUnReplaceCom::SetComponent);
}

TUnReplaceCom::TUnReplaceCom(TCollection* collection) : TCollectionItem(collection) {}

TKivoMultiReplacer* TUnReplaceCom::Replacer() const {
  return Collection() != nullptr ? As<TKivoMultiReplacer>(Collection()->Owner()) : nullptr;
}

void TUnReplaceCom::SetComponent(TComponent* value) {
  TKivoMultiReplacer* replacer = Replacer();
  if (value != nullptr) {
    if (replacer != nullptr && replacer->ReplaceComs()->FindCom(value) != nullptr) {
      Fail(SComAddedInReplaceList, value);
    }
    auto* coms = static_cast<TUnReplaceComs*>(Collection());
    TUnReplaceCom* found = coms != nullptr ? coms->FindCom(value) : nullptr;
    if (found != nullptr && found != this) Fail(SComAlreadyAdded, value);
    if (replacer != nullptr) replacer->FreeNotification(value);
  }
  component_ = value;
}

std::string TUnReplaceCom::GetDisplayName() const {
  return component_ != nullptr ? component_->Name() : std::string();
}

// --- TReplaceComs

KIVO_DEFINE_CLASS(TReplaceComs) {}

TReplaceComs::TReplaceComs(TKivoMultiReplacer* owner)
    : TOwnedCollection(owner, TReplaceCom::StaticClass()) {}

TKivoMultiReplacer* TReplaceComs::Replacer() const { return As<TKivoMultiReplacer>(Owner()); }

TReplaceCom* TReplaceComs::FindCom(const TComponent* component) const {
  for (int i = 0; i < Count(); ++i) {
    if (Items(i)->Component() == component) return Items(i);
  }
  return nullptr;
}

void TReplaceComs::Assign(const TPersistent* source) {
  const auto* coms = As<TReplaceComs>(source);
  if (coms == nullptr) {
    TOwnedCollection::Assign(source);
    return;
  }
  if (coms == this) return;
  TKivoMultiReplacer* replacer = Replacer();
  const std::vector<TComponent*> components = SourceComponents<TReplaceComs, TReplaceCom>(coms);
  CheckCopy(components, replacer != nullptr ? replacer->UnReplaceComs() : nullptr,
            SComAddedInUnReplaceList);
  // Options first, into fresh objects, so that a failing copy leaves this collection unchanged.
  std::vector<std::unique_ptr<TMultiReplaceOption>> options;
  for (int i = 0; i < coms->Count(); ++i) {
    options.push_back(std::make_unique<TMultiReplaceOption>());
    options.back()->Assign(coms->Items(i)->ReplaceOption());
  }
  BeginUpdate();
  Clear();
  for (size_t i = 0; i < components.size(); ++i) {
    auto* item = Add<TReplaceCom>();
    item->replace_option_ = std::move(options[i]);
    item->component_ = components[i];
    if (replacer != nullptr && components[i] != nullptr) replacer->FreeNotification(components[i]);
  }
  EndUpdate();
}

// --- TUnReplaceComs

KIVO_DEFINE_CLASS(TUnReplaceComs) {}

TUnReplaceComs::TUnReplaceComs(TKivoMultiReplacer* owner)
    : TOwnedCollection(owner, TUnReplaceCom::StaticClass()) {}

TKivoMultiReplacer* TUnReplaceComs::Replacer() const { return As<TKivoMultiReplacer>(Owner()); }

TUnReplaceCom* TUnReplaceComs::FindCom(const TComponent* component) const {
  for (int i = 0; i < Count(); ++i) {
    if (Items(i)->Component() == component) return Items(i);
  }
  return nullptr;
}

void TUnReplaceComs::Assign(const TPersistent* source) {
  const auto* coms = As<TUnReplaceComs>(source);
  if (coms == nullptr) {
    TOwnedCollection::Assign(source);
    return;
  }
  if (coms == this) return;
  TKivoMultiReplacer* replacer = Replacer();
  const std::vector<TComponent*> components = SourceComponents<TUnReplaceComs, TUnReplaceCom>(coms);
  CheckCopy(components, replacer != nullptr ? replacer->ReplaceComs() : nullptr,
            SComAddedInReplaceList);
  BeginUpdate();
  Clear();
  for (TComponent* component : components) {
    Add<TUnReplaceCom>()->component_ = component;
    if (replacer != nullptr && component != nullptr) replacer->FreeNotification(component);
  }
  EndUpdate();
}

// --- TKivoMultiReplacer

KIVO_DEFINE_CLASS(TKivoMultiReplacer) {
  using R = TKivoMultiReplacer;
  b.Collection("ReplaceComs", &R::ReplaceComs, &R::SetReplaceComs);
  b.Collection("UnReplaceComs", &R::UnReplaceComs, &R::SetUnReplaceComs);
  b.Boolean("AutoReplace", &R::AutoReplace, &R::SetAutoReplace).Default(true);
  b.Object("OwnerOption", &R::OwnerOption, &R::SetOwnerOption);
  b.Event("OnBeforeReplace", &R::OnBeforeReplace);
  b.Event("OnAfterReplaced", &R::OnAfterReplaced);
}

TKivoMultiReplacer::TKivoMultiReplacer(TComponent* owner)
    : TComponent(owner),
      replace_coms_(std::make_unique<TReplaceComs>(this)),
      unreplace_coms_(std::make_unique<TUnReplaceComs>(this)),
      owner_option_(std::make_unique<TMultiReplaceOption>()) {}

TKivoMultiReplacer::~TKivoMultiReplacer() {
  owner_option_.reset();
  unreplace_coms_.reset();
  replace_coms_.reset();
}

void TKivoMultiReplacer::SetOwnerOption(const TMultiReplaceOption* value) {
  if (value != nullptr) owner_option_->Assign(value);
}

bool TKivoMultiReplacer::AllowReplaceCom(TComponent* component) {
  return component != nullptr && unreplace_coms_->FindCom(component) == nullptr;
}

void TKivoMultiReplacer::Loaded() {
  TComponent::Loaded();
  if (!ComponentState().Contains(csDesigning) && auto_replace_) Replace();
}

void TKivoMultiReplacer::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove || ComponentState().Contains(csDestroying)) return;
  // The collections are gone only while the replacer is destroyed; guard anyway.
  if (replace_coms_ != nullptr) {
    for (int i = 0; i < replace_coms_->Count(); ++i) {
      TReplaceCom* item = replace_coms_->Items(i);
      if (item->component_ == component) item->component_ = nullptr;
    }
  }
  if (unreplace_coms_ != nullptr) {
    for (int i = 0; i < unreplace_coms_->Count(); ++i) {
      TUnReplaceCom* item = unreplace_coms_->Items(i);
      if (item->component_ == component) item->component_ = nullptr;
    }
  }
}

void TKivoMultiReplacer::Replace() {
  if (OnBeforeReplace) OnBeforeReplace(this);
  TReplaceList list;
  auto find_dd = [](const TMultiReplaceOption* option) -> TCustomMultiDD* {
    return KivoDDStorage != nullptr ? KivoDDStorage->FindDD(option->DDName()) : nullptr;
  };
  for (int i = 0; i < replace_coms_->Count(); ++i) {
    const TReplaceCom* item = replace_coms_->Items(i);
    const TMultiReplaceOption* o = item->ReplaceOption();
    if (!o->ReplaceSelf()) continue;
    if (TCustomMultiDD* dd = find_dd(o)) {
      dd->ReplaceCom(item->Component(), o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(),
                     list);
    }
  }
  for (int i = 0; i < replace_coms_->Count(); ++i) {
    const TReplaceCom* item = replace_coms_->Items(i);
    const TMultiReplaceOption* o = item->ReplaceOption();
    TCustomMultiDD* dd = find_dd(o);
    if (dd == nullptr) continue;
    if (o->ReplaceOwned()) {
      dd->ReplaceComOwned(item->Component(), o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(),
                          this, list);
    }
    if (o->ReplaceSon()) {
      if (auto* control = As<TWinControl>(item->Component())) {
        dd->ReplaceComSon(control, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), this,
                          list);
      }
    }
  }
  if (TComponent* owner = Owner()) {
    const TMultiReplaceOption* o = owner_option_.get();
    if (TCustomMultiDD* dd = find_dd(o)) {
      if (o->ReplaceSelf()) {
        dd->ReplaceCom(owner, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), list);
      }
      if (o->ReplaceOwned()) {
        dd->ReplaceComOwned(owner, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), this,
                            list);
      }
      if (o->ReplaceSon()) {
        if (auto* control = As<TWinControl>(owner)) {
          dd->ReplaceComSon(control, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), this,
                            list);
        }
      }
    }
  }
  if (OnAfterReplaced) OnAfterReplaced(this);
}

}  // namespace kivo
