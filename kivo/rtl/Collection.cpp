#include "kivo/rtl/Collection.h"

#include <algorithm>

#include "kivo/rtl/Exceptions.h"

namespace kivo {

KIVO_DEFINE_CLASS(TCollectionItem) {}
KIVO_DEFINE_CLASS(TCollection) {}
KIVO_DEFINE_CLASS(TOwnedCollection) {}

namespace {

// Keeps a collection's update bracket open for a scope, also when the scope fails.
class UpdateGuard {
 public:
  explicit UpdateGuard(TCollection& c) : c_(c) { c_.BeginUpdate(); }
  ~UpdateGuard() { c_.EndUpdate(); }
  UpdateGuard(const UpdateGuard&) = delete;
  UpdateGuard& operator=(const UpdateGuard&) = delete;

 private:
  TCollection& c_;
};

}  // namespace

TCollectionItem::TCollectionItem(TCollection* collection) : collection_(collection) {}

TCollectionItem::~TCollectionItem() = default;

int TCollectionItem::Index() const {
  if (collection_ == nullptr) return -1;
  const auto& items = collection_->items_;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].get() == this) return static_cast<int>(i);
  }
  return -1;
}

void TCollectionItem::SetIndex(int index) {
  const int current = Index();
  if (current < 0 || index == current) return;
  auto& items = collection_->items_;
  if (index < 0 || index >= static_cast<int>(items.size())) throw EListError::IndexError(index);
  std::unique_ptr<TCollectionItem> self = std::move(items[static_cast<size_t>(current)]);
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, std::move(self));
  Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

std::string TCollectionItem::GetDisplayName() const { return ClassName(); }

void TCollectionItem::Changed(bool all) {
  if (collection_ == nullptr) return;
  if (all) {
    collection_->Changed();
  } else {
    collection_->ItemChanged(this);
  }
}

TCollection::TCollection(TClass item_class) : item_class_(item_class) {}

TCollection::~TCollection() {
  // The derived parts are gone: destroy the items without calling the Notify and Update hooks.
  while (!items_.empty()) items_.pop_back();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError::IndexError(index);
  return items_[static_cast<size_t>(index)].get();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (const auto& item : items_) {
    if (item->id_ == id) return item.get();
  }
  return nullptr;
}

TCollectionItem* TCollection::CreateAndInsert(int index) {
  if (item_class_ == nullptr || !item_class_->InheritsFrom(TCollectionItem::StaticClass())) {
    throw Exception("Collection has no item class");
  }
  std::unique_ptr<TCollectionItem> item(item_class_->CreateItem(this));
  TCollectionItem* raw = item.get();
  raw->collection_ = this;
  raw->id_ = next_id_++;
  items_.insert(items_.begin() + index, std::move(item));
  Notify(raw, cnAdded);
  Changed();
  return raw;
}

TCollectionItem* TCollection::Add() { return CreateAndInsert(Count()); }

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError::IndexError(index);
  return CreateAndInsert(index);
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  // Take the item out before destroying it, so that its destructor sees a consistent list.
  std::unique_ptr<TCollectionItem> doomed = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  doomed.reset();
  Changed();
}

void TCollection::Clear() {
  if (items_.empty()) return;
  UpdateGuard guard(*this);
  while (!items_.empty()) Delete(Count() - 1);
}

void TCollection::Assign(const TPersistent* source) {
  const auto* other = As<TCollection>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  UpdateGuard guard(*this);
  Clear();
  for (int i = 0; i < other->Count(); ++i) Add()->Assign(other->Items(i));
}

void TCollection::BeginUpdate() { ++update_count_; }

void TCollection::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0) Changed();
}

void TCollection::Update(TCollectionItem* /*item*/) {}

void TCollection::Notify(TCollectionItem* /*item*/, TCollectionNotification /*action*/) {}

void TCollection::Changed() {
  if (update_count_ == 0) Update(nullptr);
}

void TCollection::ItemChanged(TCollectionItem* item) {
  if (update_count_ == 0) Update(item);
}

TOwnedCollection::TOwnedCollection(TPersistent* owner, TClass item_class)
    : TCollection(item_class), owner_(owner) {}

}  // namespace kivo
