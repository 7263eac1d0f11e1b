// The common controls: tab and page controls, tree and list views, header controls, status
// bars, tool bars and cool bars.
//
// Each holds its texts in the containers the classic library uses, so that code written
// against those names finds them: a tab control's `Tabs` (a string list); a page control's
// pages (`GetPage(i)`, tab sheets whose caption is their Text, and whose captions the page
// control's tabs follow); a tree view's `Items` (nodes in flat order across levels); a list
// view's `Columns` (a collection) and `Items` (each with a caption and `SubItems`); the sections
// of a header control, the panels of a status bar and the bands of a cool bar (collections of
// items with a Text); a tool bar's buttons (the tool buttons whose parent it is).
//
//   auto* tree = new kivo::TTreeView(form);
//   kivo::TTreeNode* root = tree->Items()->AddChild(nullptr, "Animals");
//   tree->Items()->AddChild(root, "Cats");
//   tree->Items()->Add(nullptr, "Plants");
//   tree->Items()->Item(1)->Text();  // "Cats": a node, then its children, then the next node
//
// Form files. Tab sheets are written nested inside their page control, in page order, and a
// sheet read nested inside a page control becomes its last page; tool buttons are written nested
// inside their tool bar, in button order, like every child control. A tree view's nodes and a
// list view's items are written as string lists, one string per node or item (see TTreeNodes
// and TListItems for the format):
//
//   object Tree1: TTreeView
//     Items.Nodes = (
//       '0:Animals'
//       '1:Cats'
//       '0:Plants')
//   end
//   object List1: TListView
//     Items.Rows = (
//       'a.txt'#9'12 KB'
//       'b.txt'#9'3 KB')
//   end
//
// Ownership: collections, node lists, item lists and string lists are owned by their control;
// tab sheets and tool buttons are components (owned by their owner, listed by their parent).
// Threads: user-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kivo/rtl/Collection.h"
#include "kivo/rtl/Controls.h"
#include "kivo/rtl/Strings.h"

namespace kivo {

inline constexpr const char* SInvalidTreeNodeEntry = "Invalid tree node entry '%s'";

class TCustomListView;
class TCustomTreeView;
class TCustomHeaderControl;
class TCustomStatusBar;
class TCoolBar;
class TTabSheet;

// --- Tab and page controls

class TCustomTabControl : public TWinControl {
  KIVO_CLASS(TCustomTabControl, TWinControl)

  explicit TCustomTabControl(TComponent* owner);

  // The tabs' captions. Ownership: the control owns them; never null.
  TStringList* Tabs() const { return tabs_.get(); }
  // Copies the strings of `tabs` (TStrings::Assign).
  void SetTabs(const TStrings* tabs) { tabs_->Assign(tabs); }
  // The selected tab, or -1.
  int TabIndex() const;
  // Selects the tab at `index`; -1 or an index outside the tabs selects none.
  virtual void SetTabIndex(int index);

  TNotifyEvent OnChange;

 private:
  std::unique_ptr<TStringList> tabs_;
  int tab_index_ = -1;
};

class TTabControl : public TCustomTabControl {
  KIVO_CLASS(TTabControl, TCustomTabControl)

  explicit TTabControl(TComponent* owner);
};

// A tab control whose tabs are its tab sheets: a sheet joins the pages when its parent becomes
// the page control, and the tabs show the pages' captions in page order.
class TPageControl : public TCustomTabControl {
  KIVO_CLASS(TPageControl, TCustomTabControl)

  explicit TPageControl(TComponent* owner);
  // Destroys what it owns, then leaves the remaining sheets without page control.
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  int GetPageCount() const { return PageCount(); }
  // The page at `index`. Throws: EListError "List index out of bounds (%d)".
  TTabSheet* Pages(int index) const;
  TTabSheet* GetPage(int index) const { return Pages(index); }

  // The page shown, or null.
  TTabSheet* ActivePage() const { return active_page_; }
  // Shows `page`; a page of another page control (or null) leaves no page active.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  // Shows the page at `index`; an index outside the pages leaves none active.
  void SetActivePageIndex(int index);
  // As SetActivePageIndex.
  void SetTabIndex(int index) override { SetActivePageIndex(index); }

  // The pages in page order, then the other child controls in child order.
  void GetChildren(std::vector<TComponent*>& children) const override;

