#include "settings/TextForms.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "settings/DateTime.h"

namespace kelpo {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

void SkipBlanks(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
}

std::string Padded(int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

// A run of one to `maxDigits` decimal digits; nothing when there is none or more follow.
std::optional<int> ScanNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits,
                              std::size_t* digitCount = nullptr) {
  const std::size_t start = pos;
  int value = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    if (pos - start == maxDigits) return std::nullopt;
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  if (pos == start) return std::nullopt;
  if (digitCount) *digitCount = pos - start;
  return value;
}

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view prefix) {
  if (prefix.empty() || text.size() - pos < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[pos + i]) != Lower(prefix[i])) return false;
  }
  return true;
}

// The hour offset of an AM (0) or PM (12) designator at `pos`, consuming it.
std::optional<int> ScanDesignator(std::string_view text, std::size_t& pos, const FormatSettings& formats) {
  const std::pair<std::string_view, int> candidates[] = {
      {formats.TimeAMString, 0}, {"AM", 0}, {formats.TimePMString, 12}, {"PM", 12}};
  for (const auto& [designator, offset] : candidates) {
    if (StartsWithNoCase(text, pos, designator)) {
      pos += designator.size();
      return offset;
    }
  }
  return std::nullopt;
}

const std::string FallbackDateFormat = "m/d/yy";

const std::string& DateFormatOf(const FormatSettings& formats) {
  return formats.ShortDateFormat.empty() ? FallbackDateFormat : formats.ShortDateFormat;
}

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

DateOrder DateOrderOf(const std::string& format) {
  for (char c : format) {
    switch (Lower(c)) {
      case 'd':
        return DateOrder::DayMonthYear;
      case 'y':
        return DateOrder::YearMonthDay;
      case 'm':
        return DateOrder::MonthDayYear;
      default:
        break;
    }
  }
  return DateOrder::MonthDayYear;
}

// The year ending in `twoDigits` within the hundred years that begin 50 years
// before the current year.
int ExpandYear(int twoDigits, int currentYear) {
  const int first = currentYear - 50;
  const int century = first - ((first % 100) + 100) % 100;
  const int year = century + twoDigits;
  return year < first ? year + 100 : year;
}

}  // namespace

std::string IntToStr(int value) {
  return std::to_string(value);
}

