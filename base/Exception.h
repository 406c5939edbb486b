#pragma once
// Errors carry the exact text the user sees; the application's default error
// handler shows it in a message box.

#include <stdexcept>
#include <string>

namespace kelpo {

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kelpo
