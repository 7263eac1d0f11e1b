// Panels: custom controls that group other controls, with a caption of their own.
//
//   auto* panel = new kivo::TPanel(form);
//   panel->SetParent(form);
//   panel->SetCaption("Options");
//   button->SetParent(panel);
//
// Threads: user-interface thread only.
#pragma once

#include "kivo/rtl/Controls.h"

namespace kivo {

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
// The value names of TPanelBevel.
const TEnumInfo& PanelBevelInfo();

class TCustomPanel : public TCustomControl {
  KIVO_CLASS(TCustomPanel, TCustomControl)

  // Creates a 185 × 41 panel with a raised outer bevel.
  explicit TCustomPanel(TComponent* owner);

  TPanelBevel BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TPanelBevel bevel) { bevel_inner_ = bevel; }
  TPanelBevel BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TPanelBevel bevel) { bevel_outer_ = bevel; }

 private:
  TPanelBevel bevel_inner_ = bvNone;
  TPanelBevel bevel_outer_ = bvRaised;
};

class TPanel : public TCustomPanel {
  KIVO_CLASS(TPanel, TCustomPanel)

  explicit TPanel(TComponent* owner);
};

}  // namespace kivo
