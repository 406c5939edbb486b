#pragma once
// A light timer that calls a plain callback with a user value at a fixed
// period. All simple timers of the application share one hidden window,
// owned by the counted TSimpleTimerHandler, whose window timers drive them;
// each timer's window-timer id is a number from the handler's table, unique
// among the live timers, by which the handler finds the timer of a tick.
// Errors that a callback raises are discarded: nothing is shown, and the
// timer keeps running.

#include <cstdint>
#include <functional>

#include "framework/Application.h"
#include "tray/SharedHandler.h"

namespace kelpo {

class TSimpleTimer;

using TSimpleTimerProc = std::function<void(void* userData)>;

class TSimpleTimerHandler : public TSharedHandler<TSimpleTimerHandler, TSimpleTimer> {
 public:
  explicit TSimpleTimerHandler(TApplication& application) : TSharedHandler(application, "TSimpleTimerHandler") {}

 private:
  bool WindowProc(Message& m) override;
};

class TSimpleTimer {
 public:
  // A stopped timer; `tickProc` may be empty.
  TSimpleTimer(TApplication& application, void* userData, TSimpleTimerProc tickProc);
  ~TSimpleTimer();
  TSimpleTimer(const TSimpleTimer&) = delete;
  TSimpleTimer& operator=(const TSimpleTimer&) = delete;

  // Starts the timer; a running one restarts, its period counting from now.
  // False when the system has no timer left; the timer is then stopped.
  bool StartTimer(std::uint32_t milliseconds);
  // True when a running window timer was removed.
  bool StopTimer();

  void* UserData() const { return userData_; }
  std::uint32_t TimerId() const { return timerId_; }
  bool Running() const { return running_; }
  std::uint32_t PeriodMs() const { return periodMs_; }

 private:
  friend class TSimpleTimerHandler;
  void Tick();

  void* userData_;
  TSimpleTimerHandler& handler_;
  std::uint32_t timerId_;
  bool running_ = false;
  std::uint32_t periodMs_ = 0;
  TSimpleTimerProc tickProc_;
};

}  // namespace kelpo
