// The settings file's text forms through the running program: a schedule
// written in a region's forms is read back by the due check in the same region,
// and kelpo-schedule's options give any region's forms.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimProfileFiles.h"
#include "settings/DateTime.h"
#include "settings/SettingsFile.h"
#include "tests/settings/RegionalSets.h"
#include "tests/settings/TextFormRoundTrip.h"
#include "tests/support/FakeClock.h"
#include "tests/support/TempFolder.h"
#include "tools/schedule/RegionOptions.h"
#include "tools/schedule/ScheduleSimulation.h"

namespace kelpo {
namespace {

// Every day at 9:00 PM, applied on 5 December 2026 (yesterday as the last run).
void WriteDailySchedule(const std::string& path, const FormatSettings& formats) {
  SimProfileFiles files;
  FakeClock clock(LocalTime{2026, 12, 5, 8, 0, 0, 0});
  SettingsFile settings(files, formats, clock, path);
  settings.WriteInteger("Scheduler", "SchID", 2);
  settings.WriteFloat("Scheduler", "SchFrequency", 1);
  settings.WriteTime("Scheduler", "Time", EncodeTime(21, 0, 0, 0));
  settings.WriteString("Scheduler", "Day", "Sunday");
  settings.WriteDate("Scheduler", "DateLastRun", EncodeDate(2026, 12, 4));
}

TEST(RegionalSchedule, ADailyScheduleWashesEveryEveningInEveryRegion) {
  // The second wash needs the last run that the first one wrote.
  const std::vector<std::string> expected = {"2026-12-05 21:00:00", "2026-12-06 21:00:00"};
  for (const RegionalSet& region : RegionalSets()) {
    TempFolder folder;
    ScheduleRun run;
    run.SettingsFile = folder.Path() + "settings.ini";
    run.Start = *ParseLocalTime("2026-12-05 20:00:00");
    run.Until = *ParseLocalTime("2026-12-06 22:00:00");
    run.Region = region.Formats;
    WriteDailySchedule(run.SettingsFile, region.Formats);
    std::vector<std::string> washes;
    for (const auto& wash : SimulateSchedule(run).Washes) washes.push_back(FormatLocalTime(wash));
    EXPECT_EQ(washes, expected) << region.Name;
  }
}

TEST(RegionalSchedule, OptionsSetEachRegionalSettingOnTopOfARegion) {
  FormatSettings formats = *NamedRegion("de");
  for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{{"--short-date", "yyyy. MM. dd."},
                                                                                      {"--date-separator", ". "},
                                                                                      {"--long-time", "H:mm:ss"},
                                                                                      {"--time-separator", ":"},
                                                                                      {"--am", "de."},
                                                                                      {"--pm", "du."},
                                                                                      {"--decimal-separator", ","}}) {
    EXPECT_TRUE(IsRegionOption(option));
    EXPECT_TRUE(SetRegionOption(formats, option, value));
  }
  EXPECT_EQ(DescribeFormats(formats), DescribeFormats(Hungarian()));
  EXPECT_EQ(DescribeFormats(*NamedRegion("us")), DescribeFormats(UnitedStates()));
  EXPECT_FALSE(NamedRegion("sk"));
  EXPECT_FALSE(IsRegionOption("--region"));
  EXPECT_FALSE(SetRegionOption(formats, "--date", "d.M.yyyy"));
  EXPECT_EQ(DescribeFormats(formats), DescribeFormats(Hungarian()));
}

}  // namespace
}  // namespace kelpo
