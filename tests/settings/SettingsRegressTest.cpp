// Fuzzer findings of the text forms and the settings file, kept in
// tests/settings/regress/: each is checked as its fuzz target checks it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/settings/FuzzChecks.h"
#include "tests/support/TempFolder.h"

namespace kelpo::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::vector<std::uint8_t>> InputsIn(const fs::path& dir, std::vector<std::string>& names) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().filename() != "README.txt") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::vector<std::vector<std::uint8_t>> inputs;
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    names.push_back(file.filename().string());
  }
  return inputs;
}

TEST(SettingsRegress, FindingsKeepTheirRules) {
  const fs::path root = KELPO_SETTINGS_REGRESS_DIR;
  std::vector<std::string> names;
  const auto texts = InputsIn(root / "text-forms", names);
  ASSERT_FALSE(texts.empty());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const auto fault = TextFormFault(texts[i]);
    EXPECT_FALSE(fault) << "text-forms/" << names[i] << ": " << *fault;
  }

  names.clear();
  TempFolder folder;
  const auto files = InputsIn(root / "settings-file", names);
  ASSERT_FALSE(files.empty());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto fault = SettingsFileFault(files[i], folder.Path() + "settings.ini");
    EXPECT_FALSE(fault) << "settings-file/" << names[i] << ": " << *fault;
  }
}

}  // namespace
}  // namespace kelpo::test
