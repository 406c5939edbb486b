// The URL cache contract, run against the simulation natively and under Wine
// against the Win32 backend over the stand-in library, which lays entries out
// in INTERNET_CACHE_ENTRY_INFOA as WinINet does: the library probe, the
// two-call size protocol, selection by pattern, filter and group, deletion
// during an enumeration, an entry growing between the two calls, handles, and
// the conversion of entry times.

#include <gtest/gtest.h>

#include <functional>

#include "tests/conformance/ConformanceBackend.h"

namespace kelpo {
namespace {

constexpr FileTime TicksPerDay = 864000000000ULL;

// 1 June of the year 10000, 12:00 UTC: days from 1601 to 10000-06-01.
constexpr FileTime MidYear10000 = 3067823ULL * TicksPerDay + TicksPerDay / 2;

constexpr std::uint32_t WashFilter = 0x00300035;  // the six kinds a wash deletes
constexpr std::uint32_t EveryKind = 0x00330037;

CacheEntryRecord EntryOf(const std::string& url, std::uint32_t type) {
  CacheEntryRecord entry;
  entry.SourceUrlName = url;
  entry.LocalFileName = "C:\\Cache\\" + std::to_string(url.size()) + ".dat";
  entry.CacheEntryType = type;
  entry.UseCount = 3;
  entry.HitRate = 7;
  entry.SizeLow = static_cast<std::uint32_t>(100 + url.size());
  entry.LastModifiedTime = 133485408000000000ULL;  // 1 January 2024
  entry.ExpireTime = entry.LastModifiedTime + 10 * TicksPerDay;
  entry.LastAccessTime = entry.LastModifiedTime + TicksPerDay;
  entry.LastSyncTime = entry.LastModifiedTime + 2 * TicksPerDay;
  entry.HeaderInfo = "HTTP/1.1 200 OK\r\n\r\n";
  entry.FileExtension = "htm";
  return entry;
}

// Entries of the three containers, of selected and unselected kinds, with the
// odd fields a real cache has: no local file or extension, a header holding a
// NUL, a size above 4 GiB, times after the year 9999.
std::vector<PlantedCacheEntry> MixedCache() {
  CacheEntryRecord big = EntryOf("http://big.example/video", NormalCacheEntry);
  big.SizeHigh = 1;
  big.SizeLow = 0x40000000;
  constexpr char header[] = "HTTP/1.1 200 OK\r\n\0after the NUL";
  big.HeaderInfo.assign(header, sizeof header - 1);
  CacheEntryRecord history = EntryOf("Visited: user@http://seen.example/", UrlHistoryCacheEntry);
  history.LocalFileName.clear();
  history.FileExtension.clear();
  history.HeaderInfo.clear();
  CacheEntryRecord sticky = EntryOf("https://app.example/app.js", StickyCacheEntry | NormalCacheEntry);
  sticky.ExemptDelta = 86400;
  sticky.ExpireTime = MidYear10000;
  return {{EntryOf("Cookie:user@jar.example/", CookieCacheEntry)},
          {big},
          {EntryOf("http://stable.example/", StableCacheEntry)},
          {history},
          {sticky},
          {EntryOf("http://sparse.example/", SparseCacheEntry)}};
}

// One fetch by the size protocol: a null buffer and one a byte too small fail
// with 122 and report the size needed, which then fetches the entry. `call`
// is the find-first or find-next call with a buffer (or null) and the size.
using FetchCall = std::function<bool(CacheEntryRecord*, std::uint32_t&)>;
std::uint32_t FetchBySize(InternetCache& cache, const FetchCall& call, CacheEntryRecord& entry) {
  std::uint32_t needed = 0;
  EXPECT_FALSE(call(nullptr, needed)) << "a null buffer fetched an entry";
  const std::uint32_t error = cache.LastError();
  if (error != ErrorInsufficientBuffer) return error;
  EXPECT_GE(needed, 112u);  // INTERNET_CACHE_ENTRY_INFOA and its texts
  std::uint32_t small = needed - 1;
  EXPECT_FALSE(call(&entry, small));
  EXPECT_EQ(cache.LastError(), ErrorInsufficientBuffer);
  EXPECT_EQ(small, needed);
  std::uint32_t exact = needed;
  return call(&entry, exact) ? 0 : cache.LastError();
}

// The URLs an enumeration fetches, joined by "|", or "error N" when the first
// fetch fails; the enumeration is closed.
std::string Walk(InternetCache& cache, const std::optional<std::string>& pattern, std::uint32_t filter,
                 std::int64_t group = 0) {
  CacheEnumHandle handle = 0;
  CacheEntryRecord entry;
  const std::uint32_t first = FetchBySize(
      cache,
      [&](CacheEntryRecord* buffer, std::uint32_t& size) {
        handle = cache.FindFirstEntry(pattern, filter, group, buffer, size);
        return handle != 0;
      },
      entry);
  if (first != 0) return "error " + std::to_string(first);
  std::string urls = entry.SourceUrlName;
  const FetchCall next = [&](CacheEntryRecord* buffer, std::uint32_t& size) {
    return cache.FindNextEntry(handle, buffer, size);
  };
  std::uint32_t result = 0;
  while ((result = FetchBySize(cache, next, entry)) == 0) urls += "|" + entry.SourceUrlName;
  EXPECT_EQ(result, ErrorNoMoreItems);
  EXPECT_TRUE(cache.FindClose(handle));
  return urls;
}

TEST(InternetCacheConformance, EachEntryArrivesWholeThroughTheSizeProtocol) {
  const std::vector<PlantedCacheEntry> planted = MixedCache();
  auto cache = MakeInternetCacheUnderTest(planted);
  // The content container in the order of planting, then cookies, then history.
  const std::vector<std::size_t> expected = {1, 4, 0, 3};
  CacheEnumHandle handle = 0;
  CacheEntryRecord entry;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const FetchCall call = [&](CacheEntryRecord* buffer, std::uint32_t& size) {
      if (i > 0) return cache->FindNextEntry(handle, buffer, size);
      handle = cache->FindFirstEntry(std::nullopt, WashFilter, 0, buffer, size);
      return handle != 0;
    };
    ASSERT_EQ(FetchBySize(*cache, call, entry), 0u) << "entry " << i;
    EXPECT_EQ(entry, planted[expected[i]].Record) << "entry " << i << ", " << entry.SourceUrlName;
  }
  std::uint32_t size = 0;
  EXPECT_FALSE(cache->FindNextEntry(handle, nullptr, size));
  EXPECT_EQ(cache->LastError(), ErrorNoMoreItems);
  EXPECT_FALSE(cache->FindNextEntry(handle, &entry, size));
  EXPECT_EQ(cache->LastError(), ErrorNoMoreItems);

