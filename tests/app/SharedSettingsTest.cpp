// "settings.ini" shared with other processes: one that holds it open without
// sharing during an apply and during the polls, and one that rewrites it
// between two polls.

#include <gtest/gtest.h>

#include "tests/support/KelpoHarness.h"

namespace kelpo {
namespace {

constexpr std::uint32_t ErrorStyle = mbOk | mbIconError;
constexpr const char* TypedUrls = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";

class SharedSettingsTest : public ::testing::Test {
 protected:
  void Enter(const std::string& count, int unit, TimeOfDay time, int weekday) {
    k.CountPeer().UserType(count);
    k.UnitPeer().UserSelect(unit);
    k.TimePeer().UserSetTime(time);
    k.WeekdayPeer().UserSelect(weekday);
  }
  void Apply() {
    k.sim.dialogs.ExpectAnswer(idYes);
    k.sim.windowing.Click(k.form->Panel2->Handle(), Point{100, 60});
  }
  void ClickStart() { k.sim.windowing.Click(k.form->Panel2->Handle(), Point{30, 60}); }
  // Each wash deletes the typed-address key; planting it again counts the washes.
  void Plant() { k.sim.registry.SetValue(TypedUrls, "url1", "http://example.com/"); }
  int Washes() {
    if (!k.sim.registry.KeyExists(TypedUrls)) {
      ++washes_;
      Plant();
    }
    return washes_;
  }
  // Virtual time up to that moment of December 2026.
  void RunUntil(int day, int hour, int minute) {
    SimClock until;
    until.Set(2026, 12, day, hour, minute, 0);
    k.sim.windowing.RunUntil(until.Millis());
  }
  KelpoHarness k;

 private:
  int washes_ = 0;
};

TEST_F(SharedSettingsTest, FileHeldWithoutSharingRefusesTheApplyGivesDefaultsToThePollsAndLosesNoKey) {
  k.sim.clock.Set(2026, 12, 7, 10, 0, 0);
  k.Start();
  Plant();
  Enter("2", 2, TimeOfDay{21, 0, 0}, 0);  // every 2 days at 9 PM
  Apply();
  const std::string applied = k.ReadSettings();
  ASSERT_EQ(applied,
            "[Scheduler]\r\nSchID=2\r\nSchFrequency=2\r\nTime=9:00:00 PM\r\nDay=Sunday\r\n"
            "DateLastRun=12/6/2026\r\n");

  // Another process opens the file without sharing: the next apply says so and changes nothing.
  k.sim.profiles.HoldOpenWithoutSharing(k.SettingsPath());
  Enter("5", 3, TimeOfDay{6, 0, 0}, 3);
  Apply();
  const auto& shown = k.sim.dialogs.Shown();
  ASSERT_EQ(shown.size(), 4u);  // the first apply's question and notice, the second's question and the message
  EXPECT_EQ(shown[3].Text, "Unable to write to " + k.SettingsPath());
  EXPECT_EQ(shown[3].Style, ErrorStyle);
  EXPECT_EQ(k.app->Cursor(), CursorKind::Arrow);
  EXPECT_EQ(k.ReadSettings(), applied);

  // The polls past the boundary read the defaults (unit -1: nothing is due): no
  // wash, no message, and the schedule goes on.
  Enter("2", 2, TimeOfDay{21, 0, 0}, 0);
  ClickStart();
  RunUntil(8, 21, 30);
  EXPECT_EQ(Washes(), 0);
  EXPECT_EQ(shown.size(), 4u);
  EXPECT_TRUE(k.form->Timer1->Enabled());
  EXPECT_EQ(k.ReadSettings(), applied);

  // Released, the file is read again at the next poll, which washes and keeps every key.
  k.sim.profiles.Release(k.SettingsPath());
  RunUntil(8, 21, 33);
  EXPECT_EQ(Washes(), 1);
  EXPECT_EQ(shown.size(), 4u);
  EXPECT_EQ(k.ReadSettings(),
            "[Scheduler]\r\nSchID=2\r\nSchFrequency=2\r\nTime=9:00:00 PM\r\nDay=Sunday\r\n"
            "DateLastRun=12/8/2026\r\n");
}

TEST_F(SharedSettingsTest, FileRewrittenBetweenTwoPollsIsReadAfresh) {
  k.sim.clock.Set(2026, 12, 7, 10, 0, 0);
  k.Start();
  Plant();
  Enter("2", 2, TimeOfDay{21, 0, 0}, 0);
  Apply();
  ClickStart();
  RunUntil(7, 21, 10);  // every 2 days from the 6th: not due on the 7th
  EXPECT_EQ(Washes(), 0);

  // Another process makes it every day, and adds a section of its own.
  k.WriteSettings(
      "[Scheduler]\r\nSchID=2\r\nSchFrequency=1\r\nTime=9:00:00 PM\r\nDay=Sunday\r\n"
      "DateLastRun=12/6/2026\r\n[Other]\r\nX=1\r\n");
  RunUntil(7, 21, 13);
  EXPECT_EQ(Washes(), 1);
  EXPECT_EQ(k.ReadSettings(),
            "[Scheduler]\r\nSchID=2\r\nSchFrequency=1\r\nTime=9:00:00 PM\r\nDay=Sunday\r\n"
            "DateLastRun=12/7/2026\r\n[Other]\r\nX=1\r\n");

  // And back to the 2 days, from the 7th: nothing more on the 8th.
  k.WriteSettings(
      "[Scheduler]\r\nSchID=2\r\nSchFrequency=2\r\nTime=9:00:00 PM\r\nDay=Sunday\r\n"
      "DateLastRun=12/7/2026\r\n");
  RunUntil(8, 23, 0);
  EXPECT_EQ(Washes(), 1);
  EXPECT_EQ(k.sim.dialogs.Shown().size(), 2u);  // the apply's question and notice alone
}

}  // namespace
}  // namespace kelpo
