// The poll of the hours, days, weeks and months units: what it reads from the
// settings file and the clock, what it writes back, and the run's memory.

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "base/Exception.h"
#include "scheduler/DueCheck.h"
#include "settings/DateTime.h"
#include "tests/support/KelpoHarness.h"
#include "tests/support/TempFolder.h"

namespace kelpo {
namespace {

// Counts the readings of the clock; each reading moves it on by one second,
// so that two readings just before midnight would fall on two days.
class CountingClock : public Clock {
 public:
  explicit CountingClock(SimClock& clock) : clock_(clock) {}
  LocalTime Now() override {
    ++readings;
    const LocalTime now = clock_.Now();
    clock_.Advance(1000);
    return now;
  }
  std::uint64_t TickCount() override {
    ++ticks;
    return clock_.TickCount();
  }
  int readings = 0;
  int ticks = 0;

 private:
  SimClock& clock_;
};

class CountingProfileFiles : public ProfileFiles {
 public:
  explicit CountingProfileFiles(ProfileFiles& inner) : inner_(inner) {}
  std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultText, unsigned bufferSize) override {
    ++reads[key];
    return inner_.GetString(file, section, key, defaultText, bufferSize);
  }
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    ++writes[key];
    return inner_.WriteString(file, section, key, value);
  }
  std::map<std::string, int> reads;
  std::map<std::string, int> writes;

 private:
  ProfileFiles& inner_;
};

class DueCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    k.Start(UnitedStates());
    check.emplace(*k.app, [this] { return k.SettingsPath(); });
  }
  std::string Key(const std::string& key) {
    return k.form->Editor().OpenSettings().ReadString("Scheduler", key, "<none>");
  }
  // The poll finds a wash due, and the write of its record is refused.
  void ExpectRefusedWrite() {
    try {
      check->IsScheduleDue();
      FAIL() << "the refused write must raise";
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + k.SettingsPath());
    }
  }
  KelpoHarness k;
  std::optional<DueCheck> check;
};

TEST(DueCheckPoll, ReadsEachValueAndTheClockOncePerPoll) {
  SimPlatform sim;
  CountingClock clock(sim.clock);
  CountingProfileFiles profiles(sim.profiles);
  Platform platform{clock,         sim.dialogs, sim.files,    sim.graphics, profiles,    sim.regional,    sim.widgets,
                    sim.windowing, sim.cache,   sim.registry, sim.menus,    sim.threads, sim.versionInfo, sim.shell};
  sim.regional.Set(UnitedStates());
  TApplication app(platform);
  TempFolder folder;
  const std::string path = folder.Path() + "settings.ini";
  DueCheck check(app, [&] { return path; });
  const auto write = [&](const std::string& text) { std::ofstream(path, std::ios::binary) << text; };

  // Every 1 days at midnight, last run the day before, polled at 23:59:59: a
  // second reading of the clock would see the next day (and the next year).
  write("[Scheduler]\nSchID=2\nSchFrequency=1\nTime=12:00:00 AM\nDay=Monday\nDateLastRun=12/30/2026\n");
  sim.clock.Set(2026, 12, 31, 23, 59, 59);
  clock.readings = clock.ticks = 0;
  EXPECT_TRUE(check.IsScheduleDue());
  EXPECT_EQ(clock.readings, 1);
  EXPECT_EQ(clock.ticks, 1);
  EXPECT_EQ(profiles.reads, (std::map<std::string, int>{
                                {"SchID", 1}, {"DateLastRun", 1}, {"Time", 1}, {"Day", 1}, {"SchFrequency", 1}}));
  EXPECT_EQ(profiles.writes, (std::map<std::string, int>{{"DateLastRun", 1}}));
  EXPECT_EQ(sim.profiles.GetString(path, "Scheduler", "DateLastRun", "", 2048), "12/31/2026");

  // Minutes or no unit: the unit is all a poll reads.
  write("[Scheduler]\nSchID=0\nSchFrequency=1\nTime=12:00:00 AM\nDay=Monday\nDateLastRun=12/30/2026\n");
  profiles.reads.clear();
  EXPECT_FALSE(check.IsScheduleDue());
  EXPECT_EQ(profiles.reads, (std::map<std::string, int>{{"SchID", 1}}));
}

