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

bool StartsWith(std::string_view text, std::size_t pos, std::string_view prefix) {
  return !prefix.empty() && text.substr(pos, prefix.size()) == prefix;
}

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view prefix) {
  if (prefix.empty() || text.size() - pos < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[pos + i]) != Lower(prefix[i])) return false;
  }
  return true;
}

const std::string FallbackDateFormat = "m/d/yy";
const std::string FallbackDateSeparator = "/";
const std::string FallbackTimeFormat = "h:mm:ss tt";
const std::string FallbackTimeSeparator = ":";
const std::string FallbackDecimalSeparator = ".";

// A setting the system did not report takes the fallback form.
const std::string& OrFallback(const std::string& setting, const std::string& fallback) {
  return setting.empty() ? fallback : setting;
}

// The hour offset of an AM (0) or PM (12) designator at `pos`, consuming it.
// The longest designator that matches wins, so that one that begins with
// another ("a" and "am.") is still told apart.
std::optional<int> ScanDesignator(std::string_view text, std::size_t& pos, const FormatSettings& formats) {
  const std::pair<std::string_view, int> candidates[] = {
      {TrimBlanks(formats.TimeAMString), 0}, {"AM", 0}, {TrimBlanks(formats.TimePMString), 12}, {"PM", 12}};
  std::size_t longest = 0;
  std::optional<int> offset;
  for (const auto& [designator, hours] : candidates) {
    if (designator.size() > longest && StartsWithNoCase(text, pos, designator)) {
      longest = designator.size();
      offset = hours;
    }
  }
  pos += longest;
  return offset;
}

// Whether the designator reads back, alone, as the half of the day it names.
bool DesignatorReadsAs(std::string_view designator, int offset, const FormatSettings& formats) {
  std::size_t pos = 0;
  return !designator.empty() && ScanDesignator(designator, pos, formats) == offset && pos == designator.size();
}

// What the long time format says about the hours and the designator.
struct TimeLayout {
  bool TwelveHourClock = true;    // "h": hours 1..12 and a designator
  bool LeadingZeroHours = false;  // "hh" or "HH"
  bool DesignatorFirst = false;   // "tt" before the hours
};

TimeLayout TimeLayoutOf(const FormatSettings& formats) {
  const std::string& format = OrFallback(formats.LongTimeFormat, FallbackTimeFormat);
  TimeLayout layout;
  bool designatorSeen = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const std::size_t close = format.find(c, i + 1);
      i = close == std::string::npos ? format.size() : close;
    } else if (c == 't') {
      designatorSeen = true;
    } else if (c == 'h' || c == 'H') {
      std::size_t run = 0;
      while (i + run < format.size() && format[i + run] == c) ++run;
      layout.TwelveHourClock = c == 'h';
      layout.LeadingZeroHours = run >= 2;
      layout.DesignatorFirst = designatorSeen;
      return layout;
    }
  }
  return TimeLayout{};
}

// A short date format taken apart: its day, month and year fields in their
// order, and the text written before, between and after them (with "/"
// replaced by the date separator and quotes removed).
struct DateField {
  char Letter = 0;      // 'd', 'm' or 'y'
  std::size_t Run = 0;  // how many letters: the width written
};

struct DateLayout {
  DateField Fields[3];
  std::string Text[4];
};

// Nothing when the format does not name the day, the month and the year once
// each: such a format cannot give back the date it was written from.
std::optional<DateLayout> TryDateLayout(const std::string& format, const std::string& separator) {
  DateLayout layout;
  std::size_t count = 0;
  for (std::size_t i = 0; i < format.size();) {
    const char c = format[i];
    const char letter = Lower(c);
    if (c == '\'' || c == '"') {
      const std::size_t close = format.find(c, i + 1);
      const std::size_t end = close == std::string::npos ? format.size() : close;
      layout.Text[count].append(format, i + 1, end - i - 1);
      i = end == format.size() ? end : end + 1;
    } else if (letter == 'd' || letter == 'm' || letter == 'y') {
      if (count == 3) return std::nullopt;
      for (std::size_t field = 0; field < count; ++field) {
        if (layout.Fields[field].Letter == letter) return std::nullopt;
      }
      std::size_t run = 0;
      while (i < format.size() && Lower(format[i]) == letter) ++i, ++run;
      layout.Fields[count++] = DateField{letter, run};
    } else {
      layout.Text[count] += c == '/' ? separator : std::string(1, c);
      ++i;
    }
  }
  if (count != 3) return std::nullopt;
  return layout;
}

