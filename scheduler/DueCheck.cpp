#include "scheduler/DueCheck.h"

#include <cmath>

#include "base/Calendar.h"
#include "scheduler/ScheduleKeys.h"
#include "settings/DateTime.h"

namespace kelpo {
namespace {

std::int64_t ToMillis(TDateTime timeOfDay) {
  return std::llround(TimeOf(timeOfDay) * static_cast<double>(MillisecondsPerDay));
}

}  // namespace

DueCheck::DueCheck(TApplication& application, SettingsOpener openSettings)
    : app_(application), openSettings_(std::move(openSettings)) {}

std::string DueCheck::WeekdayName(int dayOfWeek) {
  static const char* const names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  return dayOfWeek >= 1 && dayOfWeek <= 7 ? names[dayOfWeek - 1] : std::string();
}

// A time of day carries no date, so the hours unit measures the time since the
// last wash modulo one day: 23:00 to 1:00 is two hours. Counts of 1..23 wash
// once that many hours have passed. A day can hold no more than 24 hours, so
// counts of 24..30 wash once a day: at the last poll before the clock comes
// round to the time of the last wash (each wash then falls at most one poll
// interval earlier in the day than the one before).
bool DueCheck::HoursDue(int count, TDateTime lastWash, TDateTime now) {
  constexpr std::int64_t day = MillisecondsPerDay;
  constexpr std::int64_t hour = 3600000;
  std::int64_t elapsed = (ToMillis(now) - ToMillis(lastWash)) % day;
  if (elapsed < 0) elapsed += day;
  if (count < 24) return elapsed >= count * hour;
  return elapsed >= day - static_cast<std::int64_t>(PollInterval);
}

bool DueCheck::IsScheduleDue() {
  Clock& clock = app_.Services().clock;
  const SettingsFile settings = openSettings_();
  const int unit = settings.ReadInteger(SchedulerSection, SchIDKey, -1);
  if (unit < 1) return false;
  const TDateTime lastRun = settings.ReadDate(SchedulerSection, DateLastRunKey, Today(clock));
  const TDateTime timeOfDay = settings.ReadTime(SchedulerSection, TimeKey, TimeOfDayNow(clock));
  return CheckDueRule(unit, lastRun, timeOfDay);
}

bool DueCheck::CheckDueRule(int unit, TDateTime lastRun, TDateTime timeOfDay) {
  Clock& clock = app_.Services().clock;
  std::string day;
  int count = 0;
  {
    const SettingsFile settings = openSettings_();
    day = settings.ReadString(SchedulerSection, DayKey, "");
    count = settings.ReadInteger(SchedulerSection, SchFrequencyKey, 0);
  }
  // A count below 1 (typed and applied without leaving the field, or edited by
  // hand) would make every poll due; it stops the schedule as 0 does.
  if (day.empty() || count <= 0) return false;

  const TDateTime today = Today(clock);
  const TDateTime now = TimeOfDayNow(clock);
  const bool timeReached = now >= timeOfDay;
  const bool onWeekday = day == WeekdayName(DayOfWeek(today));
  bool due = false;
  switch (unit) {
    case suHours:
      due = HoursDue(count, timeOfDay, now);
      if (due) openSettings_().WriteTime(SchedulerSection, TimeKey, now);
      return due;
    case suDays: {
      const TDateTime boundary = lastRun + count;
      due = (today == boundary && timeReached) || today > boundary;
      break;
    }
    case suWeeks: {
      const TDateTime boundary = lastRun + 7.0 * count;
      due = (onWeekday && today >= boundary && timeReached) || today > boundary;
      break;
    }
    case suMonths: {
      const TDateTime boundary = lastRun + 29.0 * count;
      due = (onWeekday && today >= boundary && timeReached) || today > boundary;
      break;
    }
    default:
      return false;
  }
  if (due) RecordLastRun();
  return due;
}

void DueCheck::RecordLastRun() {
  SettingsFile settings = openSettings_();
  settings.WriteDate(SchedulerSection, DateLastRunKey, Today(app_.Services().clock));
}

}  // namespace kelpo
