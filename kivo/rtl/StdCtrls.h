// The standard controls: buttons, check boxes, radio buttons, combo and list boxes, labels,
// edits, memos and group boxes.
//
// Each keeps its texts where a form designer puts them: the caption of a button, check box,
// radio button, label or group box is the control's Text; a combo box has an edit text (Text)
// and a list of items (`Items`); a list box has `Items`; a memo's text is its `Lines`.
//
//   auto* box = new kivo::TComboBox(form);
//   box->Items()->Add("Red");
//   box->Items()->Add("Green");
//   box->SetItemIndex(1);  // Text() == "Green"
//
// The class tree follows the classic one: button controls, list controls and edits are
// windowed controls (TWinControl) but not custom controls; labels are graphic controls; group
// boxes are custom controls.
// Threads: user-interface thread only.
#pragma once

#include <memory>
#include <string>

#include "kivo/rtl/Controls.h"
#include "kivo/rtl/Strings.h"

namespace kivo {

// Base of push buttons, check boxes and radio buttons.
class TButtonControl : public TWinControl {
  KIVO_CLASS(TButtonControl, TWinControl)

  explicit TButtonControl(TComponent* owner);
};

class TButton : public TButtonControl {
  KIVO_CLASS(TButton, TButtonControl)

  // Creates a 75 × 25 button.
  explicit TButton(TComponent* owner);

  // True for the button that Enter presses.
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  // True for the button that Escape presses.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  // The result a modal form returns when the button is pressed (0: none).
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int value) { modal_result_ = value; }

 private:
  bool default_ = false;
  bool cancel_ = false;
  int modal_result_ = 0;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
// The value names of TCheckBoxState.
const TEnumInfo& CheckBoxStateInfo();

class TCustomCheckBox : public TButtonControl {
  KIVO_CLASS(TCustomCheckBox, TButtonControl)

  explicit TCustomCheckBox(TComponent* owner);

  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState state) { state_ = state; }
  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool checked) { state_ = checked ? cbChecked : cbUnchecked; }
  // True when the box may show the grayed state.
  bool AllowGrayed() const { return allow_grayed_; }
  void SetAllowGrayed(bool value) { allow_grayed_ = value; }

 protected:
  void ActionCheckedChanged(bool checked) override { SetChecked(checked); }

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allow_grayed_ = false;
};

class TCheckBox : public TCustomCheckBox {
  KIVO_CLASS(TCheckBox, TCustomCheckBox)

  explicit TCheckBox(TComponent* owner);
};

class TRadioButton : public TButtonControl {
  KIVO_CLASS(TRadioButton, TButtonControl)

  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return checked_; }
  // Checking a radio button unchecks the other radio buttons of the same parent.
  void SetChecked(bool checked);

 protected:
  void ActionCheckedChanged(bool checked) override { SetChecked(checked); }

 private:
  bool checked_ = false;
};

// Base of the controls that show a list of strings (combo boxes, list boxes).
class TCustomListControl : public TWinControl {
  KIVO_CLASS(TCustomListControl, TWinControl)

  explicit TCustomListControl(TComponent* owner);
};

// A list control in which several items can be selected.
class TCustomMultiSelectListControl : public TCustomListControl {
  KIVO_CLASS(TCustomMultiSelectListControl, TCustomListControl)

  explicit TCustomMultiSelectListControl(TComponent* owner);

  bool MultiSelect() const { return multi_select_; }
  void SetMultiSelect(bool value) { multi_select_ = value; }

 private:
  bool multi_select_ = false;
};

// A list control with an edit part.
class TCustomCombo : public TCustomListControl {
  KIVO_CLASS(TCustomCombo, TCustomListControl)

  explicit TCustomCombo(TComponent* owner);

  // The list's strings. Ownership: the control owns them; never null.
  TStringList* Items() const { return items_.get(); }
  // Copies the strings of `items` (TStrings::Assign).
  void SetItems(const TStrings* items) { items_->Assign(items); }
  // The index of the selected item, or -1.
  int ItemIndex() const;
  // Selects the item at `index` and puts its string into the edit text; -1 or an index outside
  // the items selects none and empties the edit text.
  void SetItemIndex(int index);

