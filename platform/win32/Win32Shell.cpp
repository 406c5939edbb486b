#include "platform/win32/Win32Shell.h"

#include "platform/win32/Win32Api.h"
// windows.h first
#include <shellapi.h>

namespace kelpo {

void Win32Shell::Execute(WindowHandle owner, const std::string& verb, const std::string& file, ShowCommand show) {
  ShellExecuteA(ToHwnd(owner), verb.c_str(), file.c_str(), nullptr, nullptr, ToShowCommand(show));
}

}  // namespace kelpo
