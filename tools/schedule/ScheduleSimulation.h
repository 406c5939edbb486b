#pragma once
// Runs the real main window on the simulated platform through spans of
// virtual time, with a given file as its settings file, and reports when each
// wash began. Used by the kelpo-schedule tool and by tests.

#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/RegionalSettings.h"

namespace kelpo {

// One span in which the computer is on: the program starts and the schedule
// is started at Start, and the program ends at Until.
struct ScheduleSession {
  LocalTime Start;
  LocalTime Until;
};

struct ScheduleRun {
  std::string SettingsFile;  // used in place as "settings.ini"
  LocalTime Start;
  LocalTime Until;
  // When given, the sessions in order instead of the one from Start to Until;
  // the computer is off between them.
  std::vector<ScheduleSession> Sessions;
  FormatSettings Region;
  std::optional<int> UnitSelected;  // the unit drop-down changed after loading, not applied
};

struct ScheduleOutcome {
  std::vector<LocalTime> Washes;      // local time at which each wash began
  std::vector<std::string> Messages;  // message boxes shown during the run
};

// For each session: loads the window at its start, clicks start, and lets
// time run to its end, where the program ends.
ScheduleOutcome SimulateSchedule(const ScheduleRun& run);

// A session each day from `from` to `until`, on from `dayStart` to `dayEnd`
// (times of day), cut to the span from `from` to `until`.
std::vector<ScheduleSession> DailySessions(const LocalTime& from, const LocalTime& until, const LocalTime& dayStart,
                                           const LocalTime& dayEnd);

// "YYYY-MM-DD HH:MM:SS", or nothing when the text is not such a time.
std::optional<LocalTime> ParseLocalTime(const std::string& text);
std::string FormatLocalTime(const LocalTime& time);
// "HH:MM:SS" into the time fields alone, or nothing.
std::optional<LocalTime> ParseTimeOfDay(const std::string& text);

}  // namespace kelpo
