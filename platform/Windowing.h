#pragma once
// Windows, the message queue, window timers and the cursor override.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Graphics.h"
#include "platform/Types.h"

namespace kelpo {

class GuiCall;

// Implemented by every window the framework creates.
class WindowProcedure {
 public:
  virtual ~WindowProcedure() = default;
  // Returns true when the message was handled; then m.Result is the answer.
  // Unhandled messages get the system's default processing.
  virtual bool WindowProc(Message& m) = 0;
  // Paints the whole client area into `target` (sized to the client area).
  virtual void PaintWindow(Surface& target) = 0;
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

  virtual WindowHandle CreateWindow(const WindowParams& params, WindowProcedure* procedure) = 0;
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
  // Captures the mouse to the window (between button down and up).
  virtual void SetCapture(WindowHandle window) = 0;
  virtual void ReleaseCapture() = 0;

  // Copies `area` of `source`, a surface of the window's client size, onto the
  // window at once, outside a paint cycle (an immediate repaint).
  virtual void BlitToWindow(WindowHandle window, const Rect& area, Surface& source) = 0;

  // Threads other than the GUI thread (the one that runs the message loop):
  // hands `call` to the GUI thread, which runs it while it dispatches
  // messages, modal loops included, before the posted messages. Callable from
  // any thread; does not wait (GuiCall::Wait does). Calls still queued when
  // the service ends are abandoned.
  virtual void PostGuiCall(std::shared_ptr<GuiCall> call) = 0;
  // Sets the calling thread's scheduling priority, in Windows' values
  // (-15 idle, -2, -1, 0 normal, 1, 2, 15 time-critical).
  virtual void SetCurrentThreadPriority(int priority) = 0;
};

}  // namespace kelpo
