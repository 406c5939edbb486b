// The cache enumerator on the simulated cache: the filter mask and patterns,
// the two-call fetch, the walks and their ends, the record copy, deletion and
// the library probe.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/DateTime.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/wash/WashTestSupport.h"
#include "wash/CacheLibrary.h"
#include "wash/IECache.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using FO = TFilterOption;

constexpr std::uint32_t SixKinds = 0x00300035;

std::vector<std::string> Walk(TIECache& ie, std::int64_t group = 0) {
  std::vector<std::string> seen;
  ie.OnEntry = [&](TComponent* sender, bool&) {
    EXPECT_EQ(sender, &ie);
    seen.push_back(ie.EntryInfo().SourceUrlName);
  };
  ie.EnumerateEntries(group);
  return seen;
}

TDateTime Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, 0);
}

TEST(IECache, FilterValueIsTheSumOfTheSelectedKindsFlags) {
  WashHarness h;
  EXPECT_EQ(h.ie->FilterOptions(), DefaultFilterOptions);
  EXPECT_EQ(h.ie->FilterValue(), SixKinds);
  EXPECT_EQ(h.ie->SearchPattern, TSearchPattern::spAll);

  h.ie->SetFilterOptions({});
  EXPECT_EQ(h.ie->FilterValue(), 0u);
  h.ie->SetFilterOptions({FO::NORMAL_ENTRY, FO::STABLE_ENTRY, FO::STICKY_ENTRY, FO::COOKIE_ENTRY, FO::URLHISTORY_ENTRY,
                          FO::TRACK_OFFLINE_ENTRY, FO::TRACK_ONLINE_ENTRY, FO::SPARSE_ENTRY, FO::OCX_ENTRY});
  EXPECT_EQ(h.ie->FilterValue(), 0x00330037u);
  h.ie->SetFilterOptions({FO::OCX_ENTRY, FO::STABLE_ENTRY});
  EXPECT_EQ(h.ie->FilterValue(), 0x00020002u);
}

TEST(IECache, LayoutSetsFilterOptionsAndSearchPattern) {
  RegisterWashComponents();
  FrameworkHarness h;
  TTestForm& form = h.NewForm();
  form.Load(
      "object Form1: TTestForm\n"
      "  object IECache1: TIECache\n"
      "    FilterOptions = [STABLE_ENTRY, COOKIE_ENTRY, OCX_ENTRY]\n"
      "    SearchPattern = spHistory\n"
      "  end\n"
      "end\n");
  auto& ie = form.Get<TIECache>("IECache1");
  EXPECT_EQ(ie.FilterOptions(), (TFilterOptions{FO::STABLE_ENTRY, FO::COOKIE_ENTRY, FO::OCX_ENTRY}));
  EXPECT_EQ(ie.FilterValue(), 0x00120002u);
  EXPECT_EQ(ie.SearchPattern, TSearchPattern::spHistory);

  TTestForm& bad = h.NewForm();
  EXPECT_THROW(bad.Load("object Form1: TTestForm\n  object IECache1: TIECache\n"
                        "    FilterOptions = [NORMAL_ENTRY, HUGE_ENTRY]\n  end\nend\n"),
               Exception);
}

TEST(IECache, PatternsSelectTheContainers) {
  WashHarness h;
  h.sim.cache.Add(EntryOf("http://page.example/", NormalCacheEntry));
  h.sim.cache.Add(EntryOf("Cookie:user@page.example/", CookieCacheEntry));
  h.sim.cache.Add(EntryOf("Visited: user@http://page.example/", UrlHistoryCacheEntry));

  h.ie->SearchPattern = TSearchPattern::spAll;
  EXPECT_THAT(Walk(*h.ie),
              ElementsAre("http://page.example/", "Cookie:user@page.example/", "Visited: user@http://page.example/"));
  EXPECT_EQ(h.sim.cache.Calls().front().Pattern, std::nullopt);

  h.sim.cache.ClearCalls();
  h.ie->SearchPattern = TSearchPattern::spUrl;
  EXPECT_THAT(Walk(*h.ie), ElementsAre("http://page.example/"));
  EXPECT_EQ(h.sim.cache.Calls().front().Pattern, std::optional<std::string>(""));

  h.ie->SearchPattern = TSearchPattern::spCookies;
  EXPECT_THAT(Walk(*h.ie), ElementsAre("Cookie:user@page.example/"));
  h.ie->SearchPattern = TSearchPattern::spHistory;
  EXPECT_THAT(Walk(*h.ie), ElementsAre("Visited: user@http://page.example/"));

  // Every call of a FindFirstEntry carries the same pattern, mask and group.
  h.sim.cache.ClearCalls();
  h.ie->FindFirstEntry(42);
  for (const SimCacheCall& call : h.CacheCalls(SimCacheCallKind::FindFirst)) {
    EXPECT_EQ(call.Pattern, std::optional<std::string>("Visited:"));
    EXPECT_EQ(call.Filter, SixKinds);
    EXPECT_EQ(call.Group, 42);
  }
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);
}

