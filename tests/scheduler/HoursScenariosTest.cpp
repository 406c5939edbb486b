// "Every N hours, even on a computer that is not always on", through the real
// main window in virtual time: runs of ten days without a break, and working
// days on which the program starts in the morning and ends in the afternoon.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "base/Calendar.h"
#include "platform/sim/Regions.h"
#include "settings/DateTime.h"
#include "tests/support/TempFolder.h"
#include "tools/schedule/ScheduleSimulation.h"

namespace kelpo {
namespace {

constexpr std::int64_t Minute = 60000;
constexpr std::int64_t Hour = 60 * Minute;
constexpr std::int64_t Poll = 3 * Minute;

std::int64_t Millis(const LocalTime& t) {
  return std::llround(ToDateTime(t) * static_cast<double>(MillisecondsPerDay));
}

LocalTime At(const char* text) {
  return *ParseLocalTime(text);
}

class HoursScenarios : public ::testing::Test {
 protected:
  // Runs the schedule "every n hours" through the sessions and returns the washes.
  std::vector<LocalTime> Run(int n, const std::vector<ScheduleSession>& sessions) {
    {
      std::ofstream out(File(), std::ios::binary);
      out << "[Scheduler]\r\nSchID=1\r\nSchFrequency=" << n
          << "\r\nTime=9:00:00 AM\r\nDay=Sunday\r\nDateLastRun=12/6/2026\r\n";
    }
    ScheduleRun run;
    run.SettingsFile = File();
    run.Sessions = sessions;
    run.Region = UnitedStates();
    const ScheduleOutcome outcome = SimulateSchedule(run);
    EXPECT_TRUE(outcome.Messages.empty());
    return outcome.Washes;
  }
  // Within one session: the first wash at its first poll, then every gap at
  // least n hours and at most one poll more, and no wash owed at its end.
  void ExpectEveryNHours(int n, const ScheduleSession& session, const std::vector<LocalTime>& washes) {
    const std::int64_t start = Millis(session.Start), until = Millis(session.Until);
    std::vector<std::int64_t> in;
    for (const LocalTime& wash : washes)
      if (Millis(wash) >= start && Millis(wash) <= until) in.push_back(Millis(wash));
    ASSERT_FALSE(in.empty()) << "no wash in the session from " << FormatLocalTime(session.Start);
    EXPECT_EQ(in.front(), start + Poll) << FormatLocalTime(session.Start);
    for (std::size_t i = 1; i < in.size(); ++i) {
      EXPECT_GE(in[i] - in[i - 1], n * Hour)
          << "wash " << i << " of the session from " << FormatLocalTime(session.Start);
      EXPECT_LE(in[i] - in[i - 1], n * Hour + Poll)
          << "wash " << i << " of the session from " << FormatLocalTime(session.Start);
    }
    EXPECT_LT(until - in.back(), n * Hour + Poll);
  }
  // The stored time is the time of day of the last wash, to the second.
  void ExpectStoredTimeOf(const LocalTime& wash) {
    std::ifstream in(File(), std::ios::binary);
    const std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int hour12 = wash.Hour % 12 == 0 ? 12 : wash.Hour % 12;
    char expected[32];
    std::snprintf(expected, sizeof expected, "Time=%d:%02d:%02d %s\r\n", hour12, wash.Minute, wash.Second,
                  wash.Hour < 12 ? "AM" : "PM");
    EXPECT_NE(contents.find(expected), std::string::npos) << expected << " in\n" << contents;
    EXPECT_NE(contents.find("DateLastRun=12/6/2026\r\n"), std::string::npos);
  }
  std::string File() const { return folder.Path() + "schedule.ini"; }
  TempFolder folder;
};

TEST_F(HoursScenarios, TenDaysWithoutABreakKeepEveryGap) {
  const ScheduleSession tenDays{At("2026-12-07 10:00:00"), At("2026-12-17 10:00:00")};
  for (int n : {1, 5, 23, 24, 30}) {
    SCOPED_TRACE(n);
    const std::vector<LocalTime> washes = Run(n, {tenDays});
    ASSERT_FALSE(washes.empty());
    ExpectEveryNHours(n, tenDays, washes);
    EXPECT_EQ(washes.size(), static_cast<std::size_t>(240 / n + (240 % n ? 1 : 0)));
    ExpectStoredTimeOf(washes.back());
  }
}

TEST_F(HoursScenarios, WorkingDaysGetAWashEveryDay) {
  const std::vector<ScheduleSession> nineToFive = DailySessions(
      At("2026-12-07 00:00:00"), At("2026-12-11 23:59:59"), *ParseTimeOfDay("09:00:00"), *ParseTimeOfDay("17:00:00"));
  ASSERT_EQ(nineToFive.size(), 5u);
  // A different start each morning, and one day a short one.
  const std::vector<ScheduleSession> varied = {
      {At("2026-12-07 09:00:00"), At("2026-12-07 17:00:00")}, {At("2026-12-08 07:40:00"), At("2026-12-08 17:00:00")},
      {At("2026-12-09 10:15:00"), At("2026-12-09 17:00:00")}, {At("2026-12-10 08:05:00"), At("2026-12-10 11:00:00")},
      {At("2026-12-11 11:30:00"), At("2026-12-11 17:00:00")},
  };
  for (const auto* sessions : {&nineToFive, &varied}) {
    for (int n : {4, 12, 24}) {
      SCOPED_TRACE(testing::Message() << "every " << n << " hours, " << (sessions == &varied ? "varied" : "9 to 5"));
      const std::vector<LocalTime> washes = Run(n, *sessions);
      ASSERT_FALSE(washes.empty());
      for (const ScheduleSession& session : *sessions) ExpectEveryNHours(n, session, washes);
      ExpectStoredTimeOf(washes.back());
    }
  }
  // Nine to five, every 4 hours: 9:03 and 13:03 each day.
  const std::vector<LocalTime> washes = Run(4, nineToFive);
  ASSERT_EQ(washes.size(), 10u);
  EXPECT_EQ(FormatLocalTime(washes[8]), "2026-12-11 09:03:00");
  EXPECT_EQ(FormatLocalTime(washes[9]), "2026-12-11 13:03:00");
}

}  // namespace
}  // namespace kelpo
