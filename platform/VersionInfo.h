#pragma once
// Version resources of executable files: how large a file's version
// information is, the information block itself, and the fixed part of a
// block (the version numbers).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelpo {

// The version numbers of a fixed version information (VS_FIXEDFILEINFO): each
// version is four 16-bit numbers, the first two in the high and low halves of
// the MS value, the last two in those of the LS value.
struct FixedVersionInfo {
  std::uint32_t FileVersionMS = 0;
  std::uint32_t FileVersionLS = 0;
  std::uint32_t ProductVersionMS = 0;
  std::uint32_t ProductVersionLS = 0;
  bool operator==(const FixedVersionInfo&) const = default;
};

// A version as its four numbers, for example 2.5.0.0.
struct VersionNumbers {
  std::uint16_t Major = 0;
  std::uint16_t Minor = 0;
  std::uint16_t Release = 0;
  std::uint16_t Build = 0;
};

constexpr FixedVersionInfo FixedVersion(VersionNumbers file, VersionNumbers product) {
  return FixedVersionInfo{
      (std::uint32_t{file.Major} << 16) | file.Minor, (std::uint32_t{file.Release} << 16) | file.Build,
      (std::uint32_t{product.Major} << 16) | product.Minor, (std::uint32_t{product.Release} << 16) | product.Build};
}

class VersionInfo {
 public:
  virtual ~VersionInfo() = default;
  // The size in bytes of the file's version information; 0 when it has none or
  // cannot be read (GetFileVersionInfoSizeA).
  virtual std::uint32_t InfoSize(const std::string& path) = 0;
  // The first `size` bytes of the version information; nothing when it
  // cannot be read (GetFileVersionInfoA).
  virtual std::optional<std::vector<std::uint8_t>> ReadInfo(const std::string& path, std::uint32_t size) = 0;
  // The fixed part of a block that ReadInfo gave (VerQueryValueA with the
  // sub-block "\"); nothing when the block has none or it lacks its signature.
  virtual std::optional<FixedVersionInfo> FixedInfo(const std::vector<std::uint8_t>& block) = 0;
};

// The fixed version information of the file at `path`, read in the system's
// three steps; nothing when any of them fails.
inline std::optional<FixedVersionInfo> FixedVersionOf(VersionInfo& versionInfo, const std::string& path) {
  const std::uint32_t size = versionInfo.InfoSize(path);
  if (size == 0) return std::nullopt;
  const auto block = versionInfo.ReadInfo(path, size);
  if (!block) return std::nullopt;
  return versionInfo.FixedInfo(*block);
}

}  // namespace kelpo
