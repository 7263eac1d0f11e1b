// Controls: the visual components of a form, in a parent tree beside the ownership tree.
//
// A `TControl` is a component with a text (its caption or window text), a hint, a font, a
// colour, a position and size, visibility and an optional action. A `TWinControl` (a windowed
// control) can contain other controls: its child controls, in their own order (`Controls(i)`).
// Being a child (`Parent`) and being owned (`Owner`) are separate: a form usually owns every
// control on it, while a button's parent may be a panel. No window system stands behind the
// controls; they keep the state that a form designer sets and that a translation rewrites.
//
//   kivo::TForm form(nullptr);
//   auto* panel = new kivo::TPanel(&form);   // owned by the form
//   panel->SetParent(&form);
//   auto* ok = new kivo::TButton(&form);     // owned by the form…
//   ok->SetParent(panel);                    // …shown on the panel
//   ok->SetText("OK");
//   panel->Controls(0);                      // == ok
//
// Lifetime. A control being destroyed leaves its parent's list. A windowed control being
// destroyed first destroys the components it owns, then detaches the child controls that
// remain (their Parent becomes null); it never destroys a child it does not own. So no parent or
// child pointer dangles, in whatever order a form's components go.
//
// Form files. A control read nested inside a windowed control becomes its child
// (SetParentComponent), and a windowed control writes its child controls nested inside it, in
// child order (GetChildren). So the parent tree survives a round trip through a form file.
//
// Actions. `SetAction` links a control to an action: the control takes the action's caption,
// hint, enabled and visible state, and follows later changes (ActnList.h).
//
// Threads: user-interface thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/Component.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Graphics.h"

namespace kivo {

class TWinControl;

inline constexpr const char* SControlParentSetToSelf = "A control cannot have itself as its parent";

// An operation not allowed on a control in its state, such as parenting it to itself.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

// Where a control sits within its parent. Stored for the designer; no layout is computed.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// The value names of TAlign.
const TEnumInfo& AlignInfo();

namespace detail {
// A stored-ness test for the properties that a linked action supplies (caption, hint, enabled,
// visible): stored while the control has no action.
std::function<bool(const TObject&)> StoredWithoutAction();
}  // namespace detail

class TControl : public TComponent {
  KIVO_CLASS(TControl, TComponent)

  // Creates a visible, enabled control without parent, with the default font and the colour
  // clBtnFace.
  explicit TControl(TComponent* owner);
  // Drops its action link and leaves its parent's list of child controls.
  ~TControl() override;

  // The windowed control that contains this control, or null.
  TWinControl* Parent() const { return parent_; }
  // Moves the control to the end of `parent`'s child controls (null: no parent).
  // Throws: EInvalidOperation "A control cannot have itself as its parent" when `parent` is this
  // control or one of its descendants; nothing changes then.
  virtual void SetParent(TWinControl* parent);

  // The control's text: its caption or window text, as GetText answers.
  std::string Text() const { return GetText(); }
  // The caption; the same text as Text.
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& caption) { SetText(caption); }
  // Reads the text; the base answers the stored text.
  virtual std::string GetText() const;
  // Writes the text; the base stores it.
  virtual void SetText(const std::string& text);

  const std::string& Hint() const { return hint_; }
  // Stores the hint; nothing else happens.
  void SetHint(const std::string& hint) { hint_ = hint; }

  // The control's font. Ownership: the control owns it; never null.
  TFont* Font() const { return font_.get(); }
  // Copies every attribute of `font` into the control's font (TFont::Assign).
  // Throws: EConvertError "Cannot assign a nil to a TFont" for null.
  void SetFont(const TFont* font) { font_->Assign(font); }

  // The background colour (controls that show text to edit or pick from use clWindow).
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align) { align_ = align; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
  // Moves and sizes the control in one step.
  virtual void SetBounds(int left, int top, int width, int height);

  // The linked action, or null.
  TBasicAction* Action() const;
  // Links the control to `action` (null: unlinks). A TCustomAction's caption, hint, enabled
  // and visible state are copied into the control at once and again whenever they change.
  void SetAction(TBasicAction* action);

  // Fires OnClick; without OnClick, executes the linked action.
  virtual void Click();

  // Drops the action link when the linked action is removed.
  void Notification(TComponent* component, TOperation operation) override;
  // Becomes a child of `parent` when it is a windowed control (SetParent); other parents are
  // ignored.
  // Throws: as SetParent.
  void SetParentComponent(TComponent* parent) override;

  TNotifyEvent OnClick;

 protected:
  // The action link calls these when the linked action changes; overrides may react to the
  // checked state (check boxes, speed buttons). The base ignores Checked.
  virtual void ActionCheckedChanged(bool /*checked*/) {}

 private:
  friend class TWinControl;
  friend class TControlActionLink;

  TWinControl* parent_ = nullptr;  // Not owned; the parent lists this control.
  std::string text_;
  std::string hint_;
  std::unique_ptr<TFont> font_;
  TColor color_ = clBtnFace;
  bool visible_ = true;
  bool enabled_ = true;
  TAlign align_ = alNone;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<TBasicActionLink> action_link_;  // null while no action was linked
};

// The link between a control and its action: passes the action's state on to the control.
class TControlActionLink : public TBasicActionLink {
  KIVO_CLASS(TControlActionLink, TBasicActionLink)

  // Ownership: `client` owns the link and outlives it.
  explicit TControlActionLink(TControl* client) : client_(client) {}

  void SetCaption(const std::string& caption) override { client_->SetText(caption); }
  void SetHint(const std::string& hint) override { client_->SetHint(hint); }
  void SetEnabled(bool enabled) override { client_->SetEnabled(enabled); }
  void SetVisible(bool visible) override { client_->SetVisible(visible); }
  void SetChecked(bool checked) override { client_->ActionCheckedChanged(checked); }

 private:
  TControl* client_;  // Not owned; owns this link.
};

// A control without a window of its own, that cannot contain other controls (labels, speed
// buttons, tool buttons).
class TGraphicControl : public TControl {
  KIVO_CLASS(TGraphicControl, TControl)

  explicit TGraphicControl(TComponent* owner);
};

// A control that can contain child controls.
class TWinControl : public TControl {
  KIVO_CLASS(TWinControl, TControl)

  explicit TWinControl(TComponent* owner);
  // Destroys the components it owns, then leaves its remaining child controls without parent.
  ~TWinControl() override;

  // The number of child controls.
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // The child control at `index`, in the order the children joined.
  // Throws: EListError "List index out of bounds (%d)".
  TControl* Controls(int index) const;
  // Makes `control` a child of this control (control->SetParent(this)).
  // Throws: as TControl::SetParent.
  void InsertControl(TControl* control);
  // Leaves `control` without parent when it is a child of this control; otherwise nothing.
  void RemoveControl(TControl* control);
  // True when `control` is this control or lies below it in the parent tree.
  bool ContainsControl(const TControl* control) const;

  // The child controls, in child order (Controls(i)), whoever owns them.
  void GetChildren(std::vector<TComponent*>& children) const override;

 private:
  friend class TControl;

  std::vector<TControl*> controls_;  // Not owned; each child leaves on destruction.
};

// A windowed control that draws itself (panels, group boxes).
class TCustomControl : public TWinControl {
  KIVO_CLASS(TCustomControl, TWinControl)

  explicit TCustomControl(TComponent* owner);
};

}  // namespace kivo
