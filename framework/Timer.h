#pragma once
// A window timer component: OnTimer every Interval milliseconds while Enabled.

#include <cstdint>

#include "framework/Component.h"
#include "platform/Windowing.h"

namespace kelpo {

class TTimer : public TComponent, private MessageWindow {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  // The hidden window whose timer number 1 drives the ticks.
  WindowHandle Handle() const { return window_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_; }
  // A new interval on an enabled timer restarts its countdown; the same value changes nothing.
  void SetInterval(std::uint32_t interval);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 private:
  // The window timer runs only while enabled, with a handler and a nonzero interval.
  void UpdateTimer();
  bool WindowProc(Message& m) override;

  WindowHandle window_ = 0;
  bool enabled_ = true;
  std::uint32_t interval_ = 1000;
  TNotifyEvent onTimer_;
};

}  // namespace kelpo