 private:
  friend class TTabSheet;

  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  // Rebuilds Tabs from the pages' captions and selects the active page's tab.
  void UpdateTabs();

  std::vector<TTabSheet*> pages_;     // Not owned; each sheet leaves on destruction.
  TTabSheet* active_page_ = nullptr;  // Not owned; one of pages_ or null.
};

// A page of a page control; its caption (Text) is its tab's caption.
class TTabSheet : public TWinControl {
  KIVO_CLASS(TTabSheet, TWinControl)

  explicit TTabSheet(TComponent* owner);
  // Leaves its page control.
  ~TTabSheet() override;

  // The page control whose page this is, or null.
  TPageControl* PageControl() const { return page_control_; }
  // Makes the sheet the last page of `page_control` (SetParent(page_control)).
  void SetPageControl(TPageControl* page_control) { SetParent(page_control); }
  // The sheet's position among its page control's pages, or -1.
  int PageIndex() const;
  // Moves the sheet to `index` among the pages. Throws: EListError "List index out of bounds
  // (%d)".
  void SetPageIndex(int index);

  // Joins the pages of a page-control parent, leaving those of the former one.
  void SetParent(TWinControl* parent) override;
  // Stores the caption and updates the page control's tabs.
  void SetText(const std::string& text) override;

 private:
  friend class TPageControl;

  TPageControl* page_control_ = nullptr;  // Not owned; the parent, which lists this sheet.
};

// --- Tree view

class TTreeNodes;

// One node of a tree view. Nodes are made, and destroyed, by their TTreeNodes.
class TTreeNode : public TPersistent {
  KIVO_CLASS(TTreeNode, TPersistent)

  // REQUIRES: called by TTreeNodes, which owns the node.
  explicit TTreeNode(TTreeNodes* owner);
  ~TTreeNode() override;
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text) { text_ = text; }
  // An untyped pointer the application attaches. Ownership: not taken.
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }

  // The node whose child this node is; null for a top-level node.
  TTreeNode* Parent() const { return parent_; }
  // The number of direct children.
  int Count() const { return static_cast<int>(children_.size()); }
  bool HasChildren() const { return !children_.empty(); }
  // The direct child at `index`. Throws: EListError "List index out of bounds (%d)".
  TTreeNode* Item(int index) const;
  // The position among its siblings.
  int Index() const;
  // 0 for a top-level node, one more per parent.
  int Level() const;
  // The position in the flat order of all nodes.
  int AbsoluteIndex() const;
  TTreeNodes* Owner() const { return owner_; }
  // Destroys the node with its children (TTreeNodes::Delete).
  void Delete();

  // Copies the Text and Data of a TTreeNode source (not its children). Other sources: the
  // inherited Assign.
  void Assign(const TPersistent* source) override;

 private:
  friend class TTreeNodes;

  TTreeNodes* owner_;            // Not owned; owns this node.
  TTreeNode* parent_ = nullptr;  // Not owned; owns this node, or null at the top level.
  std::vector<std::unique_ptr<TTreeNode>> children_;
  std::string text_;
  void* data_ = nullptr;  // Not owned.
};

// The nodes of a tree view. The flat order (`Item(i)`, `Count`) lists every node, each before
// its children: the first top-level node, its first child, that child's children, …
//
// Form files: the nodes are the string-list property "Nodes" (`Items.Nodes` of the tree view),
// one string per node in flat order, each the node's level in decimal digits, a colon and the
// node's text, verbatim: '0:Animals', '1:Cats', '2:Lion', '0:Plants'. The text runs from the
// first colon to the end, so it may hold colons, leading spaces or be empty ('1:'). Reading
// replaces every node. An entry without colon, with a level that is not a plain decimal number
// (empty, signed, spaced), or with a level deeper than one below the entry before it (the first
// entry must be at level 0) makes the read fail with EReadError "Invalid tree node entry '3:x'",
// naming the first such entry; the entries are checked before anything changes, so the nodes
// stay as they were then. A node's Data pointer is not written.
class TTreeNodes : public TPersistent {
  KIVO_CLASS(TTreeNodes, TPersistent)

  // Ownership: `owner` (may be null) owns the node list and outlives it.
  explicit TTreeNodes(TCustomTreeView* owner);
  ~TTreeNodes() override;
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;

