#pragma once
// The regional formats from GetLocaleInfoA, for the user's default locale or
// for an explicit locale identifier (0x0407 German, 0x0409 United States), with
// the fallback formats for whatever the system does not report.

#include <cstdint>

#include "platform/RegionalSettings.h"

namespace kelpo {

class Win32RegionalSettings : public RegionalSettings {
 public:
  Win32RegionalSettings();  // the current user's default locale
  explicit Win32RegionalSettings(std::uint32_t localeId);

  FormatSettings Read() override;

 private:
  std::uint32_t LocaleId;
};

}  // namespace kelpo
