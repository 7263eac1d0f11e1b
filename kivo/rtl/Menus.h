// Menus: a main menu or a pop-up menu holding a tree of menu items.
//
// A menu (`TMainMenu`, `TPopupMenu`) has one root item (`Items()`), which the menu owns and
// which is never shown; the root's sub-items are the menu's entries, each of which may have
// sub-items of its own. Menu items are components: a form designer creates them owned by the
// form, and the parent item lists them (`Add`, `Insert`).
//
//   kivo::TMainMenu menu(form);
//   auto* file = new kivo::TMenuItem(form);
//   file->SetCaption("&File");
//   menu.Items()->Add(file);
//   auto* open = new kivo::TMenuItem(form);
//   open->SetCaption("&Open…");
//   file->Add(open);                        // menu.Items()->Items(0)->Items(0) == open
//
// Form files. A menu item read nested inside a menu becomes one of the menu's entries, and one
// read nested inside another item becomes its last sub-item (SetParentComponent); a menu writes
// its entries nested inside it and an item its sub-items (GetChildren). The root item itself is
// never written. Caption, hint, checked, enabled and visible state are written only for an item
// without action, since an action supplies them.
//
// Lifetime. A menu item destroys its sub-items when it is destroyed, as it is in the classic
// library (sub-items owned by another component leave their owner then); being destroyed, it
// leaves its parent item's list first. `Delete` and `Remove` only take an item out of the list:
// whoever owns it destroys it later. So no parent or sub-item pointer dangles.
//
// Threads: user-interface thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/Component.h"
#include "kivo/rtl/Exceptions.h"

namespace kivo {

class TMenu;

inline constexpr const char* SMenuReinserted = "Menu inserted twice";
inline constexpr const char* SMenuIndexError = "Menu index out of range";
inline constexpr const char* SMenuNotFound = "Sub-menu is not in menu";
inline constexpr const char* SMenuSelfInsert = "Cannot insert a menu item into itself";

// A menu operation that does not fit the item tree.
class EMenuError : public Exception {
 public:
  using Exception::Exception;
};

class TMenuItem : public TComponent {
  KIVO_CLASS(TMenuItem, TComponent)

  // Creates an enabled, visible item without parent.
  explicit TMenuItem(TComponent* owner);
  // Drops its action link, destroys its sub-items and leaves its parent item's list.
  ~TMenuItem() override;

  // The number of sub-items.
  int Count() const { return static_cast<int>(items_.size()); }
  // The sub-item at `index`. Throws: EListError "List index out of bounds (%d)".
  TMenuItem* Items(int index) const;
  // The position of `item` among the sub-items, or -1.
  int IndexOf(const TMenuItem* item) const;
  // The item whose sub-item this is, or null.
  TMenuItem* Parent() const { return parent_; }
  // The menu whose tree holds this item, or null.
  TMenu* GetParentMenu() const;

  // Appends `item` to the sub-items.
  // Throws: as Insert.
  void Add(TMenuItem* item) { Insert(Count(), item); }
  // Puts `item` among the sub-items at `index` (0 … Count).
  // Throws: EMenuError "Menu inserted twice" when `item` has a parent already or is a menu's
  // root; EMenuError "Cannot insert a menu item into itself" when `item` is this item or holds
  // it; EMenuError "Menu index out of range" for another index. Nothing changes then.
  void Insert(int index, TMenuItem* item);
  // Takes the sub-item at `index` out of the list without destroying it.
  // Throws: EMenuError "Menu index out of range".
  // Ownership: the item's owner (or, without one, the caller) destroys it.
  void Delete(int index);
  // Takes `item` out of the sub-items without destroying it.
  // Throws: EMenuError "Sub-menu is not in menu" when it is not a sub-item.
  void Remove(TMenuItem* item);
  // Destroys every sub-item.
  void Clear();

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  // A plain stored text; nothing else happens.
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }
  // The keyboard shortcut (virtual key with shift flags), 0 for none.
  int ShortCut() const { return short_cut_; }
  void SetShortCut(int short_cut) { short_cut_ = short_cut; }

  // The linked action, or null.
  TBasicAction* Action() const;
  // Links the item to `action` (null: unlinks); a TCustomAction's caption, hint, enabled,
  // visible and checked state are copied at once and again whenever they change.
  void SetAction(TBasicAction* action);

  // Fires OnClick; without OnClick, executes the linked action.
  virtual void Click();
  // Drops the action link when the linked action is removed.
  void Notification(TComponent* component, TOperation operation) override;
  // Appends the item to `parent`'s entries (a TMenu) or sub-items (a TMenuItem), leaving its
  // former parent item; other parents are ignored.
  // Throws: as Insert (an item cannot become a sub-item of itself or of its sub-items).
  void SetParentComponent(TComponent* parent) override;
  // The sub-items, in order.
  void GetChildren(std::vector<TComponent*>& children) const override;

  TNotifyEvent OnClick;

 private:
  friend class TMenu;

  TMenuItem* parent_ = nullptr;    // Not owned; lists this item.
  std::vector<TMenuItem*> items_;  // Destroyed with this item; each leaves on destruction.
  TMenu* menu_ = nullptr;          // Set on a menu's root item only; the menu owns the root.
  std::string caption_;
  std::string hint_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  int short_cut_ = 0;
  std::unique_ptr<TBasicActionLink> action_link_;  // null while no action was linked
};

// The link between a menu item and its action: passes the action's state on to the item.
class TMenuActionLink : public TBasicActionLink {
  KIVO_CLASS(TMenuActionLink, TBasicActionLink)

  // Ownership: `client` owns the link and outlives it.
  explicit TMenuActionLink(TMenuItem* client) : client_(client) {}

  void SetCaption(const std::string& caption) override { client_->SetCaption(caption); }
  void SetHint(const std::string& hint) override { client_->SetHint(hint); }
  void SetEnabled(bool enabled) override { client_->SetEnabled(enabled); }
  void SetVisible(bool visible) override { client_->SetVisible(visible); }
  void SetChecked(bool checked) override { client_->SetChecked(checked); }

 private:
  TMenuItem* client_;  // Not owned; owns this link.
};

class TMenu : public TComponent {
  KIVO_CLASS(TMenu, TComponent)

  // Creates the menu with an empty root item.
  explicit TMenu(TComponent* owner);
  // Destroys what it owns, then the root item with every item below it.
  ~TMenu() override;

  // The root item, whose sub-items are the menu's entries. Ownership: the menu owns it (it is
  // not among the menu's owned components); never null.
  TMenuItem* Items() const { return items_.get(); }

  // The root item's sub-items, in order (the root item is not written).
  void GetChildren(std::vector<TComponent*>& children) const override;

 private:
  std::unique_ptr<TMenuItem> items_;
};

class TMainMenu : public TMenu {
  KIVO_CLASS(TMainMenu, TMenu)

  explicit TMainMenu(TComponent* owner);
};

class TPopupMenu : public TMenu {
  KIVO_CLASS(TPopupMenu, TMenu)

  explicit TPopupMenu(TComponent* owner);

  // Fires OnPopup; the menu would show at (`x`, `y`).
  virtual void Popup(int x, int y);
  bool AutoPopup() const { return auto_popup_; }
  void SetAutoPopup(bool value) { auto_popup_ = value; }

  TNotifyEvent OnPopup;

 private:
  bool auto_popup_ = true;
};

}  // namespace kivo
