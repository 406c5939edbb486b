// Start and stop of the schedule, the timer tick, and the washes they lead to,
// through the real main window.

#include <gtest/gtest.h>

#include "tests/support/KelpoHarness.h"
#include "wash/WashCommand.h"

namespace kelpo {
namespace {

constexpr const char* TypedUrls = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";

class RunStateTest : public ::testing::Test {
 protected:
  // Each wash deletes the typed-address key; planting it again counts the washes.
  void Plant() {
    k.sim.registry.CreateKey(std::string(TypedUrls) + "\\Deep\\Deeper");
    k.sim.registry.SetValue(TypedUrls, "url1", "http://example.com/");
  }
  bool Washed() const { return !k.sim.registry.KeyExists(TypedUrls); }
  int Washes() const {
    int washes = 0;
    for (CursorKind cursor : k.sim.windowing.CursorOverrides()) washes += cursor == CursorKind::HourGlass;
    return washes;
  }
  // The state the start and stop buttons, the status line and the timer must agree on.
  void ExpectActive(bool active) {
    EXPECT_EQ(k.form->ScheduleActive, active);
    EXPECT_EQ(k.form->Image5->Visible(), active);
    EXPECT_EQ(k.form->Image7->Visible(), !active);
    EXPECT_EQ(k.form->Label5->Caption(), active ? "Kelpo is active" : "Kelpo is inactive");
    EXPECT_EQ(k.form->Timer1->Enabled(), active);
  }
  void ClickStart() { k.sim.windowing.Click(k.form->Panel2->Handle(), Point{30, 60}); }
  KelpoHarness k;
};

TEST_F(RunStateTest, StartAndStopSwapTheButtonsAndRunTheTimer) {
  k.WriteSettings("[Scheduler]\nSchID=0\nSchFrequency=2\n");
  k.Start();
  ExpectActive(false);
  ClickStart();  // the start button sits where the stop button will be
  ExpectActive(true);
  EXPECT_EQ(k.RunningTimerInterval(), 120000u);
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());

  // Stop before the first tick: no wash.
  Plant();
  k.sim.windowing.AdvanceBy(119000);
  k.sim.windowing.Click(k.form->Panel2->Handle(), Point{30, 60});  // now the stop button
  ExpectActive(false);
  k.sim.windowing.AdvanceBy(600000);
  EXPECT_FALSE(Washed());

