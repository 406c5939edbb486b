#include "platform/win32/Win32Dialogs.h"

#include <vector>

#include "platform/win32/Win32Api.h"

namespace kelpo {
namespace {

// While a box is up, the program's other visible windows take no input, as
// with any modal window; Windows itself disables only the box's owner.
class ThreadWindowsDisabled {
 public:
  explicit ThreadWindowsDisabled(HWND owner) : active_(GetActiveWindow()) {
    struct Search {
      HWND Owner;
      std::vector<HWND>* Disabled;
    } search{owner, &disabled_};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          if (window != s->Owner && IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            s->Disabled->push_back(window);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
  }
  ~ThreadWindowsDisabled() {
    for (HWND window : disabled_)
      if (IsWindow(window)) EnableWindow(window, TRUE);
    if (active_ && IsWindow(active_)) SetActiveWindow(active_);
  }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

 private:
  HWND active_;
  std::vector<HWND> disabled_;
};

}  // namespace

int Win32Dialogs::MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                             std::uint32_t style) {
  ThreadWindowsDisabled modal(ToHwnd(owner));
  return MessageBoxA(ToHwnd(owner), text.c_str(), caption.c_str(), style);
}

void Win32Dialogs::Beep() {
  MessageBeep(MB_OK);
}

}  // namespace kelpo
