#include "kivo/rtl/Forms.h"

#include <algorithm>

namespace kivo {

KIVO_DEFINE_CLASS(TScrollingWinControl) {
  b.Boolean("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll)
      .Default(false);
}

KIVO_DEFINE_CLASS(TCustomForm) {
  b.String("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption);
  // Forms are created hidden.
  b.Boolean("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible).Default(false);
  b.Event("OnActivate", &TCustomForm::OnActivate);
  b.Event("OnDeactivate", &TCustomForm::OnDeactivate);
  b.Event("OnHide", &TCustomForm::OnHide);
  b.Event("OnShow", &TCustomForm::OnShow);
}

KIVO_DEFINE_CLASS(TForm) {}
KIVO_DEFINE_CLASS(TCustomFrame) {}
KIVO_DEFINE_CLASS(TFrame) {}

KIVO_DEFINE_CLASS(TDataModule) {
  b.Event("OnCreate", &TDataModule::OnCreate);
  b.Event("OnDestroy", &TDataModule::OnDestroy);
}

KIVO_DEFINE_CLASS(TScreen) {}

// --- TScrollingWinControl

TScrollingWinControl::TScrollingWinControl(TComponent* owner) : TWinControl(owner) {}

// --- TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TScrollingWinControl(owner) {
  TControl::SetVisible(false);
  SetBounds(0, 0, 320, 240);
  Screen().AddForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  Screen().RemoveForm(this);
  DestroyComponents();
}

bool TCustomForm::Active() const { return Screen().ActiveForm() == this; }

void TCustomForm::SetActive(bool active) {
  TScreen& screen = Screen();
  if (active) {
    screen.SetActiveForm(this, true);
  } else if (screen.ActiveForm() == this) {
    screen.SetActiveForm(nullptr, true);
  }
}

void TCustomForm::SetVisible(bool visible) {
  const bool changed = visible != Visible();
  TScrollingWinControl::SetVisible(visible);
  if (ComponentState().Contains(csLoading)) return;
  if (visible) {
    if (changed && OnShow) OnShow(this);
    SetActive(true);
  } else {
    if (changed && OnHide) OnHide(this);
    SetActive(false);
  }
}

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  if (Visible()) SetVisible(true);
}

TForm::TForm(TComponent* owner) : TCustomForm(owner) {}

// --- Frames and data modules

TCustomFrame::TCustomFrame(TComponent* owner) : TScrollingWinControl(owner) {}

TCustomFrame::~TCustomFrame() {
  Destroying();
  DestroyComponents();
}

TFrame::TFrame(TComponent* owner) : TCustomFrame(owner) {}

TDataModule::TDataModule(TComponent* owner) : TComponent(owner) {}

TDataModule::~TDataModule() {
  Destroying();
  DestroyComponents();
}

// --- TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError::IndexError(index);
  return forms_[static_cast<size_t>(index)];
}

void TScreen::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(forms_, form);
  if (active_form_ == form) SetActiveForm(nullptr, false);
}

void TScreen::SetActiveForm(TCustomForm* form, bool notify_old) {
  if (form == active_form_) return;
  TCustomForm* old = active_form_;
  active_form_ = form;
  if (notify_old && old != nullptr && old->OnDeactivate) old->OnDeactivate(old);
  if (form != nullptr && form->OnActivate) form->OnActivate(form);
  if (OnActiveFormChange) OnActiveFormChange(this);
}

TScreen& Screen() {
  // Deliberately never destroyed: see the header.
  static TScreen* const screen = new TScreen(nullptr);
  return *screen;
}

}  // namespace kivo