  // Start again: the interval is taken anew and counts from the click.
  k.CountPeer().UserType("3");
  ClickStart();
  EXPECT_EQ(k.RunningTimerInterval(), 180000u);
  k.sim.windowing.AdvanceBy(179999);
  EXPECT_FALSE(Washed());
  k.sim.windowing.AdvanceBy(1);
  EXPECT_TRUE(Washed());
  // A count changed after start keeps the interval until the next start or apply.
  k.CountPeer().UserType("7");
  k.sim.windowing.AdvanceBy(180000);
  EXPECT_EQ(Washes(), 2);
  EXPECT_FALSE(k.SettingsExist() && k.ReadSettings().find("Active") != std::string::npos);
}

TEST_F(RunStateTest, TrayToggleFollowsTheVisibleButton) {
  k.Start();
  k.form->StartStop1Click(nullptr);
  ExpectActive(true);
  k.form->StartStop1Click(nullptr);
  ExpectActive(false);
  // The field alone does not decide: with the start button showing, the toggle starts.
  k.form->ScheduleActive = true;
  k.form->StartStop1Click(nullptr);
  ExpectActive(true);
}

TEST_F(RunStateTest, StartThatCannotSetTheIntervalStaysInactive) {
  k.Start();
  k.CountPeer().UserType(".5");
  ClickStart();
  ExpectActive(false);
  ASSERT_EQ(k.sim.dialogs.Shown().size(), 1u);
  EXPECT_EQ(k.sim.dialogs.Shown()[0].Text, "'0.5' is not a valid integer value");
}

TEST_F(RunStateTest, TickDisablesTheTimerAndRearmsItAfterAnError) {
  k.WriteSettings("[Scheduler]\nSchID=2\nSchFrequency=1\nTime=9:00:00 AM\nDay=Sunday\nDateLastRun=12/1/2026\n");
  k.sim.clock.Set(2026, 12, 7, 10, 0, 0);
  k.Start();
  Plant();
  bool enabledWhileShown = false;
  k.sim.dialogs.Expect([&](const MessageBoxCall&) {
    enabledWhileShown = k.form->Timer1->Enabled();
    return idOk;
  });
  k.sim.profiles.RefuseWrites(true);
  ClickStart();
  k.sim.windowing.AdvanceBy(180000);
  // The record could not be written: the message, no wash, and the schedule goes on.
  ASSERT_EQ(k.sim.dialogs.Shown().size(), 1u);
  EXPECT_EQ(k.sim.dialogs.Shown()[0].Text, "Unable to write to " + k.SettingsPath());
  EXPECT_TRUE(enabledWhileShown);
  EXPECT_FALSE(Washed());
  ExpectActive(true);
  k.sim.windowing.AdvanceBy(180000);
  EXPECT_EQ(k.sim.dialogs.Shown().size(), 2u);

  // Once the folder takes writes again, the next poll washes.
  k.sim.profiles.RefuseWrites(false);
  k.sim.windowing.AdvanceBy(180000);
  EXPECT_TRUE(Washed());
  EXPECT_NE(k.ReadSettings().find("DateLastRun=12/7/2026"), std::string::npos);
}

TEST_F(RunStateTest, NoTimerLeftStopsTheScheduleAndTheProgramGoesOn) {
  const std::string settings =
      "[Scheduler]\nSchID=2\nSchFrequency=1\nTime=9:00:00 AM\nDay=Sunday\nDateLastRun=12/1/2026\n";
  k.WriteSettings(settings);
  k.sim.clock.Set(2026, 12, 7, 10, 0, 0);
  k.Start();
  const auto texts = [&] {
    std::vector<std::string> shown;
    for (const MessageBoxCall& box : k.sim.dialogs.Shown()) shown.push_back(box.Text);
    return shown;
  };
  // A start that cannot get a timer stays inactive, and the next start tries again.
  k.sim.windowing.SetTimerLimit(0);
  ClickStart();
  ExpectActive(false);
  EXPECT_EQ(texts(), std::vector<std::string>{"Not enough timers available"});
  k.sim.windowing.SetTimerLimit(10000);
  ClickStart();
  ExpectActive(true);
  EXPECT_EQ(k.RunningTimerInterval(), 180000u);

  // The tick washes, cannot run the timer again: the message, and the window
  // shows the schedule stopped.
  Plant();
  k.sim.windowing.SetTimerLimit(0);
  k.sim.windowing.AdvanceBy(180000);
  EXPECT_TRUE(Washed());
  EXPECT_EQ(texts(), (std::vector<std::string>{"Not enough timers available", "Not enough timers available"}));
  ExpectActive(false);

  // Both errors of one tick are shown: the refused record, then the timer.
  k.sim.windowing.SetTimerLimit(10000);
  k.WriteSettings(settings);
  k.sim.profiles.RefuseWrites(true);
  ClickStart();
  k.sim.windowing.SetTimerLimit(0);
  k.sim.windowing.AdvanceBy(180000);
  ASSERT_EQ(texts().size(), 4u);
  EXPECT_EQ(texts()[2], "Unable to write to " + k.SettingsPath());
  EXPECT_EQ(texts()[3], "Not enough timers available");
  ExpectActive(false);

  // The program goes on: with timers and a writable folder the schedule washes again.
  k.sim.windowing.SetTimerLimit(10000);
  k.sim.profiles.RefuseWrites(false);
  Plant();
  ClickStart();
  k.sim.windowing.AdvanceBy(180000);
  EXPECT_TRUE(Washed());
  ExpectActive(true);
}

TEST_F(RunStateTest, WashNowAsksFirstAndTheTrayItemDoesNot) {
  k.Start();
  Plant();
  k.sim.dialogs.ExpectAnswer(idNo);
  k.sim.windowing.Click(k.form->Panel2->Handle(), Point{270, 60});
  EXPECT_FALSE(Washed());
  EXPECT_TRUE(k.sim.windowing.CursorOverrides().empty());
  ASSERT_EQ(k.sim.dialogs.Shown().size(), 1u);
  const MessageBoxCall& box = k.sim.dialogs.Shown()[0];
  EXPECT_EQ(box.Text, "Wash IE cookies and cache?");
  EXPECT_EQ(box.Caption, "Kelpo");
  EXPECT_EQ(box.Style, 0x24u);
  EXPECT_EQ(box.Owner, k.app->Handle());

  k.sim.dialogs.ExpectAnswer(idYes);
  k.sim.windowing.Click(k.form->Panel2->Handle(), Point{270, 60});
  EXPECT_TRUE(Washed());
  // After a wash the arrow shows everywhere, also over the hand of the image buttons.
  EXPECT_EQ(k.sim.windowing.HoverCursor(k.form->Panel2->Handle(), Point{270, 60}), CursorKind::Arrow);

  Plant();
  k.form->WashBtnClick(nullptr);
  EXPECT_TRUE(Washed());
  EXPECT_EQ(k.sim.dialogs.Shown().size(), 2u);
}

TEST_F(RunStateTest, ScheduledWashRunsWhileTheWashQuestionIsOpen) {
  k.WriteSettings("[Scheduler]\nSchID=0\nSchFrequency=1\n");
  k.Start();
  ClickStart();
  Plant();
  k.sim.dialogs.Expect([&](const MessageBoxCall&) {
    k.sim.windowing.AdvanceBy(60000);  // the minute's tick washes meanwhile
    EXPECT_TRUE(Washed());
    Plant();
    return idYes;
  });
  k.sim.windowing.Click(k.form->Panel2->Handle(), Point{270, 60});
  EXPECT_TRUE(Washed());
  EXPECT_EQ(Washes(), 2);
}

}  // namespace
}  // namespace kelpo
