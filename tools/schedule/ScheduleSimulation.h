#pragma once
// Runs the real main window on the simulated platform through a span of
// virtual time, with a given file as its settings file, and reports when each
// wash began. Used by the kelpo-schedule tool and by tests.

#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/RegionalSettings.h"

namespace kelpo {

struct ScheduleRun {
  std::string SettingsFile;  // used in place as "settings.ini"
  LocalTime Start;
  LocalTime Until;
  FormatSettings Region;
  std::optional<int> UnitSelected;  // the unit drop-down changed after loading, not applied
};

struct ScheduleOutcome {
  std::vector<LocalTime> Washes;      // local time at which each wash began
  std::vector<std::string> Messages;  // message boxes shown during the run
};

// Loads the window at the start time, clicks start, and lets time run to the end.
ScheduleOutcome SimulateSchedule(const ScheduleRun& run);

// "YYYY-MM-DD HH:MM:SS", or nothing when the text is not such a time.
std::optional<LocalTime> ParseLocalTime(const std::string& text);
std::string FormatLocalTime(const LocalTime& time);

}  // namespace kelpo
