#include "kivo/rtl/ActnList.h"

#include <algorithm>

#include "kivo/rtl/Exceptions.h"

namespace kivo {

KIVO_DEFINE_CLASS(TBasicActionLink) {}

KIVO_DEFINE_CLASS(TBasicAction) {
  b.Event("OnExecute", &TBasicAction::OnExecute);
  b.Event("OnUpdate", &TBasicAction::OnUpdate);
}

KIVO_DEFINE_CLASS(TContainedAction) {
  b.String("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
}

KIVO_DEFINE_CLASS(TCustomAction) {}

KIVO_DEFINE_CLASS(TAction) {
  b.String("Caption", &TAction::Caption, &TAction::SetCaption);
  b.Boolean("Checked", &TAction::Checked, &TAction::SetChecked).Default(false);
  b.Boolean("Enabled", &TAction::Enabled, &TAction::SetEnabled).Default(true);
  b.String("Hint", &TAction::Hint, &TAction::SetHint);
  b.Boolean("Visible", &TAction::Visible, &TAction::SetVisible).Default(true);
}

KIVO_DEFINE_CLASS(TCustomActionList) {}
KIVO_DEFINE_CLASS(TActionList) {}

// --- TBasicActionLink

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_ != nullptr) action_->UnRegisterChanges(this);
  action_ = action;
  if (action_ != nullptr) action_->RegisterChanges(this);
}

bool TBasicActionLink::Execute() { return action_ != nullptr && action_->Execute(); }

// --- TBasicAction

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction() {
  Destroying();
  while (!clients_.empty()) {
    clients_.back()->action_ = nullptr;
    clients_.pop_back();
  }
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) { clients_.push_back(link); }

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) { std::erase(clients_, link); }

// --- TContainedAction

TContainedAction::TContainedAction(TComponent* owner) : TBasicAction(owner) {}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* list) {
  if (list == action_list_) return;
  if (action_list_ != nullptr) std::erase(action_list_->actions_, this);
  action_list_ = list;
  if (action_list_ != nullptr) action_list_->actions_.push_back(this);
}

int TContainedAction::Index() const {
  if (action_list_ == nullptr) return -1;
  const auto& list = action_list_->actions_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TContainedAction::SetParentComponent(TComponent* parent) {
  if (auto* list = As<TCustomActionList>(parent)) SetActionList(list);
}

// --- TCustomAction

TCustomAction::TCustomAction(TComponent* owner) : TContainedAction(owner) {}

// A client's hook may unlink a client (its own or another): the hooks run on a copy of the
// list, and a link that has left in the meantime is skipped.
template <class F>
void TCustomAction::ForEachClient(const F& hook) const {
  const std::vector<TBasicActionLink*> links = Clients();
  for (TBasicActionLink* link : links) {
    const auto& now = Clients();
    if (std::find(now.begin(), now.end(), link) != now.end()) hook(*link);
  }
}

void TCustomAction::SetCaption(const std::string& caption) {
  caption_ = caption;
  ForEachClient([this](TBasicActionLink& link) { link.SetCaption(caption_); });
}

void TCustomAction::SetHint(const std::string& hint) {
  hint_ = hint;
  ForEachClient([this](TBasicActionLink& link) { link.SetHint(hint_); });
}

void TCustomAction::SetEnabled(bool enabled) {
  enabled_ = enabled;
  ForEachClient([this](TBasicActionLink& link) { link.SetEnabled(enabled_); });
}

void TCustomAction::SetVisible(bool visible) {
  visible_ = visible;
  ForEachClient([this](TBasicActionLink& link) { link.SetVisible(visible_); });
}

void TCustomAction::SetChecked(bool checked) {
  checked_ = checked;
  ForEachClient([this](TBasicActionLink& link) { link.SetChecked(checked_); });
}

TAction::TAction(TComponent* owner) : TCustomAction(owner) {}

// --- TCustomActionList

TCustomActionList::TCustomActionList(TComponent* owner) : TComponent(owner) {}

TCustomActionList::~TCustomActionList() {
  Destroying();
  DestroyComponents();
  while (!actions_.empty()) {
    actions_.back()->action_list_ = nullptr;
    actions_.pop_back();
  }
}

TContainedAction* TCustomActionList::Actions(int index) const {
  if (index < 0 || index >= ActionCount()) throw EListError::IndexError(index);
  return actions_[static_cast<size_t>(index)];
}

void TCustomActionList::GetChildren(std::vector<TComponent*>& children) const {
  children.insert(children.end(), actions_.begin(), actions_.end());
}

TActionList::TActionList(TComponent* owner) : TCustomActionList(owner) {}

}  // namespace kivo
