#pragma once
// The due rules of the hours, days, weeks and months units: a function of the
// values one poll reads from the settings file, the moment of the poll and
// what this run of the program remembers, answering whether a wash is due and
// what the poll writes into the file before it answers.
//
// Days, weeks and months count whole days from the last-run date L: due on
// the boundary day B (L + N, L + 7N, L + 29N) at the first poll at or after
// the stored time of day, for weeks and months only when B is the chosen
// weekday, and on any day after B at its first poll. Today is written as the
// last-run date before the answer, so a wash that then fails waits for the
// next period.
//
// Hours. The promise is "every N hours, even on a computer that is not always
// on". The stored "Time" is a time of day without a date: it cannot tell a
// wash of ten minutes ago from one of three days ago. Counting from it modulo
// a day would see almost no time pass when the computer is started each
// morning near the time of yesterday's last wash, and for N of 24 and more
// would need the computer on at one particular moment. So the rule counts only
// from what the running program knows for certain, the moment of its own
// last hourly wash:
//   - No hourly wash yet in this run: nothing proves a recent one, so the
//     first poll washes, three minutes after the schedule is started at
//     whatever time of day. A computer used a few hours a day gets a wash
//     every day, for every N.
//   - After this run's last hourly wash W: due at the first poll at which N
//     hours have passed since W. Two washes are never less than N hours
//     apart, none comes more than one poll after N hours, and each count
//     starts at the wash itself, so nothing drifts.
// Elapsed time is measured on the system's tick count, which moves on in
// real time and through sleep whatever happens to the local clock, so that a
// daylight-saving change or a clock set by hand neither hastens nor delays a
// wash. Stopping, starting or applying the schedule keeps the count; a new
// run of the program starts without one and washes at its first poll: at
// worst one wash more than N hours would give, never one less. "Time" is
// written with the time of day of each hourly wash, for the record and the
// editor; "DateLastRun" is left alone.
//
// An empty "Day" or a count below 1 is never due, for every unit.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/Types.h"

namespace kelpo {

// The schedule as one poll reads it from the settings file.
struct ScheduleValues {
  int Unit = -1;          // "SchID"
  TDateTime LastRun = 0;  // "DateLastRun", a whole day
  TDateTime Time = 0;     // "Time", a time of day
  std::string Day;        // "Day"
  int Count = 0;          // "SchFrequency"
};

// One reading of the clock: today and the time of day cannot disagree.
struct PollMoment {
  TDateTime Today = 0;      // no time part
  TDateTime TimeOfDay = 0;  // no date part
  std::int64_t Ticks = 0;   // the system's tick count, in milliseconds
};
PollMoment ToPollMoment(const LocalTime& now, std::uint64_t ticks);

// What this run of the program knows of its own washes; forgotten when it ends.
struct RunMemory {
  std::optional<std::int64_t> LastHourlyWash;  // tick count of the poll that washed
  bool operator==(const RunMemory&) const = default;
};

struct DueAnswer {
  bool Due = false;
  std::optional<TDateTime> Time;         // to write as "Time" before answering
  std::optional<TDateTime> DateLastRun;  // to write as "DateLastRun" before answering
  RunMemory Memory;                      // the run's memory once the writes succeeded
};

DueAnswer CheckDueRule(const ScheduleValues& values, const PollMoment& now, const RunMemory& memory);

// English day name for 1 (Sunday) .. 7 (Saturday), whatever the region; empty otherwise.
std::string WeekdayName(int dayOfWeek);

}  // namespace kelpo
