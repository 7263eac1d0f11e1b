// The replacer: a non-visual component that translates its owner (form, frame or data module).
//
// TKivoMultiReplacer walks its owner with the component walk of KivoMultiReplace.h, using the
// dictionaries that its options name in KivoDDStorage. Components listed in ReplaceComs are
// translated first, each with settings of its own; components listed in UnReplaceComs are never
// visited by the owned and child steps. By default the owner is translated as soon as it has been
// loaded (outside a designer); Replace translates on request.
//
//   auto* replacer = new kivo::TKivoMultiReplacer(form);
//   replacer->OwnerOption()->SetDDName("Main");
//   replacer->OwnerOption()->SetCodePage("1252");
//   auto* item = replacer->ReplaceComs()->Add<kivo::TReplaceCom>();
//   item->SetComponent(status_bar);
//   item->ReplaceOption()->SetCodePage("936");
//   replacer->UnReplaceComs()->Add<kivo::TUnReplaceCom>()->SetComponent(log_memo);
//   replacer->Replace();
//
// Invariant: a component is named by at most one item of ReplaceComs, by at most one item of
// UnReplaceComs, and never by both lists; the replacer asks every named component for a free
// notification and clears the items that name a component when it is removed.
//
// Threads: user-interface thread only.
#pragma once

#include <memory>
#include <string>

#include "kivo/core/KivoMultiReplace.h"
#include "kivo/rtl/Collection.h"
#include "kivo/rtl/Component.h"

namespace kivo {

class TKivoMultiReplacer;

// Message formats of the items' Component writers (placeholder: the component's Name).
inline constexpr const char* SComAddedInUnReplaceList =
    "component: \"%s\" already added in unreplace list.";
inline constexpr const char* SComAlreadyAdded = "component: \"%s\" already added.";
inline constexpr const char* SComAddedInReplaceList =
    "component: \"%s\" already added in replace list.";

// An item of ReplaceComs: one component translated with options of its own.
//
// Persistent properties, in this order: Component (not owned, may be null), ReplaceOption.
class TReplaceCom : public TCollectionItem {
  KIVO_CLASS(TReplaceCom, TCollectionItem)

  // Creates an item without component and with default options.
  explicit TReplaceCom(TCollection* collection);
  ~TReplaceCom() override;

  // Not owned; cleared by the replacer's Notification.
  TComponent* Component() const { return component_; }
  // Names `value` (null clears the item); the same component again changes nothing.
  // Throws: Exception "component: "X" already added in unreplace list." when the replacer's
  // UnReplaceComs names `value`; Exception "component: "X" already added." when another item of
  // ReplaceComs does. The item keeps its component then.
  void SetComponent(TComponent* value);

  // Ownership: the item owns its options; never null.
  TMultiReplaceOption* ReplaceOption() const { return replace_option_.get(); }
  // Copies `value` into the owned options.
  // Throws: EConvertError "Cannot assign a nil to a TMultiReplaceOption" for null.
  void SetReplaceOption(const TMultiReplaceOption* value) { replace_option_->Assign(value); }

  // The replacer that owns the item's collection, or null.
  TKivoMultiReplacer* Replacer() const;

 protected:
  // The component's Name, or "" without component.
  std::string GetDisplayName() const override;

 private:
  friend class TReplaceComs;
  friend class TKivoMultiReplacer;

  TComponent* component_ = nullptr;  // Not owned; cleared by Notification.
  std::unique_ptr<TMultiReplaceOption> replace_option_;
};

// An item of UnReplaceComs: one component that the walks must not visit.
//
// Persistent property: Component (not owned, may be null).
class TUnReplaceCom : public TCollectionItem {
  KIVO_CLASS(TUnReplaceCom, TCollectionItem)

  explicit TUnReplaceCom(TCollection* collection);

  // Not owned; cleared by the replacer's Notification.
  TComponent* Component() const { return component_; }
  // Names `value` (null clears the item); writing the current component stores it again.
  // Throws: Exception "component: "X" already added in replace list." when the replacer's
  // ReplaceComs names `value`; Exception "component: "X" already added." when another item of
  // UnReplaceComs does. The item keeps its component then.
  void SetComponent(TComponent* value);

  // The replacer that owns the item's collection, or null.
  TKivoMultiReplacer* Replacer() const;

 protected:
  // The component's Name, or "" without component.
  std::string GetDisplayName() const override;

 private:
  friend class TUnReplaceComs;
  friend class TKivoMultiReplacer;

  TComponent* component_ = nullptr;  // Not owned; cleared by Notification.
};

// The replacer's ReplaceComs.
class TReplaceComs : public TOwnedCollection {
  KIVO_CLASS(TReplaceComs, TOwnedCollection)

  // Ownership: `owner` (may be null) owns the collection. Without owner nobody watches the
  // named components: whoever names them keeps them alive while the items name them.
  explicit TReplaceComs(TKivoMultiReplacer* owner);

  // The item at `index`. Throws: EListError "List index out of bounds (%d)".
  TReplaceCom* Items(int index) const {
    return static_cast<TReplaceCom*>(TCollection::Items(index));
  }
  // The first item whose Component is `component`, or null.
  TReplaceCom* FindCom(const TComponent* component) const;

