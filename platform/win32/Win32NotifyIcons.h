#pragma once
// The notification area through Shell_NotifyIconA, with the record of shell
// version 5 (the size NOTIFYICONDATAA_V2_SIZE, which the shell checks against
// the sizes it knows). The shell copies the icon, so each call makes the icon
// handle from the picture and frees it again.

#include "platform/NotifyIcons.h"

namespace kelpo {

class Win32NotifyIcons : public NotifyIcons {
 public:
  bool NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) override;
  std::uint32_t DoubleClickTime() override;
  ModifierKeys AsyncModifierKeys() override;
};

}  // namespace kelpo
