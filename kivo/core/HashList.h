// Hash list of byte-string keys with per-bucket binary search trees.
//
// TKivoHashList maps keys to untyped data pointers. The hash and compare functions are chosen
// at construction; colliding keys cost a tree descent. The list never releases data pointers.
// Threads: single-threaded, no locking.
//
//   kivo::TKivoHashList list(101, kivo::StrCompare, kivo::KivoHash);
//   list.Add("OK\t1252\t0", &ok_text);
//   void* data = nullptr;
//   if (list.Find("OK\t1252\t0", data)) Use(static_cast<std::string*>(data));
//   list.Remove("OK\t1252\t0");  // returns &ok_text; the string itself is the caller's
//
// Layout. Each bucket holds an unbalanced binary search tree ordered by the compare function;
// the bucket of a key is hash(key) mod the bucket count. New nodes are always leaves and trees
// are never rebalanced. Operations that change a tree work on a link: the address of the bucket
// slot or the child field (`left`, `right`) that holds a node, so a node can be put into or
// replaced in its parent in place.
//
// Deletion of a node with two subtrees alternates over the list's whole life, counted over all
// buckets: the 1st, 3rd, 5th … deletion moves the in-order successor into the gap, the 2nd,
// 4th … the in-order predecessor.
//
// Iteration order: buckets 0 … bucket count − 1; in a bucket, the tree in pre-order (a node,
// then its left subtree, then its right subtree). Traversals use an explicit stack, so a
// degenerate tree (sorted keys in one bucket) cannot exhaust the call stack.
//
// Deferred trees. A derived list may call DeferTrees() while it is empty: its keys are then kept
// in insertion order in one compact block, found through an index on a 64-bit hash of the key
// bytes, and no node is allocated. The first operation that looks at or changes a tree
// (FindNode, BucketLink, Iterate, IterateMethod, Remove, RemoveData, FindData) builds every
// bucket's tree by inserting the keys again in their order of insertion, so the trees, their
// nodes' keys and data, and everything seen through them are those that the insertions would
// have built; from then on the list works as any other. Add, SetData, Find, Has, GetData, Count
// and the key list keep their behaviour while the trees are deferred.
//
// Payloads. A list deferred with DeferTreesWithPayloads() may also keep, with each key added
// through AddWithPayload(), a copy of a byte string (its payload) in the key's entry, so that one
// lookup (FindPayload) reaches key and payload together. Keys added otherwise have an empty
// payload. Payloads live only while the trees are deferred: building the trees drops them.
//
// Key list. After SetRecordItems(true) the list also appends each newly inserted key to a string
// list (default settings: unsorted, compared without regard to letter case), for enumeration by
// position (GetItems) and as text (GetText).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kivo/rtl/ClassModel.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Strings.h"

