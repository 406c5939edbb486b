#pragma once
// The shell as a record of what was handed to it; nothing is opened.

#include <string>
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
  bool Execute(WindowHandle owner, const std::string& verb, const std::string& file, ShowCommand show) override {
    calls_.push_back(ShellCall{owner, verb, file, show});
    return Accepts;
  }

  // What Execute answers: false plays a system with no program for the address.
  bool Accepts = true;
  const std::vector<ShellCall>& Calls() const { return calls_; }
  void Clear() { calls_.clear(); }

 private:
  std::vector<ShellCall> calls_;
};

}  // namespace kelpo