TEST(IECache, EachFetchIsASizeQueryThenABufferOfExactlyThatSize) {
  WashHarness h;
  const CacheEntryRecord first = EntryOf("http://first.example/", NormalCacheEntry);
  const CacheEntryRecord second = EntryOf("http://second.example/long/path", StickyCacheEntry);
  h.sim.cache.Add(first);
  h.sim.cache.Add(second);

  ASSERT_EQ(h.ie->FindFirstEntry(0), 0u);
  EXPECT_NE(h.ie->EnumHandle(), 0u);
  ASSERT_EQ(h.ie->FindNextEntry(), 0u);
  EXPECT_EQ(h.ie->EntryInfo().SourceUrlName, second.SourceUrlName);
  EXPECT_EQ(h.ie->FindNextEntry(), ErrorNoMoreItems);

  const auto& calls = h.sim.cache.Calls();
  ASSERT_EQ(calls.size(), 6u);
  const std::uint32_t sizes[] = {SimInternetCache::SizeNeeded(first), SimInternetCache::SizeNeeded(second)};
  for (int i : {0, 2}) {
    EXPECT_FALSE(calls[i].Buffer);
    EXPECT_EQ(calls[i].BufferSize, 0u);
    EXPECT_EQ(calls[i].Error, ErrorInsufficientBuffer);
    EXPECT_TRUE(calls[i + 1].Buffer);
    EXPECT_EQ(calls[i + 1].BufferSize, sizes[i / 2]);
    EXPECT_EQ(calls[i + 1].Error, 0u);
  }
  EXPECT_EQ(calls[3].Handle, h.ie->EnumHandle());
  // At the end both calls fail with 259 and no buffer is made.
  EXPECT_EQ(calls[4].Error, ErrorNoMoreItems);
  EXPECT_FALSE(calls[5].Buffer);
}

TEST(IECache, EntryInfoHoldsTheEntryInLocalTime) {
  WashHarness h;
  h.sim.cache.SetUtcBiasMinutes(120);
  CacheEntryRecord entry = EntryOf("http://x.example/a.gif", NormalCacheEntry | 0x00040000);
  entry.LocalFileName = "C:\\Cache\\a[1].gif";
  entry.UseCount = 5;
  entry.HitRate = 9;
  entry.SizeLow = 4096;
  entry.LastModifiedTime = FileTimeOf(2024, 12, 31, 23, 30, 15, 250);
  entry.ExpireTime = FileTimeOf(2030, 1, 1);
  entry.LastAccessTime = FileTimeOf(1899, 12, 29, 12);
  entry.LastSyncTime = 0x8000000000000000ULL;  // the system cannot convert it
  entry.HeaderInfo = std::string("Content-Type: image/gif\r\n\0garbage", 34);
  entry.FileExtension = "gif";
  entry.ExemptDelta = 600;
  h.sim.cache.Add(entry);
  CacheEntryRecord big = EntryOf("http://big.example/", NormalCacheEntry);
  big.SizeHigh = 1;
  big.SizeLow = 5;
  h.sim.cache.Add(big);

  ASSERT_EQ(h.ie->FindFirstEntry(0), 0u);
  const TEntryInfo& info = h.ie->EntryInfo();
  EXPECT_EQ(info.SourceUrlName, "http://x.example/a.gif");
  EXPECT_EQ(info.LocalFileName, "C:\\Cache\\a[1].gif");
  EXPECT_EQ(info.EntryType, 0x00040001u);
  EXPECT_EQ(info.UseCount, 5u);
  EXPECT_EQ(info.HitRate, 9u);
  EXPECT_EQ(info.Size, 4096u);
  EXPECT_DOUBLE_EQ(info.LastModifiedTime, EncodeDate(2025, 1, 1) + EncodeTime(1, 30, 15, 250));
  EXPECT_DOUBLE_EQ(info.ExpireTime, Local(2030, 1, 1, 2));
  // Before 30 December 1899 the fraction counts away from the date: day -1 at 14:00.
  EXPECT_DOUBLE_EQ(info.LastAccessTime, -1 - 14.0 / 24);
  EXPECT_EQ(info.LastSyncTime, 0);
  EXPECT_EQ(info.HeaderInfo, "Content-Type: image/gif\r\n");
  EXPECT_EQ(info.FileExtension, "gif");
  EXPECT_EQ(info.ExemptDelta, 600u);

  // 4 GiB and more do not fit: the size saturates rather than pass for a small one.
  ASSERT_EQ(h.ie->FindNextEntry(), 0u);
  EXPECT_EQ(h.ie->EntryInfo().Size, 0xFFFFFFFFu);
}

