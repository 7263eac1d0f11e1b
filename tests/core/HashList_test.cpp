#include "kivo/core/HashList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using kivo::EHashList;
using kivo::EListError;
using kivo::KivoHash;
using kivo::StrCompare;
using kivo::StrHash;
using kivo::TextCompare;
using kivo::TextHash;
using kivo::THashNode;
using kivo::TKeyTail;
using kivo::TKivoHashList;

// The tree under `node`: "key" for a leaf, "key(left,right)" otherwise, "-" for an empty link.
std::string Shape(const THashNode* node) {
  if (node == nullptr) return "-";
  if (node->left == nullptr && node->right == nullptr) return node->key;
  return node->key + "(" + Shape(node->left) + "," + Shape(node->right) + ")";
}

// The keys in iteration order.
std::vector<std::string> Keys(TKivoHashList& list) {
  std::vector<std::string> keys;
  list.Iterate(&keys, [](void* user_data, const std::string& key, void*&) {
    static_cast<std::vector<std::string>*>(user_data)->push_back(key);
    return true;
  });
  return keys;
}

// Appends the keys of the subtree in order.
void InOrder(const THashNode* node, std::vector<std::string>& keys) {
  if (node == nullptr) return;
  InOrder(node->left, keys);
  keys.push_back(node->key);
  InOrder(node->right, keys);
}

// Routes keys by their first byte: "0…" to bucket 0, "1…" to bucket 1 and so on.
int32_t DigitHash(const std::string& key) { return key.empty() ? 0 : key[0] - '0'; }

// Keys that start with a capital go to bucket 1, all others to bucket 0.
int32_t CapitalHash(const std::string& key) {
  return !key.empty() && key[0] >= 'A' && key[0] <= 'Z' ? 1 : 0;
}

// A faulty hash function with negative results.
int32_t NegativeHash(const std::string& key) { return key == "a" ? -1 : INT32_MIN; }

int32_t ZeroHash(const std::string&) { return 0; }

// A TObject that counts its destruction.
class TProbe : public kivo::TObject {
 public:
  explicit TProbe(int& deaths) : deaths_(deaths) {}
  ~TProbe() override { ++deaths_; }

 private:
  int& deaths_;
};

// A list with larger nodes that records every allocation and release.
struct TNodeStats {
  int allocated = 0;
  int freed = 0;
  std::vector<std::string> freed_keys;
};

struct TTaggedNode : THashNode {
  int tag = 0x5EED;
};

class TCountingHashList : public TKivoHashList {
 public:
  TCountingHashList(int bucket_count, TNodeStats& stats)
      : TKivoHashList(bucket_count, StrCompare, KivoHash), stats_(stats) {}
  ~TCountingHashList() override { Clear(); }

 protected:
  THashNode* AllocNode() override {
    ++stats_.allocated;
    return new TTaggedNode;
  }
  void FreeNode(THashNode* node) override {
    auto* tagged = static_cast<TTaggedNode*>(node);
    EXPECT_EQ(tagged->tag, 0x5EED);
    ++stats_.freed;
    stats_.freed_keys.push_back(node->key);
    delete tagged;
  }

 private:
  TNodeStats& stats_;
};

