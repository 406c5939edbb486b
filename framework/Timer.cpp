#include "framework/Timer.h"

#include "base/Exception.h"
#include "framework/Application.h"

namespace kelpo {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  WindowParams params;
  params.Kind = WindowKind::Hidden;
  params.ClassName = "TTimerWindow";
  window_ = Application().Services().windowing.CreateMessageWindow(params, this);
}

TTimer::~TTimer() {
  Windowing& windowing = Application().Services().windowing;
  windowing.KillTimer(window_, 1);
  windowing.DestroyWindow(window_);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(std::uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  Windowing& windowing = Application().Services().windowing;
  windowing.KillTimer(window_, 1);
  if (enabled_ && interval_ != 0 && onTimer_ && !windowing.SetTimer(window_, 1, interval_)) {
    // A timer the system could not start is not enabled, so that enabling it
    // again tries again.
    enabled_ = false;
    throw Exception("Not enough timers available");
  }
}

bool TTimer::WindowProc(Message& m) {
  if (m.Msg != wmTimer) return false;
  if (enabled_ && onTimer_) Application().Guard([&] { onTimer_(this); });
  return true;
}

const PropertyTable& TTimer::StaticProperties() {
  static const PropertyTable table(TComponent::StaticProperties(),
                                   {
                                       Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true),
                                       Property("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000u),
                                       Property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer),
                                   });
  return table;
}

}  // namespace kelpo