  // A closed handle is no longer one.
  EXPECT_TRUE(cache->FindClose(handle));
  EXPECT_FALSE(cache->FindClose(handle));
  EXPECT_EQ(cache->LastError(), ErrorInvalidHandle);
  size = 1000;
  EXPECT_FALSE(cache->FindNextEntry(handle, &entry, size));
  EXPECT_EQ(cache->LastError(), ErrorInvalidHandle);
  // Nor is the null handle, which a walk that found nothing closes.
  EXPECT_FALSE(cache->FindClose(0));
  EXPECT_EQ(cache->LastError(), ErrorInvalidHandle);
}

TEST(InternetCacheConformance, PatternFilterAndGroupSelect) {
  auto cache = MakeInternetCacheUnderTest(MixedCache());
  struct Case {
    std::optional<std::string> Pattern;
    std::uint32_t Filter;
    std::int64_t Group;
    const char* Expected;
  };
  const Case cases[] = {
      {std::nullopt, WashFilter, 0,
       "http://big.example/video|https://app.example/app.js|Cookie:user@jar.example/|Visited: "
       "user@http://seen.example/"},
      {"", EveryKind, 0,
       "http://big.example/video|http://stable.example/|https://app.example/app.js|"
       "http://sparse.example/"},
      {"Cookie:", EveryKind, 0, "Cookie:user@jar.example/"},
      {"Visited:", EveryKind, 0, "Visited: user@http://seen.example/"},
      {"cookie:", EveryKind, 0, "error 259"},  // compared exactly, as Wine does
      {std::nullopt, StableCacheEntry | SparseCacheEntry, 0, "http://stable.example/|http://sparse.example/"},
      {std::nullopt, StickyCacheEntry, 0, "https://app.example/app.js"},
      {std::nullopt, 0, 0, "error 259"},
      {std::nullopt, WashFilter, 7, "error 2"},  // no cache groups
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Walk(*cache, c.Pattern, c.Filter, c.Group), c.Expected)
        << "pattern " << (c.Pattern ? "\"" + *c.Pattern + "\"" : "null") << ", filter " << c.Filter << ", group "
        << c.Group;
  }
}

