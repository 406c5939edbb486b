#pragma once
// Text forms of integers, numbers, dates and times as the settings file stores
// them, in the user's regional formats. The Try functions answer nothing for a
// text that does not convert; the Def functions answer the caller's default.

#include <optional>
#include <string>
#include <string_view>

#include "platform/RegionalSettings.h"
#include "platform/Types.h"

namespace kelpo {

// Decimal digits with a leading "-" for negative values.
std::string IntToStr(int value);

// Leading blanks, an optional sign, then decimal digits, or hexadecimal digits
// after "$", "0x" or "0X". Nothing may follow the digits (a trailing blank does
// not convert). The value must fit a 32-bit signed integer, also in hexadecimal.
std::optional<int> TryStrToInt(std::string_view text);
int StrToIntDef(std::string_view text, int defaultValue);

// The general form with at most 15 significant digits: fixed notation while the
// value is at least 0.0001 and has at most 15 integer digits ("3", "2.5",
// "0.0001"), scientific notation otherwise, with the exponent in its fewest
// digits and a sign only when negative ("1E20", "1E-5", "1.5E-7"); next to the
// largest double the last digit is rounded down, so that the text still reads
// ("1.79769313486231E308"). Not-a-number
// and infinities are written "NAN", "INF" and "-INF".
std::string FloatToStr(double value, const FormatSettings& formats);

// Surrounding blanks, an optional sign, digits with at most one regional decimal
// separator, an optional exponent ("E" or "e", optional sign, digits). A value
// out of the double range does not convert; infinity and NaN are never answered.
std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& formats);
double StrToFloatDef(std::string_view text, double defaultValue, const FormatSettings& formats);

// The date in the regional short date format: runs of d, m and y (any case)
// give the day, month (one letter: no leading zero, more: two digits) and year
// (one or two letters: two digits, more: four); "/" stands for the regional
// date separator; text in quotes and other characters are copied. "m/d/yy"
// when the format is empty or does not name the day, the month and the year
// once each (it could not give the date back).
std::string DateToStr(TDateTime date, const FormatSettings& formats);

// Two or three numbers of one to four digits separated by the regional date
// separator, in the order of the fields of the short date format, with
// trailing blanks. Two numbers take the current year; a one- or two-digit year
// lies in the hundred years beginning 50 years before the current year. The
// answer has no time part.
// So that every date DateToStr writes reads back, the reader also takes what the
// format itself puts before, between and after the numbers ("yyyy. MM. dd."
// writes "2026. 12. 04."), separators followed by blanks ("d. M. yyyy", or a
// separator of ". "), and fields written side by side when the first has a
// fixed width ("yyyyMMdd"). Side by side fields of varying width ("dM") cannot
// be told apart.
std::optional<TDateTime> TryStrToDate(std::string_view text, const FormatSettings& formats, int currentYear);
TDateTime StrToDateDef(std::string_view text, TDateTime defaultValue, const FormatSettings& formats, int currentYear);

// The time of day only: hours (two digits when the long time format has "hh"
// or "HH"), the time separator, two-digit minutes and seconds; on a 12-hour
// clock ("h" in the format) the AM/PM designator after a blank, or before it
// followed by a blank where "tt" precedes the hours. Designators that are empty
// or do not read back as their own half of the day (the same text for both)
// cannot carry the time: the hours are then written on the 24-hour clock.
std::string TimeToStr(TDateTime time, const FormatSettings& formats);

// Hours, then optionally minutes, seconds (each of one or two digits, after the
// regional time separator) and a fraction of a second of one to three digits
// after the regional decimal separator ("21:30:00.5" is half a second). An
// optional designator before or after, set apart by optional blanks: the
// regional AM/PM strings or "AM"/"PM" in any case, the longest that matches. With
// a designator hours are 1..12 (12 AM is midnight, 12 PM noon), without 0..23.
// The answer has no date part.
std::optional<TDateTime> TryStrToTime(std::string_view text, const FormatSettings& formats);
TDateTime StrToTimeDef(std::string_view text, TDateTime defaultValue, const FormatSettings& formats);

}  // namespace kelpo
