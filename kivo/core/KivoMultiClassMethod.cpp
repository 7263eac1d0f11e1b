#include "kivo/core/KivoMultiClassMethod.h"

#include <memory>
#include <utility>
#include <vector>

#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/Buttons.h"
#include "kivo/rtl/ComCtrls.h"
#include "kivo/rtl/Controls.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/Menus.h"
#include "kivo/rtl/StdCtrls.h"
#include "kivo/rtl/Strings.h"

namespace kivo {

TMultiClassMethodStorage* KivoClassMethodStorage = nullptr;

KIVO_DEFINE_CLASS(TClassMethod) {}
KIVO_DEFINE_CLASS(TMultiClassMethodStorage) {}

// --- TClassMethod

TClassMethod::TClassMethod(TClass method_class, TClassMethodProc proc)
    : class_(method_class), proc_(proc) {}

TClassMethod::~TClassMethod() {
  TClassMethod* next = next_sibling_;
  TClassMethod* child = first_child_;
  next_sibling_ = nullptr;
  first_child_ = nullptr;
  DestroyChain(next);
  DestroyChain(child);
}

void TClassMethod::DestroyChain(TClassMethod* entry) {
  // Seen as a binary tree (first child left, next sibling right): an entry with a left subtree
  // is rotated right until the entry on top has none; that one is unlinked and destroyed, and
  // its right subtree comes next. No recursion and no allocation, however long the chains.
  while (entry != nullptr) {
    TClassMethod* child = entry->first_child_;
    if (child != nullptr) {
      entry->first_child_ = child->next_sibling_;
      child->next_sibling_ = entry;
      entry = child;
    } else {
      TClassMethod* next = entry->next_sibling_;
      entry->next_sibling_ = nullptr;
      delete entry;  // without links: destroys nothing else
      entry = next;
    }
  }
}

// --- TMultiClassMethodStorage

TMultiClassMethodStorage::~TMultiClassMethodStorage() { TMultiClassMethodStorage::Clear(); }

void TMultiClassMethodStorage::RegisterClassMethod(TClass method_class, TClassMethodProc proc) {
  if (method_class == nullptr) return;
  if (TClassMethod* existing = GetClassMethod(method_class)) {
    existing->proc_ = proc;
    return;
  }
  auto* entry = new TClassMethod(method_class, proc);
  // Roots that descend from the new class become its children, in their list order.
  for (int i = Count() - 1; i >= 0; --i) {
    auto* root = static_cast<TClassMethod*>(Items(i));
    if (!root->class_->InheritsFrom(method_class)) continue;
    Delete(i);
    root->next_sibling_ = entry->first_child_;
    root->parent_ = entry;
    entry->first_child_ = root;
  }
  TClassMethod* parent = GetNearstClassMethod(method_class);
  if (parent == nullptr) {
    Add(entry);
    return;
  }
  // Children of the parent that descend from the new class move under it.
  TClassMethod** link = &parent->first_child_;
  while (*link != nullptr) {
    TClassMethod* child = *link;
    if (child->class_->InheritsFrom(method_class)) {
      *link = child->next_sibling_;
      child->next_sibling_ = entry->first_child_;
      child->parent_ = entry;
      entry->first_child_ = child;
    } else {
      link = &child->next_sibling_;
    }
  }
  entry->next_sibling_ = parent->first_child_;
  entry->parent_ = parent;
  parent->first_child_ = entry;
}

TClassMethod* TMultiClassMethodStorage::GetClassMethod(TClass method_class) const {
  // An entry lies on the path that the nearest lookup follows for its own class, so the nearest
  // entry is the exact one when the class has one; no other entry needs to be looked at.
  TClassMethod* entry = GetNearstClassMethod(method_class);
  return entry != nullptr && entry->class_ == method_class ? entry : nullptr;
}

void TMultiClassMethodStorage::Clear() {
  for (int i = Count() - 1; i >= 0; --i) delete static_cast<TClassMethod*>(Items(i));
  TList::Clear();
}

void TMultiClassMethodStorage::UnRegisterClassMethod(TClass method_class) {
  TClassMethod* entry = GetNearstClassMethod(method_class);
  if (entry == nullptr || entry->class_ != method_class) return;
  TClassMethod* parent = entry->parent_;
  if (parent != nullptr) {
    TClassMethod** link = &parent->first_child_;
    while (*link != entry) link = &(*link)->next_sibling_;
    if (entry->first_child_ == nullptr) {
      *link = entry->next_sibling_;
    } else {
      *link = entry->first_child_;
      TClassMethod* last = entry->first_child_;
      for (TClassMethod* child = last; child != nullptr; child = child->next_sibling_) {
        child->parent_ = parent;
        last = child;
      }
      last->next_sibling_ = entry->next_sibling_;
    }
  } else {
    TClassMethod* child = entry->first_child_;
    while (child != nullptr) {
      TClassMethod* next = child->next_sibling_;
      child->parent_ = nullptr;
      child->next_sibling_ = nullptr;
      Add(child);
      child = next;
    }
    Delete(IndexOf(entry));
  }
  entry->first_child_ = nullptr;
  entry->next_sibling_ = nullptr;
  entry->parent_ = nullptr;
  delete entry;
}

TClassMethod* TMultiClassMethodStorage::GetNearstClassMethod(TClass method_class) const {
  if (method_class == nullptr) return nullptr;
  TClassMethod* candidate = nullptr;
  for (int i = 0; i < Count() && candidate == nullptr; ++i) {
    auto* root = static_cast<TClassMethod*>(Items(i));
    if (method_class->InheritsFrom(root->class_)) candidate = root;
  }
  if (candidate == nullptr) return nullptr;
  for (TClassMethod* child = candidate->first_child_; child != nullptr;) {
    if (method_class->InheritsFrom(child->class_)) {
      candidate = child;
      child = child->first_child_;
    } else {
      child = child->next_sibling_;
    }
  }
  return candidate;
}

namespace {

// Keeps an update bracket of a node list, item list, collection or string list open for a scope.
template <class T>
class TUpdateGuard {
 public:
  explicit TUpdateGuard(T& target) : target_(target) { target_.BeginUpdate(); }
  ~TUpdateGuard() { target_.EndUpdate(); }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

