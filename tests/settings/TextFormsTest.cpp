#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/Regions.h"
#include "settings/DateTime.h"
#include "settings/TextForms.h"
#include "tests/settings/RegionalSets.h"
#include "tests/settings/TextFormRoundTrip.h"

namespace kelpo {
namespace {

constexpr double None = -99;  // the default that shows a text did not convert
constexpr int Year = 2026;

TEST(TextForms, IntegersAreWrittenInDecimal) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(3), "3");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(INT_MIN), "-2147483648");
}

TEST(TextForms, IntegersReadWithSignLeadingBlanksAndHexPrefixes) {
  EXPECT_EQ(StrToIntDef("3", -1), 3);
  EXPECT_EQ(StrToIntDef("+5", -1), 5);
  EXPECT_EQ(StrToIntDef("-5", -1), -5);
  EXPECT_EQ(StrToIntDef("  12", -1), 12);
  EXPECT_EQ(StrToIntDef("0009", -1), 9);
  EXPECT_EQ(StrToIntDef("0x3", -1), 3);
  EXPECT_EQ(StrToIntDef("0X1f", -1), 31);
  EXPECT_EQ(StrToIntDef("$FF", -1), 255);
  EXPECT_EQ(StrToIntDef("-$10", -1), -16);
  EXPECT_EQ(StrToIntDef("-0x10", -1), -16);
  EXPECT_EQ(StrToIntDef("2147483647", -1), INT_MAX);
  EXPECT_EQ(StrToIntDef("-2147483648", -1), INT_MIN);
  EXPECT_EQ(StrToIntDef("$7FFFFFFF", -1), INT_MAX);
  EXPECT_EQ(StrToIntDef("-$80000000", -1), INT_MIN);
}

TEST(TextForms, IntegersThatDoNotConvertGiveTheDefault) {
  for (const char* text : {"", " ", "12 ", "- 5", "--5", "+", "0x", "$", "x10", "0x1G", "2.5", "1e3", "abc",
                           "2147483648", "-2147483649", "$80000000", "$FFFFFFFF", "99999999999999999999"}) {
    EXPECT_EQ(StrToIntDef(text, -7), -7) << '"' << text << '"';
  }
}

TEST(TextForms, NumbersAreWrittenInTheShortestGeneralForm) {
  const FormatSettings us = UnitedStates();
  EXPECT_EQ(FloatToStr(3, us), "3");
  EXPECT_EQ(FloatToStr(30, us), "30");
  EXPECT_EQ(FloatToStr(2.5, us), "2.5");
  EXPECT_EQ(FloatToStr(2.5, German()), "2,5");
  EXPECT_EQ(FloatToStr(-2.5, us), "-2.5");
  EXPECT_EQ(FloatToStr(0, us), "0");
  EXPECT_EQ(FloatToStr(-0.0, us), "0");
  EXPECT_EQ(FloatToStr(0.1, us), "0.1");
  EXPECT_EQ(FloatToStr(1.0 / 3, us), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3, us), "0.666666666666667");
  EXPECT_EQ(FloatToStr(0.0001, us), "0.0001");
  EXPECT_EQ(FloatToStr(0.00015, us), "0.00015");
  EXPECT_EQ(FloatToStr(1e-5, us), "1E-5");
  EXPECT_EQ(FloatToStr(1.5e-7, German()), "1,5E-7");
  EXPECT_EQ(FloatToStr(1e14, us), "100000000000000");
  EXPECT_EQ(FloatToStr(999999999999999.0, us), "999999999999999");
  EXPECT_EQ(FloatToStr(1e15, us), "1E15");
  EXPECT_EQ(FloatToStr(1e20, us), "1E20");
  EXPECT_EQ(FloatToStr(1234567890123456789.0, us), "1.23456789012346E18");
  // Rounded up, the largest doubles would pass the range and not read back.
  EXPECT_EQ(FloatToStr(-DBL_MAX, us), "-1.79769313486231E308");
  EXPECT_EQ(FloatToStr(1.7976931348623e308, us), "1.7976931348623E308");
  EXPECT_TRUE(TryStrToFloat(FloatToStr(DBL_MAX, German()), German()));
  EXPECT_EQ(FloatToStr(4.9e-324, us), "4.94065645841247E-324");
  EXPECT_EQ(FloatToStr(NAN, us), "NAN");
  EXPECT_EQ(FloatToStr(-INFINITY, us), "-INF");
}

