#include <gtest/gtest.h>

#include "base/Exception.h"
#include "settings/DateTime.h"
#include "tests/support/FakeClock.h"

namespace kelpo {
namespace {

TEST(DateTime, EncodesDaysSinceTheEpoch) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(2026, 12, 5), 46361);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
}

TEST(DateTime, RejectsDatesThatDoNotExist) {
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29));
  EXPECT_TRUE(TryEncodeDate(2024, 2, 29));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29));
  EXPECT_FALSE(TryEncodeDate(2026, 2, 29));
  EXPECT_FALSE(TryEncodeDate(2026, 4, 31));
  EXPECT_FALSE(TryEncodeDate(2026, 13, 1));
  EXPECT_FALSE(TryEncodeDate(2026, 0, 1));
  EXPECT_FALSE(TryEncodeDate(2026, 1, 0));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1));
  EXPECT_THROW(EncodeDate(2026, 2, 30), Exception);
}

TEST(DateTime, DecodeInvertsEncodeOverCenturies) {
  for (int year : {1, 1600, 1899, 1900, 1999, 2000, 2026, 2100, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= DaysInMonth(year, month); ++day) {
        ASSERT_EQ(DecodeDate(EncodeDate(year, month, day)), (DateParts{year, month, day}))
            << year << "-" << month << "-" << day;
      }
    }
  }
}

TEST(DateTime, EncodesAndDecodesTimeOfDayToTheMillisecond) {
  EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_DOUBLE_EQ(EncodeTime(21, 30, 0, 0), 21.5 / 24);
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0));
  EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000));
  EXPECT_THROW(EncodeTime(-1, 0, 0, 0), Exception);

  const TDateTime value = EncodeDate(2026, 12, 5) + EncodeTime(21, 30, 15, 250);
  EXPECT_EQ(DecodeTime(value), (TimeParts{21, 30, 15, 250}));
  EXPECT_EQ(DecodeTime(EncodeTime(23, 59, 59, 999)), (TimeParts{23, 59, 59, 999}));
  // Within half a millisecond of midnight the value is midnight of the next day.
  const TDateTime almostMidnight = EncodeDate(2026, 12, 5) + 1 - 1e-10;
  EXPECT_EQ(DecodeTime(almostMidnight), (TimeParts{0, 0, 0, 0}));
  EXPECT_EQ(DecodeDate(almostMidnight), (DateParts{2026, 12, 6}));
}

TEST(DateTime, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(0), 7);  // 30 December 1899, a Saturday
  EXPECT_EQ(DayOfWeek(1.75), 1);
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 4)), 6);
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 6) + 0.99), 1);
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
}

TEST(DateTime, SplitsDateAndTimeParts) {
  const TDateTime value = EncodeDate(2026, 12, 5) + EncodeTime(21, 30, 0, 0);
  EXPECT_EQ(DateOf(value), 46361);
  EXPECT_EQ(DecodeDate(value), (DateParts{2026, 12, 5}));
  EXPECT_NEAR(TimeOf(value), 21.5 / 24, 1e-9);
  // Before 1899 the fraction's magnitude is the time of day.
  EXPECT_EQ(DecodeDate(-1.25), (DateParts{1899, 12, 29}));
  EXPECT_EQ(DecodeTime(-1.25), (TimeParts{6, 0, 0, 0}));
}

TEST(DateTime, ReadsTheClock) {
  FakeClock clock(LocalTime{2026, 12, 5, 21, 30, 15, 250});
  EXPECT_EQ(Today(clock), 46361);
  EXPECT_DOUBLE_EQ(TimeOfDayNow(clock), EncodeTime(21, 30, 15, 250));
  EXPECT_DOUBLE_EQ(Now(clock), 46361 + EncodeTime(21, 30, 15, 250));
  EXPECT_DOUBLE_EQ(ToDateTime(LocalTime{2000, 1, 1, 12, 0, 0, 0}), 36526.5);
}

}  // namespace
}  // namespace kelpo
