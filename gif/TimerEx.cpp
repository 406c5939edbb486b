#include "gif/TimerEx.h"

#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "base/ScopeGuard.h"
#include "framework/Application.h"
#include "platform/GuiCall.h"

namespace kelpo {

// What the timer and its worker share. The timer writes the copies of its
// properties under the lock; the worker reads nothing else of the timer.
struct TTimerEx::Shared {
  std::mutex Lock;
  std::condition_variable Wake;
  TTimerEx* Owner = nullptr;  // null once the timer has let the worker go
  Threads* Gui = nullptr;
  bool Terminated = false;
  bool Armed = false;
  bool ThreadSafe = false;
  bool Ended = false;
  std::uint32_t Interval = 0;
  int Priority = 0;
  TNotifyEvent Handler;              // for ThreadSafe ticks on the worker
  std::shared_ptr<GuiCall> Pending;  // the tick waiting for the GUI thread
  // GUI thread only: the worker's tick runs there now.
  bool Delivering = false;
  std::thread Thread;
};

int WindowsThreadPriority(TThreadPriority priority) {
  switch (priority) {
    case TThreadPriority::tpIdle:
      return -15;
    case TThreadPriority::tpLowest:
      return -2;
    case TThreadPriority::tpLower:
      return -1;
    case TThreadPriority::tpNormal:
      return 0;
    case TThreadPriority::tpHigher:
      return 1;
    case TThreadPriority::tpHighest:
      return 2;
    case TThreadPriority::tpTimeCritical:
      return 15;
  }
  return 0;
}

TTimerEx::TTimerEx(TComponent* owner) : TComponent(owner) {
  ApplyTimerState();
}

TTimerEx::~TTimerEx() {
  enabled_ = false;
  if (worker_) RetireWorker();
  if (timerWindow_) {
    Windowing& windowing = Application().Services().windowing;
    windowing.KillTimer(timerWindow_, 1);
    windowing.DestroyWindow(timerWindow_);
  }
}

void TTimerEx::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  ApplyTimerState();
}

void TTimerEx::SetInterval(std::uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  ApplyTimerState();
}

void TTimerEx::SetThreaded(bool threaded) {
  if (threaded == threaded_) return;
  threaded_ = threaded;
  ApplyTimerState();
}

void TTimerEx::SetThreadPriority(TThreadPriority priority) {
  if (priority == priority_) return;
  priority_ = priority;
  if (threaded_) ApplyTimerState();
}

void TTimerEx::SetThreadSafe(bool threadSafe) {
  threadSafe_ = threadSafe;
  if (!worker_) return;
  std::lock_guard lock(worker_->Lock);
  worker_->ThreadSafe = threadSafe;
}

void TTimerEx::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  ApplyTimerState();
}

void TTimerEx::FireTimer() {
  if (!enabled_ || !onTimer_) return;
  // A copy: the handler may free this timer, and with it onTimer_.
  TNotifyEvent handler = onTimer_;
  handler(this);
}

bool TTimerEx::WorkerRunning() const {
  if (!worker_) return false;
  std::lock_guard lock(worker_->Lock);
  return !worker_->Ended;
}

void TTimerEx::ApplyTimerState() {
  Windowing& windowing = Application().Services().windowing;
  // A worker that ended by an error delivers nothing more: let it go.
  if (worker_ && !WorkerRunning()) RetireWorker();
  if (timerWindow_) windowing.KillTimer(timerWindow_, 1);
  if (threaded_) {
    if (timerWindow_) {
      windowing.DestroyWindow(timerWindow_);
      timerWindow_ = 0;
    }
    if (!worker_) StartWorker();
  } else {
    if (worker_) RetireWorker();
    if (!timerWindow_) {
      WindowParams params;
      params.Kind = WindowKind::Hidden;
      params.ClassName = "TTimerExWindow";
      timerWindow_ = windowing.CreateMessageWindow(params, this);
    }
  }
  if (worker_) {
    {
      std::lock_guard lock(worker_->Lock);
      worker_->Armed = Armed();
      worker_->Interval = interval_;
      worker_->Priority = WindowsThreadPriority(priority_);
      worker_->ThreadSafe = threadSafe_;
      worker_->Handler = onTimer_;
    }
    worker_->Wake.notify_all();
  } else if (Armed() && !windowing.SetTimer(timerWindow_, 1, interval_)) {
    throw EOutOfResources("No More Timers Available");
  }
}

