#include "platform/sim/SimWindowing.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace kelpo {
namespace {
constexpr std::uint32_t MinimumTimerInterval = 10;  // Windows raises shorter intervals to this
}

SimWindowing::SimWindowing(SimClock& clock, SimThreads& threads) : clock_(clock), threads_(threads) {}

SimWindowing::~SimWindowing() = default;

WindowHandle SimWindowing::CreateWindow(const WindowParams& params, PaintedWindow* procedure) {
  return Create(params, procedure, procedure);
}

WindowHandle SimWindowing::CreateMessageWindow(const WindowParams& params, MessageWindow* procedure) {
  if (params.Kind == WindowKind::Popup || params.Kind == WindowKind::Child)
    throw std::invalid_argument("A window on the screen needs a procedure that paints it");
  return Create(params, procedure, nullptr);
}

WindowHandle SimWindowing::Create(const WindowParams& params, MessageWindow* procedure, PaintedWindow* painter) {
  WindowHandle handle = nextHandle_;
  nextHandle_ += 4;
  SimWindow& window = windows_[handle];
  window.Params = params;
  window.Procedure = procedure;
  window.Painter = painter;
  window.Visible = params.Visible && params.Kind != WindowKind::Hidden;
  window.Text = params.Text;
  window.Bounds = params.Bounds;
  return handle;
}

void SimWindowing::DestroyWindow(WindowHandle window) {
  if (!windows_.count(window)) return;
  // Children go with their parent, as on Windows.
  std::vector<WindowHandle> children;
  for (const auto& [handle, w] : windows_)
    if (w.Params.Kind == WindowKind::Child && w.Params.Parent == window) children.push_back(handle);
  for (WindowHandle child : children) DestroyWindow(child);
  windows_.erase(window);
  screens_.erase(window);
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.Window == window; }),
                timers_.end());
  std::erase_if(queue_, [&](const Posted& p) { return p.Window == window; });
  if (foreground_ == window) foreground_ = 0;
  if (focus_ == window) focus_ = 0;
  if (capture_ == window) capture_ = 0;
}

void SimWindowing::ShowWindow(WindowHandle window, ShowCommand command) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  // The window hears of a change of its visibility first, as on Windows.
  const bool visible = command != ShowCommand::Hide;
  if (visible != it->second.Visible) {
    SendMessage(window, wmShowWindow, visible ? 1 : 0, 0);
    it = windows_.find(window);
    if (it == windows_.end()) return;
  }
  switch (command) {
    case ShowCommand::Hide:
      it->second.Visible = false;
      break;
    case ShowCommand::Show:
    case ShowCommand::ShowNormal:
      it->second.Visible = true;
      break;
    case ShowCommand::Minimize:
      it->second.Visible = true;
      it->second.Iconic = true;
      SendMessage(window, wmSize, sizeMinimized, 0);
      break;
    case ShowCommand::Restore: {
      const bool wasIconic = it->second.Iconic;
      it->second.Visible = true;
      it->second.Iconic = false;
      // A minimised window hears that it has its size back, as on Windows.
      if (wasIconic) SendMessage(window, wmSize, sizeRestored, 0);
      break;
    }
  }
}

bool SimWindowing::IsWindowVisible(WindowHandle window) {
  // A child is visible only when its parents are.
  for (auto it = windows_.find(window); it != windows_.end();) {
    if (!it->second.Visible) return false;
    if (it->second.Params.Kind != WindowKind::Child) return true;
    it = windows_.find(it->second.Params.Parent);
  }
  return false;
}

bool SimWindowing::HasTaskbarButton(WindowHandle window) const {
  // Windows' rule: a visible top-level window that has no owner and is no
  // tool window (the hidden message windows are tool windows).
  auto it = windows_.find(window);
  if (it == windows_.end() || !it->second.Visible) return false;
  const WindowParams& params = it->second.Params;
  return params.Kind == WindowKind::Application || (params.Kind == WindowKind::Popup && params.Parent == 0);
}

std::vector<WindowHandle> SimWindowing::TaskbarButtons() const {
  std::vector<WindowHandle> buttons;
  for (const auto& [handle, window] : windows_)
    if (HasTaskbarButton(handle)) buttons.push_back(handle);
  return buttons;
}

bool SimWindowing::IsIconic(WindowHandle window) {
  auto it = windows_.find(window);
  return it != windows_.end() && it->second.Iconic;
}

