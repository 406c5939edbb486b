// A year of the minutes schedule on the simulated clock: a wash every 30
// minutes, through the real main window, leaves the heap where it began.

#include <gtest/gtest.h>

#include "tests/heap/LiveAllocations.h"
#include "tests/support/KelpoHarness.h"

namespace kelpo {
namespace {

class HeapYearTest : public ::testing::Test {
 protected:
  void RunUntil(int year, int month, int day) {
    SimClock until;
    until.Set(year, month, day);
    k.sim.windowing.RunUntil(until.Millis());
  }
  int Washes() const {
    int washes = 0;
    for (CursorKind cursor : k.sim.windowing.CursorOverrides()) washes += cursor == CursorKind::HourGlass;
    return washes;
  }
  // The simulation's own records of the calls grow with every wash; they are
  // the test's instrument, not the program's heap.
  void ForgetRecords() {
    k.sim.registry.ClearCalls();
    k.sim.cache.ClearCalls();
  }
  KelpoHarness k;
};

TEST_F(HeapYearTest, AYearOfWashesEveryHalfHourLeavesTheHeapWhereItBegan) {
  k.WriteSettings("[Scheduler]\r\nSchID=0\r\nSchFrequency=30\r\n");
  k.sim.clock.Set(2026, 1, 1);
  k.Start();
  k.sim.windowing.Click(k.form->Panel2->Handle(), Point{30, 60});  // start
  ASSERT_EQ(k.RunningTimerInterval(), 1800000u);

  // A day to warm up: every buffer that the ticks and washes keep is made once.
  RunUntil(2026, 1, 2);
  const int warmUpWashes = Washes();
  ASSERT_EQ(warmUpWashes, 48);
  ForgetRecords();
  const long before = test::LiveAllocations();

  RunUntil(2027, 1, 1);
  ForgetRecords();
  const long after = test::LiveAllocations();
  EXPECT_EQ(Washes() - warmUpWashes, 364 * 48);
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());
  // A block kept by a wash would leave 17,472 behind; a few may move with the
  // reallocation of a buffer that grew.
  EXPECT_LE(after - before, 8) << before << " blocks alive after the warm-up, " << after << " after the year";
}

}  // namespace
}  // namespace kelpo
