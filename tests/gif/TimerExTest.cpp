// The animation timer: window mode in virtual time, threaded mode with a real
// worker thread whose ticks the test's thread runs as the GUI thread.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "gif/TimerEx.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

using namespace std::chrono_literals;

class TimerExTest : public ::testing::Test {
 protected:
  TTimerEx& NewTimer() { return *new TTimerEx(owner.get()); }
  std::optional<std::uint32_t> Running(const TTimerEx& timer) const {
    return h.sim.windowing.TimerInterval(timer.TimerWindow(), 1);
  }
  // Runs the ticks handed to the GUI thread until `done` holds (false after 10 s).
  bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      h.sim.threads.RunGuiCalls(5ms);
    }
    return true;
  }
  // Waits, running nothing, until a tick waits for the GUI thread.
  bool WaitForHandedTick() {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (h.sim.threads.QueuedGuiCalls() == 0) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }

  FrameworkHarness h;
  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(*h.app);
};

TEST_F(TimerExTest, WindowModeArmsOnlyWithIntervalEnabledAndHandler) {
  TTimerEx& timer = NewTimer();
  EXPECT_NE(timer.TimerWindow(), 0u);
  EXPECT_FALSE(Running(timer));  // no handler yet
  int ticks = 0;
  timer.SetOnTimer([&](TComponent* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  });
  EXPECT_EQ(Running(timer), 1000u);
  h.sim.windowing.AdvanceBy(3000);
  EXPECT_EQ(ticks, 3);

  timer.SetInterval(0);
  EXPECT_FALSE(Running(timer));
  timer.SetInterval(100);
  timer.SetEnabled(false);
  EXPECT_FALSE(Running(timer));
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_EQ(ticks, 3);
  timer.SetEnabled(true);
  EXPECT_EQ(Running(timer), 100u);
  EXPECT_FALSE(timer.WorkerRunning());
}

TEST_F(TimerExTest, WindowModeRestartsTheCountdownOnlyOnAChange) {
  TTimerEx& timer = NewTimer();
  int ticks = 0;
  TNotifyEvent handler = [&](TComponent*) { ++ticks; };
  timer.SetOnTimer(handler);
  timer.SetInterval(100);
  const WindowHandle window = timer.TimerWindow();
  const std::int64_t due = *h.sim.windowing.TimerDue(window, 1);

  h.sim.windowing.AdvanceBy(60);
  timer.SetInterval(100);  // unchanged
  EXPECT_EQ(h.sim.windowing.TimerDue(window, 1), due);
  timer.SetThreadPriority(TThreadPriority::tpHighest);  // only stored in window mode
  EXPECT_EQ(h.sim.windowing.TimerDue(window, 1), due);
  EXPECT_EQ(timer.ThreadPriority(), TThreadPriority::tpHighest);
  EXPECT_FALSE(timer.WorkerRunning());
  timer.SetOnTimer(handler);  // even the same handler restarts it
  EXPECT_EQ(h.sim.windowing.TimerDue(window, 1), h.sim.clock.Millis() + 100);
  h.sim.windowing.AdvanceBy(30);
  timer.SetInterval(50);
  EXPECT_EQ(h.sim.windowing.TimerDue(window, 1), h.sim.clock.Millis() + 50);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerExTest, WindowModeShowsHandlerErrorsAndGoesOnAndReportsMissingTimers) {
  TTimerEx& timer = NewTimer();
  int ticks = 0;
  timer.SetInterval(100);
  timer.SetOnTimer([&](TComponent*) {
    ++ticks;
    throw Exception("Tick failed");
  });
  h.sim.windowing.AdvanceBy(250);
  EXPECT_EQ(ticks, 2);
  ASSERT_EQ(h.sim.dialogs.Shown().size(), 2u);
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Text, "Tick failed");
  EXPECT_EQ(Running(timer), 100u);

  h.sim.windowing.SetTimerLimit(1);  // taken by this timer
  TTimerEx& second = NewTimer();
  try {
    second.SetOnTimer([](TComponent*) {});
    FAIL() << "no error";
  } catch (const EOutOfResources& error) {
    EXPECT_STREQ(error.what(), "No More Timers Available");
  }
}

TEST_F(TimerExTest, AHandlerMayFreeItsTimerInEitherMode) {
  for (const bool threaded : {false, true}) {
    TTimerEx* timer = &NewTimer();
    int ticks = 0;
    timer->SetThreaded(threaded);
    timer->SetInterval(10);
    timer->SetOnTimer([&](TComponent*) {
      ++ticks;
      delete timer;
      timer = nullptr;
    });
    if (threaded) {
      ASSERT_TRUE(PumpUntil([&] { return ticks > 0; }));
      h.sim.threads.RunGuiCalls(50ms);
    } else {
      h.sim.windowing.AdvanceBy(100);
    }
    EXPECT_EQ(ticks, 1) << threaded;
    EXPECT_EQ(timer, nullptr);
  }
}