TEST_F(DueCheckTest, NothingIsWrittenWhenNothingIsDue) {
  k.sim.clock.Set(2027, 6, 1, 12, 0, 0);
  const char* files[] = {
      "[Scheduler]\nSchID=2\nSchFrequency=1\nDay=\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchID=2\nSchFrequency=2.5\nDay=Monday\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchID=1\nSchFrequency=-3\nDay=Monday\nTime=1:00:00 AM\n",
      "[Scheduler]\nSchID=1\nSchFrequency=2\nTime=1:00:00 AM\n",
      "[Scheduler]\nSchFrequency=1\nDay=Monday\nDateLastRun=1/1/2026\n",
      "[Scheduler]\nSchID=5\nSchFrequency=1\nDay=Monday\nDateLastRun=1/1/2026\n",
  };
  for (const char* file : files) {
    k.WriteSettings(file);
    EXPECT_FALSE(check->IsScheduleDue()) << file;
    EXPECT_EQ(k.ReadSettings(), file);
  }
  // A hexadecimal unit reads as weeks; a last run in another region's form reads as today.
  k.WriteSettings("[Scheduler]\nSchID=0x3\nSchFrequency=1\nTime=8:00:00 AM\nDay=Tuesday\nDateLastRun=5/25/2027\n");
  EXPECT_TRUE(check->IsScheduleDue());
  k.WriteSettings("[Scheduler]\nSchID=2\nSchFrequency=1\nTime=9:00:00 PM\nDay=Monday\nDateLastRun=25.05.2027\n");
  k.sim.clock.Set(2027, 6, 1, 23, 0, 0);
  EXPECT_FALSE(check->IsScheduleDue());
}

TEST_F(DueCheckTest, HourlyWashWritesTheTimeAndRemembersTheWash) {
  k.WriteSettings("[Scheduler]\nSchID=1\nSchFrequency=2\nTime=2:00:00 PM\nDay=Sunday\nDateLastRun=12/1/2026\n");
  k.sim.clock.Set(2026, 12, 7, 14, 3, 10);
  // The stored time is 3 minutes old, but nothing proves it was this run's wash.
  EXPECT_TRUE(check->IsScheduleDue());
  EXPECT_EQ(Key("Time"), "2:03:10 PM");
  EXPECT_EQ(Key("DateLastRun"), "12/1/2026");
  const std::int64_t washed = *check->Memory().LastHourlyWash;
  k.sim.clock.Set(2026, 12, 7, 16, 3, 9);
  EXPECT_FALSE(check->IsScheduleDue());
  // A refused write raises before the wash and leaves the memory: the next poll tries again.
  k.sim.clock.Set(2026, 12, 7, 16, 3, 10);
  k.profiles.RefuseFrom(1);
  ExpectRefusedWrite();
  EXPECT_EQ(check->Memory().LastHourlyWash, washed);
  EXPECT_EQ(Key("Time"), "2:03:10 PM");
}

TEST_F(DueCheckTest, RefusedRecordWriteRaisesBeforeAnyWash) {
  k.WriteSettings("[Scheduler]\nSchID=2\nSchFrequency=1\nTime=9:00:00 PM\nDay=Monday\nDateLastRun=12/1/2026\n");
  k.sim.clock.Set(2026, 12, 7, 22, 0, 0);
  k.profiles.RefuseFrom(1);
  ExpectRefusedWrite();
  EXPECT_NE(k.ReadSettings().find("DateLastRun=12/1/2026"), std::string::npos);
}

}  // namespace
}  // namespace kelpo
