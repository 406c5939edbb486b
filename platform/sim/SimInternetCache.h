#pragma once
// The Internet URL cache in memory, with the contract of WinINet's
// enumeration functions:
// - entries live in three containers chosen by the URL's prefix: the content
//   container (prefix ""), "Cookie:" (cookies) and "Visited:" (history); a null
//   pattern enumerates all of them in that order, a pattern selects the
//   container whose prefix it equals exactly (as Wine compares it), any other
//   pattern selects nothing;
// - an entry is selected when its type shares a bit with the filter (a filter
//   of 0 selects nothing); no cache groups are kept, so a group other than 0
//   fails with 2;
// - a fetch with a null or too small buffer fails with 122 and reports the
//   size the entry needs; a failed fetch leaves the enumeration where it was;
//   nothing (more) selected fails with 259;
// - enumerations survive deletions: the next fetch continues after the entry
//   fetched last, whether or not it is still there;
// - deleting a URL that is not there fails with 2;
// - times convert to local time with a fixed bias; FileTimeToSystemTime's
//   limit (the top bit clear) applies.
// Each call costs about what it costs on Windows, whatever the cache holds
// (a lookup in ordered containers and a URL index), so that benchmarks of the
// code that walks the cache measure that code and not the simulation.
// Test hooks: the library reported missing, calls failing with a given code,
// an entry that grows between the size query and the fetch, and a record of
// every call with the buffer it was given.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/InternetCache.h"

namespace kelpo {

enum class SimCacheCallKind { FindFirst, FindNext, FindClose, Delete };

struct SimCacheCall {
  SimCacheCallKind Kind = SimCacheCallKind::FindFirst;
  std::optional<std::string> Pattern;  // FindFirst
  std::uint32_t Filter = 0;            // FindFirst
  std::int64_t Group = 0;              // FindFirst
  CacheEnumHandle Handle = 0;          // FindNext, FindClose; FindFirst: the handle returned
  bool Buffer = false;                 // FindFirst, FindNext: a buffer was given
  std::uint32_t BufferSize = 0;        // and its size in bytes
  std::string Url;                     // Delete; FindFirst, FindNext: the entry fetched
  std::uint32_t Error = 0;             // 0 on success
};

class SimInternetCache : public InternetCache {
 public:
  bool ProbeLibrary() override;
  CacheEnumHandle FindFirstEntry(const std::optional<std::string>& pattern, std::uint32_t filter, std::int64_t group,
                                 CacheEntryRecord* entry, std::uint32_t& size) override;
  bool FindNextEntry(CacheEnumHandle handle, CacheEntryRecord* entry, std::uint32_t& size) override;
  bool FindClose(CacheEnumHandle handle) override;
  bool DeleteEntry(const std::string& url) override;
  std::uint32_t LastError() override { return lastError_; }
  std::optional<LocalTime> FileTimeToLocal(FileTime time) override;

  // The bytes a buffer needs for this entry: the structure and its texts.
  static std::uint32_t SizeNeeded(const CacheEntryRecord& entry);

  // Adds an entry after the others of its container; an entry of the same URL is replaced.
  void Add(const CacheEntryRecord& entry);
  bool Contains(const std::string& url) const;
  std::vector<std::string> Urls() const;  // in enumeration order

  // While false, the probe fails (the library or a function missing).
  void SetLibraryPresent(bool present) { libraryPresent_ = present; }
  int ProbeCount() const { return probes_; }

  // Calls of this kind fail with `code` (and do nothing else): after `after`
  // more have gone through, the next `times` ones or, with -1, all of them.
  // Failures asked for earlier come first.
  void FailCalls(SimCacheCallKind kind, std::uint32_t code, int times = -1, int after = 0);
  // The next size query that reports the size of the entry of `url` makes
  // that entry grow by `bytes` (of header) right after it.
  void GrowAfterSizeQuery(const std::string& url, std::uint32_t bytes) { grow_ = Growth{url, bytes}; }
  // Local time = UTC + bias.
  void SetUtcBiasMinutes(int minutes) { biasMinutes_ = minutes; }

  const std::vector<SimCacheCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // While false, calls are not recorded (for benchmarks of many calls).
  void SetRecordingCalls(bool recording) { recording_ = recording; }
  // Enumerations opened and not yet closed.
  int OpenEnumerations() const { return static_cast<int>(enumerations_.size()); }

 private:
  static constexpr int ContainerCount = 3;
  // A container's entries by their order of addition, which is the enumeration order.
  using Container = std::map<std::uint64_t, CacheEntryRecord>;
  struct Place {
    int ContainerIndex;
    std::uint64_t Order;
  };
  struct Enumeration {
    CacheEnumHandle Handle;
    std::optional<std::string> Pattern;
    std::uint32_t Filter;
    int Container;        // container of the entry fetched last
    std::uint64_t After;  // Order of the entry fetched last (0: none yet)
  };
  struct Growth {
    std::string Url;
    std::uint32_t Bytes;
  };
  struct Failure {
    SimCacheCallKind Kind;
    std::uint32_t Code;
    int Times;
    int After;
  };

  // The next selected entry after the enumeration's position, or the end of its container.
  Container::iterator NextSelected(const Enumeration& e, int& container);
  // The fetch shared by FindFirst and FindNext; false with lastError_ set.
  bool Fetch(Enumeration& e, CacheEntryRecord* entry, std::uint32_t& size, SimCacheCall* call);
  bool Failing(SimCacheCallKind kind);
  Enumeration* Find(CacheEnumHandle handle);
  // A new record of a call, or null while calls are not recorded.
  SimCacheCall* Record(SimCacheCallKind kind);

  Container containers_[ContainerCount];
  std::unordered_map<std::string, Place> places_;  // every entry's place, by URL
  std::vector<Enumeration> enumerations_;
  std::vector<Failure> failures_;
  std::vector<SimCacheCall> calls_;
  bool recording_ = true;
  std::uint64_t nextOrder_ = 1;
  CacheEnumHandle nextHandle_ = 0x100;
  std::uint32_t lastError_ = 0;
  bool libraryPresent_ = true;
  int probes_ = 0;
  std::optional<Growth> grow_;
  int biasMinutes_ = 0;
};

}  // namespace kelpo