TEST(TextForms, NumbersReadWithTheRegionalSeparatorAndExponent) {
  const FormatSettings us = UnitedStates();
  EXPECT_EQ(StrToFloatDef("2.5", None, us), 2.5);
  EXPECT_EQ(StrToFloatDef("  -2.5  ", None, us), -2.5);
  EXPECT_EQ(StrToFloatDef("+2", None, us), 2);
  EXPECT_EQ(StrToFloatDef(".5", None, us), 0.5);
  EXPECT_EQ(StrToFloatDef("5.", None, us), 5);
  EXPECT_EQ(StrToFloatDef("1E3", None, us), 1000);
  EXPECT_EQ(StrToFloatDef("1.5e+2", None, us), 150);
  EXPECT_EQ(StrToFloatDef("25e-1", None, us), 2.5);
  EXPECT_EQ(StrToFloatDef("2,5", None, German()), 2.5);

  for (const char* text :
       {"", " ", "2,5", "1.2.3", ".", "-", "E5", "1E", "1E+", "1 000", "abc", "0x10", "NAN", "INF", "1e400", "2.5x"}) {
    EXPECT_EQ(StrToFloatDef(text, None, us), None) << '"' << text << '"';
  }
  EXPECT_EQ(StrToFloatDef("2.5", None, German()), None);
}

TEST(TextForms, WrittenNumbersReadBackInEveryRegion) {
  for (const RegionalSet& region : RegionalSets()) {
    EXPECT_EQ(NumberThatDoesNotReadBack(region.Formats), std::nullopt) << region.Name;
  }
  FormatSettings longSeparator = UnitedStates();
  longSeparator.DecimalSeparator = "dec";
  EXPECT_EQ(FloatToStr(2.5, longSeparator), "2dec5");
  EXPECT_EQ(NumberThatDoesNotReadBack(longSeparator), std::nullopt);
  for (const FormatSettings& formats : {UnitedStates(), German()}) {
    for (double value : {1.0 / 3, 6.02214076e23, -123456.789}) {
      const double back = StrToFloatDef(FloatToStr(value, formats), None, formats);
      EXPECT_NEAR(back, value, std::fabs(value) * 1e-14) << FloatToStr(value, formats);
    }
  }
}

TEST(TextForms, WrittenDatesReadBackInEveryRegion) {
  for (const RegionalSet& region : RegionalSets()) {
    EXPECT_EQ(DateThatDoesNotReadBack(region.Formats), std::nullopt) << region.Name;
  }
}

TEST(TextForms, WrittenTimesReadBackInEveryRegion) {
  for (const RegionalSet& region : RegionalSets()) {
    EXPECT_EQ(TimeThatDoesNotReadBack(region.Formats), std::nullopt) << region.Name;
  }
}

// Each region's own forms, as its users see them elsewhere in Windows.
TEST(TextForms, RegionsWriteTheirOwnForms) {
  const TDateTime date = EncodeDate(2026, 12, 4);
  const TDateTime evening = EncodeTime(21, 30, 0, 0);
  const TDateTime morning = EncodeTime(9, 5, 0, 0);
  const struct {
    FormatSettings Formats;
    const char* Date;
    std::string Evening;
    std::string Morning;
  } cases[] = {
      {Slovak(), "4. 12. 2026", "21:30:00", "9:05:00"},
      {Hungarian(), "2026. 12. 04.", "21:30:00", "9:05:00"},
      {Korean(), "2026. 12. 4.", Korean().TimePMString + " 9:30:00", Korean().TimeAMString + " 9:05:00"},
      {Forms("yyyy. MM. dd.", ". ", "tt h:mm:ss", ":", "de.", "du.", ","), "2026. 12. 04.", "du. 9:30:00",
       "de. 9:05:00"},
      {Forms("yyyy-MM-dd", "-", "HH:mm:ss", ":", "fm", "em", ","), "2026-12-04", "21:30:00", "09:05:00"},
      {Forms("dd/MM/yyyy", "/", "h.mm.ss tt", ".", "a. m.", "p. m.", ","), "04/12/2026", "9.30.00 p. m.",
       "9.05.00 a. m."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateToStr(date, c.Formats), c.Date);
    EXPECT_EQ(TimeToStr(evening, c.Formats), c.Evening);
    EXPECT_EQ(TimeToStr(morning, c.Formats), c.Morning);
  }
}