TEST_F(TimerExTest, ThreadedTicksRunOnTheGuiThreadAtTheWorkersPriority) {
  TTimerEx& timer = NewTimer();
  const std::thread::id gui = std::this_thread::get_id();
  int ticks = 0;
  bool elsewhere = false;
  timer.SetThreadPriority(TThreadPriority::tpHigher);
  timer.SetThreaded(true);
  EXPECT_EQ(timer.TimerWindow(), 0u);
  EXPECT_TRUE(timer.WorkerRunning());
  timer.SetInterval(5);
  timer.SetOnTimer([&](TComponent*) {
    elsewhere = elsewhere || std::this_thread::get_id() != gui;
    ++ticks;
  });
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_FALSE(elsewhere);
  timer.SetThreadPriority(TThreadPriority::tpIdle);
  const int before = ticks;
  ASSERT_TRUE(PumpUntil([&] { return ticks >= before + 2; }));
  const std::vector<int> priorities = h.sim.threads.ThreadPriorities();
  ASSERT_GE(priorities.size(), 2u);
  EXPECT_EQ(priorities.front(), 1);
  EXPECT_EQ(priorities.back(), -15);

  // ThreadSafe: the handler runs on the worker itself.
  std::atomic<int> workerTicks = 0;
  std::atomic<bool> onGui = false;
  timer.SetThreadSafe(true);
  timer.SetOnTimer([&](TComponent*) {
    onGui = onGui || std::this_thread::get_id() == gui;
    ++workerTicks;
  });
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (workerTicks < 3 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  delete &timer;  // waits for a tick running on the worker
  EXPECT_GE(workerTicks, 3);
  EXPECT_FALSE(onGui);
}

TEST_F(TimerExTest, ThreadedTimerDeliversNothingWhileDisarmed) {
  TTimerEx& timer = NewTimer();
  int ticks = 0;
  timer.SetThreaded(true);
  timer.SetInterval(5);
  timer.SetOnTimer([&](TComponent*) { ++ticks; });
  // A tick already handed over when the timer is disarmed is not delivered.
  ASSERT_TRUE(WaitForHandedTick());
  timer.SetEnabled(false);
  h.sim.threads.RunGuiCalls(50ms);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(h.sim.threads.QueuedGuiCalls(), 0u);

  timer.SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; }));
  timer.SetInterval(0);
  timer.SetOnTimer(nullptr);
  timer.SetInterval(5);
  const int stopped = ticks;
  h.sim.threads.RunGuiCalls(60ms);
  h.sim.threads.RunGuiCalls(60ms);
  EXPECT_EQ(ticks, stopped);
}

TEST_F(TimerExTest, SwitchingThreadedWhileTickingHandsOverToTheOtherMode) {
  TTimerEx& timer = NewTimer();
  int ticks = 0;
  bool switchInTick = false;
  timer.SetInterval(20);
  timer.SetThreaded(true);
  timer.SetOnTimer([&](TComponent*) {
    ++ticks;
    if (switchInTick) timer.SetThreaded(false);
  });
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 2; }));

  // From outside a tick, with a tick waiting for the GUI thread.
  ASSERT_TRUE(WaitForHandedTick());
  timer.SetThreaded(false);
  EXPECT_FALSE(timer.WorkerRunning());
  EXPECT_EQ(Running(timer), 20u);
  const int handed = ticks;
  h.sim.threads.RunGuiCalls(30ms);
  EXPECT_EQ(ticks, handed);  // the worker's last tick is dropped
  h.sim.windowing.AdvanceBy(100);
  EXPECT_EQ(ticks, handed + 5);

  // And from inside the worker's own tick.
  timer.SetThreaded(true);
  EXPECT_EQ(timer.TimerWindow(), 0u);
  switchInTick = true;
  ASSERT_TRUE(PumpUntil([&] { return ticks > handed + 5; }));
  EXPECT_FALSE(timer.WorkerRunning());
  EXPECT_EQ(Running(timer), 20u);
}

TEST_F(TimerExTest, DestroyingAThreadedTimerWhileItTicksLeavesNothingBehind) {
  for (int round = 0; round < 20; ++round) {
    TTimerEx* timer = &NewTimer();
    std::atomic<int> ticks = 0;
    timer->SetThreaded(true);
    timer->SetThreadSafe(round % 2 == 1);  // odd rounds tick on the worker
    timer->SetInterval(1);
    timer->SetOnTimer([&](TComponent*) { ++ticks; });
    if (round % 2 == 0) {
      ASSERT_TRUE(WaitForHandedTick());
    }
    delete timer;
    const int left = ticks;
    h.sim.threads.RunGuiCalls(5ms);
    EXPECT_EQ(ticks, left);
  }
}

TEST_F(TimerExTest, AnErrorEndsTheWorkerSilentlyAndTheNextChangeStartsAnother) {
  TTimerEx& timer = NewTimer();
  int ticks = 0;
  bool fail = true;
  timer.SetThreaded(true);
  timer.SetInterval(5);
  timer.SetOnTimer([&](TComponent*) {
    ++ticks;
    if (fail) throw Exception("Tick failed");
  });
  ASSERT_TRUE(PumpUntil([&] { return !timer.WorkerRunning(); }));
  h.sim.threads.RunGuiCalls(50ms);
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(h.sim.dialogs.Shown().empty());

  fail = false;
  timer.SetInterval(6);
  EXPECT_TRUE(timer.WorkerRunning());
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
}

}  // namespace
}  // namespace kelpo
