#include "platform/win32/Win32Windowing.h"

#include <utility>
#include <vector>

#include "base/Exception.h"

namespace kelpo {

namespace {

constexpr const char* kDefaultClassName = "KelpoWindow";
// The window property that leads a hooked window's procedure to its hooks.
constexpr const char* kHooksProperty = "KelpoWindowHooks";

// Handed to WM_NCCREATE through CREATESTRUCT::lpCreateParams.
struct CreationContext {
  Win32Windowing* Windowing;
  MessageWindow* Procedure;
  PaintedWindow* Painter;
};

// Extra window bytes of our classes: the Win32Windowing that created the
// window, and the window's painter (null for message windows). GWLP_USERDATA
// holds its procedure.
constexpr int kWindowingSlot = 0;
constexpr int kPainterSlot = sizeof(LONG_PTR);

HCURSOR CursorHandle(CursorKind cursor) {
  switch (cursor) {
    case CursorKind::HourGlass:
      return LoadCursorA(nullptr, IDC_WAIT);
    case CursorKind::HandPoint:
      return LoadCursorA(nullptr, IDC_HAND);
    case CursorKind::Default:
    case CursorKind::Arrow:
      break;
  }
  return LoadCursorA(nullptr, IDC_ARROW);
}

Rect RectFrom(const RECT& r) {
  return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

BOOL CALLBACK FindTabStop(HWND child, LPARAM found) {
  LONG style = GetWindowLongA(child, GWL_STYLE);
  if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

// Ends the paint cycle whatever the procedure does.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(hwnd_, &paint_); }
  HDC DC() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace

Win32Windowing::Win32Windowing(Win32Graphics& graphics) : graphics_(graphics), instance_(GetModuleHandleA(nullptr)) {}

Win32Windowing::~Win32Windowing() {
  // Hooked windows get their own procedures back; the hooks go with this object.
  std::vector<HWND> hooked;
  for (const auto& [hwnd, state] : hooked_) hooked.push_back(hwnd);
  for (HWND hwnd : hooked) Unhook(hwnd, true);

  // Windows still open lose their procedure first: it may already be gone.
  std::vector<HWND> open(windows_.begin(), windows_.end());
  for (HWND hwnd : open) {
    if (!IsWindow(hwnd)) continue;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    SetWindowLongPtrA(hwnd, kWindowingSlot, 0);
    SetWindowLongPtrA(hwnd, kPainterSlot, 0);
  }
  for (HWND hwnd : open)
    if (IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

void Win32Windowing::RegisterClassFor(const std::string& className) {
  if (classes_.count(className)) return;
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(instance_, className.c_str(), &existing)) {
    // Registered by an earlier instance of this class: same procedure, same layout.
    if (existing.lpfnWndProc != &Win32Windowing::WindowProc)
      throw Exception("Window class " + className + " is already registered");
    classes_.insert(className);
    return;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = 0;  // no CS_DBLCLKS: a second click is a second button down
  wc.lpfnWndProc = &Win32Windowing::WindowProc;
  wc.cbWndExtra = 2 * sizeof(LONG_PTR);
  wc.hInstance = instance_;
  // The program's icon where the executable has one (the taskbar button shows it).
  wc.hIcon = LoadIconA(instance_, "MAINICON");
  wc.hIconSm = static_cast<HICON>(LoadImageA(instance_, "MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.hCursor = nullptr;  // WM_SETCURSOR decides
  wc.hbrBackground = nullptr;
  wc.lpszClassName = className.c_str();
  if (!RegisterClassExA(&wc)) throw Exception("Cannot register window class " + className);
  classes_.insert(className);
}

WindowHandle Win32Windowing::CreateWindow(const WindowParams& params, PaintedWindow* procedure) {
  return Create(params, procedure, procedure);
}

WindowHandle Win32Windowing::CreateMessageWindow(const WindowParams& params, MessageWindow* procedure) {
  if (params.Kind == WindowKind::Popup || params.Kind == WindowKind::Child)
    throw Exception("A window on the screen needs a procedure that paints it");
  return Create(params, procedure, nullptr);
}

WindowHandle Win32Windowing::Create(const WindowParams& params, MessageWindow* procedure, PaintedWindow* painter) {
  const std::string className = params.ClassName.empty() ? kDefaultClassName : params.ClassName;
  RegisterClassFor(className);

  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  bool visible = params.Visible;
  switch (params.Kind) {
    case WindowKind::Application:
      style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
      break;
    case WindowKind::Popup:
      style = WS_POPUP | WS_CLIPCHILDREN;
      exStyle = WS_EX_CONTROLPARENT;  // Tab reaches the widgets inside its panels
      parent = ToHwnd(params.Parent);
      break;
    case WindowKind::Child:
      style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
      exStyle = WS_EX_CONTROLPARENT;
      parent = ToHwnd(params.Parent);
      break;
    case WindowKind::Hidden:
      // A top-level window rather than a message-only one, so that FindWindow
      // and broadcasts such as WM_WININICHANGE reach it.
      style = WS_POPUP;
      exStyle = WS_EX_TOOLWINDOW;
      visible = false;
      break;
  }
  if (visible) style |= WS_VISIBLE;

  CreationContext context{this, procedure, painter};
  HWND hwnd =
      CreateWindowExA(exStyle, className.c_str(), params.Text.c_str(), style, params.Bounds.Left, params.Bounds.Top,
                      params.Bounds.Width, params.Bounds.Height, parent, nullptr, instance_, &context);
  RethrowPending();
  if (!hwnd) throw Exception("Error creating window");
  return FromHwnd(hwnd);
}

void Win32Windowing::DestroyWindow(WindowHandle window) {
  ::DestroyWindow(ToHwnd(window));
  RethrowPending();
}

void Win32Windowing::ShowWindow(WindowHandle window, ShowCommand command) {
  ::ShowWindow(ToHwnd(window), ToShowCommand(command));
}

bool Win32Windowing::IsWindowVisible(WindowHandle window) {
  return ::IsWindowVisible(ToHwnd(window)) != FALSE;
}

bool Win32Windowing::IsIconic(WindowHandle window) {
  return ::IsIconic(ToHwnd(window)) != FALSE;
}

void Win32Windowing::SetWindowText(WindowHandle window, const std::string& text) {
  SetWindowTextA(ToHwnd(window), text.c_str());
}

std::string Win32Windowing::GetWindowText(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Win32Windowing::SetBounds(WindowHandle window, const Rect& bounds) {
  SetWindowPos(ToHwnd(window), nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32Windowing::GetBounds(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  RECT r{};
  GetWindowRect(hwnd, &r);
  if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return RectFrom(r);
}

Rect Win32Windowing::WorkArea() {
  RECT r{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0))
    r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return RectFrom(r);
}

void Win32Windowing::Invalidate(WindowHandle window) {
  InvalidateRect(ToHwnd(window), nullptr, FALSE);
}

void Win32Windowing::SetForegroundWindow(WindowHandle window) {
  ::SetForegroundWindow(ToHwnd(window));
}

void Win32Windowing::SetFocus(WindowHandle window) {
  ::SetFocus(ToHwnd(window));
}

std::intptr_t Win32Windowing::SendMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
  LRESULT result = SendMessageA(ToHwnd(window), msg, wParam, lParam);
  RethrowPending();
  return result;
}

bool Win32Windowing::PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
  return PostMessageA(ToHwnd(window), msg, wParam, lParam) != FALSE;
}

void Win32Windowing::PostQuitMessage(int exitCode) {
  ::PostQuitMessage(exitCode);
}

int Win32Windowing::RunMessageLoop() {
  MSG msg{};
  for (;;) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    Dispatch(msg);
  }
}

bool Win32Windowing::ProcessMessages() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Posted again so that an enclosing RunMessageLoop ends as well.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    Dispatch(msg);
  }
  return true;
}

bool Win32Windowing::TakesTabKey(const MSG& msg, HWND& root) const {
  // Only Tab goes through the dialog manager: its Enter and Escape handling
  // would send IDOK and IDCANCEL commands to windows that are not dialogs.
  if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP && msg.message != WM_CHAR) return false;
  if (msg.wParam != VK_TAB || !msg.hwnd) return false;
  root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!root || !windows_.count(root)) return false;
  bool found = false;
  EnumChildWindows(root, FindTabStop, reinterpret_cast<LPARAM>(&found));
  return found;
}

void Win32Windowing::Dispatch(MSG& msg) {
  HWND root = nullptr;
  if (TakesTabKey(msg, root) && IsDialogMessageA(root, &msg)) {
    RethrowPending();
    return;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  RethrowPending();
}

bool Win32Windowing::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
  return ::SetTimer(ToHwnd(window), id, milliseconds, nullptr) != 0;
}

bool Win32Windowing::KillTimer(WindowHandle window, std::uintptr_t id) {
  return ::KillTimer(ToHwnd(window), id) != FALSE;
}

void Win32Windowing::SetCursorOverride(CursorKind cursor) {
  cursorOverride_ = cursor;
  if (cursor != CursorKind::Default) {
    ::SetCursor(CursorHandle(cursor));
    return;
  }
  // Back to each control's own cursor: ask the window under the mouse now
  // instead of waiting for the next mouse move.
  POINT p{};
  GetCursorPos(&p);
  HWND under = WindowFromPoint(p);
  if (!under || GetWindowThreadProcessId(under, nullptr) != GetCurrentThreadId()) return;
  LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
  RethrowPending();
}

void Win32Windowing::SetCursor(CursorKind cursor) {
  ::SetCursor(CursorHandle(cursor));
}

Point Win32Windowing::ClientCursorPos(WindowHandle window) {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(ToHwnd(window), &p);
  return Point{p.x, p.y};
}

void Win32Windowing::SetCapture(WindowHandle window) {
  ::SetCapture(ToHwnd(window));
}

void Win32Windowing::ReleaseCapture() {
  ::ReleaseCapture();
}

void Win32Windowing::BlitToWindow(WindowHandle window, const Rect& area, Surface& source) {
  HWND hwnd = ToHwnd(window);
  auto* surface = dynamic_cast<Win32Surface*>(&source);
  if (!surface) {
    // Not a GDI surface: the next paint cycle shows the area.
    RECT rc{area.Left, area.Top, area.Right(), area.Bottom()};
    InvalidateRect(hwnd, &rc, FALSE);
    return;
  }
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  BitBlt(dc, area.Left, area.Top, area.Width, area.Height, surface->DC(), area.Left, area.Top, SRCCOPY);
  ReleaseDC(hwnd, dc);
}

std::optional<Point> Win32Windowing::CursorPos() {
  POINT p{};
  if (!GetCursorPos(&p)) return std::nullopt;
  return Point{p.x, p.y};
}

Point Win32Windowing::ClientToScreen(WindowHandle window, Point p) {
  POINT point{p.X, p.Y};
  ::ClientToScreen(ToHwnd(window), &point);
  return Point{point.x, point.y};
}

std::uint32_t Win32Windowing::RegisterWindowMessage(const std::string& name) {
  return ::RegisterWindowMessageA(name.c_str());
}

std::intptr_t Win32Windowing::DefaultWindowProc(WindowHandle window, const Message& m) {
  return DefWindowProcA(ToHwnd(window), m.Msg, m.WParam, m.LParam);
}

bool Win32Windowing::InstallHook(WindowHandle window, WindowHook& hook) {
  HWND hwnd = ToHwnd(window);
  // Only this thread's windows: another thread's procedure would run the hooks there.
  if (!IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return false;
  std::shared_ptr<HookedWindow>& state = hooked_[hwnd];
  if (!state) {
    state = std::make_shared<HookedWindow>(HookedWindow{this, nullptr, {}});
    SetPropA(hwnd, kHooksProperty, state.get());
    state->Original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Windowing::HookedWindowProc)));
  }
  state->Chain.Install(hook);
  return true;
}

bool Win32Windowing::RemoveHook(WindowHandle window, WindowHook& hook) {
  HWND hwnd = ToHwnd(window);
  auto it = hooked_.find(hwnd);
  if (it == hooked_.end() || !it->second->Chain.Remove(hook)) return false;
  // With another procedure put in front of ours since, ours stays as a pass-through.
  if (it->second->Chain.Empty() &&
      GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Win32Windowing::HookedWindowProc))
    Unhook(hwnd, true);
  return true;
}

