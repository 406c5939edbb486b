#pragma once
// Windows, the message queue, window timers, window procedure hooks,
// registered messages and the cursor.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Graphics.h"
#include "platform/Types.h"

namespace kelpo {

// The procedure of a window the framework creates. Message windows (the
// application window, timers, handlers) implement only this.
class MessageWindow {
 public:
  virtual ~MessageWindow() = default;
  // Returns true when the message was handled; then m.Result is the answer.
  // Unhandled messages get the system's default processing.
  virtual bool WindowProc(Message& m) = 0;
};

// The procedure of a window that shows on the screen (forms, panels).
class PaintedWindow : public MessageWindow {
 public:
  // Paints the whole client area into `target` (sized to the client area).
  virtual void PaintWindow(Surface& target) = 0;
};

// Passes a message on to the procedure a hook was put in front of, and
// gives its answer.
using PreviousWindowProc = std::function<std::intptr_t(Message& m)>;

// A procedure put in front of a window's own (a window procedure hook). It
// sees every message first, the last hook installed before the others.
class WindowHook {
 public:
  virtual ~WindowHook() = default;
  // Returns the answer to the message; a hook that lets the message go on
  // calls `previous` and usually returns its answer.
  virtual std::intptr_t HookProc(WindowHandle window, Message& m, const PreviousWindowProc& previous) = 0;
};

enum class WindowKind {
  Application,  // hidden top-level window that owns the taskbar button
  Popup,        // frameless top-level window (forms)
  Child,        // child window inside a form (panels)
  Hidden,       // invisible message window (timers, tray)
};

enum class ShowCommand { Hide, Show, ShowNormal, Minimize, Restore };

enum class CursorKind { Default, Arrow, HourGlass, HandPoint };

struct WindowParams {
  WindowKind Kind = WindowKind::Hidden;
  std::string ClassName;  // the system's window class name, for example "TApplication"
  std::string Text;
  WindowHandle Parent = 0;  // Child: the parent window; Popup: the owner
  Rect Bounds;              // Child: in the parent's client area; Popup: on the screen
  bool Visible = false;
};

class Windowing {
 public:
  virtual ~Windowing() = default;

  // A window that shows on the screen: its procedure paints it.
  virtual WindowHandle CreateWindow(const WindowParams& params, PaintedWindow* procedure) = 0;
  // A window that never shows (the Application and Hidden kinds; others throw).
  virtual WindowHandle CreateMessageWindow(const WindowParams& params, MessageWindow* procedure) = 0;
  virtual void DestroyWindow(WindowHandle window) = 0;
  virtual void ShowWindow(WindowHandle window, ShowCommand command) = 0;
  virtual bool IsWindowVisible(WindowHandle window) = 0;
  virtual bool IsIconic(WindowHandle window) = 0;
  virtual void SetWindowText(WindowHandle window, const std::string& text) = 0;
  virtual std::string GetWindowText(WindowHandle window) = 0;
  virtual void SetBounds(WindowHandle window, const Rect& bounds) = 0;
  // Child: relative to the parent's client area; top-level: screen coordinates.
  virtual Rect GetBounds(WindowHandle window) = 0;
  // The desktop's work area, for centring windows.
  virtual Rect WorkArea() = 0;
  // Asks for the window to be painted again (PaintWindow) soon.
  virtual void Invalidate(WindowHandle window) = 0;
  virtual void SetForegroundWindow(WindowHandle window) = 0;
  // Gives the keyboard focus to the window (of this program's thread).
  virtual void SetFocus(WindowHandle window) = 0;

  virtual std::intptr_t SendMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                    std::intptr_t lParam) = 0;
  virtual bool PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // Ends RunMessageLoop with this exit code.
  virtual void PostQuitMessage(int exitCode) = 0;
  // Dispatches messages until PostQuitMessage; returns its exit code.
  virtual int RunMessageLoop() = 0;
  // Dispatches the messages waiting now without blocking; false once a quit was seen.
  virtual bool ProcessMessages() = 0;

  // Window timers: WM_TIMER with wParam = id every `milliseconds`, to the window's procedure.
  // Returns false when the system has no timer left.
  virtual bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) = 0;
  virtual bool KillTimer(WindowHandle window, std::uintptr_t id) = 0;

  // Application-wide cursor override; Default lets every control show its own cursor.
  // While it is not Default, every window of the program shows it (the system's
  // cursor query is answered without asking the window procedure).
  virtual void SetCursorOverride(CursorKind cursor) = 0;
  virtual CursorKind CursorOverride() = 0;
  // Shows this cursor now; window procedures call it while answering wmSetCursor.
  virtual void SetCursor(CursorKind cursor) = 0;
  // The mouse position in the window's client coordinates.
  virtual Point ClientCursorPos(WindowHandle window) = 0;
  // The mouse position on the screen; nothing when the system cannot tell.
  virtual std::optional<Point> CursorPos() = 0;
  // A point of the window's client area in screen coordinates.
  virtual Point ClientToScreen(WindowHandle window, Point p) = 0;
  // Captures the mouse to the window (between button down and up).
  virtual void SetCapture(WindowHandle window) = 0;
  virtual void ReleaseCapture() = 0;

  // Copies `area` of `source`, a surface of the window's client size, onto the
  // window at once, outside a paint cycle (an immediate repaint).
  virtual void BlitToWindow(WindowHandle window, const Rect& area, Surface& source) = 0;

  // Puts `hook` in front of the window's procedure (and of the hooks already
  // there). False when there is no such window. Hooks can be removed in any
  // order; the ones left keep their places. A window's hooks end with it.
  virtual bool InstallHook(WindowHandle window, WindowHook& hook) = 0;
  // Takes the hook away again; false when it was not installed on that window.
  virtual bool RemoveHook(WindowHandle window, WindowHook& hook) = 0;

  // The system's default processing of a message to the window (what an
  // unhandled message gets), for a procedure that builds on the standard
  // answer. A frameless window's hit test (wmNcHitTest, the point on the screen
  // in LParam) answers htClient inside the window and htNowhere outside.
  virtual std::intptr_t DefaultWindowProc(WindowHandle window, const Message& m) = 0;

  // The message number registered under `name`: the same for the same name
  // (letter case aside) within the process, in 0xC000..0xFFFF; 0 on failure.
  virtual std::uint32_t RegisterWindowMessage(const std::string& name) = 0;
};

}  // namespace kelpo
