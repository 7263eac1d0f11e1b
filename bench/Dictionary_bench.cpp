// Dictionary lookups and loading, side by side with std::unordered_map and glibc's dgettext.
//
// Three key sets, each in sorted order (the usual export order) and shuffled:
//   catalogue  about 2,000 natural-language keys (combinations of user-interface words);
//   natural    1,000,000 natural-language-like keys;
//   numbered   1,000,000 keys "Caption 000000" … "Caption 999999".
// Every record has the code page "1252" and an empty (null) sequence number. The records are
// written with the library's writers to temporary .ktc (CSV flavour), .ktf (DFM flavour) and .kbf
// (binary) files, and with msgfmt to a .mo catalogue of the language "xx" (under C.UTF-8 with
// LANGUAGE=xx).
//
// Lookups (one per iteration, keys in a shuffled order that covers the whole set, stored and
// packed in that order so that fetching the next key is a sequential read in every set):
//   Kivo          TKivoMultiFileDD::GetDisplayValue(key, "1252", "")
//   UnorderedMap  std::unordered_map<std::string, std::string>, filled with the records in file
//                 order as the dictionary is, found with the prebuilt composite key
//                 "key\t1252\t"
//   Gettext       dgettext(domain, key)
// An absent key is a present one with its first byte replaced by '#'. Each returns a
// std::string, as the dictionary does (the translation, or the key itself when there is none). The
// counter "allocs" is the number of operator new calls per lookup, "result" the share of results
// too long for the string's inline buffer (each of those costs one).
//
// Loading (TKivoMultiFileDD::LoadDictionaryData from the file, the table dropped between
// iterations outside the timing): "MB/s" in 10^6 bytes of file per second; "B/rec" the heap
// bytes (mallinfo2: in-use bytes of the arenas plus mmapped blocks) that the loaded dictionary
// holds, per record; "peak-file B/rec" the growth of the process's peak resident size (VmHWM,
// reset through /proc/self/clear_refs) while loading, less the file's size, per record.
//
// The program keeps to the CPU it starts on. The run ends with a summary of the targets.
// Environment: KIVO_BENCH_QUICK=1 runs only the catalogue set.
#include <benchmark/benchmark.h>
#include <libintl.h>
#include <malloc.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "kivo/core/KivoMultiDD.h"
#include "kivo/core/KivoMultiDDReader.h"
#include "kivo/core/KivoMultiDDWriter.h"
#include "kivo/rtl/StrUtils.h"

// ---- allocation counting: every operator new of the process -------------------------------

// The replacements below pair malloc with free; GCC, seeing operator new inlined into a caller
// that frees through operator delete, reports a mismatch that is not one.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
size_t g_new_calls = 0;

// A block that operator new, while `packing` is set, hands out piece by piece in address order,
// so that strings made one after another lie one after another (see PackedBlock below). Pieces
// are never freed on their own; the block goes as a whole.
struct PackingRange {
  char* begin = nullptr;
  char* end = nullptr;
  char* next = nullptr;
  bool packing = false;
};
PackingRange g_packing;

void* Allocate(size_t size) {
  ++g_new_calls;
  if (g_packing.packing) {
    const size_t n = (size + 15) & ~size_t{15};
    if (n <= static_cast<size_t>(g_packing.end - g_packing.next)) {
      void* p = g_packing.next;
      g_packing.next += n;
      return p;
    }
  }
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}

void Free(void* p) {
  const auto at = reinterpret_cast<uintptr_t>(p);
  if (at >= reinterpret_cast<uintptr_t>(g_packing.begin) &&
      at < reinterpret_cast<uintptr_t>(g_packing.end)) {
    return;
  }
  std::free(p);
}
}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }

namespace {

namespace fs = std::filesystem;

constexpr size_t kInlineCapacity = 15;  // libstdc++'s small-string buffer

// ---- key sets ------------------------------------------------------------------------------

enum class KeySet { kCatalogue, kNatural, kNumbered };
enum class Order { kSorted, kShuffled };
enum class Format { kCsv, kDfm, kBinary };

const char* SetName(KeySet s) {
  switch (s) {
    case KeySet::kCatalogue:
      return "catalogue";
    case KeySet::kNatural:
      return "natural1M";
    case KeySet::kNumbered:
      return "numbered1M";
  }
  return "";
}
const char* OrderName(Order o) { return o == Order::kSorted ? "sorted" : "shuffled"; }
const char* FormatName(Format f) {
  switch (f) {
    case Format::kCsv:
      return "csv";
    case Format::kDfm:
      return "dfm";
    case Format::kBinary:
      return "binary";
  }
  return "";
}

struct Record {
  std::string key;
  std::string value;
};

const char* const kWords[] = {
    "open",     "save",      "close",    "file",     "edit",       "view",     "insert",
    "format",   "tools",     "window",   "help",     "print",      "preview",  "customer",
    "name",     "address",   "city",     "country",  "order",      "invoice",  "date",
    "amount",   "total",     "tax",      "discount", "payment",    "method",   "cancel",
    "apply",    "delete",    "new",      "record",   "search",     "replace",  "find",
    "next",     "previous",  "first",    "last",     "page",       "setup",    "options",
    "settings", "user",      "password", "login",    "logout",     "account",  "report",
    "summary",  "detail",    "list",     "table",    "column",     "row",      "value",
    "select",   "all",       "none",     "copy",     "paste",      "cut",      "undo",
    "redo",     "refresh",   "export",   "import",   "data",       "source",   "target",
    "language", "translate", "message",  "warning",  "error",      "question", "information",
    "confirm",  "yes",       "no",       "ok",       "retry",      "ignore",   "abort",
    "product",  "price",     "quantity", "stock",    "supplier",   "category", "description",
    "note",     "comment",   "status",   "active",   "inactive",   "archive",  "restore",
    "backup",   "folder",    "document", "image",    "attachment", "send",     "receive",
    "mail",     "phone",     "number",   "contact",  "company",    "branch",   "department",
    "employee", "salary",    "month",    "year",     "week",       "day",      "time",
    "start",    "end",       "duration", "schedule", "task",       "project",  "budget"};
constexpr size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

// A pseudo-translation of one word: the letters rotated, so that values are as long and as
// varied as the keys.
std::string Translate(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>('a' + (c - 'a' + 7) % 26);
    if (c >= 'A' && c <= 'Z') c = static_cast<char>('A' + (c - 'A' + 7) % 26);
  }
  return out;
}

std::string Phrase(std::mt19937_64& random, int min_words, int max_words) {
  const int n =
      min_words + static_cast<int>(random() % static_cast<uint64_t>(max_words - min_words + 1));
  std::string s;
  for (int i = 0; i < n; ++i) {
    if (i > 0) s.push_back(' ');
    s += kWords[random() % kWordCount];
  }
  s[0] = static_cast<char>(s[0] - 'a' + 'A');
  switch (random() % 8) {
    case 0:
      s += "...";
      break;
    case 1:
      s += ":";
      break;
    default:
      break;
  }
  return s;
}

// The records of a set, sorted by key.
std::vector<Record> MakeRecords(KeySet set) {
  std::vector<Record> records;
  if (set == KeySet::kNumbered) {
    records.reserve(1000000);
    char key[32];
    char value[32];
    for (int i = 0; i < 1000000; ++i) {
      std::snprintf(key, sizeof key, "Caption %06d", i);
      std::snprintf(value, sizeof value, "Beschriftung %06d", i);
      records.push_back({key, value});
    }
    return records;
  }
  std::mt19937_64 random(set == KeySet::kCatalogue ? 2024 : 1999);
  const size_t n = set == KeySet::kCatalogue ? 2000 : 1000000;
  std::set<std::string> keys;
  while (keys.size() < n) {
    keys.insert(set == KeySet::kCatalogue ? Phrase(random, 1, 4) : Phrase(random, 3, 6));
  }
  records.reserve(n);
  for (const std::string& key : keys) records.push_back({key, Translate(key)});
  return records;
}

// ---- an in-memory record source for the writers and the builds ----------------------------

class RecordReader : public kivo::IDataRead {
 public:
  explicit RecordReader(const std::vector<Record>& records) : records_(records) {}

