// The schedule editor: the sentence the unit needs, the apply action with its
// questions, the five keys it stores, and the schedule timer's interval.

#include <gtest/gtest.h>

#include "tests/support/KelpoHarness.h"

namespace kelpo {
namespace {

constexpr std::uint32_t ConfirmStyle = mbYesNo | mbIconQuestion;
constexpr std::uint32_t InformationStyle = mbOk | mbIconInformation;
constexpr std::uint32_t ErrorStyle = mbOk | mbIconError;

// Sets the sentence as a user would, through the controls.
void EnterSchedule(KelpoHarness& k, const std::string& count, int unit, TimeOfDay time, int weekday) {
  k.CountPeer().UserType(count);
  k.UnitPeer().UserSelect(unit);
  k.TimePeer().UserSetTime(time);
  k.WeekdayPeer().UserSelect(weekday);
}

void ClickApply(KelpoHarness& k) {
  k.sim.windowing.Click(k.form->Panel2->Handle(), Point{100, 60});
}

TEST(ScheduleEditor, UnitShowsTheSentencePartsItNeeds) {
  KelpoHarness k;
  k.Start();
  const std::pair<int, const char*> table[] = {{2, "11000"}, {3, "11110"}, {4, "11111"},
                                               {1, "00000"}, {3, "11110"}, {0, "00000"}};
  for (auto [unit, parts] : table) {
    k.UnitPeer().UserSelect(unit);
    EXPECT_EQ(k.SentenceParts(), parts) << unit;
    // The label is as wide as its word (6 pixels a character in the simulation), not the layout's 12 pixels.
    if (unit == 3) {
      EXPECT_EQ(k.form->Label3->Caption(), "on");
      EXPECT_EQ(k.form->Label3->Width(), 12);
    }
    if (unit == 4) {
      EXPECT_EQ(k.form->Label3->Caption(), "first");
      EXPECT_EQ(k.form->Label3->Width(), 30);
    }
  }
  // No selection changes nothing.
  k.UnitPeer().UserSelect(4);
  k.form->ComboBox1->SetItemIndex(-1);
  k.form->ComboBox1Change(k.form->ComboBox1);
  EXPECT_EQ(k.SentenceParts(), "11111");
  // The unit list cannot be typed into.
  EXPECT_FALSE(k.UnitPeer().UserType("fortnights"));
}

TEST(ScheduleEditor, ApplyWritesTheFiveKeysInOrderUnitedStates) {
  KelpoHarness k;
  k.sim.clock.Set(2026, 12, 5, 16, 0, 0);
  k.Start(UnitedStates());
  EnterSchedule(k, "2", 3, TimeOfDay{21, 30, 0}, 5);
  k.sim.dialogs.ExpectAnswer(idYes);
  k.sim.dialogs.ExpectAnswer(idOk);
  ClickApply(k);

  EXPECT_EQ(k.ReadSettings(),
            "[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=9:30:00 PM\r\nDay=Friday\r\nDateLastRun=12/4/2026\r\n");
  const auto& shown = k.sim.dialogs.Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].Text, "Apply schedule changes?");
  EXPECT_EQ(shown[0].Caption, "Confirm");
  EXPECT_EQ(shown[0].Style, ConfirmStyle);
  EXPECT_EQ(shown[0].Owner, k.form->Handle());
  EXPECT_EQ(shown[1].Text, "Schedule changes have been applied");
  EXPECT_EQ(shown[1].Caption, "Kelpo");
  EXPECT_EQ(shown[1].Style, InformationStyle);
  EXPECT_EQ(k.sim.windowing.CursorOverrides(), (std::vector<CursorKind>{CursorKind::HourGlass, CursorKind::Arrow}));
  EXPECT_EQ(k.form->Timer1->Interval(), 180000u);
  // Applying neither starts nor stops the schedule.
  EXPECT_FALSE(k.form->Timer1->Enabled());
  EXPECT_FALSE(k.form->ScheduleActive);
}

TEST(ScheduleEditor, ApplyWritesGermanForms) {
  KelpoHarness k;
  k.sim.clock.Set(2026, 12, 5, 16, 0, 0);
  k.Start(German());
  EnterSchedule(k, "2", 3, TimeOfDay{21, 30, 0}, 5);
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_EQ(k.ReadSettings(),
            "[Scheduler]\r\nSchID=3\r\nSchFrequency=2\r\nTime=21:30:00\r\nDay=Friday\r\nDateLastRun=04.12.2026\r\n");

  // The next start reads them back.
  k.Stop();
  k.Start(German());
  EXPECT_EQ(k.TimePeer().Time(), (TimeOfDay{21, 30, 0}));
  EXPECT_EQ(k.WeekdayPeer().Text(), "Friday");
}

