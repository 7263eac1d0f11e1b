#include "kivo/core/HashList.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include <sys/mman.h>
#include <string_view>
#include <unordered_map>

#include "kivo/rtl/OnFailure.h"
#include "kivo/rtl/StrUtils.h"
#include "kivo/rtl/Stream.h"

namespace kivo {

namespace {

constexpr uint32_t kHashMask = 0x7FFFFFFF;

uint32_t StrHashStep(uint32_t h, unsigned char c) { return ((h << 26) + (h >> 6)) + (h ^ c); }

unsigned char FoldAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

uint64_t Load64(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

uint32_t Load32(const char* p) {
  uint32_t w;
  std::memcpy(&w, p, sizeof w);
  return w;
}

// True when the `n` bytes at `a` and at `b` are equal; inline, as the keys compared are short
// and nearly always equal (their index hashes agree).
inline bool SameBytes(const char* a, const char* b, size_t n) {
  if (n >= 8) {
    uint64_t diff = Load64(a + n - 8) ^ Load64(b + n - 8);
    for (size_t i = 0; i + 8 < n; i += 8) diff |= Load64(a + i) ^ Load64(b + i);
    return diff == 0;
  }
  if (n >= 4) return ((Load32(a) ^ Load32(b)) | (Load32(a + n - 4) ^ Load32(b + n - 4))) == 0;
  for (size_t i = 0; i < n; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

__extension__ typedef unsigned __int128 UInt128;  // GCC and Clang have it on 64-bit targets

// Multiplies two words and folds the 128-bit product into 64 bits: every bit of either factor
// reaches every bit of the result (unless a factor is 0).
inline uint64_t MulFold(uint64_t a, uint64_t b) {
  const UInt128 product = static_cast<UInt128>(a) * b;
  return static_cast<uint64_t>(product) ^ static_cast<uint64_t>(product >> 64);
}

// A 64-bit hash of `n` bytes in which every byte reaches every bit, so keys that differ in a few
// bytes (numbered captions) spread over the whole index. Up to 16 bytes are read as two words
// (overlapping when shorter), longer ones 16 bytes a step, the last step taking the key's last 16
// bytes; each step folds a product of two words, the first factor the step's first word, the second
// its other word mixed with the steps before and the length.
inline uint64_t BytesHash(const char* p, size_t n) {
  constexpr uint64_t kK0 = 0xA0761D6478BD642FULL;
  constexpr uint64_t kK1 = 0xE7037ED1A0B428DBULL;
  uint64_t seed = kK0 ^ n;
  uint64_t a = 0;
  uint64_t b = 0;
  if (n <= 16) {
    if (n >= 8) {
      a = Load64(p);
      b = Load64(p + n - 8);
    } else if (n >= 4) {
      a = Load32(p);
      b = Load32(p + n - 4);
    } else if (n > 0) {
      const auto* c = reinterpret_cast<const unsigned char*>(p);
      a = c[0] | (static_cast<uint64_t>(c[n / 2]) << 8) | (static_cast<uint64_t>(c[n - 1]) << 16);
    }
  } else {
    const char* const last = p + n - 16;
    for (; p < last; p += 16) seed = MulFold(Load64(p) ^ kK1, Load64(p + 8) ^ seed);
    a = Load64(last);
    b = Load64(last + 8);
  }
  return MulFold(a ^ kK1, b ^ seed);
}

// Where the index hash splits a key: at its last tab but one (keys made as field, tab, field,
// tab, field split before the second field), or at its end when it has fewer than two tabs.
inline size_t SplitOf(std::string_view key) {
  const size_t last = key.rfind('\t');
  if (last == std::string_view::npos || last == 0) return key.size();
  const size_t before = key.rfind('\t', last - 1);
  return before == std::string_view::npos ? key.size() : before;
}

// The index hash of a key split into head and tail.
inline uint64_t JoinHashes(uint64_t head, uint64_t tail) {
  return MulFold(head ^ 0x8EBC6AF09C88C6E3ULL, tail ^ 0x589965CC75374CC3ULL);
}

// The index hash of the deferred trees: the hashes of the key's head and tail (split by SplitOf)
// joined, so that a lookup given head and tail apart needs not join their bytes, and one tail
// serves many heads (TKeyTail).
inline uint64_t IndexHash(std::string_view key) {
  const size_t split = SplitOf(key);
  return JoinHashes(BytesHash(key.data(), split),
                    BytesHash(key.data() + split, key.size() - split));
}

[[noreturn]] void ThrowInvalidSize(int bucket_count) {
  throw EHashList(FormatMessage(SInvalidHashListSize, {std::to_string(bucket_count)}));
}

}  // namespace

// ---- deferred keys ----

// The keys of a list whose trees are deferred, in insertion order.
//
// Entries lie one after another in one block, each a multiple of 4 bytes: the key's length (4
// bytes; its top bit tells that a data pointer follows), the data pointer (8 bytes, only when the
// key was added with data other than null), the key's bytes, and in a list with payloads the
// payload's length (4 bytes) and bytes; then padding. Data set later on an entry without a
// pointer is kept in a side map. The index is an open-addressing table with linear
// probing, at most kMaxLoad full; a key's home slot is the low 32 bits of its index hash scaled to
// the slot count. A slot holds the entry's offset in 4-byte units plus one in its low 32 bits and
// the high 32 bits of the key's index hash in its high 32 bits, so that a probe reads an entry
// only when the hashes agree. 0 is an empty slot.
class TKivoHashList::TDeferredKeys {
 public:
  TDeferredKeys(size_t expected_keys, size_t expected_bytes, bool payloads)
      : expected_keys_(expected_keys), expected_bytes_(expected_bytes), payloads_(payloads) {}
  ~TDeferredKeys() {
    std::free(block_);
    std::free(slots_);
  }
  TDeferredKeys(const TDeferredKeys&) = delete;
  TDeferredKeys& operator=(const TDeferredKeys&) = delete;

  // Where a key is: its entry (null when absent) and the slot that holds it or would hold it.
  struct Probe {
    char* entry;
    size_t slot;
    uint64_t hash;
  };

  bool HasPayloads() const { return payloads_; }

  // REQUIRES: the index has at least one empty slot (Reserve has run once).
  Probe Find(std::string_view key) const { return FindHashed(key, IndexHash(key)); }
  Probe FindHashed(std::string_view key, uint64_t hash) const {
    return FindJoinedHashed(key, {}, hash);
  }
  // Find of the key `head` + `tail`, whose index hash is `hash`, without joining the two.
  [[gnu::always_inline]] Probe FindJoinedHashed(std::string_view head, std::string_view tail,
                                                uint64_t hash) const {
    const uint64_t tag = hash >> 32;
    const size_t size = head.size() + tail.size();
    for (size_t i = Home(hash, slot_count_);; i = Next(i, slot_count_)) {
      const uint64_t slot = slots_[i];
      if (slot == 0) return {nullptr, i, hash};
      if ((slot >> 32) == tag) {
        char* entry = EntryAt(slot);
        const std::string_view key = KeyOf(entry);
        if (key.size() == size && SameBytes(key.data(), head.data(), head.size()) &&
            SameBytes(key.data() + head.size(), tail.data(), tail.size())) {
          return {entry, i, hash};
        }
      }
    }
  }
  // The entry of `key`, or of `head` + `tail` with the index hash `hash`, or null; an empty index
  // holds nothing.
  char* FindEntry(std::string_view key) const {
    return slot_count_ == 0 ? nullptr : Find(key).entry;
  }
  char* FindJoinedEntry(std::string_view head, std::string_view tail, uint64_t hash) const {
    return slot_count_ == 0 ? nullptr : FindJoinedHashed(head, tail, hash).entry;
  }

  // Makes room for one more key of `size` bytes with a payload of `payload_size` bytes, so that
  // the next Insert cannot fail.
  // Throws: std::bad_alloc.
  void Reserve(size_t size, size_t payload_size) {
    if (size >= kHasData) throw std::bad_alloc();
    const size_t need = used_ + EntrySize(size, payload_size, true);
    if (need / 4 >= 0xFFFFFFFFU) throw std::bad_alloc();
    if (need > capacity_) {
      size_t capacity = std::max({need, capacity_ * 2, size_t{4096}});
      // The first block takes the announced room; a large one grows by halves, so that less of
      // it stands reserved and unused.
      if (block_ == nullptr) capacity = std::max(capacity, expected_bytes_);
      if (capacity_ >= kLargeBlock) capacity = std::max(need, capacity_ + capacity_ / 2);
      void* block = nullptr;
      if (block_ == nullptr && capacity >= kLargeBlock) {
        capacity = (capacity + kLargePage - 1) & ~(kLargePage - 1);
        block = std::aligned_alloc(kLargePage, capacity);
      } else {
        block = std::realloc(block_, capacity);
      }
      if (block == nullptr) throw std::bad_alloc();
      block_ = static_cast<char*>(block);
      capacity_ = capacity;
      AdviseLargePages(block_, capacity_);
    }
    if (IndexFull()) {
      size_t slot_count = std::max(slot_count_ * 2, size_t{16});
      // The first growth sizes the index for the announced keys: a small index half full, so
      // that a probe for an absent key ends after about two slots, a large one fuller, to save
      // memory.
      const double load = expected_keys_ < kSmallIndexKeys ? kSmallSizeLoad : kSizeLoad;
      const auto wanted = static_cast<size_t>(static_cast<double>(expected_keys_) / load) + 1;
      if (slot_count < wanted) slot_count = wanted;
      Rehash(slot_count);
    }
  }

  // Appends `key` with `data` (and `payload` in a list with payloads) and enters it at the
  // probe's slot.
  // REQUIRES: Reserve(key.size(), payload.size()) since the last Insert; `probe` is Find(key)
  // since then, and found nothing.
  void Insert(std::string_view key, void* data, std::string_view payload, const Probe& probe) {
    WriteEntry(block_ + used_, key, data, payload);
    slots_[probe.slot] = ((probe.hash >> 32) << 32) | (used_ / 4 + 1);
    used_ += EntrySize(key.size(), payload.size(), data != nullptr);
    ++count_;
  }

  // The pipeline: entries appended to the block whose keys are not yet in the index.
  static constexpr size_t kPipeline = 16;
  bool PipelineFull() const { return pending_count_ == kPipeline; }
  bool PipelineEmpty() const { return pending_count_ == 0; }
  // True when the Reserve for one more key would grow the index.
  bool IndexFull() const {
    return static_cast<double>(count_ + 1) > static_cast<double>(slot_count_) * kMaxLoad;
  }
  // Appends `key` with `data` and `payload` without entering it in the index, and starts loading
  // its home slot.
  // REQUIRES: Reserve(key.size(), payload.size()) since the last Append or Insert; the pipeline
  // is not full.
  void Append(std::string_view key, void* data, std::string_view payload) {
    const uint64_t hash = IndexHash(key);
    __builtin_prefetch(&slots_[Home(hash, slot_count_)]);
    WriteEntry(block_ + used_, key, data, payload);
    pending_[pending_count_++] = {used_, hash};
    used_ += EntrySize(key.size(), payload.size(), data != nullptr);
    ++count_;
  }
  // Enters the appended keys in the index, in order. A key that is present already stops it:
  // that entry and the ones appended after it leave the block; `duplicate` is its key and
  // `dropped` the number of entries that left. Returns false then.
  bool Flush(std::string& duplicate, size_t& dropped) {
    for (size_t k = 0; k < pending_count_; ++k) {
      const char* entry = block_ + pending_[k].offset;
      const std::string_view key = KeyOf(entry);
      const Probe probe = FindHashed(key, pending_[k].hash);
      if (probe.entry != nullptr) {
        duplicate.assign(key.data(), key.size());
        dropped = pending_count_ - k;
        used_ = pending_[k].offset;
        count_ -= dropped;
        pending_count_ = 0;
        return false;
      }
      slots_[probe.slot] = ((pending_[k].hash >> 32) << 32) | (pending_[k].offset / 4 + 1);
    }
    pending_count_ = 0;
    return true;
  }

  // Releases the block's room beyond its entries.
  void ShrinkToFit() {
    if (used_ == 0 || used_ == capacity_) return;
    void* block = std::realloc(block_, used_);
    if (block == nullptr) return;  // the larger block stays valid
    block_ = static_cast<char*>(block);
    capacity_ = used_;
  }

  // Forgets every key and releases the storage.
  void Clear() {
    std::free(block_);
    block_ = nullptr;
    used_ = capacity_ = count_ = 0;
    std::free(slots_);
    slots_ = nullptr;
    slot_count_ = 0;
    late_data_.clear();
    pending_count_ = 0;
  }

  // Calls `f(key, data)` for every entry in insertion order.
  template <class F>
  void ForEach(F&& f) const {
    for (size_t at = 0; at < used_;) {
      const char* entry = block_ + at;
      const std::string_view key = KeyOf(entry);
      f(key, DataOf(entry));
      at += SizeOf(entry);
    }
  }

  void WriteEntry(char* entry, std::string_view key, void* data, std::string_view payload) const {
    const auto size = static_cast<uint32_t>(key.size());
    const uint32_t head = size | (data != nullptr ? kHasData : 0);
    std::memcpy(entry, &head, sizeof head);
    char* at = entry + 4;
    if (data != nullptr) {
      std::memcpy(at, &data, sizeof data);
      at += 8;
    }
    if (size > 0) std::memcpy(at, key.data(), size);
    if (payloads_) {
      const auto payload_size = static_cast<uint32_t>(payload.size());
      std::memcpy(at + size, &payload_size, sizeof payload_size);
      if (payload_size > 0) std::memcpy(at + size + 4, payload.data(), payload_size);
    }
  }

  void* DataOf(const char* entry) const {
    void* data = nullptr;
    if (HasDataSlot(entry)) {
      std::memcpy(&data, entry + 4, sizeof data);
    } else if (!late_data_.empty()) {
      const auto it = late_data_.find(static_cast<size_t>(entry - block_));
      if (it != late_data_.end()) data = it->second;
    }
    return data;
  }
  // An entry added without data has no room for it; data given to it later is kept aside.
  void SetDataOf(char* entry, void* data) {
    if (HasDataSlot(entry)) {
      std::memcpy(entry + 4, &data, sizeof data);
    } else if (data != nullptr) {
      late_data_[static_cast<size_t>(entry - block_)] = data;
    } else {
      late_data_.erase(static_cast<size_t>(entry - block_));
    }
  }
  // The payload of an entry of a list with payloads.
  static std::string_view PayloadOf(const char* entry) {
    const std::string_view key = KeyOf(entry);
    uint32_t size;
    std::memcpy(&size, key.data() + key.size(), sizeof size);
    return {key.data() + key.size() + 4, size};
  }

 private:
  static constexpr size_t kLargePage = size_t{2} << 20;
  static constexpr size_t kLargeBlock = 4 * kLargePage;  // blocks from here on use large pages
  static constexpr double kMaxLoad = 0.85;       // the index grows beyond this share of keys
  static constexpr double kSizeLoad = 0.75;      // the share of announced keys it is sized for
  static constexpr double kSmallSizeLoad = 0.5;  // … when there are fewer than
  static constexpr size_t kSmallIndexKeys = 1U << 17;  // … these

  static size_t Home(uint64_t hash, size_t slot_count) {
    return static_cast<size_t>(((hash & 0xFFFFFFFFU) * slot_count) >> 32);
  }
  static size_t Next(size_t i, size_t slot_count) { return i + 1 == slot_count ? 0 : i + 1; }

  // An entry: its key's length (4 bytes, the top bit set when a data pointer follows), the data
  // pointer (8 bytes, only for data other than null), the key, and with payloads the payload's
  // length (4 bytes) and bytes; padded to a multiple of 4 bytes.
  static constexpr uint32_t kHasData = 0x80000000U;

  size_t EntrySize(size_t key_size, size_t payload_size, bool has_data) const {
    return (4 + (has_data ? 8 : 0) + key_size + (payloads_ ? 4 + payload_size : 0) + 3) &
           ~size_t{3};
  }
  size_t SizeOf(const char* entry) const {
    const std::string_view key = KeyOf(entry);
    return EntrySize(key.size(), payloads_ ? PayloadOf(entry).size() : 0, HasDataSlot(entry));
  }
  static bool HasDataSlot(const char* entry) {
    uint32_t head;
    std::memcpy(&head, entry, sizeof head);
    return (head & kHasData) != 0;
  }
  static std::string_view KeyOf(const char* entry) {
    uint32_t head;
    std::memcpy(&head, entry, sizeof head);
    return {entry + ((head & kHasData) != 0 ? 12 : 4), head & ~kHasData};
  }
  char* EntryAt(uint64_t slot) const {
    return block_ + (static_cast<size_t>(static_cast<uint32_t>(slot)) - 1) * 4;
  }

  // Throws: std::bad_alloc.
  void Rehash(size_t slot_count) {
    if (slot_count >= 0xFFFFFFFFU) throw std::bad_alloc();
    uint64_t* slots = AllocateSlots(slot_count);
    for (size_t at = 0; at < used_;) {
      const std::string_view key = KeyOf(block_ + at);
      const uint64_t hash = IndexHash(key);
      size_t i = Home(hash, slot_count);
      while (slots[i] != 0) i = Next(i, slot_count);
      slots[i] = ((hash >> 32) << 32) | (at / 4 + 1);
      at += SizeOf(block_ + at);
    }
    std::free(slots_);
    slots_ = slots;
    slot_count_ = slot_count;
  }

  // `count` empty slots, to be released with std::free; a large index may get more, and `count`
  // is then raised to use them. A large index is aligned to and advised for 2 MiB pages: its
  // slots are reached at random, and small pages would make nearly every probe of a large table a
  // TLB miss.
  static uint64_t* AllocateSlots(size_t& count) {
    constexpr size_t kLargePage = size_t{2} << 20;
    size_t bytes = count * sizeof(uint64_t);
    void* slots = nullptr;
    if (bytes >= 2 * kLargePage) {
      bytes = (bytes + kLargePage - 1) & ~(kLargePage - 1);
      if (bytes / sizeof(uint64_t) >= 0xFFFFFFFFU) throw std::bad_alloc();
      slots = std::aligned_alloc(kLargePage, bytes);  // bytes is a multiple of kLargePage
      if (slots != nullptr) madvise(slots, bytes, MADV_HUGEPAGE);
      count = bytes / sizeof(uint64_t);
    } else {
      slots = std::malloc(bytes);
    }
    if (slots == nullptr) throw std::bad_alloc();
    std::memset(slots, 0, bytes);
    return static_cast<uint64_t*>(slots);
  }

  char* block_ = nullptr;      // the entries; std::malloc'ed, grown by realloc
  size_t used_ = 0;            // bytes of `block_` in use
  size_t capacity_ = 0;        // bytes of `block_`
  size_t count_ = 0;           // entries
  size_t expected_keys_;       // the index is sized for at least these at its first growth
  size_t expected_bytes_;      // the first block is at least this large
  bool payloads_;              // entries carry a payload
  uint64_t* slots_ = nullptr;  // the index; std::free'd
  size_t slot_count_ = 0;      // 0 before the first key
  std::unordered_map<size_t, void*> late_data_;  // by entry offset: data of entries without a slot
  struct Pending {
    size_t offset;  // of the entry in the block
    uint64_t hash;  // its key's index hash
  };
  Pending pending_[kPipeline];  // appended, not yet in the index, in order
  size_t pending_count_ = 0;
};

int32_t KivoHash(const std::string& key) {
  uint32_t h = 0;
  uint32_t i = 0;
  for (unsigned char c : key) {
    ++i;
    h += (static_cast<uint32_t>(c) << (i % 32)) * i;
  }
  return static_cast<int32_t>(h & kHashMask);
}

int32_t StrHash(const std::string& key) {
  uint32_t h = 0;
  for (unsigned char c : key) h = StrHashStep(h, c);
  return static_cast<int32_t>(h & kHashMask);
}

int32_t TextHash(const std::string& key) {
  uint32_t h = 0;
  for (unsigned char c : key) h = StrHashStep(h, FoldAsciiLetter(c));
  return static_cast<int32_t>(h & kHashMask);
}

int StrCompare(const std::string& s1, const std::string& s2) { return CompareStr(s1, s2); }

int TextCompare(const std::string& s1, const std::string& s2) { return CompareText(s1, s2); }

bool Iterate_FreeObjects(void* /*user_data*/, const std::string& /*key*/, void*& data) {
  delete static_cast<TObject*>(data);
  data = nullptr;
  return true;
}

bool Iterate_Dispose(void* /*user_data*/, const std::string& /*key*/, void*& data) {
  std::free(data);
  data = nullptr;
  return true;
}

bool Iterate_FreeMem(void* user_data, const std::string& key, void*& data) {
  return Iterate_Dispose(user_data, key, data);
}

KIVO_DEFINE_CLASS(TKivoHashList) {}

TKivoHashList::TKivoHashList(int bucket_count, TCompareFunc compare, THashFunc hash)
    : hash_(hash != nullptr ? hash : &StrHash),
      compare_(compare != nullptr ? compare : &StrCompare) {
  if (bucket_count < 1) ThrowInvalidSize(bucket_count);
  SetHashSize(bucket_count);
}

TKivoHashList::~TKivoHashList() {
  Clear();
  SetHashSize(0);
}

void TKivoHashList::SetHashSize(int bucket_count) {
  if (bucket_count < 0) ThrowInvalidSize(bucket_count);
  if (bucket_count == bucket_count_) return;
  if (count_ > 0) Clear();
  // Deferred trees get their bucket array when they are built.
  if (deferred_ == nullptr) {
    std::vector<THashNode*>(static_cast<size_t>(bucket_count), nullptr).swap(buckets_);
  }
  bucket_count_ = bucket_count;
}

void TKivoHashList::DeferTrees(size_t expected_keys) { Defer(expected_keys, 0, false); }

void TKivoHashList::DeferTreesWithPayloads(size_t expected_keys, size_t expected_bytes) {
  Defer(expected_keys, expected_bytes, true);
}

void TKivoHashList::Defer(size_t expected_keys, size_t expected_bytes, bool payloads) {
  if (deferred_ != nullptr || count_ > 0 || compare_ != &StrCompare) return;
  for (THashNode* root : buckets_) {
    if (root != nullptr) return;
  }
  deferred_ = std::make_unique<TDeferredKeys>(expected_keys, expected_bytes, payloads);
  std::vector<THashNode*>().swap(buckets_);
}

bool TKivoHashList::AddWithPayload(const std::string& key, void* data, std::string_view payload) {
  if (deferred_ == nullptr || !deferred_->HasPayloads()) {
    Add(key, data);
    return false;
  }
  if (!AddDeferred(key, data, payload, false)) {
    throw EHashList(FormatMessage(SDuplicateHashListEntry, {key}));
  }
  return true;
}

inline const char* TKivoHashList::FindDeferred(const std::string& key) const {
  if (bucket_count_ < 1) ThrowInvalidSize(bucket_count_);
  return deferred_->FindEntry(key);
}

bool TKivoHashList::FindPayload(const std::string& key, std::string_view& payload) const {
  if (deferred_ == nullptr || !deferred_->HasPayloads()) return false;
  const char* entry = FindDeferred(key);
  if (entry == nullptr) return false;
  payload = TDeferredKeys::PayloadOf(entry);
  return true;
}

bool TKivoHashList::FindPayload(std::string_view head, const TKeyTail& tail,
                                std::string_view& payload) const {
  if (!tail.joinable_) return FindPayload(std::string(head).append(tail.text_), payload);
  if (deferred_ == nullptr || !deferred_->HasPayloads()) return false;
  if (bucket_count_ < 1) ThrowInvalidSize(bucket_count_);
  const char* entry = deferred_->FindJoinedEntry(
      head, tail.text_, JoinHashes(BytesHash(head.data(), head.size()), tail.hash_));
  if (entry == nullptr) return false;
  payload = TDeferredKeys::PayloadOf(entry);
  return true;
}

// ---- TKeyTail ----

TKeyTail::TKeyTail(std::string text) : text_(std::move(text)) {
  hash_ = BytesHash(text_.data(), text_.size());
  // Head + text splits at the head's end, whatever the head, when the text's last tab but one
  // is its first byte.
  joinable_ = !text_.empty() && SplitOf(text_) == 0;
}

void TKivoHashList::AddWithPayloadPipelined(const std::string& key, std::string_view payload) {
  if (deferred_ == nullptr || !deferred_->HasPayloads() || record_items_) {
    AddWithPayload(key, nullptr, payload);
    return;
  }
  if (bucket_count_ < 1) ThrowInvalidSize(bucket_count_);
  TDeferredKeys& d = *deferred_;
  // The index grows only with every key in it.
  if (d.PipelineFull() || (d.IndexFull() && !d.PipelineEmpty())) FlushPipeline();
  d.Reserve(key.size(), payload.size());
  d.Append(key, nullptr, payload);
  ++count_;
}

void TKivoHashList::FlushPipeline() {
  if (deferred_ == nullptr || deferred_->PipelineEmpty()) return;
  std::string duplicate;
  size_t dropped = 0;
  if (!deferred_->Flush(duplicate, dropped)) {
    count_ -= static_cast<int>(dropped);
    throw EHashList(FormatMessage(SDuplicateHashListEntry, {duplicate}));
  }
}

void TKivoHashList::ShrinkDeferred() {
  if (deferred_ != nullptr) deferred_->ShrinkToFit();
}

void TKivoHashList::BuildDeferredTrees() {
  if (deferred_ == nullptr) return;
  const auto n = static_cast<size_t>(bucket_count_);
  std::vector<THashNode*> roots(n, nullptr);
  // The smallest and the largest key of each bucket: a key beyond either ends the descent there,
  // so it is put in place without one (sorted keys would otherwise cost a walk down a chain).
  std::vector<THashNode*> lowest(n, nullptr);
  std::vector<THashNode*> highest(n, nullptr);
  {
    OnFailure free_built([&] {
      for (THashNode*& root : roots) DeleteNodes(&root);
    });
    deferred_->ForEach([&](std::string_view key, void* data) {
      THashNode* node = AllocNode();
      {
        OnFailure free_node([&] { FreeNode(node); });
        node->key.assign(key.data(), key.size());
        node->data = data;
        const size_t b = static_cast<uint32_t>(hash_(node->key)) % static_cast<uint32_t>(n);
        if (roots[b] == nullptr) {
          roots[b] = lowest[b] = highest[b] = node;
        } else if (compare_(node->key, highest[b]->key) > 0) {
          highest[b]->right = node;
          highest[b] = node;
        } else if (compare_(node->key, lowest[b]->key) < 0) {
          lowest[b]->left = node;
          lowest[b] = node;
        } else {
          THashNode** link = &roots[b];
          while (*link != nullptr) {
            link = compare_(node->key, (*link)->key) < 0 ? &(*link)->left : &(*link)->right;
          }
          *link = node;
        }
      }
    });
  }
  buckets_.swap(roots);
  deferred_.reset();
}

THashNode** TKivoHashList::FindNode(const std::string& key) {
  if (bucket_count_ < 1) ThrowInvalidSize(bucket_count_);
  BuildDeferredTrees();
  // The cast keeps a negative hash (a faulty hash function) inside the bucket range.
  const uint32_t bucket = static_cast<uint32_t>(hash_(key)) % static_cast<uint32_t>(bucket_count_);
  THashNode** link = &buckets_[bucket];
  while (*link != nullptr) {
    const int c = compare_(key, (*link)->key);
    if (c < 0) {
      link = &(*link)->left;
    } else if (c > 0) {
      link = &(*link)->right;
    } else {
      break;
    }
  }
  return link;
}

void TKivoHashList::InsertAt(THashNode** link, const std::string& key, void* data) {
  THashNode* node = AllocNode();
  {
    OnFailure free_node([&] { FreeNode(node); });
    node->key = key;
    node->data = data;
    if (record_items_) items_.Add(key);
  }
  *link = node;
  ++count_;
}

bool TKivoHashList::AddDeferred(const std::string& key, void* data, std::string_view payload,
                                bool replace) {
  if (bucket_count_ < 1) ThrowInvalidSize(bucket_count_);
  TDeferredKeys& d = *deferred_;
  d.Reserve(key.size(), payload.size());
  const TDeferredKeys::Probe probe = d.Find(key);
  if (probe.entry != nullptr) {
    if (!replace) return false;
    d.SetDataOf(probe.entry, data);
    return true;
  }
  if (record_items_) items_.Add(key);
  d.Insert(key, data, payload, probe);
  ++count_;
  return true;
}

void TKivoHashList::Add(const std::string& key, void* data) {
  if (deferred_ != nullptr) {
    if (!AddDeferred(key, data, {}, false)) {
      throw EHashList(FormatMessage(SDuplicateHashListEntry, {key}));
    }
    return;
  }
  THashNode** link = FindNode(key);
  if (*link != nullptr) throw EHashList(FormatMessage(SDuplicateHashListEntry, {key}));
  InsertAt(link, key, data);
}

void TKivoHashList::SetData(const std::string& key, void* data) {
  if (deferred_ != nullptr) {
    AddDeferred(key, data, {}, true);
    return;
  }
  THashNode** link = FindNode(key);
  if (*link != nullptr) {
    (*link)->data = data;
  } else {
    InsertAt(link, key, data);
  }
}

THashNode* TKivoHashList::Lookup(const std::string& key) const {
  // FindNode only reads the tree; the cast lets the const lookups share it.
  return *const_cast<TKivoHashList*>(this)->FindNode(key);
}

void* TKivoHashList::GetData(const std::string& key) const {
  if (deferred_ != nullptr) {
    const char* entry = FindDeferred(key);
    return entry != nullptr ? deferred_->DataOf(entry) : nullptr;
  }
  THashNode* node = Lookup(key);
  return node != nullptr ? node->data : nullptr;
}

bool TKivoHashList::Has(const std::string& key) const {
  if (deferred_ != nullptr) return FindDeferred(key) != nullptr;
  return Lookup(key) != nullptr;
}

bool TKivoHashList::Find(const std::string& key, void*& data) const {
  if (deferred_ != nullptr) {
    const char* entry = FindDeferred(key);
    if (entry == nullptr) return false;
    data = deferred_->DataOf(entry);
    return true;
  }
  THashNode* node = Lookup(key);
  if (node == nullptr) return false;
  data = node->data;
  return true;
}

void* TKivoHashList::Remove(const std::string& key) {
  THashNode** link = FindNode(key);
  if (*link == nullptr) throw EHashList(FormatMessage(SInvalidHashListNode, {key}));
  void* data = (*link)->data;
  DeleteNode(link);
  return data;
}

void TKivoHashList::RemoveData(const void* data) {
  struct Collector {
    const void* data;
    std::vector<THashNode**> links;
  } collector{data, {}};
  BuildDeferredTrees();
  for (THashNode*& root : buckets_) {
    NodeIterate(&root, &collector, [](void* user_data, THashNode** link) {
      auto* c = static_cast<Collector*>(user_data);
      if ((*link)->data == c->data) c->links.push_back(link);
    });
  }
  // Last collected first: a deletion changes only the deleted node's own link and links inside
  // its subtree, and no node collected earlier lies in that subtree.
  for (auto it = collector.links.rbegin(); it != collector.links.rend(); ++it) DeleteNode(*it);
}

bool TKivoHashList::FindData(const void* data, std::string& key) const {
  bool found = false;
  // The callback leaves every node unchanged.
  const_cast<TKivoHashList*>(this)->IterateMethod(
      nullptr, [&](void*, const std::string& node_key, void*& node_data) {
        if (node_data != data) return true;
        key = node_key;
        found = true;
        return false;
      });
  return found;
}

void TKivoHashList::Iterate(void* user_data, TIterateFunc func) {
  if (func == nullptr) return;
  BuildDeferredTrees();
  for (THashNode* root : buckets_) {
    if (!IterateNode(root, user_data, func)) return;
  }
}

void TKivoHashList::IterateMethod(void* user_data, const TIterateMethod& method) {
  if (!method) return;
  BuildDeferredTrees();
  for (THashNode* root : buckets_) {
    if (!IterateMethodNode(root, user_data, method)) return;
  }
}

bool TKivoHashList::IterateNode(THashNode* node, void* user_data, TIterateFunc func) {
  if (func == nullptr) return true;
  return IterateMethodNode(node, user_data, TIterateMethod(func));
}

bool TKivoHashList::IterateMethodNode(THashNode* node, void* user_data,
                                      const TIterateMethod& method) {
  if (node == nullptr || !method) return true;
  std::vector<THashNode*> stack{node};
  while (!stack.empty()) {
    THashNode* n = stack.back();
    stack.pop_back();
    if (!method(user_data, n->key, n->data)) return false;
    if (n->right != nullptr) stack.push_back(n->right);
    if (n->left != nullptr) stack.push_back(n->left);
  }
  return true;
}

void TKivoHashList::NodeIterate(THashNode** link, void* user_data, TNodeIterateFunc func) {
  if (link == nullptr || *link == nullptr || func == nullptr) return;
  std::vector<THashNode**> stack{link};
  while (!stack.empty()) {
    THashNode** l = stack.back();
    stack.pop_back();
    THashNode* n = *l;
    func(user_data, l);
    if (n->right != nullptr) stack.push_back(&n->right);
    if (n->left != nullptr) stack.push_back(&n->left);
  }
}

void TKivoHashList::DeleteNode(THashNode** link) {
  if (link == nullptr || *link == nullptr) {
    throw EHashList(FormatMessage(SInvalidHashListNode, {""}));
  }
  THashNode* n = *link;
  delete_successor_ = !delete_successor_;
  if (delete_successor_) {
    if (n->right == nullptr) {
      *link = n->left;
    } else if (THashNode* r = n->right; r->left == nullptr) {
      r->left = n->left;
      *link = r;
    } else {
      THashNode* q = r;
      THashNode* s = r->left;
      while (s->left != nullptr) {
        q = s;
        s = s->left;
      }
      s->left = n->left;
      q->left = s->right;
      s->right = n->right;
      *link = s;
    }
  } else {
    if (n->left == nullptr) {
      *link = n->right;
    } else if (THashNode* l = n->left; l->right == nullptr) {
      l->right = n->right;
      *link = l;
    } else {
      THashNode* q = l;
      THashNode* s = l->right;
      while (s->right != nullptr) {
        q = s;
        s = s->right;
      }
      s->right = n->right;
      q->right = s->left;
      s->left = n->left;
      *link = s;
    }
  }
  --count_;
  if (record_items_) RemoveItem(n->key);
  FreeNode(n);
}

void TKivoHashList::DeleteNodes(THashNode** link) {
  if (link == nullptr || *link == nullptr) return;
  // Node, right, left reversed is left, right, node: the post-order.
  std::vector<THashNode*> order;
  std::vector<THashNode*> stack{*link};
  while (!stack.empty()) {
    THashNode* n = stack.back();
    stack.pop_back();
    order.push_back(n);
    if (n->left != nullptr) stack.push_back(n->left);
    if (n->right != nullptr) stack.push_back(n->right);
  }
  *link = nullptr;
  for (auto it = order.rbegin(); it != order.rend(); ++it) FreeNode(*it);
}

void TKivoHashList::Clear() {
  if (deferred_ != nullptr) deferred_->Clear();
  for (THashNode*& root : buckets_) {
    if (root != nullptr) DeleteNodes(&root);
  }
  count_ = 0;
  if (record_items_) items_.Clear();
}

THashNode** TKivoHashList::BucketLink(int bucket) {
  if (bucket < 0 || bucket >= bucket_count_) throw EListError::IndexError(bucket);
  BuildDeferredTrees();
  return &buckets_[static_cast<size_t>(bucket)];
}

void TKivoHashList::SetRecordItems(bool value) { record_items_ = value; }

void* TKivoHashList::GetItems(int index) const {
  if (!record_items_) return nullptr;
  void* data = nullptr;
  Find(items_.Strings(index), data);
  return data;
}

std::string TKivoHashList::GetText() const { return record_items_ ? items_.Text() : std::string(); }

bool TKivoHashList::ItemsSort() {
  try {
    items_.Sort();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void TKivoHashList::RemoveItem(const std::string& key) {
  const int n = items_.Count();
  for (int i = 0; i < n; ++i) {
    if (items_.Strings(i) == key) {
      items_.Delete(i);
      return;
    }
  }
}

THashNode* TKivoHashList::AllocNode() { return new THashNode; }

void TKivoHashList::FreeNode(THashNode* node) { delete node; }

}  // namespace kivo
