#pragma once
// Files beside the executable, through the system's file functions.

#include "platform/FileSystem.h"

namespace kelpo {

class Win32FileSystem : public FileSystem {
 public:
  std::string ExecutablePath() override;
  std::string ExecutableFolder() override;
  bool FileExists(const std::string& path) override;
  std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override;
};

}  // namespace kelpo
