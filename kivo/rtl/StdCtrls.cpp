#include "kivo/rtl/StdCtrls.h"

#include <utility>

#include "kivo/rtl/Exceptions.h"

namespace kivo {

const TEnumInfo& CheckBoxStateInfo() {
  static const TEnumInfo info{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};
  return info;
}

const TEnumInfo& ComboBoxStyleInfo() {
  static const TEnumInfo info{
      "TComboBoxStyle",
      {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};
  return info;
}

namespace {

// Redeclares TControl's Color with the default of the controls that show text to edit or pick
// from, in the classes whose constructors set it.
template <class C>
void WindowColor(TClassBuilder<C>& b) {
  b.Integer("Color", &C::Color, &C::SetColor).Default(clWindow).Idents(ColorIdents());
}

}  // namespace

KIVO_DEFINE_CLASS(TButtonControl) {}

KIVO_DEFINE_CLASS(TButton) {
  b.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  b.String("Caption", &TButton::Caption, &TButton::SetCaption)
      .Stored(detail::StoredWithoutAction());
  b.Boolean("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  b.Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
}

KIVO_DEFINE_CLASS(TCustomCheckBox) {}

KIVO_DEFINE_CLASS(TCheckBox) {
  b.Boolean("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
  b.String("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption)
      .Stored(detail::StoredWithoutAction());
  b.Enumeration("State", CheckBoxStateInfo(), &TCheckBox::State, &TCheckBox::SetState)
      .Default(cbUnchecked);
}

KIVO_DEFINE_CLASS(TRadioButton) {
  b.String("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption)
      .Stored(detail::StoredWithoutAction());
  b.Boolean("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
}

KIVO_DEFINE_CLASS(TListControlStrings) {}
KIVO_DEFINE_CLASS(TCustomListControl) {}
KIVO_DEFINE_CLASS(TCustomMultiSelectListControl) {}
KIVO_DEFINE_CLASS(TCustomCombo) { WindowColor(b); }
KIVO_DEFINE_CLASS(TCustomComboBox) {}

KIVO_DEFINE_CLASS(TComboBox) {
  b.Enumeration("Style", ComboBoxStyleInfo(), &TComboBox::Style, &TComboBox::SetStyle)
      .Default(csDropDown);
  b.StringList(
      "Items", [](const TComboBox& box) -> TStringList* { return box.Items(); },
      &TComboBox::SetItems);
  b.Integer("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
  b.Boolean("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(false);
  b.String("Text", &TComboBox::Text, &TComboBox::SetText);
  b.Event("OnChange", &TComboBox::OnChange);
}

KIVO_DEFINE_CLASS(TCustomListBox) { WindowColor(b); }

KIVO_DEFINE_CLASS(TListBox) {
  b.StringList(
      "Items", [](const TListBox& box) -> TStringList* { return box.Items(); },
      &TListBox::SetItems);
  b.Integer("ItemIndex", &TListBox::ItemIndex, &TListBox::SetItemIndex).Default(-1);
  b.Boolean("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect).Default(false);
  b.Boolean("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
}

KIVO_DEFINE_CLASS(TCustomLabel) {}

KIVO_DEFINE_CLASS(TLabel) {
  b.String("Caption", &TLabel::Caption, &TLabel::SetCaption).Stored(detail::StoredWithoutAction());
  b.Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
}

KIVO_DEFINE_CLASS(TCustomEdit) { WindowColor(b); }

KIVO_DEFINE_CLASS(TEdit) {
  b.Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
  b.Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
  b.String("Text", &TEdit::Text, &TEdit::SetText);
  b.Event("OnChange", &TEdit::OnChange);
}

KIVO_DEFINE_CLASS(TCustomMemo) {}

KIVO_DEFINE_CLASS(TMemo) {
  b.StringList("Lines", &TMemo::Lines, &TMemo::SetLines);
  b.Integer("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0);
  b.Boolean("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
  b.Boolean("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
  b.Event("OnChange", &TMemo::OnChange);
}

KIVO_DEFINE_CLASS(TCustomGroupBox) {}

KIVO_DEFINE_CLASS(TGroupBox) {
  b.String("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption)
      .Stored(detail::StoredWithoutAction());
}

// --- Buttons

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 75, 25); }

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 97, 17);
}

TCheckBox::TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::SetChecked(bool checked) {
  checked_ = checked;
  if (!checked || Parent() == nullptr) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* other = As<TRadioButton>(Parent()->Controls(i));
    if (other != nullptr && other != this) other->checked_ = false;
  }
}

// --- List controls

namespace {

// Restores a flag or setting when the scope is left, also by an exception.
template <class Restore>
class TScopeExit {
 public:
  explicit TScopeExit(Restore restore) : restore_(std::move(restore)) {}
  ~TScopeExit() { restore_(); }

  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  Restore restore_;
};

}  // namespace

void TListControlStrings::SetStrings(int index, const std::string& s) {
  if (!Sorted()) {
    TStringList::SetStrings(index, s);
    return;
  }
  CheckIndex(index);
  if (UpdateCount() > 0) {
    // Deferred: in place now, sorted by the outermost EndUpdate.
    if (!sort_pending_) {
      TStringList::SetSorted(false);
      sort_pending_ = true;
    }
    TStringList::SetStrings(index, s);
    return;
  }
  TObject* object = Objects(index);
  TStringsUpdate update(*this);  // one change
  TStringList::Delete(index);
  const TDuplicates duplicates = Duplicates();
  SetDuplicates(dupAccept);  // the entry is rewritten, never refused or dropped
  TScopeExit restore([this, duplicates] { SetDuplicates(duplicates); });
  TStringList::AddObject(s, object);
}

void TListControlStrings::Insert(int index, const std::string& s) {
  CheckNoSortPending();
  TStringList::Insert(index, s);
}

void TListControlStrings::InsertObject(int index, const std::string& s, TObject* o) {
  CheckNoSortPending();
  TStringList::InsertObject(index, s, o);
}

int TListControlStrings::AddObject(const std::string& s, TObject* o) {
  if (!sort_pending_) return TStringList::AddObject(s, o);
  if (Duplicates() != dupAccept) {
    const int existing = IndexOf(s);  // linear: the list is out of order
    if (existing >= 0) {
      if (Duplicates() == dupError) throw EStringListError(SDuplicateString);
      return existing;
    }
  }
  TStringList::InsertObject(Count(), s, o);
  return Count() - 1;
}

void TListControlStrings::Exchange(int i, int j) {
  CheckNoSortPending();
  TStringList::Exchange(i, j);
}

void TListControlStrings::Move(int cur, int new_index) {
  CheckNoSortPending();
  TStringList::Move(cur, new_index);
}

void TListControlStrings::SetSorted(bool sorted) {
  if (sort_pending_) {
    if (!sorted) sort_pending_ = false;  // keeps the current order
    return;
  }
  TStringList::SetSorted(sorted);
}

void TListControlStrings::Sort() {
  if (!sort_pending_) TStringList::Sort();
}

void TListControlStrings::CustomSort(const TStringListSortCompare& compare) {
  CheckNoSortPending();
  TStringList::CustomSort(compare);
}

void TListControlStrings::SetUpdateState(bool updating) {
  if (!updating && sort_pending_) {
    sort_pending_ = false;
    resorting_ = true;
    TScopeExit restore([this] { resorting_ = false; });
    TStringList::SetSorted(true);
  }
  TStringList::SetUpdateState(updating);
}

void TListControlStrings::Changing() {
  if (!resorting_) TStringList::Changing();
}

void TListControlStrings::Changed() {
  if (!resorting_) TStringList::Changed();
}

void TListControlStrings::CheckNoSortPending() const {
  if (sort_pending_) throw EStringListError(SSortedListError);
}

TCustomListControl::TCustomListControl(TComponent* owner) : TWinControl(owner) {}

TCustomMultiSelectListControl::TCustomMultiSelectListControl(TComponent* owner)
    : TCustomListControl(owner) {}

TCustomCombo::TCustomCombo(TComponent* owner)
    : TCustomListControl(owner), items_(std::make_unique<TListControlStrings>()) {
  SetBounds(0, 0, 145, 21);
  SetColor(clWindow);
}

int TCustomCombo::ItemIndex() const {
  return item_index_ >= 0 && item_index_ < items_->Count() ? item_index_ : -1;
}

void TCustomCombo::SetItemIndex(int index) {
  item_index_ = index >= 0 && index < items_->Count() ? index : -1;
  SetText(item_index_ >= 0 ? items_->Strings(item_index_) : std::string());
}

TCustomComboBox::TCustomComboBox(TComponent* owner) : TCustomCombo(owner) {}

void TCustomComboBox::SetText(const std::string& text) {
  if (text == Text()) return;
  TCustomCombo::SetText(text);
  if (OnChange) OnChange(this);
}

TComboBox::TComboBox(TComponent* owner) : TCustomComboBox(owner) {}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TCustomMultiSelectListControl(owner), items_(std::make_unique<TListControlStrings>()) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
}

int TCustomListBox::ItemIndex() const {
  return item_index_ >= 0 && item_index_ < items_->Count() ? item_index_ : -1;
}

TListBox::TListBox(TComponent* owner) : TCustomListBox(owner) {}

// --- Labels, edits, group boxes

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 65, 13); }

TLabel::TLabel(TComponent* owner) : TCustomLabel(owner) {}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
}

void TCustomEdit::SetText(const std::string& text) {
  if (text == Text()) return;
  TWinControl::SetText(text);
  Change();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) {}

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), lines_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 185, 89);
  lines_->OnChange = [this](TObject*) { Change(); };
}

TCustomMemo::~TCustomMemo() { lines_->OnChange = nullptr; }

std::string TCustomMemo::GetText() const { return lines_->Text(); }

void TCustomMemo::SetText(const std::string& text) { lines_->SetText(text); }

TMemo::TMemo(TComponent* owner) : TCustomMemo(owner) {}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 185, 105);
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}

}  // namespace kivo
