#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/Exception.h"
#include "platform/sim/Regions.h"
#include "platform/sim/SimProfileFiles.h"
#include "settings/DateTime.h"
#include "settings/SettingsFile.h"
#include "tests/settings/RegionalSets.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempFolder.h"

namespace kelpo {
namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFile Settings(const FormatSettings& formats) { return SettingsFile(Files, formats, Clock, Path); }

  std::string FileBytes() const {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  void PutFile(const std::string& bytes) const { std::ofstream(Path, std::ios::binary) << bytes; }

  // Writes what applying "every 2 weeks on Friday at 9:30 PM" writes on 5 December 2026.
  void WriteSample(const FormatSettings& formats) {
    SettingsFile settings = Settings(formats);
    settings.WriteInteger("Scheduler", "SchID", 3);
    settings.WriteFloat("Scheduler", "SchFrequency", 2);
    settings.WriteTime("Scheduler", "Time", Today(Clock) + EncodeTime(21, 30, 0, 0));
    settings.WriteString("Scheduler", "Day", "Friday");
    settings.WriteDate("Scheduler", "DateLastRun", Today(Clock) - 1);
  }

  TempFolder Folder;
  std::string Path = Folder.Path() + "settings.ini";
  SimProfileFiles Files;
  FakeClock Clock{LocalTime{2026, 12, 5, 10, 15, 0, 0}};
};

TEST_F(SettingsFileTest, SampleUnderUnitedStatesSettings) {
  WriteSample(UnitedStates());
  EXPECT_EQ(FileBytes(),
            "[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=9:30:00 PM\r\nDay=Friday\r\nDateLastRun=12/4/2026\r\n");

  const SettingsFile settings = Settings(UnitedStates());
  EXPECT_EQ(settings.Path(), Path);
  EXPECT_EQ(settings.ReadInteger("Scheduler", "SchID", -1), 3);
  EXPECT_EQ(settings.ReadFloat("Scheduler", "SchFrequency", 3.0), 2.0);
  EXPECT_EQ(settings.ReadTime("Scheduler", "Time", 0), EncodeTime(21, 30, 0, 0));
  EXPECT_EQ(settings.ReadString("Scheduler", "Day", "Sunday"), "Friday");
  EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", 0), EncodeDate(2026, 12, 4));
}

TEST_F(SettingsFileTest, SampleUnderGermanSettingsAndReadUnderUnitedStates) {
  WriteSample(German());
  EXPECT_EQ(FileBytes(),
            "[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=21:30:00\r\nDay=Friday\r\nDateLastRun=04.12.2026\r\n");
  EXPECT_EQ(Settings(German()).ReadDate("Scheduler", "DateLastRun", 0), EncodeDate(2026, 12, 4));

  // The 24-hour time still reads on a 12-hour clock; the dotted date does not.
  const SettingsFile us = Settings(UnitedStates());
  EXPECT_EQ(us.ReadTime("Scheduler", "Time", 0), EncodeTime(21, 30, 0, 0));
  EXPECT_EQ(us.ReadDate("Scheduler", "DateLastRun", Today(Clock)), Today(Clock));
}

// Through the profile file, which trims what it stores, every region reads back
// the schedule it wrote: the morning and evening, today and yesterday.
TEST_F(SettingsFileTest, EveryRegionReadsBackTheScheduleItWrote) {
  for (const RegionalSet& region : RegionalSets()) {
    for (const TDateTime time : {EncodeTime(0, 0, 0, 0), EncodeTime(9, 5, 7, 0), EncodeTime(21, 30, 0, 0)}) {
      SettingsFile settings = Settings(region.Formats);
      settings.WriteFloat("Scheduler", "SchFrequency", 30);
      settings.WriteTime("Scheduler", "Time", time);
      settings.WriteDate("Scheduler", "DateLastRun", Today(Clock) - 1);
      settings.WriteDate("Scheduler", "Today", Today(Clock));
      EXPECT_EQ(settings.ReadFloat("Scheduler", "SchFrequency", 0), 30) << region.Name;
      EXPECT_EQ(settings.ReadInteger("Scheduler", "SchFrequency", 0), 30) << region.Name;
      EXPECT_EQ(settings.ReadTime("Scheduler", "Time", -1), time) << region.Name;
      EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", 0), Today(Clock) - 1) << region.Name;
      EXPECT_EQ(settings.ReadDate("Scheduler", "Today", 0), Today(Clock)) << region.Name;
    }
  }
  std::remove(Path.c_str());
  WriteSample(Hungarian());
  EXPECT_EQ(FileBytes(),
            "[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=21:30:00\r\nDay=Friday\r\n"
            "DateLastRun=2026. 12. 04.\r\n");
}

TEST_F(SettingsFileTest, ValuesThatDoNotConvertOrAreEmptyGiveTheDefault) {
  PutFile("[Scheduler]\nSchID=0x3\nSchFrequency=2.5\nTime=\nDay=\nDateLastRun=\nBad=soon\n");
  const SettingsFile settings = Settings(UnitedStates());
  EXPECT_EQ(settings.ReadInteger("Scheduler", "SchID", -1), 3);
  EXPECT_EQ(settings.ReadFloat("Scheduler", "SchFrequency", 3.0), 2.5);
  EXPECT_EQ(settings.ReadInteger("Scheduler", "SchFrequency", 0), 0);
  EXPECT_EQ(settings.ReadTime("Scheduler", "Time", 0.25), 0.25);
  EXPECT_EQ(settings.ReadString("Scheduler", "Day", "Sunday"), "");
  EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", 100), 100);
  EXPECT_EQ(settings.ReadInteger("Scheduler", "Bad", 7), 7);
  EXPECT_EQ(settings.ReadFloat("Scheduler", "Bad", 3.0), 3.0);
  EXPECT_EQ(settings.ReadDate("Scheduler", "Bad", 100), 100);
  EXPECT_EQ(settings.ReadTime("Scheduler", "Bad", 0.25), 0.25);
  EXPECT_EQ(settings.ReadString("Scheduler", "Missing", "Sunday"), "Sunday");
  EXPECT_EQ(settings.ReadInteger("Missing", "SchID", -1), -1);
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndIsNotCreated) {
  const SettingsFile settings = Settings(UnitedStates());
  EXPECT_EQ(settings.ReadInteger("Scheduler", "SchID", 0), 0);
  EXPECT_EQ(settings.ReadFloat("Scheduler", "SchFrequency", 3.0), 3.0);
  EXPECT_EQ(settings.ReadString("Scheduler", "Day", "Sunday"), "Sunday");
  EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", Today(Clock)), Today(Clock));
  EXPECT_EQ(settings.ReadTime("Scheduler", "Time", 0.5), 0.5);
  EXPECT_FALSE(std::filesystem::exists(Path));
}

TEST_F(SettingsFileTest, DatesWithoutYearTakeTheClocksYear) {
  PutFile("[Scheduler]\r\nDateLastRun=12/4\r\nShort=12/4/26\r\n");
  Clock.Set(LocalTime{2090, 1, 1, 0, 0, 0, 0});
  const SettingsFile settings = Settings(UnitedStates());
  EXPECT_EQ(settings.ReadDate("Scheduler", "DateLastRun", 0), EncodeDate(2090, 12, 4));
  EXPECT_EQ(settings.ReadDate("Scheduler", "Short", 0), EncodeDate(2126, 12, 4));
}

TEST_F(SettingsFileTest, OnlyTheFirst2047CharactersAreSeen) {
  SettingsFile settings = Settings(UnitedStates());
  settings.WriteString("Scheduler", "Day", std::string(3000, 'x'));
  EXPECT_EQ(settings.ReadString("Scheduler", "Day", ""), std::string(2047, 'x'));
}

// The message of the error a write throws, or nothing when it does not throw.
template <typename Write>
std::string ErrorOf(Write write) {
  try {
    write();
  } catch (const Exception& error) {
    return error.what();
  }
  return "";
}

TEST_F(SettingsFileTest, RefusedWriteNamesTheFileAndKeepsEarlierKeys) {
  SettingsFile settings = Settings(UnitedStates());
  settings.WriteInteger("Scheduler", "SchID", 3);
  Files.RefuseWrites(true);
  EXPECT_EQ(ErrorOf([&] { settings.WriteFloat("Scheduler", "SchFrequency", 2); }), "Unable to write to " + Path);
  EXPECT_EQ(ErrorOf([&] { settings.WriteDate("Scheduler", "DateLastRun", 1); }), "Unable to write to " + Path);
  EXPECT_EQ(FileBytes(), "[Scheduler]\r\nSchID=3\r\n");

  // A folder that does not exist refuses as well.
  Files.RefuseWrites(false);
  const std::string elsewhere = Folder.Path() + "absent/settings.ini";
  SettingsFile missing(Files, UnitedStates(), Clock, elsewhere);
  EXPECT_EQ(ErrorOf([&] { missing.WriteString("Scheduler", "Day", "Friday"); }), "Unable to write to " + elsewhere);
}

}  // namespace
}  // namespace kelpo
