#pragma once
// Threads other than the GUI thread (the one that runs the message loop):
// handing work to the GUI thread, and thread priorities.

#include <memory>

#include "platform/GuiCall.h"

namespace kelpo {

class Threads {
 public:
  virtual ~Threads() = default;
  // Hands `call` to the GUI thread, which runs it while it dispatches
  // messages, modal loops included, before the posted messages. Callable from
  // any thread; does not wait (GuiCall::Wait does). Calls still queued when
  // the service ends are abandoned.
  virtual void PostGuiCall(std::shared_ptr<GuiCall> call) = 0;
  // Sets the calling thread's scheduling priority, in Windows' values
  // (-15 idle, -2, -1, 0 normal, 1, 2, 15 time-critical).
  virtual void SetCurrentThreadPriority(int priority) = 0;
};

}  // namespace kelpo
