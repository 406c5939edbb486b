// The wash's cache step on the Win32 backend (TIECache::DeleteAllEntries over
// Win32InternetCache) against the same WinINet calls made bare (for each entry
// a size query, a fetch into a reused buffer and a deletion, then one close),
// both over the stand-in library of tests/win32/cache-standin holding the same
// entries of the six kinds a wash selects. Runs under Wine beside the
// stand-in (build-win/cache-standin), in alternating order, and prints the
// elapsed and processor times and their ratios (the wash's over the bare calls').
//
//   kelpo_wash_standin_bench [ENTRIES [ROUNDS]]    defaults: 100000 entries, 5 rounds

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/StandinCache.h"
#include "wash/CacheLibrary.h"
#include "wash/IECache.h"
// Win32Api.h first
#include <wininet.h>

namespace {

using namespace kelpo;

constexpr std::uint32_t Kinds[] = {NormalCacheEntry,     CookieCacheEntry,       StickyCacheEntry,
                                   UrlHistoryCacheEntry, TrackOfflineCacheEntry, TrackOnlineCacheEntry};

standin::Table PlantedCache(int entries) {
  standin::Table table;
  table.Log = false;  // Windows keeps no log either
  constexpr std::uint64_t FileTimeOf2024 = 133485408000000000ULL;
  for (int k = 0; k < entries; ++k) {
    const std::uint32_t kind = Kinds[k % std::size(Kinds)];
    const std::string site = std::to_string(k);
    standin::TableEntry e;
    e.CacheEntryType = kind;
    e.SourceUrlName = kind == CookieCacheEntry ? "Cookie:user@site" + site + ".example/"
                      : kind == UrlHistoryCacheEntry
                          ? "Visited: user@http://www.site" + site + ".example/"
                          : "http://www.site" + site + ".example/pages/article-" + site + ".html";
    e.LocalFileName =
        "C:\\Users\\user\\AppData\\Local\\Microsoft\\Windows\\INetCache\\IE\\X1Y2Z3W4\\article-" + site + "[1].htm";
    e.HeaderInfo = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nETag: \"" + site + "\"\r\n\r\n";
    e.FileExtension = "htm";
    e.Size = 1000 + static_cast<std::uint64_t>(k % 50000);
    e.LastModifiedTime = FileTimeOf2024 + static_cast<std::uint64_t>(k) * 36000000000ULL;
    e.ExpireTime = e.LastModifiedTime + 720 * 36000000000ULL;
    e.LastAccessTime = e.LastModifiedTime + 2 * 36000000000ULL;
    e.LastSyncTime = e.LastModifiedTime + 3 * 36000000000ULL;
    table.Entries.push_back(std::move(e));
  }
  return table;
}

// A buffer for one entry, grown when an entry needs more.
class Buffer {
 public:
  INTERNET_CACHE_ENTRY_INFOA* For(DWORD size) {
    if (size > words_.size() * sizeof(std::uint64_t)) words_.resize(size / sizeof(std::uint64_t) + 1);
    return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(words_.data());
  }

 private:
  std::vector<std::uint64_t> words_;
};

void DeleteByBareCalls(DWORD filter) {
  Buffer buffer;
  DWORD size = 0;
  FindFirstUrlCacheEntryExA(nullptr, 0, filter, 0, nullptr, &size, nullptr, nullptr, nullptr);
  INTERNET_CACHE_ENTRY_INFOA* entry = buffer.For(size);
  HANDLE handle = FindFirstUrlCacheEntryExA(nullptr, 0, filter, 0, entry, &size, nullptr, nullptr, nullptr);
  bool fetched = handle != nullptr;
  while (fetched) {
    DeleteUrlCacheEntryA(entry->lpszSourceUrlName);
    size = 0;
    FindNextUrlCacheEntryExA(handle, nullptr, &size, nullptr, nullptr, nullptr);
    entry = buffer.For(size);
    fetched = FindNextUrlCacheEntryExA(handle, entry, &size, nullptr, nullptr, nullptr) != FALSE;
  }
  FindCloseUrlCache(handle);
}

// Nothing of the selection is left.
bool Washed(DWORD filter) {
  DWORD size = 0;
  return !FindFirstUrlCacheEntryExA(nullptr, 0, filter, 0, nullptr, &size, nullptr, nullptr, nullptr) &&
         GetLastError() == ERROR_NO_MORE_ITEMS;
}

double Seconds(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// User and kernel time of the process, in seconds.
double ProcessorSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  if (entries <= 0 || rounds <= 0 || argc > 3) {
    std::fprintf(stderr, "usage: kelpo_wash_standin_bench [ENTRIES [ROUNDS]]\n");
    return 2;
  }
  const standin::Table table = PlantedCache(entries);

  Win32Platform win32;
  TApplication application(win32.Services());
  TComponent owner(application);
  auto* ie = new TIECache(&owner);
  CacheLibrary library(win32.Services().cache);
  ie->SetCacheLibrary(&library);
  const DWORD filter = ie->FilterValue();

  double washElapsed = 0, washProcessor = 0, bareElapsed = 0, bareProcessor = 0;
  for (int round = 0; round < rounds; ++round) {
    for (int run = 0; run < 2; ++run) {
      const bool bare = (run == 0) == (round % 2 == 0);
      PlantInStandin(table);
      const LONGLONG start = Now();
      const double processorStart = ProcessorSeconds();
      if (bare)
        DeleteByBareCalls(filter);
      else
        ie->DeleteAllEntries();
      const double elapsed = Seconds(Now() - start);
      const double processor = ProcessorSeconds() - processorStart;
      if (!Washed(filter)) {
        std::fprintf(stderr, "%s left entries in the cache\n", bare ? "the bare calls" : "the wash");
        return 1;
      }
      (bare ? bareElapsed : washElapsed) += elapsed;
      (bare ? bareProcessor : washProcessor) += processor;
      std::printf("round %d %-10s %8.1f ms elapsed %8.1f ms processor\n", round + 1, bare ? "bare calls" : "wash",
                  elapsed * 1e3, processor * 1e3);
    }
  }
  std::printf("%d entries, %d rounds: wash %.1f ms, bare calls %.1f ms per round (elapsed)\n", entries, rounds,
              washElapsed / rounds * 1e3, bareElapsed / rounds * 1e3);
  std::printf("ratio elapsed %.3f, ratio processor %.3f (wash over bare calls; target at most 1.5)\n",
              washElapsed / bareElapsed, bareProcessor > 0 ? washProcessor / bareProcessor : 0.0);
  return 0;
}
