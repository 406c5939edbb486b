#pragma once
// Files the program reads beside its executable.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelpo {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Full path of the running executable.
  virtual std::string ExecutablePath() = 0;
  // Folder of the running executable, ending with a path separator.
  virtual std::string ExecutableFolder() = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // The file's bytes, or nothing when it cannot be opened.
  virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) = 0;
};

}  // namespace kelpo
