#pragma once
// The local clock through GetLocalTime and GetTickCount64.

#include "platform/Clock.h"

namespace kelpo {

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  std::uint64_t TickCount() override;
};

}  // namespace kelpo
