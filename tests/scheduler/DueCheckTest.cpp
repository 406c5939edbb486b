// The due rules of the hours, days, weeks and months units, read from the
// settings file at each poll.

#include <gtest/gtest.h>

#include "scheduler/DueCheck.h"
#include "settings/DateTime.h"
#include "tests/support/KelpoHarness.h"

namespace kelpo {
namespace {

class DueCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { k.Start(UnitedStates()); }
  DueCheck Check() {
    return DueCheck(*k.app, [this] { return k.form->Editor().OpenSettings(); });
  }
  std::string Key(const std::string& key) {
    return k.form->Editor().OpenSettings().ReadString("Scheduler", key, "<none>");
  }
  KelpoHarness k;
};

TEST_F(DueCheckTest, WeekdayNamesAreEnglishWhateverTheRegion) {
  EXPECT_EQ(DueCheck::WeekdayName(1), "Sunday");
  EXPECT_EQ(DueCheck::WeekdayName(6), "Friday");
  EXPECT_EQ(DueCheck::WeekdayName(7), "Saturday");
  EXPECT_EQ(DueCheck::WeekdayName(0), "");
  EXPECT_EQ(DueCheck::WeekdayName(8), "");
}

TEST_F(DueCheckTest, DaysRuleOnTheBoundaryDayWaitsForTheTime) {
  k.WriteSettings("[Scheduler]\nSchID=2\nSchFrequency=2\nTime=9:00:00 PM\nDay=Sunday\nDateLastRun=12/6/2026\n");
  k.sim.clock.Set(2026, 12, 8, 20, 59, 59);
  EXPECT_FALSE(Check().IsScheduleDue());
  EXPECT_EQ(Key("DateLastRun"), "12/6/2026");
  k.sim.clock.Set(2026, 12, 8, 21, 0, 0);
  EXPECT_TRUE(Check().IsScheduleDue());
  EXPECT_EQ(Key("DateLastRun"), "12/8/2026");
  // The day after the boundary washes at any time.
  k.sim.clock.Set(2026, 12, 11, 8, 3, 0);
  EXPECT_TRUE(Check().IsScheduleDue());
  EXPECT_EQ(Key("DateLastRun"), "12/11/2026");
  k.sim.clock.Set(2026, 12, 12, 23, 0, 0);
  EXPECT_FALSE(Check().IsScheduleDue());
}

TEST_F(DueCheckTest, WeeksAndMonthsNeedTheWeekdayOnTheBoundaryOnly) {
  // Every 1 weeks at 8:00 AM on Friday, last run Tuesday 1 December: the boundary
  // (8 December) is a Tuesday, so the wash waits for the day after.
  k.WriteSettings("[Scheduler]\nSchID=3\nSchFrequency=1\nTime=8:00:00 AM\nDay=Friday\nDateLastRun=12/1/2026\n");
  k.sim.clock.Set(2026, 12, 8, 23, 59, 0);
  EXPECT_FALSE(Check().IsScheduleDue());
  k.sim.clock.Set(2026, 12, 9, 0, 1, 0);
  EXPECT_TRUE(Check().IsScheduleDue());

  // Case matters: "friday" never matches, so even a Friday boundary waits a day.
  k.WriteSettings("[Scheduler]\nSchID=3\nSchFrequency=1\nTime=8:00:00 AM\nDay=friday\nDateLastRun=12/4/2026\n");
  k.sim.clock.Set(2026, 12, 11, 9, 0, 0);
  EXPECT_FALSE(Check().IsScheduleDue());
  k.WriteSettings("[Scheduler]\nSchID=0x3\nSchFrequency=1\nTime=8:00:00 AM\nDay=Friday\nDateLastRun=12/4/2026\n");
  EXPECT_TRUE(Check().IsScheduleDue());  // a hexadecimal unit reads as weeks

  // A month is 29 days: 30 months reach 870 days after the last run.
  k.WriteSettings("[Scheduler]\nSchID=4\nSchFrequency=30\nTime=10:00:00 AM\nDay=Monday\nDateLastRun=12/4/2026\n");
  const TDateTime boundary = EncodeDate(2026, 12, 4) + 870;
  ASSERT_EQ(DayOfWeek(boundary), 1);
  k.sim.clock.Set(boundary);
  k.sim.clock.Advance(23 * 3600000);
  EXPECT_FALSE(Check().IsScheduleDue());  // a Sunday, not the Monday asked for
  k.sim.clock.Advance(3600000);
  EXPECT_TRUE(Check().IsScheduleDue());
}

TEST_F(DueCheckTest, NothingIsDueWithoutADayACountOrAUnit) {
  k.sim.clock.Set(2027, 6, 1, 12, 0, 0);
  const char* files[] = {
      "[Scheduler]\nSchID=2\nSchFrequency=1\nDay=\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchID=2\nSchFrequency=0\nDay=Monday\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchID=2\nSchFrequency=2.5\nDay=Monday\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchID=2\nSchFrequency=-3\nDay=Monday\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchID=1\nSchFrequency=-3\nDay=Monday\nTime=1:00:00 AM\n",
      "[Scheduler]\nSchID=0\nSchFrequency=1\nDay=Monday\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchFrequency=1\nDay=Monday\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchID=5\nSchFrequency=1\nDay=Monday\nDateLastRun=1/1/2026\n",
  };
  for (const char* file : files) {
    k.WriteSettings(file);
    EXPECT_FALSE(Check().IsScheduleDue()) << file;
    EXPECT_EQ(k.ReadSettings(), file);  // nothing written
  }
}

TEST_F(DueCheckTest, LastRunThatDoesNotReadCountsFromToday) {
  k.sim.clock.Set(2026, 12, 7, 22, 0, 0);
  // Another region's form, garbage, and a date in the future: not due today.
  for (const char* last : {"04.12.2026", "yesterday", "12/25/2026"}) {
    k.WriteSettings(std::string("[Scheduler]\nSchID=2\nSchFrequency=1\nTime=9:00:00 PM\nDay=Monday\nDateLastRun=") +
                    last + "\n");
    EXPECT_FALSE(Check().IsScheduleDue()) << last;
  }
  // The future date counts from itself: due on 26 December after 9 PM.
  k.sim.clock.Set(2026, 12, 26, 21, 0, 1);
  EXPECT_TRUE(Check().IsScheduleDue());
}

TEST_F(DueCheckTest, HoursRuleCountsAcrossMidnightAndMovesTheTime) {
  const auto at = [](int h, int m, int s) { return EncodeTime(h, m, s, 0); };
  for (int n = 1; n <= 23; ++n) {
    const int hour = (23 + n) % 24;
    EXPECT_FALSE(DueCheck::HoursDue(n, at(23, 0, 0), at((hour + 23) % 24, 59, 59))) << n;
    EXPECT_TRUE(DueCheck::HoursDue(n, at(23, 0, 0), at(hour, 0, 0))) << n;
  }
  EXPECT_TRUE(DueCheck::HoursDue(2, at(23, 0, 0), at(1, 0, 0)));
  EXPECT_FALSE(DueCheck::HoursDue(2, at(23, 0, 0), at(0, 59, 59)));
  EXPECT_TRUE(DueCheck::HoursDue(1, at(10, 0, 0), at(11, 0, 0)));
  EXPECT_FALSE(DueCheck::HoursDue(23, at(10, 0, 0), at(8, 59, 0)));
  EXPECT_TRUE(DueCheck::HoursDue(23, at(10, 0, 0), at(9, 0, 0)));
  // 24 and more: once a day, at the last poll before the time comes round.
  EXPECT_FALSE(DueCheck::HoursDue(24, at(10, 0, 0), at(9, 56, 59)));
  EXPECT_TRUE(DueCheck::HoursDue(30, at(10, 0, 0), at(9, 57, 0)));
  EXPECT_FALSE(DueCheck::HoursDue(30, at(10, 0, 0), at(10, 0, 0)));

  k.WriteSettings("[Scheduler]\nSchID=1\nSchFrequency=2\nTime=12:00:00 PM\nDay=Sunday\nDateLastRun=12/1/2026\n");
  k.sim.clock.Set(2026, 12, 7, 14, 3, 10);
  EXPECT_TRUE(Check().IsScheduleDue());
  EXPECT_EQ(Key("Time"), "2:03:10 PM");
  EXPECT_EQ(Key("DateLastRun"), "12/1/2026");
  k.sim.clock.Set(2026, 12, 7, 16, 3, 9);
  EXPECT_FALSE(Check().IsScheduleDue());
}

TEST_F(DueCheckTest, RefusedRecordWriteRaisesBeforeAnyWash) {
  k.WriteSettings("[Scheduler]\nSchID=2\nSchFrequency=1\nTime=9:00:00 PM\nDay=Monday\nDateLastRun=12/1/2026\n");
  k.sim.clock.Set(2026, 12, 7, 22, 0, 0);
  k.sim.profiles.RefuseWrites(true);
  try {
    Check().IsScheduleDue();
    FAIL() << "the refused write must raise";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + k.SettingsPath());
  }
}

}  // namespace
}  // namespace kelpo