TEST(ScheduleEditor, RegionalChangeNoticeTakesEffectForTheNextApply) {
  KelpoHarness k;
  k.sim.clock.Set(2026, 12, 5, 16, 0, 0);
  k.Start(UnitedStates());
  k.sim.regional.Set(German());
  k.sim.windowing.SendMessage(k.app->Handle(), wmWinIniChange, 0, 0);
  EnterSchedule(k, "4", 2, TimeOfDay{7, 5, 9}, 0);
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_NE(k.ReadSettings().find("Time=07:05:09\r\n"), std::string::npos);
  EXPECT_NE(k.ReadSettings().find("DateLastRun=04.12.2026\r\n"), std::string::npos);
}

TEST(ScheduleEditor, AnsweringNoChangesNothing) {
  KelpoHarness k;
  k.Start();
  EnterSchedule(k, "10", 0, TimeOfDay{1, 2, 3}, 2);
  k.sim.dialogs.ExpectAnswer(idNo);
  ClickApply(k);
  EXPECT_FALSE(k.SettingsExist());
  EXPECT_EQ(k.form->Timer1->Interval(), 180000u);
  EXPECT_TRUE(k.sim.windowing.CursorOverrides().empty());
  EXPECT_EQ(k.sim.dialogs.Shown().size(), 1u);
}

TEST(ScheduleEditor, MinutesSetTheIntervalAndRestartOnlyWhenItChanges) {
  KelpoHarness k;
  k.Start();
  int ticks = 0;
  k.form->Timer1->SetOnTimer([&](TComponent*) { ++ticks; });
  k.form->Timer1->SetEnabled(true);  // an active schedule polling every 3 minutes
  const WindowHandle timer = k.form->Timer1->Handle();
  k.sim.windowing.AdvanceBy(60000);

  EnterSchedule(k, "10", 0, TimeOfDay{}, 0);
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_EQ(k.RunningTimerInterval(), 600000u);
  EXPECT_EQ(k.sim.windowing.TimerDue(timer, 1), k.sim.clock.Millis() + 600000);

  // The same schedule again does not restart the countdown.
  k.sim.windowing.AdvanceBy(120000);
  const auto due = k.sim.windowing.TimerDue(timer, 1);
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_EQ(k.sim.windowing.TimerDue(timer, 1), due);
  k.sim.windowing.AdvanceBy(480000);
  EXPECT_EQ(ticks, 1);

  k.CountPeer().UserType("30");
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_EQ(k.RunningTimerInterval(), 1800000u);

  // On a stopped timer the interval is only stored.
  k.form->Timer1->SetEnabled(false);
  k.UnitPeer().UserSelect(1);
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_EQ(k.form->Timer1->Interval(), 180000u);
  EXPECT_EQ(k.RunningTimerInterval(), std::nullopt);
}

TEST(ScheduleEditor, TypedCountIsReadAsTypedWhenApplyIsClicked) {
  KelpoHarness k;
  k.Start();
  k.form->Timer1->SetOnTimer([](TComponent*) {});
  k.form->Timer1->SetEnabled(true);

  // "0" typed and applied without leaving the field: stored, and the timer stops ticking.
  k.CountPeer().UserType("0");
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_NE(k.ReadSettings().find("SchFrequency=0\r\n"), std::string::npos);
  EXPECT_EQ(k.form->Timer1->Interval(), 0u);
  EXPECT_EQ(k.RunningTimerInterval(), std::nullopt);

  // A count below zero stops it as well, instead of wrapping round.
  k.CountPeer().UserType("-5");
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_EQ(k.form->Timer1->Interval(), 0u);

  // Leaving the field clamps the count with a beep.
  const int beeps = k.sim.dialogs.Beeps();
  k.CountPeer().UserLeave();
  EXPECT_EQ(k.CountPeer().Text(), "1");
  EXPECT_EQ(k.sim.dialogs.Beeps(), beeps + 1);
}

