#pragma once
// Calls handed over by other threads, and the priorities threads set. This is
// the one part of the simulation that other threads touch; the calls run on
// the test's thread whenever it dispatches (SimWindowing) or asks for them.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Threads.h"

namespace kelpo {

class SimThreads : public Threads {
 public:
  SimThreads() = default;
  SimThreads(const SimThreads&) = delete;
  SimThreads& operator=(const SimThreads&) = delete;
  ~SimThreads() override;

  void PostGuiCall(std::shared_ptr<GuiCall> call) override;
  void SetCurrentThreadPriority(int priority) override;

  // The GUI thread: runs the calls waiting now; true when any ran.
  bool RunQueued();

  // ---- for tests ----
  // Waits up to `timeout` for calls handed over by other threads, then runs
  // those waiting; true when any ran.
  bool RunGuiCalls(std::chrono::milliseconds timeout);
  std::size_t QueuedGuiCalls() const;
  // The priorities threads set for themselves, in order.
  std::vector<int> ThreadPriorities() const;

 private:
  mutable std::mutex lock_;
  std::condition_variable posted_;
  std::deque<std::shared_ptr<GuiCall>> calls_;
  std::vector<int> priorities_;
};

}  // namespace kelpo
