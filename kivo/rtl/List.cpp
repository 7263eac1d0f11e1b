#include "kivo/rtl/List.h"

#include <algorithm>

#include "kivo/rtl/Exceptions.h"

namespace kivo {

KIVO_DEFINE_CLASS(TList) {}

TList::~TList() { TList::Clear(); }

int TList::Count() const { return static_cast<int>(items_.size()); }

void* TList::Items(int index) const {
  CheckIndex(index);
  return items_[index];
}

void TList::SetItems(int index, void* p) {
  CheckIndex(index);
  items_[index] = p;
}

int TList::Add(void* p) {
  items_.push_back(p);
  return Count() - 1;
}

void TList::Insert(int index, void* p) {
  if (index < 0 || index > Count()) throw EListError::IndexError(index);
  items_.insert(items_.begin() + index, p);
}

void TList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

int TList::IndexOf(const void* p) const {
  auto it = std::find(items_.begin(), items_.end(), p);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TList::Remove(const void* p) {
  int index = IndexOf(p);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(const void* p) {
  int index = IndexOf(p);
  if (index < 0) return nullptr;
  void* item = items_[index];
  Delete(index);
  return item;
}

void TList::Exchange(int i, int j) {
  CheckIndex(i);
  CheckIndex(j);
  std::swap(items_[i], items_[j]);
}

void TList::Move(int cur, int new_index) {
  CheckIndex(cur);
  CheckIndex(new_index);
  auto first = items_.begin();
  if (cur < new_index) {
    std::rotate(first + cur, first + cur + 1, first + new_index + 1);
  } else if (cur > new_index) {
    std::rotate(first + new_index, first + cur, first + cur + 1);
  }
}

void* TList::First() const { return Items(0); }

void* TList::Last() const { return Items(Count() - 1); }

void TList::Clear() { items_.clear(); }

void TList::Pack() {
  items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TList::Sort(const TListSortCompare& compare) {
  std::vector<void*> sorted = items_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&compare](void* a, void* b) { return compare(a, b) < 0; });
  items_.swap(sorted);
}

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError::IndexError(index);
}

}  // namespace kivo