TEST(InternetCacheConformance, DeletionsAndAGrowingEntryDuringAnEnumeration) {
  const char* const urls[] = {"http://one.example/", "http://two.example/", "http://three.example/"};
  std::vector<PlantedCacheEntry> planted;
  for (const char* url : urls) planted.push_back({EntryOf(url, NormalCacheEntry)});
  planted[1].Growth = 40;
  auto cache = MakeInternetCacheUnderTest(planted);

  std::uint32_t size = 0;
  cache->FindFirstEntry(std::nullopt, WashFilter, 0, nullptr, size);
  CacheEntryRecord entry;
  const CacheEnumHandle handle = cache->FindFirstEntry(std::nullopt, WashFilter, 0, &entry, size);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(entry.SourceUrlName, urls[0]);
  EXPECT_TRUE(cache->DeleteEntry(urls[0]));
  EXPECT_FALSE(cache->DeleteEntry(urls[0]));
  EXPECT_EQ(cache->LastError(), ErrorFileNotFound);

  // The second entry grows after its size query: the fetch fails and reports the new size.
  size = 0;
  EXPECT_FALSE(cache->FindNextEntry(handle, nullptr, size));
  const std::uint32_t queried = size;
  EXPECT_FALSE(cache->FindNextEntry(handle, &entry, size));
  EXPECT_EQ(cache->LastError(), ErrorInsufficientBuffer);
  EXPECT_EQ(size, queried + 40);
  ASSERT_TRUE(cache->FindNextEntry(handle, &entry, size));
  EXPECT_EQ(entry.SourceUrlName, urls[1]);
  EXPECT_EQ(entry.HeaderInfo.size(), planted[1].Record.HeaderInfo.size() + 40);
  EXPECT_TRUE(cache->DeleteEntry(urls[1]));

  size = 1000;
  ASSERT_TRUE(cache->FindNextEntry(handle, &entry, size));
  EXPECT_EQ(entry.SourceUrlName, urls[2]);
  EXPECT_FALSE(cache->FindNextEntry(handle, &entry, size));
  EXPECT_EQ(cache->LastError(), ErrorNoMoreItems);
  EXPECT_TRUE(cache->FindClose(handle));
  EXPECT_EQ(Walk(*cache, std::nullopt, WashFilter), urls[2]);
}

TEST(InternetCacheConformance, ProbeFindsTheLibrary) {
  auto cache = MakeInternetCacheUnderTest();
  EXPECT_TRUE(cache->ProbeLibrary());
  EXPECT_TRUE(cache->ProbeLibrary());
}

TEST(InternetCacheConformance, DeletingAnAbsentUrlFailsWithFileNotFound) {
  auto cache = MakeInternetCacheUnderTest();
  EXPECT_FALSE(cache->DeleteEntry("http://absent.kelpo.example/nothing-here"));
  EXPECT_EQ(cache->LastError(), ErrorFileNotFound);
}

TEST(InternetCacheConformance, TimesBeyondTheYear9999ConvertButTheTopBitDoesNot) {
  auto cache = MakeInternetCacheUnderTest();
  const std::optional<LocalTime> far = cache->FileTimeToLocal(MidYear10000);
  ASSERT_TRUE(far.has_value());
  EXPECT_EQ(far->Year, 10000);
  EXPECT_EQ(far->Month, 6);

  EXPECT_FALSE(cache->FileTimeToLocal(0x8000000000000000ULL).has_value());
  EXPECT_FALSE(cache->FileTimeToLocal(0xFFFFFFFFFFFFFFFFULL).has_value());

  // Whatever the local bias, a day later is the next date at the same time of day.
  const FileTime noon = 154000ULL * TicksPerDay + TicksPerDay / 2;  // 22 August 2022, 12:00 UTC
  const std::optional<LocalTime> day = cache->FileTimeToLocal(noon);
  const std::optional<LocalTime> next = cache->FileTimeToLocal(noon + TicksPerDay);
  ASSERT_TRUE(day && next);
  EXPECT_EQ(next->Day, day->Day + 1);
  EXPECT_EQ(next->Hour, day->Hour);
  EXPECT_EQ(next->Minute, day->Minute);
}

}  // namespace
}  // namespace kelpo