TEST(IECache, TimeAfterTheYear9999LeavesItAndTheLaterTimesAsTheyWere) {
  WashHarness h;
  const CacheEntryRecord first = EntryOf("http://first.example/", NormalCacheEntry);
  CacheEntryRecord second = EntryOf("http://second.example/", CookieCacheEntry);
  second.LastModifiedTime = FileTimeOf(2023, 3, 4, 5);
  second.ExpireTime = FileTimeOf(10000, 6, 1);
  second.LastAccessTime = FileTimeOf(2023, 3, 5);
  second.LastSyncTime = FileTimeOf(2023, 3, 6);
  second.SizeLow = 77;
  second.FileExtension = "txt";
  h.sim.cache.Add(first);
  h.sim.cache.Add(second);

  ASSERT_EQ(h.ie->FindFirstEntry(0), 0u);
  const TEntryInfo before = h.ie->EntryInfo();
  ASSERT_EQ(h.ie->FindNextEntry(), 0u);
  const TEntryInfo& info = h.ie->EntryInfo();
  EXPECT_EQ(info.SourceUrlName, "http://second.example/");
  EXPECT_DOUBLE_EQ(info.LastModifiedTime, Local(2023, 3, 4, 5));
  EXPECT_EQ(info.ExpireTime, before.ExpireTime);
  EXPECT_EQ(info.LastAccessTime, before.LastAccessTime);
  EXPECT_EQ(info.LastSyncTime, before.LastSyncTime);
  // The fields after the times are copied all the same.
  EXPECT_EQ(info.Size, 77u);
  EXPECT_EQ(info.FileExtension, "txt");
}

TEST(IECache, EmptySelectionFiresNothingDeletesNothingAndClosesTheNullHandle) {
  WashHarness h;
  h.sim.cache.Add(EntryOf("http://stable.example/", StableCacheEntry));

  EXPECT_EQ(h.ie->FindFirstEntry(0), ErrorNoMoreItems);
  EXPECT_EQ(h.ie->EnumHandle(), 0u);
  EXPECT_EQ(h.ie->EntryInfo(), TEntryInfo{});

  h.sim.cache.ClearCalls();
  EXPECT_THAT(Walk(*h.ie), IsEmpty());
  h.ie->DeleteAllEntries();
  EXPECT_THAT(h.CacheCalls(SimCacheCallKind::FindNext), IsEmpty());
  EXPECT_THAT(h.CacheCalls(SimCacheCallKind::Delete), IsEmpty());
  const auto closes = h.CacheCalls(SimCacheCallKind::FindClose);
  ASSERT_EQ(closes.size(), 2u);
  EXPECT_EQ(closes[0].Handle, 0u);
  EXPECT_EQ(closes[1].Handle, 0u);
  EXPECT_TRUE(h.sim.cache.Contains("http://stable.example/"));
}

