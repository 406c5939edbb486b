#include "platform/sim/SimFileSystem.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelpo {

bool SimFileSystem::FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::optional<std::vector<std::uint8_t>> SimFileSystem::ReadFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kelpo
