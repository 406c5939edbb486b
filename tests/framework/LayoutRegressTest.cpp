// Layout reader findings kept in tests/framework/regress/layout/: each is read
// into a form as the fuzz target reads it, and the program's own layouts bind
// to the fuzz target's handlers.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/framework/LayoutFuzzChecks.h"

namespace kelpo::test {
namespace {

namespace fs = std::filesystem;

TEST(LayoutRegress, FindingsBuildOrFailWithTheLayoutError) {
  LayoutFuzzHarness harness;
  const auto programFault = harness.ProgramLayoutFault();
  EXPECT_FALSE(programFault) << *programFault;

  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(KELPO_LAYOUT_REGRESS_DIR))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty());
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    const auto fault = harness.Fault(text);
    EXPECT_FALSE(fault) << file.filename().string() << ": " << *fault;
  }
}

}  // namespace
}  // namespace kelpo::test
