#pragma once
// Regional settings of two countries, as Windows reports them, for the
// simulated platform (tests and the command-line tools).

#include "platform/RegionalSettings.h"

namespace kelpo {

inline FormatSettings UnitedStates() {
  FormatSettings formats;
  formats.ShortDateFormat = "M/d/yyyy";
  formats.DateSeparator = "/";
  formats.LongTimeFormat = "h:mm:ss tt";
  formats.TimeSeparator = ":";
  formats.DecimalSeparator = ".";
  formats.TimeAMString = "AM";
  formats.TimePMString = "PM";
  return formats;
}

inline FormatSettings German() {
  FormatSettings formats;
  formats.ShortDateFormat = "dd.MM.yyyy";
  formats.DateSeparator = ".";
  formats.LongTimeFormat = "HH:mm:ss";
  formats.TimeSeparator = ":";
  formats.DecimalSeparator = ",";
  formats.TimeAMString = "";
  formats.TimePMString = "";
  return formats;
}

}  // namespace kelpo
