#pragma once
// The local clock.

#include <cstdint>

namespace kelpo {

struct LocalTime {
  int Year = 1899;
  int Month = 12;  // 1..12
  int Day = 30;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // Milliseconds from an arbitrary start, for measuring intervals.
  virtual std::uint64_t TickCount() = 0;
};

}  // namespace kelpo
