// "settings.ini" shared with another handle, through the Windows profile
// functions: one opened with share mode 0 refuses the settings file's writes
// with its message and gives its reads their defaults, losing no key; one
// that rewrites the file between two reads is seen by the second.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/Exception.h"
#include "platform/sim/Regions.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32ProfileFiles.h"
#include "settings/DateTime.h"
#include "settings/SettingsFile.h"
#include "tests/conformance/ConformanceBackend.h"
#include "tests/support/FakeClock.h"

namespace kelpo {
namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <class F>
std::string ErrorOf(F write) {
  try {
    write();
  } catch (const Exception& error) {
    return error.what();
  }
  return "no error";
}

class Win32SharedSettings : public ::testing::Test {
 protected:
  void SetUp() override { Folder = MakeTempFolder(); }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }

  // What the schedule editor's apply writes, in its order.
  void WriteSchedule(SettingsFile& settings) {
    settings.WriteInteger("Scheduler", "SchID", 3);
    settings.WriteFloat("Scheduler", "SchFrequency", 2);
    settings.WriteTime("Scheduler", "Time", EncodeTime(21, 30, 0, 0));
    settings.WriteString("Scheduler", "Day", "Friday");
    settings.WriteDate("Scheduler", "DateLastRun", EncodeDate(2026, 12, 4));
  }

  std::string Folder;
  Win32ProfileFiles Files;
  FakeClock Clock{LocalTime{2026, 12, 5, 21, 30, 0, 0}};
};

TEST_F(Win32SharedSettings, FileHeldWithoutSharingRefusesWritesGivesDefaultsAndLosesNoKey) {
  const std::string path = Folder + "settings.ini";
  SettingsFile settings(Files, UnitedStates(), Clock, path);
  WriteSchedule(settings);
  const std::string written = FileBytes(path);
  ASSERT_EQ(written,
            "[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=9:30:00 PM\r\nDay=Friday\r\n"
            "DateLastRun=12/4/2026\r\n");

  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  // An apply stops at its first key, a poll at the record of its wash.
  EXPECT_EQ(ErrorOf([&] { settings.WriteInteger("Scheduler", "SchID", 1); }), "Unable to write to " + path);
  EXPECT_EQ(ErrorOf([&] { settings.WriteDate("Scheduler", "DateLastRun", EncodeDate(2026, 12, 5)); }),
            "Unable to write to " + path);
  EXPECT_EQ(settings.ReadInteger("Scheduler", "SchID", -1), -1);
  EXPECT_EQ(settings.ReadFloat("Scheduler", "SchFrequency", 0), 0);
  EXPECT_EQ(settings.ReadTime("Scheduler", "Time", 0.25), 0.25);
  EXPECT_EQ(settings.ReadString("Scheduler", "Day", ""), "");
  EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", 46000), 46000);
  CloseHandle(held);

  EXPECT_EQ(FileBytes(path), written);
  EXPECT_EQ(settings.ReadInteger("Scheduler", "SchID", -1), 3);
  EXPECT_EQ(settings.ReadFloat("Scheduler", "SchFrequency", 0), 2);
  EXPECT_EQ(settings.ReadTime("Scheduler", "Time", 0), EncodeTime(21, 30, 0, 0));
  EXPECT_EQ(settings.ReadString("Scheduler", "Day", ""), "Friday");
  EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", 0), EncodeDate(2026, 12, 4));
  // And the next write goes through again.
  settings.WriteDate("Scheduler", "DateLastRun", EncodeDate(2026, 12, 5));
  EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", 0), EncodeDate(2026, 12, 5));
}

TEST_F(Win32SharedSettings, FileRewrittenByAnotherHandleBetweenTwoReadsIsReadAfresh) {
  const std::string path = Folder + "settings.ini";
  SettingsFile settings(Files, UnitedStates(), Clock, path);
  WriteSchedule(settings);
  ASSERT_EQ(settings.ReadFloat("Scheduler", "SchFrequency", 0), 2);

  // Another program replaces the whole file, as an editor saving it does.
  const std::string rewritten =
      "[Scheduler]\r\nSchID=2\r\nSchFrequency=1\r\nTime=6:00:00 AM\r\nDay=Monday\r\nDateLastRun=12/1/2026\r\n"
      "[Other]\r\nX=1\r\n";
  HANDLE other = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(other, rewritten.data(), static_cast<DWORD>(rewritten.size()), &done, nullptr));
  CloseHandle(other);

  EXPECT_EQ(settings.ReadInteger("Scheduler", "SchID", -1), 2);
  EXPECT_EQ(settings.ReadFloat("Scheduler", "SchFrequency", 0), 1);
  EXPECT_EQ(settings.ReadTime("Scheduler", "Time", 0), EncodeTime(6, 0, 0, 0));
  EXPECT_EQ(settings.ReadString("Scheduler", "Day", ""), "Monday");
  EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", 0), EncodeDate(2026, 12, 1));

  // The record of a wash then keeps the other program's keys.
  settings.WriteDate("Scheduler", "DateLastRun", EncodeDate(2026, 12, 5));
  EXPECT_EQ(FileBytes(path),
            "[Scheduler]\r\nSchID=2\r\nSchFrequency=1\r\nTime=6:00:00 AM\r\nDay=Monday\r\n"
            "DateLastRun=12/5/2026\r\n[Other]\r\nX=1\r\n");
}

}  // namespace
}  // namespace kelpo