TEST(TextForms, DatesAreWrittenInTheShortDateFormat) {
  const TDateTime date = EncodeDate(2026, 12, 4);
  EXPECT_EQ(DateToStr(date, UnitedStates()), "12/4/2026");
  EXPECT_EQ(DateToStr(date, German()), "04.12.2026");
  EXPECT_EQ(DateToStr(date + 0.9, FormatSettings{}), "12/4/26");

  FormatSettings formats = UnitedStates();
  formats.ShortDateFormat = "";
  EXPECT_EQ(DateToStr(date, formats), "12/4/26");
  formats.ShortDateFormat = "dd/MM/yy";
  formats.DateSeparator = "-";
  EXPECT_EQ(DateToStr(date, formats), "04-12-26");
  formats.ShortDateFormat = "yyyy.M.d";
  EXPECT_EQ(DateToStr(date, formats), "2026.12.4");
  formats.ShortDateFormat = "d' of 'M, yyyy";
  EXPECT_EQ(DateToStr(EncodeDate(5, 1, 9), formats), "9 of 1, 0005");
  formats.ShortDateFormat = "yyyyMMdd";
  EXPECT_EQ(DateToStr(date, formats), "20261204");
  formats.DateSeparator = ". ";
  formats.ShortDateFormat = "d/M/yyyy";
  EXPECT_EQ(DateToStr(date, formats), "4. 12. 2026");
  // Formats that cannot name the date back take the fallback form.
  for (const char* incomplete : {"MM/yy", "d/M/yyyy/d", "dddd"}) {
    formats.ShortDateFormat = incomplete;
    EXPECT_EQ(DateToStr(date, formats), "12. 4. 26") << incomplete;
  }
}

TEST(TextForms, DatesReadInTheRegionalOrder) {
  const TDateTime expected = EncodeDate(2026, 12, 4);
  EXPECT_EQ(StrToDateDef("12/4/2026", None, UnitedStates(), Year), expected);
  EXPECT_EQ(StrToDateDef("12/4/2026   ", None, UnitedStates(), Year), expected);
  EXPECT_EQ(StrToDateDef("12/4", None, UnitedStates(), Year), expected);
  EXPECT_EQ(StrToDateDef("04.12.2026", None, German(), Year), expected);
  EXPECT_EQ(StrToDateDef("4.12", None, German(), Year), expected);
  EXPECT_EQ(StrToDateDef("12/4/26", None, FormatSettings{}, Year), expected);

  FormatSettings isoLike = UnitedStates();
  isoLike.ShortDateFormat = "yyyy-MM-dd";
  isoLike.DateSeparator = "-";
  EXPECT_EQ(StrToDateDef("2026-12-04", None, isoLike, Year), expected);
  EXPECT_EQ(StrToDateDef("12-4", None, isoLike, Year), expected);
  isoLike.ShortDateFormat = "";  // no letters at all: month-day-year
  EXPECT_EQ(StrToDateDef("12-4-2026", None, isoLike, Year), expected);
  isoLike.ShortDateFormat = "yyyy-dd-MM";  // the fields' own order, not only the first letter's
  EXPECT_EQ(StrToDateDef("2026-04-12", None, isoLike, Year), expected);
  EXPECT_EQ(StrToDateDef("4-12", None, isoLike, Year), expected);
}

