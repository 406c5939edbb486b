#include "wash/IECache.h"

#include <limits>
#include <utility>

#include "base/Exception.h"
#include "base/ScopeGuard.h"
#include "framework/Application.h"
#include "framework/ComponentRegistry.h"
#include "settings/DateTime.h"
#include "wash/CacheLibrary.h"

namespace kelpo {
namespace {

struct FilterOptionFlag {
  TFilterOption Option;
  std::uint32_t Flag;
};

// In ordinal order.
constexpr FilterOptionFlag FilterOptionFlags[FilterOptionCount] = {
    {TFilterOption::NORMAL_ENTRY, NormalCacheEntry},
    {TFilterOption::STABLE_ENTRY, StableCacheEntry},
    {TFilterOption::STICKY_ENTRY, StickyCacheEntry},
    {TFilterOption::COOKIE_ENTRY, CookieCacheEntry},
    {TFilterOption::URLHISTORY_ENTRY, UrlHistoryCacheEntry},
    {TFilterOption::TRACK_OFFLINE_ENTRY, TrackOfflineCacheEntry},
    {TFilterOption::TRACK_ONLINE_ENTRY, TrackOnlineCacheEntry},
    {TFilterOption::SPARSE_ENTRY, SparseCacheEntry},
    {TFilterOption::OCX_ENTRY, OcxCacheEntry},
};

// Entries of 4 GiB or more saturate, so that they never pass for small ones.
std::uint32_t SizeOf(const CacheEntryRecord& entry) {
  return entry.SizeHigh != 0 ? std::numeric_limits<std::uint32_t>::max() : entry.SizeLow;
}

}  // namespace

std::uint32_t FilterFlag(TFilterOption option) {
  return FilterOptionFlags[static_cast<int>(option)].Flag;
}

std::optional<std::string> PatternOf(TSearchPattern pattern) {
  switch (pattern) {
    case TSearchPattern::spAll:
      return std::nullopt;
    case TSearchPattern::spCookies:
      return "Cookie:";
    case TSearchPattern::spHistory:
      return "Visited:";
    case TSearchPattern::spUrl:
      return "";
  }
  return std::nullopt;
}

TIECache::TIECache(TComponent* owner) : TComponent(owner) {
  SetFilterOptions(DefaultFilterOptions);
}

InternetCache& TIECache::Cache() const {
  return Application().Services().cache;
}

bool TIECache::CheckCacheLibrary() {
  return library_ ? library_->Check() : ProbeCacheLibrary(Cache());
}

void TIECache::SetFilterOptions(const TFilterOptions& options) {
  filterOptions_ = options;
  UpdateFilterValue();
}

void TIECache::UpdateFilterValue() {
  filterValue_ = 0;
  if (filterOptions_.Empty()) return;
  for (const FilterOptionFlag& kind : FilterOptionFlags) {
    if (filterOptions_.Contains(kind.Option)) filterValue_ += kind.Flag;
  }
}

std::uint32_t TIECache::FindFirstEntry(std::int64_t groupId) {
  if (!CheckCacheLibrary()) return ErrorFileNotFound;
  return FirstEntry(groupId);
}

std::uint32_t TIECache::FindNextEntry() {
  if (!CheckCacheLibrary()) return ErrorFileNotFound;
  return NextEntry();
}

std::uint32_t TIECache::DeleteEntry(const std::string& url) {
  if (!CheckCacheLibrary()) return 0;
  return RemoveEntry(url);
}

void TIECache::ClearEntryInfo() {
  if (CheckCacheLibrary()) ResetEntryInfo();
}

void TIECache::ResetEntryInfo() {
  // The texts keep their storage for the next entry: a wash copies one entry after another.
  entryInfo_.SourceUrlName.clear();
  entryInfo_.LocalFileName.clear();
  entryInfo_.HeaderInfo.clear();
  entryInfo_.FileExtension.clear();
  entryInfo_.EntryType = entryInfo_.UseCount = entryInfo_.HitRate = entryInfo_.Size = entryInfo_.ExemptDelta = 0;
  entryInfo_.LastModifiedTime = entryInfo_.ExpireTime = entryInfo_.LastAccessTime = entryInfo_.LastSyncTime = 0;
}

std::uint32_t TIECache::FirstEntry(std::int64_t groupId) {
  InternetCache& cache = Cache();
  enumHandle_ = 0;
  const std::optional<std::string> pattern = PatternOf(SearchPattern);
  // The size query: with no buffer the call fails and reports the size the first entry needs.
  std::uint32_t size = 0;
  cache.FindFirstEntry(pattern, filterValue_, groupId, nullptr, size);
  enumHandle_ = cache.FindFirstEntry(pattern, filterValue_, groupId, size != 0 ? &fetched_ : nullptr, size);
  if (!enumHandle_) return cache.LastError();
  try {
    CopyEntryInfo(fetched_);
  } catch (...) {
    // The error reaches the caller, who never learns of the enumeration: close it here.
    cache.FindClose(enumHandle_);
    enumHandle_ = 0;
    throw;
  }
  return 0;
}

std::uint32_t TIECache::NextEntry() {
  InternetCache& cache = Cache();
  std::uint32_t size = 0;
  cache.FindNextEntry(enumHandle_, nullptr, size);
  std::uint32_t result = 0;
  try {
    if (cache.FindNextEntry(enumHandle_, size != 0 ? &fetched_ : nullptr, size)) {
      CopyEntryInfo(fetched_);
    } else {
      result = cache.LastError();
    }
  } catch (const std::exception&) {
    // An error while fetching or copying an entry is not reported; the result stays 0.
  }
  return result;
}

std::uint32_t TIECache::RemoveEntry(const std::string& url) {
  InternetCache& cache = Cache();
  if (!cache.DeleteEntry(url)) return cache.LastError();
  ResetEntryInfo();
  return 0;
}

void TIECache::CloseEnumeration() {
  Cache().FindClose(enumHandle_);
}

void TIECache::EnumerateEntries(std::int64_t groupId) {
  if (!CheckCacheLibrary()) return;
  ScopeGuard closer([this] { CloseEnumeration(); });
  cancel_ = false;
  std::uint32_t result = FirstEntry(groupId);
  if (result == 0 && OnEntry) OnEntry(this, cancel_);
  while (result == 0 && !cancel_) {
    result = NextEntry();
    if (result == 0 && OnEntry) OnEntry(this, cancel_);
  }
}

void TIECache::DeleteAllEntries() {
  if (!CheckCacheLibrary()) return;
  ScopeGuard closer([this] { CloseEnumeration(); });
  // A first entry that grew between the size query and the fetch fails the
  // first step; that step is tried again with a fresh size query, as a failed
  // next step is, instead of leaving the whole cache unwashed.
  std::uint32_t first = FirstEntry(0);
  for (int tries = 1; first == ErrorInsufficientBuffer && tries < MaxFailedNextSteps; ++tries) first = FirstEntry(0);
  if (first != 0) return;
  int failedNextSteps = 0;
  while (failedNextSteps < MaxFailedNextSteps) {
    // After a successful deletion EntryInfo is empty; a failed next step then
    // retries on the empty name, which fails harmlessly. The name is cleared
    // only once the cache has done with it.
    RemoveEntry(entryInfo_.SourceUrlName);
    const std::uint32_t result = NextEntry();
    if (result == ErrorNoMoreItems) break;
    failedNextSteps = result == 0 ? 0 : failedNextSteps + 1;
  }
}

std::optional<TDateTime> TIECache::FileTimeToLocalDateTime(FileTime time) {
  const std::optional<LocalTime> local = Cache().FileTimeToLocal(time);
  if (!local) return 0.0;
  const std::optional<TDateTime> date = TryEncodeDate(local->Year, local->Month, local->Day);
  const std::optional<TDateTime> timeOfDay =
      TryEncodeTime(local->Hour, local->Minute, local->Second, local->Millisecond);
  if (!date || !timeOfDay) return std::nullopt;
  // Before 30 December 1899 the integer part is still the date and the fraction's magnitude the time.
  return *date >= 0 ? *date + *timeOfDay : *date - *timeOfDay;
}

void TIECache::CopyEntryInfo(const CacheEntryRecord& entry) {
  entryInfo_.SourceUrlName = entry.SourceUrlName;
  entryInfo_.LocalFileName = entry.LocalFileName;
  entryInfo_.EntryType = entry.CacheEntryType;
  entryInfo_.UseCount = entry.UseCount;
  entryInfo_.HitRate = entry.HitRate;
  // One guard for the four times: the first that cannot be encoded leaves
  // itself and the ones after it at their previous values.
  const std::pair<FileTime, TDateTime*> times[] = {{entry.LastModifiedTime, &entryInfo_.LastModifiedTime},
                                                   {entry.ExpireTime, &entryInfo_.ExpireTime},
                                                   {entry.LastAccessTime, &entryInfo_.LastAccessTime},
                                                   {entry.LastSyncTime, &entryInfo_.LastSyncTime}};
  for (const auto& [time, field] : times) {
    const std::optional<TDateTime> value = FileTimeToLocalDateTime(time);
    if (!value) break;
    *field = *value;
  }
  entryInfo_.FileExtension = entry.FileExtension;
  entryInfo_.Size = SizeOf(entry);
  entryInfo_.HeaderInfo.assign(entry.HeaderInfo, 0, entry.HeaderInfo.find('\0'));
  entryInfo_.ExemptDelta = entry.ExemptDelta;
}

const PropertyTable& TIECache::StaticProperties() {
  const auto readOptions = [](const PropertyReading& reading) {
    TFilterOptions options;
    for (TFilterOption option : LayoutEnumSet<TFilterOption>(reading)) options.Include(option);
    return options;
  };
  static const PropertyTable table(TComponent::StaticProperties(),
                                   {
                                       Property("FilterOptions", &TIECache::FilterOptions, &TIECache::SetFilterOptions,
                                                DefaultFilterOptions, +readOptions),
                                       Property("SearchPattern", &TIECache::SearchPattern, TSearchPattern::spAll),
                                   });
  return table;
}

void RegisterWashComponents() {
  ComponentRegistry::Instance().Register<TIECache>("TIECache");
}

}  // namespace kelpo