TEST(IECache, HandlerCancellingOnTheFirstEntryEndsTheWalk) {
  WashHarness h;
  for (const char* url : {"http://a.example/", "http://b.example/", "http://c.example/"})
    h.sim.cache.Add(EntryOf(url, NormalCacheEntry));

  int events = 0;
  h.ie->OnEntry = [&](TComponent*, bool& cancel) {
    ++events;
    cancel = true;
  };
  h.ie->EnumerateEntries(0);
  EXPECT_EQ(events, 1);
  EXPECT_THAT(h.CacheCalls(SimCacheCallKind::FindNext), IsEmpty());
  const auto closes = h.CacheCalls(SimCacheCallKind::FindClose);
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(closes[0].Handle, h.ie->EnumHandle());
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);

  // The cancel flag is cleared by the next walk, which sees every entry.
  h.ie->OnEntry = nullptr;
  EXPECT_THAT(Walk(*h.ie), ElementsAre("http://a.example/", "http://b.example/", "http://c.example/"));
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);

  // A handler's error ends the walk too, and reaches the caller after the close.
  h.ie->OnEntry = [](TComponent*, bool&) { throw Exception("handler failed"); };
  EXPECT_THROW(h.ie->EnumerateEntries(0), Exception);
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);
}

TEST(IECache, DeleteAllEntriesDeletesEverySelectedEntryWithoutEvents) {
  WashHarness h;
  const std::pair<const char*, std::uint32_t> entries[] = {
      {"http://normal.example/", NormalCacheEntry},
      {"http://stable.example/", StableCacheEntry},
      {"http://sticky.example/", StickyCacheEntry},
      {"http://offline.example/", TrackOfflineCacheEntry},
      {"http://online.example/", TrackOnlineCacheEntry},
      {"http://sparse.example/", SparseCacheEntry},
      {"http://ocx.example/", OcxCacheEntry},
      {"Cookie:user@normal.example/", CookieCacheEntry},
      {"Visited: user@http://normal.example/", UrlHistoryCacheEntry},
  };
  for (const auto& [url, type] : entries) h.sim.cache.Add(EntryOf(url, type));
  int events = 0;
  h.ie->OnEntry = [&](TComponent*, bool&) { ++events; };

  h.ie->DeleteAllEntries();
  EXPECT_EQ(events, 0);
  EXPECT_THAT(h.sim.cache.Urls(),
              ElementsAre("http://stable.example/", "http://sparse.example/", "http://ocx.example/"));
  EXPECT_EQ(h.CacheCalls(SimCacheCallKind::Delete).size(), 6u);
  EXPECT_EQ(h.CacheCalls(SimCacheCallKind::FindFirst).front().Group, 0);
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);
  // The last deletion cleared EntryInfo.
  EXPECT_EQ(h.ie->EntryInfo(), TEntryInfo{});
}

TEST(IECache, DeleteEntryOfAnAbsentUrlReturnsTheSystemCodeAndKeepsEntryInfo) {
  WashHarness h;
  h.sim.cache.Add(EntryOf("http://here.example/", NormalCacheEntry));
  ASSERT_EQ(h.ie->FindFirstEntry(0), 0u);
  const TEntryInfo fetched = h.ie->EntryInfo();

  EXPECT_EQ(h.ie->DeleteEntry("http://elsewhere.example/"), ErrorFileNotFound);
  EXPECT_EQ(h.ie->EntryInfo(), fetched);

  EXPECT_EQ(h.ie->DeleteEntry("http://here.example/"), 0u);
  EXPECT_EQ(h.ie->EntryInfo(), TEntryInfo{});
  EXPECT_FALSE(h.sim.cache.Contains("http://here.example/"));
}

