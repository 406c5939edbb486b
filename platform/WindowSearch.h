#pragma once
// Finding a top-level window of any process by its class and title, and
// bringing it forward: how a second copy of the program reaches the first.

#include <string>

#include "platform/Types.h"

namespace kelpo {

class WindowSearch {
 public:
  virtual ~WindowSearch() = default;
  // A top-level window, shown or hidden, whose class and text are exactly
  // these (FindWindowA); 0 when there is none.
  virtual WindowHandle FindWindow(const std::string& className, const std::string& title) = 0;
  // Whether the window is minimised (IsIconic).
  virtual bool IsIconic(WindowHandle window) = 0;
  // Restores a minimised window to its former size and place (ShowWindow with SW_RESTORE).
  virtual void Restore(WindowHandle window) = 0;
  // Puts the window on top of the others (BringWindowToTop); a hidden window stays hidden.
  virtual void BringWindowToTop(WindowHandle window) = 0;
};

}  // namespace kelpo
