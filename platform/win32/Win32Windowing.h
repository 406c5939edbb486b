#pragma once
// Windows, the message queue, window timers and cursors on the real system.
// All windows the framework creates share one window procedure, which hands
// every message to the window's MessageWindow and paints PaintedWindows
// through a DIB surface. Window procedure hooks replace a window's procedure
// (GWLP_WNDPROC) with one that runs the window's hook chain, and put the
// saved one back when the last hook goes. Notifications of the widget peers' controls go to the peers.
// An exception thrown by a window procedure is not let through the system's
// code: it is kept and thrown again once the system hands control back
// (after the message is dispatched or sent, or the window created or destroyed).

#include <exception>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/WindowHookChain.h"
#include "platform/Windowing.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Graphics.h"

namespace kelpo {

// A native control that takes the WM_COMMAND and WM_NOTIFY messages it sends to its parent.
class Win32ControlSink {
 public:
  virtual ~Win32ControlSink() = default;
  // Returns true when handled; `result` is then the answer to the message.
  virtual bool OnCommand(HWND control, WORD code) = 0;
  virtual bool OnNotify(const NMHDR& header, LRESULT& result) = 0;
};

class Win32Windowing : public Windowing {
 public:
  explicit Win32Windowing(Win32Graphics& graphics);
  Win32Windowing(const Win32Windowing&) = delete;
  Win32Windowing& operator=(const Win32Windowing&) = delete;
  ~Win32Windowing() override;

  WindowHandle CreateWindow(const WindowParams& params, PaintedWindow* procedure) override;
  WindowHandle CreateMessageWindow(const WindowParams& params, MessageWindow* procedure) override;
  void DestroyWindow(WindowHandle window) override;
  void ShowWindow(WindowHandle window, ShowCommand command) override;
  bool IsWindowVisible(WindowHandle window) override;
  bool IsIconic(WindowHandle window) override;
  void SetWindowText(WindowHandle window, const std::string& text) override;
  std::string GetWindowText(WindowHandle window) override;
  void SetBounds(WindowHandle window, const Rect& bounds) override;
  Rect GetBounds(WindowHandle window) override;
  Rect WorkArea() override;
  void Invalidate(WindowHandle window) override;
  void SetForegroundWindow(WindowHandle window) override;
  void SetFocus(WindowHandle window) override;

  std::intptr_t SendMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                            std::intptr_t lParam) override;
  bool PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
  void PostQuitMessage(int exitCode) override;
  int RunMessageLoop() override;
  bool ProcessMessages() override;

  bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) override;
  bool KillTimer(WindowHandle window, std::uintptr_t id) override;

  void SetCursorOverride(CursorKind cursor) override;
  CursorKind CursorOverride() override { return cursorOverride_; }
  void SetCursor(CursorKind cursor) override;
  Point ClientCursorPos(WindowHandle window) override;
  std::optional<Point> CursorPos() override;
  Point ClientToScreen(WindowHandle window, Point p) override;
  void SetCapture(WindowHandle window) override;
  void ReleaseCapture() override;
  void BlitToWindow(WindowHandle window, const Rect& area, Surface& source) override;
  bool InstallHook(WindowHandle window, WindowHook& hook) override;
  bool RemoveHook(WindowHandle window, WindowHook& hook) override;
  std::uint32_t RegisterWindowMessage(const std::string& name) override;
  std::intptr_t DefaultWindowProc(WindowHandle window, const Message& m) override;

  // Routes the control's WM_COMMAND and WM_NOTIFY to `sink` instead of the parent's procedure.
  void RegisterControl(HWND control, Win32ControlSink* sink);
  void UnregisterControl(HWND control);

 private:
  // A window whose procedure the hooks replaced.
  struct HookedWindow {
    Win32Windowing* Windowing;
    WNDPROC Original;
    WindowHookChain Chain;
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK HookedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  WindowHandle Create(const WindowParams& params, MessageWindow* procedure, PaintedWindow* painter);
  LRESULT HandleMessage(HWND hwnd, MessageWindow* procedure, PaintedWindow* painter, UINT msg, WPARAM wParam,
                        LPARAM lParam);
  LRESULT Paint(HWND hwnd, PaintedWindow* painter);
  LRESULT AnswerSetCursor(HWND hwnd, MessageWindow* procedure, WPARAM wParam, LPARAM lParam);
  bool RouteToControl(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void RegisterClassFor(const std::string& className);
  void Dispatch(MSG& msg);
  bool TakesTabKey(const MSG& msg, HWND& root) const;
  void Forget(HWND hwnd);
  void RethrowPending();
  // Puts the window's own procedure back; the hooks' state goes.
  void Unhook(HWND hwnd, bool restore);

  Win32Graphics& graphics_;
  HINSTANCE instance_;
  std::set<std::string> classes_;
  std::set<HWND> windows_;
  std::unordered_map<HWND, std::unique_ptr<Win32Surface>> surfaces_;
  std::unordered_map<HWND, Win32ControlSink*> controls_;
  CursorKind cursorOverride_ = CursorKind::Default;
  std::exception_ptr pending_;
  std::unordered_map<HWND, std::shared_ptr<HookedWindow>> hooked_;
};

}  // namespace kelpo
