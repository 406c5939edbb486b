#include "platform/win32/Win32WindowSearch.h"

#include "platform/win32/Win32Api.h"

namespace kelpo {

WindowHandle Win32WindowSearch::FindWindow(const std::string& className, const std::string& title) {
  return FromHwnd(FindWindowA(className.c_str(), title.c_str()));
}

bool Win32WindowSearch::IsIconic(WindowHandle window) {
  return ::IsIconic(ToHwnd(window)) != FALSE;
}

void Win32WindowSearch::Restore(WindowHandle window) {
  ::ShowWindow(ToHwnd(window), SW_RESTORE);
}

void Win32WindowSearch::BringWindowToTop(WindowHandle window) {
  ::BringWindowToTop(ToHwnd(window));
}

}  // namespace kelpo
