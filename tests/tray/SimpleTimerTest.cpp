// The simple timer and its shared hidden window in virtual time.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "tests/framework/FrameworkTestSupport.h"
#include "tray/SimpleTimer.h"

namespace kelpo {
namespace {

class SimpleTimer : public ::testing::Test {
 protected:
  std::unique_ptr<TSimpleTimer> NewTimer(TSimpleTimerProc proc = {}, void* userData = nullptr) {
    return std::make_unique<TSimpleTimer>(*h.app, userData, std::move(proc));
  }
  TSimpleTimerProc Counter(int& count) {
    return [&count](void*) { ++count; };
  }
  WindowHandle HandlerWindow() const { return h.sim.windowing.FindWindow("TSimpleTimerHandler"); }
  std::int64_t Now() const { return h.sim.clock.Millis(); }

  FrameworkHarness h;
};

TEST_F(SimpleTimer, CallsItsCallbackWithItsUserDataEveryPeriod) {
  int data = 0;
  std::vector<std::int64_t> ticks;
  auto timer = NewTimer(
      [&](void* userData) {
        EXPECT_EQ(userData, &data);
        ticks.push_back(Now());
      },
      &data);
  EXPECT_FALSE(timer->Running());
  EXPECT_EQ(timer->UserData(), &data);
  const std::int64_t start = Now();
  EXPECT_TRUE(timer->StartTimer(250));
  EXPECT_TRUE(timer->Running());
  EXPECT_EQ(timer->PeriodMs(), 250u);
  EXPECT_EQ(h.sim.windowing.TimerInterval(HandlerWindow(), timer->TimerId()), 250u);
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{start + 250, start + 500, start + 750, start + 1000}));
  EXPECT_TRUE(timer->Running()) << "a tick does not stop the timer";
}

TEST_F(SimpleTimer, StartingARunningTimerRestartsItsPeriod) {
  int ticks = 0;
  auto timer = NewTimer(Counter(ticks));
  timer->StartTimer(300);
  h.sim.windowing.AdvanceBy(200);
  const std::int64_t restart = Now();
  EXPECT_TRUE(timer->StartTimer(300));
  EXPECT_EQ(h.sim.windowing.TimerDue(HandlerWindow(), timer->TimerId()), restart + 300);
  h.sim.windowing.AdvanceBy(299);
  EXPECT_EQ(ticks, 0) << "the first period would have ended 200 ms ago";
  h.sim.windowing.AdvanceBy(1);
  EXPECT_EQ(ticks, 1);
}

TEST_F(SimpleTimer, ErrorsOfTheCallbackAreDiscardedAndItIsCalledAgain) {
  int calls = 0;
  auto timer = NewTimer([&](void*) {
    ++calls;
    if (calls % 2) throw std::runtime_error("tick failed");
    throw 42;
  });
  timer->StartTimer(100);
  h.sim.windowing.AdvanceBy(400);
  EXPECT_EQ(calls, 4);
  EXPECT_TRUE(timer->Running());
  EXPECT_TRUE(h.sim.dialogs.Shown().empty()) << "nothing is shown";
}

TEST_F(SimpleTimer, StopTimerAnswersWhetherARunningTimerWasRemoved) {
  int ticks = 0;
  auto timer = NewTimer(Counter(ticks));
  EXPECT_FALSE(timer->StopTimer()) << "never started";
  EXPECT_FALSE(timer->Running());
  timer->StartTimer(100);
  EXPECT_TRUE(timer->StopTimer());
  EXPECT_FALSE(timer->Running());
  EXPECT_FALSE(timer->StopTimer()) << "already stopped";
  EXPECT_FALSE(timer->Running());
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_EQ(ticks, 0);
}

TEST_F(SimpleTimer, ARefusedStartLeavesTheTimerStopped) {
  auto timer = NewTimer();
  h.sim.windowing.SetTimerLimit(0);
  EXPECT_FALSE(timer->StartTimer(100));
  EXPECT_FALSE(timer->Running());
  EXPECT_EQ(timer->PeriodMs(), 100u);
}

TEST_F(SimpleTimer, OneHiddenWindowLivesFromTheFirstTimerToTheLast) {
  EXPECT_EQ(HandlerWindow(), 0u);
  EXPECT_EQ(TSimpleTimerHandler::Current(*h.app), nullptr);
  auto first = NewTimer();
  auto second = NewTimer();
  const WindowHandle window = HandlerWindow();
  ASSERT_NE(window, 0u);
  EXPECT_EQ(TSimpleTimerHandler::Current(*h.app)->RefCount(), 2);
  first.reset();
  EXPECT_EQ(HandlerWindow(), window);
  EXPECT_EQ(TSimpleTimerHandler::Current(*h.app)->RefCount(), 1);
  second.reset();
  EXPECT_EQ(HandlerWindow(), 0u) << "destroyed with the last timer";
  EXPECT_EQ(TSimpleTimerHandler::Current(*h.app), nullptr);

  int ticks = 0;
  auto again = NewTimer(Counter(ticks));
  EXPECT_NE(HandlerWindow(), 0u);
  EXPECT_NE(HandlerWindow(), window) << "a new window for the next timer";
  again->StartTimer(50);
  h.sim.windowing.AdvanceBy(100);
  EXPECT_EQ(ticks, 2);
}

TEST_F(SimpleTimer, TicksReachOnlyLiveRunningTimersByTheirOwnId) {
  int aTicks = 0, bTicks = 0;
  auto a = NewTimer(Counter(aTicks));
  auto b = NewTimer(Counter(bTicks));
  auto dead = NewTimer();
  EXPECT_NE(a->TimerId(), 0u);
  EXPECT_NE(a->TimerId(), b->TimerId());
  const std::uint32_t deadId = dead->TimerId();
  dead.reset();
  auto next = NewTimer();
  EXPECT_NE(next->TimerId(), deadId) << "a freed timer's id is not handed out again at once";
  EXPECT_NE(next->TimerId(), a->TimerId());
  EXPECT_NE(next->TimerId(), b->TimerId());

  a->StartTimer(1000);
  const WindowHandle window = HandlerWindow();
  struct Case {
    std::uintptr_t id;
    int aTicks, bTicks;
  } cases[] = {
      {a->TimerId(), 1, 0},                 // running: called
      {b->TimerId(), 0, 0},                 // live but stopped: dropped
      {deadId, 0, 0},                       // freed while its tick waited: dropped
      {0x100000000u + a->TimerId(), 0, 0},  // not a 32-bit id
  };
  for (const Case& c : cases) {
    aTicks = bTicks = 0;
    EXPECT_EQ(h.sim.windowing.SendMessage(window, wmTimer, c.id, 0), 0);
    EXPECT_EQ(aTicks, c.aTicks) << "id " << c.id;
    EXPECT_EQ(bTicks, c.bTicks) << "id " << c.id;
  }
}

TEST_F(SimpleTimer, ACallbackMayFreeTheLastTimerAndWithItTheWindow) {
  std::unique_ptr<TSimpleTimer> timer;
  int ticks = 0;
  timer = NewTimer([&](void*) {
    ++ticks;
    timer.reset();
  });
  timer->StartTimer(100);
  h.sim.windowing.AdvanceBy(500);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(HandlerWindow(), 0u);
}

}  // namespace
}  // namespace kelpo
