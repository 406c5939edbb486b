#pragma once
// The current user's regional formats, as the system reports them for the
// program's thread. Read at start and again when the system announces a change.

#include <string>

namespace kelpo {

struct FormatSettings {
  std::string ShortDateFormat = "m/d/yy";  // letters d, m, y in the regional order
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char DecimalSeparator = '.';
  std::string TimeAMString = "am";
  std::string TimePMString = "pm";
  bool TwelveHourClock = true;    // a 12-hour clock with AM/PM designators
  bool LeadingZeroHours = false;  // hours written with two digits
  bool DesignatorFirst = false;   // the AM/PM designator precedes the time
};

class RegionalSettings {
 public:
  virtual ~RegionalSettings() = default;
  // The formats in force now; fallbacks where the system reports none.
  virtual FormatSettings Read() = 0;
};

}  // namespace kelpo
