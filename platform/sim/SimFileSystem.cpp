#include "platform/sim/SimFileSystem.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelpo {
namespace {

std::filesystem::path NativePath(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

}  // namespace

bool SimFileSystem::FileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(NativePath(path), error);
}

std::optional<std::vector<std::uint8_t>> SimFileSystem::ReadFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  std::ifstream in(NativePath(path), std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kelpo
