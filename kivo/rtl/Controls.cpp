#include "kivo/rtl/Controls.h"

#include <algorithm>

namespace kivo {

const TEnumInfo& AlignInfo() {
  static const TEnumInfo info{"TAlign",
                              {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
  return info;
}

std::function<bool(const TObject&)> detail::StoredWithoutAction() {
  return [](const TObject& o) { return static_cast<const TControl&>(o).Action() == nullptr; };
}

KIVO_DEFINE_CLASS(TControl) {
  b.Integer("Left", &TControl::Left, &TControl::SetLeft);
  b.Integer("Top", &TControl::Top, &TControl::SetTop);
  b.Integer("Width", &TControl::Width, &TControl::SetWidth);
  b.Integer("Height", &TControl::Height, &TControl::SetHeight);
  b.Component("Action", &TControl::Action, &TControl::SetAction);
  b.Enumeration("Align", AlignInfo(), &TControl::Align, &TControl::SetAlign).Default(alNone);
  b.Integer("Color", &TControl::Color, &TControl::SetColor)
      .Default(clBtnFace)
      .Idents(ColorIdents());
  b.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled)
      .Default(true)
      .Stored(detail::StoredWithoutAction());
  b.Object("Font", &TControl::Font, &TControl::SetFont);
  b.String("Hint", &TControl::Hint, &TControl::SetHint).Stored(detail::StoredWithoutAction());
  b.Boolean("Visible", &TControl::Visible, &TControl::SetVisible)
      .Default(true)
      .Stored(detail::StoredWithoutAction());
  b.Event("OnClick", &TControl::OnClick);
}

KIVO_DEFINE_CLASS(TControlActionLink) {}
KIVO_DEFINE_CLASS(TGraphicControl) {}
KIVO_DEFINE_CLASS(TWinControl) {}
KIVO_DEFINE_CLASS(TCustomControl) {}

// --- TControl

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {}

TControl::~TControl() {
  Destroying();
  action_link_.reset();
  if (parent_ != nullptr) std::erase(parent_->controls_, this);
  parent_ = nullptr;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent != nullptr) {
    for (const TControl* c = parent; c != nullptr; c = c->parent_) {
      if (c == this) throw EInvalidOperation(SControlParentSetToSelf);
    }
  }
  if (parent_ != nullptr) std::erase(parent_->controls_, this);
  parent_ = parent;
  if (parent_ != nullptr) parent_->controls_.push_back(this);
}

std::string TControl::GetText() const { return text_; }

void TControl::SetText(const std::string& text) { text_ = text; }

void TControl::SetVisible(bool visible) { visible_ = visible; }

void TControl::SetEnabled(bool enabled) { enabled_ = enabled; }

void TControl::SetBounds(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
}

TBasicAction* TControl::Action() const {
  return action_link_ != nullptr ? action_link_->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* action) {
  TBasicAction* old = Action();
  if (action == old) return;
  if (old != nullptr) RemoveFreeNotification(old);
  if (action == nullptr) {
    action_link_.reset();
    return;
  }
  if (action_link_ == nullptr) action_link_ = std::make_unique<TControlActionLink>(this);
  action_link_->SetAction(action);
  action->FreeNotification(this);
  if (const auto* a = As<TCustomAction>(action)) {
    SetText(a->Caption());
    SetHint(a->Hint());
    SetEnabled(a->Enabled());
    SetVisible(a->Visible());
    ActionCheckedChanged(a->Checked());
  }
}

void TControl::Click() {
  if (OnClick) {
    OnClick(this);
  } else if (action_link_ != nullptr) {
    action_link_->Execute();
  }
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == Action()) {
    action_link_.reset();
  }
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* windowed = As<TWinControl>(parent)) SetParent(windowed);
}

// --- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

// --- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Owned controls may be children of this control: they leave the list while it still exists.
  Destroying();
  DestroyComponents();
  while (!controls_.empty()) {
    controls_.back()->parent_ = nullptr;
    controls_.pop_back();
  }
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError::IndexError(index);
  return controls_[static_cast<size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
  if (control != nullptr) control->SetParent(this);
}

void TWinControl::RemoveControl(TControl* control) {
  if (control != nullptr && control->Parent() == this) control->SetParent(nullptr);
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c != nullptr; c = c->Parent()) {
    if (c == this) return true;
  }
  return false;
}

void TWinControl::GetChildren(std::vector<TComponent*>& children) const {
  children.insert(children.end(), controls_.begin(), controls_.end());
}

// --- TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

}  // namespace kivo