void ExpectHashListError(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no EHashList, expected \"" << message << "\"";
  } catch (const EHashList& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

void ExpectListError(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no EListError, expected \"" << message << "\"";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

TEST(HashList, HashFunctionsMatchHandComputedValues) {
  // Worked by hand from the definitions: KivoHash sums (byte << (i mod 32)) × i over positions
  // i from 1; StrHash steps h := (h << 26) + (h >> 6) + (h xor byte); both wrap at 32 bits and
  // are masked with 0x7FFFFFFF.
  struct Row {
    const char* name;
    kivo::THashFunc hash;
    std::string key;
    int32_t expected;
  };
  const std::string zeros30(30, '\0');
  const std::string zeros31(31, '\0');
  const std::string zeros32(32, '\0');
  const Row rows[] = {
      {"KivoHash empty", KivoHash, "", 0},
      {"KivoHash abc", KivoHash, "abc", 3354},
      {"KivoHash a: 97 << 1", KivoHash, "a", 194},
      {"KivoHash AB: 130 + 264 × 2", KivoHash, "AB", 658},
      {"KivoHash byte 0x80 is unsigned", KivoHash, "\x80", 256},
      {"KivoHash position 32 shifts by 0", KivoHash, zeros31 + "a", 97 * 32},
      {"KivoHash position 33 shifts by 1", KivoHash, zeros32 + "a", 194 * 33},
      {"KivoHash wraps and masks to 0", KivoHash, zeros30 + "\xFF", 0},
      {"StrHash empty", StrHash, "", 0},
      {"StrHash abc", StrHash, "abc", 370147431},
      {"StrHash a", StrHash, "a", 97},
      {"StrHash ab", StrHash, "ab", 67108868},
      {"StrHash A keeps case", StrHash, "A", 65},
      {"StrHash byte 0xFF is unsigned", StrHash, "\xFF", 255},
      {"TextHash empty", TextHash, "", 0},
      {"TextHash ABC", TextHash, "ABC", 370147431},
      {"TextHash AbC", TextHash, "AbC", 370147431},
      {"TextHash AB", TextHash, "AB", 67108868},
      {"TextHash @ is below the letters", TextHash, "@", 64},
      {"TextHash [ is above the letters", TextHash, "[", 91},
      {"TextHash leaves Latin-1 capitals", TextHash, "\xC0", 192},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.hash(row.key), row.expected);
  }
  EXPECT_EQ(TextHash("ABC"), StrHash("abc"));
}

TEST(HashList, CompareFunctionsAreOrdinalWithAndWithoutCase) {
  EXPECT_LT(StrCompare("Key", "key"), 0);
  EXPECT_GT(StrCompare("b", "a"), 0);
  EXPECT_EQ(StrCompare("key", "key"), 0);
  EXPECT_LT(StrCompare("ab", "abc"), 0);
  EXPECT_GT(StrCompare("\xE9", "z"), 0);  // bytes compare unsigned
  EXPECT_EQ(TextCompare("Key", "kEY"), 0);
  EXPECT_LT(TextCompare("A", "b"), 0);
  EXPECT_NE(TextCompare("\xC0", "\xE0"), 0);  // only ASCII letters fold
}

TEST(HashList, OneBucketListAddsFindsReplacesAndRemoves) {
  TKivoHashList list(1, StrCompare, KivoHash);
  int values[6] = {};
  const std::vector<std::string> keys = {"m", "c", "x", "a", "e", "z"};
  for (size_t i = 0; i < keys.size(); ++i) list.Add(keys[i], &values[i]);
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(Shape(*list.BucketLink(0)), "m(c(a,e),x(-,z))");
  for (size_t i = 0; i < keys.size(); ++i) {
    SCOPED_TRACE(keys[i]);
    EXPECT_TRUE(list.Has(keys[i]));
    EXPECT_EQ(list.GetData(keys[i]), &values[i]);
    void* data = nullptr;
    EXPECT_TRUE(list.Find(keys[i], data));
    EXPECT_EQ(data, &values[i]);
  }

  // Absent keys: GetData gives null, Find leaves the variable as it was.
  int sentinel = 0;
  void* data = &sentinel;
  EXPECT_FALSE(list.Find("b", data));
  EXPECT_EQ(data, &sentinel);
  EXPECT_EQ(list.GetData("b"), nullptr);
  EXPECT_FALSE(list.Has("b"));

  // SetData replaces the data of a present key in place and inserts an absent one as a leaf.
  list.SetData("c", &sentinel);
  EXPECT_EQ(list.GetData("c"), &sentinel);
  EXPECT_EQ(list.Count(), 6);
  list.SetData("b", &values[0]);
  EXPECT_EQ(list.Count(), 7);
  EXPECT_EQ(Shape(*list.BucketLink(0)), "m(c(a(-,b),e),x(-,z))");

  EXPECT_EQ(list.Remove("m"), &values[0]);
  EXPECT_EQ(list.Remove("a"), &values[3]);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_FALSE(list.Has("m"));
  EXPECT_FALSE(list.Has("a"));
  EXPECT_EQ(list.GetData("b"), &values[0]);
  EXPECT_EQ(list.GetData("z"), &values[5]);
}

TEST(HashList, NullFunctionsMeanStrHashAndStrCompare) {
  TKivoHashList list(7, nullptr, nullptr);
  list.Add("Key", nullptr);
  list.Add("key", nullptr);  // case-sensitive: a second key
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ((*list.BucketLink(StrHash("Key") % 7))->key, "Key");
  EXPECT_EQ((*list.BucketLink(StrHash("key") % 7))->key, "key");
}

TEST(HashList, LetterCaseMattersOnlyWithStrCompare) {
  int first = 1;
  int second = 2;
  TKivoHashList sensitive(11, StrCompare, StrHash);
  sensitive.Add("Key", &first);
  sensitive.Add("key", &second);
  EXPECT_EQ(sensitive.Count(), 2);
  EXPECT_EQ(sensitive.GetData("Key"), &first);
  EXPECT_EQ(sensitive.GetData("key"), &second);
  EXPECT_FALSE(sensitive.Has("KEY"));

  TKivoHashList insensitive(11, TextCompare, TextHash);
  insensitive.Add("Key", &first);
  ExpectHashListError([&] { insensitive.Add("key", &second); }, "Duplicate hash list entry: key");
  EXPECT_EQ(insensitive.Count(), 1);
  EXPECT_EQ(insensitive.GetData("KEY"), &first);
  EXPECT_EQ(Keys(insensitive), std::vector<std::string>{"Key"});
  EXPECT_EQ(insensitive.Remove("kEy"), &first);
  EXPECT_EQ(insensitive.Count(), 0);
}

TEST(HashList, DuplicateAddLeavesTheListUnchanged) {
  TKivoHashList list(1, StrCompare, KivoHash);
  int a = 1;
  int b = 2;
  list.SetRecordItems(true);
  list.Add("b", &a);
  list.Add("a", &a);
  ExpectHashListError([&] { list.Add("b", &b); }, "Duplicate hash list entry: b");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetData("b"), &a);
  EXPECT_EQ(Shape(*list.BucketLink(0)), "b(a,-)");
  EXPECT_EQ(list.GetText(), "b\r\na\r\n");
}

TEST(HashList, RemoveOfAnAbsentKeyFailsAndChangesNothing) {
  TKivoHashList list(1, StrCompare, KivoHash);
  list.SetRecordItems(true);
  for (const char* key : {"d", "b", "f", "a"}) list.Add(key, nullptr);
  ExpectHashListError([&] { list.Remove("c"); }, "Tried to remove invalid node: c");
  ExpectHashListError(
      [&] {
        TKivoHashList empty(3, nullptr, nullptr);
        empty.Remove("");
      },
      "Tried to remove invalid node: ");
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(Shape(*list.BucketLink(0)), "d(b(a,-),f)");
  EXPECT_EQ(list.GetText(), "d\r\nb\r\nf\r\na\r\n");

  // The failed removal did not use up a deletion: the next one still takes the successor.
  list.Add("e", nullptr);
  list.Add("g", nullptr);
  list.Remove("d");
  EXPECT_EQ(Shape(*list.BucketLink(0)), "e(b(a,-),f(-,g))");
}

TEST(HashList, DeletionsAlternateSuccessorAndPredecessor) {
  TKivoHashList list(1, StrCompare, KivoHash);
  for (const char* key : {"d", "b", "f", "a", "c", "e", "g"}) list.Add(key, nullptr);
  ASSERT_EQ(Shape(*list.BucketLink(0)), "d(b(a,c),f(e,g))");

  list.Remove("d");  // 1st deletion: the in-order successor e takes d's place
  EXPECT_EQ(Shape(*list.BucketLink(0)), "e(b(a,c),f(-,g))");
  list.Remove("e");  // 2nd: the in-order predecessor c
  EXPECT_EQ(Shape(*list.BucketLink(0)), "c(b(a,-),f(-,g))");
  list.Remove("c");  // 3rd: the successor again, f
  EXPECT_EQ(Shape(*list.BucketLink(0)), "f(b(a,-),g)");
  EXPECT_EQ(list.Count(), 4);
}

