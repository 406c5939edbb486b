#pragma once
// Calls handed to the GUI thread through a message-only window of that
// thread, and thread priorities. Built on the GUI thread.

#include <deque>
#include <memory>
#include <mutex>

#include "platform/Threads.h"
#include "platform/win32/Win32Api.h"

namespace kelpo {

class Win32Threads : public Threads {
 public:
  Win32Threads();
  Win32Threads(const Win32Threads&) = delete;
  Win32Threads& operator=(const Win32Threads&) = delete;
  ~Win32Threads() override;

  void PostGuiCall(std::shared_ptr<GuiCall> call) override;
  void SetCurrentThreadPriority(int priority) override;

 private:
  static LRESULT CALLBACK CallWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void RunGuiCalls();

  HWND callWindow_ = nullptr;
  std::mutex lock_;
  std::deque<std::shared_ptr<GuiCall>> calls_;
};

}  // namespace kelpo
