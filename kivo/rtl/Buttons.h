// Speed buttons: graphic (windowless) buttons for tool strips, optionally grouped so that one
// of a group stays down.
//
//   auto* bold = new kivo::TSpeedButton(form);
//   bold->SetGroupIndex(1);
//   bold->SetAllowAllUp(true);
//   bold->SetDown(true);
//
// Threads: user-interface thread only.
#pragma once

#include "kivo/rtl/Controls.h"

namespace kivo {

class TSpeedButton : public TGraphicControl {
  KIVO_CLASS(TSpeedButton, TGraphicControl)

  // Creates a 23 × 22 button.
  explicit TSpeedButton(TComponent* owner);

  // Buttons of the same parent with the same non-zero group index act as one group.
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int index) { group_index_ = index; }
  bool Down() const { return down_; }
  // Pressing a grouped button down releases the other buttons of its group.
  void SetDown(bool down);
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool value) { allow_all_up_ = value; }
  bool Flat() const { return flat_; }
  void SetFlat(bool value) { flat_ = value; }

 protected:
  void ActionCheckedChanged(bool checked) override { SetDown(checked); }

 private:
  int group_index_ = 0;
  bool down_ = false;
  bool allow_all_up_ = false;
  bool flat_ = false;
};

}  // namespace kivo
