#include "scheduler/RunState.h"

#include <exception>

#include "framework/Application.h"

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

void RunState::Tick(const std::function<void()>& work) {
  c_.Timer.SetEnabled(false);
  std::exception_ptr failure;
  try {
    work();
  } catch (...) {
    failure = std::current_exception();
  }
  if (c_.ScheduleActive) {
    try {
      c_.Timer.SetEnabled(true);
    } catch (...) {
      Stop();
      if (failure) ShowError(failure);
      throw;
    }
  }
  if (failure) std::rethrow_exception(failure);
}

void RunState::ShowError(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    c_.Timer.Application().ShowException(e);
  } catch (...) {
    // Not an error of the program's own kind: it has no message to show.
  }
}

void RunState::Toggle() {
  if (c_.StopButton.Visible()) {
    Stop();
  } else {
    Start();
  }
}

}  // namespace kelpo