  // From another TReplaceComs: clears this collection, then adds one item per source item with
  // the source item's component and a copy of its ReplaceOption. The components are checked as
  // the Component writer checks them, all before anything changes: a source component that this
  // replacer's UnReplaceComs names, or that two source items name, fails with the writer's
  // message and leaves the collection as it was. The copied components are asked for free
  // notifications. Assigning the collection to itself changes nothing. Other sources: the
  // inherited Assign.
  // Throws: Exception "component: "X" already added in unreplace list." or "component: "X"
  // already added."; EConvertError for other sources.
  void Assign(const TPersistent* source) override;

  // The replacer that owns the collection, or null.
  TKivoMultiReplacer* Replacer() const;
};

// The replacer's UnReplaceComs.
class TUnReplaceComs : public TOwnedCollection {
  KIVO_CLASS(TUnReplaceComs, TOwnedCollection)

  // Ownership: `owner` (may be null) owns the collection. Without owner nobody watches the
  // named components: whoever names them keeps them alive while the items name them.
  explicit TUnReplaceComs(TKivoMultiReplacer* owner);

  // The item at `index`. Throws: EListError "List index out of bounds (%d)".
  TUnReplaceCom* Items(int index) const {
    return static_cast<TUnReplaceCom*>(TCollection::Items(index));
  }
  // The first item whose Component is `component`, or null.
  TUnReplaceCom* FindCom(const TComponent* component) const;

  // From another TUnReplaceComs: as TReplaceComs::Assign, with the lists' roles swapped (a
  // source component that this replacer's ReplaceComs names fails with "component: "X" already
  // added in replace list.").
  void Assign(const TPersistent* source) override;

  // The replacer that owns the collection, or null.
  TKivoMultiReplacer* Replacer() const;
};

// Translates its owner, once it has been loaded or on request.
//
// Persistent properties, in this order: ReplaceComs, UnReplaceComs, AutoReplace (true),
// OwnerOption, OnBeforeReplace, OnAfterReplaced.
class TKivoMultiReplacer : public TComponent, public IMultiReplaceQuery {
  KIVO_CLASS(TKivoMultiReplacer, TComponent)

  // Creates the replacer with empty lists, default options and AutoReplace on.
  explicit TKivoMultiReplacer(TComponent* owner);
  // Frees OwnerOption, UnReplaceComs and ReplaceComs, in this order; the named components are
  // not touched.
  ~TKivoMultiReplacer() override;

  // Ownership: the replacer owns both collections; never null.
  TReplaceComs* ReplaceComs() const { return replace_coms_.get(); }
  // Copies `value` into ReplaceComs (TReplaceComs::Assign).
  // Throws: as TReplaceComs::Assign; EConvertError "Cannot assign a nil to a TReplaceComs".
  void SetReplaceComs(const TReplaceComs* value) { replace_coms_->Assign(value); }
  TUnReplaceComs* UnReplaceComs() const { return unreplace_coms_.get(); }
  // Copies `value` into UnReplaceComs (TUnReplaceComs::Assign).
  // Throws: as TUnReplaceComs::Assign; EConvertError "Cannot assign a nil to a TUnReplaceComs".
  void SetUnReplaceComs(const TUnReplaceComs* value) { unreplace_coms_->Assign(value); }

  // Translate the owner when it has been loaded (not in a designer).
  bool AutoReplace() const { return auto_replace_; }
  void SetAutoReplace(bool value) { auto_replace_ = value; }

  // The settings for the owner. Ownership: the replacer owns them; never null.
  TMultiReplaceOption* OwnerOption() const { return owner_option_.get(); }
  // Copies `value` into OwnerOption; null is ignored.
  void SetOwnerOption(const TMultiReplaceOption* value);

  // Called with the replacer as sender at the start of Replace.
  TNotifyEvent OnBeforeReplace;
  // Called with the replacer as sender at the end of a Replace whose passes all completed.
  TNotifyEvent OnAfterReplaced;

  // False for null and for a component that UnReplaceComs names; true otherwise.
  bool AllowReplaceCom(TComponent* component) override;

  // After the inherited Loaded: Replace, when not designing and AutoReplace is on.
  // Throws: whatever Replace raises.
  void Loaded() override;
  // After the inherited Notification: on a removal, unless the replacer is being destroyed, the
  // items of both lists that name `component` lose their component (they stay in the lists).
  void Notification(TComponent* component, TOperation operation) override;

  // Translates now, with one visited list: the ReplaceComs items that translate themselves, then
  // what each item's component owns and contains, then the owner (itself, owned, children) with
  // OwnerOption. Items and options naming no registered dictionary are skipped.
  // Throws: the errors of the walk; OnAfterReplaced is not called then.
  virtual void Replace();

 private:
  // Declared in the reverse of their destruction order.
  std::unique_ptr<TReplaceComs> replace_coms_;
  std::unique_ptr<TUnReplaceComs> unreplace_coms_;
  std::unique_ptr<TMultiReplaceOption> owner_option_;
  bool auto_replace_ = true;
};

}  // namespace kivo