TEST(HashList, DeletionCasesOfBothDirections) {
  // Keys starting with a capital live in bucket 1; deleting one there ("Z") moves the
  // alternation on, so the rows also show that deletions are counted over all buckets.
  struct Row {
    const char* name;
    std::vector<std::string> inserts;
    std::vector<std::string> removes;
    std::string before;  // bucket 0 before the last removal
    std::string after;   // bucket 0 after it
  };
  const Row rows[] = {
      {"successor, no right child", {"d", "b", "a", "c"}, {"d"}, "d(b(a,c),-)", "b(a,c)"},
      {"successor, right child without left child",
       {"b", "a", "c", "d"},
       {"b"},
       "b(a,c(-,d))",
       "c(a,d)"},
      {"successor, leftmost of the right subtree has a right subtree",
       {"b", "a", "f", "d", "e", "g"},
       {"b"},
       "b(a,f(d(-,e),g))",
       "d(a,f(e,g))"},
      {"predecessor, no left child", {"Z", "b", "c", "d"}, {"Z", "b"}, "b(-,c(-,d))", "c(-,d)"},
      {"predecessor, left child without right child",
       {"Z", "c", "b", "d", "a"},
       {"Z", "c"},
       "c(b(a,-),d)",
       "b(a,d)"},
      {"predecessor, rightmost of the left subtree has a left subtree",
       {"Z", "f", "g", "b", "d", "c", "a"},
       {"Z", "f"},
       "f(b(a,d(c,-)),g)",
       "d(b(a,c),g)"},
      {"a node below the root rewrites its parent's child link",
       {"m", "d", "b", "f", "a", "c", "e", "g"},
       {"d"},
       "m(d(b(a,c),f(e,g)),-)",
       "m(e(b(a,c),f(-,g)),-)"},
      {"third deletion takes the successor again",
       {"Z", "Y", "d", "b", "f", "e"},
       {"Z", "Y", "d"},
       "d(b,f(e,-))",
       "e(b,f)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TKivoHashList list(2, StrCompare, CapitalHash);
    for (const std::string& key : row.inserts) list.Add(key, nullptr);
    for (size_t i = 0; i + 1 < row.removes.size(); ++i) list.Remove(row.removes[i]);
    EXPECT_EQ(Shape(*list.BucketLink(0)), row.before);
    list.Remove(row.removes.back());
    EXPECT_EQ(Shape(*list.BucketLink(0)), row.after);
    EXPECT_EQ(list.Count(), static_cast<int>(row.inserts.size() - row.removes.size()));
  }
}

// Runs random adds, replacements and removals against std::map and checks, after each step,
// the count, every lookup, and that each bucket is still a search tree.
TEST(HashList, RandomOperationsKeepEveryBucketASearchTree) {
  for (int buckets : {1, 3}) {
    SCOPED_TRACE("buckets " + std::to_string(buckets));
    TKivoHashList list(buckets, StrCompare, KivoHash);
    list.SetRecordItems(true);
    std::map<std::string, void*> model;
    std::mt19937 random(42 + buckets);
    int values[8] = {};
    for (int step = 0; step < 2000; ++step) {
      const std::string key = "k" + std::to_string(random() % 60);
      void* data = &values[random() % 8];
      const bool present = model.count(key) != 0;
      switch (random() % 3) {
        case 0:
          if (present) {
            EXPECT_THROW(list.Add(key, data), EHashList);
          } else {
            list.Add(key, data);
            model[key] = data;
          }
          break;
        case 1:
          list.SetData(key, data);
          model[key] = data;
          break;
        default:
          if (present) {
            EXPECT_EQ(list.Remove(key), model[key]);
            model.erase(key);
          } else {
            EXPECT_THROW(list.Remove(key), EHashList);
          }
          break;
      }
      ASSERT_EQ(list.Count(), static_cast<int>(model.size())) << "step " << step;
      for (int b = 0; b < buckets; ++b) {
        std::vector<std::string> in_order;
        InOrder(*list.BucketLink(b), in_order);
        for (size_t i = 1; i < in_order.size(); ++i) {
          ASSERT_LT(StrCompare(in_order[i - 1], in_order[i]), 0) << "step " << step;
        }
      }
    }
    for (const auto& [key, data] : model) EXPECT_EQ(list.GetData(key), data) << key;
    // The key list holds exactly the present keys; sorted, they come in the map's order.
    std::string text;
    for (const auto& entry : model) text += entry.first + "\r\n";
    EXPECT_TRUE(list.ItemsSort());
    EXPECT_EQ(list.GetText(), text);
  }
}

TEST(HashList, SortedKeysInOneBucketFormAChainThatStillWorks) {
  TKivoHashList list(1, StrCompare, ZeroHash);
  std::vector<std::string> keys;
  for (int i = 0; i < 3000; ++i) {
    char key[8];
    std::snprintf(key, sizeof key, "%05d", i);
    keys.push_back(key);
    list.Add(key, nullptr);
  }
  EXPECT_EQ(Keys(list), keys);  // a right-leaning chain: pre-order is the sorted order
  for (size_t i = 0; i < keys.size(); i += 2) list.Remove(keys[i]);
  EXPECT_EQ(list.Count(), 1500);
  EXPECT_TRUE(list.Has("02999"));
  EXPECT_FALSE(list.Has("02998"));
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

// Three buckets filled through DigitHash; iteration order 0m 0d 0a 0q 1x 2b 2a.
class HashListIteration : public ::testing::Test {
 protected:
  void SetUp() override {
    for (size_t i = 0; i < keys_.size(); ++i) list_.Add(insert_order_[i], &values_[i]);
  }

  TKivoHashList list_{3, StrCompare, DigitHash};
  const std::vector<std::string> insert_order_ = {"2b", "0m", "0d", "1x", "0q", "2a", "0a"};
  const std::vector<std::string> keys_ = {"0m", "0d", "0a", "0q", "1x", "2b", "2a"};
  int values_[7] = {};
};

TEST_F(HashListIteration, VisitsBucketsInOrderAndEachTreeInPreOrder) {
  EXPECT_EQ(Keys(list_), keys_);

  std::vector<std::string> by_method;
  list_.IterateMethod(nullptr, [&](void*, const std::string& key, void*&) {
    by_method.push_back(key);
    return true;
  });
  EXPECT_EQ(by_method, keys_);

  // NodeIterate passes the links themselves: the bucket slot first, then child fields.
  std::vector<THashNode**> links;
  list_.NodeIterate(list_.BucketLink(0), &links, [](void* user_data, THashNode** link) {
    static_cast<std::vector<THashNode**>*>(user_data)->push_back(link);
  });
  ASSERT_EQ(links.size(), 4u);
  EXPECT_EQ(links[0], list_.BucketLink(0));
  EXPECT_EQ(links[1], &(*list_.BucketLink(0))->left);
  std::vector<std::string> link_keys;
  for (THashNode** link : links) link_keys.push_back((*link)->key);
  EXPECT_EQ(link_keys, (std::vector<std::string>{"0m", "0d", "0a", "0q"}));
}

TEST_F(HashListIteration, CallbackMayReplaceTheData) {
  int replacement = 0;
  list_.Iterate(&replacement, [](void* user_data, const std::string& key, void*& data) {
    if (key[0] == '0') data = user_data;
    return true;
  });
  EXPECT_EQ(list_.GetData("0q"), &replacement);
  EXPECT_EQ(list_.GetData("0a"), &replacement);
  EXPECT_EQ(list_.GetData("1x"), &values_[3]);
}

TEST_F(HashListIteration, FalseEndsTheWholeIterationAtOnce) {
  // Stopping at each position, including the last node of a bucket (0q, 1x).
  for (size_t stop = 1; stop <= keys_.size(); ++stop) {
    SCOPED_TRACE("stop after " + std::to_string(stop));
    struct State {
      size_t stop;
      std::vector<std::string> seen;
    } state{stop, {}};
    list_.Iterate(&state, [](void* user_data, const std::string& key, void*&) {
      auto* s = static_cast<State*>(user_data);
      s->seen.push_back(key);
      return s->seen.size() < s->stop;
    });
    EXPECT_EQ(state.seen, std::vector<std::string>(keys_.begin(), keys_.begin() + stop));

    std::vector<std::string> seen;
    list_.IterateMethod(nullptr, [&](void*, const std::string& key, void*&) {
      seen.push_back(key);
      return seen.size() < stop;
    });
    EXPECT_EQ(seen, state.seen);
  }
}

TEST(HashList, IterateOverAnEmptyListNeverCalls) {
  TKivoHashList list(5, nullptr, nullptr);
  int calls = 0;
  list.Iterate(&calls, [](void* user_data, const std::string&, void*&) {
    ++*static_cast<int*>(user_data);
    return true;
  });
  list.IterateMethod(nullptr, [&](void*, const std::string&, void*&) { return ++calls > 0; });
  EXPECT_EQ(calls, 0);
}

TEST_F(HashListIteration, FindDataGivesTheFirstKeyInIterationOrder) {
  int shared = 0;
  list_.SetData("2a", &shared);
  list_.SetData("0q", &shared);
  std::string key = "unchanged";
  EXPECT_TRUE(list_.FindData(&shared, key));
  EXPECT_EQ(key, "0q");
  EXPECT_TRUE(list_.FindData(&values_[3], key));
  EXPECT_EQ(key, "1x");
  key = "unchanged";
  int absent = 0;
  EXPECT_FALSE(list_.FindData(&absent, key));
  EXPECT_EQ(key, "unchanged");
}

TEST_F(HashListIteration, RemoveDataDeletesEveryCarrierInEveryBucket) {
  int shared = 0;
  // A parent and its children in bucket 0 (0m, 0d, 0a) and a node in bucket 2.
  for (const char* key : {"0m", "0d", "0a", "2a"}) list_.SetData(key, &shared);
  list_.SetRecordItems(true);
  list_.Add("0e", &shared);
  list_.Add("0z", nullptr);

  list_.RemoveData(&shared);
  EXPECT_EQ(list_.Count(), 4);
  EXPECT_EQ(Keys(list_), (std::vector<std::string>{"0q", "0z", "1x", "2b"}));
  EXPECT_EQ(list_.GetText(), "0z\r\n");
  std::string key;
  EXPECT_FALSE(list_.FindData(&shared, key));

  int absent = 0;
  list_.RemoveData(&absent);
  EXPECT_EQ(list_.Count(), 4);
  list_.RemoveData(nullptr);
  EXPECT_EQ(Keys(list_), (std::vector<std::string>{"0q", "1x", "2b"}));
}

TEST(HashList, RemoveDataOnALargeRandomTreeKeepsTheOthers) {
  TKivoHashList list(1, StrCompare, KivoHash);
  std::vector<int> keys(300);
  for (int i = 0; i < 300; ++i) keys[i] = i;
  std::shuffle(keys.begin(), keys.end(), std::mt19937(7));
  int values[3] = {};
  for (int k : keys) list.Add("k" + std::to_string(1000 + k), &values[k % 3]);

  list.RemoveData(&values[1]);
  EXPECT_EQ(list.Count(), 200);
  std::vector<std::string> in_order;
  InOrder(*list.BucketLink(0), in_order);
  std::vector<std::string> expected;
  for (int k = 0; k < 300; ++k) {
    if (k % 3 != 1) expected.push_back("k" + std::to_string(1000 + k));
  }
  EXPECT_EQ(in_order, expected);
  for (const std::string& key : expected) EXPECT_NE(list.GetData(key), &values[1]) << key;
}

TEST(HashList, ClearAndDestructorLeaveTheDataAlone) {
  int deaths = 0;
  auto* a = new TProbe(deaths);
  auto* b = new TProbe(deaths);
  {
    TKivoHashList list(3, nullptr, nullptr);
    list.Add("a", a);
    list.Add("b", b);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.Has("a"));
    list.Add("a", a);
    list.Add("b", b);
  }
  EXPECT_EQ(deaths, 0);
  delete a;
  delete b;
}

TEST(HashList, ReleaseCallbacksFreeTheDataAndClearIt) {
  int deaths = 0;
  TKivoHashList objects(3, nullptr, nullptr);
  objects.Add("a", new TProbe(deaths));
  objects.Add("b", new TProbe(deaths));
  objects.Add("none", nullptr);
  objects.Iterate(nullptr, kivo::Iterate_FreeObjects);
  EXPECT_EQ(deaths, 2);
  EXPECT_EQ(objects.GetData("a"), nullptr);
  EXPECT_EQ(objects.Count(), 3);

  for (kivo::TIterateFunc release : {kivo::Iterate_Dispose, kivo::Iterate_FreeMem}) {
    TKivoHashList blocks(3, nullptr, nullptr);
    blocks.Add("a", std::malloc(16));
    blocks.Add("b", std::malloc(1));
    blocks.Iterate(nullptr, release);  // the sanitizer build reports a block left behind
    EXPECT_EQ(blocks.GetData("a"), nullptr);
    EXPECT_EQ(blocks.GetData("b"), nullptr);
  }
}

TEST(HashList, DerivedNodesAreAllocatedAndFreedThroughTheOverrides) {
  TNodeStats stats;
  {
    TCountingHashList list(3, stats);
    for (int i = 0; i < 20; ++i) list.Add("k" + std::to_string(i), nullptr);
    list.Remove("k3");
    list.SetData("k4", &stats);  // replaces, allocates nothing
    list.SetData("new", nullptr);
    EXPECT_EQ(stats.allocated, 21);
    EXPECT_EQ(stats.freed, 1);
    list.Clear();
    EXPECT_EQ(stats.freed, 21);
    list.Add("again", nullptr);
    list.Add("more", nullptr);
  }
  EXPECT_EQ(stats.allocated, 23);
  EXPECT_EQ(stats.freed, 23);
}

TEST(HashList, DeleteNodesFreesASubtreeInPostOrder) {
  TNodeStats stats;
  TCountingHashList list(1, stats);
  for (const char* key : {"m", "d", "b", "f", "a", "c", "e", "g", "x"}) list.Add(key, nullptr);
  THashNode** link = &(*list.BucketLink(0))->left;
  list.DeleteNodes(link);
  EXPECT_EQ(*link, nullptr);
  EXPECT_EQ(stats.freed_keys, (std::vector<std::string>{"a", "c", "b", "e", "g", "f", "d"}));
  EXPECT_EQ(Shape(*list.BucketLink(0)), "m(-,x)");
  EXPECT_EQ(list.Count(), 9);  // the count is the caller's business
  list.DeleteNodes(link);      // an empty link: nothing to do
  EXPECT_EQ(stats.freed, 7);
  list.Clear();
  EXPECT_EQ(stats.freed, 9);
  EXPECT_EQ(list.Count(), 0);
}

TEST(HashList, DeleteNodeTakesAFoundLinkAndRefusesAnEmptyOne) {
  TKivoHashList list(1, StrCompare, KivoHash);
  for (const char* key : {"b", "a", "c"}) list.Add(key, nullptr);
  list.DeleteNode(list.FindNode("a"));
  EXPECT_EQ(Shape(*list.BucketLink(0)), "b(-,c)");
  EXPECT_EQ(list.Count(), 2);
  ExpectHashListError([&] { list.DeleteNode(list.FindNode("a")); },
                      "Tried to remove invalid node: ");
  ExpectHashListError([&] { list.DeleteNode(nullptr); }, "Tried to remove invalid node: ");
  EXPECT_EQ(list.Count(), 2);
}

TEST(HashList, BucketCountsBelowOneAreRefused) {
  for (int size : {0, -5}) {
    SCOPED_TRACE(size);
    ExpectHashListError([&] { TKivoHashList list(size, nullptr, nullptr); },
                        "Invalid hash list size: " + std::to_string(size));
  }
  TKivoHashList list(3, nullptr, nullptr);
  ExpectHashListError([&] { list.SetHashSize(-1); }, "Invalid hash list size: -1");
  EXPECT_EQ(list.HashSize(), 3);
  list.SetHashSize(0);
  ExpectHashListError([&] { list.Add("a", nullptr); }, "Invalid hash list size: 0");
  ExpectHashListError([&] { list.Has("a"); }, "Invalid hash list size: 0");
  list.SetHashSize(2);
  list.Add("a", nullptr);
  EXPECT_EQ(list.Count(), 1);
  ExpectListError([&] { list.BucketLink(2); }, "List index out of bounds (2)");
}

TEST(HashList, ResizingAListThatHoldsNodesDeletesThem) {
  TNodeStats stats;
  TCountingHashList list(3, stats);
  list.Add("a", nullptr);
  list.Add("b", nullptr);
  list.SetHashSize(3);  // same size: nothing happens
  EXPECT_EQ(list.Count(), 2);
  list.SetHashSize(5);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(stats.freed, 2);
  EXPECT_EQ(list.HashSize(), 5);
  EXPECT_FALSE(list.Has("a"));
}

TEST(HashList, NegativeHashValuesStillSelectABucket) {
  // As 32-bit unsigned values: 0xFFFFFFFF mod 7 = 3, 0x80000000 mod 7 = 2.
  TKivoHashList list(7, StrCompare, NegativeHash);
  int a = 1;
  int b = 2;
  list.Add("a", &a);
  list.Add("b", &b);
  EXPECT_EQ(Shape(*list.BucketLink(3)), "a");
  EXPECT_EQ(Shape(*list.BucketLink(2)), "b");
  EXPECT_EQ(list.GetData("a"), &a);
  EXPECT_EQ(list.Remove("b"), &b);
  EXPECT_EQ(list.Count(), 1);
}

TEST(HashList, KeyListRecordsInsertionsAndSorts) {
  TKivoHashList list(7, nullptr, nullptr);
  int a = 1;
  int b = 2;
  list.Add("x", nullptr);  // before the key list is on: not recorded
  EXPECT_EQ(list.GetText(), "");
  EXPECT_EQ(list.GetItems(0), nullptr);  // off: null for any index
  list.SetRecordItems(true);
  EXPECT_EQ(list.GetText(), "");
  list.Add("b", &b);
  list.SetData("a", &a);
  list.SetData("b", &a);  // a replacement adds no entry
  EXPECT_EQ(list.GetText(), "b\r\na\r\n");
  EXPECT_EQ(list.GetItems(1), &a);
  EXPECT_TRUE(list.ItemsSort());
  EXPECT_EQ(list.GetText(), "a\r\nb\r\n");
  EXPECT_EQ(list.GetItems(0), &a);
  for (int index : {2, -1}) {
    SCOPED_TRACE(index);
    ExpectListError([&] { list.GetItems(index); },
                    "List index out of bounds (" + std::to_string(index) + ")");
  }

  list.Remove("a");
  EXPECT_EQ(list.GetText(), "b\r\n");
  list.SetRecordItems(false);  // off: the entries stay, but are not shown or updated
  EXPECT_EQ(list.GetText(), "");
  list.Remove("b");
  list.Add("c", nullptr);
  list.SetRecordItems(true);
  EXPECT_EQ(list.GetText(), "b\r\n");
  EXPECT_EQ(list.GetItems(0), nullptr);  // "b" is no longer in the table
  list.Clear();
  EXPECT_EQ(list.GetText(), "");
  EXPECT_EQ(list.Count(), 0);
}

TEST(HashList, DeletionRemovesTheKeysOwnKeyListEntry) {
  // The key list ignores letter case; a case-sensitive table may hold "Key" and "key".
  for (bool key_first : {true, false}) {
    SCOPED_TRACE(key_first ? "Key added first" : "key added first");
    TKivoHashList list(5, StrCompare, StrHash);
    list.SetRecordItems(true);
    list.Add(key_first ? "Key" : "key", nullptr);
    list.Add(key_first ? "key" : "Key", nullptr);
    list.Add("KEY", nullptr);
    list.Remove("key");
    EXPECT_EQ(list.GetText(), "Key\r\nKEY\r\n");
    list.Remove("KEY");
    EXPECT_EQ(list.GetText(), "Key\r\n");
  }
}

// A list whose trees are deferred from its creation, counting its node allocations.
class TDeferredHashList : public TKivoHashList {
 public:
  TDeferredHashList(int bucket_count, kivo::TCompareFunc compare, kivo::THashFunc hash)
      : TKivoHashList(bucket_count, compare, hash) {
    DeferTrees();
  }
  ~TDeferredHashList() override { Clear(); }
  using TKivoHashList::TreesDeferred;
  int allocated = 0;

 protected:
  THashNode* AllocNode() override {
    ++allocated;
    return TKivoHashList::AllocNode();
  }
};

// Keys added without data take no room for it; data set on them later is kept all the same, also
// when the trees are built from the deferred keys.
TEST(HashList, DeferredKeysAddedWithoutDataTakeDataLater) {
  TDeferredHashList list(7, kivo::StrCompare, kivo::KivoHash);
  int a = 0;
  int b = 0;
  list.Add("none", nullptr);
  list.Add("with", &a);
  list.Add("later", nullptr);
  list.SetData("later", &b);
  list.SetData("with", nullptr);
  list.SetData("none", &a);
  list.SetData("none", nullptr);
  EXPECT_EQ(list.GetData("none"), nullptr);
  EXPECT_EQ(list.GetData("with"), nullptr);
  EXPECT_EQ(list.GetData("later"), &b);
  void* data = nullptr;
  ASSERT_TRUE(list.Find("later", data));
  EXPECT_EQ(data, &b);
  EXPECT_EQ(list.Remove("none"), nullptr);  // builds the trees
  EXPECT_FALSE(list.TreesDeferred());
  EXPECT_EQ(list.GetData("later"), &b);
  EXPECT_EQ(list.GetData("with"), nullptr);
}

// Every bucket's tree, and the keys in iteration order.
std::vector<std::string> Shapes(TKivoHashList& list) {
  std::vector<std::string> shapes;
  for (int b = 0; b < list.HashSize(); ++b) shapes.push_back(Shape(*list.BucketLink(b)));
  return shapes;
}

std::vector<std::string> CaptionKeys(int n) {
  std::vector<std::string> keys;
  for (int i = 0; i < n; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "Caption %06d\t1252\t", i);
    keys.push_back(key);
  }
  return keys;
}

