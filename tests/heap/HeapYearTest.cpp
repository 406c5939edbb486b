// A year of the minutes schedule on the simulated clock: a wash every 30
// minutes, through the real main window, each deleting typed addresses and
// cache entries, leaves the heap where it began.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/heap/LiveAllocations.h"
#include "tests/support/KelpoHarness.h"

namespace kelpo {
namespace {

constexpr std::int64_t HalfHour = 30 * 60 * 1000;
constexpr const char* TypedUrls = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";

class HeapYearTest : public ::testing::Test {
 protected:
  // Half hour by half hour, with typed addresses and cache entries for each wash to delete.
  void RunUntil(int year, int month, int day) {
    SimClock until;
    until.Set(year, month, day);
    while (k.sim.clock.Millis() < until.Millis()) {
      k.sim.registry.SetValue(std::string(TypedUrls) + "\\Deep", "url1", "http://page.example/typed");
      for (const char* url : {"http://page.example/", "Cookie:user@page.example/"}) {
        CacheEntryRecord entry;
        entry.SourceUrlName = url;
        entry.CacheEntryType = NormalCacheEntry;
        k.sim.cache.Add(entry);
      }
      k.sim.windowing.RunUntil(std::min(until.Millis(), k.sim.clock.Millis() + HalfHour));
    }
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
  EXPECT_TRUE(k.sim.cache.Urls().empty());  // the last wash took what was planted before it
  EXPECT_FALSE(k.sim.registry.KeyExists(TypedUrls));
  // A block kept by each wash would leave 17,472 behind; the few allowed are
  // for blocks whose life merely spans the moment of a count.
  EXPECT_LE(after - before, 8) << before << " blocks alive after the warm-up, " << after << " after the year";
}

}  // namespace
}  // namespace kelpo