TEST(ScheduleEditor, FractionalCountIsNoValidIntervalAfterTheFileIsWritten) {
  KelpoHarness k;
  k.Start(German());
  k.CountPeer().UserType(",5");
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);

  const auto& shown = k.sim.dialogs.Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].Text, "'0,5' is not a valid integer value");
  EXPECT_EQ(shown[1].Caption, "Kelpo");
  EXPECT_EQ(shown[1].Style, ErrorStyle);
  EXPECT_NE(k.ReadSettings().find("SchFrequency=0,5\r\n"), std::string::npos);
  EXPECT_NE(k.ReadSettings().find("DateLastRun="), std::string::npos);
  EXPECT_EQ(k.form->Timer1->Interval(), 180000u);
  EXPECT_EQ(k.app->Cursor(), CursorKind::Arrow);
}

TEST(ScheduleEditor, RefusedWriteShowsTheMessageAndKeepsEarlierKeys) {
  KelpoHarness k;
  k.Start();
  EnterSchedule(k, "5", 0, TimeOfDay{6, 0, 0}, 1);
  k.profiles.RefuseFrom(3);  // "Time" is refused
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);

  const auto& shown = k.sim.dialogs.Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].Text, "Unable to write to " + k.SettingsPath());
  EXPECT_EQ(shown[1].Style, ErrorStyle);
  EXPECT_EQ(k.ReadSettings(), "[Scheduler]\r\nSchID=0\r\nSchFrequency=5\r\n");
  EXPECT_EQ(k.form->Timer1->Interval(), 180000u);
  EXPECT_EQ(k.app->Cursor(), CursorKind::Arrow);

  // A folder that refuses every write: nothing at all, and the same message.
  KelpoHarness readOnly;
  readOnly.Start();
  readOnly.sim.profiles.RefuseWrites(true);
  readOnly.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(readOnly);
  EXPECT_FALSE(readOnly.SettingsExist());
  EXPECT_EQ(readOnly.sim.dialogs.Shown().back().Text, "Unable to write to " + readOnly.SettingsPath());
  EXPECT_EQ(readOnly.app->Cursor(), CursorKind::Arrow);
}

TEST(ScheduleEditor, WeekdayIsStoredByNameAndNoneStoresSunday) {
  KelpoHarness k;
  k.Start();
  EnterSchedule(k, "1", 3, TimeOfDay{8, 0, 0}, 6);
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_NE(k.ReadSettings().find("Day=Saturday\r\n"), std::string::npos);
  k.Stop();
  k.Start();
  EXPECT_EQ(k.WeekdayPeer().Text(), "Saturday");
  k.Stop();

  // Loaded without a weekday: applying picks Sunday and shows it.
  k.WriteSettings("[Scheduler]\nSchID=3\nDay=\n");
  k.Start();
  ASSERT_EQ(k.form->ComboBox2->ItemIndex(), -1);
  k.sim.dialogs.ExpectAnswer(idYes);
  ClickApply(k);
  EXPECT_NE(k.ReadSettings().find("Day=Sunday\r\n"), std::string::npos);
  EXPECT_EQ(k.WeekdayPeer().Text(), "Sunday");
}

TEST(ScheduleEditor, TimerKeepsTickingWhileTheBoxesAreOpen) {
  KelpoHarness k;
  k.sim.clock.Set(2026, 12, 5, 16, 0, 0);
  k.Start();
  std::vector<std::string> seenDays;
  k.form->Timer1->SetOnTimer(
      [&](TComponent*) { seenDays.push_back(k.form->Editor().OpenSettings().ReadString("Scheduler", "Day", "-")); });
  k.form->Timer1->SetInterval(60000);
  k.form->Timer1->SetEnabled(true);
  EnterSchedule(k, "1", 3, TimeOfDay{8, 0, 0}, 2);

  k.sim.dialogs.Expect([&](const MessageBoxCall&) {
    k.sim.windowing.AdvanceBy(120000);  // two ticks while the question is open
    return idYes;
  });
  k.sim.dialogs.Expect([&](const MessageBoxCall&) {
    k.sim.windowing.AdvanceBy(180000);  // the poll interval now: one tick, which sees the new file
    return idOk;
  });
  ClickApply(k);
  EXPECT_EQ(seenDays, (std::vector<std::string>{"-", "-", "Tuesday"}));
  EXPECT_EQ(k.sim.dialogs.Shown().size(), 2u);
}

}  // namespace
}  // namespace kelpo
