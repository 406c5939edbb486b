#include "platform/win32/Win32RegionalSettings.h"

#include <optional>
#include <string>

#include "platform/win32/Win32Api.h"

namespace kelpo {
namespace {

std::optional<std::string> LocaleText(LCID locale, LCTYPE item) {
  char buffer[128];
  const int length = GetLocaleInfoA(locale, item, buffer, sizeof buffer);
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length - 1));
}

void ReadChar(LCID locale, LCTYPE item, char& target) {
  if (const auto text = LocaleText(locale, item); text && !text->empty()) target = (*text)[0];
}

void ReadFlag(LCID locale, LCTYPE item, bool& target) {
  if (const auto text = LocaleText(locale, item); text && !text->empty()) target = (*text)[0] == '1';
}

}  // namespace

Win32RegionalSettings::Win32RegionalSettings() : LocaleId(LOCALE_USER_DEFAULT) {}

Win32RegionalSettings::Win32RegionalSettings(std::uint32_t localeId) : LocaleId(localeId) {}

FormatSettings Win32RegionalSettings::Read() {
  FormatSettings formats;
  const LCID locale = LocaleId;
  if (const auto text = LocaleText(locale, LOCALE_SSHORTDATE); text && !text->empty()) formats.ShortDateFormat = *text;
  ReadChar(locale, LOCALE_SDATE, formats.DateSeparator);
  ReadChar(locale, LOCALE_STIME, formats.TimeSeparator);
  ReadChar(locale, LOCALE_SDECIMAL, formats.DecimalSeparator);
  // An empty designator is a real answer (24-hour regions often have none).
  if (const auto text = LocaleText(locale, LOCALE_S1159)) formats.TimeAMString = *text;
  if (const auto text = LocaleText(locale, LOCALE_S2359)) formats.TimePMString = *text;
  // LOCALE_ITIME: "0" is the 12-hour clock, "1" the 24-hour clock.
  bool twentyFourHours = !formats.TwelveHourClock;
  ReadFlag(locale, LOCALE_ITIME, twentyFourHours);
  formats.TwelveHourClock = !twentyFourHours;
  ReadFlag(locale, LOCALE_ITLZERO, formats.LeadingZeroHours);
  ReadFlag(locale, LOCALE_ITIMEMARKPOSN, formats.DesignatorFirst);
  return formats;
}

}  // namespace kelpo
