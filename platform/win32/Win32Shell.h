#pragma once
// The Windows shell's ShellExecuteA.

#include "platform/Shell.h"

namespace kelpo {

class Win32Shell : public Shell {
 public:
  void Execute(WindowHandle owner, const std::string& verb, const std::string& file, ShowCommand show) override;
};

}  // namespace kelpo
