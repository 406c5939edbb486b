#include "settings/DateTime.h"

#include <cmath>
#include <cstdint>

#include "base/Calendar.h"
#include "base/Exception.h"

namespace kelpo {
namespace {

constexpr std::int64_t EpochOffset = DaysFromCivil(1899, 12, 30);

// Splits a value into whole days and milliseconds of the day the way the
// original run-time library does: the whole value is rounded to the
// millisecond, the days truncated toward zero, the time taken as a magnitude.
struct DayAndTime {
  std::int64_t Days = 0;
  std::int64_t Milliseconds = 0;
};

DayAndTime Split(TDateTime value) {
  // Values beyond the calendar's range are clamped so the conversion stays defined.
  constexpr double Limit = 1e7;
  if (!std::isfinite(value)) value = 0;
  if (value > Limit) value = Limit;
  if (value < -Limit) value = -Limit;
  const std::int64_t total = std::llround(value * static_cast<double>(MillisecondsPerDay));
  const std::int64_t magnitude = total < 0 ? -total : total;
  return DayAndTime{total / MillisecondsPerDay, magnitude % MillisecondsPerDay};
}

}  // namespace

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
    return std::nullopt;
  }
  return static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                                EpochOffset);
}

TDateTime EncodeDate(int year, int month, int day) {
  if (auto date = TryEncodeDate(year, month, day)) return *date;
  throw Exception("Invalid argument to date encode");
}

DateParts DecodeDate(TDateTime value) {
  const CivilDate date = CivilFromDays(Split(value).Days + EpochOffset);
  return DateParts{date.Year, date.Month, date.Day};
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999) {
    return std::nullopt;
  }
  const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / static_cast<double>(MillisecondsPerDay);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  if (auto time = TryEncodeTime(hour, minute, second, millisecond)) return *time;
  throw Exception("Invalid argument to time encode");
}

TimeParts DecodeTime(TDateTime value) {
  std::int64_t ms = Split(value).Milliseconds;
  TimeParts parts;
  parts.Millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  parts.Second = static_cast<int>(ms % 60);
  ms /= 60;
  parts.Minute = static_cast<int>(ms % 60);
  parts.Hour = static_cast<int>(ms / 60);
  return parts;
}

int DayOfWeek(TDateTime value) {
  // Day 0, 30 December 1899, was a Saturday.
  const std::int64_t days = Split(value).Days;
  return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
}

TDateTime DateOf(TDateTime value) {
  return std::trunc(value);
}

TDateTime TimeOf(TDateTime value) {
  return value - std::trunc(value);
}

TDateTime ToDateTime(const LocalTime& time) {
  return EncodeDate(time.Year, time.Month, time.Day) +
         EncodeTime(time.Hour, time.Minute, time.Second, time.Millisecond);
}

TDateTime Today(Clock& clock) {
  const LocalTime now = clock.Now();
  return EncodeDate(now.Year, now.Month, now.Day);
}

TDateTime TimeOfDayNow(Clock& clock) {
  const LocalTime now = clock.Now();
  return EncodeTime(now.Hour, now.Minute, now.Second, now.Millisecond);
}

TDateTime Now(Clock& clock) {
  return ToDateTime(clock.Now());
}

}  // namespace kelpo
