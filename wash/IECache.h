#pragma once
// TIECache walks the system's Internet URL cache and deletes entries from it,
// selecting them by kind (FilterOptions) and by a search pattern.
//
// Unlike the rest of the program this component reports failures as result
// codes, not exceptions: 0 for success, 2 when the cache library is
// unavailable, otherwise the system's error code of the failed cache call,
// 259 (no more items) when the selection holds no further entry.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "framework/Component.h"
#include "platform/InternetCache.h"
#include "platform/Types.h"

namespace kelpo {

class CacheLibrary;

// Entry kinds in ordinal order, which is not the order of their flags.
enum class TFilterOption {
  NORMAL_ENTRY,
  STABLE_ENTRY,
  STICKY_ENTRY,
  COOKIE_ENTRY,
  URLHISTORY_ENTRY,
  TRACK_OFFLINE_ENTRY,
  TRACK_ONLINE_ENTRY,
  SPARSE_ENTRY,
  OCX_ENTRY
};
constexpr int FilterOptionCount = 9;
template <>
struct EnumIdentifiers<TFilterOption> {
  using O = TFilterOption;
  static constexpr EnumName<O> Names[] = {{"NORMAL_ENTRY", O::NORMAL_ENTRY},
                                          {"STABLE_ENTRY", O::STABLE_ENTRY},
                                          {"STICKY_ENTRY", O::STICKY_ENTRY},
                                          {"COOKIE_ENTRY", O::COOKIE_ENTRY},
                                          {"URLHISTORY_ENTRY", O::URLHISTORY_ENTRY},
                                          {"TRACK_OFFLINE_ENTRY", O::TRACK_OFFLINE_ENTRY},
                                          {"TRACK_ONLINE_ENTRY", O::TRACK_ONLINE_ENTRY},
                                          {"SPARSE_ENTRY", O::SPARSE_ENTRY},
                                          {"OCX_ENTRY", O::OCX_ENTRY}};
};

// The cache's entry-type flag of a kind.
std::uint32_t FilterFlag(TFilterOption option);

// A set of entry kinds.
class TFilterOptions {
 public:
  constexpr TFilterOptions() = default;
  constexpr TFilterOptions(std::initializer_list<TFilterOption> options) {
    for (TFilterOption option : options) Include(option);
  }
  constexpr bool Contains(TFilterOption option) const { return (bits_ & Bit(option)) != 0; }
  constexpr void Include(TFilterOption option) { bits_ |= Bit(option); }
  constexpr void Exclude(TFilterOption option) { bits_ &= static_cast<std::uint16_t>(~Bit(option)); }
  constexpr bool Empty() const { return bits_ == 0; }
  bool operator==(const TFilterOptions&) const = default;

 private:
  static constexpr std::uint16_t Bit(TFilterOption option) {
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(option));
  }
  std::uint16_t bits_ = 0;
};

// Every kind but stable, sparse and OCX entries (filter value 0x00300035).
inline constexpr TFilterOptions DefaultFilterOptions{
    TFilterOption::NORMAL_ENTRY,     TFilterOption::STICKY_ENTRY,        TFilterOption::COOKIE_ENTRY,
    TFilterOption::URLHISTORY_ENTRY, TFilterOption::TRACK_OFFLINE_ENTRY, TFilterOption::TRACK_ONLINE_ENTRY};

enum class TSearchPattern { spAll, spCookies, spHistory, spUrl };
template <>
struct EnumIdentifiers<TSearchPattern> {
  using P = TSearchPattern;
  static constexpr EnumName<P> Names[] = {
      {"spAll", P::spAll}, {"spCookies", P::spCookies}, {"spHistory", P::spHistory}, {"spUrl", P::spUrl}};
};

// The pattern handed to the cache: none (a null pattern) for spAll, "Cookie:",
// "Visited:", and the empty text for spUrl.
std::optional<std::string> PatternOf(TSearchPattern pattern);

