// Add and Find of dictionary-like keys ("key\tcodepage\tseqno") in TKivoHashList, sized as the
// dictionary sizes it (KivoHash, StrCompare, the smallest prime not below the key count), with
// std::unordered_map<std::string, void*> as the baseline.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "kivo/core/HashList.h"

namespace {

bool IsPrime(int n) {
  if (n < 2) return false;
  for (int d = 2; d * d <= n; ++d) {
    if (n % d == 0) return false;
  }
  return true;
}

// The smallest prime ≥ n.
int MinPrime(int n) {
  while (!IsPrime(n)) ++n;
  return n;
}

// N distinct keys as a translation dictionary holds them: text, code page, sequence number.
std::vector<std::string> MakeKeys(int n) {
  static const char* const kWords[] = {"Open",  "Save as",       "Cancel",        "File not found",
                                       "&Edit", "Print preview", "Customer name", "OK"};
  static const char* const kCodePages[] = {"1250", "1251", "1252"};
  std::vector<std::string> keys;
  keys.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    keys.push_back(std::string(kWords[i % 8]) + " " + std::to_string(i / 24) + "\t" +
                   kCodePages[(i / 8) % 3] + "\t" + std::to_string(i % 2));
  }
  return keys;
}

void BM_HashListAdd(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<std::string> keys = MakeKeys(n);
  for (auto _ : state) {
    kivo::TKivoHashList list(MinPrime(n), kivo::StrCompare, kivo::KivoHash);
    for (const std::string& key : keys) list.Add(key, nullptr);
    benchmark::DoNotOptimize(list.Count());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_UnorderedMapAdd(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<std::string> keys = MakeKeys(n);
  for (auto _ : state) {
    std::unordered_map<std::string, void*> map;
    map.reserve(static_cast<size_t>(n));
    for (const std::string& key : keys) map.emplace(key, nullptr);
    benchmark::DoNotOptimize(map.size());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_HashListFind(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<std::string> keys = MakeKeys(n);
  kivo::TKivoHashList list(MinPrime(n), kivo::StrCompare, kivo::KivoHash);
  for (const std::string& key : keys) list.Add(key, nullptr);
  for (auto _ : state) {
    for (const std::string& key : keys) {
      void* data = nullptr;
      benchmark::DoNotOptimize(list.Find(key, data));
    }
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_UnorderedMapFind(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::vector<std::string> keys = MakeKeys(n);
  std::unordered_map<std::string, void*> map;
  map.reserve(static_cast<size_t>(n));
  for (const std::string& key : keys) map.emplace(key, nullptr);
  for (auto _ : state) {
    for (const std::string& key : keys) benchmark::DoNotOptimize(map.find(key));
  }
  state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_HashListAdd)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_UnorderedMapAdd)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_HashListFind)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_UnorderedMapFind)->Arg(1000)->Arg(10000)->Arg(100000);

}  // namespace
