#pragma once
// Regional settings of two countries, as Windows reports them, for the
// simulated platform (tests and the command-line tools).

#include "platform/RegionalSettings.h"

namespace kelpo {

inline FormatSettings UnitedStates() {
  FormatSettings formats;
  formats.ShortDateFormat = "M/d/yyyy";
  formats.DateSeparator = '/';
  formats.TimeSeparator = ':';
  formats.DecimalSeparator = '.';
  formats.TimeAMString = "AM";
  formats.TimePMString = "PM";
  formats.TwelveHourClock = true;
  formats.LeadingZeroHours = false;
  formats.DesignatorFirst = false;
  return formats;
}

inline FormatSettings German() {
  FormatSettings formats;
  formats.ShortDateFormat = "dd.MM.yyyy";
  formats.DateSeparator = '.';
  formats.TimeSeparator = ':';
  formats.DecimalSeparator = ',';
  formats.TimeAMString = "";
  formats.TimePMString = "";
  formats.TwelveHourClock = false;
  formats.LeadingZeroHours = true;
  formats.DesignatorFirst = false;
  return formats;
}

}  // namespace kelpo
