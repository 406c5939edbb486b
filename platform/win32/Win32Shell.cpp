#include "platform/win32/Win32Shell.h"

#include "platform/win32/Win32Api.h"
// Win32Api.h first
#include <shellapi.h>

namespace kelpo {

bool Win32Shell::Execute(WindowHandle owner, const std::string& verb, const std::string& file, int showCommand) {
  HINSTANCE result =
      ShellExecuteA(reinterpret_cast<HWND>(owner), verb.c_str(), file.c_str(), nullptr, nullptr, showCommand);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace kelpo
