#pragma once
// The poll of the schedule timer for the hours, days, weeks and months units:
// one reading of the clock, one read of the schedule from the settings file,
// the due rule, and the rule's writes before the answer. Keeps the run's
// memory of its own hourly washes for the life of the program.

#include <functional>
#include <string>

#include "framework/Application.h"
#include "scheduler/DueRule.h"

namespace kelpo {

class DueCheck {
 public:
  // `settingsPath` gives the full path of "settings.ini".
  DueCheck(TApplication& application, std::function<std::string()> settingsPath);

  // Whether a wash is due now; writes "Time" (hours) or "DateLastRun" (days,
  // weeks, months) first. A refused write raises "Unable to write to %s" and
  // leaves the run's memory as it was, so the next poll tries again.
  bool IsScheduleDue();

  const RunMemory& Memory() const { return memory_; }

 private:
  TApplication& app_;
  std::function<std::string()> settingsPath_;
  RunMemory memory_;
};

}  // namespace kelpo
