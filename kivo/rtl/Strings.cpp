#include "kivo/rtl/Strings.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo {

KIVO_DEFINE_CLASS(TStrings) {}
KIVO_DEFINE_CLASS(TStringList) {}

namespace {

// Spaces and control characters separate comma-text items.
bool IsCommaSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool NeedsCommaQuotes(const std::string& s) {
  return s.empty() || std::any_of(s.begin(), s.end(),
                                  [](char c) { return IsCommaSpace(c) || c == '"' || c == ','; });
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::InsertObject(int index, const std::string& s, TObject* o) {
  TStringsUpdate update(*this);
  Insert(index, s);
  SetObjects(index, o);
}

int TStrings::Add(const std::string& s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* o) {
  TStringsUpdate update(*this);
  int index = Add(s);
  SetObjects(index, o);
  return index;
}

void TStrings::AddStrings(const TStrings& source) {
  TStringsUpdate update(*this);
  if (&source == this) {
    // Adding to itself: take the entries first, the list grows while they are added.
    std::vector<std::pair<std::string, TObject*>> entries;
    entries.reserve(Count());
    for (int i = 0; i < Count(); ++i) entries.emplace_back(Strings(i), Objects(i));
    for (const auto& [s, o] : entries) AddObject(s, o);
    return;
  }
  for (int i = 0; i < source.Count(); ++i) AddObject(source.Strings(i), source.Objects(i));
}

int TStrings::IndexOf(const std::string& s) const {
  for (int i = 0; i < Count(); ++i) {
    if (CompareStrings(Strings(i), s) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* o) const {
  for (int i = 0; i < Count(); ++i) {
    if (Objects(i) == o) return i;
  }
  return -1;
}

void TStrings::Exchange(int i, int j) {
  CheckIndex(i);
  CheckIndex(j);
  if (i == j) return;
  TStringsUpdate update(*this);
  std::string s = Strings(i);
  TObject* o = Objects(i);
  SetStrings(i, Strings(j));
  SetObjects(i, Objects(j));
  SetStrings(j, s);
  SetObjects(j, o);
}

void TStrings::Move(int cur, int new_index) {
  CheckIndex(cur);
  CheckIndex(new_index);
  if (cur == new_index) return;
  TStringsUpdate update(*this);
  std::string s = Strings(cur);
  TObject* o = Objects(cur);
  Delete(cur);
  InsertObject(new_index, s, o);
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) {
    text += Strings(i);
    text += "\r\n";
  }
  return text;
}

void TStrings::SetText(std::string_view text) {
  TStringsUpdate update(*this);
  Clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    Add(std::string(text.substr(pos, end - pos)));
    pos = end + 1;  // past the CR or LF (or the end of the text)
    if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
}

std::string TStrings::CommaText() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) {
    if (i > 0) text += ',';
    std::string s = Strings(i);
    if (!NeedsCommaQuotes(s)) {
      text += s;
      continue;
    }
    text += '"';
    for (char c : s) {
      if (c == '"') text += '"';
      text += c;
    }
    text += '"';
  }
  return text;
}

void TStrings::SetCommaText(std::string_view text) {
  TStringsUpdate update(*this);
  Clear();
  size_t pos = 0;
  auto skip_spaces = [&] {
    while (pos < text.size() && IsCommaSpace(text[pos])) ++pos;
  };
  skip_spaces();
  if (pos == text.size()) return;
  while (true) {
    std::string item;
    if (pos < text.size() && text[pos] == '"') {
      ++pos;
      while (pos < text.size()) {
        if (text[pos] == '"') {
          if (pos + 1 < text.size() && text[pos + 1] == '"') {
            item += '"';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        item += text[pos++];
      }
    } else {
      while (pos < text.size() && !IsCommaSpace(text[pos]) && text[pos] != ',') {
        item += text[pos++];
      }
    }
    Add(item);
    skip_spaces();
    if (pos == text.size()) return;
    if (text[pos] == ',') {
      ++pos;
      skip_spaces();
    }
  }
}

void TStrings::BeginUpdate() {
  if (update_count_ == 0) SetUpdateState(true);
  ++update_count_;
}

void TStrings::EndUpdate() {
  if (update_count_ == 0) return;
  --update_count_;
  if (update_count_ == 0) SetUpdateState(false);
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i) {
    if (Strings(i) != other.Strings(i)) return false;
  }
  return true;
}

void TStrings::Assign(const TPersistent* source) {
  if (!Is<TStrings>(source)) {
    Inherited::Assign(source);
    return;
  }
  if (source == this) return;
  TStringsUpdate update(*this);
  Clear();
  AddStrings(*static_cast<const TStrings*>(source));
}

int TStrings::CompareStrings(const std::string& s1, const std::string& s2) const {
  return AnsiCompareText(s1, s2);
}

void TStrings::SetUpdateState(bool /*updating*/) {}

void TStrings::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError::IndexError(index);
}

// ---------------------------------------------------------------------------------------------
// TStringList

int TStringList::Count() const { return static_cast<int>(items_.size()); }

std::string TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[index].string;
}

