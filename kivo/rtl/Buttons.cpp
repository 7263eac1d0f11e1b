#include "kivo/rtl/Buttons.h"

namespace kivo {

KIVO_DEFINE_CLASS(TSpeedButton) {
  b.Boolean("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
  b.String("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption)
      .Stored(detail::StoredWithoutAction());
  b.Integer("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  b.Boolean("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
  b.Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::SetDown(bool down) {
  down_ = down;
  if (!down || group_index_ == 0 || Parent() == nullptr) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = As<TSpeedButton>(Parent()->Controls(i));
    if (other != nullptr && other != this && other->group_index_ == group_index_) {
      other->down_ = false;
    }
  }
}

}  // namespace kivo
