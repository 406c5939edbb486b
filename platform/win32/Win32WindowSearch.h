#pragma once
// Top-level windows of any process: FindWindowA, IsIconic, ShowWindow and BringWindowToTop.

#include "platform/WindowSearch.h"

namespace kelpo {

class Win32WindowSearch : public WindowSearch {
 public:
  WindowHandle FindWindow(const std::string& className, const std::string& title) override;
  bool IsIconic(WindowHandle window) override;
  void Restore(WindowHandle window) override;
  void BringWindowToTop(WindowHandle window) override;
};

}  // namespace kelpo