void TStringList::SetStrings(int index, const std::string& s) {
  CheckNotSorted();
  CheckIndex(index);
  Changing();
  items_[index].string = s;
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::SetObjects(int index, TObject* o) {
  CheckIndex(index);
  Changing();
  items_[index].object = o;
  Changed();
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* o) {
  CheckNotSorted();
  if (index < 0 || index > Count()) throw EListError::IndexError(index);
  InsertItem(index, s, o);
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* o) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    switch (duplicates_) {
      case dupIgnore:
        return index;
      case dupError:
        throw EStringListError(SDuplicateString);
      case dupAccept:
        break;
    }
  }
  InsertItem(index, s, o);
  return index;
}

int TStringList::IndexOf(const std::string& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

void TStringList::Exchange(int i, int j) {
  CheckNotSorted();
  CheckIndex(i);
  CheckIndex(j);
  if (i == j) return;
  Changing();
  std::swap(items_[i], items_[j]);
  Changed();
}

void TStringList::Move(int cur, int new_index) {
  CheckNotSorted();
  CheckIndex(cur);
  CheckIndex(new_index);
  if (cur == new_index) return;
  Changing();
  auto first = items_.begin();
  if (cur < new_index) {
    std::rotate(first + cur, first + cur + 1, first + new_index + 1);
  } else {
    std::rotate(first + new_index, first + cur, first + cur + 1);
  }
  Changed();
}

bool TStringList::Find(const std::string& s, int& index) const {
  // Lower bound: the first entry that does not compare below `s`.
  int lo = 0;
  int hi = Count();
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (CompareStrings(items_[mid].string, s) < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  index = lo;
  return lo < Count() && CompareStrings(items_[lo].string, s) == 0;
}

void TStringList::Sort() {
  if (!sorted_) SortItems();
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  CheckNotSorted();
  if (Count() < 2) return;
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return compare(*this, a, b) < 0; });
  ApplyOrder(order);
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) SortItems();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool case_sensitive) {
  if (case_sensitive == case_sensitive_) return;
  case_sensitive_ = case_sensitive;
  if (sorted_) SortItems();
}

int TStringList::CompareStrings(const std::string& s1, const std::string& s2) const {
  return case_sensitive_ ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) {
    Changing();
  } else {
    Changed();
  }
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::CheckNotSorted() const {
  if (sorted_) throw EStringListError(SSortedListError);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* o) {
  Changing();
  items_.insert(items_.begin() + index, TStringItem{s, o});
  Changed();
}

void TStringList::SortItems() {
  if (Count() < 2) return;
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
    return CompareStrings(items_[a].string, items_[b].string) < 0;
  });
  ApplyOrder(order);
}

void TStringList::ApplyOrder(const std::vector<int>& order) {
  std::vector<TStringItem> reordered;
  reordered.reserve(items_.size());
  for (int i : order) reordered.push_back(items_[i]);
  Changing();
  items_.swap(reordered);
  Changed();
}

}  // namespace kivo
