#pragma once
// Where the schedule lives in the settings file.

namespace kelpo {

constexpr const char* SettingsFileName = "settings.ini";
constexpr const char* SchedulerSection = "Scheduler";
constexpr const char* SchIDKey = "SchID";
constexpr const char* SchFrequencyKey = "SchFrequency";
constexpr const char* TimeKey = "Time";
constexpr const char* DayKey = "Day";
constexpr const char* DateLastRunKey = "DateLastRun";

// Positions in the unit drop-down, stored as SchID.
enum ScheduleUnit { suMinutes = 0, suHours = 1, suDays = 2, suWeeks = 3, suMonths = 4 };

// The schedule timer's interval for every unit but minutes: it only polls the due check.
constexpr unsigned PollInterval = 180000;

}  // namespace kelpo
