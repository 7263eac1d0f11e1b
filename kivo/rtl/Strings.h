// String lists: byte strings, each with an object pointer.
//
// `TStrings` is the abstract interface of a list of strings: a class that stores strings in its
// own way (the lines of an editor, the items of a list box) supplies the storage primitives and
// inherits the rest — adding, searching, moving, text conversion, copying with `Assign`.
// `TStringList` is the ordinary in-memory implementation. It can keep itself sorted, then adds
// each string at its place, refuses or accepts duplicates as asked and searches by bisection.
//
//   kivo::TStringList list;
//   list.SetSorted(true);
//   list.Add("beta");
//   list.Add("Alpha");            // list: "Alpha", "beta"
//   int index;
//   list.Find("ALPHA", index);    // true, index 0 (letter case ignored by default)
//   list.Text();                  // "Alpha\r\nbeta\r\n"
//
// Comparison. Searching and sorting use the list's comparison, `CompareStrings`. For a
// `TStringList` that is `AnsiCompareText` (Western letters fold their case) or, with
// `CaseSensitive`, `AnsiCompareStr` (StrUtils.h).
//
// Objects. The object pointer of an entry travels with its string through every operation that
// moves strings (sort, insert, delete, exchange, move, assign). The list never owns or deletes
// these objects.
//
// Change events (TStringList). Outside an update bracket every change fires `OnChanging` just
// before and `OnChange` just after it. Inside a bracket (`BeginUpdate` … `EndUpdate`, nestable)
// changes fire nothing; instead the outermost `BeginUpdate` fires `OnChanging` once and the
// outermost `EndUpdate` fires `OnChange` once, whether or not anything changed in between.
// Operations that change nothing (clearing an empty list, sorting fewer than two strings,
// exchanging or moving an entry onto itself, a refused or ignored duplicate) fire nothing.
//
// Threads: single-threaded, no locking.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kivo/rtl/ClassModel.h"
#include "kivo/rtl/Persistent.h"

namespace kivo {

// What a sorted string list does with a string that compares equal to one it holds.
enum TDuplicates {
  dupIgnore,  // keeps the list as it is; Add returns the index of the string already there
  dupAccept,  // adds the string as well
  dupError,   // raises EStringListError "String list does not allow duplicates"
};

// The abstract string list. Derived classes supply the primitives (`Count`, `Strings`,
// `SetStrings`, `Objects`, `SetObjects`, `Insert`, `Delete`, `Clear`); the rest is built on them
// and may be overridden where the storage can do better.
class TStrings : public TPersistent {
  KIVO_CLASS(TStrings, TPersistent)

  TStrings() = default;
  ~TStrings() override = default;

  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  // The number of strings.
  virtual int Count() const = 0;
  // The string at `index`.
  // Throws: EListError "List index out of bounds (7)" for an index outside 0 … Count() - 1.
  virtual std::string Strings(int index) const = 0;
  // Replaces the string at `index`, keeping its object.
  // Throws: EListError "List index out of bounds (7)"; a list that keeps itself sorted may raise
  // EStringListError "Operation not allowed on sorted list".
  virtual void SetStrings(int index, const std::string& s) = 0;
  // The object of the entry at `index` (may be null).
  // Throws: EListError "List index out of bounds (7)".
  virtual TObject* Objects(int index) const = 0;
  // Replaces the object of the entry at `index`.
  // Throws: EListError "List index out of bounds (7)".
  // Ownership: not taken; the object must outlive its use through the list.
  virtual void SetObjects(int index, TObject* o) = 0;
  // Inserts `s` (with a null object) before the entry at `index`; `index == Count()` appends.
  // Throws: EListError "List index out of bounds (7)" for an index outside 0 … Count(); a sorted
  // list may raise EStringListError "Operation not allowed on sorted list".
  virtual void Insert(int index, const std::string& s) = 0;
  // Inserts `s` with the object `o` before the entry at `index`. The default inserts the string
  // and then sets its object.
  // Throws: as Insert.
  // Ownership: `o` is not taken.
  virtual void InsertObject(int index, const std::string& s, TObject* o);
  // Removes the entry at `index`; the entries after it move down by one.
  // Throws: EListError "List index out of bounds (7)".
  virtual void Delete(int index) = 0;
  // Removes every entry.
  virtual void Clear() = 0;

  // Appends `s` and returns its index. The default inserts at Count(); a sorted list inserts at
  // the string's place and may keep an equal string instead (see TStringList::Add).
  // Throws: as Insert; a sorted list may raise EStringListError "String list does not allow
  // duplicates".
  virtual int Add(const std::string& s);
  // Adds `s` with the object `o` as Add does and returns its index. The default calls Add and
  // then sets the object of the returned index.
  // Throws: as Add.
  // Ownership: `o` is not taken.
  virtual int AddObject(const std::string& s, TObject* o);
  // Appends every entry of `source`, strings with their objects, inside one update bracket.
  // Adding a list to itself doubles it.
  // Throws: as AddObject; the entries added before the failing one stay.
  void AddStrings(const TStrings& source);

