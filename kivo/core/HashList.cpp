#include "kivo/core/HashList.h"

#include <cstdlib>
#include <exception>

#include "kivo/rtl/StrUtils.h"

namespace kivo {

namespace {

constexpr uint32_t kHashMask = 0x7FFFFFFF;

uint32_t StrHashStep(uint32_t h, unsigned char c) { return ((h << 26) + (h >> 6)) + (h ^ c); }

unsigned char FoldAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

}  // namespace

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
  if (bucket_count < 1) {
    throw EHashList(FormatMessage(SInvalidHashListSize, {std::to_string(bucket_count)}));
  }
  SetHashSize(bucket_count);
}

TKivoHashList::~TKivoHashList() {
  Clear();
  SetHashSize(0);
}

void TKivoHashList::SetHashSize(int bucket_count) {
  if (bucket_count < 0) {
    throw EHashList(FormatMessage(SInvalidHashListSize, {std::to_string(bucket_count)}));
  }
  if (bucket_count == bucket_count_) return;
  if (count_ > 0) Clear();
  std::vector<THashNode*>(static_cast<size_t>(bucket_count), nullptr).swap(buckets_);
  bucket_count_ = bucket_count;
}

THashNode** TKivoHashList::FindNode(const std::string& key) {
  if (bucket_count_ < 1) {
    throw EHashList(FormatMessage(SInvalidHashListSize, {std::to_string(bucket_count_)}));
  }
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
  try {
    node->key = key;
    node->data = data;
    if (record_items_) items_.Add(key);
  } catch (...) {
    FreeNode(node);
    throw;
  }
  *link = node;
  ++count_;
}

void TKivoHashList::Add(const std::string& key, void* data) {
  THashNode** link = FindNode(key);
  if (*link != nullptr) throw EHashList(FormatMessage(SDuplicateHashListEntry, {key}));
  InsertAt(link, key, data);
}

void TKivoHashList::SetData(const std::string& key, void* data) {
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
  THashNode* node = Lookup(key);
  return node != nullptr ? node->data : nullptr;
}

bool TKivoHashList::Has(const std::string& key) const { return Lookup(key) != nullptr; }

bool TKivoHashList::Find(const std::string& key, void*& data) const {
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
  for (THashNode* root : buckets_) {
    if (!IterateNode(root, user_data, func)) return;
  }
}

void TKivoHashList::IterateMethod(void* user_data, const TIterateMethod& method) {
  if (!method) return;
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
  for (THashNode*& root : buckets_) {
    if (root != nullptr) DeleteNodes(&root);
  }
  count_ = 0;
  if (record_items_) items_.Clear();
}

THashNode** TKivoHashList::BucketLink(int bucket) {
  if (bucket < 0 || bucket >= bucket_count_) throw EListError::IndexError(bucket);
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