// The entry fetched last. Times are local date-time values.
struct TEntryInfo {
  std::string SourceUrlName;
  std::string LocalFileName;
  std::uint32_t EntryType = 0;
  std::uint32_t UseCount = 0;
  std::uint32_t HitRate = 0;
  // Bytes; 0xFFFFFFFF for an entry of 4 GiB or more, which 32 bits cannot hold.
  std::uint32_t Size = 0;
  TDateTime LastModifiedTime = 0;
  TDateTime ExpireTime = 0;
  TDateTime LastAccessTime = 0;
  TDateTime LastSyncTime = 0;
  std::string HeaderInfo;  // up to its first NUL
  std::string FileExtension;
  std::uint32_t ExemptDelta = 0;
  bool operator==(const TEntryInfo&) const = default;
};

using TOnEntryEvent = std::function<void(TComponent* sender, bool& cancel)>;

class TIECache : public TComponent {
 public:
  explicit TIECache(TComponent* owner);

  // The probe made at program start. Without one, every operation probes the library afresh.
  void SetCacheLibrary(CacheLibrary* library) { library_ = library; }

  const TFilterOptions& FilterOptions() const { return filterOptions_; }
  void SetFilterOptions(const TFilterOptions& options);
  // The sum (bitwise union) of the flags of the kinds in FilterOptions.
  std::uint32_t FilterValue() const { return filterValue_; }

  // Read and written directly; the next FindFirstEntry uses it.
  TSearchPattern SearchPattern = TSearchPattern::spAll;
  // Fired for each entry of EnumerateEntries; setting `cancel` ends the walk.
  TOnEntryEvent OnEntry;

  const TEntryInfo& EntryInfo() const { return entryInfo_; }
  // The enumeration opened last; not reset when it is closed.
  CacheEnumHandle EnumHandle() const { return enumHandle_; }
  bool LibraryFound() { return CheckCacheLibrary(); }

  // Opens an enumeration of the selection and fetches its first entry into
  // EntryInfo. `groupId` 0: no cache group.
  std::uint32_t FindFirstEntry(std::int64_t groupId);
  // Fetches the following entry of the enumeration FindFirstEntry opened.
  std::uint32_t FindNextEntry();
  // Walks the selection, firing OnEntry for each entry, and closes the enumeration.
  void EnumerateEntries(std::int64_t groupId);
  // Deletes every selected entry (no group, no events), and closes the
  // enumeration. A first step that fails for a buffer grown too small is
  // tried again, at most MaxFailedNextSteps times in all.
  void DeleteAllEntries();
  // On success EntryInfo is cleared.
  std::uint32_t DeleteEntry(const std::string& url);
  void ClearEntryInfo();

  // FilterOptions (a set of kinds) and SearchPattern.
  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

  // DeleteAllEntries stops once this many next steps in a row have failed
  // with a code other than 259, so that a cache that keeps failing cannot
  // hold the program forever.
  static constexpr int MaxFailedNextSteps = 8;

 private:
  bool CheckCacheLibrary();
  void UpdateFilterValue();
  // The operations without the library check.
  std::uint32_t FirstEntry(std::int64_t groupId);
  std::uint32_t NextEntry();
  std::uint32_t RemoveEntry(const std::string& url);
  void ResetEntryInfo();
  void CloseEnumeration();
  void CopyEntryInfo(const CacheEntryRecord& entry);
  // The local date-time value of a file time: 0 when the system cannot convert
  // it, nothing when it lies outside the years 1 to 9999.
  std::optional<TDateTime> FileTimeToLocalDateTime(FileTime time);
  InternetCache& Cache() const;

  CacheLibrary* library_ = nullptr;
  TFilterOptions filterOptions_;
  std::uint32_t filterValue_ = 0;
  CacheEnumHandle enumHandle_ = 0;
  bool cancel_ = false;
  TEntryInfo entryInfo_;
  // The record each fetch fills, kept so that its texts' storage serves the next entry.
  CacheEntryRecord fetched_;
};

// Makes TIECache known to the layout reader.
void RegisterWashComponents();

}  // namespace kelpo