  void _First() override { index_ = 0; }
  void _Next() override {
    if (index_ < records_.size()) ++index_;
  }
  bool _Eof() override { return index_ >= records_.size(); }
  int _GetFieldCount() override { return 4; }
  int _GetRecordCount() override { return static_cast<int>(records_.size()); }
  int _GetRecordNo() override { return static_cast<int>(index_) + 1; }
  const std::string& _GetFieldName(int index) override { return names_[index]; }
  const std::string& _GetFieldValue(int index) override {
    switch (index) {
      case 0:
        return records_[index_].key;
      case 1:
        return code_page_;
      case 3:
        return records_[index_].value;
      default:
        return empty_;
    }
  }
  const std::string& _GetFieldValue(const std::string& name) override {
    for (int i = 0; i < 4; ++i) {
      if (kivo::AnsiSameText(name, names_[i])) return _GetFieldValue(i);
    }
    return empty_;
  }
  bool _FieldIsNull(int index) override { return index == 2; }
  bool _FieldIsNull(const std::string& name) override { return kivo::AnsiSameText(name, "SeqNo"); }
  bool _FieldIsBlob(int) override { return false; }
  bool _FieldIsBlob(const std::string&) override { return false; }
  void _DisableControls() override {}
  void _EnableControls() override {}

 private:
  const std::vector<Record>& records_;
  size_t index_ = 0;
  const std::string names_[4] = {"DDKey", "CodePage", "SeqNo", "DisplayValue"};
  const std::string code_page_ = "1252";
  const std::string empty_;
};

// ---- gettext -------------------------------------------------------------------------------