// Beyond the separator, the reader takes what the region itself writes: the
// format's text between and after the fields, blanks after a separator, fields
// side by side, and nothing more.
TEST(TextForms, DatesReadInTheRegionsOwnWrittenForms) {
  const TDateTime expected = EncodeDate(2026, 12, 4);
  FormatSettings quoted = UnitedStates();
  quoted.ShortDateFormat = "'on 'd' of 'M, yyyy' AD'";
  FormatSettings packed = UnitedStates();
  packed.ShortDateFormat = "yyMMdd";
  const struct {
    FormatSettings Formats;
    std::vector<const char*> Read;
    std::vector<const char*> NotRead;
  } cases[] = {
      {Hungarian(),
       {"2026. 12. 04.", "2026. 12. 04", "2026.12.4", "2026. 12. 04.  ", "12. 04.", "12. 4"},
       {"2026 . 12. 04.", "2026. 12. 04..", ". 2026. 12. 04.", "2026. 12. 04. x", "2026/12/04", "2026. 12."}},
      {Slovak(), {"4. 12. 2026", "4.12.2026", "4. 12"}, {"4 .12. 2026", "4. 12. 2026.", "4. 12.", "4, 12, 2026"}},
      {Korean(), {"2026. 12. 4.", "2026.12.4"}, {"2026-12-04", "2026. 12. 4.."}},
      {quoted, {"on 4 of 12, 2026 AD", "4 of 12, 2026", "on 4/12/2026"}, {"on 4 of 12, 2026 BC", "4 of 12 2026"}},
      {packed, {"261204", "26/12/04"}, {"2612040", "26-12-04", "2612"}},
      {UnitedStates(), {"12/ 4/ 2026", "12/4/2026  "}, {"12/4/", "12 /4/2026", "12/4/2026/"}},
  };
  for (const auto& c : cases) {
    for (const char* text : c.Read) EXPECT_EQ(StrToDateDef(text, None, c.Formats, Year), expected) << text;
    for (const char* text : c.NotRead) EXPECT_EQ(StrToDateDef(text, None, c.Formats, Year), None) << text;
  }
}

TEST(TextForms, ShortYearsLieInTheHundredYearsFromFiftyBefore) {
  const FormatSettings us = UnitedStates();
  EXPECT_EQ(StrToDateDef("1/1/76", None, us, 2026), EncodeDate(1976, 1, 1));
  EXPECT_EQ(StrToDateDef("1/1/75", None, us, 2026), EncodeDate(2075, 1, 1));
  EXPECT_EQ(StrToDateDef("1/1/0", None, us, 2026), EncodeDate(2000, 1, 1));
  EXPECT_EQ(StrToDateDef("1/1/26", None, us, 2090), EncodeDate(2126, 1, 1));
  EXPECT_EQ(StrToDateDef("1/1/0026", None, us, 2026), EncodeDate(26, 1, 1));
}

TEST(TextForms, DatesThatDoNotConvertGiveTheDefault) {
  for (const char* text : {"", " 12/4/2026", "04.12.2026", "2/30/2026", "13/1/2026", "0/1/2026", "12/4/2026/1", "12",
                           "12/", "12/4/", "12/4/20261", "12-4-2026", "12/4/2026 9:30", "12 /4/2026", "1/1/0000"}) {
    EXPECT_EQ(StrToDateDef(text, None, UnitedStates(), Year), None) << '"' << text << '"';
  }
}

TEST(TextForms, TimesAreWrittenInTheLongTimeForm) {
  const FormatSettings us = UnitedStates();
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 0, 0), us), "9:30:00 PM");
  EXPECT_EQ(TimeToStr(EncodeDate(2026, 12, 5) + EncodeTime(21, 30, 0, 0), us), "9:30:00 PM");
  EXPECT_EQ(TimeToStr(EncodeTime(0, 5, 9, 0), us), "12:05:09 AM");
  EXPECT_EQ(TimeToStr(EncodeTime(12, 0, 0, 0), us), "12:00:00 PM");
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 59, 999), us), "9:30:59 PM");
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 0, 0), German()), "21:30:00");
  EXPECT_EQ(TimeToStr(EncodeTime(9, 5, 0, 0), German()), "09:05:00");
  EXPECT_EQ(TimeToStr(EncodeTime(21, 30, 0, 0), FormatSettings{}), "9:30:00 pm");

  FormatSettings first = us;
  first.LongTimeFormat = "tt hh:mm:ss";
  first.TimeSeparator = ".";
  EXPECT_EQ(TimeToStr(EncodeTime(9, 5, 0, 0), first), "AM 09.05.00");
}

