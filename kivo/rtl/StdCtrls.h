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

// The items of a combo box or list box: a TStringList whose entries may be rewritten while it
// keeps itself sorted.
//
// Rewriting an entry (SetStrings) of a sorted list replaces its string, keeps its object and
// moves the entry to the place of its new string, before the first string that compares equal,
// as one change. The entry is never refused or dropped as a duplicate: Duplicates governs
// additions only. On an unsorted list SetStrings replaces the string in place. Every other
// operation is TStringList's.
//
// Because a rewritten entry may move, a loop over the indexes 0 … Count() - 1 that rewrites each
// entry of a sorted list can meet a moved entry again and skip another. To rewrite every entry
// exactly once, put the loop inside an update bracket:
//
//   kivo::TStringsUpdate update(*box->Items());
//   for (int i = 0; i < box->Items()->Count(); ++i) {
//     box->Items()->SetStrings(i, Translate(box->Items()->Strings(i)));
//   }
//
// Deferred sorting. Inside an update bracket, rewriting an entry of a sorted list replaces its
// string in place, so each index keeps its entry; the outermost EndUpdate then sorts the list
// (stable: entries that compare equal keep their order) before it fires OnChange, and the sort
// fires nothing of its own. From the first such rewrite until that EndUpdate the list is out of
// order, and this class (used through its own type) still answers Sorted() true: Add and
// AddObject append, applying Duplicates by a linear search; Insert, InsertObject, Exchange, Move
// and CustomSort raise EStringListError "Operation not allowed on sorted list"; Sort does
// nothing; SetSorted(false) cancels the pending sort and keeps the current order. Meanwhile
// Find (a bisection) is meaningless, and TStringList::Sorted(), called through the base class,
// reads false.
// Threads: user-interface thread only.
class TListControlStrings : public TStringList {
  KIVO_CLASS(TListControlStrings, TStringList)

  TListControlStrings() = default;
  ~TListControlStrings() override = default;

  TListControlStrings(const TListControlStrings&) = delete;
  TListControlStrings& operator=(const TListControlStrings&) = delete;

  // Replaces the string at `index`, keeping its object; a sorted list moves the entry to its
  // place, or, inside an update bracket, leaves it in place until the outermost EndUpdate.
  // Throws: EListError "List index out of bounds (7)"; nothing has changed then.
  void SetStrings(int index, const std::string& s) override;
  // As TStringList's; raises while a sort is pending (see the class comment).
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list; as
  // TStringList::Insert.
  void Insert(int index, const std::string& s) override;
  // Throws: as Insert.
  void InsertObject(int index, const std::string& s, TObject* o) override;
  // As TStringList's; while a sort is pending, appends (see the class comment).
  // Throws: EStringListError "String list does not allow duplicates" (sorted, dupError).
  int AddObject(const std::string& s, TObject* o) override;
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list; as
  // TStringList::Exchange.
  void Exchange(int i, int j) override;
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list; as
  // TStringList::Move.
  void Move(int cur, int new_index) override;

  // True when the list keeps itself sorted, also while a sort is pending.
  bool Sorted() const { return TStringList::Sorted() || sort_pending_; }
  // As TStringList::SetSorted; turning sorting off cancels a pending sort.
  void SetSorted(bool sorted);
  // As TStringList::Sort; does nothing while a sort is pending.
  void Sort();
  // As TStringList::CustomSort.
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list, also
  // while a sort is pending; whatever `compare` throws.
  void CustomSort(const TStringListSortCompare& compare);

 protected:
  // The outermost EndUpdate sorts the list when a sort is pending.
  void SetUpdateState(bool updating) override;
  // Fire nothing while the outermost EndUpdate sorts the list.
  void Changing() override;
  void Changed() override;

 private:
  // Raises EStringListError "Operation not allowed on sorted list" while a sort is pending.
  void CheckNoSortPending() const;

  bool sort_pending_ = false;  // sorted, with entries rewritten in place inside a bracket
  bool resorting_ = false;     // the outermost EndUpdate is sorting the list
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

  // Creates a 145 × 21 combo without items, in the colour clWindow.
  explicit TCustomCombo(TComponent* owner);

  // The list's strings; on a sorted control, rewriting an item may move it (see
  // TListControlStrings). Ownership: the control owns them; never null.
  TListControlStrings* Items() const { return items_.get(); }
  // Copies the strings of `items` (TStrings::Assign).
  void SetItems(const TStrings* items) { items_->Assign(items); }
  // The index of the selected item, or -1.
  int ItemIndex() const;
  // Selects the item at `index` and puts its string into the edit text; -1 or an index outside
  // the items selects none and empties the edit text.
  void SetItemIndex(int index);

 private:
  std::unique_ptr<TListControlStrings> items_;
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
  // True when the items keep themselves sorted (Items()->Sorted()). ItemIndex is an index and
  // does not follow an item that sorting moves.
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

  // Creates a 121 × 97 list box without items, in the colour clWindow.
  explicit TCustomListBox(TComponent* owner);

  // The list's strings; on a sorted control, rewriting an item may move it (see
  // TListControlStrings). Ownership: the control owns them; never null.
  TListControlStrings* Items() const { return items_.get(); }
  // Copies the strings of `items` (TStrings::Assign).
  void SetItems(const TStrings* items) { items_->Assign(items); }
  // The index of the selected item, or -1.
  int ItemIndex() const;
  // Selects the item at `index` (-1: none); an index outside the items selects none.
  void SetItemIndex(int index) { item_index_ = index; }
  // True when the items keep themselves sorted (Items()->Sorted()). ItemIndex is an index and
  // does not follow an item that sorting moves.
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool sorted) { items_->SetSorted(sorted); }

 private:
  std::unique_ptr<TListControlStrings> items_;
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

  // Creates a 121 × 21 edit, in the colour clWindow.
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