TEST(IECache, EntryGrowingBetweenTheTwoCallsFailsThatFetch) {
  WashHarness h;
  for (const char* url : {"http://a.example/", "http://b.example/", "http://c.example/"})
    h.sim.cache.Add(EntryOf(url, NormalCacheEntry));

  const std::uint32_t sizeOfA = SimInternetCache::SizeNeeded(EntryOf("http://a.example/", NormalCacheEntry));
  h.sim.cache.GrowAfterSizeQuery("http://a.example/", 16);
  EXPECT_EQ(h.ie->FindFirstEntry(0), ErrorInsufficientBuffer);
  EXPECT_EQ(h.ie->EnumHandle(), 0u);
  EXPECT_EQ(h.ie->EntryInfo(), TEntryInfo{});
  const auto firsts = h.CacheCalls(SimCacheCallKind::FindFirst);
  ASSERT_EQ(firsts.size(), 2u);  // no retry, no larger buffer
  EXPECT_EQ(firsts[1].BufferSize, sizeOfA);
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);

  // In a walk the next step fails and ends it; a later step starts with a fresh size query.
  ASSERT_EQ(h.ie->FindFirstEntry(0), 0u);
  h.sim.cache.GrowAfterSizeQuery("http://b.example/", 16);
  EXPECT_EQ(h.ie->FindNextEntry(), ErrorInsufficientBuffer);
  EXPECT_EQ(h.ie->EntryInfo().SourceUrlName, "http://a.example/");
  EXPECT_EQ(h.ie->FindNextEntry(), 0u);
  EXPECT_EQ(h.ie->EntryInfo().SourceUrlName, "http://b.example/");
  EXPECT_EQ(h.ie->EntryInfo().HeaderInfo.size(), EntryOf("", 1).HeaderInfo.size() + 16);
  h.sim.cache.FindClose(h.ie->EnumHandle());

  // Deleting everything gets over a grown entry by trying the step again.
  h.sim.cache.GrowAfterSizeQuery("http://c.example/", 16);
  h.ie->DeleteAllEntries();
  EXPECT_THAT(h.sim.cache.Urls(), IsEmpty());

  // So does a first entry that grew: the first step is tried again, not the whole wash given up.
  for (const char* url : {"http://a.example/", "http://b.example/"}) h.sim.cache.Add(EntryOf(url, NormalCacheEntry));
  h.sim.cache.GrowAfterSizeQuery("http://a.example/", 16);
  h.sim.cache.ClearCalls();
  h.ie->DeleteAllEntries();
  EXPECT_THAT(h.sim.cache.Urls(), IsEmpty());
  EXPECT_EQ(h.CacheCalls(SimCacheCallKind::FindFirst).size(), 4u);
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);
}

TEST(IECache, NextStepFailingForeverEndsDeleteAllEntriesAfterABoundedRun) {
  WashHarness h;
  for (const char* url : {"http://a.example/", "http://b.example/", "http://c.example/"})
    h.sim.cache.Add(EntryOf(url, NormalCacheEntry));
  h.sim.cache.FailCalls(SimCacheCallKind::FindNext, ErrorAccessDenied);

  h.ie->DeleteAllEntries();
  const int steps = TIECache::MaxFailedNextSteps;
  EXPECT_EQ(h.CacheCalls(SimCacheCallKind::FindNext).size(), 2u * steps);  // size query and fetch per step
  const auto deletes = h.CacheCalls(SimCacheCallKind::Delete);
  ASSERT_EQ(deletes.size(), static_cast<std::size_t>(steps));
  EXPECT_EQ(deletes[0].Url, "http://a.example/");
  EXPECT_EQ(deletes[1].Url, "");  // EntryInfo was cleared by the first deletion
  EXPECT_THAT(h.sim.cache.Urls(), ElementsAre("http://b.example/", "http://c.example/"));
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);

  // A walk ends at the first such failure.
  EXPECT_THAT(Walk(*h.ie), ElementsAre("http://b.example/"));
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);
}

TEST(IECache, OnlyAnUnbrokenRunOfFailedStepsEndsDeleteAllEntries) {
  WashHarness h;
  for (const char* url : {"http://a.example/", "http://b.example/", "http://c.example/"})
    h.sim.cache.Add(EntryOf(url, NormalCacheEntry));
  // Two runs one step short of the bound, with a good step between them.
  const int run = 2 * (TIECache::MaxFailedNextSteps - 1);  // calls: size query and fetch per step
  h.sim.cache.FailCalls(SimCacheCallKind::FindNext, ErrorAccessDenied, run);
  h.sim.cache.FailCalls(SimCacheCallKind::FindNext, ErrorAccessDenied, run, 2);

  h.ie->DeleteAllEntries();
  EXPECT_THAT(h.sim.cache.Urls(), IsEmpty());
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);
}