std::optional<int> TryStrToInt(std::string_view text) {
  std::size_t pos = 0;
  SkipBlanks(text, pos);
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  int base = 10;
  if (pos < text.size() && text[pos] == '$') {
    base = 16;
    ++pos;
  } else if (pos + 1 < text.size() && text[pos] == '0' && Lower(text[pos + 1]) == 'x') {
    base = 16;
    pos += 2;
  }
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  const std::size_t firstDigit = pos;
  for (; pos < text.size(); ++pos) {
    const int digit = base == 16 ? HexValue(text[pos]) : (IsDigit(text[pos]) ? text[pos] - '0' : -1);
    if (digit < 0) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return std::nullopt;
  }
  if (pos == firstDigit) return std::nullopt;
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int StrToIntDef(std::string_view text, int defaultValue) {
  return TryStrToInt(text).value_or(defaultValue);
}

std::string FloatToStr(double value, const FormatSettings& formats) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";

  // Fifteen significant digits, correctly rounded: "-d.ddddddddddddddde+XX".
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t ePos = scientific.find('e');
  std::string digits;
  for (char c : scientific.substr(0, ePos)) {
    if (IsDigit(c)) digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int exponent = std::atoi(std::string(scientific.substr(ePos + 1)).c_str());

  std::string text = value < 0 ? "-" : "";
  if (exponent < -4 || exponent >= 15) {
    text += digits[0];
    if (digits.size() > 1) {
      text += formats.DecimalSeparator;
      text.append(digits, 1);
    }
    text += 'E';
    text += std::to_string(exponent);
  } else if (exponent < 0) {
    text += '0';
    text += formats.DecimalSeparator;
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else {
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      text += digits;
      text.append(integerDigits - digits.size(), '0');
    } else {
      text.append(digits, 0, integerDigits);
      text += formats.DecimalSeparator;
      text.append(digits, integerDigits);
    }
  }
  return text;
}

std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& formats) {
  text = TrimBlanks(text);
  std::size_t pos = 0;
  // Rebuilt in the fixed form std::from_chars reads, whatever the region.
  std::string plain;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    if (text[pos] == '-') plain += '-';
    ++pos;
  }
  std::size_t mantissaDigits = 0;
  bool separatorSeen = false;
  for (; pos < text.size(); ++pos) {
    if (IsDigit(text[pos])) {
      plain += text[pos];
      ++mantissaDigits;
    } else if (text[pos] == formats.DecimalSeparator && !separatorSeen) {
      plain += '.';
      separatorSeen = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (pos < text.size() && Lower(text[pos]) == 'e') {
    plain += 'e';
    ++pos;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
      if (text[pos] == '-') plain += '-';
      ++pos;
    }
    const std::size_t exponentStart = pos;
    while (pos < text.size() && IsDigit(text[pos])) plain += text[pos++];
    if (pos == exponentStart) return std::nullopt;
  }
  if (pos != text.size()) return std::nullopt;

  double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

double StrToFloatDef(std::string_view text, double defaultValue, const FormatSettings& formats) {
  return TryStrToFloat(text, formats).value_or(defaultValue);
}

std::string DateToStr(TDateTime date, const FormatSettings& formats) {
  const std::string& format = DateFormatOf(formats);
  const DateParts parts = DecodeDate(date);
  std::string text;
  for (std::size_t i = 0; i < format.size();) {
    const char c = format[i];
    const char letter = Lower(c);
    if (c == '\'' || c == '"') {
      const std::size_t close = format.find(c, i + 1);
      const std::size_t end = close == std::string::npos ? format.size() : close;
      text.append(format, i + 1, end - i - 1);
      i = end == format.size() ? end : end + 1;
    } else if (letter == 'd' || letter == 'm' || letter == 'y') {
      std::size_t run = 0;
      while (i < format.size() && Lower(format[i]) == letter) ++i, ++run;
      if (letter == 'd') text += run == 1 ? std::to_string(parts.Day) : Padded(parts.Day, 2);
      if (letter == 'm') text += run == 1 ? std::to_string(parts.Month) : Padded(parts.Month, 2);
      if (letter == 'y') text += run <= 2 ? Padded(parts.Year % 100, 2) : Padded(parts.Year, 4);
    } else {
      text += c == '/' ? formats.DateSeparator : c;
      ++i;
    }
  }
  return text;
}

std::optional<TDateTime> TryStrToDate(std::string_view text, const FormatSettings& formats, int currentYear) {
  int numbers[3] = {};
  std::size_t digits[3] = {};
  std::size_t count = 0;
  std::size_t pos = 0;
  while (true) {
    const auto number = ScanNumber(text, pos, 4, &digits[count]);
    if (!number) return std::nullopt;
    numbers[count++] = *number;
    if (count == 3 || pos >= text.size() || text[pos] != formats.DateSeparator) break;
    ++pos;
  }
  SkipBlanks(text, pos);
  if (pos != text.size() || count < 2) return std::nullopt;

  int year = currentYear;
  int month = 0;
  int day = 0;
  std::size_t yearDigits = 4;
  switch (DateOrderOf(DateFormatOf(formats))) {
    case DateOrder::MonthDayYear:
      month = numbers[0], day = numbers[1];
      if (count == 3) year = numbers[2], yearDigits = digits[2];
      break;
    case DateOrder::DayMonthYear:
      day = numbers[0], month = numbers[1];
      if (count == 3) year = numbers[2], yearDigits = digits[2];
      break;
    case DateOrder::YearMonthDay:
      if (count == 3) {
        year = numbers[0], yearDigits = digits[0], month = numbers[1], day = numbers[2];
      } else {
        month = numbers[0], day = numbers[1];
      }
      break;
  }
  if (yearDigits <= 2) year = ExpandYear(year, currentYear);
  return TryEncodeDate(year, month, day);
}

TDateTime StrToDateDef(std::string_view text, TDateTime defaultValue, const FormatSettings& formats, int currentYear) {
  return TryStrToDate(text, formats, currentYear).value_or(defaultValue);
}

std::string TimeToStr(TDateTime time, const FormatSettings& formats) {
  const TimeParts parts = DecodeTime(time);
  int hour = parts.Hour;
  const std::string* designator = nullptr;
  if (formats.TwelveHourClock) {
    designator = hour < 12 ? &formats.TimeAMString : &formats.TimePMString;
    hour %= 12;
    if (hour == 0) hour = 12;
  }
  std::string text = formats.LeadingZeroHours ? Padded(hour, 2) : std::to_string(hour);
  text += formats.TimeSeparator;
  text += Padded(parts.Minute, 2);
  text += formats.TimeSeparator;
  text += Padded(parts.Second, 2);
  if (designator && !designator->empty()) {
    text = formats.DesignatorFirst ? *designator + " " + text : text + " " + *designator;
  }
  return text;
}

std::optional<TDateTime> TryStrToTime(std::string_view text, const FormatSettings& formats) {
  std::size_t pos = 0;
  SkipBlanks(text, pos);
  std::optional<int> hourOffset = ScanDesignator(text, pos, formats);
  if (hourOffset) SkipBlanks(text, pos);

  std::optional<int> hour = ScanNumber(text, pos, 2);
  if (!hour) return std::nullopt;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  if (pos < text.size() && text[pos] == formats.TimeSeparator) {
    const auto minutes = ScanNumber(text, ++pos, 2);
    if (!minutes) return std::nullopt;
    minute = *minutes;
    if (pos < text.size() && text[pos] == formats.TimeSeparator) {
      const auto seconds = ScanNumber(text, ++pos, 2);
      if (!seconds) return std::nullopt;
      second = *seconds;
      if (pos < text.size() && text[pos] == formats.DecimalSeparator) {
        std::size_t fractionDigits = 0;
        const auto fraction = ScanNumber(text, ++pos, 3, &fractionDigits);
        if (!fraction) return std::nullopt;
        millisecond = *fraction * (fractionDigits == 1 ? 100 : fractionDigits == 2 ? 10 : 1);
      }
    }
  }
  if (!hourOffset) {
    SkipBlanks(text, pos);
    hourOffset = ScanDesignator(text, pos, formats);
  }
  SkipBlanks(text, pos);
  if (pos != text.size()) return std::nullopt;

  if (hourOffset) {
    if (*hour < 1 || *hour > 12) return std::nullopt;
    *hour = *hour % 12 + *hourOffset;
  }
  return TryEncodeTime(*hour, minute, second, millisecond);
}

TDateTime StrToTimeDef(std::string_view text, TDateTime defaultValue, const FormatSettings& formats) {
  return TryStrToTime(text, formats).value_or(defaultValue);
}

}  // namespace kelpo
