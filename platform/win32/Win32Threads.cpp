#include "platform/win32/Win32Threads.h"

#include "base/Exception.h"

namespace kelpo {
namespace {

constexpr const char* kCallWindowClassName = "KelpoGuiCalls";
constexpr UINT kRunGuiCalls = WM_APP + 1;

}  // namespace

Win32Threads::Win32Threads() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExA(instance, kCallWindowClassName, &existing)) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Win32Threads::CallWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kCallWindowClassName;
    RegisterClassExA(&wc);
  }
  callWindow_ = CreateWindowExA(0, kCallWindowClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (!callWindow_) throw Exception("Error creating window");
  SetWindowLongPtrA(callWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
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
