#pragma once
// Message boxes and the beep of the system. The message box's modal loop
// keeps dispatching, so window timers go on ticking while it is open; the
// program's other windows are disabled meanwhile and the active one is
// active again afterwards.

#include "platform/Dialogs.h"

namespace kelpo {

class Win32Dialogs : public Dialogs {
 public:
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, std::uint32_t style) override;
  void Beep() override;
};

}  // namespace kelpo
