#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/sim/Regions.h"
#include "platform/sim/SimProfileFiles.h"
#include "platform/sim/SimRegionalSettings.h"
#include "tests/support/TempFolder.h"

namespace kelpo {
namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SimProfileFiles, RefusedWritesLeaveTheFileAndAreCounted) {
  TempFolder folder;
  const std::string file = folder.Path() + "settings.ini";
  SimProfileFiles files;
  ASSERT_TRUE(files.WriteString(file, "Scheduler", "SchID", "3"));

  files.RefuseWrites(true);
  EXPECT_FALSE(files.WriteString(file, "Scheduler", "SchID", "4"));
  EXPECT_FALSE(files.WriteString(folder.Path() + "new.ini", "Scheduler", "SchID", "4"));
  EXPECT_EQ(FileBytes(file), "[Scheduler]\r\nSchID=3\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder.Path() + "new.ini"));

  files.RefuseWrites(false);
  EXPECT_TRUE(files.WriteString(file, "Scheduler", "SchID", "5"));
  EXPECT_EQ(files.GetString(file, "Scheduler", "SchID", "", 2048), "5");
  EXPECT_EQ(files.WriteCount(), 4);
}

TEST(SimProfileFiles, WritingTheSameValueLeavesTheFileUntouched) {
  TempFolder folder;
  const std::string file = folder.Path() + "lf.ini";
  std::ofstream(file, std::ios::binary) << "[A]\nk=v\n\nj=w\n";
  SimProfileFiles files;

  ASSERT_TRUE(files.WriteString(file, "a", "K", "v"));
  EXPECT_EQ(FileBytes(file), "[A]\nk=v\n\nj=w\n");
  ASSERT_TRUE(files.WriteString(file, "A", "j", "x"));
  EXPECT_EQ(FileBytes(file), "[A]\r\nk=v\r\nj=x\r\n");
}

TEST(SimRegionalSettings, FallbackUntilSet) {
  SimRegionalSettings regional;
  EXPECT_EQ(regional.Read().ShortDateFormat, "m/d/yy");
  EXPECT_EQ(regional.Read().TimePMString, "pm");

  regional.Set(German());
  EXPECT_EQ(regional.Read().ShortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(regional.Read().DecimalSeparator, ",");
  EXPECT_EQ(regional.Read().LongTimeFormat, "HH:mm:ss");
}

}  // namespace
}  // namespace kelpo
