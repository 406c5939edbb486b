#pragma once
// The window search over the simulated windows: every program simulated on
// one SimWindowing shares its screen, so a second copy finds the first's.

#include <vector>

#include "platform/WindowSearch.h"
#include "platform/sim/SimWindowing.h"

namespace kelpo {

class SimWindowSearch : public WindowSearch {
 public:
  explicit SimWindowSearch(SimWindowing& windowing) : windowing_(windowing) {}

  WindowHandle FindWindow(const std::string& className, const std::string& title) override {
    return windowing_.FindTopLevelWindow(className, title);
  }
  bool IsIconic(WindowHandle window) override { return windowing_.IsIconic(window); }
  void Restore(WindowHandle window) override { windowing_.ShowWindow(window, ShowCommand::Restore); }
  // The simulation keeps no stacking order: the call is recorded, and a
  // shown window is activated, as Windows activates a raised top-level window.
  void BringWindowToTop(WindowHandle window) override {
    raised_.push_back(window);
    if (windowing_.IsWindowVisible(window)) windowing_.SetForegroundWindow(window);
  }

  // ---- for tests ----
  const std::vector<WindowHandle>& Raised() const { return raised_; }

 private:
  SimWindowing& windowing_;
  std::vector<WindowHandle> raised_;
};

}  // namespace kelpo