TEST(TextForms, TimesReadWithOrWithoutDesignator) {
  const FormatSettings us = UnitedStates();
  const TDateTime evening = EncodeTime(21, 30, 0, 0);
  EXPECT_EQ(StrToTimeDef("9:30:00 PM", None, us), evening);
  EXPECT_EQ(StrToTimeDef("  9:30 pm  ", None, us), evening);
  EXPECT_EQ(StrToTimeDef("9:30PM", None, us), evening);
  EXPECT_EQ(StrToTimeDef("PM 9:30", None, us), evening);
  EXPECT_EQ(StrToTimeDef("21:30:00", None, us), evening);
  EXPECT_EQ(StrToTimeDef("21:30:00", None, German()), evening);
  EXPECT_EQ(StrToTimeDef("9:30 Pm", None, German()), evening);
  EXPECT_EQ(StrToTimeDef("9:30:00 pm", None, FormatSettings{}), evening);
  EXPECT_EQ(StrToTimeDef("9 PM", None, us), EncodeTime(21, 0, 0, 0));
  EXPECT_EQ(StrToTimeDef("12:00 AM", None, us), 0);
  EXPECT_EQ(StrToTimeDef("12:00 PM", None, us), 0.5);
  EXPECT_EQ(StrToTimeDef("9:30:05.5", None, us), EncodeTime(9, 30, 5, 500));
  EXPECT_EQ(StrToTimeDef("9:30:05.25", None, us), EncodeTime(9, 30, 5, 250));
  EXPECT_EQ(StrToTimeDef("9:30:05,125", None, German()), EncodeTime(9, 30, 5, 125));

  FormatSettings regional = German();
  regional.TimeAMString = "vorm.";
  regional.TimePMString = "nachm.";
  EXPECT_EQ(StrToTimeDef("9:30 NACHM.", None, regional), evening);
  EXPECT_EQ(StrToTimeDef("nachm. 9:30", None, regional), evening);
  regional.TimeAMString = "de.";
  regional.TimePMString = "du.";
  regional.TimeSeparator = " h ";
  EXPECT_EQ(StrToTimeDef("du. 9 h 30 h 00", None, regional), evening);
  EXPECT_EQ(StrToTimeDef("9 h 30 du.", None, regional), evening);
  regional.TimeAMString = "a";  // the longest designator that matches is taken
  regional.TimePMString = "ap";
  EXPECT_EQ(StrToTimeDef("9 h 30 ap", None, regional), evening);
  EXPECT_EQ(StrToTimeDef("9 h 30 a", None, regional), EncodeTime(9, 30, 0, 0));
}

TEST(TextForms, DesignatorsThatCannotTellTheHalvesApartGiveThe24HourClock) {
  const TDateTime evening = EncodeTime(21, 30, 0, 0);
  for (const auto& [am, pm] : std::vector<std::pair<std::string, std::string>>{
           {"", ""}, {"AM", ""}, {"", "PM"}, {"??", "??"}, {"pm", "PM"}, {"  ", "PM"}}) {
    FormatSettings formats = UnitedStates();
    formats.TimeAMString = am;
    formats.TimePMString = pm;
    EXPECT_EQ(TimeToStr(evening, formats), "21:30:00") << am << "/" << pm;
    EXPECT_EQ(StrToTimeDef(TimeToStr(evening, formats), None, formats), evening);
  }
  FormatSettings padded = UnitedStates();
  padded.TimeAMString = " vm ";
  padded.TimePMString = " nm ";
  EXPECT_EQ(TimeToStr(evening, padded), "9:30:00 nm");
}

TEST(TextForms, TimesThatDoNotConvertGiveTheDefault) {
  for (const char* text : {"", "PM", "21:30:00 PM", "0:30 AM", "13 PM", "24:00", "9:60", "9:30:60", "9:30:", "9:30 XM",
                           "9:30:00.1234", "9:30:00.", "9:30.5", "PM 9:30 PM", "009:30", "9 : 30", "9:30:00,5"}) {
    EXPECT_EQ(StrToTimeDef(text, None, UnitedStates()), None) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace kelpo
