#include "platform/sim/SimThreads.h"

namespace kelpo {

SimThreads::~SimThreads() {
  std::deque<std::shared_ptr<GuiCall>> left;
  {
    std::lock_guard lock(lock_);
    left.swap(calls_);
  }
  for (const auto& call : left) call->Abandon();
}

void SimThreads::PostGuiCall(std::shared_ptr<GuiCall> call) {
  {
    std::lock_guard lock(lock_);
    calls_.push_back(std::move(call));
  }
  posted_.notify_all();
}

bool SimThreads::RunQueued() {
  std::deque<std::shared_ptr<GuiCall>> calls;
  {
    std::lock_guard lock(lock_);
    calls.swap(calls_);
  }
  for (const auto& call : calls) call->Run();
  return !calls.empty();
}

bool SimThreads::RunGuiCalls(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(lock_);
    posted_.wait_for(lock, timeout, [&] { return !calls_.empty(); });
  }
  return RunQueued();
}

std::size_t SimThreads::QueuedGuiCalls() const {
  std::lock_guard lock(lock_);
  return calls_.size();
}

void SimThreads::SetCurrentThreadPriority(int priority) {
  std::lock_guard lock(lock_);
  priorities_.push_back(priority);
}

std::vector<int> SimThreads::ThreadPriorities() const {
  std::lock_guard lock(lock_);
  return priorities_;
}

}  // namespace kelpo
