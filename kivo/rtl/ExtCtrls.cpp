#include "kivo/rtl/ExtCtrls.h"

namespace kivo {

const TEnumInfo& PanelBevelInfo() {
  static const TEnumInfo info{"TPanelBevel", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
  return info;
}

KIVO_DEFINE_CLASS(TCustomPanel) {}

KIVO_DEFINE_CLASS(TPanel) {
  b.Enumeration("BevelInner", PanelBevelInfo(), &TPanel::BevelInner, &TPanel::SetBevelInner)
      .Default(bvNone);
  b.Enumeration("BevelOuter", PanelBevelInfo(), &TPanel::BevelOuter, &TPanel::SetBevelOuter)
      .Default(bvRaised);
  b.String("Caption", &TPanel::Caption, &TPanel::SetCaption).Stored(detail::StoredWithoutAction());
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

TPanel::TPanel(TComponent* owner) : TCustomPanel(owner) {}

}  // namespace kivo
