#include "kivo/rtl/Component.h"

#include <algorithm>

#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo {

KIVO_DEFINE_CLASS(TComponent) {
  // The name is written in the object header of a form file, not as a property.
  b.String("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  b.Integer("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}

void TComponent::SetParentComponent(TComponent* /*parent*/) {}

void TComponent::GetChildren(std::vector<TComponent*>& /*children*/) const {}

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Each peer is taken off the list before it hears of the destruction, so a peer's
  // Notification may change the lists freely.
  while (!free_notifies_.empty()) {
    TComponent* peer = free_notifies_.back();
    free_notifies_.pop_back();
    peer->RemoveNotifyPeer(this);
    peer->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError::IndexError(index);
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (owner_ == nullptr) return -1;
  const auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (AnsiSameText(c->name_, name)) return c;
  }
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) {
    throw EComponentError(FormatMessage(SInvalidName, {name}));
  }
  if (owner_ != nullptr) owner_->ValidateRename(this, name_, name);
  name_ = name;
}

void TComponent::ValidateRename(TComponent* component, const std::string& current,
                                const std::string& new_name) const {
  if (new_name.empty() || AnsiSameText(current, new_name)) return;
  TComponent* other = FindComponent(new_name);
  if (other != nullptr && other != component) {
    throw EComponentError(FormatMessage(SDuplicateName, {new_name}));
  }
}

void TComponent::SetDesigning(bool designing) {
  if (designing) {
    state_.Include(csDesigning);
  } else {
    state_.Exclude(csDesigning);
  }
  for (TComponent* c : components_) c->SetDesigning(designing);
}

void TComponent::BeginLoading() { state_.Include(csLoading).Include(csReading); }

void TComponent::Loaded() { state_.Exclude(csLoading).Exclude(csReading); }

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr) return;
  for (const TComponent* c = this; c != nullptr; c = c->owner_) {
    if (c == component) {
      throw EComponentError("Cannot insert " +
                            (component->name_.empty() ? component->ClassName() : component->name_) +
                            " into its own tree");
    }
  }
  if (component->owner_ == this) return;
  ValidateRename(component, std::string(), component->name_);
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  if (state_.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->owner_ != this) return;
  Notification(component, opRemove);
  Unlink(component);
}

void TComponent::Unlink(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  // Each component leaves the list before it is destroyed, so that a destructor that destroys
  // a sibling finds a consistent list.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    delete c;
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end()) {
    free_notifies_.push_back(component);
    component->free_notifies_.push_back(this);
  }
  state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  RemoveNotifyPeer(component);
  component->RemoveNotifyPeer(this);
}

void TComponent::RemoveNotifyPeer(TComponent* component) { std::erase(free_notifies_, component); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component != nullptr) RemoveFreeNotification(component);
  // The list may change while the report travels (a receiver may destroy a component): walk it
  // from the end and re-check the bound each time.
  for (size_t i = components_.size(); i > 0; --i) {
    if (i > components_.size()) continue;
    components_[i - 1]->Notification(component, operation);
  }
}

}  // namespace kivo