// Builds the same insertions, duplicates and replacements included, into a list with deferred
// trees and into a plain one, then compares what each shows: the errors, the lookups, the key
// list, the trees and the iteration order, and the trees after deletions that alternate
// successor and predecessor.
TEST(HashList, DeferredTreesAreTheTreesTheInsertionsBuild) {
  std::vector<std::string> words;
  for (int i = 0; i < 500; ++i) words.push_back("k" + std::to_string(i * 7919 % 1000));
  std::vector<std::string> sorted = words;
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::string> reversed(sorted.rbegin(), sorted.rend());
  std::vector<std::string> shuffled = sorted;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
  std::vector<std::string> captions = CaptionKeys(6000);
  std::vector<std::string> shuffled_captions = captions;
  std::shuffle(shuffled_captions.begin(), shuffled_captions.end(), std::mt19937(12));
  std::vector<std::string> with_duplicates = {"m", "c", "x", "c", "a", "m", "e", "z", "a"};
  struct Row {
    const char* name;
    const std::vector<std::string>& keys;
    int buckets;
  };
  const Row rows[] = {
      {"sorted, one bucket", sorted, 1},
      {"sorted", sorted, 101},
      {"reverse-sorted, one bucket", reversed, 1},
      {"reverse-sorted", reversed, 7},
      {"shuffled, one bucket", shuffled, 1},
      {"shuffled", shuffled, 13},
      {"numbered captions, sorted (clustered hashes)", captions, 6007},
      {"numbered captions, shuffled", shuffled_captions, 6007},
      {"duplicates", with_duplicates, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TKivoHashList plain(row.buckets, StrCompare, KivoHash);
    TDeferredHashList deferred(row.buckets, StrCompare, KivoHash);
    plain.SetRecordItems(true);
    deferred.SetRecordItems(true);
    std::vector<int> values(row.keys.size());
    for (size_t i = 0; i < row.keys.size(); ++i) {
      std::string plain_error;
      std::string deferred_error;
      try {
        plain.Add(row.keys[i], &values[i]);
      } catch (const EHashList& e) {
        plain_error = e.Message();
      }
      try {
        deferred.Add(row.keys[i], &values[i]);
      } catch (const EHashList& e) {
        deferred_error = e.Message();
      }
      ASSERT_EQ(deferred_error, plain_error) << row.keys[i];
      if (i % 5 == 0) {  // replacements keep the tree and the key list as they are
        plain.SetData(row.keys[i], &values[0]);
        deferred.SetData(row.keys[i], &values[0]);
      }
    }
    EXPECT_TRUE(deferred.TreesDeferred());
    EXPECT_EQ(deferred.allocated, 0);
    EXPECT_EQ(deferred.Count(), plain.Count());
    EXPECT_EQ(deferred.GetText(), plain.GetText());
    for (const std::string& key : row.keys) {
      EXPECT_EQ(deferred.GetData(key), plain.GetData(key)) << key;
      EXPECT_TRUE(deferred.Has(key)) << key;
    }
    EXPECT_FALSE(deferred.Has("absent"));
    EXPECT_TRUE(deferred.TreesDeferred());

    EXPECT_EQ(Keys(deferred), Keys(plain));
    EXPECT_FALSE(deferred.TreesDeferred());
    EXPECT_EQ(deferred.allocated, plain.Count());
    ASSERT_EQ(Shapes(deferred), Shapes(plain));

    // Deletions: every third key in insertion order, then the rest of the first half.
    for (int round = 0; round < 2; ++round) {
      for (size_t i = 0; i < row.keys.size() / (round == 0 ? 1 : 2); ++i) {
        if (round == 0 && i % 3 != 0) continue;
        if (!plain.Has(row.keys[i])) continue;
        EXPECT_EQ(deferred.Remove(row.keys[i]), plain.Remove(row.keys[i]));
      }
      EXPECT_EQ(deferred.Count(), plain.Count());
      EXPECT_EQ(deferred.GetText(), plain.GetText());
      ASSERT_EQ(Shapes(deferred), Shapes(plain));
      EXPECT_EQ(Keys(deferred), Keys(plain));
    }
  }
}

// Each operation that looks at or changes a tree builds the deferred trees first, and sees the
// same as on a plain list.
TEST(HashList, EveryTreeOperationBuildsTheDeferredTrees) {
  const std::vector<std::string> keys = {"0m", "0d", "0a", "0q", "1x", "2b", "2a"};
  int value = 0;
  const std::vector<std::pair<const char*, std::function<std::string(TKivoHashList&)>>> ops = {
      {"FindNode",
       [](TKivoHashList& l) {
         THashNode** link = l.FindNode("0a");
         return (*link)->key + Shape(*l.BucketLink(0));
       }},
      {"BucketLink", [](TKivoHashList& l) { return Shape(*l.BucketLink(2)); }},
      {"Iterate", [](TKivoHashList& l) { return Keys(l).back(); }},
      {"IterateMethod",
       [](TKivoHashList& l) {
         std::string seen;
         l.IterateMethod(nullptr, [&](void*, const std::string& key, void*&) {
           seen += key;
           return true;
         });
         return seen;
       }},
      {"Remove",
       [](TKivoHashList& l) {
         l.Remove("0m");
         return Shape(*l.BucketLink(0));
       }},
      {"RemoveData",
       [&value](TKivoHashList& l) {
         l.RemoveData(&value);
         return Shape(*l.BucketLink(0)) + std::to_string(l.Count());
       }},
      {"FindData",
       [&value](TKivoHashList& l) {
         std::string key;
         l.FindData(&value, key);
         return key;
       }},
  };
  for (const auto& [name, op] : ops) {
    SCOPED_TRACE(name);
    TKivoHashList plain(3, StrCompare, DigitHash);
    TDeferredHashList deferred(3, StrCompare, DigitHash);
    for (const std::string& key : keys) {
      plain.Add(key, key == "0d" ? &value : nullptr);
      deferred.Add(key, key == "0d" ? &value : nullptr);
    }
    EXPECT_TRUE(deferred.TreesDeferred());
    EXPECT_EQ(op(deferred), op(plain));
    EXPECT_FALSE(deferred.TreesDeferred());
    EXPECT_EQ(Shapes(deferred), Shapes(plain));
  }
}

TEST(HashList, DeferredTreesKeepLookupsErrorsAndClear) {
  // A list that does not compare with StrCompare keeps its trees.
  TDeferredHashList text(5, TextCompare, TextHash);
  EXPECT_FALSE(text.TreesDeferred());

  TDeferredHashList list(5, StrCompare, KivoHash);
  int a = 1;
  int sentinel = 0;
  list.Add("Key", &a);
  list.Add("key", nullptr);  // case-sensitive: a second key
  list.Add("", &a);          // the empty key is a key
  ExpectHashListError([&] { list.Add("Key", nullptr); }, "Duplicate hash list entry: Key");
  void* data = &sentinel;
  EXPECT_FALSE(list.Find("KEY", data));
  EXPECT_EQ(data, &sentinel);
  EXPECT_TRUE(list.Find("key", data));
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(list.GetData(""), &a);
  EXPECT_EQ(list.Count(), 3);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.Has("Key"));
  EXPECT_TRUE(list.TreesDeferred());
  EXPECT_EQ(list.allocated, 0);

  // Many keys grow the index and its block; all stay reachable.
  std::vector<std::string> keys = CaptionKeys(20000);
  for (size_t i = 0; i < keys.size(); ++i) list.SetData(keys[i], &keys[i]);
  for (size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(list.GetData(keys[i]), &keys[i]);
  EXPECT_FALSE(list.Has("Caption 020000\t1252\t"));

  // Without buckets the deferred list refuses lookups as every list does.
  list.SetHashSize(0);
  ExpectHashListError([&] { list.Add("a", nullptr); }, "Invalid hash list size: 0");
  ExpectHashListError([&] { list.Has("a"); }, "Invalid hash list size: 0");
}

// A list with deferred payloads, as a dictionary's table uses it.
class TPayloadHashList : public TKivoHashList {
 public:
  explicit TPayloadHashList(size_t expected_keys)
      : TKivoHashList(101, kivo::StrCompare, kivo::KivoHash) {
    DeferTreesWithPayloads(expected_keys);
  }
  ~TPayloadHashList() override { Clear(); }
  using TKivoHashList::AddWithPayload;
  using TKivoHashList::AddWithPayloadPipelined;
  using TKivoHashList::FindPayload;
  using TKivoHashList::FlushPipeline;
  using TKivoHashList::ShrinkDeferred;
  using TKivoHashList::TreesDeferred;
};

// Keys and payloads of all lengths (empty, odd, embedded zero bytes) stay together through the
// index's growth and the block's shrinking; keys added without a payload have an empty one.
TEST(HashList, PayloadsStayWithTheirKeys) {
  for (size_t expected : {size_t{0}, size_t{3}, size_t{5000}}) {
    TPayloadHashList list(expected);
    std::vector<std::string> keys;
    std::vector<std::string> payloads;
    for (int i = 0; i < 5000; ++i) {
      keys.push_back(std::string(static_cast<size_t>(i % 7), 'k') + std::to_string(i));
      std::string payload(static_cast<size_t>(i % 13), static_cast<char>('a' + i % 26));
      if (i % 5 == 0) payload.push_back('\0');
      payloads.push_back(payload);
    }
    int sentinel = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
      if (i % 97 == 0) {
        list.Add(keys[i], &sentinel);  // no payload
      } else {
        ASSERT_TRUE(list.AddWithPayload(keys[i], nullptr, payloads[i]));
      }
    }
    list.AddWithPayload("", &sentinel, "empty key");
    ExpectHashListError([&] { list.AddWithPayload(keys[1], nullptr, "other"); },
                        "Duplicate hash list entry: " + keys[1]);
    list.ShrinkDeferred();
    EXPECT_EQ(list.Count(), 5001);
    for (size_t i = 0; i < keys.size(); ++i) {
      std::string_view payload = "untouched";
      ASSERT_TRUE(list.FindPayload(keys[i], payload)) << keys[i];
      EXPECT_EQ(payload, i % 97 == 0 ? std::string_view() : std::string_view(payloads[i]));
      EXPECT_EQ(list.GetData(keys[i]), i % 97 == 0 ? &sentinel : nullptr);
    }
    std::string_view payload = "untouched";
    EXPECT_TRUE(list.FindPayload("", payload));
    EXPECT_EQ(payload, "empty key");
    payload = "untouched";
    EXPECT_FALSE(list.FindPayload("absent", payload));
    EXPECT_EQ(payload, "untouched");
    // The trees replay the keys with their data; the payloads go with the deferral.
    EXPECT_EQ(list.Remove(keys[0]), &sentinel);
    EXPECT_FALSE(list.TreesDeferred());
    EXPECT_EQ(list.Count(), 5000);
    EXPECT_FALSE(list.FindPayload(keys[1], payload));
    EXPECT_TRUE(list.Has(keys[1]));
  }
  // Without buckets a list with deferred payloads refuses lookups as every list does.
  TPayloadHashList list(0);
  list.SetHashSize(0);
  std::string_view payload;
  ExpectHashListError([&] { list.AddWithPayload("a", nullptr, "p"); }, "Invalid hash list size: 0");
  ExpectHashListError([&] { list.FindPayload("a", payload); }, "Invalid hash list size: 0");
}

