// The due rules as a function of the values read, the moment of the poll and
// the run's memory: tables of cases, no window.

#include <gtest/gtest.h>

#include "scheduler/DueRule.h"
#include "settings/DateTime.h"

namespace kelpo {
namespace {

constexpr std::int64_t Hour = 3600000;

struct Moment {
  int Year, Month, Day, Hour, Minute, Second;
};

PollMoment At(const Moment& m, std::int64_t ticks = 0) {
  return ToPollMoment(LocalTime{m.Year, m.Month, m.Day, m.Hour, m.Minute, m.Second, 0},
                      static_cast<std::uint64_t>(ticks));
}

ScheduleValues Values(int unit, int count, const char* day, Moment lastRunAndTime) {
  const PollMoment stored = At(lastRunAndTime);
  return ScheduleValues{unit, stored.Today, stored.TimeOfDay, day, count};
}

TEST(DueRule, WeekdayNamesAreEnglishWhateverTheRegion) {
  EXPECT_EQ(WeekdayName(1), "Sunday");
  EXPECT_EQ(WeekdayName(6), "Friday");
  EXPECT_EQ(WeekdayName(7), "Saturday");
  EXPECT_EQ(WeekdayName(0), "");
  EXPECT_EQ(WeekdayName(8), "");
}

TEST(DueRule, DaysWeeksAndMonthsCountWholeDaysFromTheLastRun) {
  struct Case {
    int Unit, Count;
    const char* Day;
    Moment LastRunAndTime;  // "DateLastRun" and "Time"
    Moment Now;
    bool Due;
  } cases[] = {
      // Days, every 2 at 9 PM from 6 December: the boundary day waits for the time.
      {2, 2, "Monday", {2026, 12, 6, 21, 0, 0}, {2026, 12, 7, 23, 0, 0}, false},
      {2, 2, "Monday", {2026, 12, 6, 21, 0, 0}, {2026, 12, 8, 20, 59, 59}, false},
      {2, 2, "Monday", {2026, 12, 6, 21, 0, 0}, {2026, 12, 8, 21, 0, 0}, true},
      {2, 2, "Monday", {2026, 12, 8, 21, 0, 0}, {2026, 12, 11, 8, 3, 0}, true},  // after the boundary: any time
      {2, 2, "Monday", {2026, 12, 11, 21, 0, 0}, {2026, 12, 12, 23, 0, 0}, false},
      // A last run in the future (the clock was set back) counts from itself.
      {2, 1, "Monday", {2026, 12, 25, 21, 0, 0}, {2026, 12, 7, 22, 0, 0}, false},
      {2, 1, "Monday", {2026, 12, 25, 21, 0, 0}, {2026, 12, 26, 21, 0, 1}, true},
      // Weeks on Friday at 8 AM: a Tuesday boundary waits for the day after.
      {3, 1, "Friday", {2026, 12, 1, 8, 0, 0}, {2026, 12, 8, 23, 59, 0}, false},
      {3, 1, "Friday", {2026, 12, 1, 8, 0, 0}, {2026, 12, 9, 0, 1, 0}, true},
      // A Friday boundary washes at the time; the weekday's case matters.
      {3, 1, "Friday", {2026, 12, 4, 8, 0, 0}, {2026, 12, 11, 7, 59, 59}, false},
      {3, 1, "Friday", {2026, 12, 4, 8, 0, 0}, {2026, 12, 11, 8, 0, 0}, true},
      {3, 1, "friday", {2026, 12, 4, 8, 0, 0}, {2026, 12, 11, 9, 0, 0}, false},
      {3, 1, "friday", {2026, 12, 4, 8, 0, 0}, {2026, 12, 12, 0, 0, 0}, true},
      // Months are 29 days: from 4 December the boundary is Saturday 2 January.
      {4, 1, "Sunday", {2026, 12, 4, 10, 0, 0}, {2027, 1, 2, 23, 57, 0}, false},
      {4, 1, "Sunday", {2026, 12, 4, 10, 0, 0}, {2027, 1, 3, 0, 0, 0}, true},
      // 30 months reach 870 days: Sunday 22 April 2029, not the Monday asked for.
      {4, 30, "Monday", {2026, 12, 4, 10, 0, 0}, {2029, 4, 22, 23, 0, 0}, false},
      {4, 30, "Monday", {2026, 12, 4, 10, 0, 0}, {2029, 4, 23, 0, 0, 0}, true},
      // Never due: no weekday, a count below 1, a unit of no rule.
      {2, 1, "", {2026, 1, 1, 0, 0, 0}, {2027, 6, 1, 12, 0, 0}, false},
      {2, 0, "Monday", {2026, 1, 1, 0, 0, 0}, {2027, 6, 1, 12, 0, 0}, false},
      {2, -3, "Monday", {2026, 1, 1, 0, 0, 0}, {2027, 6, 1, 12, 0, 0}, false},
      {0, 1, "Monday", {2026, 1, 1, 0, 0, 0}, {2027, 6, 1, 12, 0, 0}, false},
      {-1, 1, "Monday", {2026, 1, 1, 0, 0, 0}, {2027, 6, 1, 12, 0, 0}, false},
      {5, 1, "Monday", {2026, 1, 1, 0, 0, 0}, {2027, 6, 1, 12, 0, 0}, false},
  };
  for (const Case& c : cases) {
    const PollMoment now = At(c.Now);
    const DueAnswer answer = CheckDueRule(Values(c.Unit, c.Count, c.Day, c.LastRunAndTime), now, RunMemory{});
    SCOPED_TRACE(testing::Message() << "unit " << c.Unit << " count " << c.Count << " day '" << c.Day << "' now "
                                    << c.Now.Year << "-" << c.Now.Month << "-" << c.Now.Day << " " << c.Now.Hour << ":"
                                    << c.Now.Minute << ":" << c.Now.Second);
    EXPECT_EQ(answer.Due, c.Due);
    // The record is today's date when due, nothing otherwise; "Time" is never written.
    EXPECT_EQ(answer.DateLastRun, c.Due ? std::optional<TDateTime>(now.Today) : std::nullopt);
    EXPECT_FALSE(answer.Time);
    EXPECT_EQ(answer.Memory, RunMemory{});
  }
}

TEST(DueRule, HoursWashAtTheFirstPollOfARunThenEveryNHoursOfTicks) {
  const Moment today{2026, 12, 7, 9, 3, 0};
  for (int n = 1; n <= 30; ++n) {
    SCOPED_TRACE(n);
    // Nothing proves a recent wash: due at once, whatever "Time" holds.
    for (const Moment stored :
         {Moment{2026, 12, 6, 9, 2, 0}, Moment{2026, 12, 6, 9, 3, 0}, Moment{2026, 12, 6, 23, 0, 0}}) {
      const DueAnswer first = CheckDueRule(Values(1, n, "Sunday", stored), At(today, 5000), RunMemory{});
      EXPECT_TRUE(first.Due);
      EXPECT_EQ(first.Time, At(today).TimeOfDay);
      EXPECT_FALSE(first.DateLastRun);
      EXPECT_EQ(first.Memory.LastHourlyWash, 5000);
    }
    // After this run's wash: not before N hours of ticks, due from then on.
    const RunMemory washed{5000};
    const ScheduleValues values = Values(1, n, "Sunday", today);
    struct Poll {
      std::int64_t Elapsed;
      bool Due;
    } polls[] = {{0, false}, {n * Hour - 1, false}, {n * Hour, true}, {n * Hour + 180000, true}, {40 * Hour, true},
                 {-1, true}};  // a tick count that went back comes from another boot
    for (const Poll& poll : polls) {
      const DueAnswer answer = CheckDueRule(values, At(today, 5000 + poll.Elapsed), washed);
      EXPECT_EQ(answer.Due, poll.Due) << poll.Elapsed;
      EXPECT_EQ(answer.Memory.LastHourlyWash, poll.Due ? 5000 + poll.Elapsed : 5000);
      EXPECT_EQ(answer.Time.has_value(), poll.Due);
    }
  }
  // No weekday or no count: never due, not even at the first poll.
  EXPECT_FALSE(CheckDueRule(Values(1, 2, "", today), At(today), RunMemory{}).Due);
  EXPECT_FALSE(CheckDueRule(Values(1, 0, "Sunday", today), At(today), RunMemory{}).Due);
  EXPECT_FALSE(CheckDueRule(Values(1, -3, "Sunday", today), At(today), RunMemory{}).Due);
}

}  // namespace
}  // namespace kelpo
