#include "platform/sim/SimRegionalSettings.h"

namespace kelpo {

FormatSettings SimRegionalSettings::Read() {
  return Current;
}

void SimRegionalSettings::Set(const FormatSettings& formats) {
  Current = formats;
}

}  // namespace kelpo
