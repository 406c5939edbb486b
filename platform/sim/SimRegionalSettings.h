#pragma once
// Regional settings of the simulated system: the fallback formats until a test
// sets others.

#include "platform/RegionalSettings.h"

namespace kelpo {

class SimRegionalSettings : public RegionalSettings {
 public:
  FormatSettings Read() override;
  void Set(const FormatSettings& formats);

 private:
  FormatSettings Current;
};

}  // namespace kelpo