DateLayout DateLayoutOf(const FormatSettings& formats) {
  const std::string& separator = OrFallback(formats.DateSeparator, FallbackDateSeparator);
  if (auto layout = TryDateLayout(OrFallback(formats.ShortDateFormat, FallbackDateFormat), separator)) return *layout;
  return *TryDateLayout(FallbackDateFormat, separator);
}

// The number of digits a field is always written with, or 0 when that varies.
std::size_t FixedWidth(const DateField& field) {
  if (field.Letter == 'y') return field.Run <= 2 ? 2 : 4;
  return field.Run >= 2 ? 2 : 0;
}

// The separator at `pos` and any blanks after it. A separator that ends in
// blanks also matches without them, so blank-only text matches none or more;
// an empty separator (fields written side by side) matches at once.
bool MatchSeparator(std::string_view text, std::size_t& pos, std::string_view separator) {
  if (separator.empty()) return true;
  std::string_view core = separator;
  while (!core.empty() && core.back() == ' ') core.remove_suffix(1);
  if (text.substr(pos, core.size()) != core) return false;
  pos += core.size();
  SkipBlanks(text, pos);
  return true;
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
  const std::string& decimal = OrFallback(formats.DecimalSeparator, FallbackDecimalSeparator);
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
  // Next to the largest double, rounding up leaves the double range and the
  // text would not read back: the fifteenth digit is then rounded down.
  double reread = 0;
  if (std::fabs(value) > 1 && std::from_chars(scientific.data(), scientific.data() + scientific.size(), reread).ec ==
                                  std::errc::result_out_of_range) {
    std::size_t last = digits.size() - 1;
    while (digits[last] == '0') digits[last--] = '9';
    --digits[last];
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int exponent = std::atoi(std::string(scientific.substr(ePos + 1)).c_str());

  std::string text = value < 0 ? "-" : "";
  if (exponent < -4 || exponent >= 15) {
    text += digits[0];
    if (digits.size() > 1) {
      text += decimal;
      text.append(digits, 1);
    }
    text += 'E';
    text += std::to_string(exponent);
  } else if (exponent < 0) {
    text += '0';
    text += decimal;
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else {
    const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      text += digits;
      text.append(integerDigits - digits.size(), '0');
    } else {
      text.append(digits, 0, integerDigits);
      text += decimal;
      text.append(digits, integerDigits);
    }
  }
  return text;
}

std::optional<double> TryStrToFloat(std::string_view text, const FormatSettings& formats) {
  const std::string& decimal = OrFallback(formats.DecimalSeparator, FallbackDecimalSeparator);
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
  while (pos < text.size()) {
    if (IsDigit(text[pos])) {
      plain += text[pos++];
      ++mantissaDigits;
    } else if (!separatorSeen && StartsWith(text, pos, decimal)) {
      plain += '.';
      pos += decimal.size();
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
  const DateLayout layout = DateLayoutOf(formats);
  const DateParts parts = DecodeDate(date);
  std::string text = layout.Text[0];
  for (std::size_t i = 0; i < 3; ++i) {
    const DateField& field = layout.Fields[i];
    if (field.Letter == 'd') text += field.Run == 1 ? std::to_string(parts.Day) : Padded(parts.Day, 2);
    if (field.Letter == 'm') text += field.Run == 1 ? std::to_string(parts.Month) : Padded(parts.Month, 2);
    if (field.Letter == 'y') text += field.Run <= 2 ? Padded(parts.Year % 100, 2) : Padded(parts.Year, 4);
    text += layout.Text[i + 1];
  }
  return text;
}

std::optional<TDateTime> TryStrToDate(std::string_view text, const FormatSettings& formats, int currentYear) {
  const DateLayout layout = DateLayoutOf(formats);
  const std::string& separator = OrFallback(formats.DateSeparator, FallbackDateSeparator);
  int numbers[3] = {};
  std::size_t digits[3] = {};
  std::size_t count = 0;
  std::size_t pos = 0;
  MatchSeparator(text, pos, layout.Text[0]);
  while (true) {
    // A field written side by side with the next one is read by its width.
    const std::size_t width = count < 2 && layout.Text[count + 1].empty() ? FixedWidth(layout.Fields[count]) : 0;
    const std::string_view scanned = width ? text.substr(0, pos + width) : text;
    const auto number = ScanNumber(scanned, pos, width ? width : 4, &digits[count]);
    if (!number) return std::nullopt;
    numbers[count++] = *number;
    if (count == 3) break;
    // The format's own text between these fields or the date separator, when a number follows.
    const std::size_t end = pos;
    bool another = false;
    for (std::string_view between : {std::string_view(layout.Text[count]), std::string_view(separator)}) {
      pos = end;
      if (MatchSeparator(text, pos, between) && pos < text.size() && IsDigit(text[pos])) {
        another = true;
        break;
      }
    }
    if (!another) {
      pos = end;
      break;
    }
  }
  MatchSeparator(text, pos, layout.Text[3]);
  SkipBlanks(text, pos);
  if (pos != text.size() || count < 2) return std::nullopt;

  // The numbers fill the fields in the format's order; two numbers leave out the year.
  int year = currentYear;
  int month = 0;
  int day = 0;
  std::size_t yearDigits = 4;
  std::size_t next = 0;
  for (const DateField& field : layout.Fields) {
    if (field.Letter == 'y' && count == 2) continue;
    const int value = numbers[next];
    if (field.Letter == 'd') day = value;
    if (field.Letter == 'm') month = value;
    if (field.Letter == 'y') year = value, yearDigits = digits[next];
    ++next;
  }
  if (yearDigits <= 2) year = ExpandYear(year, currentYear);
  return TryEncodeDate(year, month, day);
}

TDateTime StrToDateDef(std::string_view text, TDateTime defaultValue, const FormatSettings& formats, int currentYear) {
  return TryStrToDate(text, formats, currentYear).value_or(defaultValue);
}

std::string TimeToStr(TDateTime time, const FormatSettings& formats) {
  const TimeLayout layout = TimeLayoutOf(formats);
  const std::string_view am = TrimBlanks(formats.TimeAMString);
  const std::string_view pm = TrimBlanks(formats.TimePMString);
  // Designators that do not tell morning from afternoon would read back as
  // another time: the hours are then written on the 24-hour clock.
  const bool twelveHours =
      layout.TwelveHourClock && DesignatorReadsAs(am, 0, formats) && DesignatorReadsAs(pm, 12, formats);
  const std::string& separator = OrFallback(formats.TimeSeparator, FallbackTimeSeparator);
  const TimeParts parts = DecodeTime(time);
  int hour = parts.Hour;
  if (twelveHours) {
    hour %= 12;
    if (hour == 0) hour = 12;
  }
  std::string text = layout.LeadingZeroHours ? Padded(hour, 2) : std::to_string(hour);
  text += separator;
  text += Padded(parts.Minute, 2);
  text += separator;
  text += Padded(parts.Second, 2);
  if (twelveHours) {
    const std::string designator(parts.Hour < 12 ? am : pm);
    text = layout.DesignatorFirst ? designator + " " + text : text + " " + designator;
  }
  return text;
}

std::optional<TDateTime> TryStrToTime(std::string_view text, const FormatSettings& formats) {
  const std::string& separator = OrFallback(formats.TimeSeparator, FallbackTimeSeparator);
  const std::string& decimal = OrFallback(formats.DecimalSeparator, FallbackDecimalSeparator);
  std::size_t pos = 0;
  SkipBlanks(text, pos);
  std::optional<int> hourOffset = ScanDesignator(text, pos, formats);
  if (hourOffset) SkipBlanks(text, pos);

  std::optional<int> hour = ScanNumber(text, pos, 2);
  if (!hour) return std::nullopt;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  if (StartsWith(text, pos, separator)) {
    pos += separator.size();
    const auto minutes = ScanNumber(text, pos, 2);
    if (!minutes) return std::nullopt;
    minute = *minutes;
    if (StartsWith(text, pos, separator)) {
      pos += separator.size();
      const auto seconds = ScanNumber(text, pos, 2);
      if (!seconds) return std::nullopt;
      second = *seconds;
      if (StartsWith(text, pos, decimal)) {
        pos += decimal.size();
        std::size_t fractionDigits = 0;
        const auto fraction = ScanNumber(text, pos, 3, &fractionDigits);
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
