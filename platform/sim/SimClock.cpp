#include "platform/sim/SimClock.h"

#include <cmath>

#include "base/Calendar.h"
#include "base/Exception.h"

namespace kelpo {
namespace {
// Day 0 of the clock's count: 30 December 1899.
constexpr std::int64_t EpochOffset = DaysFromCivil(1899, 12, 30);
}  // namespace

SimClock::SimClock() {
  Set(2026, 12, 7, 10, 0, 0);
  startMillis_ = millis_;
}

void SimClock::Set(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const CivilDate date{year, month, day};
  const std::int64_t civilDays = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  if (month < 1 || month > 12 || day < 1 || CivilFromDays(civilDays) != date)
    throw Exception("Invalid argument to date encode");
  const std::int64_t days = civilDays - EpochOffset;
  millis_ = days * MillisecondsPerDay + ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
}

void SimClock::Set(TDateTime value) {
  millis_ = std::llround(value * MillisecondsPerDay);
}

LocalTime SimClock::Now() {
  std::int64_t days = millis_ / MillisecondsPerDay;
  std::int64_t rest = millis_ % MillisecondsPerDay;
  if (rest < 0) {
    rest += MillisecondsPerDay;
    --days;
  }
  const CivilDate date = CivilFromDays(days + EpochOffset);
  LocalTime t;
  t.Year = date.Year;
  t.Month = date.Month;
  t.Day = date.Day;
  t.Hour = static_cast<int>(rest / 3600000);
  t.Minute = static_cast<int>(rest / 60000 % 60);
  t.Second = static_cast<int>(rest / 1000 % 60);
  t.Millisecond = static_cast<int>(rest % 1000);
  return t;
}

}  // namespace kelpo
