#include "ui/ProductVersion.h"

namespace kelpo {

std::string ProductVersionText(VersionInfo& versionInfo, const std::string& path) {
  const std::uint32_t size = versionInfo.InfoSize(path);
  if (size == 0) return std::string();
  const auto block = versionInfo.ReadInfo(path, size);
  if (!block) return std::string();
  const auto fixed = versionInfo.FixedInfo(*block);
  if (!fixed) return std::string();
  return std::to_string(fixed->ProductVersionMS >> 16) + "." + std::to_string(fixed->ProductVersionMS & 0xFFFF);
}

}  // namespace kelpo
