// The regional formats as Windows reports them, for explicit locales so the
// result does not depend on the environment, turned into the settings file's
// text forms.

#include <gtest/gtest.h>

#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32RegionalSettings.h"
#include "settings/DateTime.h"
#include "settings/TextForms.h"

namespace kelpo {
namespace {

TEST(Win32RegionalSettings, UnitedStatesGivesTheSampleForms) {
  const FormatSettings formats = Win32RegionalSettings(0x0409).Read();
  EXPECT_EQ(formats.DateSeparator, '/');
  EXPECT_EQ(formats.TimeSeparator, ':');
  EXPECT_EQ(formats.DecimalSeparator, '.');
  EXPECT_TRUE(formats.TwelveHourClock);
  EXPECT_FALSE(formats.LeadingZeroHours);
  EXPECT_FALSE(formats.DesignatorFirst);
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 0, 0), formats), "9:30:00 PM");
  EXPECT_EQ(DateToStr(EncodeDate(2026, 12, 4), formats), "12/4/2026");
  EXPECT_EQ(FloatToStr(2.5, formats), "2.5");
}

TEST(Win32RegionalSettings, GermanIsDayFirstOnA24HourClock) {
  const FormatSettings formats = Win32RegionalSettings(0x0407).Read();
  EXPECT_EQ(formats.DateSeparator, '.');
  EXPECT_EQ(formats.DecimalSeparator, ',');
  EXPECT_FALSE(formats.TwelveHourClock);
  EXPECT_TRUE(formats.LeadingZeroHours);
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 0, 0), formats), "21:30:00");
  EXPECT_EQ(FloatToStr(2.5, formats), "2,5");
  const TDateTime date = EncodeDate(2026, 12, 4);
  EXPECT_EQ(StrToDateDef(DateToStr(date, formats), 0, formats, 2026), date);
  EXPECT_EQ(StrToDateDef("04.12.2026", 0, formats, 2026), date);
}

TEST(Win32RegionalSettings, UserDefaultGivesUsableForms) {
  const FormatSettings formats = Win32RegionalSettings().Read();
  EXPECT_FALSE(formats.ShortDateFormat.empty());
  const TDateTime date = EncodeDate(2026, 12, 4);
  EXPECT_EQ(StrToDateDef(DateToStr(date, formats), 0, formats, 2026), date);
  const TDateTime time = EncodeTime(21, 30, 0, 0);
  EXPECT_EQ(StrToTimeDef(TimeToStr(time, formats), 0, formats), time);
}

TEST(Win32Clock, ReadsALocalTimeThatEncodes) {
  Win32Clock clock;
  const LocalTime now = clock.Now();
  EXPECT_TRUE(TryEncodeDate(now.Year, now.Month, now.Day));
  EXPECT_TRUE(TryEncodeTime(now.Hour, now.Minute, now.Second, now.Millisecond));
  EXPECT_GE(now.Year, 2020);
  const std::uint64_t first = clock.TickCount();
  EXPECT_GE(clock.TickCount(), first);
}

}  // namespace
}  // namespace kelpo
