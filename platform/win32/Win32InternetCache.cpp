#include "platform/win32/Win32InternetCache.h"

#include <limits>

#include "platform/win32/Win32Api.h"
// Win32Api.h first
#include <wininet.h>

namespace kelpo {
namespace {

FileTime FromFileTime(const FILETIME& time) {
  return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Fills `record` in place, so that its texts keep their storage from one entry to the next.
void Decode(const INTERNET_CACHE_ENTRY_INFOA& info, CacheEntryRecord& record) {
  const auto text = [](std::string& field, const char* value) {
    if (value)
      field.assign(value);
    else
      field.clear();
  };
  text(record.SourceUrlName, info.lpszSourceUrlName);
  text(record.LocalFileName, info.lpszLocalFileName);
  record.CacheEntryType = info.CacheEntryType;
  record.UseCount = info.dwUseCount;
  record.HitRate = info.dwHitRate;
  record.SizeLow = info.dwSizeLow;
  record.SizeHigh = info.dwSizeHigh;
  record.LastModifiedTime = FromFileTime(info.LastModifiedTime);
  record.ExpireTime = FromFileTime(info.ExpireTime);
  record.LastAccessTime = FromFileTime(info.LastAccessTime);
  record.LastSyncTime = FromFileTime(info.LastSyncTime);
  if (info.lpHeaderInfo)
    record.HeaderInfo.assign(info.lpHeaderInfo, info.dwHeaderInfoSize);
  else
    record.HeaderInfo.clear();
  text(record.FileExtension, info.lpszFileExtension);
  record.ExemptDelta = info.dwExemptDelta;
}

// What FileTimeToLocalFileTime adds to a UTC file time now.
std::optional<std::int64_t> ReadBias() {
  FILETIME utc;
  GetSystemTimeAsFileTime(&utc);
  FILETIME local;
  if (!FileTimeToLocalFileTime(&utc, &local)) return std::nullopt;
  return static_cast<std::int64_t>(FromFileTime(local) - FromFileTime(utc));
}

}  // namespace

bool Win32InternetCache::ProbeLibrary() {
  // The library stays loaded: the program links it anyway.
  HMODULE library = LoadLibraryA("wininet.dll");
  if (!library) return false;
  for (const char* name : {"FindFirstUrlCacheGroup", "FindNextUrlCacheGroup", "GetUrlCacheGroupAttributeA",
                           "SetUrlCacheGroupAttributeA", "FindFirstUrlCacheEntryExA"}) {
    if (!GetProcAddress(library, name)) return false;
  }
  return true;
}

void* Win32InternetCache::Buffer(const CacheEntryRecord* entry, std::uint32_t size) {
  if (!entry || size == 0) return nullptr;
  if (size > capacity_) {
    const std::size_t words = (static_cast<std::size_t>(size) + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);
    buffer_ = std::make_unique_for_overwrite<std::uint64_t[]>(words);
    capacity_ = static_cast<std::uint32_t>(words * sizeof(std::uint64_t));
  }
  return buffer_.get();
}

CacheEnumHandle Win32InternetCache::FindFirstEntry(const std::optional<std::string>& pattern, std::uint32_t filter,
                                                   std::int64_t group, CacheEntryRecord* entry, std::uint32_t& size) {
  auto* buffer = static_cast<INTERNET_CACHE_ENTRY_INFOA*>(Buffer(entry, size));
  // The call gets exactly the size asked for, whatever the buffer's capacity.
  DWORD length = buffer ? size : 0;
  HANDLE handle = FindFirstUrlCacheEntryExA(pattern ? pattern->c_str() : nullptr, 0, filter, group, buffer, &length,
                                            nullptr, nullptr, nullptr);
  // The decode may allocate; the call's error must survive it.
  const DWORD error = GetLastError();
  size = length;
  if (handle) bias_ = ReadBias();
  if (handle && buffer) Decode(*buffer, *entry);
  SetLastError(error);
  return reinterpret_cast<CacheEnumHandle>(handle);
}

bool Win32InternetCache::FindNextEntry(CacheEnumHandle handle, CacheEntryRecord* entry, std::uint32_t& size) {
  auto* buffer = static_cast<INTERNET_CACHE_ENTRY_INFOA*>(Buffer(entry, size));
  DWORD length = buffer ? size : 0;
  const BOOL found =
      FindNextUrlCacheEntryExA(reinterpret_cast<HANDLE>(handle), buffer, &length, nullptr, nullptr, nullptr);
  const DWORD error = GetLastError();
  size = length;
  if (found && buffer) Decode(*buffer, *entry);
  SetLastError(error);
  return found != FALSE;
}

bool Win32InternetCache::FindClose(CacheEnumHandle handle) {
  bias_.reset();
  buffer_.reset();
  capacity_ = 0;
  return FindCloseUrlCache(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

bool Win32InternetCache::DeleteEntry(const std::string& url) {
  return DeleteUrlCacheEntryA(url.c_str()) != FALSE;
}

std::uint32_t Win32InternetCache::LastError() {
  return GetLastError();
}

std::optional<LocalTime> Win32InternetCache::FileTimeToLocal(FileTime time) {
  const std::optional<std::int64_t> bias = bias_ ? bias_ : ReadBias();
  // A local time outside 0 to 2^63 - 1 ticks is one FileTimeToSystemTime rejects
  // (the simulation converts alike); the checks keep the sum from wrapping around.
  constexpr auto Max = std::numeric_limits<std::int64_t>::max();
  if (!bias || time > static_cast<FileTime>(Max)) return std::nullopt;
  const auto utc = static_cast<std::int64_t>(time);
  if ((*bias > 0 && utc > Max - *bias) || utc + *bias < 0) return std::nullopt;
  const auto ticks = static_cast<FileTime>(utc + *bias);
  const FILETIME local{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME fields;
  if (!FileTimeToSystemTime(&local, &fields)) return std::nullopt;
  return LocalTime{fields.wYear,   fields.wMonth,  fields.wDay,         fields.wHour,
                   fields.wMinute, fields.wSecond, fields.wMilliseconds};
}

}  // namespace kelpo
