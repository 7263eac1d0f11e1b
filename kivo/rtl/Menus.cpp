#include "kivo/rtl/Menus.h"

#include <algorithm>
#include <functional>

namespace kivo {

namespace {

// Stored while the item has no action: the action supplies the value otherwise.
std::function<bool(const TObject&)> StoredWithoutAction() {
  return [](const TObject& o) { return static_cast<const TMenuItem&>(o).Action() == nullptr; };
}

}  // namespace

KIVO_DEFINE_CLASS(TMenuItem) {
  b.Component("Action", &TMenuItem::Action, &TMenuItem::SetAction);
  b.String("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption).Stored(StoredWithoutAction());
  b.Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
      .Default(false)
      .Stored(StoredWithoutAction());
  b.Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
      .Default(true)
      .Stored(StoredWithoutAction());
  b.String("Hint", &TMenuItem::Hint, &TMenuItem::SetHint).Stored(StoredWithoutAction());
  b.Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
  b.Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
      .Default(true)
      .Stored(StoredWithoutAction());
  b.Event("OnClick", &TMenuItem::OnClick);
}

KIVO_DEFINE_CLASS(TMenuActionLink) {}
KIVO_DEFINE_CLASS(TMenu) {}
KIVO_DEFINE_CLASS(TMainMenu) {}

KIVO_DEFINE_CLASS(TPopupMenu) {
  b.Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  b.Event("OnPopup", &TPopupMenu::OnPopup);
}

// --- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  Destroying();
  action_link_.reset();
  // Each sub-item leaves the list before it is destroyed, so that its destructor finds a
  // consistent list.
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    items_.pop_back();
    item->parent_ = nullptr;
    delete item;
  }
  if (parent_ != nullptr) std::erase(parent_->items_, this);
  parent_ = nullptr;
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError::IndexError(index);
  return items_[static_cast<size_t>(index)];
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_ != nullptr) item = item->parent_;
  return item->menu_;
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr) return;
  if (item->parent_ != nullptr || item->menu_ != nullptr) throw EMenuError(SMenuReinserted);
  for (const TMenuItem* p = this; p != nullptr; p = p->parent_) {
    if (p == item) throw EMenuError(SMenuSelfInsert);
  }
  if (index < 0 || index > Count()) throw EMenuError(SMenuIndexError);
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) throw EMenuError(SMenuIndexError);
  TMenuItem* item = items_[static_cast<size_t>(index)];
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
}

void TMenuItem::Remove(TMenuItem* item) {
  const int index = IndexOf(item);
  if (index < 0) throw EMenuError(SMenuNotFound);
  Delete(index);
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

TBasicAction* TMenuItem::Action() const {
  return action_link_ != nullptr ? action_link_->Action() : nullptr;
}

void TMenuItem::SetAction(TBasicAction* action) {
  TBasicAction* old = Action();
  if (action == old) return;
  if (old != nullptr) RemoveFreeNotification(old);
  if (action == nullptr) {
    action_link_.reset();
    return;
  }
  if (action_link_ == nullptr) action_link_ = std::make_unique<TMenuActionLink>(this);
  action_link_->SetAction(action);
  action->FreeNotification(this);
  if (const auto* a = As<TCustomAction>(action)) {
    caption_ = a->Caption();
    hint_ = a->Hint();
    enabled_ = a->Enabled();
    visible_ = a->Visible();
    checked_ = a->Checked();
  }
}

void TMenuItem::Click() {
  if (OnClick) {
    OnClick(this);
  } else if (action_link_ != nullptr) {
    action_link_->Execute();
  }
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == Action()) {
    action_link_.reset();
  }
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  TMenuItem* target = nullptr;
  if (auto* menu = As<TMenu>(parent)) {
    target = menu->Items();
  } else {
    target = As<TMenuItem>(parent);
  }
  if (target == nullptr || target == parent_) return;
  for (const TMenuItem* p = target; p != nullptr; p = p->parent_) {
    if (p == this) throw EMenuError(SMenuSelfInsert);
  }
  if (parent_ != nullptr) parent_->Remove(this);
  target->Add(this);
}

void TMenuItem::GetChildren(std::vector<TComponent*>& children) const {
  children.insert(children.end(), items_.begin(), items_.end());
}

// --- Menus

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  Destroying();
  DestroyComponents();
  items_.reset();
}

void TMenu::GetChildren(std::vector<TComponent*>& children) const { items_->GetChildren(children); }

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::Popup(int /*x*/, int /*y*/) {
  if (OnPopup) OnPopup(this);
}

}  // namespace kivo
