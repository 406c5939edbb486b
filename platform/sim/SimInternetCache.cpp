#include "platform/sim/SimInternetCache.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "base/Calendar.h"

namespace kelpo {
namespace {

// INTERNET_CACHE_ENTRY_INFOA in a 64-bit process.
constexpr std::uint32_t RecordStructSize = 112;

constexpr const char* ContainerPrefixes[] = {"", "Cookie:", "Visited:"};

int ContainerOf(const std::string& url) {
  for (int c = static_cast<int>(std::size(ContainerPrefixes)) - 1; c > 0; --c) {
    if (url.starts_with(ContainerPrefixes[c])) return c;
  }
  return 0;
}

// The container a pattern selects first; nothing for a pattern that matches no container.
std::optional<int> FirstContainer(const std::optional<std::string>& pattern) {
  if (!pattern) return 0;
  for (int c = 0; c < static_cast<int>(std::size(ContainerPrefixes)); ++c) {
    if (*pattern == ContainerPrefixes[c]) return c;
  }
  return std::nullopt;
}

constexpr std::int64_t TicksPerMillisecond = 10000;
constexpr std::int64_t TicksPerDay = MillisecondsPerDay * TicksPerMillisecond;
constexpr std::int64_t DaysFrom1601To1970 = -DaysFromCivil(1601, 1, 1);

}  // namespace

bool SimInternetCache::ProbeLibrary() {
  ++probes_;
  return libraryPresent_;
}

std::uint32_t SimInternetCache::SizeNeeded(const CacheEntryRecord& entry) {
  const std::size_t texts = entry.SourceUrlName.size() + 1 + entry.LocalFileName.size() + 1 + entry.HeaderInfo.size() +
                            entry.FileExtension.size() + 1;
  return RecordStructSize + static_cast<std::uint32_t>(texts);
}

void SimInternetCache::Add(const CacheEntryRecord& entry) {
  const auto [place, added] = places_.try_emplace(entry.SourceUrlName, Place{ContainerOf(entry.SourceUrlName), 0});
  if (added) place->second.Order = nextOrder_++;
  containers_[place->second.ContainerIndex][place->second.Order] = entry;
}

bool SimInternetCache::Contains(const std::string& url) const {
  return places_.contains(url);
}

std::vector<std::string> SimInternetCache::Urls() const {
  std::vector<std::string> urls;
  for (const Container& container : containers_) {
    for (const auto& [order, entry] : container) urls.push_back(entry.SourceUrlName);
  }
  return urls;
}

void SimInternetCache::FailCalls(SimCacheCallKind kind, std::uint32_t code, int times, int after) {
  failures_.push_back(Failure{kind, code, times, after});
}

bool SimInternetCache::Failing(SimCacheCallKind kind) {
  for (Failure& failure : failures_) {
    if (failure.Kind != kind || failure.Times == 0) continue;
    if (failure.After > 0) {
      --failure.After;
      return false;
    }
    if (failure.Times > 0) --failure.Times;
    lastError_ = failure.Code;
    return true;
  }
  return false;
}

SimInternetCache::Enumeration* SimInternetCache::Find(CacheEnumHandle handle) {
  for (Enumeration& e : enumerations_) {
    if (e.Handle == handle) return &e;
  }
  return nullptr;
}

SimInternetCache::Container::iterator SimInternetCache::NextSelected(const Enumeration& e, int& container) {
  static_assert(std::size(ContainerPrefixes) == ContainerCount);
  const int last = e.Pattern ? e.Container : ContainerCount - 1;
  for (container = e.Container; container <= last; ++container) {
    Container& entries = containers_[container];
    auto it = container == e.Container ? entries.upper_bound(e.After) : entries.begin();
    for (; it != entries.end(); ++it) {
      if ((it->second.CacheEntryType & e.Filter) != 0) return it;
    }
  }
  container = last;
  return containers_[last].end();
}

bool SimInternetCache::Fetch(Enumeration& e, CacheEntryRecord* entry, std::uint32_t& size, SimCacheCall* call) {
  int container = 0;
  const auto next = NextSelected(e, container);
  if (next == containers_[container].end()) {
    lastError_ = ErrorNoMoreItems;
    return false;
  }
  CacheEntryRecord& stored = next->second;
  const std::uint32_t needed = SizeNeeded(stored);
  const std::uint32_t capacity = entry ? size : 0;
  size = needed;
  if (capacity < needed) {
    lastError_ = ErrorInsufficientBuffer;
    if (grow_ && grow_->Url == stored.SourceUrlName) {
      stored.HeaderInfo.append(grow_->Bytes, 'x');
      grow_.reset();
    }
    return false;
  }
  *entry = stored;
  if (call) call->Url = stored.SourceUrlName;
  e.Container = container;
  e.After = next->first;
  return true;
}

SimCacheCall* SimInternetCache::Record(SimCacheCallKind kind) {
  if (!recording_) return nullptr;
  SimCacheCall& call = calls_.emplace_back();
  call.Kind = kind;
  return &call;
}

CacheEnumHandle SimInternetCache::FindFirstEntry(const std::optional<std::string>& pattern, std::uint32_t filter,
                                                 std::int64_t group, CacheEntryRecord* entry, std::uint32_t& size) {
  SimCacheCall* call = Record(SimCacheCallKind::FindFirst);
  if (call) {
    call->Pattern = pattern;
    call->Filter = filter;
    call->Group = group;
    call->Buffer = entry != nullptr;
    call->BufferSize = size;
  }

  const auto fail = [&](std::uint32_t code) {
    lastError_ = code;
    if (call) call->Error = code;
    return CacheEnumHandle{0};
  };
  if (Failing(SimCacheCallKind::FindFirst)) return fail(lastError_);
  if (group != 0) return fail(ErrorFileNotFound);
  const std::optional<int> container = FirstContainer(pattern);
  if (!container) return fail(ErrorNoMoreItems);

  Enumeration e{0, pattern, filter, *container, 0};
  if (!Fetch(e, entry, size, call)) return fail(lastError_);
  e.Handle = nextHandle_++;
  enumerations_.push_back(e);
  if (call) call->Handle = e.Handle;
  return e.Handle;
}

bool SimInternetCache::FindNextEntry(CacheEnumHandle handle, CacheEntryRecord* entry, std::uint32_t& size) {
  SimCacheCall* call = Record(SimCacheCallKind::FindNext);
  if (call) {
    call->Handle = handle;
    call->Buffer = entry != nullptr;
    call->BufferSize = size;
  }

  if (!Failing(SimCacheCallKind::FindNext)) {
    Enumeration* e = Find(handle);
    if (!e) {
      lastError_ = ErrorInvalidHandle;
    } else if (Fetch(*e, entry, size, call)) {
      return true;
    }
  }
  if (call) call->Error = lastError_;
  return false;
}

bool SimInternetCache::FindClose(CacheEnumHandle handle) {
  SimCacheCall* call = Record(SimCacheCallKind::FindClose);
  if (call) call->Handle = handle;
  if (!Failing(SimCacheCallKind::FindClose)) {
    const auto it = std::find_if(enumerations_.begin(), enumerations_.end(),
                                 [&](const Enumeration& e) { return e.Handle == handle; });
    if (it != enumerations_.end()) {
      enumerations_.erase(it);
      return true;
    }
    lastError_ = ErrorInvalidHandle;
  }
  if (call) call->Error = lastError_;
  return false;
}

bool SimInternetCache::DeleteEntry(const std::string& url) {
  SimCacheCall* call = Record(SimCacheCallKind::Delete);
  if (call) call->Url = url;
  if (!Failing(SimCacheCallKind::Delete)) {
    const auto place = places_.find(url);
    if (place != places_.end()) {
      containers_[place->second.ContainerIndex].erase(place->second.Order);
      places_.erase(place);
      return true;
    }
    lastError_ = ErrorFileNotFound;
  }
  if (call) call->Error = lastError_;
  return false;
}

std::optional<LocalTime> SimInternetCache::FileTimeToLocal(FileTime time) {
  constexpr auto Max = static_cast<FileTime>(std::numeric_limits<std::int64_t>::max());
  if (time > Max) return std::nullopt;
  const std::int64_t bias = static_cast<std::int64_t>(biasMinutes_) * 60000 * TicksPerMillisecond;
  const auto utc = static_cast<std::int64_t>(time);
  if ((bias > 0 && utc > std::numeric_limits<std::int64_t>::max() - bias) || utc + bias < 0) return std::nullopt;
  const std::int64_t local = utc + bias;

  LocalTime fields;
  const CivilDate date = CivilFromDays(local / TicksPerDay - DaysFrom1601To1970);
  fields.Year = date.Year;
  fields.Month = date.Month;
  fields.Day = date.Day;
  std::int64_t ms = (local % TicksPerDay) / TicksPerMillisecond;
  fields.Millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  fields.Second = static_cast<int>(ms % 60);
  ms /= 60;
  fields.Minute = static_cast<int>(ms % 60);
  fields.Hour = static_cast<int>(ms / 60);
  return fields;
}

}  // namespace kelpo