void Win32Windowing::Unhook(HWND hwnd, bool restore) {
  auto it = hooked_.find(hwnd);
  if (it == hooked_.end()) return;
  if (restore && IsWindow(hwnd))
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second->Original));
  RemovePropA(hwnd, kHooksProperty);
  hooked_.erase(it);  // a message inside the hooks keeps its own reference
}

LRESULT CALLBACK Win32Windowing::HookedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* raw = static_cast<HookedWindow*>(GetPropA(hwnd, kHooksProperty));
  if (!raw) return DefWindowProcA(hwnd, msg, wParam, lParam);
  Win32Windowing* windowing = raw->Windowing;
  const std::shared_ptr<HookedWindow> state = windowing->hooked_.at(hwnd);
  const WNDPROC original = state->Original;
  const PreviousWindowProc own = [hwnd, original](Message& passed) -> std::intptr_t {
    return CallWindowProcA(original, hwnd, passed.Msg, passed.WParam, passed.LParam);
  };
  Message m{msg, wParam, lParam, 0};
  LRESULT result = 0;
  try {
    result = state->Chain.Dispatch(FromHwnd(hwnd), m, own);
  } catch (...) {
    if (!windowing->pending_) windowing->pending_ = std::current_exception();
  }
  if (msg == WM_NCDESTROY) windowing->Unhook(hwnd, false);  // a window's hooks end with it
  return result;
}

