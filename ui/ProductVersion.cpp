#include "ui/ProductVersion.h"

namespace kelpo {

std::string ProductVersionText(VersionInfo& versionInfo, const std::string& path) {
  const auto fixed = FixedVersionOf(versionInfo, path);
  if (!fixed) return std::string();
  return std::to_string(fixed->ProductVersionMS >> 16) + "." + std::to_string(fixed->ProductVersionMS & 0xFFFF);
}

}  // namespace kelpo
