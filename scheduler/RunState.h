#pragma once
// Whether the automatic schedule runs: the schedule timer, the start and stop
// buttons (one visible at a time, at the same place) and the status line.

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

 private:
  RunStateControls c_;
  std::function<void()> applyTimerInterval_;
};

}  // namespace kelpo
