#pragma once
// A notification area in memory: the icons it shows, every call it was
// given, and what a test scripts for it: a shell restart (the icons vanish,
// and the test then sends the programs the taskbar-created message), a shell
// that is not running, and mouse notifications, which post the icon's
// callback message to its window as the shell does.

#include <optional>
#include <string>
#include <vector>

#include "platform/NotifyIcons.h"
#include "platform/sim/SimWindowing.h"

namespace kelpo {

struct SimNotifyIcon {
  WindowHandle Window = 0;
  std::uint32_t Id = 0;
  std::uint32_t CallbackMessage = 0;  // 0: the icon sends no notifications
  IconImage Icon;
  std::string Tip;
};

struct SimNotifyCall {
  NotifyIconCommand Command = NotifyIconCommand::Add;
  WindowHandle Window = 0;
  std::uint32_t Id = 0;
  std::uint32_t Flags = 0;
  bool Accepted = false;
};

class SimNotifyIcons : public NotifyIcons {
 public:
  explicit SimNotifyIcons(SimWindowing& windowing) : windowing_(windowing) {}
  SimNotifyIcons(const SimNotifyIcons&) = delete;
  SimNotifyIcons& operator=(const SimNotifyIcons&) = delete;

  bool NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) override;
  std::uint32_t DoubleClickTime() override { return doubleClickTime_; }
  ModifierKeys AsyncModifierKeys() override { return keys_; }

  // ---- for tests ----
  // The icons shown, in the order they were added.
  const std::vector<SimNotifyIcon>& Icons() const { return icons_; }
  const SimNotifyIcon* Find(WindowHandle window, std::uint32_t id) const;
  const std::vector<SimNotifyCall>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  // The shell ends and starts again: every icon is gone.
  void Restart() { icons_.clear(); }
  // While the shell is not running it refuses every call.
  void SetRunning(bool running) { running_ = running; }
  // Posts the icon's callback message with this notification code to its
  // window; false when there is no such icon or it asked for no notifications.
  bool Notify(WindowHandle window, std::uint32_t id, std::uint32_t code);
  // A press and release of the button whose down message is `downCode`
  // (wmLButtonDown, wmRButtonDown, wmMButtonDown), and a left double click
  // as the shell reports it: down, up, double click, up.
  bool Click(WindowHandle window, std::uint32_t id, std::uint32_t downCode = wmLButtonDown);
  bool DoubleClick(WindowHandle window, std::uint32_t id);
  void SetDoubleClickTime(std::uint32_t milliseconds) { doubleClickTime_ = milliseconds; }
  void SetModifierKeys(ModifierKeys keys) { keys_ = keys; }

 private:
  SimNotifyIcon* FindIcon(WindowHandle window, std::uint32_t id);
  bool Apply(NotifyIconCommand command, const NotifyIconData& data);

  SimWindowing& windowing_;
  std::vector<SimNotifyIcon> icons_;
  std::vector<SimNotifyCall> calls_;
  bool running_ = true;
  std::uint32_t doubleClickTime_ = 500;  // Windows' default
  ModifierKeys keys_;
};

}  // namespace kelpo
