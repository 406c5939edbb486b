#include "platform/win32/Win32Threads.h"

#include "platform/win32/Win32ServiceWindow.h"

namespace kelpo {
namespace {

constexpr const char* kCallWindowClassName = "KelpoGuiCalls";
constexpr UINT kRunGuiCalls = WM_APP + 1;

}  // namespace

Win32Threads::Win32Threads() {
  callWindow_ = CreateServiceWindow(kCallWindowClassName, &Win32Threads::CallWindowProc, 0, 0, HWND_MESSAGE, this);
}

Win32Threads::~Win32Threads() {
  SetWindowLongPtrA(callWindow_, GWLP_USERDATA, 0);
  DestroyWindow(callWindow_);
  std::deque<std::shared_ptr<GuiCall>> left;
  {
    std::lock_guard lock(lock_);
    left.swap(calls_);
  }
  for (const auto& call : left) call->Abandon();
}

void Win32Threads::PostGuiCall(std::shared_ptr<GuiCall> call) {
  {
    std::lock_guard lock(lock_);
    calls_.push_back(std::move(call));
  }
  PostMessageA(callWindow_, kRunGuiCalls, 0, 0);
}

void Win32Threads::RunGuiCalls() {
  std::deque<std::shared_ptr<GuiCall>> calls;
  {
    std::lock_guard lock(lock_);
    calls.swap(calls_);
  }
  for (const auto& call : calls) call->Run();
}

LRESULT CALLBACK Win32Threads::CallWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* threads = reinterpret_cast<Win32Threads*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == kRunGuiCalls && threads) {
    threads->RunGuiCalls();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Win32Threads::SetCurrentThreadPriority(int priority) {
  SetThreadPriority(GetCurrentThread(), priority);
}

}  // namespace kelpo