  // The number of nodes, of every level.
  int Count() const;
  // The node at `index` in flat order. Throws: EListError "List index out of bounds (%d)".
  TTreeNode* Item(int index) const;
  // The first top-level node, or null.
  TTreeNode* GetFirstNode() const;

  // Adds a node after the last sibling of `sibling` (null: as the last top-level node).
  // Ownership: the node list owns the new node (so for each method that adds one).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  // Adds a node before the first sibling of `sibling` (null: as the first top-level node).
  TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
  // Adds a node as the last child of `parent` (null: as the last top-level node).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  // Adds a node as the first child of `parent` (null: as the first top-level node).
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
  // Adds a node just before `sibling` (null: as the last top-level node).
  TTreeNode* Insert(TTreeNode* sibling, const std::string& text);
  // Destroys `node` with its children. A node of another list (or null) is ignored.
  void Delete(TTreeNode* node);
  // Destroys every node.
  void Clear();

  // Opens an update bracket; brackets nest.
  void BeginUpdate() { ++update_count_; }
  // Closes the innermost bracket; without an open one it does nothing.
  void EndUpdate() {
    if (update_count_ > 0) --update_count_;
  }
  int UpdateCount() const { return update_count_; }

  TCustomTreeView* Owner() const { return owner_; }
  TPersistent* GetOwner() const override;

  // Copies a TTreeNodes source: clears this list and copies every node (Text, Data) in the
  // same tree shape. Other sources: the inherited Assign.
  void Assign(const TPersistent* source) override;

  // Defines "Nodes", written when there are nodes (see the class comment).
  // Throws (reading): EReadError "Invalid tree node entry '%s'".
  void DefineProperties(TFiler& filer) override;

 private:
  friend class TTreeNode;
  using TNodeList = std::vector<std::unique_ptr<TTreeNode>>;

  // The list holding `parent`'s children (the top-level list for null).
  TNodeList& ChildrenOf(TTreeNode* parent);
  TTreeNode* InsertNode(TTreeNode* parent, size_t position, const std::string& text);
  // Copies `from`'s children under `to` (null: the top level).
  void CopyChildren(const TNodeList& from, TTreeNode* to);
  // The "Nodes" strings of the nodes, and the nodes of "Nodes" strings.
  std::vector<std::string> NodeEntries() const;
  void ReadNodeEntries(const std::vector<std::string>& entries);
  // The flat order, rebuilt after a change of the tree's shape.
  const std::vector<TTreeNode*>& Flat() const;

  TCustomTreeView* owner_;  // Not owned; owns this list.
  TNodeList roots_;
  mutable std::vector<TTreeNode*> flat_;  // the nodes in flat order, valid when flat_valid_
  mutable bool flat_valid_ = true;
  int update_count_ = 0;
};

class TCustomTreeView : public TWinControl {
  KIVO_CLASS(TCustomTreeView, TWinControl)

  // Creates a 121 × 97 view without nodes, in the colour clWindow.
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  // The nodes. Ownership: the view owns them; never null.
  TTreeNodes* Items() const { return items_.get(); }
  // Copies the nodes of `items` (TTreeNodes::Assign).
  void SetItems(const TTreeNodes* items) { items_->Assign(items); }
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value) { read_only_ = value; }

 private:
  std::unique_ptr<TTreeNodes> items_;
  bool read_only_ = false;
};

class TTreeView : public TCustomTreeView {
  KIVO_CLASS(TTreeView, TCustomTreeView)

  explicit TTreeView(TComponent* owner);
};

// --- List view

class TListColumn : public TCollectionItem {
  KIVO_CLASS(TListColumn, TCollectionItem)

  explicit TListColumn(TCollection* collection);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  int Width() const { return width_; }
  void SetWidth(int width);

  // Copies a TListColumn's caption and width. Other sources: the inherited Assign.
  void Assign(const TPersistent* source) override;

 protected:
  // The caption, or the class name while it is empty.
  std::string GetDisplayName() const override;

 private:
  std::string caption_;
  int width_ = 50;
};

class TListColumns : public TCollection {
  KIVO_CLASS(TListColumns, TCollection)

