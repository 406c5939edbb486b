#include "scheduler/RunState.h"

namespace kelpo {

RunState::RunState(const RunStateControls& controls, std::function<void()> applyTimerInterval)
    : c_(controls), applyTimerInterval_(std::move(applyTimerInterval)) {}

void RunState::Start() {
  applyTimerInterval_();
  c_.Timer.SetEnabled(true);
  c_.ScheduleActive = true;
  c_.StartButton.Hide();
  c_.StopButton.Show();
  c_.StatusLine.SetCaption("Kelpo is active");
}

void RunState::Stop() {
  c_.ScheduleActive = false;
  c_.Timer.SetEnabled(false);
  c_.StopButton.Hide();
  c_.StartButton.Show();
  c_.StatusLine.SetCaption("Kelpo is inactive");
}

void RunState::Toggle() {
  if (c_.StopButton.Visible()) {
    Stop();
  } else {
    Start();
  }
}

}  // namespace kelpo
