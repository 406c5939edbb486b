#pragma once
// Regional sets as Windows reports them, for the round trips of the text
// forms: the countries whose forms are plain, those whose separators are
// followed by blanks or whose short date ends in a separator, a designator
// before the time, and the fallback forms. Designators outside ASCII are given
// in the locale's code page, as the ANSI calls answer them.

#include <string>
#include <utility>
#include <vector>

#include "platform/RegionalSettings.h"
#include "platform/sim/Regions.h"

namespace kelpo {

struct RegionalSet {
  std::string Name;
  FormatSettings Formats;
};

inline FormatSettings Forms(std::string shortDate, std::string dateSeparator, std::string longTime,
                            std::string timeSeparator, std::string am, std::string pm, std::string decimal) {
  FormatSettings formats;
  formats.ShortDateFormat = std::move(shortDate);
  formats.DateSeparator = std::move(dateSeparator);
  formats.LongTimeFormat = std::move(longTime);
  formats.TimeSeparator = std::move(timeSeparator);
  formats.TimeAMString = std::move(am);
  formats.TimePMString = std::move(pm);
  formats.DecimalSeparator = std::move(decimal);
  return formats;
}

inline FormatSettings Korean() {
  // "오전" and "오후" in code page 949.
  return Forms("yyyy. M. d.", ". ", "tt h:mm:ss", ":", "\xbf\xc0\xc0\xfc", "\xbf\xc0\xc8\xc4", ".");
}

inline FormatSettings Slovak() {
  return Forms("d. M. yyyy", ". ", "H:mm:ss", ":", "AM", "PM", ",");
}

inline FormatSettings Hungarian() {
  return Forms("yyyy. MM. dd.", ". ", "H:mm:ss", ":", "de.", "du.", ",");
}

inline std::vector<RegionalSet> RegionalSets() {
  return {
      {"United States", UnitedStates()},
      {"United Kingdom", Forms("dd/MM/yyyy", "/", "HH:mm:ss", ":", "AM", "PM", ".")},
      {"German", German()},
      {"French", Forms("dd/MM/yyyy", "/", "HH:mm:ss", ":", "", "", ",")},
      // "午前" and "午後" in code page 932.
      {"Japanese", Forms("yyyy/MM/dd", "/", "H:mm:ss", ":", "\x8c\xdf\x91\x4f", "\x8c\xdf\x8c\xe3", ".")},
      {"Korean", Korean()},
      {"Slovak", Slovak()},
      {"Hungarian", Hungarian()},
      {"Hungarian on a 12-hour clock", Forms("yyyy. MM. dd.", ". ", "tt h:mm:ss", ":", "de.", "du.", ",")},
      {"Swedish", Forms("yyyy-MM-dd", "-", "HH:mm:ss", ":", "fm", "em", ",")},
      {"fallback forms", FormatSettings{}},
      {"nothing reported", Forms("", "", "", "", "", "", "")},
  };
}

}  // namespace kelpo