  // Ownership: `owner` (may be null) owns the collection and outlives it.
  explicit TListColumns(TCustomListView* owner);

  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  // The column at `index`. Throws: EListError "List index out of bounds (%d)".
  TListColumn* Items(int index) const {
    return static_cast<TListColumn*>(TCollection::Items(index));
  }
  TPersistent* GetOwner() const override;

 private:
  TCustomListView* owner_;  // Not owned; owns this collection.
};

class TListItems;

// One item of a list view: a caption and, in the report style, one string per further column.
class TListItem : public TPersistent {
  KIVO_CLASS(TListItem, TPersistent)

  // REQUIRES: called by TListItems, which owns the item.
  explicit TListItem(TListItems* owner);
  ~TListItem() override;
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  // The texts of the further columns. Ownership: the item owns them; never null.
  TStringList* SubItems() const { return sub_items_.get(); }
  // Copies the strings of `sub_items` (TStrings::Assign).
  void SetSubItems(const TStrings* sub_items) { sub_items_->Assign(sub_items); }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  // An untyped pointer the application attaches. Ownership: not taken.
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }

  // The item's position in its list.
  int Index() const;
  TListItems* Owner() const { return owner_; }
  // Destroys the item (TListItems::Delete).
  void Delete();

  // Copies a TListItem's caption, sub-items, checked state and data. Other sources: the
  // inherited Assign.
  void Assign(const TPersistent* source) override;

 private:
  TListItems* owner_;  // Not owned; owns this item.
  std::string caption_;
  std::unique_ptr<TStringList> sub_items_;
  bool checked_ = false;
  void* data_ = nullptr;  // Not owned.
};

// The items of a list view.
//
// Form files: the items are the string-list property "Rows" (`Items.Rows` of the list view), one
// string per item in order: the caption, then each sub-item, each preceded by a tab (#9 in the
// file): 'a.txt'#9'12 KB'. A string without tab is an item without sub-items; 'a.txt'#9 is an
// item with one empty sub-item. Reading replaces every item. A tab inside a caption or sub-item
// cannot be told from the separator: it reads back as a further sub-item. The checked state and
// Data pointer are not written.
class TListItems : public TPersistent {
  KIVO_CLASS(TListItems, TPersistent)

  // Ownership: `owner` (may be null) owns the item list and outlives it.
  explicit TListItems(TCustomListView* owner);
  ~TListItems() override;
  TListItems(const TListItems&) = delete;
  TListItems& operator=(const TListItems&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  // The item at `index`. Throws: EListError "List index out of bounds (%d)".
  TListItem* Item(int index) const;
  // The position of `item`, or -1.
  int IndexOf(const TListItem* item) const;
  // Appends a new, empty item. Ownership: the list owns it.
  TListItem* Add();
  // Puts a new, empty item at `index` (0 … Count). Throws: EListError "List index out of bounds
  // (%d)". Ownership: the list owns it.
  TListItem* Insert(int index);
  // Destroys the item at `index`. Throws: EListError "List index out of bounds (%d)".
  void Delete(int index);
  // Destroys every item.
  void Clear();

  // Opens an update bracket; brackets nest.
  void BeginUpdate() { ++update_count_; }
  // Closes the innermost bracket; without an open one it does nothing.
  void EndUpdate() {
    if (update_count_ > 0) --update_count_;
  }
  int UpdateCount() const { return update_count_; }

  TCustomListView* Owner() const { return owner_; }
  TPersistent* GetOwner() const override;

  // Copies a TListItems source: clears this list and copies every item. Other sources: the
  // inherited Assign.
  void Assign(const TPersistent* source) override;

  // Defines "Rows", written when there are items (see the class comment).
  void DefineProperties(TFiler& filer) override;

 private:
  TCustomListView* owner_;  // Not owned; owns this list.
  std::vector<std::unique_ptr<TListItem>> items_;
  int update_count_ = 0;
};

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
// The value names of TViewStyle.
const TEnumInfo& ViewStyleInfo();

class TCustomListView : public TWinControl {
  KIVO_CLASS(TCustomListView, TWinControl)

