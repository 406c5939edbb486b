#pragma once
// Records what the program asks the shell to open.

#include <vector>

#include "platform/Shell.h"

namespace kelpo {

struct ShellCall {
  WindowHandle Owner = 0;
  std::string Verb;
  std::string File;
  ShowCommand Show = ShowCommand::Show;
  bool operator==(const ShellCall&) const = default;
};

class SimShell : public Shell {
 public:
  void Execute(WindowHandle owner, const std::string& verb, const std::string& file, ShowCommand show) override {
    calls_.push_back(ShellCall{owner, verb, file, show});
  }
  const std::vector<ShellCall>& Calls() const { return calls_; }

 private:
  std::vector<ShellCall> calls_;
};

}  // namespace kelpo
