#pragma once
// Handing a document or a web address to the program the system associates
// with it (ShellExecute): an https address opens in the default browser.

#include <string>

#include "platform/Types.h"

namespace kelpo {

// Show commands (Windows values) for the window of the program that opens it.
constexpr int swShowNormal = 1;
constexpr int swShow = 5;

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the system to apply `verb` ("open") to `file`, with no parameters and
  // no working folder; `owner` owns any message the system shows about it.
  // True when the system took the request (ShellExecute answered above 32).
  virtual bool Execute(WindowHandle owner, const std::string& verb, const std::string& file, int showCommand) = 0;
};

}  // namespace kelpo
