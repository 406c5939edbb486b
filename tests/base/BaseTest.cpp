// The scope guard and the calendar arithmetic at the bottom of the layers.

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "base/Calendar.h"
#include "base/ScopeGuard.h"

namespace kelpo {
namespace {

TEST(ScopeGuard, RunsOnceWhenTheScopeEndsNormallyOrByAnError) {
  int runs = 0;
  {
    ScopeGuard guard([&] { ++runs; });
    EXPECT_EQ(runs, 0);
  }
  EXPECT_EQ(runs, 1);
  try {
    ScopeGuard guard([&] { ++runs; });
    throw std::runtime_error("step failed");
  } catch (const std::runtime_error&) {
    EXPECT_EQ(runs, 2);
  }
  EXPECT_EQ(runs, 2);
}

TEST(Calendar, DayCountsOfKnownDatesAndBack) {
  struct Case {
    CivilDate Date;
    std::int64_t Days;
  };
  const std::vector<Case> cases = {
      {{1970, 1, 1}, 0},      {{1969, 12, 31}, -1},      {{1899, 12, 30}, -25569}, {{1601, 1, 1}, -134774},
      {{1, 1, 1}, -719162},   {{2000, 2, 29}, 11016},    {{2000, 3, 1}, 11017},    {{1900, 3, 1}, -25508},
      {{2026, 12, 7}, 20794}, {{9999, 12, 31}, 2932896},
  };
  for (const Case& c : cases) {
    const auto month = static_cast<unsigned>(c.Date.Month);
    const auto day = static_cast<unsigned>(c.Date.Day);
    EXPECT_EQ(DaysFromCivil(c.Date.Year, month, day), c.Days) << c.Date.Year << "-" << c.Date.Month;
    EXPECT_EQ(CivilFromDays(c.Days), c.Date) << c.Days;
  }
  // Every day of four centuries, across the leap-year rules of 1900 and 2000, goes there and back.
  for (std::int64_t days = DaysFromCivil(1800, 1, 1); days <= DaysFromCivil(2200, 1, 1); ++days) {
    const CivilDate date = CivilFromDays(days);
    ASSERT_EQ(DaysFromCivil(date.Year, static_cast<unsigned>(date.Month), static_cast<unsigned>(date.Day)), days);
  }
}

}  // namespace
}  // namespace kelpo
