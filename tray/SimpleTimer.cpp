#include "tray/SimpleTimer.h"

#include <limits>

namespace kelpo {

TSimpleTimerHandler::TSimpleTimerHandler(TApplication& application) : TSharedHandler(application) {
  WindowParams params;
  params.Kind = WindowKind::Hidden;
  params.ClassName = "TSimpleTimerHandler";
  window_ = application.Services().windowing.CreateMessageWindow(params, this);
}

TSimpleTimerHandler::~TSimpleTimerHandler() {
  Application().Services().windowing.DestroyWindow(window_);
}

std::uint32_t TSimpleTimerHandler::Add(TSimpleTimer& timer) {
  // Ids count up, so that a tick still queued for a freed timer does not
  // reach the next one; after the last id they start again at 1, skipping
  // those in use.
  do {
    lastId_ = lastId_ == std::numeric_limits<std::uint32_t>::max() ? 1 : lastId_ + 1;
  } while (timers_.count(lastId_));
  timers_.emplace(lastId_, &timer);
  return lastId_;
}

TSimpleTimer* TSimpleTimerHandler::Find(std::uint32_t id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? nullptr : it->second;
}

bool TSimpleTimerHandler::WindowProc(Message& m) {
  if (m.Msg != wmTimer) return false;
  // A tick for a timer that was stopped or freed while it waited is dropped.
  if (m.WParam <= std::numeric_limits<std::uint32_t>::max()) {
    TSimpleTimer* timer = Find(static_cast<std::uint32_t>(m.WParam));
    if (timer && timer->running_) timer->Tick();  // may free this handler
  }
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
