#pragma once
// A virtual local clock that tests and the simulated message loop move on.

#include <cstdint>

#include "platform/Clock.h"
#include "platform/Types.h"

namespace kelpo {

class SimClock : public Clock {
 public:
  SimClock();
  LocalTime Now() override;
  std::uint64_t TickCount() override { return static_cast<std::uint64_t>(millis_ - startMillis_); }

  // Milliseconds since 30 December 1899 00:00 local time.
  std::int64_t Millis() const { return millis_; }
  void SetMillis(std::int64_t millis) { millis_ = millis; }
  void Set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int millisecond = 0);
  void Set(TDateTime value);
  void Advance(std::int64_t milliseconds) { millis_ += milliseconds; }

 private:
  std::int64_t millis_;
  std::int64_t startMillis_;
};

}  // namespace kelpo