  // The index of the first string that compares equal to `s` under CompareStrings, or -1.
  virtual int IndexOf(const std::string& s) const;
  // The index of the first entry whose object is `o`, or -1.
  int IndexOfObject(const TObject* o) const;

  // Swaps the entries (strings and objects) at `i` and `j`. The default swaps them through
  // SetStrings and SetObjects inside one update bracket.
  // Throws: EListError "List index out of bounds (7)" (naming the first bad index, `i` before
  // `j`); nothing has changed then.
  virtual void Exchange(int i, int j);
  // Moves the entry (string and object) at `cur` to `new_index`; the entries between them shift
  // by one. The default deletes and re-inserts the entry inside one update bracket.
  // Throws: EListError "List index out of bounds (7)" when either index is outside
  // 0 … Count() - 1 (`cur` checked first); nothing has changed then.
  virtual void Move(int cur, int new_index);

  // Every string followed by a line break (CR LF): "a\r\nb\r\n"; "" for an empty list.
  std::string Text() const;
  // Replaces the strings by the lines of `text`, inside one update bracket. A line ends at
  // CR LF, LF or CR; a break at the end of the text adds no empty string, so Text() round-trips.
  // The lines are added with Add (a sorted list sorts them); objects are null.
  void SetText(std::string_view text);
  // The strings as one comma-separated line. A string that is empty or holds a space, a control
  // character, a comma or a double quote is put in double quotes, its quotes doubled:
  // `a,"b c","say ""hi""",""`.
  std::string CommaText() const;
  // Replaces the strings by the items of `text`, inside one update bracket. Items are separated
  // by a comma or by spaces and control characters, which are dropped around a comma; an item
  // that starts with a double quote runs to the next single (undoubled) quote, with "" standing
  // for one quote. Two commas in a row, or a comma at the start or the end, give an empty string.
  void SetCommaText(std::string_view text);

  // Opens an update bracket; brackets nest. Only the outermost one notifies (SetUpdateState).
  void BeginUpdate();
  // Closes the innermost update bracket. An EndUpdate without a matching BeginUpdate does
  // nothing.
  void EndUpdate();
  // The number of open update brackets.
  int UpdateCount() const { return update_count_; }

  // True when both lists hold the same number of strings and the strings at each index are
  // byte-for-byte equal. Objects and the lists' comparisons are not considered.
  bool Equals(const TStrings& other) const;

  // Copies a TStrings source: clears this list and adds the source's strings with their objects,
  // inside one update bracket. This list keeps its own settings (a sorted TStringList sorts what
  // it receives and applies its Duplicates). Other sources go to the inherited Assign.
  // Throws: EConvertError "Cannot assign a TPersistent to a TStringList" for a source that
  // neither class can copy ("nil" for a null source); the errors of AddObject.
  void Assign(const TPersistent* source) override;

  // Compares two strings as this list orders and searches them: negative, zero or positive as
  // `s1` sorts below, equal to or above `s2`. The default is AnsiCompareText.
  virtual int CompareStrings(const std::string& s1, const std::string& s2) const;

 protected:
  // Called by the outermost BeginUpdate (`updating` true) and the outermost EndUpdate (false).
  // The default does nothing.
  virtual void SetUpdateState(bool updating);

  // Raises EListError "List index out of bounds (index)" unless 0 <= index < Count().
  void CheckIndex(int index) const;

 private:
  int update_count_ = 0;
};

// An update bracket as a scope: BeginUpdate on construction, EndUpdate on destruction, also when
// the scope is left by an exception.
// REQUIRES: change handlers run by the closing EndUpdate do not throw.
class TStringsUpdate {
 public:
  explicit TStringsUpdate(TStrings& strings) : strings_(strings) { strings_.BeginUpdate(); }
  ~TStringsUpdate() { strings_.EndUpdate(); }

  TStringsUpdate(const TStringsUpdate&) = delete;
  TStringsUpdate& operator=(const TStringsUpdate&) = delete;

 private:
  TStrings& strings_;
};

// The in-memory string list, optionally sorted. See the file comment for the change events.
class TStringList : public TStrings {
  KIVO_CLASS(TStringList, TStrings)

  // Compares the entries at two indices of the list for CustomSort: negative, zero or positive.
  using TStringListSortCompare =
      std::function<int(const TStringList& list, int index1, int index2)>;