namespace kivo {

// Message formats of EHashList; %s is the key, %d the refused bucket count.
inline constexpr const char* SDuplicateHashListEntry = "Duplicate hash list entry: %s";
inline constexpr const char* SInvalidHashListNode = "Tried to remove invalid node: %s";
inline constexpr const char* SInvalidHashListSize = "Invalid hash list size: %d";

// The hash list's errors: a duplicate key, the removal of an absent key, a bad bucket count.
class EHashList : public Exception {
 public:
  using Exception::Exception;
};

// One entry of the list. A derived list may allocate larger records that start with a
// THashNode (see TKivoHashList::AllocNode).
struct THashNode {
  std::string key;             // owned by the node
  void* data = nullptr;        // the caller's; never released by the list
  THashNode* left = nullptr;   // keys that compare below `key`
  THashNode* right = nullptr;  // keys that compare above `key`
};

// A hash function: the result must be ≥ 0. A negative result is taken as its 32-bit unsigned
// value, so it still selects a valid bucket.
using THashFunc = int32_t (*)(const std::string& key);
// A compare function: negative, zero or positive as `s1` sorts below, equal to or above `s2`.
using TCompareFunc = int (*)(const std::string& s1, const std::string& s2);
// An iteration callback: receives the node's key and its data, which it may replace; returns
// true to go on, false to end the whole iteration.
using TIterateFunc = bool (*)(void* user_data, const std::string& key, void*& data);
using TIterateMethod = std::function<bool(void* user_data, const std::string& key, void*& data)>;
// A NodeIterate callback: receives the link that holds each node.
using TNodeIterateFunc = void (*)(void* user_data, THashNode** link);

// Hash functions. 32-bit unsigned arithmetic with wrap-around on bytes 0–255, the result masked
// with 0x7FFFFFFF; the empty string hashes to 0.
// Sum over positions i = 1 … length of (byte shifted left by i mod 32) × i. "abc" → 3354.
int32_t KivoHash(const std::string& key);
// h := (h rotated right by 6) + (h xor byte) for each byte. "abc" → 370147431.
int32_t StrHash(const std::string& key);
// StrHash of the key with the ASCII letters "A"–"Z" folded to "a"–"z"; other bytes unchanged.
int32_t TextHash(const std::string& key);

// Compare functions. Ordinal byte comparison, letter case significant (as CompareStr).
int StrCompare(const std::string& s1, const std::string& s2);
// Ordinal comparison with the ASCII letters compared without regard to case (as CompareText).
// Together with TextHash it gives a list whose keys ignore ASCII letter case.
int TextCompare(const std::string& s1, const std::string& s2);

// Iteration callbacks that release each node's data and set it to null; each returns true.
// Deletes the data as a TObject (its virtual destructor runs).
bool Iterate_FreeObjects(void* user_data, const std::string& key, void*& data);
// Both std::free the data: the blocks must come from std::malloc (or calloc, realloc).
bool Iterate_Dispose(void* user_data, const std::string& key, void*& data);
bool Iterate_FreeMem(void* user_data, const std::string& key, void*& data);

// The end of keys made as head + tail, prepared once for looking up many heads with the same
// tail (TKivoHashList::FindPayload with a head and a tail), as a dictionary does with the code
// page and sequence number of its hash keys.
class TKeyTail {
 public:
  explicit TKeyTail(std::string text = {});
  const std::string& Text() const { return text_; }
  // True when a lookup with this tail needs not join head and tail: the tail starts with a tab
  // and holds exactly one more.
  bool Joinable() const { return joinable_; }

 private:
  friend class TKivoHashList;
  std::string text_;
  uint64_t hash_ = 0;  // of text_, as the index hashes a key's tail
  bool joinable_ = false;
};

class TKivoHashList : public TObject {
  KIVO_CLASS(TKivoHashList, TObject)

  // Creates an empty list with `bucket_count` buckets. A null `compare` means StrCompare, a null
  // `hash` StrHash.
  // Throws: EHashList "Invalid hash list size: 0" for a bucket count below 1.
  TKivoHashList(int bucket_count, TCompareFunc compare, THashFunc hash);
  // Deletes every node (through this class's FreeNode) and the bucket array. Data pointers are
  // not released. A derived list that overrides AllocNode/FreeNode must call Clear() in its own
  // destructor: once this destructor runs, the override is no longer reachable.
  ~TKivoHashList() override;

  TKivoHashList(const TKivoHashList&) = delete;
  TKivoHashList& operator=(const TKivoHashList&) = delete;

  // The number of keys in the list.
  int Count() const { return count_; }
  // The number of buckets.
  int HashSize() const { return bucket_count_; }

  // Sets the number of buckets and empties every bucket, when `bucket_count` differs from the
  // current count. The constructor and the destructor use it; a list that still holds nodes
  // deletes them first (they are not carried over into the new buckets). A list with zero
  // buckets holds nothing and refuses lookups.
  // Throws: EHashList "Invalid hash list size: -1" for a negative count.
  void SetHashSize(int bucket_count);

  // The link that holds the node of `key`, or the empty link where such a node would go.
  // Throws: EHashList "Invalid hash list size: 0" on a list without buckets (as does every
  // operation below that looks a key up).
  THashNode** FindNode(const std::string& key);

