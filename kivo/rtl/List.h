// An ordered list of untyped pointers.
//
// `TList` keeps `void*` entries in order, addressed by index 0 … Count() - 1. It never
// dereferences, copies or frees what the pointers point to; a class that owns its entries
// derives from it and overrides `Clear` to free them.
//
//   kivo::TList list;
//   int a = 1, b = 2;
//   list.Add(&a);
//   list.Insert(0, &b);           // &b, &a
//   list.IndexOf(&a);             // 1
//   list.Items(2);                // throws EListError "List index out of bounds (2)"
//
// Threads: single-threaded, no locking.
#pragma once

#include <functional>
#include <vector>

#include "kivo/rtl/ClassModel.h"

namespace kivo {

// Compares two entries for TList::Sort: negative, zero or positive as `item1` sorts below, equal
// to or above `item2`.
using TListSortCompare = std::function<int(void* item1, void* item2)>;

class TList : public TObject {
  KIVO_CLASS(TList, TObject)

  TList() = default;
  // Calls TList::Clear only: a C++ destructor does not dispatch to a derived class's override,
  // so a derived class that overrides Clear calls it from its own destructor.
  ~TList() override;

  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;

  // The number of entries.
  int Count() const;
  // The entry at `index`.
  // Throws: EListError "List index out of bounds (5)" for an index outside 0 … Count() - 1.
  void* Items(int index) const;
  // Replaces the entry at `index`.
  // Throws: EListError "List index out of bounds (5)".
  void SetItems(int index, void* p);

  // Appends `p` (null included) and returns its index.
  int Add(void* p);
  // Inserts `p` before the entry at `index`; `index == Count()` appends.
  // Throws: EListError "List index out of bounds (5)" for an index outside 0 … Count().
  void Insert(int index, void* p);
  // Removes the entry at `index`; the entries after it move down by one.
  // Throws: EListError "List index out of bounds (5)".
  void Delete(int index);
  // The index of the first entry equal to `p`, or -1.
  int IndexOf(const void* p) const;
  // Removes the first entry equal to `p` and returns the index it had, or -1 when absent.
  int Remove(const void* p);
  // Removes the first entry equal to `p` and returns it, or null when absent.
  void* Extract(const void* p);
  // Swaps the entries at `i` and `j`.
  // Throws: EListError "List index out of bounds (5)" (`i` checked before `j`).
  void Exchange(int i, int j);
  // Moves the entry at `cur` to `new_index`; the entries between them shift by one.
  // Throws: EListError "List index out of bounds (5)" when either index is outside
  // 0 … Count() - 1 (`cur` checked before `new_index`).
  void Move(int cur, int new_index);
  // The first entry.
  // Throws: EListError "List index out of bounds (0)" on an empty list.
  void* First() const;
  // The last entry.
  // Throws: EListError "List index out of bounds (-1)" on an empty list (the index Count() - 1).
  void* Last() const;

  // Removes every entry. Derived classes that own their entries free them here.
  virtual void Clear();
  // Removes every null entry, keeping the order of the others.
  void Pack();
  // Sorts the entries by `compare`, keeping equal entries in their order (stable).
  // Throws: whatever `compare` throws; the list is unchanged then.
  void Sort(const TListSortCompare& compare);

 private:
  // Raises EListError "List index out of bounds (index)" unless 0 <= index < Count().
  void CheckIndex(int index) const;

  std::vector<void*> items_;
};

}  // namespace kivo
