#include "platform/win32/Win32InternetCache.h"

#include <cstddef>
#include <memory>

#include "platform/win32/Win32Api.h"
// Win32Api.h first
#include <wininet.h>

namespace kelpo {
namespace {

FileTime FromFileTime(const FILETIME& time) {
  return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string Text(const char* text) {
  return text ? std::string(text) : std::string();
}

CacheEntryRecord Decode(const INTERNET_CACHE_ENTRY_INFOA& info) {
  CacheEntryRecord record;
  record.SourceUrlName = Text(info.lpszSourceUrlName);
  record.LocalFileName = Text(info.lpszLocalFileName);
  record.CacheEntryType = info.CacheEntryType;
  record.UseCount = info.dwUseCount;
  record.HitRate = info.dwHitRate;
  record.SizeLow = info.dwSizeLow;
  record.SizeHigh = info.dwSizeHigh;
  record.LastModifiedTime = FromFileTime(info.LastModifiedTime);
  record.ExpireTime = FromFileTime(info.ExpireTime);
  record.LastAccessTime = FromFileTime(info.LastAccessTime);
  record.LastSyncTime = FromFileTime(info.LastSyncTime);
  if (info.lpHeaderInfo) record.HeaderInfo.assign(info.lpHeaderInfo, info.dwHeaderInfoSize);
  record.FileExtension = Text(info.lpszFileExtension);
  record.ExemptDelta = info.dwExemptDelta;
  return record;
}

// A buffer of exactly `size` bytes for the entry, or none for a null buffer.
// Arrays of bytes from new are aligned for any structure of their size.
std::unique_ptr<std::byte[]> EntryBuffer(const CacheEntryRecord* entry, std::uint32_t size) {
  return entry && size != 0 ? std::make_unique<std::byte[]>(size) : nullptr;
}

INTERNET_CACHE_ENTRY_INFOA* AsEntry(const std::unique_ptr<std::byte[]>& buffer) {
  return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.get());
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

CacheEnumHandle Win32InternetCache::FindFirstEntry(const std::optional<std::string>& pattern, std::uint32_t filter,
                                                   std::int64_t group, CacheEntryRecord* entry, std::uint32_t& size) {
  const auto buffer = EntryBuffer(entry, size);
  DWORD length = buffer ? size : 0;
  HANDLE handle = FindFirstUrlCacheEntryExA(pattern ? pattern->c_str() : nullptr, 0, filter, group, AsEntry(buffer),
                                            &length, nullptr, nullptr, nullptr);
  // The decode may allocate; the call's error must survive it.
  const DWORD error = GetLastError();
  size = length;
  if (handle && buffer) *entry = Decode(*AsEntry(buffer));
  SetLastError(error);
  return reinterpret_cast<CacheEnumHandle>(handle);
}

bool Win32InternetCache::FindNextEntry(CacheEnumHandle handle, CacheEntryRecord* entry, std::uint32_t& size) {
  const auto buffer = EntryBuffer(entry, size);
  DWORD length = buffer ? size : 0;
  const BOOL found =
      FindNextUrlCacheEntryExA(reinterpret_cast<HANDLE>(handle), AsEntry(buffer), &length, nullptr, nullptr, nullptr);
  const DWORD error = GetLastError();
  size = length;
  if (found && buffer) *entry = Decode(*AsEntry(buffer));
  SetLastError(error);
  return found != FALSE;
}

bool Win32InternetCache::FindClose(CacheEnumHandle handle) {
  return FindCloseUrlCache(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

bool Win32InternetCache::DeleteEntry(const std::string& url) {
  return DeleteUrlCacheEntryA(url.c_str()) != FALSE;
}

std::uint32_t Win32InternetCache::LastError() {
  return GetLastError();
}

std::optional<LocalTime> Win32InternetCache::FileTimeToLocal(FileTime time) {
  const FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  FILETIME local;
  SYSTEMTIME fields;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) return std::nullopt;
  return LocalTime{fields.wYear,   fields.wMonth,  fields.wDay,         fields.wHour,
                   fields.wMinute, fields.wSecond, fields.wMilliseconds};
}

}  // namespace kelpo