 private:
  std::unique_ptr<TStringList> items_;
  int item_index_ = -1;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
// The value names of TComboBoxStyle.
const TEnumInfo& ComboBoxStyleInfo();

class TCustomComboBox : public TCustomCombo {
  KIVO_CLASS(TCustomComboBox, TCustomCombo)

  explicit TCustomComboBox(TComponent* owner);

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style) { style_ = style; }
  bool Sorted() const { return Items()->Sorted(); }
  void SetSorted(bool sorted) { Items()->SetSorted(sorted); }

  // Stores the edit text and fires OnChange when it changed.
  void SetText(const std::string& text) override;

  TNotifyEvent OnChange;

 private:
  TComboBoxStyle style_ = csDropDown;
};

class TComboBox : public TCustomComboBox {
  KIVO_CLASS(TComboBox, TCustomComboBox)

  explicit TComboBox(TComponent* owner);
};

class TCustomListBox : public TCustomMultiSelectListControl {
  KIVO_CLASS(TCustomListBox, TCustomMultiSelectListControl)

  explicit TCustomListBox(TComponent* owner);

  // The list's strings. Ownership: the control owns them; never null.
  TStringList* Items() const { return items_.get(); }
  // Copies the strings of `items` (TStrings::Assign).
  void SetItems(const TStrings* items) { items_->Assign(items); }
  // The index of the selected item, or -1.
  int ItemIndex() const;
  // Selects the item at `index` (-1: none); an index outside the items selects none.
  void SetItemIndex(int index) { item_index_ = index; }
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool sorted) { items_->SetSorted(sorted); }

 private:
  std::unique_ptr<TStringList> items_;
  int item_index_ = -1;
};

class TListBox : public TCustomListBox {
  KIVO_CLASS(TListBox, TCustomListBox)

  explicit TListBox(TComponent* owner);
};

class TCustomLabel : public TGraphicControl {
  KIVO_CLASS(TCustomLabel, TGraphicControl)

  explicit TCustomLabel(TComponent* owner);

  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool value) { word_wrap_ = value; }

 private:
  bool word_wrap_ = false;
};

class TLabel : public TCustomLabel {
  KIVO_CLASS(TLabel, TCustomLabel)

  explicit TLabel(TComponent* owner);
};

class TCustomEdit : public TWinControl {
  KIVO_CLASS(TCustomEdit, TWinControl)

  explicit TCustomEdit(TComponent* owner);

  // The longest text the user may type (0: no limit).
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int value) { max_length_ = value; }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value) { read_only_ = value; }

  // Stores the text and fires OnChange when it changed.
  void SetText(const std::string& text) override;

  TNotifyEvent OnChange;

 protected:
  // Fires OnChange.
  void Change();

 private:
  int max_length_ = 0;
  bool read_only_ = false;
};

class TEdit : public TCustomEdit {
  KIVO_CLASS(TEdit, TCustomEdit)

  explicit TEdit(TComponent* owner);
};

// A multi-line edit: its text is its lines, joined by line breaks.
class TCustomMemo : public TCustomEdit {
  KIVO_CLASS(TCustomMemo, TCustomEdit)

  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  // The memo's lines. Ownership: the control owns them; never null. Each change of the lines
  // fires the memo's OnChange.
  TStringList* Lines() const { return lines_.get(); }
  // Copies the strings of `lines` (TStrings::Assign).
  void SetLines(const TStrings* lines) { lines_->Assign(lines); }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool value) { word_wrap_ = value; }

  // Lines().Text().
  std::string GetText() const override;
  // Replaces the lines by the lines of `text` (TStrings::SetText).
  void SetText(const std::string& text) override;

 private:
  std::unique_ptr<TStringList> lines_;
  bool word_wrap_ = true;
};

class TMemo : public TCustomMemo {
  KIVO_CLASS(TMemo, TCustomMemo)

  explicit TMemo(TComponent* owner);
};

class TCustomGroupBox : public TCustomControl {
  KIVO_CLASS(TCustomGroupBox, TCustomControl)

  explicit TCustomGroupBox(TComponent* owner);
};

class TGroupBox : public TCustomGroupBox {
  KIVO_CLASS(TGroupBox, TCustomGroupBox)

  explicit TGroupBox(TComponent* owner);
};

}  // namespace kivo
