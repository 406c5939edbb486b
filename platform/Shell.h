#pragma once
// The shell: opening a file or a web address with the program the user chose
// for it (a web address with the default browser).

#include <string>

#include "platform/Types.h"
#include "platform/Windowing.h"

namespace kelpo {

class Shell {
 public:
  virtual ~Shell() = default;
  // Performs `verb` (for example "open") on `file` with no parameters and no
  // working folder, the program's window shown by `show` (ShellExecuteA). A
  // failure is not reported: the caller has nothing to do about it.
  virtual void Execute(WindowHandle owner, const std::string& verb, const std::string& file, ShowCommand show) = 0;
};

}  // namespace kelpo