  // Inserts `key` with `data`.
  // Throws: EHashList "Duplicate hash list entry: <key>" when the key is present; the list is
  // then unchanged.
  void Add(const std::string& key, void* data);
  // Replaces the data of `key`, or inserts the key with `data` when it is absent.
  void SetData(const std::string& key, void* data);
  // The data of `key`, or null when it is absent.
  void* GetData(const std::string& key) const;
  bool Has(const std::string& key) const;
  // True and `data` set when `key` is present; false and `data` untouched otherwise.
  bool Find(const std::string& key, void*& data) const;
  // Deletes the node of `key` and returns its data.
  // Throws: EHashList "Tried to remove invalid node: <key>" when the key is absent; the list is
  // then unchanged.
  void* Remove(const std::string& key);
  // Deletes every node whose data is `data`; none is no error.
  void RemoveData(const void* data);
  // True and `key` set to the key of the first node, in iteration order, whose data is `data`;
  // false and `key` untouched when there is none.
  bool FindData(const void* data, std::string& key) const;

  // Calls `func` with (user_data, key, data) for each node in iteration order, until it returns
  // false. A null function visits nothing.
  // REQUIRES: the callback does not add or delete nodes.
  void Iterate(void* user_data, TIterateFunc func);
  void IterateMethod(void* user_data, const TIterateMethod& method);

  // Deletes every node (data pointers are not released) and, with the key-list flag on, empties
  // the key list.
  void Clear();

  // Switches the key list on or off. Keys already in the list are not entered when it is
  // switched on, and the key list keeps its entries when it is switched off.
  void SetRecordItems(bool value);
  bool RecordItems() const { return record_items_; }
  // With the key list on: the data of the key at `index` of the key list (null when that key
  // is no longer in the list). With the key list off: null, for any index.
  // Throws: EListError "List index out of bounds (<index>)" for an index outside the key list.
  void* GetItems(int index) const;
  // With the key list on: the keys in key-list order, each followed by CR LF. Otherwise "".
  std::string GetText() const;
  // Sorts the key list by its comparison (letter case ignored); false when the sort failed.
  bool ItemsSort();

  // Steps of the operations above, public for derived lists and diagnostics.

  // Visits the subtree of `node` in pre-order like Iterate; false when the callback stopped it.
  bool IterateNode(THashNode* node, void* user_data, TIterateFunc func);
  bool IterateMethodNode(THashNode* node, void* user_data, const TIterateMethod& method);
  // Calls `func` with the link of each node of the subtree held by `link`, in pre-order.
  // REQUIRES: the callback does not change the tree.
  void NodeIterate(THashNode** link, void* user_data, TNodeIterateFunc func);
  // Deletes the node held by `link` (successor and predecessor alternate, see the file comment),
  // takes its key out of the key list when the key-list flag is on, and frees it. The key-list
  // entry removed is the first one byte-for-byte equal to the key, so of two keys that differ
  // only in letter case (in a case-sensitive list) each deletion removes its own entry; a key
  // without such an entry (inserted while the key list was off) leaves the key list alone.
  // Throws: EHashList "Tried to remove invalid node: " for a null or empty link.
  void DeleteNode(THashNode** link);
  // Frees the subtree held by `link` in post-order and empties the link. The count and the key
  // list are not touched (Clear does that).
  void DeleteNodes(THashNode** link);
  // The root link of bucket `bucket`; for diagnostics and tests of the tree shape.
  // Throws: EListError "List index out of bounds (<bucket>)" outside 0 … HashSize() − 1.
  THashNode** BucketLink(int bucket);

 protected:
  // Node allocation, in this fixed slot order. A derived list may override both to use larger
  // nodes that start with a THashNode.
  // Returns a new node with an empty key and no children.
  virtual THashNode* AllocNode();
  // Releases `node` and its key (not its data).
  virtual void FreeNode(THashNode* node);

