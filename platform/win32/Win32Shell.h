#pragma once
// ShellExecuteA: the system opens the file or address with its associated program.

#include "platform/Shell.h"

namespace kelpo {

class Win32Shell : public Shell {
 public:
  bool Execute(WindowHandle owner, const std::string& verb, const std::string& file, ShowCommand show) override;
};

}  // namespace kelpo