 private:
  T& target_;
};

}  // namespace

void TMultiClassMethodStorage::DumpToTree(TCustomTreeView& tree_view) const {
  TTreeNodes& nodes = *tree_view.Items();
  TUpdateGuard<TTreeNodes> update(nodes);
  nodes.Clear();
  // Each entry is added when it is taken from the stack: its children first (pushed last), so
  // that a whole subtree is added before the entry's next sibling.
  std::vector<std::pair<const TClassMethod*, TTreeNode*>> pending;
  for (int i = 0; i < Count(); ++i) {
    pending.emplace_back(static_cast<const TClassMethod*>(Items(i)), nullptr);
    while (!pending.empty()) {
      auto [entry, parent_node] = pending.back();
      pending.pop_back();
      TTreeNode* node = nodes.AddChild(parent_node, entry->MethodClass()->Name());
      if (entry->NextSibling() != nullptr) pending.emplace_back(entry->NextSibling(), parent_node);
      if (entry->FirstChild() != nullptr) pending.emplace_back(entry->FirstChild(), node);
    }
  }
}

// --- Lookup

std::string GetDisplayValue(IDataLocate& locate, const std::string& dd_key,
                            const std::string& code_page, const std::string& seq_no) {
  if (dd_key.empty()) return std::string();
  return locate.GetDisplayValue(dd_key, code_page, seq_no);
}

// --- The standard handlers

namespace {

// Translates every string of `strings`, index 0 upwards, in place.
void TranslateStrings(IDataLocate& locate, TStrings& strings, const std::string& code_page,
                      const std::string& seq_no) {
  const int count = strings.Count();
  for (int i = 0; i < count; ++i) {
    strings.SetStrings(i, GetDisplayValue(locate, strings.Strings(i), code_page, seq_no));
  }
}

// Translates the items of a list or combo box. A sorted control would move an item as soon as
// it is rewritten; inside an update bracket it keeps every item in place and sorts once at the
// end, so that each original item is translated exactly once.
void TranslateListItems(IDataLocate& locate, TListControlStrings& items,
                        const std::string& code_page, const std::string& seq_no) {
  if (!items.Sorted()) {
    TranslateStrings(locate, items, code_page, seq_no);
    return;
  }
  TStringsUpdate update(items);
  TranslateStrings(locate, items, code_page, seq_no);
}

// Translates the Text of `control`.
void TranslateText(IDataLocate& locate, TControl& control, const std::string& code_page,
                   const std::string& seq_no) {
  control.SetText(GetDisplayValue(locate, control.GetText(), code_page, seq_no));
}

// Translates the Text of every item of a collection of items with Text/SetText.
template <class TItems>
void TranslateItemTexts(IDataLocate& locate, TItems& items, const std::string& code_page,
                        const std::string& seq_no) {
  const int count = items.Count();
  for (int i = 0; i < count; ++i) {
    auto* item = items.Items(i);
    item->SetText(GetDisplayValue(locate, item->Text(), code_page, seq_no));
  }
}

void Proc_TCustomControl(IDataLocate& locate, TObject* object, const std::string& code_page,
                         const std::string& seq_no, TFont* /*font*/) {
  TranslateText(locate, *static_cast<TCustomControl*>(object), code_page, seq_no);
}

void Proc_TCustomTabControl(IDataLocate& locate, TObject* object, const std::string& code_page,
                            const std::string& seq_no, TFont* /*font*/) {
  TranslateStrings(locate, *static_cast<TCustomTabControl*>(object)->Tabs(), code_page, seq_no);
}

void Proc_TPageControl(IDataLocate& locate, TObject* object, const std::string& code_page,
                       const std::string& seq_no, TFont* /*font*/) {
  auto* pages = static_cast<TPageControl*>(object);
  const int count = pages->GetPageCount();
  for (int i = 0; i < count; ++i) TranslateText(locate, *pages->GetPage(i), code_page, seq_no);
}

void Proc_TButtonControl(IDataLocate& locate, TObject* object, const std::string& code_page,
                         const std::string& seq_no, TFont* /*font*/) {
  TranslateText(locate, *static_cast<TButtonControl*>(object), code_page, seq_no);
}

void Proc_TCustomComboBox(IDataLocate& locate, TObject* object, const std::string& code_page,
                          const std::string& seq_no, TFont* /*font*/) {
  TranslateListItems(locate, *static_cast<TCustomComboBox*>(object)->Items(), code_page, seq_no);
}

void Proc_TCustomTreeView(IDataLocate& locate, TObject* object, const std::string& code_page,
                          const std::string& seq_no, TFont* /*font*/) {
  TTreeNodes& nodes = *static_cast<TCustomTreeView*>(object)->Items();
  TUpdateGuard<TTreeNodes> update(nodes);
  const int count = nodes.Count();
  for (int i = 0; i < count; ++i) {
    TTreeNode* node = nodes.Item(i);
    node->SetText(GetDisplayValue(locate, node->Text(), code_page, seq_no));
  }
}

void Proc_TCustomListView(IDataLocate& locate, TObject* object, const std::string& code_page,
                          const std::string& seq_no, TFont* /*font*/) {
  auto* view = static_cast<TCustomListView*>(object);
  TListColumns& columns = *view->Columns();
  TListItems& items = *view->Items();
  TUpdateGuard<TListColumns> columns_update(columns);
  TUpdateGuard<TListItems> items_update(items);  // closed first
  const int column_count = columns.Count();
  for (int i = 0; i < column_count; ++i) {
    TListColumn* column = columns.Items(i);
    column->SetCaption(GetDisplayValue(locate, column->Caption(), code_page, seq_no));
  }
  const int item_count = items.Count();
  for (int i = 0; i < item_count; ++i) {
    TListItem* item = items.Item(i);
    item->SetCaption(GetDisplayValue(locate, item->Caption(), code_page, seq_no));
    TranslateStrings(locate, *item->SubItems(), code_page, seq_no);
  }
}

void Proc_TCustomListBox(IDataLocate& locate, TObject* object, const std::string& code_page,
                         const std::string& seq_no, TFont* /*font*/) {
  TranslateListItems(locate, *static_cast<TCustomListBox*>(object)->Items(), code_page, seq_no);
}

void Proc_TCustomHeaderControl(IDataLocate& locate, TObject* object, const std::string& code_page,
                               const std::string& seq_no, TFont* /*font*/) {
  TranslateItemTexts(locate, *static_cast<TCustomHeaderControl*>(object)->Sections(), code_page,
                     seq_no);
}

void Proc_TCustomStatusBar(IDataLocate& locate, TObject* object, const std::string& code_page,
                           const std::string& seq_no, TFont* /*font*/) {
  auto* bar = static_cast<TCustomStatusBar*>(object);
  TranslateItemTexts(locate, *bar->Panels(), code_page, seq_no);
  TranslateText(locate, *bar, code_page, seq_no);
}

void Proc_TCustomLabel(IDataLocate& locate, TObject* object, const std::string& code_page,
                       const std::string& seq_no, TFont* /*font*/) {
  TranslateText(locate, *static_cast<TCustomLabel*>(object), code_page, seq_no);
}

void Proc_TSpeedButton(IDataLocate& locate, TObject* object, const std::string& code_page,
                       const std::string& seq_no, TFont* /*font*/) {
  TranslateText(locate, *static_cast<TSpeedButton*>(object), code_page, seq_no);
}

void Proc_TToolBar(IDataLocate& locate, TObject* object, const std::string& code_page,
                   const std::string& seq_no, TFont* /*font*/) {
  auto* bar = static_cast<TToolBar*>(object);
  const int count = bar->GetButtonCount();
  for (int i = 0; i < count; ++i) TranslateText(locate, *bar->GetButton(i), code_page, seq_no);
}

void Proc_TCoolBar(IDataLocate& locate, TObject* object, const std::string& code_page,
                   const std::string& seq_no, TFont* /*font*/) {
  TranslateItemTexts(locate, *static_cast<TCoolBar*>(object)->Bands(), code_page, seq_no);
}

void Proc_TCustomForm(IDataLocate& locate, TObject* object, const std::string& code_page,
                      const std::string& seq_no, TFont* /*font*/) {
  TranslateText(locate, *static_cast<TCustomForm*>(object), code_page, seq_no);
}

// Translates the caption and hint of `item`, then its sub-items, depth first.
void TranslateMenuItem(IDataLocate& locate, TMenuItem& item, const std::string& code_page,
                       const std::string& seq_no) {
  item.SetCaption(GetDisplayValue(locate, item.Caption(), code_page, seq_no));
  item.SetHint(GetDisplayValue(locate, item.Hint(), code_page, seq_no));
  const int count = item.Count();
  for (int i = 0; i < count; ++i) TranslateMenuItem(locate, *item.Items(i), code_page, seq_no);
}

void Proc_TMenu(IDataLocate& locate, TObject* object, const std::string& code_page,
                const std::string& seq_no, TFont* /*font*/) {
  TMenuItem& root = *static_cast<TMenu*>(object)->Items();  // not translated itself
  const int count = root.Count();
  for (int i = 0; i < count; ++i) TranslateMenuItem(locate, *root.Items(i), code_page, seq_no);
}

}  // namespace

void Proc_TCustomActionList(IDataLocate& locate, TObject* object, const std::string& code_page,
                            const std::string& seq_no, TFont* /*font*/) {
  auto* list = static_cast<TCustomActionList*>(object);
  const int count = list->GetActionCount();
  for (int i = 0; i < count; ++i) {
    auto* action = As<TCustomAction>(list->GetAction(i));
    if (action == nullptr) continue;
    action->SetCaption(GetDisplayValue(locate, action->Caption(), code_page, seq_no));
    action->SetHint(GetDisplayValue(locate, action->Hint(), code_page, seq_no));
  }
}

// --- Start-up and shut-down

void InitializeClassMethods() {
  if (KivoClassMethodStorage != nullptr) return;
  auto storage = std::make_unique<TMultiClassMethodStorage>();
  storage->RegisterClassMethod(TCustomControl::StaticClass(), Proc_TCustomControl);
  storage->RegisterClassMethod(TCustomTabControl::StaticClass(), Proc_TCustomTabControl);
  storage->RegisterClassMethod(TPageControl::StaticClass(), Proc_TPageControl);
  storage->RegisterClassMethod(TButtonControl::StaticClass(), Proc_TButtonControl);
  storage->RegisterClassMethod(TCustomComboBox::StaticClass(), Proc_TCustomComboBox);
  storage->RegisterClassMethod(TCustomTreeView::StaticClass(), Proc_TCustomTreeView);
  storage->RegisterClassMethod(TCustomListView::StaticClass(), Proc_TCustomListView);
  storage->RegisterClassMethod(TCustomListBox::StaticClass(), Proc_TCustomListBox);
  storage->RegisterClassMethod(TCustomHeaderControl::StaticClass(), Proc_TCustomHeaderControl);
  storage->RegisterClassMethod(TCustomStatusBar::StaticClass(), Proc_TCustomStatusBar);
  storage->RegisterClassMethod(TCustomLabel::StaticClass(), Proc_TCustomLabel);
  storage->RegisterClassMethod(TSpeedButton::StaticClass(), Proc_TSpeedButton);
  storage->RegisterClassMethod(TToolBar::StaticClass(), Proc_TToolBar);
  storage->RegisterClassMethod(TCoolBar::StaticClass(), Proc_TCoolBar);
  storage->RegisterClassMethod(TCustomForm::StaticClass(), Proc_TCustomForm);
  storage->RegisterClassMethod(TMenu::StaticClass(), Proc_TMenu);
  KivoClassMethodStorage = storage.release();
}

void FinalizeClassMethods() {
  TMultiClassMethodStorage* storage = KivoClassMethodStorage;
  KivoClassMethodStorage = nullptr;
  delete storage;
}

}  // namespace kivo
