#pragma once
// The Windows headers, for the Win32 backends only. The ANSI functions are
// always called by their explicit names; the generic macros that would rename
// the platform interfaces' methods (CreateWindow, SendMessage, DrawText, ...)
// are removed.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
// windows.h first
#include <commctrl.h>

#include "platform/Types.h"

#undef CreateMutex
#undef CreateWindow
#undef DrawText
#undef FindResource
#undef FindWindow
#undef GetWindowText
#undef MessageBox
#undef PostMessage
#undef RegisterWindowMessage
#undef SendMessage
#undef SetWindowText

// After the renaming macros are gone.
#include "platform/Windowing.h"

namespace kelpo {

inline HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}
inline WindowHandle FromHwnd(HWND window) {
  return reinterpret_cast<WindowHandle>(window);
}

// The SW_ value of a show command.
inline int ToShowCommand(ShowCommand command) {
  switch (command) {
    case ShowCommand::Hide:
      return SW_HIDE;
    case ShowCommand::Show:
      return SW_SHOW;
    case ShowCommand::ShowNormal:
      return SW_SHOWNORMAL;
    case ShowCommand::Minimize:
      return SW_MINIMIZE;
    case ShowCommand::Restore:
      return SW_RESTORE;
  }
  return SW_SHOW;
}

}  // namespace kelpo
