#pragma once
// Calendar arithmetic on TDateTime: days since 30 December 1899, the fraction
// being the time of day. Dates use the proleptic Gregorian calendar, years 1..9999.
// Values before 1899 are negative; as in the original run-time library the
// integer part then still is the date and the fraction's magnitude the time.

#include <optional>

#include "platform/Clock.h"
#include "platform/Types.h"

namespace kelpo {

struct DateParts {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  bool operator==(const DateParts&) const = default;
};

struct TimeParts {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
  bool operator==(const TimeParts&) const = default;
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12

// The date, or nothing when it does not exist (for example 30 February).
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
// Throws kelpo::Exception for a date that does not exist.
TDateTime EncodeDate(int year, int month, int day);
DateParts DecodeDate(TDateTime value);

// Time of day as a fraction of a day: hours 0..23, minutes and seconds 0..59,
// milliseconds 0..999.
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);  // throws kelpo::Exception
// The time of day, rounded to the millisecond (a value within half a
// millisecond of midnight decodes as 0:00:00.000).
TimeParts DecodeTime(TDateTime value);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);
TDateTime DateOf(TDateTime value);  // the whole days
TDateTime TimeOf(TDateTime value);  // the fraction

// The clock's reading as a date-time value, to the millisecond.
TDateTime ToDateTime(const LocalTime& time);
TDateTime Today(Clock& clock);         // no time part
TDateTime TimeOfDayNow(Clock& clock);  // no date part
TDateTime Now(Clock& clock);

}  // namespace kelpo