void Win32Windowing::RegisterControl(HWND control, Win32ControlSink* sink) {
  controls_[control] = sink;
}

void Win32Windowing::UnregisterControl(HWND control) {
  controls_.erase(control);
}

void Win32Windowing::Forget(HWND hwnd) {
  windows_.erase(hwnd);
  surfaces_.erase(hwnd);
}

void Win32Windowing::RethrowPending() {
  if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

LRESULT CALLBACK Win32Windowing::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    if (auto* context = static_cast<CreationContext*>(create->lpCreateParams)) {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(context->Procedure));
      SetWindowLongPtrA(hwnd, kWindowingSlot, reinterpret_cast<LONG_PTR>(context->Windowing));
      SetWindowLongPtrA(hwnd, kPainterSlot, reinterpret_cast<LONG_PTR>(context->Painter));
      context->Windowing->windows_.insert(hwnd);
    }
  }
  auto* windowing = reinterpret_cast<Win32Windowing*>(GetWindowLongPtrA(hwnd, kWindowingSlot));
  auto* procedure = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  auto* painter = reinterpret_cast<PaintedWindow*>(GetWindowLongPtrA(hwnd, kPainterSlot));
  if (!windowing || !procedure) return DefWindowProcA(hwnd, msg, wParam, lParam);

  LRESULT result = 0;
  try {
    result = windowing->HandleMessage(hwnd, procedure, painter, msg, wParam, lParam);
  } catch (...) {
    if (!windowing->pending_) windowing->pending_ = std::current_exception();
    result = msg == WM_NCCREATE ? FALSE : 0;  // a failed creation ends CreateWindow with no window
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    SetWindowLongPtrA(hwnd, kWindowingSlot, 0);
    SetWindowLongPtrA(hwnd, kPainterSlot, 0);
    windowing->Forget(hwnd);
  }
  return result;
}

