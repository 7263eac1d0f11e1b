#include "kivo/rtl/List.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

// A list over the elements of `values_`, so that entries can be told apart by what they point to.
class List : public ::testing::Test {
 protected:
  void Fill(std::initializer_list<int> indices) {
    for (int i : indices) list_.Add(&values_[i]);
  }
  // The entries as indices into `values_`, -1 for null.
  std::vector<int> Contents() const {
    std::vector<int> result;
    for (int i = 0; i < list_.Count(); ++i) {
      void* p = list_.Items(i);
      result.push_back(p == nullptr ? -1 : static_cast<int>(static_cast<int*>(p) - values_));
    }
    return result;
  }

  int values_[8] = {0, 1, 2, 3, 4, 5, 6, 7};
  TList list_;
};

void ExpectIndexError(const std::function<void()>& call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

TEST_F(List, BadIndicesRaiseTheIndexError) {
  Fill({0, 1, 2});
  struct Row {
    const char* name;
    std::function<void()> call;
    const char* message;
  } rows[] = {
      {"Items past the end", [&] { list_.Items(3); }, "List index out of bounds (3)"},
      {"Items negative", [&] { list_.Items(-1); }, "List index out of bounds (-1)"},
      {"SetItems", [&] { list_.SetItems(5, nullptr); }, "List index out of bounds (5)"},
      {"Insert past Count", [&] { list_.Insert(4, nullptr); }, "List index out of bounds (4)"},
      {"Insert negative", [&] { list_.Insert(-1, nullptr); }, "List index out of bounds (-1)"},
      {"Delete", [&] { list_.Delete(3); }, "List index out of bounds (3)"},
      {"Exchange first index", [&] { list_.Exchange(7, 9); }, "List index out of bounds (7)"},
      {"Exchange second index", [&] { list_.Exchange(0, 3); }, "List index out of bounds (3)"},
      {"Move current", [&] { list_.Move(-2, 0); }, "List index out of bounds (-2)"},
      {"Move target", [&] { list_.Move(0, 3); }, "List index out of bounds (3)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectIndexError(row.call, row.message);
    EXPECT_EQ(Contents(), (std::vector<int>{0, 1, 2}));
  }
}

TEST_F(List, FirstAndLastOfAnEmptyListRaise) {
  ExpectIndexError([&] { list_.First(); }, "List index out of bounds (0)");
  ExpectIndexError([&] { list_.Last(); }, "List index out of bounds (-1)");
  Fill({4, 5, 6});
  EXPECT_EQ(list_.First(), &values_[4]);
  EXPECT_EQ(list_.Last(), &values_[6]);
}

TEST_F(List, AddAndInsertPlaceEntries) {
  EXPECT_EQ(list_.Add(&values_[1]), 0);
  EXPECT_EQ(list_.Add(nullptr), 1);
  list_.Insert(0, &values_[0]);
  list_.Insert(3, &values_[3]);  // Count: appends
  list_.SetItems(2, &values_[2]);
  EXPECT_EQ(Contents(), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(List, DeleteClosesTheGap) {
  Fill({0, 1, 2, 3});
  list_.Delete(1);
  EXPECT_EQ(Contents(), (std::vector<int>{0, 2, 3}));
  list_.Delete(2);
  list_.Delete(0);
  EXPECT_EQ(Contents(), (std::vector<int>{2}));
}

TEST_F(List, IndexOfRemoveAndExtractUseTheFirstOccurrence) {
  Fill({0, 1, 2, 1});
  EXPECT_EQ(list_.IndexOf(&values_[1]), 1);
  EXPECT_EQ(list_.IndexOf(&values_[5]), -1);
  EXPECT_EQ(list_.IndexOf(nullptr), -1);

  EXPECT_EQ(list_.Remove(&values_[1]), 1);
  EXPECT_EQ(Contents(), (std::vector<int>{0, 2, 1}));
  EXPECT_EQ(list_.Remove(&values_[5]), -1);

  EXPECT_EQ(list_.Extract(&values_[1]), &values_[1]);
  EXPECT_EQ(Contents(), (std::vector<int>{0, 2}));
  EXPECT_EQ(list_.Extract(&values_[1]), nullptr);
  EXPECT_EQ(Contents(), (std::vector<int>{0, 2}));
}

TEST_F(List, PackRemovesNullEntriesKeepingTheOrder) {
  list_.Add(nullptr);
  Fill({3});
  list_.Add(nullptr);
  list_.Add(nullptr);
  Fill({1, 2});
  list_.Add(nullptr);
  list_.Pack();
  EXPECT_EQ(Contents(), (std::vector<int>{3, 1, 2}));
}

TEST_F(List, MoveAndExchangeReorder) {
  struct Row {
    const char* name;
    int cur, new_index;
    std::vector<int> moved;
  } rows[] = {
      {"forward", 1, 3, {0, 2, 3, 1, 4}},
      {"backward", 4, 0, {4, 0, 1, 2, 3}},
      {"onto itself", 2, 2, {0, 1, 2, 3, 4}},
      {"to the end", 0, 4, {1, 2, 3, 4, 0}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    list_.Clear();
    Fill({0, 1, 2, 3, 4});
    list_.Move(row.cur, row.new_index);
    EXPECT_EQ(Contents(), row.moved);
  }
  list_.Exchange(0, 4);
  EXPECT_EQ(Contents(), (std::vector<int>{0, 2, 3, 4, 1}));
}

TEST_F(List, SortIsStableAndLeavesTheListAloneWhenCompareThrows) {
  int keys[] = {2, 1, 2, 1};  // entries 0 … 3 sort by key; equal keys keep their order
  Fill({0, 1, 2, 3});
  auto key = [&](void* p) { return keys[static_cast<int*>(p) - values_]; };
  list_.Sort([&](void* a, void* b) { return key(a) - key(b); });
  EXPECT_EQ(Contents(), (std::vector<int>{1, 3, 0, 2}));

  EXPECT_THROW(list_.Sort([](void*, void*) -> int { throw Exception("compare failed"); }),
               Exception);
  EXPECT_EQ(Contents(), (std::vector<int>{1, 3, 0, 2}));
}

// A registry that owns its entries: it frees them in Clear and calls Clear from its destructor.
class TOwningList : public TList {
 public:
  ~TOwningList() override { Clear(); }
  void Clear() override {
    for (int i = 0; i < Count(); ++i) delete static_cast<std::string*>(Items(i));
    TList::Clear();
  }
};

TEST_F(List, DerivedClearFreesOwnedEntries) {
  TOwningList list;
  list.Add(new std::string("a"));
  list.Add(new std::string("b"));
  TList& base = list;
  base.Clear();  // dispatches to the override; the sanitizer build reports a leak otherwise
  EXPECT_EQ(list.Count(), 0);
  list.Add(new std::string("c"));  // freed by ~TOwningList
}

}  // namespace
}  // namespace kivo
