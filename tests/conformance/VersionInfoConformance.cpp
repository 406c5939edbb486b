// Reading a file's version resource, run against the simulation natively and
// against the Windows version functions under Wine, so that both agree.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/conformance/ConformanceBackend.h"

namespace kelpo {
namespace {

TEST(VersionInfoConformance, VersionedFileGivesItsBlockAndFixedPart) {
  VersionInfoUnderTest backend = MakeVersionInfoUnderTest();
  VersionInfo& info = *backend.Service;
  const std::uint32_t size = info.InfoSize(backend.VersionedFile);
  ASSERT_GT(size, 0u);
  const auto block = info.ReadInfo(backend.VersionedFile, size);
  ASSERT_TRUE(block.has_value());
  EXPECT_EQ(block->size(), size);
  EXPECT_EQ(info.FixedInfo(*block), FixedVersion({2, 5, 1, 7}, {2, 5, 0, 0}));
  EXPECT_FALSE(info.ReadInfo(backend.VersionedFile, 0).has_value());
  EXPECT_FALSE(info.FixedInfo({}).has_value());
  // The system's common controls are found by name, as the tray icon asks.
  const auto comctl32 = FixedVersionOf(info, "comctl32.dll");
  ASSERT_TRUE(comctl32.has_value());
  EXPECT_GE(comctl32->FileVersionMS, (4u << 16) | 71u);
}

TEST(VersionInfoConformance, FixedPartWithoutItsSignatureIsNotRead) {
  VersionInfoUnderTest backend = MakeVersionInfoUnderTest();
  VersionInfo& info = *backend.Service;
  auto block = info.ReadInfo(backend.VersionedFile, info.InfoSize(backend.VersionedFile));
  ASSERT_TRUE(block.has_value());
  const std::uint8_t signature[] = {0xBD, 0x04, 0xEF, 0xFE};
  const auto at = std::search(block->begin(), block->end(), std::begin(signature), std::end(signature));
  ASSERT_NE(at, block->end());
  *at = 0;
  EXPECT_FALSE(info.FixedInfo(*block).has_value());
}

TEST(VersionInfoConformance, FileWithoutVersionInformationHasNone) {
  VersionInfoUnderTest backend = MakeVersionInfoUnderTest();
  const std::string folder = MakeTempFolder();
  const std::string plain = folder + "notes.txt";
  std::ofstream(plain) << "no resources here";
  EXPECT_EQ(backend.Service->InfoSize(plain), 0u);
  EXPECT_FALSE(backend.Service->ReadInfo(plain, 64).has_value());
  EXPECT_EQ(backend.Service->InfoSize(folder + "missing.exe"), 0u);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace
}  // namespace kelpo
