#include "platform/win32/Win32RegionalSettings.h"

#include <optional>
#include <string>
#include <utility>

#include "platform/win32/Win32Api.h"

namespace kelpo {
namespace {

std::optional<std::string> LocaleText(LCID locale, LCTYPE item) {
  char buffer[128];
  const int length = GetLocaleInfoA(locale, item, buffer, sizeof buffer);
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length - 1));
}

// A format or separator: kept at its fallback when the system reports none.
void ReadForm(LCID locale, LCTYPE item, std::string& target) {
  if (auto text = LocaleText(locale, item); text && !text->empty()) target = std::move(*text);
}

}  // namespace

Win32RegionalSettings::Win32RegionalSettings() : LocaleId(LOCALE_USER_DEFAULT) {}

Win32RegionalSettings::Win32RegionalSettings(std::uint32_t localeId) : LocaleId(localeId) {}

FormatSettings Win32RegionalSettings::Read() {
  FormatSettings formats;
  const LCID locale = LocaleId;
  ReadForm(locale, LOCALE_SSHORTDATE, formats.ShortDateFormat);
  ReadForm(locale, LOCALE_SDATE, formats.DateSeparator);
  // The long time format carries the clock, the leading zero and where the
  // designator stands (what LOCALE_ITIME, ITLZERO and ITIMEMARKPOSN derive from).
  ReadForm(locale, LOCALE_STIMEFORMAT, formats.LongTimeFormat);
  ReadForm(locale, LOCALE_STIME, formats.TimeSeparator);
  ReadForm(locale, LOCALE_SDECIMAL, formats.DecimalSeparator);
  // An empty designator is a real answer (24-hour regions often have none).
  if (auto text = LocaleText(locale, LOCALE_S1159)) formats.TimeAMString = std::move(*text);
  if (auto text = LocaleText(locale, LOCALE_S2359)) formats.TimePMString = std::move(*text);
  return formats;
}

}  // namespace kelpo
