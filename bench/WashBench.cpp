// The wash's cache step on the simulated platform: TIECache::DeleteAllEntries
// over a cache of entries of the six kinds a wash selects, against the bare
// service calls that deleting the same entries takes (for each entry a size
// query, a fetch and a deletion, then one close). Both run on the same cache
// filled the same way, in alternating order, so the counter "ratio" (the
// enumerator's time over the bare calls' time) is what the enumerator adds
// on top of the cache service itself.
//
//   kelpo_wash_bench [--entries=N[,N...]] [benchmark options]
//
// --entries gives the cache sizes to measure (default 1000, 10000 and
// 100000); the counter "enumerator_ns_per_entry" shows that an entry costs the
// same whatever the size of the cache.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "platform/sim/SimPlatform.h"
#include "wash/IECache.h"

namespace {

using namespace kelpo;
using Clock = std::chrono::steady_clock;

// The six kinds a wash selects, cycled through the entries so that every
// container holds some and their entries are interleaved in insertion order.
struct Kind {
  std::uint32_t Type;
  const char* Prefix;
  const char* Extension;
};
constexpr Kind Kinds[] = {
    {NormalCacheEntry, "http://www.site", "htm"},           {CookieCacheEntry, "Cookie:user@site", "txt"},
    {StickyCacheEntry, "https://cdn.site", "js"},           {UrlHistoryCacheEntry, "Visited: user@http://www.site", ""},
    {TrackOfflineCacheEntry, "http://offline.site", "htm"}, {TrackOnlineCacheEntry, "http://online.site", "gif"},
};

constexpr FileTime FileTimeOf2024 = 133485408000000000ULL;  // 1 January 2024, 00:00 UTC
constexpr FileTime TicksPerHour = 36000000000ULL;

CacheEntryRecord EntryOf(int k) {
  const Kind& kind = Kinds[k % std::size(Kinds)];
  const std::string site = std::to_string(k);
  CacheEntryRecord entry;
  entry.SourceUrlName = std::string(kind.Prefix) + site + ".example/pages/article-" + site + ".html";
  entry.LocalFileName = "C:\\Users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCache\\IE\\X1Y2Z3W4\\article-" +
                        site + "[1]." + kind.Extension;
  entry.CacheEntryType = kind.Type;
  entry.UseCount = static_cast<std::uint32_t>(k % 7);
  entry.HitRate = static_cast<std::uint32_t>(k % 11);
  entry.SizeLow = static_cast<std::uint32_t>(1000 + k % 50000);
  entry.LastModifiedTime = FileTimeOf2024 + static_cast<FileTime>(k) * TicksPerHour;
  entry.ExpireTime = entry.LastModifiedTime + 720 * TicksPerHour;
  entry.LastAccessTime = entry.LastModifiedTime + 2 * TicksPerHour;
  entry.LastSyncTime = entry.LastModifiedTime + 3 * TicksPerHour;
  entry.HeaderInfo = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nETag: \"" + site + "\"\r\n\r\n";
  entry.FileExtension = kind.Extension;
  return entry;
}

// The simulated platform with a cache enumerator on it, as the main window holds one.
class WashBench {
 public:
  WashBench() : application_(sim_.Services()), owner_(application_) {
    enumerator_ = new TIECache(&owner_);
    sim_.cache.SetRecordingCalls(false);  // Windows keeps no record either
  }

  SimInternetCache& Cache() { return sim_.cache; }
  TIECache& Enumerator() { return *enumerator_; }

  void Fill(int entries) {
    for (int k = 0; k < entries; ++k) sim_.cache.Add(EntryOf(k));
  }

  // What DeleteAllEntries asks of the cache service, with nothing around it.
  void DeleteByBareCalls(std::uint32_t filter) {
    InternetCache& cache = sim_.cache;
    CacheEntryRecord entry;
    std::uint32_t size = 0;
    cache.FindFirstEntry(std::nullopt, filter, 0, nullptr, size);
    const CacheEnumHandle handle = cache.FindFirstEntry(std::nullopt, filter, 0, &entry, size);
    bool fetched = handle != 0;
    while (fetched) {
      cache.DeleteEntry(entry.SourceUrlName);
      size = 0;
      cache.FindNextEntry(handle, nullptr, size);
      fetched = cache.FindNextEntry(handle, &entry, size);
    }
    cache.FindClose(handle);
  }

 private:
  SimPlatform sim_;
  TApplication application_;
  TComponent owner_;
  TIECache* enumerator_ = nullptr;  // owned by owner_
};

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void DeleteAllEntriesAgainstBareCalls(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  WashBench bench;
  const std::uint32_t filter = bench.Enumerator().FilterValue();
  double enumeratorSeconds = 0;
  double bareSeconds = 0;
  bool bareFirst = false;
  for (auto _ : state) {
    double enumeratorTime = 0;
    double bareTime = 0;
    for (int run = 0; run < 2; ++run) {
      const bool bare = (run == 0) == bareFirst;
      bench.Fill(entries);
      const Clock::time_point start = Clock::now();
      if (bare)
        bench.DeleteByBareCalls(filter);
      else
        bench.Enumerator().DeleteAllEntries();
      const double elapsed = Seconds(Clock::now() - start);
      (bare ? bareTime : enumeratorTime) = elapsed;
      if (!bench.Cache().Urls().empty() || bench.Cache().OpenEnumerations() != 0) {
        state.SkipWithError(bare ? "the bare calls left entries or an enumeration"
                                 : "DeleteAllEntries left entries or an enumeration");
        return;
      }
    }
    bareFirst = !bareFirst;
    state.SetIterationTime(enumeratorTime);
    enumeratorSeconds += enumeratorTime;
    bareSeconds += bareTime;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["entries"] = entries;
  state.counters["enumerator_ms"] = enumeratorSeconds / iterations * 1e3;
  state.counters["bare_calls_ms"] = bareSeconds / iterations * 1e3;
  state.counters["ratio"] = bareSeconds > 0 ? enumeratorSeconds / bareSeconds : 0;
  state.counters["enumerator_ns_per_entry"] = enumeratorSeconds / iterations / entries * 1e9;
}

// Takes "--entries=N[,N...]" out of the arguments; 1000, 10000 and 100000 when absent.
std::vector<int> EntryCounts(int& argc, char** argv) {
  std::vector<int> counts;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    constexpr const char* Option = "--entries=";
    if (std::strncmp(argv[i], Option, std::strlen(Option)) != 0) {
      argv[kept++] = argv[i];
      continue;
    }
    for (const char* p = argv[i] + std::strlen(Option); *p;) {
      char* end = nullptr;
      const long count = std::strtol(p, &end, 10);
      if (end == p || count <= 0 || (*end != ',' && *end != '\0')) return {};
      counts.push_back(static_cast<int>(count));
      p = *end == ',' ? end + 1 : end;
    }
  }
  argc = kept;
  if (counts.empty()) counts = {1000, 10000, 100000};
  return counts;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<int> counts = EntryCounts(argc, argv);
  if (counts.empty()) {
    std::fprintf(stderr, "kelpo_wash_bench: --entries takes positive counts separated by commas\n");
    return 2;
  }
  auto* bench = benchmark::RegisterBenchmark("DeleteAllEntriesAgainstBareCalls", DeleteAllEntriesAgainstBareCalls);
  for (int count : counts) bench->Arg(count);
  bench->ArgName("entries")->UseManualTime()->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
