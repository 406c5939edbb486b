#include "platform/sim/SimClock.h"

#include <cmath>

#include "settings/DateTime.h"

namespace kelpo {
namespace {
constexpr std::int64_t MillisPerDay = 86400000;
}

SimClock::SimClock() {
  Set(2026, 12, 7, 10, 0, 0);
  startMillis_ = millis_;
}

void SimClock::Set(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  const auto days = static_cast<std::int64_t>(EncodeDate(year, month, day));
  millis_ = days * MillisPerDay + ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
}

void SimClock::Set(TDateTime value) {
  millis_ = std::llround(value * MillisPerDay);
}

LocalTime SimClock::Now() {
  std::int64_t days = millis_ / MillisPerDay;
  std::int64_t rest = millis_ % MillisPerDay;
  if (rest < 0) {
    rest += MillisPerDay;
    --days;
  }
  const DateParts date = DecodeDate(static_cast<TDateTime>(days));
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