void SimWindowing::SetWindowText(WindowHandle window, const std::string& text) {
  if (auto it = windows_.find(window); it != windows_.end()) it->second.Text = text;
}

std::string SimWindowing::GetWindowText(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? std::string() : it->second.Text;
}

void SimWindowing::SetBounds(WindowHandle window, const Rect& bounds) {
  if (auto it = windows_.find(window); it != windows_.end()) it->second.Bounds = bounds;
}

Rect SimWindowing::GetBounds(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? Rect{} : it->second.Bounds;
}

void SimWindowing::Invalidate(WindowHandle window) {
  if (windows_.count(window)) ++invalidations_;
}

void SimWindowing::Dispatch(WindowHandle window, Message& m) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  // The window's own procedure; unhandled messages get the default processing.
  const PreviousWindowProc own = [this, window](Message& passed) -> std::intptr_t {
    auto found = windows_.find(window);
    if (found == windows_.end()) return std::intptr_t{0};
    if (!found->second.Procedure) return DefaultWindowProc(window, passed);
    return found->second.Procedure->WindowProc(passed) ? passed.Result : DefaultWindowProc(window, passed);
  };
  // A copy: a hook may remove hooks or destroy the window.
  const std::shared_ptr<WindowHookChain> hooks = it->second.Hooks;
  m.Result = hooks ? hooks->Dispatch(window, m, own) : own(m);
}

void SimWindowing::SetForegroundWindow(WindowHandle window) {
  if (window == foreground_ || !windows_.count(window)) return;
  const WindowHandle previous = foreground_;
  foreground_ = window;
  if (windows_.count(previous)) SendMessage(previous, wmActivate, waInactive, static_cast<std::intptr_t>(window));
  SendMessage(window, wmActivate, waActive, static_cast<std::intptr_t>(previous));
}

void SimWindowing::SetFocus(WindowHandle window) {
  if (windows_.count(window)) focus_ = window;
}

std::intptr_t SimWindowing::SendMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  Message m{msg, wParam, lParam, 0};
  Dispatch(window, m);
  return m.Result;
}

bool SimWindowing::PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  if (!windows_.count(window)) return false;
  queue_.push_back(Posted{window, Message{msg, wParam, lParam, 0}});
  return true;
}

void SimWindowing::PostQuitMessage(int exitCode) {
  quitCode_ = exitCode;
}

bool SimWindowing::DispatchOne() {
  // Calls from other threads come first, as sent messages do on Windows.
  if (threads_.RunQueued()) return true;
  if (queue_.empty()) return false;
  Posted posted = queue_.front();
  queue_.pop_front();
  Dispatch(posted.Window, posted.Msg);
  return true;
}

bool SimWindowing::ProcessMessages() {
  while (!quitCode_ && DispatchOne()) {
  }
  return !quitCode_;
}

int SimWindowing::RunMessageLoop() {
  for (;;) {
    if (quitCode_) {
      int code = *quitCode_;
      quitCode_.reset();
      return code;
    }
    if (DispatchOne()) continue;
    auto next = EarliestTimer();
    if (!next || timers_[*next].Due > loopDeadline_) return -1;  // nothing would ever happen
    RunUntil(timers_[*next].Due);
  }
}

std::optional<std::size_t> SimWindowing::EarliestTimer() const {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < timers_.size(); ++i)
    if (!best || timers_[i].Due < timers_[*best].Due) best = i;
  return best;
}

bool SimWindowing::TickPending(WindowHandle window, std::uintptr_t id) const {
  return std::any_of(queue_.begin(), queue_.end(),
                     [&](const Posted& p) { return p.Window == window && p.Msg.Msg == wmTimer && p.Msg.WParam == id; });
}

void SimWindowing::RunUntil(std::int64_t clockMillis) {
  for (;;) {
    while (!quitCode_ && DispatchOne()) {
    }
    if (quitCode_) break;
    auto next = EarliestTimer();
    if (!next || timers_[*next].Due > clockMillis) break;
    Timer& timer = timers_[*next];
    clock_.SetMillis(std::max(clock_.Millis(), timer.Due));
    timer.Due = clock_.Millis() + timer.Interval;
    // Windows keeps at most one tick of a timer waiting in the queue.
    if (!TickPending(timer.Window, timer.Id)) PostMessage(timer.Window, wmTimer, timer.Id, 0);
  }
  clock_.SetMillis(std::max(clock_.Millis(), clockMillis));
}