// A lookup given head and tail apart finds what the joined key finds, whether the tail lets it
// skip the join or not, through the index's growth.
TEST(HashList, PayloadLookupWithAKeyTailMatchesTheJoinedKey) {
  const std::string long_head(40, 'L');
  const std::vector<std::string> keys = {
      "File\t1252\t", "File\t1252\t1", "A\tB\t936\t", "A\t1252\t\t",          "\t\t", "",
      "no tabs",      "one\ttab",      "x\ty\tz\tw",  long_head + "\t1252\t7"};
  TPayloadHashList list(0);
  for (size_t i = 0; i < keys.size(); ++i) list.AddWithPayload(keys[i], nullptr, "p" + keys[i]);
  for (int i = 0; i < 3000; ++i) {
    list.AddWithPayload("Caption " + std::to_string(i) + "\t1252\t", nullptr, std::to_string(i));
  }
  const std::vector<std::string> heads = {
      "",    "File", "A",       "A\tB",       "A\t1252",      "no tabs",
      "one", "x\ty", long_head, "Caption 17", "Caption 2999", "Caption 3000"};
  const struct {
    const char* text;
    bool joinable;
  } tails[] = {{"", false},           {"\t1252\t", true},    {"\t1252\t1", true}, {"\t936\t", true},
               {"\t\t", true},        {"\tB\t936\t", false}, {"\ttab", false},    {"\tz\tw", true},
               {"\t1252\t\t", false}, {"1252\t\t", false},   {"\t1252\t7", true}};
  int found = 0;
  for (const auto& t : tails) {
    const TKeyTail tail(t.text);
    EXPECT_EQ(tail.Joinable(), t.joinable) << t.text;
    for (const std::string& head : heads) {
      SCOPED_TRACE(head + "|" + t.text);
      std::string_view apart = "untouched";
      std::string_view joined = "untouched";
      const bool found_apart = list.FindPayload(head, tail, apart);
      ASSERT_EQ(found_apart, list.FindPayload(head + t.text, joined));
      EXPECT_EQ(apart, joined);
      found += found_apart ? 1 : 0;
    }
  }
  // Each listed key is some head + tail above, two of them in two ways, and so are "Caption 17"
  // and "Caption 2999" with "\t1252\t".
  EXPECT_EQ(found, 14);
}