void TTimerEx::StartWorker() {
  auto shared = std::make_shared<Shared>();
  shared->Owner = this;
  shared->Gui = &Application().Services().threads;
  shared->Priority = WindowsThreadPriority(priority_);
  // Disarmed until ApplyTimerState has set the copies.
  shared->Thread = std::thread(&TTimerEx::WorkerBody, shared);
  worker_ = std::move(shared);
}

void TTimerEx::RetireWorker() {
  std::shared_ptr<Shared> shared = std::move(worker_);
  std::shared_ptr<GuiCall> pending;
  {
    std::lock_guard lock(shared->Lock);
    shared->Terminated = true;
    shared->Owner = nullptr;
    shared->Handler = nullptr;
    pending = shared->Pending;
  }
  shared->Wake.notify_all();
  // A tick still waiting for the GUI thread will not run, and its worker wakes.
  if (pending) pending->Abandon();
  if (shared->Delivering) {
    // Called from the worker's own tick: the worker waits for this very call
    // and ends by itself once it returns.
    shared->Thread.detach();
  } else {
    shared->Thread.join();
  }
}

void TTimerEx::WorkerBody(std::shared_ptr<Shared> shared) {
  Shared& s = *shared;
  std::unique_lock lock(s.Lock);
  int appliedPriority = INT_MIN;
  for (;;) {
    // The safe point: nothing happens here while the timer is disarmed.
    s.Wake.wait(lock, [&] { return s.Terminated || s.Armed; });
    if (s.Terminated) break;
    if (s.Priority != appliedPriority) {
      appliedPriority = s.Priority;
      Threads* gui = s.Gui;
      lock.unlock();
      gui->SetCurrentThreadPriority(appliedPriority);
      lock.lock();
      continue;
    }
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(s.Interval);
    if (s.Wake.wait_until(lock, due, [&] { return s.Terminated; })) break;
    if (!s.Armed) continue;  // disarmed during the sleep: no tick

    bool failed = false;
    if (s.ThreadSafe) {
      TNotifyEvent handler = s.Handler;
      TTimerEx* owner = s.Owner;
      lock.unlock();
      try {
        handler(owner);
      } catch (...) {
        failed = true;
      }
      lock.lock();
    } else {
      std::weak_ptr<Shared> weak = shared;
      auto call = std::make_shared<GuiCall>([weak] {
        if (auto strong = weak.lock()) DeliverTick(strong);
      });
      s.Pending = call;
      Threads* gui = s.Gui;
      lock.unlock();
      gui->PostGuiCall(call);
      try {
        call->Wait();
      } catch (...) {
        failed = true;  // the error of OnTimer ends the worker
      }
      lock.lock();
      s.Pending.reset();
    }
    if (failed) break;
  }
  s.Ended = true;
}

void TTimerEx::DeliverTick(const std::shared_ptr<Shared>& shared) {
  TTimerEx* owner;
  {
    std::lock_guard lock(shared->Lock);
    if (shared->Terminated || !shared->Armed || !shared->Owner) return;
    owner = shared->Owner;
  }
  shared->Delivering = true;
  ScopeGuard delivering([&shared] { shared->Delivering = false; });
  owner->FireTimer();  // may free the owner; nothing of it is touched afterwards
}

bool TTimerEx::WindowProc(Message& m) {
  if (m.Msg != wmTimer) return false;
  // FireTimer may free this timer: nothing of it is touched after the call.
  TApplication& application = Application();
  application.Guard([this] { FireTimer(); });
  return true;
}

const PropertyTable& TTimerEx::StaticProperties() {
  static const PropertyTable table(TComponent::StaticProperties(),
                                   {
                                       Property("Enabled", &TTimerEx::Enabled, &TTimerEx::SetEnabled, true),
                                       Property("Interval", &TTimerEx::Interval, &TTimerEx::SetInterval, 1000u),
                                       Property("Threaded", &TTimerEx::Threaded, &TTimerEx::SetThreaded, false),
                                       Property("ThreadPriority", &TTimerEx::ThreadPriority,
                                                &TTimerEx::SetThreadPriority, TThreadPriority::tpNormal),
                                       Property("ThreadSafe", &TTimerEx::ThreadSafe, &TTimerEx::SetThreadSafe, false),
                                       Property("OnTimer", &TTimerEx::OnTimer, &TTimerEx::SetOnTimer),
                                   });
  return table;
}

}  // namespace kelpo