bool SimWindowing::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
  if (!windows_.count(window)) return false;
  const std::uint32_t interval = std::max(milliseconds, MinimumTimerInterval);
  for (Timer& timer : timers_) {
    if (timer.Window == window && timer.Id == id) {
      timer.Interval = interval;
      timer.Due = clock_.Millis() + interval;
      return true;
    }
  }
  if (timers_.size() >= timerLimit_) return false;
  timers_.push_back(Timer{window, id, interval, clock_.Millis() + interval});
  return true;
}

bool SimWindowing::KillTimer(WindowHandle window, std::uintptr_t id) {
  auto it =
      std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.Window == window && t.Id == id; });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  // A tick already waiting is removed with the timer, as KillTimer does.
  std::erase_if(queue_,
                [&](const Posted& p) { return p.Window == window && p.Msg.Msg == wmTimer && p.Msg.WParam == id; });
  return true;
}

void SimWindowing::SetCursorOverride(CursorKind cursor) {
  override_ = cursor;
  overrides_.push_back(cursor);
  overrideTimes_.push_back(clock_.Millis());
}

void SimWindowing::BlitToWindow(WindowHandle window, const Rect& area, Surface& source) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  const Rect& bounds = it->second.Bounds;
  auto& screen = screens_[window];
  if (!screen || screen->Width() != bounds.Width || screen->Height() != bounds.Height)
    screen = std::make_unique<SimSurface>(bounds.Width, bounds.Height);
  const int left = std::max(area.Left, 0), top = std::max(area.Top, 0);
  const int right = std::min({area.Right(), screen->Width(), source.Width()});
  const int bottom = std::min({area.Bottom(), screen->Height(), source.Height()});
  const std::uint32_t* from = source.Pixels();
  std::uint32_t* to = screen->Pixels();
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      to[static_cast<std::size_t>(y) * screen->Width() + x] = from[static_cast<std::size_t>(y) * source.Width() + x];
  ++blits_;
}

const SimSurface* SimWindowing::Screen(WindowHandle window) const {
  auto it = screens_.find(window);
  return it == screens_.end() ? nullptr : it->second.get();
}

bool SimWindowing::InstallHook(WindowHandle window, WindowHook& hook) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return false;
  if (!it->second.Hooks) it->second.Hooks = std::make_shared<WindowHookChain>();
  it->second.Hooks->Install(hook);
  return true;
}

bool SimWindowing::RemoveHook(WindowHandle window, WindowHook& hook) {
  auto it = windows_.find(window);
  if (it == windows_.end() || !it->second.Hooks || !it->second.Hooks->Remove(hook)) return false;
  if (it->second.Hooks->Empty()) it->second.Hooks.reset();
  return true;
}

std::uint32_t SimWindowing::RegisterWindowMessage(const std::string& name) {
  constexpr std::uint32_t First = 0xC000, Last = 0xFFFF;
  if (name.empty()) return 0;
  std::string key = name;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (auto it = registeredMessages_.find(key); it != registeredMessages_.end()) return it->second;
  const std::uint32_t number = First + static_cast<std::uint32_t>(registeredMessages_.size());
  if (number > Last) return 0;
  registeredMessages_[key] = number;
  return number;
}

std::intptr_t SimWindowing::DefaultWindowProc(WindowHandle window, const Message& m) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return 0;
  // An activation focuses the window itself.
  if (m.Msg == wmActivate && (m.WParam & 0xFFFF) != waInactive) focus_ = window;
  if (m.Msg != wmNcHitTest) return 0;
  // The windows of this program have no frame: all of a window is client area.
  const Point origin = ScreenOrigin(window);
  const Rect screen{origin.X, origin.Y, it->second.Bounds.Width, it->second.Bounds.Height};
  return screen.Contains(PointFromLParam(m.LParam)) ? htClient : htNowhere;
}

Point SimWindowing::ClientToScreen(WindowHandle window, Point p) {
  const Point origin = ScreenOrigin(window);
  return Point{p.X + origin.X, p.Y + origin.Y};
}

Point SimWindowing::ScreenOrigin(WindowHandle window) const {
  Point p;
  for (auto it = windows_.find(window); it != windows_.end();) {
    p.X += it->second.Bounds.Left;
    p.Y += it->second.Bounds.Top;
    if (it->second.Params.Kind != WindowKind::Child) break;
    it = windows_.find(it->second.Params.Parent);
  }
  return p;
}

