#pragma once
// The current user's regional formats, as the system reports them for the
// program's thread. Read at start and again when the system announces a change.
// Formats use Windows' letters; an empty text stands for one the system did not
// report, and the text forms then use their fallback.

#include <string>

namespace kelpo {

struct FormatSettings {
  // d day, M month, y year (any case), "/" the date separator, quoted text literal.
  std::string ShortDateFormat = "m/d/yy";
  std::string DateSeparator = "/";
  // h hours on a 12-hour clock, H on a 24-hour clock (two letters: leading
  // zero), tt the AM/PM designator; where it stands says whether it comes first.
  std::string LongTimeFormat = "h:mm:ss tt";
  std::string TimeSeparator = ":";
  std::string DecimalSeparator = ".";
  std::string TimeAMString = "am";
  std::string TimePMString = "pm";
};

class RegionalSettings {
 public:
  virtual ~RegionalSettings() = default;
  // The formats in force now; fallbacks where the system reports none.
  virtual FormatSettings Read() = 0;
};

}  // namespace kelpo
