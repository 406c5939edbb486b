#pragma once
// TTimerEx: a timer component that raises OnTimer every Interval milliseconds,
// either from window timer number 1 of a hidden window (window mode) or from
// a worker thread that sleeps for the interval (threaded mode).
//
// Every change of Enabled, Interval, Threaded or OnTimer (and of
// ThreadPriority in threaded mode) goes through ApplyTimerState. In window
// mode it restarts the countdown. In threaded mode the worker's current sleep
// goes on and the new interval applies from its next sleep.
//
// The worker owns none of the timer: it works on a state block shared with
// the timer, which the timer updates under a lock. It waits at a safe point
// between sleeps while the timer is disarmed (Enabled false, Interval 0 or no
// OnTimer), and after each sleep hands the tick to the GUI thread
// (Threads::PostGuiCall) and waits until it has run; with ThreadSafe it
// runs OnTimer itself instead. A tick is delivered only when the timer is
// still armed when it runs, so none comes while the timer is disarmed.
//
// Ending a worker (destruction, switching to window mode) tells it to end and
// releases a tick it is waiting for, then waits for it to finish, so that no
// thread outlives the timer's use of it; only when that happens inside the
// worker's own tick (a handler that frees its timer) is the worker left to
// end by itself, touching nothing but the shared block. A worker ended by an
// error in OnTimer delivers no more ticks; the timer notices at its next
// change and starts a new one.

#include <cstdint>
#include <memory>
#include <string>

#include "base/Exception.h"
#include "framework/Component.h"
#include "platform/Windowing.h"

namespace kelpo {

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

template <>
struct EnumIdentifiers<TThreadPriority> {
  using P = TThreadPriority;
  static constexpr EnumName<P> Names[] = {{"tpIdle", P::tpIdle},
                                          {"tpLowest", P::tpLowest},
                                          {"tpLower", P::tpLower},
                                          {"tpNormal", P::tpNormal},
                                          {"tpHigher", P::tpHigher},
                                          {"tpHighest", P::tpHighest},
                                          {"tpTimeCritical", P::tpTimeCritical}};
};

// Windows' priority value: -15, -2, -1, 0, 1, 2, 15.
int WindowsThreadPriority(TThreadPriority priority);

// The system has no window timer left.
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

class TTimerEx : public TComponent, private MessageWindow {
 public:
  explicit TTimerEx(TComponent* owner);
  ~TTimerEx() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_; }
  // 0 stops the ticks. Throws EOutOfResources ("No More Timers Available")
  // when window mode finds no window timer.
  void SetInterval(std::uint32_t interval);
  bool Threaded() const { return threaded_; }
  void SetThreaded(bool threaded);
  TThreadPriority ThreadPriority() const { return priority_; }
  void SetThreadPriority(TThreadPriority priority);
  // Threaded mode: OnTimer runs on the worker instead of the GUI thread and
  // must protect what it touches itself.
  bool ThreadSafe() const { return threadSafe_; }
  void SetThreadSafe(bool threadSafe);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

  // Calls OnTimer when Enabled and assigned. The handler may free the timer.
  void FireTimer();

  // The hidden window of window mode (0 in threaded mode).
  WindowHandle TimerWindow() const { return timerWindow_; }
  // A worker exists (threaded mode) and has not ended.
  bool WorkerRunning() const;

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 private:
  struct Shared;

  // The single place where the mode and the arming change.
  void ApplyTimerState();
  void StartWorker();
  void RetireWorker();
  bool Armed() const { return enabled_ && interval_ != 0 && static_cast<bool>(onTimer_); }
  static void WorkerBody(std::shared_ptr<Shared> shared);
  static void DeliverTick(const std::shared_ptr<Shared>& shared);

  bool WindowProc(Message& m) override;

  bool enabled_ = true;
  std::uint32_t interval_ = 1000;
  bool threaded_ = false;
  TThreadPriority priority_ = TThreadPriority::tpNormal;
  bool threadSafe_ = false;
  TNotifyEvent onTimer_;
  WindowHandle timerWindow_ = 0;
  std::shared_ptr<Shared> worker_;
};

}  // namespace kelpo
