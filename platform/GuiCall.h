#pragma once
// A call that another thread hands to the GUI thread (Threads::PostGuiCall)
// and waits for: the GUI thread runs it while it dispatches messages. The
// handing thread can be released without the call running (Abandon), so that
// the GUI thread never has to wait for a thread that waits for it.

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <utility>

namespace kelpo {

class GuiCall {
 public:
  explicit GuiCall(std::function<void()> body) : body_(std::move(body)) {}
  GuiCall(const GuiCall&) = delete;
  GuiCall& operator=(const GuiCall&) = delete;

  // GUI thread: runs the body unless it was abandoned or has run; an error it
  // raises is kept for Wait.
  void Run() {
    {
      std::lock_guard lock(mutex_);
      if (state_ != State::Pending) return;
      state_ = State::Running;
    }
    std::exception_ptr error;
    try {
      body_();
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      error_ = error;
      state_ = State::Done;
    }
    done_.notify_all();
  }

  // Any thread: a call that has not started will not run; its waiter wakes.
  void Abandon() {
    {
      std::lock_guard lock(mutex_);
      if (state_ != State::Pending) return;
      state_ = State::Abandoned;
    }
    done_.notify_all();
  }

  // The handing thread: waits until the call has run (true) or was abandoned
  // (false). An error raised by the body is raised again here.
  bool Wait() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&] { return state_ == State::Done || state_ == State::Abandoned; });
    if (error_) std::rethrow_exception(error_);
    return state_ == State::Done;
  }

 private:
  enum class State { Pending, Running, Done, Abandoned };
  std::mutex mutex_;
  std::condition_variable done_;
  State state_ = State::Pending;
  std::function<void()> body_;
  std::exception_ptr error_;
};

}  // namespace kelpo
