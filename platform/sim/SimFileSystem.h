#pragma once
// Real files, with Windows' path rules: a backslash separates folders as a
// slash does, and a doubled separator counts as one. The executable's folder
// is whatever the test chooses.

#include "platform/FileSystem.h"

namespace kelpo {

class SimFileSystem : public FileSystem {
 public:
  // `folder` must end with a path separator; the executable is "kelpo.exe" in
  // it unless the test names it otherwise.
  void SetExecutableFolder(const std::string& folder) { folder_ = folder; }
  void SetExecutableName(const std::string& name) { name_ = name; }
  std::string ExecutablePath() override { return folder_ + name_; }
  std::string ExecutableFolder() override { return folder_; }
  bool FileExists(const std::string& path) override;
  std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) override;

 private:
  std::string folder_ = "./";
  std::string name_ = "kelpo.exe";
};

}  // namespace kelpo
