#pragma once
// Whether the automatic schedule runs: the schedule timer, the start and stop
// buttons (one visible at a time, at the same place) and the status line.

#include <exception>
#include <functional>

#include "framework/StdControls.h"
#include "framework/Timer.h"

namespace kelpo {

struct RunStateControls {
  bool& ScheduleActive;
  TTimer& Timer;
  TImage& StartButton;
  TImage& StopButton;
  TLabel& StatusLine;
};

class RunState {
 public:
  // `applyTimerInterval` sets the timer's interval from the editor; it may throw.
  RunState(const RunStateControls& controls, std::function<void()> applyTimerInterval);

  // The interval from the editor, then the timer runs; an error leaves the schedule inactive.
  void Start();
  void Stop();
  // The visible button decides: stop when the stop button shows, else start.
  void Toggle();
  // One tick of the schedule timer: `work` runs with the timer disabled, then
  // the timer runs again while the schedule is active, whatever the work did;
  // the work's error goes on to the caller after that. A timer the system
  // cannot start again stops the schedule, and that error goes on as well
  // (after the work's, which the application's default handler then shows).
  void Tick(const std::function<void()>& work);

 private:
  // The application's default error handler, for the first of two errors of one tick.
  void ShowError(const std::exception_ptr& error);

  RunStateControls c_;
  std::function<void()> applyTimerInterval_;
};

}  // namespace kelpo
