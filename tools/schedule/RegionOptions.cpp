#include "tools/schedule/RegionOptions.h"

#include "platform/sim/Regions.h"

namespace kelpo {
namespace {

struct RegionOption {
  const char* Name;
  std::string FormatSettings::*Setting;
};

constexpr RegionOption Options[] = {
    {"--short-date", &FormatSettings::ShortDateFormat},
    {"--date-separator", &FormatSettings::DateSeparator},
    {"--long-time", &FormatSettings::LongTimeFormat},
    {"--time-separator", &FormatSettings::TimeSeparator},
    {"--am", &FormatSettings::TimeAMString},
    {"--pm", &FormatSettings::TimePMString},
    {"--decimal-separator", &FormatSettings::DecimalSeparator},
};

}  // namespace

const char* const RegionOptionsUsage =
    "[--region us|de] [--short-date FORMAT] [--date-separator TEXT] [--long-time FORMAT] [--time-separator TEXT] "
    "[--am TEXT] [--pm TEXT] [--decimal-separator TEXT]";

std::optional<FormatSettings> NamedRegion(const std::string& name) {
  if (name == "us") return UnitedStates();
  if (name == "de") return German();
  return std::nullopt;
}

bool IsRegionOption(const std::string& option) {
  FormatSettings unused;
  return SetRegionOption(unused, option, "");
}

bool SetRegionOption(FormatSettings& formats, const std::string& option, const std::string& value) {
  for (const RegionOption& candidate : Options) {
    if (option == candidate.Name) {
      formats.*candidate.Setting = value;
      return true;
    }
  }
  return false;
}

}  // namespace kelpo
