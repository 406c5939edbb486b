#pragma once
// The Internet URL cache through WinINet. The enumeration and deletion
// functions are linked normally; the probe loads the library by name.
//
// One enumeration at a time keeps one entry buffer, which only grows, and the
// local time bias, read when the enumeration opens: fetching and converting an
// entry then allocates nothing and asks the system for nothing but the entry.

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/InternetCache.h"

namespace kelpo {

class Win32InternetCache : public InternetCache {
 public:
  bool ProbeLibrary() override;
  CacheEnumHandle FindFirstEntry(const std::optional<std::string>& pattern, std::uint32_t filter, std::int64_t group,
                                 CacheEntryRecord* entry, std::uint32_t& size) override;
  bool FindNextEntry(CacheEnumHandle handle, CacheEntryRecord* entry, std::uint32_t& size) override;
  bool FindClose(CacheEnumHandle handle) override;
  bool DeleteEntry(const std::string& url) override;
  std::uint32_t LastError() override;
  std::optional<LocalTime> FileTimeToLocal(FileTime time) override;

 private:
  // The buffer for a fetch into `entry` of `size` bytes, or null for a null buffer.
  void* Buffer(const CacheEntryRecord* entry, std::uint32_t size);

  // Sized in 8-byte units, so that the entry structure is aligned.
  std::unique_ptr<std::uint64_t[]> buffer_;
  std::uint32_t capacity_ = 0;  // bytes
  // Local time minus UTC in file-time ticks, while an enumeration is open.
  std::optional<std::int64_t> bias_;
};

}  // namespace kelpo
