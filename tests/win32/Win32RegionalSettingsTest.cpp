// The regional formats as Windows reports them, for explicit locales so the
// result does not depend on the environment, turned into the settings file's
// text forms.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32RegionalSettings.h"
#include "settings/DateTime.h"
#include "settings/TextForms.h"
#include "tests/settings/TextFormRoundTrip.h"

namespace kelpo {
namespace {

std::vector<LCID>* ListedLocales = nullptr;

BOOL CALLBACK AddLocale(LPSTR text) {
  ListedLocales->push_back(static_cast<LCID>(std::strtoul(text, nullptr, 16)));
  return TRUE;
}

std::vector<LCID> SystemLocales() {
  std::vector<LCID> locales;
  ListedLocales = &locales;
  EnumSystemLocalesA(AddLocale, LCID_SUPPORTED);
  ListedLocales = nullptr;
  return locales;
}

std::string Hex(LCID locale) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04lx", static_cast<unsigned long>(locale));
  return text;
}

TEST(Win32RegionalSettings, UnitedStatesGivesTheSampleForms) {
  const FormatSettings formats = Win32RegionalSettings(0x0409).Read();
  EXPECT_EQ(formats.DateSeparator, "/");
  EXPECT_EQ(formats.TimeSeparator, ":");
  EXPECT_EQ(formats.DecimalSeparator, ".");
  EXPECT_EQ(formats.LongTimeFormat, "h:mm:ss tt");
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 0, 0), formats), "9:30:00 PM");
  EXPECT_EQ(DateToStr(EncodeDate(2026, 12, 4), formats), "12/4/2026");
  EXPECT_EQ(FloatToStr(2.5, formats), "2.5");
}

TEST(Win32RegionalSettings, GermanIsDayFirstOnA24HourClock) {
  const FormatSettings formats = Win32RegionalSettings(0x0407).Read();
  EXPECT_EQ(formats.DateSeparator, ".");
  EXPECT_EQ(formats.DecimalSeparator, ",");
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 0, 0), formats), "21:30:00");
  EXPECT_EQ(TimeToStr(EncodeTime(9, 5, 0, 0), formats), "09:05:00");
  EXPECT_EQ(FloatToStr(2.5, formats), "2,5");
  EXPECT_EQ(StrToDateDef("04.12.2026", 0, formats, 2026), EncodeDate(2026, 12, 4));
}

// Separators of more than one character, blanks after them, a trailing
// separator and a designator before the time are Windows' own forms.
TEST(Win32RegionalSettings, KoreanSlovakAndHungarianWriteTheirOwnForms) {
  const TDateTime date = EncodeDate(2026, 12, 4);
  const FormatSettings korean = Win32RegionalSettings(0x0412).Read();
  EXPECT_EQ(korean.DateSeparator, ". ");
  EXPECT_EQ(DateToStr(date, korean), "2026. 12. 4.");
  EXPECT_EQ(korean.LongTimeFormat, "tt h:mm:ss");
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 0, 0), korean), korean.TimePMString + " 9:30:00");

  const FormatSettings slovak = Win32RegionalSettings(0x041b).Read();
  EXPECT_EQ(slovak.ShortDateFormat, "d. M. yyyy");
  EXPECT_EQ(DateToStr(date, slovak), "4. 12. 2026");

  const FormatSettings hungarian = Win32RegionalSettings(0x040e).Read();
  EXPECT_EQ(hungarian.ShortDateFormat, "yyyy. MM. dd.");
  EXPECT_EQ(DateToStr(date, hungarian), "2026. 12. 04.");
  EXPECT_EQ(hungarian.TimeAMString, "de.");
  EXPECT_EQ(hungarian.TimePMString, "du.");
}

// Every locale the system lists, with the forms Windows reports for it. A date
// depends only on the short date format and the date separator, a time and a
// number only on the other settings: locales that share them are checked once.
TEST(Win32RegionalSettings, EveryLocaleReadsBackWhatItWrites) {
  const std::vector<LCID> locales = SystemLocales();
  ASSERT_GT(locales.size(), 100u);
  std::map<std::string, LCID> dateForms;
  std::map<std::string, LCID> timeForms;
  for (LCID locale : locales) {
    const FormatSettings f = Win32RegionalSettings(locale).Read();
    const char gap = '\0';
    dateForms.emplace(f.ShortDateFormat + gap + f.DateSeparator, locale);
    timeForms.emplace(f.LongTimeFormat + gap + f.TimeSeparator + gap + f.TimeAMString + gap + f.TimePMString + gap +
                          f.DecimalSeparator,
                      locale);
  }
  for (const auto& [forms, locale] : dateForms) {
    const FormatSettings formats = Win32RegionalSettings(locale).Read();
    if (auto fault = DateThatDoesNotReadBack(formats))
      ADD_FAILURE() << "locale " << Hex(locale) << ": " << DescribeFormats(formats) << ": " << *fault;
  }
  for (const auto& [forms, locale] : timeForms) {
    const FormatSettings formats = Win32RegionalSettings(locale).Read();
    const std::string where = "locale " + Hex(locale) + ": " + DescribeFormats(formats) + ": ";
    if (auto fault = TimeThatDoesNotReadBack(formats)) ADD_FAILURE() << where << *fault;
    if (auto fault = NumberThatDoesNotReadBack(formats)) ADD_FAILURE() << where << *fault;
  }
  std::printf("%zu locales listed: %zu date forms, %zu time and number forms\n", locales.size(), dateForms.size(),
              timeForms.size());
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
