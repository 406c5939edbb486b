#include "platform/win32/Win32VersionInfo.h"

#include "platform/win32/Win32Api.h"

namespace kelpo {

std::uint32_t Win32VersionInfo::InfoSize(const std::string& path) {
  DWORD handle = 0;
  return GetFileVersionInfoSizeA(path.c_str(), &handle);
}

std::optional<std::vector<std::uint8_t>> Win32VersionInfo::ReadInfo(const std::string& path, std::uint32_t size) {
  if (size == 0) return std::nullopt;
  std::vector<std::uint8_t> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return std::nullopt;
  return block;
}

std::optional<FixedVersionInfo> Win32VersionInfo::FixedInfo(const std::vector<std::uint8_t>& block) {
  if (block.empty()) return std::nullopt;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", &value, &length) || !value || length < sizeof(VS_FIXEDFILEINFO))
    return std::nullopt;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != 0xFEEF04BD) return std::nullopt;
  return FixedVersionInfo{fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                          fixed->dwProductVersionLS};
}

}  // namespace kelpo
