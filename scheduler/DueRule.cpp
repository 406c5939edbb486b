#include "scheduler/DueRule.h"

#include "scheduler/ScheduleKeys.h"
#include "settings/DateTime.h"

namespace kelpo {
namespace {

constexpr std::int64_t MillisPerHour = 3600000;

bool HoursDue(int count, const PollMoment& now, const RunMemory& memory) {
  if (!memory.LastHourlyWash) return true;
  const std::int64_t elapsed = now.Ticks - *memory.LastHourlyWash;
  // The tick count never goes back; should it, the memory proves nothing.
  return elapsed < 0 || elapsed >= count * MillisPerHour;
}

}  // namespace

PollMoment ToPollMoment(const LocalTime& now, std::uint64_t ticks) {
  return PollMoment{EncodeDate(now.Year, now.Month, now.Day),
                    EncodeTime(now.Hour, now.Minute, now.Second, now.Millisecond), static_cast<std::int64_t>(ticks)};
}

std::string WeekdayName(int dayOfWeek) {
  static const char* const names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return dayOfWeek >= 1 && dayOfWeek <= 7 ? names[dayOfWeek - 1] : std::string();
}

DueAnswer CheckDueRule(const ScheduleValues& values, const PollMoment& now, const RunMemory& memory) {
  DueAnswer answer;
  answer.Memory = memory;
  if (values.Day.empty() || values.Count <= 0) return answer;

  const TDateTime today = now.Today;
  const bool timeReached = now.TimeOfDay >= values.Time;
  const auto boundary = [&](int daysPerUnit) {
    return values.LastRun + static_cast<double>(daysPerUnit) * values.Count;
  };
  // Weeks and months: on the boundary only on the chosen weekday, any day after it.
  const auto weekdayDue = [&](TDateTime b) {
    return (values.Day == WeekdayName(DayOfWeek(today)) && today >= b && timeReached) || today > b;
  };
  switch (values.Unit) {
    case suHours:
      if (HoursDue(values.Count, now, memory)) {
        answer.Due = true;
        answer.Time = now.TimeOfDay;
        answer.Memory.LastHourlyWash = now.Ticks;
      }
      return answer;
    case suDays: {
      const TDateTime b = boundary(1);
      answer.Due = (today == b && timeReached) || today > b;
      break;
    }
    case suWeeks:
      answer.Due = weekdayDue(boundary(7));
      break;
    case suMonths:
      answer.Due = weekdayDue(boundary(29));
      break;
    default:
      return answer;
  }
  if (answer.Due) answer.DateLastRun = now.Today;
  return answer;
}

}  // namespace kelpo
