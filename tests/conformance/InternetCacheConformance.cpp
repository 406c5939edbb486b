// The parts of the URL cache contract that Wine implements, run against the
// simulation natively and against WinINet under Wine: the library probe,
// deleting an absent URL, and the conversion of entry times.

#include <gtest/gtest.h>

#include "tests/conformance/ConformanceBackend.h"

namespace kelpo {
namespace {

constexpr FileTime TicksPerDay = 864000000000ULL;

// 1 June of the year 10000, 12:00 UTC: days from 1601 to 10000-06-01.
constexpr FileTime MidYear10000 = 3067823ULL * TicksPerDay + TicksPerDay / 2;

TEST(InternetCacheConformance, ProbeFindsTheLibrary) {
  auto cache = MakeInternetCacheUnderTest();
  EXPECT_TRUE(cache->ProbeLibrary());
  EXPECT_TRUE(cache->ProbeLibrary());
}

TEST(InternetCacheConformance, DeletingAnAbsentUrlFailsWithFileNotFound) {
  auto cache = MakeInternetCacheUnderTest();
  EXPECT_FALSE(cache->DeleteEntry("http://absent.kelpo.example/nothing-here"));
  EXPECT_EQ(cache->LastError(), ErrorFileNotFound);
}

TEST(InternetCacheConformance, TimesBeyondTheYear9999ConvertButTheTopBitDoesNot) {
  auto cache = MakeInternetCacheUnderTest();
  const std::optional<LocalTime> far = cache->FileTimeToLocal(MidYear10000);
  ASSERT_TRUE(far.has_value());
  EXPECT_EQ(far->Year, 10000);
  EXPECT_EQ(far->Month, 6);

  EXPECT_FALSE(cache->FileTimeToLocal(0x8000000000000000ULL).has_value());
  EXPECT_FALSE(cache->FileTimeToLocal(0xFFFFFFFFFFFFFFFFULL).has_value());

  // Whatever the local bias, a day later is the next date at the same time of day.
  const FileTime noon = 154000ULL * TicksPerDay + TicksPerDay / 2;  // 22 August 2022, 12:00 UTC
  const std::optional<LocalTime> day = cache->FileTimeToLocal(noon);
  const std::optional<LocalTime> next = cache->FileTimeToLocal(noon + TicksPerDay);
  ASSERT_TRUE(day && next);
  EXPECT_EQ(next->Day, day->Day + 1);
  EXPECT_EQ(next->Hour, day->Hour);
  EXPECT_EQ(next->Minute, day->Minute);
}

}  // namespace
}  // namespace kelpo
