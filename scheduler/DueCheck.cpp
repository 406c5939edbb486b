#include "scheduler/DueCheck.h"

#include "scheduler/ScheduleKeys.h"
#include "settings/SettingsFile.h"

namespace kelpo {
namespace {

// The poll's one reading of the clock, for everything the poll asks the time
// of, the settings file's year for two-digit dates included.
class PollClock : public Clock {
 public:
  PollClock(const LocalTime& now, std::uint64_t ticks) : now_(now), ticks_(ticks) {}
  LocalTime Now() override { return now_; }
  std::uint64_t TickCount() override { return ticks_; }

 private:
  LocalTime now_;
  std::uint64_t ticks_;
};

}  // namespace

DueCheck::DueCheck(TApplication& application, std::function<std::string()> settingsPath)
    : app_(application), settingsPath_(std::move(settingsPath)) {}

bool DueCheck::IsScheduleDue() {
  Platform& platform = app_.Services();
  PollClock clock(platform.clock.Now(), platform.clock.TickCount());
  const PollMoment now = ToPollMoment(clock.Now(), clock.TickCount());

  SettingsFile settings(platform.profiles, app_.Formats(), clock, settingsPath_());
  ScheduleValues values;
  values.Unit = settings.ReadInteger(SchedulerSection, SchIDKey, -1);
  if (values.Unit < 1) return false;
  values.LastRun = settings.ReadDate(SchedulerSection, DateLastRunKey, now.Today);
  values.Time = settings.ReadTime(SchedulerSection, TimeKey, now.TimeOfDay);
  values.Day = settings.ReadString(SchedulerSection, DayKey, "");
  values.Count = settings.ReadInteger(SchedulerSection, SchFrequencyKey, 0);

  const DueAnswer answer = CheckDueRule(values, now, memory_);
  if (answer.Time) settings.WriteTime(SchedulerSection, TimeKey, *answer.Time);
  if (answer.DateLastRun) settings.WriteDate(SchedulerSection, DateLastRunKey, *answer.DateLastRun);
  memory_ = answer.Memory;
  return answer.Due;
}

}  // namespace kelpo
