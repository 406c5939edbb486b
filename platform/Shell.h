#pragma once
// Handing a document or a web address to the program the system associates
// with it (ShellExecute): an https address opens in the default browser.

#include <string>

#include "platform/Types.h"
#include "platform/Windowing.h"

namespace kelpo {

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the system to apply `verb` ("open") to `file`, with no parameters and
  // no working folder, the opening program's window shown by `show`; `owner`
  // owns any message the system shows about it. True when the system took the
  // request (ShellExecute answered above 32).
  virtual bool Execute(WindowHandle owner, const std::string& verb, const std::string& file, ShowCommand show) = 0;
};

}  // namespace kelpo
