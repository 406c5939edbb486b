#pragma once
// The system's Internet URL cache ("wininet.dll"): the library probe, the
// enumeration of entries with the two-call size protocol, deletion, and the
// conversion of an entry's times to local calendar fields.
// Windows: LoadLibraryA/GetProcAddress, FindFirstUrlCacheEntryExA,
// FindNextUrlCacheEntryExA, FindCloseUrlCache, DeleteUrlCacheEntryA,
// GetLastError, FileTimeToLocalFileTime + FileTimeToSystemTime.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Clock.h"

namespace kelpo {

// An open enumeration; 0 is the null handle.
using CacheEnumHandle = std::uintptr_t;

// A FILETIME: 100-nanosecond intervals since 1 January 1601 (UTC).
using FileTime = std::uint64_t;

// Entry types (Windows values), as a filter mask and in an entry's type.
constexpr std::uint32_t NormalCacheEntry = 0x00000001;
constexpr std::uint32_t StableCacheEntry = 0x00000002;
constexpr std::uint32_t StickyCacheEntry = 0x00000004;
constexpr std::uint32_t TrackOfflineCacheEntry = 0x00000010;
constexpr std::uint32_t TrackOnlineCacheEntry = 0x00000020;
constexpr std::uint32_t SparseCacheEntry = 0x00010000;
constexpr std::uint32_t OcxCacheEntry = 0x00020000;
constexpr std::uint32_t CookieCacheEntry = 0x00100000;
constexpr std::uint32_t UrlHistoryCacheEntry = 0x00200000;

// System error codes the cache reports.
constexpr std::uint32_t ErrorFileNotFound = 2;
constexpr std::uint32_t ErrorAccessDenied = 5;
constexpr std::uint32_t ErrorInvalidHandle = 6;
constexpr std::uint32_t ErrorInsufficientBuffer = 122;
constexpr std::uint32_t ErrorNoMoreItems = 259;

// One entry as INTERNET_CACHE_ENTRY_INFOA holds it, decoded from the buffer.
struct CacheEntryRecord {
  std::string SourceUrlName;
  std::string LocalFileName;
  std::uint32_t CacheEntryType = 0;
  std::uint32_t UseCount = 0;
  std::uint32_t HitRate = 0;
  std::uint32_t SizeLow = 0;
  std::uint32_t SizeHigh = 0;
  FileTime LastModifiedTime = 0;
  FileTime ExpireTime = 0;
  FileTime LastAccessTime = 0;
  FileTime LastSyncTime = 0;
  std::string HeaderInfo;  // all dwHeaderInfoSize bytes, NULs included
  std::string FileExtension;
  std::uint32_t ExemptDelta = 0;
  bool operator==(const CacheEntryRecord&) const = default;
};

class InternetCache {
 public:
  virtual ~InternetCache() = default;

  // Loads "wininet.dll" (never released) and looks up "FindFirstUrlCacheGroup",
  // "FindNextUrlCacheGroup", "GetUrlCacheGroupAttributeA",
  // "SetUrlCacheGroupAttributeA" and "FindFirstUrlCacheEntryExA", in this order.
  // False when the library or any of them is missing.
  virtual bool ProbeLibrary() = 0;

  // Opens an enumeration of the entries whose type shares a bit with `filter`,
  // in cache group `group` (0: every group), and fetches the first one.
  // `pattern`: nullopt is the null pattern (every container); otherwise the
  // container's prefix ("Cookie:", "Visited:", "" for the content container).
  // `entry`: null for a null buffer (of size 0); otherwise the call gets a
  // buffer of exactly `size` bytes and, on success, its decoded entry. `size` is
  // then set to the bytes the entry needs. Returns 0 on failure (see LastError): 122 for a null
  // or too small buffer, 259 when nothing is selected.
  virtual CacheEnumHandle FindFirstEntry(const std::optional<std::string>& pattern, std::uint32_t filter,
                                         std::int64_t group, CacheEntryRecord* entry, std::uint32_t& size) = 0;
  // Fetches the following entry of an enumeration, with the same buffer
  // protocol; 259 at the end. A failed fetch does not move the enumeration on.
  virtual bool FindNextEntry(CacheEnumHandle handle, CacheEntryRecord* entry, std::uint32_t& size) = 0;
  virtual bool FindClose(CacheEnumHandle handle) = 0;
  virtual bool DeleteEntry(const std::string& url) = 0;
  // The error code of the last failed call.
  virtual std::uint32_t LastError() = 0;

  // The UTC file time as local calendar fields (years 1601 to 30827), or
  // nothing when either conversion fails or the local time would lie outside
  // 0 to 2^63 - 1 ticks. While an enumeration is open, the local time bias may
  // be the one read when it opened.
  virtual std::optional<LocalTime> FileTimeToLocal(FileTime time) = 0;
};

}  // namespace kelpo
