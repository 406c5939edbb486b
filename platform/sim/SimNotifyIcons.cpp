#include "platform/sim/SimNotifyIcons.h"

#include <algorithm>
#include <utility>

namespace kelpo {
namespace {

// The shell keeps at most 127 characters of a tip, up to its terminating zero.
std::string TipText(const std::array<char, 128>& tip) {
  const char* end = std::find(tip.data(), tip.data() + tip.size() - 1, '\0');
  return std::string(tip.data(), end);
}

// Takes the fields that the record's flags name.
void TakeFields(SimNotifyIcon& icon, const NotifyIconData& data) {
  if (data.Flags & nifMessage) icon.CallbackMessage = data.CallbackMessage;
  if (data.Flags & nifIcon) icon.Icon = data.Icon ? *data.Icon : IconImage{};
  if (data.Flags & nifTip) icon.Tip = TipText(data.Tip);
}

}  // namespace

const SimNotifyIcon* SimNotifyIcons::Find(WindowHandle window, std::uint32_t id) const {
  for (const SimNotifyIcon& icon : icons_)
    if (icon.Window == window && icon.Id == id) return &icon;
  return nullptr;
}

SimNotifyIcon* SimNotifyIcons::FindIcon(WindowHandle window, std::uint32_t id) {
  return const_cast<SimNotifyIcon*>(std::as_const(*this).Find(window, id));
}

bool SimNotifyIcons::Apply(NotifyIconCommand command, const NotifyIconData& data) {
  if (!running_) return false;
  SimNotifyIcon* icon = FindIcon(data.Window, data.Id);
  switch (command) {
    case NotifyIconCommand::Add: {
      if (icon) return false;
      SimNotifyIcon added;
      added.Window = data.Window;
      added.Id = data.Id;
      TakeFields(added, data);
      icons_.push_back(std::move(added));
      return true;
    }
    case NotifyIconCommand::Modify:
      if (!icon) return false;
      TakeFields(*icon, data);
      return true;
    case NotifyIconCommand::Delete:
      if (!icon) return false;
      icons_.erase(icons_.begin() + (icon - icons_.data()));
      return true;
  }
  return false;
}

bool SimNotifyIcons::NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) {
  const bool accepted = Apply(command, data);
  calls_.push_back(SimNotifyCall{command, data.Window, data.Id, data.Flags, accepted});
  return accepted;
}

bool SimNotifyIcons::Notify(WindowHandle window, std::uint32_t id, std::uint32_t code) {
  const SimNotifyIcon* icon = Find(window, id);
  if (!icon || !icon->CallbackMessage) return false;
  return windowing_.PostMessage(window, icon->CallbackMessage, id, static_cast<std::intptr_t>(code));
}

bool SimNotifyIcons::Click(WindowHandle window, std::uint32_t id, std::uint32_t downCode) {
  return Notify(window, id, downCode) && Notify(window, id, downCode + 1);
}

bool SimNotifyIcons::DoubleClick(WindowHandle window, std::uint32_t id) {
  return Notify(window, id, wmLButtonDown) && Notify(window, id, wmLButtonUp) && Notify(window, id, wmLButtonDblClk) &&
         Notify(window, id, wmLButtonUp);
}

}  // namespace kelpo
