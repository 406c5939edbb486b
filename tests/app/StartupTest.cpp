// Start-up of the main window: the schedule editor loaded from "settings.ini"
// or from the defaults, and the end of the program when the window closes.

#include <gtest/gtest.h>

#include <random>

#include "settings/DateTime.h"
#include "tests/support/KelpoHarness.h"

namespace kelpo {
namespace {

TEST(Startup, WithoutSettingsFileShowsDefaultsAndWritesNothing) {
  KelpoHarness k;
  k.sim.clock.Set(2026, 12, 7, 14, 25, 36);
  k.Start();

  EXPECT_EQ(k.app->Title(), "Kelpo");
  EXPECT_EQ(k.sim.windowing.GetWindowText(k.app->Handle()), "Kelpo");
  EXPECT_EQ(k.app->MainForm(), k.form.get());
  EXPECT_EQ(k.CountPeer().Text(), "3");
  EXPECT_EQ(k.form->ComboBox1->ItemIndex(), 0);
  EXPECT_EQ(k.UnitPeer().Text(), "minutes");
  EXPECT_EQ(k.form->ComboBox2->Text(), "Sunday");
  EXPECT_EQ(k.TimePeer().Time(), (TimeOfDay{14, 25, 36}));
  EXPECT_EQ(k.SentenceParts(), "00000");  // only "Run Kelpo after every" [3] [minutes]
  EXPECT_TRUE(k.form->Label1->Visible());
  EXPECT_FALSE(k.SettingsExist());
  EXPECT_EQ(k.sim.dialogs.Beeps(), 0);

  // The run state is never stored: every start is inactive with the timer off.
  EXPECT_FALSE(k.form->ScheduleActive);
  EXPECT_FALSE(k.form->Timer1->Enabled());
  EXPECT_EQ(k.form->Timer1->Interval(), 180000u);
  ASSERT_NE(k.form->ScratchBitmap, nullptr);

  // The frameless window is shown, centred on the desktop, and answers as a caption.
  const SimWindow* window = k.sim.windowing.Find(k.form->Handle());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Params.ClassName, "TMainForm");
  EXPECT_EQ(window->Params.Kind, WindowKind::Popup);
  EXPECT_TRUE(window->Visible);
  EXPECT_EQ(window->Bounds, (Rect{(1280 - 478) / 2, (1024 - 313) / 2, 478, 313}));
  const Point titleStrip{window->Bounds.Left + 10, window->Bounds.Top + 10};
  EXPECT_EQ(k.sim.windowing.SendMessage(k.form->Handle(), wmNcHitTest, 0, LParamFromPoint(titleStrip)), htCaption);
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());
}

TEST(Startup, LoadsEveryKeyAndShowsTheSentenceTheUnitNeeds) {
  KelpoHarness k;
  k.WriteSettings(
      "[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=9:30:00 PM\r\nDay=Saturday\r\nDateLastRun=12/4/2026\r\n");
  k.Start();
  EXPECT_EQ(k.CountPeer().Text(), "2");
  EXPECT_EQ(k.UnitPeer().Text(), "weeks");
  EXPECT_EQ(k.WeekdayPeer().Text(), "Saturday");
  EXPECT_EQ(k.TimePeer().Time(), (TimeOfDay{21, 30, 0}));
  EXPECT_EQ(k.SentenceParts(), "11110");
  EXPECT_EQ(k.form->Label3->Caption(), "on");
  k.Stop();

  k.WriteSettings("[Scheduler]\nSchID=4\nSchFrequency=1\nTime=10:00:00 AM\nDay=Friday\n");
  k.Start();
  EXPECT_EQ(k.SentenceParts(), "11111");
  EXPECT_EQ(k.form->Label3->Caption(), "first");
  k.Stop();

  // A time written on a 24-hour clock still reads on a 12-hour one; hex and
  // fractional counts read as numbers.
  k.WriteSettings("[Scheduler]\nSchID=0x2\nSchFrequency=2.5\nTime=21:30:00\n");
  k.Start();
  EXPECT_EQ(k.form->ComboBox1->ItemIndex(), 2);
  EXPECT_EQ(k.CountPeer().Text(), "2.5");
  EXPECT_EQ(k.TimePeer().Time(), (TimeOfDay{21, 30, 0}));
  EXPECT_EQ(k.SentenceParts(), "11000");
  EXPECT_EQ(k.WeekdayPeer().Text(), "Sunday");  // missing "Day" reads as Sunday
}

