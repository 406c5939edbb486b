#include "platform/win32/Win32Shell.h"

#include "platform/win32/Win32Api.h"
// Win32Api.h first
#include <shellapi.h>

namespace kelpo {

bool Win32Shell::Execute(WindowHandle owner, const std::string& verb, const std::string& file, ShowCommand show) {
  HINSTANCE result = ShellExecuteA(ToHwnd(owner), verb.c_str(), file.c_str(), nullptr, nullptr, ToShowCommand(show));
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace kelpo