TEST(IECache, ErrorCopyingTheFirstEntryClosesTheEnumeration) {
  WashHarness h;
  for (const char* url : {"http://a.example/", "http://b.example/", "http://c.example/"})
    h.sim.cache.Add(EntryOf(url, NormalCacheEntry));

  h.cache.raiseOnTime = true;
  EXPECT_THROW(h.ie->FindFirstEntry(0), std::bad_alloc);
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);
  EXPECT_EQ(h.ie->EnumHandle(), 0u);
  EXPECT_THROW(h.ie->EnumerateEntries(0), std::bad_alloc);
  EXPECT_EQ(h.sim.cache.OpenEnumerations(), 0);

  // In the next step the error is not reported and the walk goes on.
  h.cache.raiseOnTime = false;
  ASSERT_EQ(h.ie->FindFirstEntry(0), 0u);
  h.cache.raiseOnTime = true;
  EXPECT_EQ(h.ie->FindNextEntry(), 0u);
  h.cache.raiseOnTime = false;
  EXPECT_EQ(h.ie->FindNextEntry(), 0u);
  EXPECT_EQ(h.ie->EntryInfo().SourceUrlName, "http://c.example/");
}

TEST(IECache, LibraryMissingAtStartIsProbedAgainOnEveryOperation) {
  WashHarness h;
  h.sim.cache.Add(EntryOf("http://a.example/", NormalCacheEntry));
  h.sim.cache.SetLibraryPresent(false);
  CacheLibrary library(h.cache);
  h.ie->SetCacheLibrary(&library);
  EXPECT_FALSE(library.FoundAtStart());

  EXPECT_FALSE(h.ie->LibraryFound());
  EXPECT_EQ(h.ie->FindFirstEntry(0), ErrorFileNotFound);
  EXPECT_EQ(h.ie->FindNextEntry(), ErrorFileNotFound);
  EXPECT_EQ(h.ie->DeleteEntry("http://a.example/"), 0u);
  h.ie->EnumerateEntries(0);
  h.ie->DeleteAllEntries();
  EXPECT_THAT(h.sim.cache.Calls(), IsEmpty());
  EXPECT_TRUE(h.sim.cache.Contains("http://a.example/"));

  // Found later: each operation finds it by a probe of its own, none is kept.
  h.sim.cache.SetLibraryPresent(true);
  const int probes = h.sim.cache.ProbeCount();
  EXPECT_TRUE(h.ie->LibraryFound());
  EXPECT_EQ(h.ie->FindFirstEntry(0), 0u);
  EXPECT_EQ(h.sim.cache.ProbeCount(), probes + 2);
  EXPECT_FALSE(library.FoundAtStart());
}

TEST(IECache, LibraryFoundAtStartIsNotProbedAgain) {
  WashHarness h;
  CacheLibrary library(h.cache);
  ASSERT_TRUE(library.FoundAtStart());
  h.ie->SetCacheLibrary(&library);
  h.sim.cache.SetLibraryPresent(false);  // a later probe would fail
  h.sim.cache.Add(EntryOf("http://a.example/", NormalCacheEntry));

  EXPECT_TRUE(h.ie->LibraryFound());
  h.ie->DeleteAllEntries();
  EXPECT_FALSE(h.sim.cache.Contains("http://a.example/"));
  EXPECT_EQ(h.sim.cache.ProbeCount(), 1);

  // Without the program's probe every operation probes.
  h.ie->SetCacheLibrary(nullptr);
  EXPECT_FALSE(h.ie->LibraryFound());
  EXPECT_EQ(h.ie->FindFirstEntry(0), ErrorFileNotFound);
  EXPECT_EQ(h.sim.cache.ProbeCount(), 3);

  // A probe that raises counts as not found, with or without the program's probe.
  h.sim.cache.SetLibraryPresent(true);
  h.cache.raiseOnProbe = true;
  EXPECT_FALSE(h.ie->LibraryFound());
  EXPECT_FALSE(CacheLibrary(h.cache).FoundAtStart());
}

}  // namespace
}  // namespace kelpo
