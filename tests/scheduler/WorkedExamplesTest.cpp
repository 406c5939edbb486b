// Whole schedules run through virtual time with the real main window: each
// wash at the moment the due rules give, and what the ticks leave in the file.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/sim/Regions.h"
#include "tests/support/TempFolder.h"
#include "tools/schedule/ScheduleSimulation.h"

namespace kelpo {
namespace {

class WorkedExamples : public ::testing::Test {
 protected:
  std::vector<std::string> Run(const std::string& settings, const char* start, const char* until,
                               std::optional<int> unitSelected = {}) {
    {
      std::ofstream out(File(), std::ios::binary);
      out << settings;
    }
    ScheduleRun run;
    run.SettingsFile = File();
    run.Start = *ParseLocalTime(start);
    run.Until = *ParseLocalTime(until);
    run.Region = UnitedStates();
    run.UnitSelected = unitSelected;
    outcome = SimulateSchedule(run);
    std::vector<std::string> washes;
    for (const auto& wash : outcome.Washes) washes.push_back(FormatLocalTime(wash));
    return washes;
  }
  std::string File() const { return folder.Path() + "schedule.ini"; }
  std::string Contents() const {
    std::ifstream in(File(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  TempFolder folder;
  ScheduleOutcome outcome;
};

using Washes = std::vector<std::string>;

TEST_F(WorkedExamples, MinutesWashAtEveryTickAndLeaveTheFileAlone) {
  const std::string file = "[Scheduler]\r\nSchID=0\r\nSchFrequency=5\r\nTime=9:00:00 PM\r\nDay=Sunday\r\n";
  EXPECT_EQ(Run(file, "2026-12-07 10:00:00", "2026-12-07 10:20:00"),
            (Washes{"2026-12-07 10:05:00", "2026-12-07 10:10:00", "2026-12-07 10:15:00", "2026-12-07 10:20:00"}));
  EXPECT_EQ(Contents(), file);
  EXPECT_TRUE(outcome.Messages.empty());
}

TEST_F(WorkedExamples, DaysCountFromTheLastRunAndCatchUpAfterAGap) {
  const std::string file = "[Scheduler]\r\nSchID=2\r\nSchFrequency=2\r\nTime=9:00:00 PM\r\nDay=Monday\r\n";
  // Applied on Monday 7 December: "DateLastRun" is the day before.
  EXPECT_EQ(Run(file + "DateLastRun=12/6/2026\r\n", "2026-12-07 10:00:00", "2026-12-10 23:59:00"),
            (Washes{"2026-12-08 21:00:00", "2026-12-10 21:00:00"}));
  EXPECT_NE(Contents().find("DateLastRun=12/10/2026\r\n"), std::string::npos);
  // Off that evening, started again on Friday 11 December at 8 AM.
  EXPECT_EQ(Run(file + "DateLastRun=12/8/2026\r\n", "2026-12-11 08:00:00", "2026-12-14 12:00:00"),
            (Washes{"2026-12-11 08:03:00", "2026-12-13 21:00:00"}));
}

TEST_F(WorkedExamples, WeeksInStepWashOnTheChosenWeekday) {
  const std::string file =
      "[Scheduler]\r\nSchID=3\r\nSchFrequency=1\r\nTime=8:00:00 AM\r\nDay=Friday\r\nDateLastRun=12/4/2026\r\n";
  EXPECT_EQ(Run(file, "2026-12-05 12:00:00", "2026-12-26 00:00:00"),
            (Washes{"2026-12-11 08:00:00", "2026-12-18 08:00:00", "2026-12-25 08:00:00"}));
}

TEST_F(WorkedExamples, WeeksOutOfStepWashTheDayAfterUntilTheyFallInStep) {
  const std::string file =
      "[Scheduler]\r\nSchID=3\r\nSchFrequency=1\r\nTime=8:00:00 AM\r\nDay=Friday\r\nDateLastRun=12/1/2026\r\n";
  EXPECT_EQ(Run(file, "2026-12-02 12:00:00", "2027-01-09 00:00:00"),
            (Washes{"2026-12-09 00:00:00", "2026-12-17 00:00:00", "2026-12-25 00:00:00", "2027-01-01 08:00:00",
                    "2027-01-08 08:00:00"}));
}

TEST_F(WorkedExamples, MonthsAreTwentyNineDays) {
  const std::string file =
      "[Scheduler]\r\nSchID=4\r\nSchFrequency=1\r\nTime=10:00:00 AM\r\nDay=Sunday\r\nDateLastRun=12/4/2026\r\n";
  EXPECT_EQ(Run(file, "2026-12-05 12:00:00", "2027-02-03 00:00:00"),
            (Washes{"2027-01-03 00:00:00", "2027-02-02 00:00:00"}));
  EXPECT_NE(Contents().find("DateLastRun=2/2/2027\r\n"), std::string::npos);
}

TEST_F(WorkedExamples, HoursMoveTheStoredTimeAndLeaveTheLastRunDate) {
  const std::string file =
      "[Scheduler]\r\nSchID=1\r\nSchFrequency=2\r\nTime=12:03:10 PM\r\nDay=Sunday\r\nDateLastRun=12/1/2026\r\n";
  // The first poll of the run washes: nothing proves that the stored time is of today.
  EXPECT_EQ(Run(file, "2026-12-07 12:00:10", "2026-12-08 01:00:00"),
            (Washes{"2026-12-07 12:03:10", "2026-12-07 14:03:10", "2026-12-07 16:03:10", "2026-12-07 18:03:10",
                    "2026-12-07 20:03:10", "2026-12-07 22:03:10", "2026-12-08 00:03:10"}));
  EXPECT_NE(Contents().find("Time=12:03:10 AM\r\n"), std::string::npos);
  EXPECT_NE(Contents().find("DateLastRun=12/1/2026\r\n"), std::string::npos);
}

TEST_F(WorkedExamples, MinutesTestComesFromTheDropDownNotTheFile) {
  // "hours" stored, "minutes" selected without applying: every tick washes.
  EXPECT_EQ(Run("[Scheduler]\r\nSchID=1\r\nSchFrequency=2\r\nDay=Sunday\r\n", "2026-12-07 10:00:00",
                "2026-12-07 10:06:00", 0),
            (Washes{"2026-12-07 10:02:00", "2026-12-07 10:04:00", "2026-12-07 10:06:00"}));
  // "minutes" stored, "days" selected: each tick polls the file and nothing is due.
  EXPECT_EQ(Run("[Scheduler]\r\nSchID=0\r\nSchFrequency=2\r\nDay=Sunday\r\n", "2026-12-07 10:00:00",
                "2026-12-08 10:00:00", 2),
            Washes{});
}

}  // namespace
}  // namespace kelpo