TEST(Startup, CountOutOfRangeIsClampedWithABeep) {
  KelpoHarness k;
  k.WriteSettings("[Scheduler]\nSchFrequency=45\n");
  k.Start();
  EXPECT_EQ(k.CountPeer().Text(), "30");
  EXPECT_EQ(k.sim.dialogs.Beeps(), 1);
  k.Stop();

  k.WriteSettings("[Scheduler]\nSchFrequency=-4\n");
  k.Start();
  EXPECT_EQ(k.CountPeer().Text(), "1");
  EXPECT_EQ(k.sim.dialogs.Beeps(), 2);
}

TEST(Startup, SectionWithoutKeysGivesTheDefaults) {
  KelpoHarness k;
  k.sim.clock.Set(2026, 12, 7, 8, 0, 5);
  k.WriteSettings("[Scheduler]\r\n");
  k.Start();
  EXPECT_EQ(k.CountPeer().Text(), "3");
  EXPECT_EQ(k.UnitPeer().Text(), "minutes");
  EXPECT_EQ(k.WeekdayPeer().Text(), "Sunday");
  EXPECT_EQ(k.TimePeer().Time(), (TimeOfDay{8, 0, 5}));
  EXPECT_EQ(k.SentenceParts(), "00000");
  EXPECT_EQ(k.ReadSettings(), "[Scheduler]\r\n");
}

TEST(Startup, UnknownUnitAndWeekdayStillCompleteTheStart) {
  KelpoHarness k;
  // An empty "Day" and one that names no weekday (case matters) leave the list empty;
  // a unit outside the list shows as minutes.
  for (const char* day : {"Day=friday", "Day=", "Day=Caturday"}) {
    k.WriteSettings(std::string("[Scheduler]\nSchID=7\nSchFrequency=12\nTime=7:15:00 AM\n") + day + "\n");
    k.Start();
    EXPECT_EQ(k.form->ComboBox1->ItemIndex(), 0) << day;
    EXPECT_EQ(k.form->ComboBox2->ItemIndex(), -1) << day;
    EXPECT_EQ(k.WeekdayPeer().Text(), "") << day;
    EXPECT_EQ(k.CountPeer().Text(), "12") << day;
    EXPECT_EQ(k.TimePeer().Time(), (TimeOfDay{7, 15, 0})) << day;
    EXPECT_EQ(k.SentenceParts(), "00000") << day;
    EXPECT_NE(k.form->ScratchBitmap, nullptr) << day;
    k.Stop();
  }
  k.WriteSettings("[Scheduler]\nSchID=-1\n");
  k.Start();
  EXPECT_EQ(k.form->ComboBox1->ItemIndex(), 0);
}

TEST(Startup, SurvivesAFileOfRandomBytesAndHugeValues) {
  KelpoHarness k;
  std::mt19937 random(2026);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  k.WriteSettingsBytes(noise);
  k.Start();
  EXPECT_TRUE(k.form->Visible());
  EXPECT_NE(k.form->ScratchBitmap, nullptr);
  k.Stop();

  // Only 2047 characters of a value are seen: 2047 nines are beyond any
  // number (the default count), an endless weekday matches nothing.
  const std::string nines(10000, '9');
  k.WriteSettings("[Scheduler]\nSchID=" + nines + "\nSchFrequency=" + nines + "\nTime=" + nines +
                  "\nDay=" + std::string(10000, 'S') + "\n");
  k.Start();
  EXPECT_EQ(k.CountPeer().Text(), "3");
  EXPECT_EQ(k.form->ComboBox1->ItemIndex(), 0);
  EXPECT_EQ(k.form->ComboBox2->ItemIndex(), -1);
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());
  k.Stop();

  k.WriteSettings("[Scheduler]\nSchFrequency=" + std::string(300, '9') + "\n");
  k.Start();
  EXPECT_EQ(k.CountPeer().Text(), "30");
}

}  // namespace
}  // namespace kelpo
