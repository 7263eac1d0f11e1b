#include "kivo/rtl/ComCtrls.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kivo/rtl/Exceptions.h"

namespace kivo {

const TEnumInfo& ViewStyleInfo() {
  static const TEnumInfo info{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
  return info;
}

const TEnumInfo& ToolButtonStyleInfo() {
  static const TEnumInfo info{
      "TToolButtonStyle", {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"}};
  return info;
}

KIVO_DEFINE_CLASS(TCustomTabControl) {}

KIVO_DEFINE_CLASS(TTabControl) {
  b.StringList("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
  b.Integer("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex).Default(-1);
  b.Event("OnChange", &TTabControl::OnChange);
}

KIVO_DEFINE_CLASS(TPageControl) {
  b.Component("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  b.Event("OnChange", &TPageControl::OnChange);
}

KIVO_DEFINE_CLASS(TTabSheet) {
  b.String("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption)
      .Stored(detail::StoredWithoutAction());
  // Not written: a sheet is written nested inside its page control, which carries it.
  b.Component("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl).Stored(false);
}

KIVO_DEFINE_CLASS(TTreeNode) {}
KIVO_DEFINE_CLASS(TTreeNodes) {}

KIVO_DEFINE_CLASS(TCustomTreeView) {
  b.Integer("Color", &TCustomTreeView::Color, &TCustomTreeView::SetColor)
      .Default(clWindow)
      .Idents(ColorIdents());
}

KIVO_DEFINE_CLASS(TTreeView) {
  b.Object("Items", &TTreeView::Items);
  b.Boolean("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly).Default(false);
}

KIVO_DEFINE_CLASS(TListColumn) {
  b.String("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
  b.Integer("Width", &TListColumn::Width, &TListColumn::SetWidth).Default(50);
}

KIVO_DEFINE_CLASS(TListColumns) {}
KIVO_DEFINE_CLASS(TListItem) {}
KIVO_DEFINE_CLASS(TListItems) {}
KIVO_DEFINE_CLASS(TCustomListView) {
  b.Integer("Color", &TCustomListView::Color, &TCustomListView::SetColor)
      .Default(clWindow)
      .Idents(ColorIdents());
}

KIVO_DEFINE_CLASS(TListView) {
  b.Collection("Columns", &TListView::Columns, &TListView::SetColumns);
  b.Object("Items", &TListView::Items);
  b.Enumeration("ViewStyle", ViewStyleInfo(), &TListView::ViewStyle, &TListView::SetViewStyle)
      .Default(vsIcon);
}

KIVO_DEFINE_CLASS(THeaderSection) {
  b.String("Text", &THeaderSection::Text, &THeaderSection::SetText);
  b.Integer("Width", &THeaderSection::Width, &THeaderSection::SetWidth).Default(50);
}

KIVO_DEFINE_CLASS(THeaderSections) {}
KIVO_DEFINE_CLASS(TCustomHeaderControl) {}

KIVO_DEFINE_CLASS(THeaderControl) {
  b.Collection("Sections", &THeaderControl::Sections, &THeaderControl::SetSections);
}

KIVO_DEFINE_CLASS(TStatusPanel) {
  b.String("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  b.Integer("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth).Default(50);
}

KIVO_DEFINE_CLASS(TStatusPanels) {}
// The constructor aligns the bar to the bottom.
KIVO_DEFINE_CLASS(TCustomStatusBar) {
  b.Enumeration("Align", AlignInfo(), &TCustomStatusBar::Align, &TCustomStatusBar::SetAlign)
      .Default(alBottom);
}

KIVO_DEFINE_CLASS(TStatusBar) {
  b.Collection("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  b.Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
  b.String("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
}

KIVO_DEFINE_CLASS(TToolWindow) {}

KIVO_DEFINE_CLASS(TToolBar) {
  b.Enumeration("Align", AlignInfo(), &TToolBar::Align, &TToolBar::SetAlign).Default(alTop);
  b.Boolean("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(false);
  b.Boolean("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
}

KIVO_DEFINE_CLASS(TToolButton) {
  b.String("Caption", &TToolButton::Caption, &TToolButton::SetCaption)
      .Stored(detail::StoredWithoutAction());
  b.Boolean("Down", &TToolButton::Down, &TToolButton::SetDown).Default(false);
  b.Integer("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
  b.Enumeration("Style", ToolButtonStyleInfo(), &TToolButton::Style, &TToolButton::SetStyle)
      .Default(tbsButton);
}

KIVO_DEFINE_CLASS(TCoolBand) {
  b.Boolean("Break", &TCoolBand::Break, &TCoolBand::SetBreak).Default(true);
  b.String("Text", &TCoolBand::Text, &TCoolBand::SetText);
  b.Integer("Width", &TCoolBand::Width, &TCoolBand::SetWidth).Default(0);
}

KIVO_DEFINE_CLASS(TCoolBands) {}

KIVO_DEFINE_CLASS(TCoolBar) {
  b.Enumeration("Align", AlignInfo(), &TCoolBar::Align, &TCoolBar::SetAlign).Default(alTop);
  b.Collection("Bands", &TCoolBar::Bands, &TCoolBar::SetBands);
}

// --- TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* owner)
    : TWinControl(owner), tabs_(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 289, 193);
}

int TCustomTabControl::TabIndex() const {
  return tab_index_ >= 0 && tab_index_ < tabs_->Count() ? tab_index_ : -1;
}

void TCustomTabControl::SetTabIndex(int index) {
  const int old = TabIndex();
  tab_index_ = index >= 0 && index < tabs_->Count() ? index : -1;
  if (tab_index_ != old && OnChange) OnChange(this);
}

TTabControl::TTabControl(TComponent* owner) : TCustomTabControl(owner) {}

// --- TPageControl

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
  Destroying();
  DestroyComponents();
  active_page_ = nullptr;
  while (!pages_.empty()) {
    pages_.back()->page_control_ = nullptr;
    pages_.pop_back();
  }
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError::IndexError(index);
  return pages_[static_cast<size_t>(index)];
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page != nullptr && page->page_control_ != this) page = nullptr;
  if (page == active_page_) return;
  active_page_ = page;
  TCustomTabControl::SetTabIndex(ActivePageIndex());
}

int TPageControl::ActivePageIndex() const {
  auto it = std::find(pages_.begin(), pages_.end(), active_page_);
  return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

void TPageControl::GetChildren(std::vector<TComponent*>& children) const {
  children.insert(children.end(), pages_.begin(), pages_.end());
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* control = Controls(i);
    if (std::find(pages_.begin(), pages_.end(), control) == pages_.end()) {
      children.push_back(control);
    }
  }
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  const auto index = static_cast<size_t>(it - pages_.begin());
  pages_.erase(it);
  if (active_page_ == page) {
    // The page after the removed one (or the new last page) takes its place.
    active_page_ = pages_.empty() ? nullptr : pages_[std::min(index, pages_.size() - 1)];
  }
  if (ComponentState().Contains(csDestroying)) return;
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  {
    TStringsUpdate update(*Tabs());
    Tabs()->Clear();
    for (TTabSheet* page : pages_) Tabs()->Add(page->Text());
  }
  TCustomTabControl::SetTabIndex(ActivePageIndex());
}

// --- TTabSheet

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {}

TTabSheet::~TTabSheet() {
  Destroying();
  if (page_control_ != nullptr) page_control_->RemovePage(this);
  page_control_ = nullptr;
}

int TTabSheet::PageIndex() const {
  if (page_control_ == nullptr) return -1;
  const auto& pages = page_control_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (page_control_ == nullptr) return;
  auto& pages = page_control_->pages_;
  if (index < 0 || index >= static_cast<int>(pages.size())) throw EListError::IndexError(index);
  std::erase(pages, this);
  pages.insert(pages.begin() + index, this);
  page_control_->UpdateTabs();
}

void TTabSheet::SetParent(TWinControl* parent) {
  TWinControl::SetParent(parent);
  auto* page_control = As<TPageControl>(parent);
  if (page_control == page_control_) return;
  if (page_control_ != nullptr) page_control_->RemovePage(this);
  page_control_ = page_control;
  if (page_control_ != nullptr) page_control_->InsertPage(this);
}

void TTabSheet::SetText(const std::string& text) {
  TWinControl::SetText(text);
  if (page_control_ != nullptr) page_control_->UpdateTabs();
}

// --- TTreeNode

TTreeNode::TTreeNode(TTreeNodes* owner) : owner_(owner) {}

TTreeNode::~TTreeNode() = default;

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError::IndexError(index);
  return children_[static_cast<size_t>(index)].get();
}

int TTreeNode::Index() const {
  const auto& siblings = parent_ != nullptr ? parent_->children_ : owner_->roots_;
  for (size_t i = 0; i < siblings.size(); ++i) {
    if (siblings[i].get() == this) return static_cast<int>(i);
  }
  return -1;
}

int TTreeNode::Level() const {
  int level = 0;
  for (const TTreeNode* p = parent_; p != nullptr; p = p->parent_) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  const auto& flat = owner_->Flat();
  return static_cast<int>(std::find(flat.begin(), flat.end(), this) - flat.begin());
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::Assign(const TPersistent* source) {
  const auto* other = As<TTreeNode>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  text_ = other->text_;
  data_ = other->data_;
}

// --- TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}

TTreeNodes::~TTreeNodes() = default;

const std::vector<TTreeNode*>& TTreeNodes::Flat() const {
  if (!flat_valid_) {
    flat_.clear();
    // Pre-order walk with an explicit stack of (list, next position).
    std::vector<std::pair<const TNodeList*, size_t>> stack{{&roots_, 0}};
    while (!stack.empty()) {
      auto& [list, pos] = stack.back();
      if (pos == list->size()) {
        stack.pop_back();
        continue;
      }
      TTreeNode* node = (*list)[pos++].get();
      flat_.push_back(node);
      if (!node->children_.empty()) stack.emplace_back(&node->children_, 0);
    }
    flat_valid_ = true;
  }
  return flat_;
}

int TTreeNodes::Count() const { return static_cast<int>(Flat().size()); }

TTreeNode* TTreeNodes::Item(int index) const {
  const auto& flat = Flat();
  if (index < 0 || index >= static_cast<int>(flat.size())) throw EListError::IndexError(index);
  return flat[static_cast<size_t>(index)];
}

TTreeNode* TTreeNodes::GetFirstNode() const { return roots_.empty() ? nullptr : roots_[0].get(); }

TTreeNodes::TNodeList& TTreeNodes::ChildrenOf(TTreeNode* parent) {
  return parent != nullptr ? parent->children_ : roots_;
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, size_t position, const std::string& text) {
  auto node = std::make_unique<TTreeNode>(this);
  TTreeNode* raw = node.get();
  raw->parent_ = parent;
  raw->text_ = text;
  TNodeList& list = ChildrenOf(parent);
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(position), std::move(node));
  flat_valid_ = false;
  return raw;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  TTreeNode* parent = sibling != nullptr ? sibling->parent_ : nullptr;
  return InsertNode(parent, ChildrenOf(parent).size(), text);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
  return InsertNode(sibling != nullptr ? sibling->parent_ : nullptr, 0, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  return InsertNode(parent, ChildrenOf(parent).size(), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) {
  return InsertNode(parent, 0, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
  if (sibling == nullptr) return InsertNode(nullptr, roots_.size(), text);
  return InsertNode(sibling->parent_, static_cast<size_t>(sibling->Index()), text);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (node == nullptr || node->owner_ != this) return;
  TNodeList& list = ChildrenOf(node->parent_);
  auto it =
      std::find_if(list.begin(), list.end(), [node](const auto& n) { return n.get() == node; });
  if (it == list.end()) return;
  // Take the node out before destroying it, so that the tree is whole while it goes.
  std::unique_ptr<TTreeNode> doomed = std::move(*it);
  list.erase(it);
  flat_valid_ = false;
  doomed.reset();
}

void TTreeNodes::Clear() {
  TNodeList doomed;
  doomed.swap(roots_);
  flat_.clear();
  flat_valid_ = true;
  doomed.clear();
}

TPersistent* TTreeNodes::GetOwner() const { return owner_; }

void TTreeNodes::CopyChildren(const TNodeList& from, TTreeNode* to) {
  for (const auto& node : from) {
    TTreeNode* copy = AddChild(to, std::string());
    copy->Assign(node.get());
    CopyChildren(node->children_, copy);
  }
}

void TTreeNodes::Assign(const TPersistent* source) {
  const auto* other = As<TTreeNodes>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  Clear();
  CopyChildren(other->roots_, nullptr);
  EndUpdate();
}

void TTreeNodes::DefineProperties(TFiler& filer) {
  TPersistent::DefineProperties(filer);
  filer.DefineStringsProperty(
      "Nodes", [this](const std::vector<std::string>& entries) { ReadNodeEntries(entries); },
      [this] { return NodeEntries(); }, !roots_.empty());
}

std::vector<std::string> TTreeNodes::NodeEntries() const {
  std::vector<std::string> entries;
  for (const TTreeNode* node : Flat()) {
    entries.push_back(std::to_string(node->Level()) + ':' + node->Text());
  }
  return entries;
}

void TTreeNodes::ReadNodeEntries(const std::vector<std::string>& entries) {
  // Every entry is checked before the first node changes.
  std::vector<std::pair<size_t, std::string_view>> parsed;  // level, text
  parsed.reserve(entries.size());
  size_t deepest_allowed = 0;  // one below the entry before, 0 for the first entry
  for (const std::string& entry : entries) {
    const size_t colon = entry.find(':');
    bool valid = colon != std::string::npos && colon > 0;
    size_t level = 0;
    for (size_t i = 0; valid && i < colon; ++i) {
      const char c = entry[i];
      valid = c >= '0' && c <= '9';
      level = level * 10 + static_cast<size_t>(c - '0');
      valid = valid && level <= deepest_allowed;  // also stops the digits from overflowing
    }
    if (!valid) throw EReadError(FormatMessage(SInvalidTreeNodeEntry, {entry}));
    parsed.emplace_back(level, std::string_view(entry).substr(colon + 1));
    deepest_allowed = level + 1;
  }
  BeginUpdate();
  Clear();
  std::vector<TTreeNode*> path;  // path[l]: the last node read at level l
  for (const auto& [level, text] : parsed) {
    path.resize(level);
    path.push_back(AddChild(level > 0 ? path[level - 1] : nullptr, std::string(text)));
  }
  EndUpdate();
}

// --- TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TTreeNodes>(this)) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView() {
  Destroying();
  DestroyComponents();
}

TTreeView::TTreeView(TComponent* owner) : TCustomTreeView(owner) {}

// --- List view

TListColumn::TListColumn(TCollection* collection) : TCollectionItem(collection) {}

void TListColumn::SetCaption(const std::string& caption) {
  caption_ = caption;
  Changed(false);
}

void TListColumn::SetWidth(int width) {
  width_ = width;
  Changed(false);
}

void TListColumn::Assign(const TPersistent* source) {
  const auto* other = As<TListColumn>(source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  caption_ = other->caption_;
  width_ = other->width_;
  Changed(false);
}

std::string TListColumn::GetDisplayName() const {
  return caption_.empty() ? TCollectionItem::GetDisplayName() : caption_;
}

TListColumns::TListColumns(TCustomListView* owner)
    : TCollection(TListColumn::StaticClass()), owner_(owner) {}

TPersistent* TListColumns::GetOwner() const { return owner_; }

TListItem::TListItem(TListItems* owner)
    : owner_(owner), sub_items_(std::make_unique<TStringList>()) {}

TListItem::~TListItem() = default;

int TListItem::Index() const { return owner_->IndexOf(this); }

void TListItem::Delete() { owner_->Delete(Index()); }

void TListItem::Assign(const TPersistent* source) {
  const auto* other = As<TListItem>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  caption_ = other->caption_;
  sub_items_->Assign(other->sub_items_.get());
  checked_ = other->checked_;
  data_ = other->data_;
}

TListItems::TListItems(TCustomListView* owner) : owner_(owner) {}

TListItems::~TListItems() = default;

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError::IndexError(index);
  return items_[static_cast<size_t>(index)].get();
}

int TListItems::IndexOf(const TListItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == item) return static_cast<int>(i);
  }
  return -1;
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError::IndexError(index);
  auto item = std::make_unique<TListItem>(this);
  TListItem* raw = item.get();
  items_.insert(items_.begin() + index, std::move(item));
  return raw;
}

void TListItems::Delete(int index) {
  if (index < 0 || index >= Count()) throw EListError::IndexError(index);
  std::unique_ptr<TListItem> doomed = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  doomed.reset();
}

void TListItems::Clear() {
  std::vector<std::unique_ptr<TListItem>> doomed;
  doomed.swap(items_);
  doomed.clear();
}

TPersistent* TListItems::GetOwner() const { return owner_; }

void TListItems::Assign(const TPersistent* source) {
  const auto* other = As<TListItems>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  Clear();
  for (const auto& item : other->items_) Add()->Assign(item.get());
  EndUpdate();
}

void TListItems::DefineProperties(TFiler& filer) {
  TPersistent::DefineProperties(filer);
  filer.DefineStringsProperty(
      "Rows",
      [this](const std::vector<std::string>& rows) {
        BeginUpdate();
        Clear();
        for (const std::string& row : rows) {
          TListItem* item = Add();
          size_t start = 0;
          size_t tab = row.find('\t');
          item->SetCaption(row.substr(0, tab));
          while (tab != std::string::npos) {
            start = tab + 1;
            tab = row.find('\t', start);
            item->SubItems()->Add(row.substr(start, tab == std::string::npos ? tab : tab - start));
          }
        }
        EndUpdate();
      },
      [this] {
        std::vector<std::string> rows;
        rows.reserve(items_.size());
        for (const auto& item : items_) {
          std::string row = item->Caption();
          for (int i = 0; i < item->SubItems()->Count(); ++i) {
            row += '\t';
            row += item->SubItems()->Strings(i);
          }
          rows.push_back(std::move(row));
        }
        return rows;
      },
      !items_.empty());
}

TCustomListView::TCustomListView(TComponent* owner)
    : TWinControl(owner),
      columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
  SetBounds(0, 0, 250, 150);
  SetColor(clWindow);
}

TCustomListView::~TCustomListView() {
  Destroying();
  DestroyComponents();
}

TListView::TListView(TComponent* owner) : TCustomListView(owner) {}

// --- Header control

THeaderSection::THeaderSection(TCollection* collection) : TCollectionItem(collection) {}

void THeaderSection::SetText(const std::string& text) {
  text_ = text;
  Changed(false);
}

void THeaderSection::SetWidth(int width) {
  width_ = width;
  Changed(false);
}

void THeaderSection::Assign(const TPersistent* source) {
  const auto* other = As<THeaderSection>(source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  text_ = other->text_;
  width_ = other->width_;
  Changed(false);
}

std::string THeaderSection::GetDisplayName() const {
  return text_.empty() ? TCollectionItem::GetDisplayName() : text_;
}

THeaderSections::THeaderSections(TCustomHeaderControl* owner)
    : TCollection(THeaderSection::StaticClass()), owner_(owner) {}

TPersistent* THeaderSections::GetOwner() const { return owner_; }

TCustomHeaderControl::TCustomHeaderControl(TComponent* owner)
    : TWinControl(owner), sections_(std::make_unique<THeaderSections>(this)) {
  SetBounds(0, 0, 250, 17);
}

TCustomHeaderControl::~TCustomHeaderControl() {
  Destroying();
  DestroyComponents();
}

THeaderControl::THeaderControl(TComponent* owner) : TCustomHeaderControl(owner) {}

// --- Status bar

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

void TStatusPanel::SetText(const std::string& text) {
  text_ = text;
  Changed(false);
}

void TStatusPanel::SetWidth(int width) {
  width_ = width;
  Changed(false);
}

void TStatusPanel::Assign(const TPersistent* source) {
  const auto* other = As<TStatusPanel>(source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  text_ = other->text_;
  width_ = other->width_;
  Changed(false);
}

std::string TStatusPanel::GetDisplayName() const {
  return text_.empty() ? TCollectionItem::GetDisplayName() : text_;
}

TStatusPanels::TStatusPanels(TCustomStatusBar* owner)
    : TCollection(TStatusPanel::StaticClass()), owner_(owner) {}

TPersistent* TStatusPanels::GetOwner() const { return owner_; }

TCustomStatusBar::TCustomStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
  SetBounds(0, 0, 250, 19);
  SetAlign(alBottom);
}

TCustomStatusBar::~TCustomStatusBar() {
  Destroying();
  DestroyComponents();
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomStatusBar(owner) {}

// --- Tool bar

TToolWindow::TToolWindow(TComponent* owner) : TWinControl(owner) {}

TToolBar::TToolBar(TComponent* owner) : TToolWindow(owner) {
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

int TToolBar::ButtonCount() const {
  int count = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    if (Is<TToolButton>(Controls(i))) ++count;
  }
  return count;
}

TToolButton* TToolBar::Buttons(int index) const {
  if (index >= 0) {
    int seen = 0;
    for (int i = 0; i < ControlCount(); ++i) {
      if (auto* button = As<TToolButton>(Controls(i))) {
        if (seen++ == index) return button;
      }
    }
  }
  throw EListError::IndexError(index);
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

// --- Cool bar

TCoolBand::TCoolBand(TCollection* collection) : TCollectionItem(collection) {}

void TCoolBand::SetText(const std::string& text) {
  text_ = text;
  Changed(false);
}

void TCoolBand::SetWidth(int width) {
  width_ = width;
  Changed(false);
}

void TCoolBand::SetBreak(bool value) {
  break_ = value;
  Changed(false);
}

void TCoolBand::Assign(const TPersistent* source) {
  const auto* other = As<TCoolBand>(source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  text_ = other->text_;
  width_ = other->width_;
  break_ = other->break_;
  Changed(false);
}

std::string TCoolBand::GetDisplayName() const {
  return text_.empty() ? TCollectionItem::GetDisplayName() : text_;
}

TCoolBands::TCoolBands(TCoolBar* owner) : TCollection(TCoolBand::StaticClass()), owner_(owner) {}

TPersistent* TCoolBands::GetOwner() const { return owner_; }

TCoolBar::TCoolBar(TComponent* owner)
    : TToolWindow(owner), bands_(std::make_unique<TCoolBands>(this)) {
  SetBounds(0, 0, 150, 75);
  SetAlign(alTop);
}

TCoolBar::~TCoolBar() {
  Destroying();
  DestroyComponents();
}

}  // namespace kivo
