#pragma once
// Version resources through the system's version functions (version.dll).

#include "platform/VersionInfo.h"

namespace kelpo {

class Win32VersionInfo : public VersionInfo {
 public:
  std::uint32_t InfoSize(const std::string& path) override;
  std::optional<std::vector<std::uint8_t>> ReadInfo(const std::string& path, std::uint32_t size) override;
  std::optional<FixedVersionInfo> FixedInfo(const std::vector<std::uint8_t>& block) override;
};

}  // namespace kelpo