  // Defers the trees (see the file comment) of a list that compares with StrCompare, from now
  // until something looks at a tree; a list with another compare function, or one that holds
  // keys, is left as it is. While the trees are deferred, AllocNode and the hash function are
  // not called; building the trees calls them for every key, in insertion order.
  // `expected_keys` sizes the index up front (a hint; 0 lets it grow from small).
  void DeferTrees(size_t expected_keys = 0);
  // True while the trees are deferred.
  bool TreesDeferred() const { return deferred_ != nullptr; }
  // DeferTrees, with payloads (see the file comment). `expected_bytes` (a hint; 0 for none) is
  // about the room the keys and payloads will take; it is reserved up front.
  void DeferTreesWithPayloads(size_t expected_keys = 0, size_t expected_bytes = 0);
  // Add, keeping a copy of `payload` with the key; true. On a list without deferred payloads, Add
  // without the payload; false.
  // Throws: EHashList "Duplicate hash list entry: <key>" when the key is present (the list is
  // then unchanged); std::bad_alloc.
  bool AddWithPayload(const std::string& key, void* data, std::string_view payload);
  // True and `payload` set to the payload of `key` (valid until the list next changes) when the
  // key is present in a list with deferred payloads; false and `payload` untouched otherwise.
  // Throws: EHashList "Invalid hash list size: 0" on a list with deferred payloads and without
  // buckets.
  bool FindPayload(const std::string& key, std::string_view& payload) const;
  // FindPayload of the key `head` + tail.Text(); without joining the two when the tail is
  // joinable, and then without allocating.
  bool FindPayload(std::string_view head, const TKeyTail& tail, std::string_view& payload) const;
  // Releases the room reserved for more deferred keys; for a list that has got all its keys.
  void ShrinkDeferred();
  // AddWithPayload (with null data) for a list that is filled in one go: the key and its payload
  // are appended at once, but the key enters the index, and is checked against the keys before
  // it, a few calls later (the index is then read while other work goes on), at the latest in
  // FlushPipeline. Between the first call and FlushPipeline nothing else may use the list except
  // its destruction. A list without deferred payloads, or one that records its keys, adds at
  // once.
  // Throws: EHashList "Duplicate hash list entry: <key>" naming the first key, in the order of
  // the calls, that is already present; that key and the keys appended after it are not in the
  // list. std::bad_alloc.
  void AddWithPayloadPipelined(const std::string& key, std::string_view payload);
  // Enters every pipelined key. Throws: as AddWithPayloadPipelined.
  void FlushPipeline();

 private:
  class TDeferredKeys;

  // DeferTrees with or without payloads.
  void Defer(size_t expected_keys, size_t expected_bytes, bool payloads);
  // Builds the deferred trees; nothing when they are not deferred. When building fails (an
  // AllocNode that throws), the nodes built so far are freed and the trees stay deferred.
  void BuildDeferredTrees();
  // The node of `key`, or null.
  THashNode* Lookup(const std::string& key) const;
  // Inserts a new leaf at the empty `link`.
  void InsertAt(THashNode** link, const std::string& key, void* data);
  // Removes the first key-list entry byte-for-byte equal to `key`, if any.
  void RemoveItem(const std::string& key);
  // Add (`replace` false: false when the key is present) and SetData on deferred trees; a new
  // key gets `payload` in a list with payloads.
  bool AddDeferred(const std::string& key, void* data, std::string_view payload, bool replace);
  // The deferred entry of `key`, or null.
  const char* FindDeferred(const std::string& key) const;

  THashFunc hash_;
  TCompareFunc compare_;
  int bucket_count_ = 0;
  int count_ = 0;
  std::vector<THashNode*> buckets_;  // the root link of each bucket; size() == bucket_count_
  bool delete_successor_ = false;    // flipped before each deletion; true: use the successor
  bool record_items_ = false;
  TStringList items_;  // the keys in insertion order while record_items_ is on
  // The keys while the trees are deferred, else null. `buckets_` is empty meanwhile.
  std::unique_ptr<TDeferredKeys> deferred_;
};

}  // namespace kivo