fs::path TempDir() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("kivo_bench_" + std::to_string(::getpid()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

std::string PoQuote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

// Builds <tmp>/locale/xx/LC_MESSAGES/<domain>.mo from the records and binds the domain; false
// (with a message) when msgfmt fails or the catalogue does not answer.
bool BuildCatalogue(const std::string& domain, const std::vector<Record>& records) {
  const fs::path locale = TempDir() / "locale";
  const fs::path messages = locale / "xx" / "LC_MESSAGES";
  fs::create_directories(messages);
  const fs::path po = TempDir() / (domain + ".po");
  {
    std::ofstream out(po, std::ios::binary);
    out << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    for (const Record& r : records) {
      out << "msgid " << PoQuote(r.key) << "\nmsgstr " << PoQuote(r.value) << "\n\n";
    }
  }
  const std::string command =
      "msgfmt -o '" + (messages / (domain + ".mo")).string() + "' '" + po.string() + "'";
  const int rc = std::system(command.c_str());
  fs::remove(po);
  if (rc != 0) {
    std::fprintf(stderr, "bench: msgfmt failed (%d); no dgettext figures for %s\n", rc,
                 domain.c_str());
    return false;
  }
  bindtextdomain(domain.c_str(), locale.c_str());
  const char* hit = dgettext(domain.c_str(), records.front().key.c_str());
  if (records.front().value != hit) {
    std::fprintf(stderr, "bench: dgettext does not answer from %s; no dgettext figures\n",
                 domain.c_str());
    return false;
  }
  return true;
}

// ---- one key set in one order: files, dictionary, map ---------------------------------------

// The block of the packing range, for the life of the strings made in it; one at a time.
class PackedBlock {
 public:
  PackedBlock() = default;
  PackedBlock(const PackedBlock&) = delete;
  PackedBlock& operator=(const PackedBlock&) = delete;
  ~PackedBlock() {
    if (g_packing.begin == nullptr) return;
    std::free(g_packing.begin);
    g_packing = PackingRange{};
  }
  void Reserve(size_t bytes) {
    g_packing.begin = g_packing.next = static_cast<char*>(std::malloc(bytes));
    if (g_packing.begin == nullptr) throw std::bad_alloc();
    g_packing.end = g_packing.begin + bytes;
  }
  // Strings made while a Pack lives take their room from the block.
  class Pack {
   public:
    Pack() { g_packing.packing = true; }
    ~Pack() { g_packing.packing = false; }
    Pack(const Pack&) = delete;
    Pack& operator=(const Pack&) = delete;
  };
};

struct Fixture {
  KeySet set;
  Order order;
  std::vector<Record> records;  // in file order
  // The queries, one per record in a shuffled order, each kind stored in query order with its
  // strings' bytes packed in that order too, so that reading the next query costs the same (a
  // sequential read) in every set. (Keys of the natural set are too long for std::string's
  // inline buffer; in blocks of their own from the heap, their bytes would lie wherever earlier
  // frees left room, and reading them would add cache misses of the harness's own to its lookups
  // but not to those of the numbered set.)
  PackedBlock query_bytes;             // declared first: it must outlive the strings below
  std::vector<std::string> present;    // the record's key
  std::vector<std::string> absent;     // a key of the same shape that no record has
  std::vector<std::string> composite;  // "key\t1252\t"
  std::vector<std::string> absent_composite;
  fs::path files[3];
  uintmax_t file_sizes[3] = {};
  std::unique_ptr<kivo::TKivoMultiFileDD> dd;  // loaded from the binary file
  std::unordered_map<std::string, std::string> map;
  std::string domain;  // empty without a catalogue
};

Fixture* g_fixture = nullptr;
std::map<KeySet, std::string> g_domains;  // built catalogues, shared by both orders

const char* ReaderId(Format f) {
  switch (f) {
    case Format::kCsv:
      return "KivoTextCSV";
    case Format::kDfm:
      return "KivoTextDFM";
    case Format::kBinary:
      return "KivoBinary";
  }
  return "";
}

void DropFixture() {
  if (g_fixture == nullptr) return;
  for (const fs::path& f : g_fixture->files) fs::remove(f);
  delete g_fixture;
  g_fixture = nullptr;
}

Fixture& GetFixture(KeySet set, Order order) {
  if (g_fixture != nullptr && g_fixture->set == set && g_fixture->order == order) {
    return *g_fixture;
  }
  DropFixture();
  auto* f = new Fixture{};
  f->set = set;
  f->order = order;
  f->records = MakeRecords(set);
  if (g_domains.count(set) == 0) {
    const std::string domain = std::string("kivo_") + SetName(set);
    g_domains[set] = BuildCatalogue(domain, f->records) ? domain : std::string();
  }
  f->domain = g_domains[set];
  std::mt19937_64 random(77);
  if (order == Order::kShuffled) std::shuffle(f->records.begin(), f->records.end(), random);
  const size_t n = f->records.size();
  std::vector<uint32_t> queries(n);
  for (size_t i = 0; i < n; ++i) queries[i] = static_cast<uint32_t>(i);
  std::shuffle(queries.begin(), queries.end(), random);
  // Room for every query string: its bytes, the composite suffix and the terminator, rounded up.
  size_t bytes = 0;
  for (const Record& r : f->records) bytes += 4 * ((r.key.size() + 7 + 15) & ~size_t{15});
  f->present.reserve(n);
  f->absent.reserve(n);
  f->composite.reserve(n);
  f->absent_composite.reserve(n);
  f->query_bytes.Reserve(bytes);
  const auto pack = [&](std::vector<std::string>& list, auto make) {
    const PackedBlock::Pack packing;
    for (const uint32_t i : queries) list.push_back(make(f->records[i].key));
  };
  // A key of the same shape that no record has: the first byte replaced by '#'. (Each present
  // key gives a different one; replacing the last byte would give ten numbered keys the same
  // absent key, and the absent lookups of that set would run on a tenth of the index.)
  const auto make_absent = [](const std::string& key, const char* suffix) {
    std::string s;
    s.reserve(key.size() + std::strlen(suffix));
    s.append(key).append(suffix);
    s.front() = '#';
    return s;
  };
  pack(f->present, [](const std::string& key) { return key; });
  pack(f->absent, [&](const std::string& key) { return make_absent(key, ""); });
  pack(f->composite, [](const std::string& key) { return key + "\t1252\t"; });
  pack(f->absent_composite, [&](const std::string& key) { return make_absent(key, "\t1252\t"); });

  const std::string stem =
      (TempDir() / (std::string(SetName(set)) + "_" + OrderName(order))).string();
  f->files[0] = stem + ".ktc";
  f->files[1] = stem + ".ktf";
  f->files[2] = stem + ".kbf";
  {
    RecordReader reader(f->records);
    kivo::_SaveDataToTextFile(reader, f->files[0].string(), kivo::EncodeTextCSVStr, ',', '"', {});
    kivo::_SaveDataToTextFile(reader, f->files[1].string(), kivo::EncodeTextDFMStr, ',', '"', {});
    kivo::_SaveDataToBinaryFile(reader, f->files[2].string(), {});
  }
  for (int i = 0; i < 3; ++i) f->file_sizes[i] = fs::file_size(f->files[i]);

  f->dd = std::make_unique<kivo::TKivoMultiFileDD>(nullptr);
  f->dd->SetFileName(f->files[2].string());
  f->dd->SetDDReaderID(ReaderId(Format::kBinary));
  f->dd->LoadDictionaryData();
  // Filled in file order, as the dictionary is.
  f->map.reserve(n);
  for (const Record& r : f->records) f->map.emplace(r.key + "\t1252\t", r.value);
  g_fixture = f;
  return *f;
}

// ---- lookups -------------------------------------------------------------------------------

enum class Impl { kKivo, kUnorderedMap, kGettext };

void SetLookupCounters(benchmark::State& state, size_t new_calls, size_t long_results) {
  const double n = static_cast<double>(state.iterations());
  state.counters["allocs"] = static_cast<double>(new_calls) / n;
  state.counters["result"] = static_cast<double>(long_results) / n;
}

void BM_Lookup(benchmark::State& state, KeySet set, Order order, Impl impl, bool present) {
  Fixture& f = GetFixture(set, order);
  if (impl == Impl::kGettext && f.domain.empty()) {
    state.SkipWithError("no catalogue");
    for (auto _ : state) {
    }
    return;
  }
  const std::string code_page = "1252";
  const std::string seq_no;
  const size_t n = f.present.size();
  size_t q = 0;
  size_t long_results = 0;
  const size_t calls_before = g_new_calls;
  for (auto _ : state) {
    const size_t i = q;
    if (++q == n) q = 0;
    const std::string& key = present ? f.present[i] : f.absent[i];
    std::string result;
    switch (impl) {
      case Impl::kKivo:
        result = f.dd->GetDisplayValue(key, code_page, seq_no);
        break;
      case Impl::kUnorderedMap: {
        const auto it = f.map.find(present ? f.composite[i] : f.absent_composite[i]);
        result = it != f.map.end() ? it->second : key;
        break;
      }
      case Impl::kGettext:
        result = dgettext(f.domain.c_str(), key.c_str());
        break;
    }
    long_results += result.size() > kInlineCapacity ? 1 : 0;
    benchmark::DoNotOptimize(result.data());
  }
  SetLookupCounters(state, g_new_calls - calls_before, long_results);
}

// ---- loading -------------------------------------------------------------------------------

size_t HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// The "VmHWM" or "VmRSS" line of /proc/self/status, in bytes.
size_t ProcStatus(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const size_t len = std::strlen(field);
  while (std::getline(in, line)) {
    if (line.compare(0, len, field) == 0 && line.size() > len && line[len] == ':') {
      return std::stoull(line.substr(len + 1)) * 1024;
    }
  }
  return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_Load(benchmark::State& state, KeySet set, Order order, Format format) {
  Fixture& f = GetFixture(set, order);
  const int fi = static_cast<int>(format);
  kivo::TKivoMultiFileDD dd(nullptr);
  dd.SetFileName(f.files[fi].string());
  dd.SetDDReaderID(ReaderId(format));
  const double records = static_cast<double>(f.records.size());
  const double file_size = static_cast<double>(f.file_sizes[fi]);

  // Memory, once, before the timed loads.
  const size_t heap_before = HeapInUse();
  ResetPeak();
  const size_t rss_before = ProcStatus("VmRSS");
  dd.LoadDictionaryData();
  const size_t peak = ProcStatus("VmHWM");
  const size_t heap_after = HeapInUse();
  dd.ClearHashTable();

  for (auto _ : state) {
    dd.LoadDictionaryData();
    state.PauseTiming();
    dd.ClearHashTable();
    state.ResumeTiming();
  }
  state.counters["MB/s"] = benchmark::Counter(
      file_size * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
  state.counters["B/rec"] =
      (static_cast<double>(heap_after) - static_cast<double>(heap_before)) / records;
  state.counters["peak-file B/rec"] =
      (static_cast<double>(peak) - static_cast<double>(rss_before) - file_size) / records;
  state.counters["file B/rec"] = file_size / records;
}

// ---- registration and the summary ----------------------------------------------------------

std::string LookupName(KeySet s, Order o, Impl impl, bool present) {
  static const char* const kImpl[] = {"Kivo", "UnorderedMap", "Gettext"};
  return std::string("Lookup/") + SetName(s) + "/" + OrderName(o) + "/" +
         kImpl[static_cast<int>(impl)] + "/" + (present ? "present" : "absent");
}

std::string LoadName(KeySet s, Order o, Format f) {
  return std::string("Load/") + SetName(s) + "/" + OrderName(o) + "/" + FormatName(f);
}

void Register(bool quick) {
  for (KeySet s : {KeySet::kCatalogue, KeySet::kNatural, KeySet::kNumbered}) {
    if (quick && s != KeySet::kCatalogue) continue;
    const bool big = s != KeySet::kCatalogue;
    for (Order o : {Order::kSorted, Order::kShuffled}) {
      for (Impl impl : {Impl::kKivo, Impl::kUnorderedMap, Impl::kGettext}) {
        // dgettext does not depend on the records' order: one run per set.
        if (impl == Impl::kGettext && o == Order::kShuffled) continue;
        for (bool present : {true, false}) {
          auto* b = benchmark::RegisterBenchmark(LookupName(s, o, impl, present).c_str(), BM_Lookup,
                                                 s, o, impl, present);
          b->MinTime(big ? 0.5 : 0.3);
        }
      }
      for (Format f : {Format::kCsv, Format::kDfm, Format::kBinary}) {
        auto* b = benchmark::RegisterBenchmark(LoadName(s, o, f).c_str(), BM_Load, s, o, f);
        b->Unit(benchmark::kMillisecond);
        if (big) b->Iterations(3);
      }
    }
  }
}

struct Result {
  double ns = 0;  // real time per iteration
  std::map<std::string, double> counters;
};

class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      // With repetitions, the median stands for the benchmark (it comes after the runs).
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      Result r;
      r.ns = run.GetAdjustedRealTime() * (run.time_unit == benchmark::kMillisecond ? 1e6 : 1.0);
      for (const auto& [name, counter] : run.counters) r.counters[name] = counter.value;
      results[run.run_name.function_name] = r;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, Result> results;
};

const Result* Find(const CollectingReporter& rep, const std::string& name) {
  const auto it = rep.results.find(name);
  return it != rep.results.end() ? &it->second : nullptr;
}

void Line(const char* target, const std::string& measured, const std::string& baseline,
          double ratio, bool met) {
  std::printf("| %-58s | %-26s | %-26s | %7.2f | %-3s |\n", target, measured.c_str(),
              baseline.c_str(), ratio, met ? "yes" : "NO");
}

std::string Ns(double ns) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f ns", ns);
  return b;
}

void Summary(const CollectingReporter& rep, bool quick) {
  std::printf("\nSummary (ratios from this run)\n");
  std::printf("| %-58s | %-26s | %-26s | %7s | %-3s |\n", "target", "measured", "baseline", "ratio",
              "met");
  std::printf("|%s|%s|%s|%s|%s|\n", std::string(60, '-').c_str(), std::string(28, '-').c_str(),
              std::string(28, '-').c_str(), std::string(9, '-').c_str(),
              std::string(5, '-').c_str());
  for (Order o : {Order::kSorted, Order::kShuffled}) {
    const auto s = KeySet::kCatalogue;
    const Result* kp = Find(rep, LookupName(s, o, Impl::kKivo, true));
    const Result* ka = Find(rep, LookupName(s, o, Impl::kKivo, false));
    const Result* mp = Find(rep, LookupName(s, o, Impl::kUnorderedMap, true));
    const Result* gp = Find(rep, LookupName(s, Order::kSorted, Impl::kGettext, true));
    const Result* ga = Find(rep, LookupName(s, Order::kSorted, Impl::kGettext, false));
    const std::string tag = std::string("catalogue ") + OrderName(o) + ": ";
    if (kp && gp) {
      Line((tag + "present >= 3x faster than dgettext hit").c_str(), Ns(kp->ns), Ns(gp->ns),
           gp->ns / kp->ns, gp->ns / kp->ns >= 3.0);
    }
    if (kp && mp) {
      Line((tag + "present <= 1.25x unordered_map").c_str(), Ns(kp->ns), Ns(mp->ns),
           kp->ns / mp->ns, kp->ns / mp->ns <= 1.25);
    }
    if (ka && ga) {
      Line((tag + "absent >= 6x faster than dgettext miss").c_str(), Ns(ka->ns), Ns(ga->ns),
           ga->ns / ka->ns, ga->ns / ka->ns >= 6.0);
    }
  }
  if (!quick) {
    for (bool present : {true, false}) {
      double lo = 1e300;
      double hi = 0;
      std::string lo_name;
      std::string hi_name;
      for (KeySet s : {KeySet::kNatural, KeySet::kNumbered}) {
        for (Order o : {Order::kSorted, Order::kShuffled}) {
          const Result* r = Find(rep, LookupName(s, o, Impl::kKivo, present));
          if (r == nullptr) continue;
          const std::string name = std::string(SetName(s)) + " " + OrderName(o);
          if (r->ns < lo) lo = r->ns, lo_name = name;
          if (r->ns > hi) hi = r->ns, hi_name = name;
        }
      }
      if (hi > 0) {
        Line(present ? "1M: present lookups within 2x (slowest/fastest)"
                     : "1M: absent lookups within 2x (slowest/fastest)",
             Ns(hi) + " " + hi_name, Ns(lo) + " " + lo_name, hi / lo, hi / lo <= 2.0);
      }
    }
  }
  for (KeySet s : {KeySet::kNatural, KeySet::kNumbered}) {
    if (quick) break;
    for (Order o : {Order::kSorted, Order::kShuffled}) {
      for (Format f : {Format::kCsv, Format::kDfm, Format::kBinary}) {
        const Result* r = Find(rep, LoadName(s, o, f));
        if (r == nullptr) continue;
        const double mbs = r->counters.at("MB/s");
        const double need = f == Format::kCsv ? 200 : (f == Format::kBinary ? 300 : 0);
        char target[96];
        char measured[64];
        std::snprintf(measured, sizeof measured, "%.0f MB/s", mbs);
        if (need > 0) {
          std::snprintf(target, sizeof target, "%s %s: load %s >= %.0f MB/s", SetName(s),
                        OrderName(o), FormatName(f), need);
          Line(target, measured, "target", mbs / need, mbs >= need);
        } else {
          std::snprintf(target, sizeof target, "%s %s: load %s (no target)", SetName(s),
                        OrderName(o), FormatName(f));
          Line(target, measured, "-", 0, true);
        }
        if (f == Format::kBinary || f == Format::kCsv) {
          const double bpr = r->counters.at("B/rec");
          const double peak = r->counters.at("peak-file B/rec");
          char m2[64];
          std::snprintf(m2, sizeof m2, "%.1f held, %.1f peak-file", bpr, peak);
          std::snprintf(target, sizeof target, "%s %s %s: <= 100 B/record beyond the file",
                        SetName(s), OrderName(o), FormatName(f));
          Line(target, m2, "100 B", std::max(bpr, peak) / 100, std::max(bpr, peak) <= 100);
        }
      }
    }
  }
  for (KeySet s : {KeySet::kCatalogue, KeySet::kNatural, KeySet::kNumbered}) {
    if (quick && s != KeySet::kCatalogue) continue;
    for (Order o : {Order::kSorted, Order::kShuffled}) {
      for (bool present : {true, false}) {
        const Result* r = Find(rep, LookupName(s, o, Impl::kKivo, present));
        if (r == nullptr) continue;
        const double extra = r->counters.at("allocs") - r->counters.at("result");
        char target[96];
        char measured[64];
        std::snprintf(target, sizeof target, "%s %s %s: no allocation beyond the result",
                      SetName(s), OrderName(o), present ? "present" : "absent");
        std::snprintf(measured, sizeof measured, "%.3f allocs/op", r->counters.at("allocs"));
        char base[64];
        std::snprintf(base, sizeof base, "%.3f results/op", r->counters.at("result"));
        Line(target, measured, base, extra, extra < 0.001);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Stay on one CPU: a move to another mid-run leaves the caches behind and made figures of the
  // same build differ by half.
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  const int cpu = sched_getcpu();
  CPU_SET(cpu >= 0 ? cpu : 0, &cpus);
  if (sched_setaffinity(0, sizeof cpus, &cpus) != 0) std::perror("bench: sched_setaffinity");
  std::setlocale(LC_ALL, "C.UTF-8");
  setenv("LANGUAGE", "xx", 1);
  const char* quick_env = std::getenv("KIVO_BENCH_QUICK");
  const bool quick = quick_env != nullptr && quick_env[0] == '1';
  kivo::InitializeCore();
  Register(quick);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  DropFixture();
  Summary(reporter, quick);
  kivo::FinalizeCore();
  std::error_code ec;
  fs::remove_all(TempDir(), ec);
  return 0;
}