  // Creates a 250 × 150 view without columns or items, in the colour clWindow.
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  // The columns. Ownership: the view owns them; never null.
  TListColumns* Columns() const { return columns_.get(); }
  // Copies the columns of `columns` (TCollection::Assign).
  void SetColumns(const TListColumns* columns) { columns_->Assign(columns); }
  // The items. Ownership: the view owns them; never null.
  TListItems* Items() const { return items_.get(); }
  // Copies the items of `items` (TListItems::Assign).
  void SetItems(const TListItems* items) { items_->Assign(items); }
  TViewStyle ViewStyle() const { return view_style_; }
  void SetViewStyle(TViewStyle style) { view_style_ = style; }

 private:
  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle view_style_ = vsIcon;
};

class TListView : public TCustomListView {
  KIVO_CLASS(TListView, TCustomListView)

  explicit TListView(TComponent* owner);
};

// --- Header control

class THeaderSection : public TCollectionItem {
  KIVO_CLASS(THeaderSection, TCollectionItem)

  explicit THeaderSection(TCollection* collection);

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int Width() const { return width_; }
  void SetWidth(int width);

  // Copies a THeaderSection's text and width. Other sources: the inherited Assign.
  void Assign(const TPersistent* source) override;

 protected:
  // The text, or the class name while it is empty.
  std::string GetDisplayName() const override;

 private:
  std::string text_;
  int width_ = 50;
};

class THeaderSections : public TCollection {
  KIVO_CLASS(THeaderSections, TCollection)

  // Ownership: `owner` (may be null) owns the collection and outlives it.
  explicit THeaderSections(TCustomHeaderControl* owner);

  THeaderSection* Add() { return static_cast<THeaderSection*>(TCollection::Add()); }
  // The section at `index`. Throws: EListError "List index out of bounds (%d)".
  THeaderSection* Items(int index) const {
    return static_cast<THeaderSection*>(TCollection::Items(index));
  }
  TPersistent* GetOwner() const override;

 private:
  TCustomHeaderControl* owner_;  // Not owned; owns this collection.
};

class TCustomHeaderControl : public TWinControl {
  KIVO_CLASS(TCustomHeaderControl, TWinControl)

  explicit TCustomHeaderControl(TComponent* owner);
  ~TCustomHeaderControl() override;

  // The sections. Ownership: the control owns them; never null.
  THeaderSections* Sections() const { return sections_.get(); }
  // Copies the sections of `sections` (TCollection::Assign).
  void SetSections(const THeaderSections* sections) { sections_->Assign(sections); }

 private:
  std::unique_ptr<THeaderSections> sections_;
};

class THeaderControl : public TCustomHeaderControl {
  KIVO_CLASS(THeaderControl, TCustomHeaderControl)

  explicit THeaderControl(TComponent* owner);
};

// --- Status bar

class TStatusPanel : public TCollectionItem {
  KIVO_CLASS(TStatusPanel, TCollectionItem)

  explicit TStatusPanel(TCollection* collection);

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int Width() const { return width_; }
  void SetWidth(int width);

  // Copies a TStatusPanel's text and width. Other sources: the inherited Assign.
  void Assign(const TPersistent* source) override;

 protected:
  // The text, or the class name while it is empty.
  std::string GetDisplayName() const override;

 private:
  std::string text_;
  int width_ = 50;
};

class TStatusPanels : public TCollection {
  KIVO_CLASS(TStatusPanels, TCollection)

  // Ownership: `owner` (may be null) owns the collection and outlives it.
  explicit TStatusPanels(TCustomStatusBar* owner);

  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  // The panel at `index`. Throws: EListError "List index out of bounds (%d)".
  TStatusPanel* Items(int index) const {
    return static_cast<TStatusPanel*>(TCollection::Items(index));
  }
  TPersistent* GetOwner() const override;

 private:
  TCustomStatusBar* owner_;  // Not owned; owns this collection.
};

// A status bar: a row of panels, or one simple text when SimplePanel is set. Its own Text (the
// window text) is separate from both.
class TCustomStatusBar : public TWinControl {
  KIVO_CLASS(TCustomStatusBar, TWinControl)

  // Creates a bar aligned to the bottom of its parent.
  explicit TCustomStatusBar(TComponent* owner);
  ~TCustomStatusBar() override;

  // The panels. Ownership: the bar owns them; never null.
  TStatusPanels* Panels() const { return panels_.get(); }
  // Copies the panels of `panels` (TCollection::Assign).
  void SetPanels(const TStatusPanels* panels) { panels_->Assign(panels); }
  // True when the bar shows SimpleText instead of its panels.
  bool SimplePanel() const { return simple_panel_; }
  void SetSimplePanel(bool value) { simple_panel_ = value; }
  const std::string& SimpleText() const { return simple_text_; }
  void SetSimpleText(const std::string& text) { simple_text_ = text; }

