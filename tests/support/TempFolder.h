#pragma once
// A fresh empty folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace kelpo {

class TempFolder {
 public:
  TempFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      const auto candidate = base / ("kelpo-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) {
        Folder = candidate;
        return;
      }
    }
    throw std::runtime_error("cannot create a temporary folder");
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  // The folder's path with a trailing separator.
  std::string Path() const { return (Folder / "").string(); }

 private:
  std::filesystem::path Folder;
};

}  // namespace kelpo
