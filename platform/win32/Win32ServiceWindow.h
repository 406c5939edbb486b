#pragma once
// The hidden windows that the Win32 services keep for themselves (the menus'
// owner, the GUI-call window): their class is registered once per process and
// the window's user data leads its procedure back to the service.

#include "platform/win32/Win32Api.h"

namespace kelpo {

// Creates a window of `className` (registered with `procedure` on first use)
// whose GWLP_USERDATA holds `service`. Raises "Error creating window" when the
// system refuses it.
HWND CreateServiceWindow(const char* className, WNDPROC procedure, DWORD exStyle, DWORD style, HWND parent,
                         void* service);

}  // namespace kelpo