LRESULT Win32Windowing::HandleMessage(HWND hwnd, MessageWindow* procedure, PaintedWindow* painter, UINT msg,
                                      WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      if (!painter) break;  // a message window is left to the default
      return Paint(hwnd, painter);
    case WM_ERASEBKGND:
      if (!painter) break;
      return 1;  // PaintWindow covers the whole client area
    case WM_SETCURSOR:
      return AnswerSetCursor(hwnd, procedure, wParam, lParam);
    case WM_COMMAND:
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (RouteToControl(hwnd, msg, wParam, lParam, result)) return result;
      break;
    }
    default:
      break;
  }
  Message m{msg, wParam, lParam, 0};
  if (procedure->WindowProc(m)) return m.Result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT Win32Windowing::Paint(HWND hwnd, PaintedWindow* painter) {
  PaintScope paint(hwnd);
  RECT client{};
  GetClientRect(hwnd, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return 0;
  auto& slot = surfaces_[hwnd];
  if (!slot || slot->Width() != width || slot->Height() != height) slot = graphics_.CreateWin32Surface(width, height);
  Win32Surface& surface = *slot;
  painter->PaintWindow(surface);
  BitBlt(paint.DC(), 0, 0, width, height, surface.DC(), 0, 0, SRCCOPY);
  return 0;
}

LRESULT Win32Windowing::AnswerSetCursor(HWND hwnd, MessageWindow* procedure, WPARAM wParam, LPARAM lParam) {
  if (cursorOverride_ != CursorKind::Default) {
    ::SetCursor(CursorHandle(cursorOverride_));
    return TRUE;
  }
  Message m{WM_SETCURSOR, wParam, lParam, 0};
  if (procedure->WindowProc(m)) return m.Result;
  // Over this window's own client area the class has no cursor to offer; a
  // query passed up from a child control is left to that control.
  if (reinterpret_cast<HWND>(wParam) == hwnd && LOWORD(lParam) == HTCLIENT) {
    ::SetCursor(CursorHandle(CursorKind::Arrow));
    return TRUE;
  }
  return DefWindowProcA(hwnd, WM_SETCURSOR, wParam, lParam);
}

bool Win32Windowing::RouteToControl(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!lParam) return false;  // a menu or accelerator command
  HWND control = msg == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : reinterpret_cast<HWND>(lParam);
  auto found = controls_.find(control);
  if (found == controls_.end()) return false;
  bool handled = msg == WM_NOTIFY ? found->second->OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)
                                  : found->second->OnCommand(control, HIWORD(wParam));
  if (!handled) result = DefWindowProcA(hwnd, msg, wParam, lParam);
  return true;
}

}  // namespace kelpo
