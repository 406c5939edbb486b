#include "platform/win32/Win32ServiceWindow.h"

#include "base/Exception.h"

namespace kelpo {

HWND CreateServiceWindow(const char* className, WNDPROC procedure, DWORD exStyle, DWORD style, HWND parent,
                         void* service) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExA(instance, className, &existing)) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
  }
  HWND window = CreateWindowExA(exStyle, className, "", style, 0, 0, 0, 0, parent, nullptr, instance, nullptr);
  if (!window) throw Exception("Error creating window");
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(service));
  return window;
}

}  // namespace kelpo
