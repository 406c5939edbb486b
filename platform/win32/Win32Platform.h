#pragma once
// The whole Win32 platform, wired together. The services live behind a
// private implementation so that users of this header see no Windows header.

#include <memory>

#include "platform/Platform.h"

namespace kelpo {

class Win32Platform {
 public:
  Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;
  ~Win32Platform();

  Platform& Services();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kelpo
