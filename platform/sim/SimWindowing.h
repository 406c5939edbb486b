#pragma once
// Windows, a message queue and window timers in virtual time. Timer ticks are
// produced only while a test lets time run (RunUntil, AdvanceBy) or while the
// simulated message loop waits; modal boxes and menus run inside them, so
// ticks keep coming while one is open, as on Windows.
//
// Calls handed over by other threads (SimThreads) run whenever this
// dispatches, before the posted messages.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowHookChain.h"
#include "platform/Windowing.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimGraphics.h"
#include "platform/sim/SimThreads.h"

namespace kelpo {

struct SimWindow {
  WindowParams Params;
  MessageWindow* Procedure = nullptr;
  PaintedWindow* Painter = nullptr;  // null for message windows
  std::shared_ptr<WindowHookChain> Hooks;
  bool Visible = false;
  bool Iconic = false;
  std::string Text;
  Rect Bounds;
};

class SimWindowing : public Windowing {
 public:
  SimWindowing(SimClock& clock, SimThreads& threads);
  SimWindowing(const SimWindowing&) = delete;
  SimWindowing& operator=(const SimWindowing&) = delete;
  ~SimWindowing() override;

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
  Rect WorkArea() override { return Rect{0, 0, 1280, 1024}; }
  void Invalidate(WindowHandle window) override;
  // Activation as on Windows: the window that loses it hears first, then
  // the one that gains it; each learns the other from the second parameter.
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
  CursorKind CursorOverride() override { return override_; }
  void SetCursor(CursorKind cursor) override { cursor_ = cursor; }
  Point ClientCursorPos(WindowHandle window) override;
  std::optional<Point> CursorPos() override { return cursorPos_; }
  Point ClientToScreen(WindowHandle window, Point p) override;
  void SetCapture(WindowHandle window) override { capture_ = window; }
  void ReleaseCapture() override { capture_ = 0; }
  void BlitToWindow(WindowHandle window, const Rect& area, Surface& source) override;
  bool InstallHook(WindowHandle window, WindowHook& hook) override;
  bool RemoveHook(WindowHandle window, WindowHook& hook) override;
  std::uint32_t RegisterWindowMessage(const std::string& name) override;
  std::intptr_t DefaultWindowProc(WindowHandle window, const Message& m) override;

  // ---- for tests ----
  const SimWindow* Find(WindowHandle window) const;
  // The live window of that class (and text, when given), or 0.
  WindowHandle FindWindow(const std::string& className, const std::optional<std::string>& text = {}) const;
  // The same among top-level windows only, with exactly that text (the system's FindWindow).
  WindowHandle FindTopLevelWindow(const std::string& className, const std::string& text) const;
  WindowHandle Foreground() const { return foreground_; }
  WindowHandle Focus() const { return focus_; }
  WindowHandle Capture() const { return capture_; }
  // Lets virtual time run, dispatching queued messages and timer ticks in order.
  void RunUntil(std::int64_t clockMillis);
  void AdvanceBy(std::int64_t milliseconds) { RunUntil(clock_.Millis() + milliseconds); }
  // The interval of a running window timer, or nothing.
  std::optional<std::uint32_t> TimerInterval(WindowHandle window, std::uintptr_t id) const;
  // Virtual time of the timer's next tick, or nothing.
  std::optional<std::int64_t> TimerDue(WindowHandle window, std::uintptr_t id) const;
  // At most this many timers may run at once (Windows' limit is large but finite).
  void SetTimerLimit(std::size_t limit) { timerLimit_ = limit; }
  // RunMessageLoop gives up (answering -1) when virtual time would pass this point.
  void SetLoopDeadline(std::int64_t clockMillis) { loopDeadline_ = clockMillis; }
  // Paints the window as the system would, into a new surface.
  std::unique_ptr<SimSurface> Paint(WindowHandle window);
  // Whether the shell would give the window a taskbar button, and the
  // windows that have one.
  bool HasTaskbarButton(WindowHandle window) const;
  std::vector<WindowHandle> TaskbarButtons() const;
  // Moves the mouse to a screen point (nothing: the position cannot be read).
  void SetCursorPos(std::optional<Point> screen) { cursorPos_ = screen; }
  // A mouse press and release at a client point, as the system delivers them.
  void Click(WindowHandle window, Point p, bool right = false);
  void MouseDown(WindowHandle window, Point p, bool right = false);
  void MouseUp(WindowHandle window, Point p, bool right = false);
  // The window under a screen point: the topmost visible top-level window
  // there (of those, the one created last), then down through its visible
  // children (siblings in creation order, the first on top); 0 for none.
  WindowHandle WindowFromPoint(Point screen) const;
  // A left-button drag from one screen point to another, as the system runs
  // it: the window under the start is asked for its hit test; a caption
  // answer moves the top-level window by the distance, a client answer gets
  // the button down there and the button up at the end.
  void Drag(Point from, Point to);
  // The cursor the window shows with the mouse at p.
  CursorKind HoverCursor(WindowHandle window, Point p);
  const std::vector<CursorKind>& CursorOverrides() const { return overrides_; }
  // The virtual time (SimClock::Millis) of each override change, in step with CursorOverrides.
  const std::vector<std::int64_t>& CursorOverrideTimes() const { return overrideTimes_; }
  int InvalidateCount() const { return invalidations_; }
  // What immediate repaints (BlitToWindow) put on the window: a surface of
  // the window's size, black where nothing was copied; null before the first.
  const SimSurface* Screen(WindowHandle window) const;
  int BlitCount() const { return blits_; }
  // Whether a quit was posted and not yet taken by a message loop.
  bool QuitPending() const { return quitCode_.has_value(); }

 private:
  struct Posted {
    WindowHandle Window;
    Message Msg;
  };
  struct Timer {
    WindowHandle Window;
    std::uintptr_t Id;
    std::uint32_t Interval;
    std::int64_t Due;
  };

  WindowHandle Create(const WindowParams& params, MessageWindow* procedure, PaintedWindow* painter);
  void Dispatch(WindowHandle window, Message& m);
  bool DispatchOne();
  std::optional<std::size_t> EarliestTimer() const;
  bool TickPending(WindowHandle window, std::uintptr_t id) const;
  // The screen point of the window's client origin, through its parents.
  Point ScreenOrigin(WindowHandle window) const;

  SimClock& clock_;
  SimThreads& threads_;
  std::map<WindowHandle, SimWindow> windows_;
  WindowHandle nextHandle_ = 0x1000;
  std::deque<Posted> queue_;
  std::vector<Timer> timers_;
  std::size_t timerLimit_ = 10000;
  std::optional<int> quitCode_;
  std::int64_t loopDeadline_ = INT64_MAX;
  WindowHandle foreground_ = 0;
  WindowHandle focus_ = 0;
  WindowHandle capture_ = 0;
  CursorKind override_ = CursorKind::Default;
  CursorKind cursor_ = CursorKind::Arrow;
  std::optional<Point> cursorPos_ = Point{};  // on the screen
  std::vector<CursorKind> overrides_;
  std::vector<std::int64_t> overrideTimes_;
  int invalidations_ = 0;
  std::map<WindowHandle, std::unique_ptr<SimSurface>> screens_;
  int blits_ = 0;
  std::map<std::string, std::uint32_t> registeredMessages_;  // by lower-case name
};

}  // namespace kelpo
