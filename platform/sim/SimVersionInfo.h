#pragma once
// Version information that a test gives each file, as the bytes of a version
// information block (VS_VERSIONINFO). The fixed part is read from the block
// as Windows lays it out, so a test can also hand over a damaged block.

#include <map>

#include "platform/VersionInfo.h"

namespace kelpo {

class SimVersionInfo : public VersionInfo {
 public:
  // The system's common controls are there from the start, in the version
  // Windows XP ships (5.82); a test may replace or remove them.
  SimVersionInfo() { SetVersion("comctl32.dll", FixedVersion({5, 82, 2900, 0}, {6, 0, 2900, 0})); }

  std::uint32_t InfoSize(const std::string& path) override;
  std::optional<std::vector<std::uint8_t>> ReadInfo(const std::string& path, std::uint32_t size) override;
  std::optional<FixedVersionInfo> FixedInfo(const std::vector<std::uint8_t>& block) override;

  // ---- for tests ----
  void SetBlock(const std::string& path, std::vector<std::uint8_t> block) { blocks_[path] = std::move(block); }
  void SetVersion(const std::string& path, const FixedVersionInfo& version) { SetBlock(path, Block(version)); }
  void Remove(const std::string& path) { blocks_.erase(path); }

  // A version information block holding only its fixed part, as a resource
  // compiler writes it (root "VS_VERSION_INFO", signature 0xFEEF04BD).
  static std::vector<std::uint8_t> Block(const FixedVersionInfo& version);

 private:
  std::map<std::string, std::vector<std::uint8_t>> blocks_;
};

}  // namespace kelpo
