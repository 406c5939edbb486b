#include "platform/win32/Win32Dialogs.h"

#include "platform/win32/Win32Api.h"

namespace kelpo {

int Win32Dialogs::MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                             std::uint32_t style) {
  return MessageBoxA(ToHwnd(owner), text.c_str(), caption.c_str(), style);
}

void Win32Dialogs::Beep() {
  MessageBeep(MB_OK);
}

}  // namespace kelpo