// Pipelined adds check each key a few calls late but report the same first duplicate as adding
// one by one, and leave exactly the keys before it; the index grows in between.
TEST(HashList, PipelinedAddsReportTheFirstDuplicateInOrder) {
  struct Case {
    size_t expected;   // announced keys
    int duplicate_at;  // position of the repeated key; -1: none
    int repeats;       // the earlier key it repeats
  };
  const Case cases[] = {
      {0, -1, 0},     {5000, -1, 0},       // no duplicate; index grows from small or is sized
      {0, 3, 1},      {5000, 10, 2},       // within the first window
      {0, 4000, 10},  {5000, 4999, 4998},  // a key entered long before; the last key
      {16, 300, 299},                      // right after the index grew
  };
  for (const Case& c : cases) {
    TPayloadHashList list(c.expected);
    auto key = [](int i) { return "Caption " + std::to_string(i); };
    std::string error = "no error";
    int added = 0;
    try {
      for (int i = 0; i < 5000; ++i) {
        const std::string k = i == c.duplicate_at ? key(c.repeats) : key(i);
        list.AddWithPayloadPipelined(k, "v" + std::to_string(i));
        ++added;
      }
      list.FlushPipeline();
    } catch (const EHashList& e) {
      error = e.Message();
    }
    const int kept = c.duplicate_at < 0 ? 5000 : c.duplicate_at;
    EXPECT_EQ(error,
              c.duplicate_at < 0 ? "no error" : "Duplicate hash list entry: " + key(c.repeats))
        << c.duplicate_at;
    EXPECT_GE(added, kept);
    EXPECT_EQ(list.Count(), kept);
    std::string_view payload;
    for (int i = 0; i < 5000; ++i) {
      const bool present = i < kept;
      ASSERT_EQ(list.FindPayload(key(i), payload),
                present || (i == c.repeats && c.duplicate_at >= 0))
          << i;
      if (present) {
        EXPECT_EQ(payload, "v" + std::to_string(i));
      }
    }
    // The trees replay exactly the kept keys.
    EXPECT_EQ(list.Remove(key(0)), nullptr);
    EXPECT_EQ(list.Count(), kept - 1);
  }
}

// A list without deferred payloads (plain, or deferred without them) adds through AddWithPayload
// as through Add, and finds no payload.
TEST(HashList, AddWithPayloadWithoutDeferredPayloadsIsAdd) {
  struct TList : TKivoHashList {
    explicit TList(bool defer) : TKivoHashList(7, nullptr, nullptr) {
      if (defer) DeferTrees();
    }
    using TKivoHashList::AddWithPayload;
    using TKivoHashList::FindPayload;
  };
  for (bool defer : {false, true}) {
    TList list(defer);
    int a = 0;
    EXPECT_FALSE(list.AddWithPayload("x", &a, "p"));
    EXPECT_EQ(list.GetData("x"), &a);
    ExpectHashListError([&] { list.AddWithPayload("x", nullptr, "q"); },
                        "Duplicate hash list entry: x");
    std::string_view payload = "untouched";
    EXPECT_FALSE(list.FindPayload("x", payload));
    EXPECT_EQ(payload, "untouched");
  }
}

}  // namespace
