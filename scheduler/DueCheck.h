#pragma once
// Whether a scheduled wash is due at a poll of the schedule timer, for the
// hours, days, weeks and months units. The schedule is read afresh from the
// settings file at every poll; a due rule records the run before answering.

#include <functional>
#include <string>

#include "framework/Application.h"
#include "settings/SettingsFile.h"

namespace kelpo {

class DueCheck {
 public:
  using SettingsOpener = std::function<SettingsFile()>;
  DueCheck(TApplication& application, SettingsOpener openSettings);

  // Reads the unit, and for units from hours on the last run and the time of
  // day, and asks the rule of that unit.
  bool IsScheduleDue();
  // The rule of one unit; writes "Time" (hours) or "DateLastRun" (days, weeks,
  // months) before answering true.
  bool CheckDueRule(int unit, TDateTime lastRun, TDateTime timeOfDay);
  // Writes today's date as "DateLastRun".
  void RecordLastRun();

  // English day name for 1 (Sunday) .. 7 (Saturday), whatever the region.
  static std::string WeekdayName(int dayOfWeek);
  // The hours rule on times of day alone: due once the clock has moved on
  // `count` hours from the last wash, across midnight; see the definition.
  static bool HoursDue(int count, TDateTime lastWash, TDateTime now);

 private:
  TApplication& app_;
  SettingsOpener openSettings_;
};

}  // namespace kelpo
