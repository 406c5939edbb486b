// The window timer component in virtual time.

#include <gtest/gtest.h>

#include "framework/Timer.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

class TimerComponent : public ::testing::Test {
 protected:
  TTimer& NewTimer() {
    auto* timer = new TTimer(owner.get());
    if (!window) window = h.sim.windowing.FindWindow("TTimerWindow");
    return *timer;
  }
  std::optional<std::uint32_t> Running() const { return h.sim.windowing.TimerInterval(window, 1); }
  std::int64_t Now() const { return h.sim.clock.Millis(); }
  TNotifyEvent Counter(int& count) {
    return [&count](TComponent*) { ++count; };
  }

  FrameworkHarness h;
  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(*h.app);
  WindowHandle window = 0;  // the first timer's window
};

TEST_F(TimerComponent, RunsOnlyWithAHandlerAndANonzeroInterval) {
  TTimer& timer = NewTimer();
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  timer.SetInterval(500);
  timer.SetEnabled(false);
  timer.SetEnabled(true);
  EXPECT_FALSE(Running());

  int ticks = 0;
  timer.SetOnTimer(Counter(ticks));
  EXPECT_EQ(Running(), 500u);
  timer.SetInterval(0);
  EXPECT_FALSE(Running());
  h.sim.windowing.AdvanceBy(60000);
  EXPECT_EQ(ticks, 0);

  timer.SetInterval(250);
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_EQ(ticks, 4);
  timer.SetOnTimer(nullptr);
  EXPECT_FALSE(Running());
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_EQ(ticks, 4);
}

TEST_F(TimerComponent, NewIntervalRestartsAnEnabledTimerOnly) {
  TTimer& timer = NewTimer();
  int ticks = 0;
  timer.SetOnTimer(Counter(ticks));
  const std::int64_t start = Now();

  // The same interval leaves the countdown running.
  h.sim.windowing.AdvanceBy(600);
  timer.SetInterval(1000);
  EXPECT_EQ(h.sim.windowing.TimerDue(window, 1), start + 1000);
  h.sim.windowing.AdvanceBy(400);
  EXPECT_EQ(ticks, 1);

  // A new one counts from now.
  h.sim.windowing.AdvanceBy(300);
  timer.SetInterval(500);
  EXPECT_EQ(h.sim.windowing.TimerDue(window, 1), Now() + 500);
  h.sim.windowing.AdvanceBy(499);
  EXPECT_EQ(ticks, 1);
  h.sim.windowing.AdvanceBy(1);
  EXPECT_EQ(ticks, 2);

  // On a disabled timer the value is only stored.
  timer.SetEnabled(false);
  timer.SetInterval(300);
  EXPECT_EQ(timer.Interval(), 300u);
  EXPECT_FALSE(Running());
  h.sim.windowing.AdvanceBy(5000);
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(true);
  EXPECT_EQ(h.sim.windowing.TimerDue(window, 1), Now() + 300);
}

TEST_F(TimerComponent, TicksGoOnWhileAMessageBoxIsOpenAndAfterAnError) {
  TTimer& poll = NewTimer();
  TTimer& clock = NewTimer();
  int pollTicks = 0, clockTicks = 0, clockTicksDuringBox = -1;
  clock.SetInterval(100);
  clock.SetOnTimer(Counter(clockTicks));
  poll.SetInterval(1000);
  // Like the schedule timer: off during its tick, which asks a question.
  poll.SetOnTimer([&](TComponent*) {
    ++pollTicks;
    poll.SetEnabled(false);
    h.app->Services().dialogs.MessageBox(0, "Wash now?", "Kelpo", mbYesNo | mbIconQuestion);
    poll.SetEnabled(true);
  });
  h.sim.dialogs.Expect([&](const MessageBoxCall&) {
    const int before = clockTicks;
    h.sim.windowing.AdvanceBy(2500);
    clockTicksDuringBox = clockTicks - before;
    return idYes;
  });

  h.sim.windowing.AdvanceBy(1000);
  EXPECT_EQ(pollTicks, 1);  // off during its own tick, it did not tick again under the box
  EXPECT_EQ(clockTicksDuringBox, 25);
  EXPECT_EQ(clockTicks, 35);

  // An error in a tick is shown and the timer keeps running.
  int failures = 0;
  clock.SetOnTimer([&](TComponent*) {
    ++failures;
    throw Exception("Tick failed");
  });
  poll.SetEnabled(false);
  h.sim.windowing.AdvanceBy(200);
  EXPECT_EQ(failures, 2);
  ASSERT_EQ(h.sim.dialogs.Shown().size(), 3u);
  EXPECT_EQ(h.sim.dialogs.Shown()[2].Text, "Tick failed");
  EXPECT_EQ(h.sim.dialogs.Shown()[2].Style, mbOk | mbIconError);
}

}  // namespace
}  // namespace kelpo
