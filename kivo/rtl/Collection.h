// Collections: ordered lists of persistent items of one class, owned by the collection.
//
// A collection creates its items itself, from its item class (`Add`, `Insert`), and destroys
// them (`Delete`, `Clear`, its destructor). Items know their collection, their index and a
// display name; a `TOwnedCollection` also knows the persistent object that owns it, such as the
// component whose property it is.
//
//   class TColumn : public TCollectionItem { KIVO_CLASS(TColumn, TCollectionItem) … };
//   TOwnedCollection columns(&list_view, TColumn::StaticClass());
//   auto* c = columns.Add<TColumn>();
//
// Copying (`Assign`) from another collection clears this one, then adds one new item per source
// item and copies the source item into it with the item's own `Assign`.
//
// Changes: `BeginUpdate`/`EndUpdate` bracket a batch of changes; `Update(item)` runs for a
// changed item (or with null for the whole collection) when no bracket is open, and once with
// null when the outermost bracket closes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kivo/rtl/Persistent.h"

namespace kivo {

class TCollection;

class TCollectionItem : public TPersistent {
  KIVO_CLASS(TCollectionItem, TPersistent)

  // Creates an item for `collection`, which adds it (items are made by TCollection::Add).
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return collection_; }
  // The item's position in its collection.
  int Index() const;
  // Moves the item to `index` within its collection.
  // Throws: EListError "List index out of bounds (%d)".
  void SetIndex(int index);
  // A number unique within the collection, given when the item is added.
  int ID() const { return id_; }

  // The name designers show for the item: GetDisplayName's answer.
  std::string DisplayName() const { return GetDisplayName(); }
  // The collection is the item's owner.
  TPersistent* GetOwner() const override;

 protected:
  // The display name; the base answers the class name.
  virtual std::string GetDisplayName() const;
  // Reports a change of this item (`all` false) or of the whole collection to the collection.
  void Changed(bool all);

 private:
  friend class TCollection;

  TCollection* collection_;  // not owned; the collection owns this item
  int id_ = 0;
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollection : public TPersistent {
  KIVO_CLASS(TCollection, TPersistent)

  // Creates an empty collection of items of class `item_class`.
  // REQUIRES: `item_class` descends from TCollectionItem.
  explicit TCollection(TClass item_class);
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  TClass ItemClass() const { return item_class_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // The item at `index`. Throws: EListError "List index out of bounds (%d)".
  TCollectionItem* Items(int index) const;
  // The item whose ID is `id`, or null.
  TCollectionItem* FindItemID(int id) const;

  // Creates an item of the item class and appends it.
  // Throws: Exception "Class TX cannot be created in a collection" when the item class has no
  // item factory. Ownership: the collection owns the item.
  TCollectionItem* Add();
  template <class T>
  T* Add() {
    return static_cast<T*>(Add());
  }
  // Creates an item and puts it at `index` (0 … Count).
  // Throws: EListError "List index out of bounds (%d)".
  TCollectionItem* Insert(int index);
  // Destroys the item at `index`. Throws: EListError "List index out of bounds (%d)".
  void Delete(int index);
  // Destroys every item.
  void Clear();

  // Copies a TCollection: Clear, then one new item per source item, copied with its Assign.
  // Other sources: the inherited Assign (the unsupported-assignment error).
  void Assign(const TPersistent* source) override;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return update_count_; }

  // The object that owns the collection; null for a plain collection.
  TPersistent* Owner() const { return GetOwner(); }

 protected:
  // Reacts to a change of `item`, or of the whole collection when null. The base does nothing.
  virtual void Update(TCollectionItem* item);
  // Reports that `item` was added, or is about to be taken out or destroyed.
  virtual void Notify(TCollectionItem* item, TCollectionNotification action);
  // Runs Update(null) unless a bracket is open.
  void Changed();

 private:
  friend class TCollectionItem;

  void ItemChanged(TCollectionItem* item);
  TCollectionItem* CreateAndInsert(int index);

  TClass item_class_;
  std::vector<std::unique_ptr<TCollectionItem>> items_;
  int next_id_ = 0;
  int update_count_ = 0;
};

// A collection that knows the persistent object (a component, say) that owns it.
class TOwnedCollection : public TCollection {
  KIVO_CLASS(TOwnedCollection, TCollection)

  // Ownership: `owner` is not owned; it owns this collection and outlives it.
  TOwnedCollection(TPersistent* owner, TClass item_class);

  TPersistent* GetOwner() const override { return owner_; }

 private:
  TPersistent* owner_;  // not owned
};

}  // namespace kivo
