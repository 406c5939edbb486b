#pragma once
// Round trips of the text forms for one regional set: every value of a kind that
// the program writes is written and read back. Each answers a description of
// the first value that does not come back, or nothing when all do. Shared by the
// native tests and the Win32 tests, which feed each locale's forms through them.

#include <optional>
#include <string>

#include "platform/RegionalSettings.h"
#include "settings/DateTime.h"
#include "settings/TextForms.h"

namespace kelpo {

inline std::string DescribeFormats(const FormatSettings& formats) {
  return "short date \"" + formats.ShortDateFormat + "\", date separator \"" + formats.DateSeparator +
         "\", long time \"" + formats.LongTimeFormat + "\", time separator \"" + formats.TimeSeparator + "\", am \"" +
         formats.TimeAMString + "\", pm \"" + formats.TimePMString + "\", decimal \"" + formats.DecimalSeparator + "\"";
}

// Every day from 1950 to 2049, read in the year it was written.
inline std::optional<std::string> DateThatDoesNotReadBack(const FormatSettings& formats) {
  const TDateTime last = EncodeDate(2049, 12, 31);
  for (TDateTime date = EncodeDate(1950, 1, 1); date <= last; date += 1) {
    const std::string text = DateToStr(date, formats);
    const auto back = TryStrToDate(text, formats, DecodeDate(date).Year);
    if (back != date) {
      const DateParts parts = DecodeDate(date);
      return "\"" + text + "\" written for " + std::to_string(parts.Year) + "-" + std::to_string(parts.Month) + "-" +
             std::to_string(parts.Day) + (back ? " reads as another date" : " does not read");
    }
  }
  return std::nullopt;
}

// Every second of a day.
inline std::optional<std::string> TimeThatDoesNotReadBack(const FormatSettings& formats) {
  for (int hour = 0; hour < 24; ++hour) {
    for (int minute = 0; minute < 60; ++minute) {
      for (int second = 0; second < 60; ++second) {
        const TDateTime time = EncodeTime(hour, minute, second, 0);
        const std::string text = TimeToStr(time, formats);
        const auto back = TryStrToTime(text, formats);
        if (back != time) {
          return "\"" + text + "\" written for " + std::to_string(hour) + ":" + std::to_string(minute) + ":" +
                 std::to_string(second) + (back ? " reads as another time" : " does not read");
        }
      }
    }
  }
  return std::nullopt;
}

// The counts of a schedule and numbers of up to 15 significant digits.
inline std::optional<std::string> NumberThatDoesNotReadBack(const FormatSettings& formats) {
  auto check = [&](double value) -> std::optional<std::string> {
    const std::string text = FloatToStr(value, formats);
    const auto back = TryStrToFloat(text, formats);
    if (back == value) return std::nullopt;
    return "\"" + text + "\"" + (back ? " reads as another number" : " does not read");
  };
  for (int count = -30; count <= 30; ++count) {
    if (auto fault = check(count)) return fault;
  }
  for (double value : {2.5, -0.5, 0.1, 1234.5678, 0.00015, 1e-5, 1.5e20, 123456789012345.0}) {
    if (auto fault = check(value)) return fault;
  }
  return std::nullopt;
}

}  // namespace kelpo