  TStringList() = default;
  ~TStringList() override = default;

  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  int Count() const override;
  std::string Strings(int index) const override;
  // Replaces the string at `index`, keeping its object.
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list;
  // EListError "List index out of bounds (7)".
  void SetStrings(int index, const std::string& s) override;
  TObject* Objects(int index) const override;
  void SetObjects(int index, TObject* o) override;
  // Inserts `s` before the entry at `index`; `index == Count()` appends.
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list (checked
  // first); EListError "List index out of bounds (7)" for an index outside 0 … Count().
  void Insert(int index, const std::string& s) override;
  // Inserts `s` with `o`, as one change. Throws: as Insert.
  void InsertObject(int index, const std::string& s, TObject* o) override;
  void Delete(int index) override;
  // Removes every entry; an empty list fires no events.
  void Clear() override;

  // Adds `s` with a null object; see AddObject.
  int Add(const std::string& s) override;
  // Unsorted: appends `s` with `o` and returns its index. Sorted: finds the place of `s` (Find);
  // when an equal string is there, dupIgnore returns that string's index and changes nothing
  // (its object stays), dupError raises, dupAccept inserts before the first equal string.
  // Throws: EStringListError "String list does not allow duplicates" (sorted, dupError).
  // Ownership: `o` is not taken.
  int AddObject(const std::string& s, TObject* o) override;
  // Sorted: Find; otherwise the first index whose string compares equal, or -1.
  int IndexOf(const std::string& s) const override;

  // Swaps the entries at `i` and `j` as one change.
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list;
  // EListError "List index out of bounds (7)" (`i` checked before `j`).
  void Exchange(int i, int j) override;
  // Moves the entry at `cur` to `new_index` as one change.
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list;
  // EListError "List index out of bounds (7)" (`cur` checked before `new_index`).
  void Move(int cur, int new_index) override;

  // Searches `s` by bisection with CompareStrings. Returns true when found and sets `index` to
  // the first entry that compares equal; otherwise returns false and sets `index` to the place
  // where `s` would be inserted to keep the order (0 … Count()). The list need not be marked
  // Sorted, only ordered by CompareStrings; on a list in another order the answer is meaningless
  // but the search stays within the list.
  bool Find(const std::string& s, int& index) const;

  // Sorts the entries by CompareStrings, keeping equal strings in their order (stable). Does
  // not set Sorted. A sorted list is left as it is.
  void Sort();
  // Sorts the entries by `compare`, stable. The compare function sees the list in its order
  // before the sort (the entries are rearranged once all comparisons are made); if it throws,
  // the list is unchanged. Does not set Sorted.
  // Throws: EStringListError "Operation not allowed on sorted list" on a sorted list; whatever
  // `compare` throws.
  void CustomSort(const TStringListSortCompare& compare);

  // True when the list keeps itself sorted by CompareStrings.
  bool Sorted() const { return sorted_; }
  // Turning sorting on sorts the list (stable); turning it off keeps the current order.
  void SetSorted(bool sorted);
  // What a sorted list does with duplicates; dupIgnore by default.
  TDuplicates Duplicates() const { return duplicates_; }
  // Takes effect for later additions; duplicates already in the list stay.
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  // True when comparisons respect letter case (AnsiCompareStr); false by default
  // (AnsiCompareText).
  bool CaseSensitive() const { return case_sensitive_; }
  // Changes the comparison; a sorted list sorts itself again by the new one.
  void SetCaseSensitive(bool case_sensitive);

  // AnsiCompareStr when CaseSensitive, AnsiCompareText otherwise.
  int CompareStrings(const std::string& s1, const std::string& s2) const override;

  // Fired after each change, or once by the outermost EndUpdate.
  TNotifyEvent OnChange;
  // Fired before each change, or once by the outermost BeginUpdate.
  TNotifyEvent OnChanging;

 protected:
  void SetUpdateState(bool updating) override;

  // Fires OnChanging unless an update bracket is open.
  virtual void Changing();
  // Fires OnChange unless an update bracket is open.
  virtual void Changed();

 private:
  struct TStringItem {
    std::string string;
    TObject* object;  // Not owned.
  };

  // Raises EStringListError "Operation not allowed on sorted list" when sorted.
  void CheckNotSorted() const;
  // Inserts without checks, as one change.
  void InsertItem(int index, const std::string& s, TObject* o);
  // Stable sort by CompareStrings, as one change when there are two entries or more.
  void SortItems();
  // Rearranges the entries so that entry i is the former entry order[i], as one change.
  void ApplyOrder(const std::vector<int>& order);

  std::vector<TStringItem> items_;
  bool sorted_ = false;
  bool case_sensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

}  // namespace kivo
