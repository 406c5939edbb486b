#pragma once
// A clock that shows what the test sets.

#include <cstdint>

#include "platform/Clock.h"

namespace kelpo {

class FakeClock : public Clock {
 public:
  FakeClock() = default;
  explicit FakeClock(const LocalTime& time) : Time(time) {}

  LocalTime Now() override { return Time; }
  std::uint64_t TickCount() override { return Ticks; }

  void Set(const LocalTime& time) { Time = time; }
  void SetTickCount(std::uint64_t ticks) { Ticks = ticks; }

 private:
  LocalTime Time;
  std::uint64_t Ticks = 0;
};

}  // namespace kelpo