 private:
  std::unique_ptr<TStatusPanels> panels_;
  bool simple_panel_ = false;
  std::string simple_text_;
};

class TStatusBar : public TCustomStatusBar {
  KIVO_CLASS(TStatusBar, TCustomStatusBar)

  explicit TStatusBar(TComponent* owner);
};

// --- Tool bar and cool bar

// Base of the bars that dock at a form's edge.
class TToolWindow : public TWinControl {
  KIVO_CLASS(TToolWindow, TWinControl)

  explicit TToolWindow(TComponent* owner);
};

class TToolButton;

// A bar of tool buttons: its buttons are the tool buttons among its child controls, in child
// order.
class TToolBar : public TToolWindow {
  KIVO_CLASS(TToolBar, TToolWindow)

  // Creates a bar aligned to the top of its parent.
  explicit TToolBar(TComponent* owner);

  int ButtonCount() const;
  int GetButtonCount() const { return ButtonCount(); }
  // The button at `index`. Throws: EListError "List index out of bounds (%d)".
  TToolButton* Buttons(int index) const;
  TToolButton* GetButton(int index) const { return Buttons(index); }
  // True when the buttons show their captions.
  bool ShowCaptions() const { return show_captions_; }
  void SetShowCaptions(bool value) { show_captions_ = value; }
  bool Flat() const { return flat_; }
  void SetFlat(bool value) { flat_ = value; }

 private:
  bool show_captions_ = false;
  bool flat_ = false;
};

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
// The value names of TToolButtonStyle.
const TEnumInfo& ToolButtonStyleInfo();

class TToolButton : public TGraphicControl {
  KIVO_CLASS(TToolButton, TGraphicControl)

  // Creates a 23 × 22 button.
  explicit TToolButton(TComponent* owner);

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle style) { style_ = style; }
  bool Down() const { return down_; }
  void SetDown(bool down) { down_ = down; }
  // The image shown from the bar's image list, -1 for none.
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index) { image_index_ = index; }

 protected:
  void ActionCheckedChanged(bool checked) override { SetDown(checked); }

 private:
  TToolButtonStyle style_ = tbsButton;
  bool down_ = false;
  int image_index_ = -1;
};

class TCoolBand : public TCollectionItem {
  KIVO_CLASS(TCoolBand, TCollectionItem)

  explicit TCoolBand(TCollection* collection);

  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int Width() const { return width_; }
  void SetWidth(int width);
  // True when the band starts a new row.
  bool Break() const { return break_; }
  void SetBreak(bool value);

  // Copies a TCoolBand's text, width and break. Other sources: the inherited Assign.
  void Assign(const TPersistent* source) override;

 protected:
  // The text, or the class name while it is empty.
  std::string GetDisplayName() const override;

 private:
  std::string text_;
  int width_ = 0;
  bool break_ = true;
};

class TCoolBands : public TCollection {
  KIVO_CLASS(TCoolBands, TCollection)

  // Ownership: `owner` (may be null) owns the collection and outlives it.
  explicit TCoolBands(TCoolBar* owner);

  TCoolBand* Add() { return static_cast<TCoolBand*>(TCollection::Add()); }
  // The band at `index`. Throws: EListError "List index out of bounds (%d)".
  TCoolBand* Items(int index) const { return static_cast<TCoolBand*>(TCollection::Items(index)); }
  TPersistent* GetOwner() const override;

 private:
  TCoolBar* owner_;  // Not owned; owns this collection.
};

class TCoolBar : public TToolWindow {
  KIVO_CLASS(TCoolBar, TToolWindow)

  // Creates a bar aligned to the top of its parent.
  explicit TCoolBar(TComponent* owner);
  ~TCoolBar() override;

  // The bands. Ownership: the bar owns them; never null.
  TCoolBands* Bands() const { return bands_.get(); }
  // Copies the bands of `bands` (TCollection::Assign).
  void SetBands(const TCoolBands* bands) { bands_->Assign(bands); }

 private:
  std::unique_ptr<TCoolBands> bands_;
};

}  // namespace kivo
