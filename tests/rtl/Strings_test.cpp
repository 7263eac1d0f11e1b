#include "kivo/rtl/Strings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

using Lines = std::vector<std::string>;

Lines Contents(const TStrings& list) {
  Lines lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

void Fill(TStrings& list, const Lines& lines) {
  for (const std::string& s : lines) list.Add(s);
}

// Runs `call` and expects an exception of class E with exactly `message`.
template <class E>
void ExpectError(const std::function<void()>& call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

TEST(StringList, BadIndicesRaiseTheListIndexError) {
  TStringList list;
  Fill(list, {"a", "b", "c"});
  struct Row {
    const char* name;
    std::function<void()> call;
    const char* message;
  } rows[] = {
      {"Strings", [&] { list.Strings(3); }, "List index out of bounds (3)"},
      {"Strings negative", [&] { list.Strings(-1); }, "List index out of bounds (-1)"},
      {"SetStrings", [&] { list.SetStrings(5, "x"); }, "List index out of bounds (5)"},
      {"Objects", [&] { list.Objects(3); }, "List index out of bounds (3)"},
      {"SetObjects", [&] { list.SetObjects(-4, nullptr); }, "List index out of bounds (-4)"},
      {"Insert past Count", [&] { list.Insert(4, "x"); }, "List index out of bounds (4)"},
      {"InsertObject", [&] { list.InsertObject(-1, "x", nullptr); },
       "List index out of bounds (-1)"},
      {"Delete", [&] { list.Delete(3); }, "List index out of bounds (3)"},
      {"Exchange first", [&] { list.Exchange(6, 7); }, "List index out of bounds (6)"},
      {"Exchange second", [&] { list.Exchange(0, 3); }, "List index out of bounds (3)"},
      {"Move current", [&] { list.Move(3, 0); }, "List index out of bounds (3)"},
      {"Move target", [&] { list.Move(0, 3); }, "List index out of bounds (3)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectError<EListError>(row.call, row.message);
    EXPECT_EQ(Contents(list), (Lines{"a", "b", "c"}));
  }
}

TEST(StringList, SortedListRefusesPositionalChanges) {
  TStringList list;
  list.SetSorted(true);
  Fill(list, {"b", "a"});
  struct Row {
    const char* name;
    std::function<void()> call;
  } rows[] = {
      {"Insert", [&] { list.Insert(0, "x"); }},
      {"Insert at a bad index", [&] { list.Insert(99, "x"); }},
      {"InsertObject", [&] { list.InsertObject(2, "x", nullptr); }},
      {"SetStrings", [&] { list.SetStrings(0, "z"); }},
      {"Exchange", [&] { list.Exchange(0, 1); }},
      {"Move", [&] { list.Move(0, 1); }},
      {"CustomSort", [&] { list.CustomSort([](const TStringList&, int, int) { return 0; }); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectError<EStringListError>(row.call, "Operation not allowed on sorted list");
    EXPECT_EQ(Contents(list), (Lines{"a", "b"}));
  }
}

TEST(StringList, FindReportsTheMatchOrTheInsertionPlace) {
  struct Row {
    const char* name;
    Lines lines;
    const char* key;
    bool found;
    int index;
  } rows[] = {
      {"empty list", {}, "m", false, 0},
      {"before the first", {"b", "d", "f"}, "a", false, 0},
      {"after the last", {"b", "d", "f"}, "g", false, 3},
      {"between", {"b", "d", "f"}, "e", false, 2},
      {"first", {"b", "d", "f"}, "b", true, 0},
      {"last", {"b", "d", "f"}, "f", true, 2},
      {"letter case ignored", {"abc", "def"}, "DEF", true, 1},
      {"first of equal strings", {"a", "b", "B", "b", "c"}, "b", true, 1},
      {"single entry, below", {"m"}, "a", false, 0},
      {"single entry, above", {"m"}, "z", false, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // The same answers on a list marked Sorted and on one only kept in order.
    for (bool sorted : {false, true}) {
      SCOPED_TRACE(sorted ? "sorted" : "ordered");
      TStringList list;
      list.SetDuplicates(dupAccept);
      list.SetSorted(sorted);
      Fill(list, row.lines);
      int index = -99;
      EXPECT_EQ(list.Find(row.key, index), row.found);
      EXPECT_EQ(index, row.index);
    }
  }
}

TEST(StringList, CallerKeepsAnUnsortedListInOrderThroughFind) {
  TStringList list;
  for (const char* s : {"pear", "apple", "fig", "Apple", "kiwi", "banana"}) {
    int index;
    if (!list.Find(s, index)) list.Insert(index, s);
  }
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(Contents(list), (Lines{"apple", "banana", "fig", "kiwi", "pear"}));
  EXPECT_EQ(list.IndexOf("KIWI"), 3);
}

TEST(StringList, SortedAddAppliesTheDuplicatesMode) {
  TObject first, second;
  struct Row {
    const char* name;
    TDuplicates mode;
    int index;  // returned by the second Add, -1 when it raises
    Lines lines;
  } rows[] = {
      {"dupIgnore", dupIgnore, 1, {"a", "B", "c"}},
      {"dupAccept", dupAccept, 1, {"a", "b", "B", "c"}},
      {"dupError", dupError, -1, {"a", "B", "c"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(row.mode);
    Fill(list, {"c", "a"});
    EXPECT_EQ(list.AddObject("B", &first), 1);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    if (row.index < 0) {
      ExpectError<EStringListError>([&] { list.AddObject("b", &second); },
                                    "String list does not allow duplicates");
    } else {
      EXPECT_EQ(list.AddObject("b", &second), row.index);
    }
    EXPECT_EQ(Contents(list), row.lines);
    EXPECT_EQ(changes, row.mode == dupAccept ? 1 : 0);
    // The first "B" keeps its object; an accepted duplicate goes before it with its own.
    if (row.mode == dupAccept) {
      EXPECT_EQ(list.Objects(1), &second);
      EXPECT_EQ(list.Objects(2), &first);
    } else {
      EXPECT_EQ(list.Objects(1), &first);
    }
  }
}

TEST(StringList, LetterCaseIsIgnoredUnlessCaseSensitive) {
  for (bool sorted : {false, true}) {
    SCOPED_TRACE(sorted ? "sorted" : "unsorted");
    TStringList list;
    list.SetSorted(sorted);
    Fill(list, {"abc", "\xE9t\xE9"});  // "été" in Windows-1252
    int index;
    EXPECT_TRUE(list.Find("ABC", index));
    EXPECT_EQ(list.IndexOf("ABC"), 0);
    EXPECT_EQ(list.IndexOf("\xC9T\xC9"), 1);  // "ÉTÉ"
    list.SetCaseSensitive(true);
    EXPECT_FALSE(list.Find("ABC", index));
    EXPECT_EQ(list.IndexOf("ABC"), -1);
    EXPECT_EQ(list.IndexOf("\xC9T\xC9"), -1);
    EXPECT_EQ(list.IndexOf("abc"), 0);
  }
}

TEST(StringList, ChangingCaseSensitivitySortsASortedListAgain) {
  TStringList list;
  list.SetDuplicates(dupAccept);
  list.SetSorted(true);
  Fill(list, {"b", "A", "B", "a"});
  EXPECT_EQ(Contents(list), (Lines{"a", "A", "B", "b"}));  // each before its first equal
  list.SetCaseSensitive(true);
  EXPECT_EQ(Contents(list), (Lines{"A", "B", "a", "b"}));
  EXPECT_EQ(list.Add("C"), 2);
}

TEST(StringList, SortIsStableAndKeepsObjectsWithTheirStrings) {
  TObject o[5];
  TStringList list;
  const char* strings[] = {"pear", "Apple", "fig", "apple", "APPLE"};
  for (int i = 0; i < 5; ++i) list.AddObject(strings[i], &o[i]);
  list.Sort();
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(Contents(list), (Lines{"Apple", "apple", "APPLE", "fig", "pear"}));
  TObject* objects[] = {&o[1], &o[3], &o[4], &o[2], &o[0]};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list.Objects(i), objects[i]) << i;

  list.Add("banana");  // not sorted: appended
  EXPECT_EQ(list.IndexOf("banana"), 5);
}

TEST(StringList, CustomSortComparesByIndex) {
  TStringList list;
  Fill(list, {"ccc", "a", "bb", "dd", "e"});
  list.CustomSort([](const TStringList& l, int i, int j) {
    return static_cast<int>(l.Strings(i).size()) - static_cast<int>(l.Strings(j).size());
  });
  EXPECT_EQ(Contents(list), (Lines{"a", "e", "bb", "dd", "ccc"}));

  auto failing = [](const TStringList&, int, int) -> int { throw Exception("compare failed"); };
  EXPECT_THROW(list.CustomSort(failing), Exception);
  EXPECT_EQ(Contents(list), (Lines{"a", "e", "bb", "dd", "ccc"}));
}

TEST(StringList, SetSortedSortsAndLaterAddsKeepTheOrder) {
  TStringList list;
  Fill(list, {"delta", "alpha", "charlie"});
  list.SetSorted(true);
  EXPECT_EQ(Contents(list), (Lines{"alpha", "charlie", "delta"}));
  EXPECT_EQ(list.Add("bravo"), 1);
  EXPECT_EQ(list.IndexOf("Delta"), 3);
  EXPECT_EQ(list.IndexOf("echo"), -1);
  list.SetSorted(false);
  list.Insert(0, "zulu");  // allowed again; the order is kept as it was
  EXPECT_EQ(Contents(list), (Lines{"zulu", "alpha", "bravo", "charlie", "delta"}));
}

TEST(StringList, ObjectsTravelThroughPositionalChanges) {
  TObject a, b, c, d;
  TStringList list;
  list.AddObject("a", &a);
  list.AddObject("b", &b);
  list.InsertObject(0, "c", &c);  // c a b
  list.Insert(1, "d");            // c d a b
  list.SetObjects(1, &d);
  list.Exchange(0, 3);  // b d a c
  list.Move(0, 2);      // d a b c
  list.Delete(1);       // d b c
  list.SetStrings(0, "D");
  EXPECT_EQ(Contents(list), (Lines{"D", "b", "c"}));
  EXPECT_EQ(list.Objects(0), &d);
  EXPECT_EQ(list.Objects(1), &b);
  EXPECT_EQ(list.Objects(2), &c);
  EXPECT_EQ(list.IndexOfObject(&c), 2);
  EXPECT_EQ(list.IndexOfObject(&a), -1);
  EXPECT_EQ(list.IndexOfObject(nullptr), -1);
}

TEST(Strings, TextEndsEveryStringWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  Fill(list, {"one", "", "three"});
  EXPECT_EQ(list.Text(), "one\r\n\r\nthree\r\n");
}

TEST(Strings, SetTextSplitsAtEveryKindOfLineBreak) {
  struct Row {
    const char* name;
    std::string text;
    Lines lines;
  } rows[] = {
      {"empty", "", {}},
      {"no break", "one", {"one"}},
      {"final break adds nothing", "one\r\n", {"one"}},
      {"only a break", "\r\n", {""}},
      {"mixed breaks", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
      {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
      {"empty lines kept", "\n\na\n", {"", "", "a"}},
      {"final lone CR", "a\r", {"a"}},
      {"other bytes kept", std::string("t\ta\0b ", 6), {std::string("t\ta\0b ", 6)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TStringList list;
    list.AddObject("old", &list);
    list.SetText(row.text);
    EXPECT_EQ(Contents(list), row.lines);
    EXPECT_EQ(list.IndexOfObject(&list), -1);
  }
}

TEST(Strings, TextRoundTrips) {
  TStringList list, copy;
  Fill(list, {"", "a b", "", "c"});
  copy.SetText(list.Text());
  EXPECT_TRUE(copy.Equals(list));
}

TEST(Strings, CommaTextQuotesWhereNeededAndRoundTrips) {
  TStringList list;
  Fill(list, {"plain", "two words", "say \"hi\"", "", "a,b", "tab\there"});
  EXPECT_EQ(list.CommaText(), "plain,\"two words\",\"say \"\"hi\"\"\",\"\",\"a,b\",\"tab\there\"");
  TStringList copy;
  copy.SetCommaText(list.CommaText());
  EXPECT_EQ(Contents(copy), Contents(list));
}

TEST(Strings, SetCommaTextSplitsAtCommasAndSpaces) {
  struct Row {
    const char* text;
    Lines lines;
  } rows[] = {
      {"", {}},
      {"   ", {}},
      {"a,b,c", {"a", "b", "c"}},
      {"a b  c", {"a", "b", "c"}},
      {" a , b ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {",a", {"", "a"}},
      {"a,", {"a", ""}},
      {"\"x, y\",z", {"x, y", "z"}},
      {"\"a\"\"b\"", {"a\"b"}},
      {"\"unterminated", {"unterminated"}},
      {"\"q\"r", {"q", "r"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TStringList list;
    list.SetCommaText(row.text);
    EXPECT_EQ(Contents(list), row.lines);
  }
}

TEST(Strings, EqualsComparesStringsExactly) {
  TStringList a, b;
  EXPECT_TRUE(a.Equals(b));
  Fill(a, {"x", "y"});
  Fill(b, {"x", "Y"});
  EXPECT_FALSE(a.Equals(b));  // letter case counts, whatever the comparison
  b.SetStrings(1, "y");
  TObject o;
  b.SetObjects(0, &o);  // objects do not count
  EXPECT_TRUE(a.Equals(b));
  b.Add("z");
  EXPECT_FALSE(a.Equals(b));
}

TEST(Strings, AssignCopiesStringsAndObjects) {
  TObject a, b, c;
  TStringList source;
  source.AddObject("c", &c);
  source.AddObject("a", &a);
  source.AddObject("b", &b);

  TStringList plain;
  Fill(plain, {"old"});
  plain.Assign(&source);
  EXPECT_EQ(Contents(plain), (Lines{"c", "a", "b"}));
  EXPECT_EQ(plain.Objects(0), &c);
  EXPECT_EQ(plain.Objects(2), &b);

  TStringList sorted;  // keeps its own order
  sorted.SetSorted(true);
  sorted.Assign(&source);
  EXPECT_EQ(Contents(sorted), (Lines{"a", "b", "c"}));
  EXPECT_EQ(sorted.Objects(0), &a);
  EXPECT_EQ(sorted.Objects(2), &c);

  plain.Assign(&plain);
  EXPECT_EQ(Contents(plain), (Lines{"c", "a", "b"}));
}

TEST(Strings, AssignFromAnotherClassRaises) {
  TStringList list;
  Fill(list, {"kept"});
  TPersistent other;
  ExpectError<EConvertError>([&] { list.Assign(&other); },
                             "Cannot assign a TPersistent to a TStringList");
  ExpectError<EConvertError>([&] { list.Assign(nullptr); }, "Cannot assign a nil to a TStringList");
  EXPECT_EQ(Contents(list), (Lines{"kept"}));
}

// A persistent that knows how to copy itself into a string list.
class TLinesSource : public TPersistent {
  KIVO_CLASS(TLinesSource, TPersistent)

 protected:
  void AssignTo(TPersistent* dest) const override {
    if (auto* strings = As<TStrings>(dest)) {
      strings->SetText("from\nsource\n");
      return;
    }
    Inherited::AssignTo(dest);
  }
};
KIVO_DEFINE_CLASS(TLinesSource) {}

TEST(Strings, AssignLetsTheSourceCopyItself) {
  TStringList list;
  TLinesSource source;
  list.Assign(&source);
  EXPECT_EQ(Contents(list), (Lines{"from", "source"}));
}

TEST(Strings, AddStringsAppendsAndDoublesItself) {
  TObject o;
  TStringList list, more;
  list.AddObject("a", &o);
  Fill(more, {"b", "c"});
  list.AddStrings(more);
  list.AddStrings(list);
  EXPECT_EQ(Contents(list), (Lines{"a", "b", "c", "a", "b", "c"}));
  EXPECT_EQ(list.Objects(3), &o);
}

// Counts the change events of a string list and records the count of strings at each.
class StringListEvents : public ::testing::Test {
 protected:
  StringListEvents() {
    list_.OnChanging = [this](TObject* sender) {
      EXPECT_EQ(sender, &list_);
      ++changing_;
      log_ += "<" + std::to_string(list_.Count());
    };
    list_.OnChange = [this](TObject* sender) {
      EXPECT_EQ(sender, &list_);
      ++changed_;
      log_ += ">" + std::to_string(list_.Count());
    };
  }
  void Reset() {
    changing_ = changed_ = 0;
    log_.clear();
  }

  TStringList list_;
  int changing_ = 0;
  int changed_ = 0;
  std::string log_;
};

TEST_F(StringListEvents, EachChangeFiresOnChangingBeforeAndOnChangeAfter) {
  list_.Add("b");
  EXPECT_EQ(log_, "<0>1");
  TObject o;
  struct Row {
    const char* name;
    std::function<void()> change;
    int events;  // pairs of OnChanging and OnChange
  } rows[] = {
      {"Add", [&] { list_.Add("a"); }, 1},
      {"Insert", [&] { list_.Insert(0, "c"); }, 1},
      {"SetStrings", [&] { list_.SetStrings(0, "d"); }, 1},
      {"SetObjects", [&] { list_.SetObjects(0, &o); }, 1},
      {"Exchange", [&] { list_.Exchange(0, 1); }, 1},
      {"Exchange onto itself", [&] { list_.Exchange(1, 1); }, 0},
      {"Move", [&] { list_.Move(0, 2); }, 1},
      {"Sort", [&] { list_.Sort(); }, 1},
      {"Delete", [&] { list_.Delete(0); }, 1},
      {"failed Delete", [&] { EXPECT_THROW(list_.Delete(9), EListError); }, 0},
      {"SetText", [&] { list_.SetText("x\ny\nz"); }, 1},
      {"Assign",
       [&] {
         TStringList other;
         Fill(other, {"p", "q"});
         list_.Assign(&other);
       },
       1},
      {"Clear", [&] { list_.Clear(); }, 1},
      {"Clear of an empty list", [&] { list_.Clear(); }, 0},
      {"Sort of an empty list", [&] { list_.Sort(); }, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Reset();
    row.change();
    EXPECT_EQ(changing_, row.events);
    EXPECT_EQ(changed_, row.events);
  }
}

TEST_F(StringListEvents, OutermostUpdateBracketFiresOnce) {
  list_.BeginUpdate();
  list_.Add("a");
  list_.BeginUpdate();
  list_.Add("b");
  list_.Delete(0);
  list_.EndUpdate();
  EXPECT_EQ(log_, "<0");
  list_.Add("c");
  list_.EndUpdate();
  EXPECT_EQ(log_, "<0>2");
  EXPECT_EQ(list_.UpdateCount(), 0);

  Reset();
  list_.BeginUpdate();  // a bracket without changes still notifies
  list_.EndUpdate();
  EXPECT_EQ(log_, "<2>2");

  Reset();
  list_.EndUpdate();  // unmatched: ignored
  EXPECT_EQ(log_, "");
  EXPECT_EQ(list_.UpdateCount(), 0);
}

TEST_F(StringListEvents, FailedAssignStillClosesItsBracket) {
  TStringList source;
  Fill(source, {"a", "b", "A"});
  list_.SetSorted(true);
  list_.SetDuplicates(dupError);
  Reset();
  ExpectError<EStringListError>([&] { list_.Assign(&source); },
                                "String list does not allow duplicates");
  EXPECT_EQ(list_.UpdateCount(), 0);
  EXPECT_EQ(log_, "<0>2");
  EXPECT_EQ(Contents(list_), (Lines{"a", "b"}));
}

// A string list over a vector, supplying only the primitives, to exercise the defaults of
// TStrings.
class TVectorStrings : public TStrings {
 public:
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Strings(int index) const override { return At(index).first; }
  void SetStrings(int index, const std::string& s) override { At(index).first = s; }
  TObject* Objects(int index) const override { return At(index).second; }
  void SetObjects(int index, TObject* o) override { At(index).second = o; }
  void Insert(int index, const std::string& s) override {
    if (index < 0 || index > Count()) throw EListError::IndexError(index);
    items_.insert(items_.begin() + index, {s, nullptr});
  }
  void Delete(int index) override {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
  }
  void Clear() override { items_.clear(); }

  int update_states = 0;  // calls of SetUpdateState(true)

 protected:
  void SetUpdateState(bool updating) override { update_states += updating ? 1 : 0; }

 private:
  const std::pair<std::string, TObject*>& At(int index) const {
    CheckIndex(index);
    return items_[index];
  }
  std::pair<std::string, TObject*>& At(int index) {
    CheckIndex(index);
    return items_[index];
  }

  std::vector<std::pair<std::string, TObject*>> items_;
};

TEST(Strings, DefaultsWorkThroughThePrimitives) {
  TObject a, b, c;
  TVectorStrings list;
  EXPECT_EQ(list.AddObject("a", &a), 0);
  EXPECT_EQ(list.AddObject("b", &b), 1);
  list.InsertObject(0, "c", &c);  // c a b
  list.Exchange(0, 2);            // b a c
  list.Move(2, 0);                // c b a
  EXPECT_EQ(Contents(list), (Lines{"c", "b", "a"}));
  EXPECT_EQ(list.Objects(0), &c);
  EXPECT_EQ(list.Objects(1), &b);
  EXPECT_EQ(list.Objects(2), &a);
  EXPECT_EQ(list.IndexOf("B"), 1);  // AnsiCompareText by default
  EXPECT_EQ(list.IndexOfObject(&a), 2);
  EXPECT_EQ(list.update_states, 5);  // one bracket each: AddObject twice, InsertObject,
                                     // Exchange, Move
  // The defaults check both indices before changing anything.
  ExpectError<EListError>([&] { list.Move(0, 3); }, "List index out of bounds (3)");
  ExpectError<EListError>([&] { list.Exchange(-1, 0); }, "List index out of bounds (-1)");
  EXPECT_EQ(Contents(list), (Lines{"c", "b", "a"}));

  TStringList copy;
  copy.Assign(&list);
  EXPECT_TRUE(copy.Equals(list));
  EXPECT_EQ(copy.Objects(2), &a);
  list.Assign(&copy);
  EXPECT_TRUE(list.Equals(copy));
}

TEST(Strings, ClassesCarryTheirMetadata) {
  TStringList list;
  EXPECT_EQ(list.ClassName(), "TStringList");
  EXPECT_EQ(TStringList::StaticClass()->Parent(), TStrings::StaticClass());
  EXPECT_EQ(TStrings::StaticClass()->Parent(), TPersistent::StaticClass());
  EXPECT_TRUE(Is<TStrings>(&list));
}

}  // namespace
}  // namespace kivo
