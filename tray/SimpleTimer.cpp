#include "tray/SimpleTimer.h"

namespace kelpo {

bool TSimpleTimerHandler::WindowProc(Message& m) {
  if (m.Msg != wmTimer) return false;
  // A tick for a timer that was stopped or freed while it waited is dropped.
  TSimpleTimer* timer = Find(m.WParam);
  if (timer && timer->running_) timer->Tick();  // may free this handler
  return true;
}

TSimpleTimer::TSimpleTimer(TApplication& application, void* userData, TSimpleTimerProc tickProc)
    : userData_(userData),
      handler_(TSimpleTimerHandler::Acquire(application)),
      timerId_(handler_.Add(*this)),
      tickProc_(std::move(tickProc)) {}

TSimpleTimer::~TSimpleTimer() {
  if (running_) StopTimer();
  handler_.Remove(timerId_);
  TSimpleTimerHandler::Release(handler_);
}

bool TSimpleTimer::StartTimer(std::uint32_t milliseconds) {
  if (running_) StopTimer();
  periodMs_ = milliseconds;
  running_ = handler_.Application().Services().windowing.SetTimer(handler_.Handle(), timerId_, milliseconds);
  return running_;
}

bool TSimpleTimer::StopTimer() {
  running_ = false;
  return handler_.Application().Services().windowing.KillTimer(handler_.Handle(), timerId_);
}

void TSimpleTimer::Tick() {
  if (!tickProc_) return;
  try {
    tickProc_(userData_);
  } catch (...) {
    // A timer's callback reports nothing; the next tick calls it again.
  }
}

}  // namespace kelpo
