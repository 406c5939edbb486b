// kelpo-schedule: when would Kelpo wash? Runs the real main window on the
// simulated platform from a start time to an end time with a given settings
// file (which afterwards shows what the program wrote) and prints each wash.
// With --daily or --session the computer is on only part of the time: each
// session starts the program and its schedule, and ends the program.
// The regional settings are those of a named region, each of which an option
// can set to what a user's computer reports.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/Regions.h"
#include "tools/schedule/RegionOptions.h"
#include "tools/schedule/ScheduleSimulation.h"

namespace {

constexpr const char* Usage =
    "usage: kelpo-schedule --settings FILE --start \"YYYY-MM-DD HH:MM:SS\" --until \"YYYY-MM-DD HH:MM:SS\" "
    "[--unit-selected N] [--daily HH:MM:SS-HH:MM:SS] [regional options]\n"
    "       kelpo-schedule --settings FILE --session \"YYYY-MM-DD HH:MM:SS..YYYY-MM-DD HH:MM:SS\"... [options]\n"
    "  --daily FROM-TO  the program runs each day from FROM to TO (between --start and --until)\n"
    "  --session S..U   the program runs from S to U; repeat for each time the computer is on\n"
    "  regional options:";

int Fail(const std::string& why) {
  std::fprintf(stderr, "kelpo-schedule: %s\n%s %s\n", why.c_str(), Usage, kelpo::RegionOptionsUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  kelpo::ScheduleRun run;
  run.Region = kelpo::UnitedStates();
  bool haveSettings = false, haveStart = false, haveUntil = false;
  std::optional<std::pair<kelpo::LocalTime, kelpo::LocalTime>> daily;
  // Each regional setting given goes on top of the region, whatever their order.
  std::vector<std::pair<std::string, std::string>> regionalSettings;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return Fail("missing value after " + option);
    const std::string value = argv[++i];
    if (option == "--settings") {
      run.SettingsFile = value;
      haveSettings = true;
    } else if (option == "--start" || option == "--until") {
      auto time = kelpo::ParseLocalTime(value);
      if (!time) return Fail("not a time: " + value);
      (option == "--start" ? run.Start : run.Until) = *time;
      (option == "--start" ? haveStart : haveUntil) = true;
    } else if (option == "--region") {
      const auto region = kelpo::NamedRegion(value);
      if (!region) return Fail("unknown region " + value);
      run.Region = *region;
    } else if (kelpo::IsRegionOption(option)) {
      regionalSettings.emplace_back(option, value);
    } else if (option == "--unit-selected") {
      char* end = nullptr;
      long unit = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end || unit < 0 || unit > 4) return Fail("the unit is a number from 0 to 4");
      run.UnitSelected = static_cast<int>(unit);
    } else if (option == "--daily") {
      const auto dash = value.find('-');
      const auto from = kelpo::ParseTimeOfDay(value.substr(0, dash));
      const auto to = dash == std::string::npos ? std::nullopt : kelpo::ParseTimeOfDay(value.substr(dash + 1));
      if (!from || !to || kelpo::FormatLocalTime(*to) <= kelpo::FormatLocalTime(*from))
        return Fail("not a span of the day: " + value);
      daily.emplace(*from, *to);
    } else if (option == "--session") {
      const auto dots = value.find("..");
      const auto start = kelpo::ParseLocalTime(value.substr(0, dots));
      const auto until = dots == std::string::npos ? std::nullopt : kelpo::ParseLocalTime(value.substr(dots + 2));
      if (!start || !until || kelpo::FormatLocalTime(*until) < kelpo::FormatLocalTime(*start))
        return Fail("not a session: " + value);
      if (!run.Sessions.empty() && kelpo::FormatLocalTime(*start) < kelpo::FormatLocalTime(run.Sessions.back().Until))
        return Fail("sessions must follow one another: " + value);
      run.Sessions.push_back(kelpo::ScheduleSession{*start, *until});
    } else {
      return Fail("unknown option " + option);
    }
  }
  for (const auto& [option, value] : regionalSettings) kelpo::SetRegionOption(run.Region, option, value);
  if (!haveSettings) return Fail("--settings is required");
  if (!run.Sessions.empty()) {
    if (haveStart || haveUntil || daily) return Fail("--session does not go with --start, --until or --daily");
  } else {
    if (!haveStart || !haveUntil) return Fail("--start and --until are required");
    if (kelpo::FormatLocalTime(run.Until) < kelpo::FormatLocalTime(run.Start)) return Fail("--until is before --start");
    if (daily) {
      run.Sessions = kelpo::DailySessions(run.Start, run.Until, daily->first, daily->second);
      if (run.Sessions.empty()) return Fail("--daily leaves no time between --start and --until");
    }
  }

  const kelpo::ScheduleOutcome outcome = kelpo::SimulateSchedule(run);
  for (const auto& message : outcome.Messages) std::fprintf(stderr, "message: %s\n", message.c_str());
  for (const auto& wash : outcome.Washes) std::printf("wash %s\n", kelpo::FormatLocalTime(wash).c_str());
  std::printf("%zu washes\n", outcome.Washes.size());
  return 0;
}