Point SimWindowing::ClientCursorPos(WindowHandle window) {
  const Point origin = ClientToScreen(window, Point{});
  const Point screen = cursorPos_.value_or(Point{});
  return Point{screen.X - origin.X, screen.Y - origin.Y};
}

const SimWindow* SimWindowing::Find(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowHandle SimWindowing::FindTopLevelWindow(const std::string& className, const std::string& text) const {
  for (const auto& [handle, window] : windows_)
    if (window.Params.Kind != WindowKind::Child && window.Params.ClassName == className && window.Text == text)
      return handle;
  return 0;
}

WindowHandle SimWindowing::FindWindow(const std::string& className, const std::optional<std::string>& text) const {
  for (const auto& [handle, window] : windows_)
    if (window.Params.ClassName == className && (!text || window.Text == *text)) return handle;
  return 0;
}

std::optional<std::uint32_t> SimWindowing::TimerInterval(WindowHandle window, std::uintptr_t id) const {
  for (const Timer& timer : timers_)
    if (timer.Window == window && timer.Id == id) return timer.Interval;
  return std::nullopt;
}

std::optional<std::int64_t> SimWindowing::TimerDue(WindowHandle window, std::uintptr_t id) const {
  for (const Timer& timer : timers_)
    if (timer.Window == window && timer.Id == id) return timer.Due;
  return std::nullopt;
}

std::unique_ptr<SimSurface> SimWindowing::Paint(WindowHandle window) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return nullptr;
  auto surface = std::make_unique<SimSurface>(it->second.Bounds.Width, it->second.Bounds.Height);
  if (it->second.Painter) it->second.Painter->PaintWindow(*surface);
  return surface;
}

void SimWindowing::MouseDown(WindowHandle window, Point p, bool right) {
  cursorPos_ = ClientToScreen(window, p);
  SendMessage(window, right ? wmRButtonDown : wmLButtonDown, 0, LParamFromPoint(p));
}

void SimWindowing::MouseUp(WindowHandle window, Point p, bool right) {
  cursorPos_ = ClientToScreen(window, p);
  SendMessage(capture_ ? capture_ : window, right ? wmRButtonUp : wmLButtonUp, 0, LParamFromPoint(p));
}

void SimWindowing::Click(WindowHandle window, Point p, bool right) {
  MouseDown(window, p, right);
  MouseUp(window, p, right);
}

CursorKind SimWindowing::HoverCursor(WindowHandle window, Point p) {
  if (override_ != CursorKind::Default) return override_;
  cursorPos_ = ClientToScreen(window, p);
  cursor_ = CursorKind::Arrow;
  SendMessage(window, wmSetCursor, window, htClient);
  return cursor_;
}

WindowHandle SimWindowing::WindowFromPoint(Point screen) const {
  const auto under = [&](WindowHandle handle, const SimWindow& window) {
    if (!window.Visible) return false;
    const Point origin = ScreenOrigin(handle);
    return Rect{origin.X, origin.Y, window.Bounds.Width, window.Bounds.Height}.Contains(screen);
  };
  WindowHandle found = 0;
  for (const auto& [handle, window] : windows_)
    if (window.Params.Kind == WindowKind::Popup && under(handle, window)) found = handle;
  for (bool deeper = found != 0; deeper;) {
    deeper = false;
    for (const auto& [handle, window] : windows_) {
      if (window.Params.Kind != WindowKind::Child || window.Params.Parent != found || !under(handle, window)) continue;
      found = handle;
      deeper = true;
      break;
    }
  }
  return found;
}

void SimWindowing::Drag(Point from, Point to) {
  const WindowHandle window = WindowFromPoint(from);
  if (!window) return;
  cursorPos_ = from;
  const std::intptr_t hit = SendMessage(window, wmNcHitTest, 0, LParamFromPoint(from));
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  if (hit == htCaption && it->second.Params.Kind != WindowKind::Child) {
    Rect& bounds = it->second.Bounds;
    bounds.Left += to.X - from.X;
    bounds.Top += to.Y - from.Y;
    cursorPos_ = to;
  } else if (hit == htClient) {
    const Point origin = ClientToScreen(window, Point{});
    MouseDown(window, Point{from.X - origin.X, from.Y - origin.Y});
    MouseUp(window, Point{to.X - origin.X, to.Y - origin.Y});
  }
}

}  // namespace kelpo
