#pragma once
// The Internet URL cache through WinINet. The enumeration and deletion
// functions are linked normally; the probe loads the library by name.

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
};

}  // namespace kelpo
