#pragma once
// kelpo-schedule's regional options: a named region, and one option for each
// regional setting on top of it, in Windows' format letters, so that any
// user's forms can be reproduced.

#include <optional>
#include <string>

#include "platform/RegionalSettings.h"

namespace kelpo {

// "us" or "de"; nothing for any other name.
std::optional<FormatSettings> NamedRegion(const std::string& name);

// Whether `option` names a regional setting.
bool IsRegionOption(const std::string& option);

// Sets the regional setting that `option` names ("--short-date" and the others
// of RegionOptionsUsage) to `value`; false when the option names none.
bool SetRegionOption(FormatSettings& formats, const std::string& option, const std::string& value);

extern const char* const RegionOptionsUsage;

}  // namespace kelpo
