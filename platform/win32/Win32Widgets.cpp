#include "platform/win32/Win32Widgets.h"

#include <string>
#include <vector>

#include "base/Exception.h"
#include "platform/win32/Win32Fonts.h"

namespace kelpo {

namespace {

// Extra height given to a combo box at creation: the height of its dropped-down list.
constexpr int kDropDownHeight = 150;

void InitCommonControlsOnce() {
  static const bool initialised = [] {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)initialised;
}

// What every peer shares: its control windows, their routing, the font and the events.
class ControlPeer : public Win32ControlSink {
 public:
  ControlPeer(Win32Windowing& windowing, const WidgetParams& params)
      : windowing_(windowing), parent_(ToHwnd(params.Parent)), events_(params.Events) {}
  ControlPeer(const ControlPeer&) = delete;
  ControlPeer& operator=(const ControlPeer&) = delete;
  ~ControlPeer() override {
    // The controls may still notify while they go (a focused edit reports
    // losing the focus); those notifications are swallowed.
    closing_ = true;
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
      if (IsWindow(*it)) DestroyWindow(*it);
    for (HWND hwnd : windows_) windowing_.UnregisterControl(hwnd);
  }

  bool OnCommand(HWND control, WORD code) final { return closing_ || Command(control, code); }
  bool OnNotify(const NMHDR& header, LRESULT& result) final {
    result = 0;
    return closing_ || Notify(header, result);
  }

 protected:
  HWND CreateControl(DWORD exStyle, const char* className, DWORD style, const Rect& bounds, bool visible) {
    HWND hwnd =
        CreateWindowExA(exStyle, className, "", WS_CHILD | style | (visible ? WS_VISIBLE : 0), bounds.Left, bounds.Top,
                        bounds.Width, bounds.Height, parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) throw Exception(std::string("Error creating window of class ") + className);
    windows_.push_back(hwnd);
    windowing_.RegisterControl(hwnd, this);
    return hwnd;
  }

  // Gives the controls a font made from `wanted`; the previous one is deleted after they let go of it.
  void ApplyFont(const FontSpec& wanted, std::initializer_list<HWND> controls) {
    HFONT font = CreateFontFor(wanted);
    for (HWND control : controls) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    font_.Reset(font);
  }

  static std::string WindowText(HWND control) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  static void Show(HWND control, bool visible) { ShowWindow(control, visible ? SW_SHOW : SW_HIDE); }
  static bool HasVisibleStyle(HWND control) { return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

  void NotifyChanged() {
    if (!quiet_ && events_) events_->Changed();
  }
  void NotifyFocusGained() {
    if (events_) events_->FocusGained();
  }
  void NotifyFocusLost() {
    if (events_) events_->FocusLost();
  }

  // Values set by the program are not user changes: no Changed() while one is set.
  class QuietScope {
   public:
    explicit QuietScope(ControlPeer& peer) : peer_(peer), was_(peer.quiet_) { peer_.quiet_ = true; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;
    ~QuietScope() { peer_.quiet_ = was_; }

   private:
    ControlPeer& peer_;
    bool was_;
  };

  // The control's notifications; false leaves them to the default processing.
  virtual bool Command(HWND control, WORD code) = 0;
  virtual bool Notify(const NMHDR& header, LRESULT& result) = 0;

 private:
  Win32Windowing& windowing_;
  HWND parent_;
  WidgetEvents* events_;
  std::vector<HWND> windows_;
  Win32OwnedFont font_;
  bool quiet_ = false;
  bool closing_ = false;
};

class Win32SpinEdit : public SpinEditPeer, private ControlPeer {
 public:
  Win32SpinEdit(Win32Windowing& windowing, const WidgetParams& params) : ControlPeer(windowing, params) {
    // Not ES_NUMBER: a fraction such as ".5" can be typed, and the framework decides what it reads as.
    edit_ =
        CreateControl(WS_EX_CLIENTEDGE, "EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, params.Bounds, params.Visible);
    updown_ = CreateControl(0, UPDOWN_CLASSA, UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                            Rect{}, params.Visible);
    SetBounds(params.Bounds);
    SetFont(params.Font);
  }

  WindowHandle Handle() const override { return FromHwnd(edit_); }

  void SetBounds(const Rect& bounds) override {
    SetWindowPos(edit_, nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    AttachBuddy(bounds);
  }

  void SetVisible(bool visible) override {
    Show(edit_, visible);
    Show(updown_, visible);
  }
  bool Visible() const override { return HasVisibleStyle(edit_); }
  void SetFont(const FontSpec& font) override { ApplyFont(font, {edit_}); }

  void SetRange(int minValue, int maxValue) override { SendMessageA(updown_, UDM_SETRANGE32, minValue, maxValue); }
  void SetMaxLength(int characters) override { SendMessageA(edit_, EM_LIMITTEXT, characters, 0); }

  void SetText(const std::string& text) override {
    QuietScope quiet(*this);
    SetWindowTextA(edit_, text.c_str());
  }

  std::string Text() const override { return WindowText(edit_); }

  bool Command(HWND control, WORD code) override {
    if (control != edit_) return false;
    if (code == EN_CHANGE) NotifyChanged();
    if (code == EN_SETFOCUS) NotifyFocusGained();
    if (code == EN_KILLFOCUS) NotifyFocusLost();
    return true;
  }

  // The up-down's own notifications need no answer but the default.
  bool Notify(const NMHDR&, LRESULT&) override { return false; }

 private:
  // The aligned up-down takes its place at the right end of the edit, which
  // gives up that width. Where the system leaves a gap at the right (Wine's
  // up-down stops short of the edit's border), both are widened so that
  // together they fill the bounds.
  void AttachBuddy(const Rect& bounds) {
    SendMessageA(updown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
    const RECT edit = ChildRect(edit_);
    const RECT buttons = ChildRect(updown_);
    const int gap = bounds.Right() - buttons.right;
    if (gap <= 0) return;
    SetWindowPos(edit_, nullptr, 0, 0, edit.right - edit.left + gap, edit.bottom - edit.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    SetWindowPos(updown_, nullptr, buttons.left + gap, buttons.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  }

  // The window's rectangle in its parent's client coordinates.
  static RECT ChildRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  HWND edit_ = nullptr;
  HWND updown_ = nullptr;
};

class Win32ComboBox : public ComboBoxPeer, private ControlPeer {
 public:
  Win32ComboBox(Win32Windowing& windowing, const WidgetParams& params, bool editable)
      : ControlPeer(windowing, params), bounds_(params.Bounds) {
    combo_ = CreateControl(0, "COMBOBOX", WS_VSCROLL | WS_TABSTOP | (editable ? CBS_DROPDOWN : CBS_DROPDOWNLIST),
                           WithDropDown(params.Bounds), params.Visible);
    SetFont(params.Font);
  }

  WindowHandle Handle() const override { return FromHwnd(combo_); }

  void SetBounds(const Rect& bounds) override {
    bounds_ = bounds;
    const Rect window = WithDropDown(bounds);
    SetWindowPos(combo_, nullptr, window.Left, window.Top, window.Width, window.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    FitHeight();
  }

  void SetVisible(bool visible) override { Show(combo_, visible); }
  bool Visible() const override { return HasVisibleStyle(combo_); }

  void SetFont(const FontSpec& font) override {
    ApplyFont(font, {combo_});
    FitHeight();
  }

  void SetItems(const std::vector<std::string>& items) override {
    QuietScope quiet(*this);
    SendMessageA(combo_, CB_RESETCONTENT, 0, 0);
    for (const auto& item : items) SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }

  void SetItemIndex(int index) override {
    QuietScope quiet(*this);
    SendMessageA(combo_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }

  int ItemIndex() const override {
    LRESULT index = SendMessageA(combo_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
  }

  std::string Text() const override { return WindowText(combo_); }

  bool Command(HWND, WORD code) override {
    // Typing into an editable combo box changes its value as much as picking an item.
    if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) NotifyChanged();
    if (code == CBN_SETFOCUS) NotifyFocusGained();
    if (code == CBN_KILLFOCUS) NotifyFocusLost();
    return true;
  }

  bool Notify(const NMHDR&, LRESULT&) override { return false; }

 private:
  static Rect WithDropDown(Rect bounds) {
    bounds.Height += kDropDownHeight;
    return bounds;
  }

  // The closed combo box is as high as its font makes it; its selection field
  // is resized so that the closed box has the height of the bounds. The field
  // height is corrected by what is still missing, because Wine adds 2 pixels
  // to the height it is given.
  void FitHeight() {
    const LRESULT itemHeight = SendMessageA(combo_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (itemHeight == CB_ERR) return;
    LRESULT wanted = itemHeight;
    for (int attempt = 0; attempt < 3; ++attempt) {
      RECT r{};
      GetWindowRect(combo_, &r);
      const int difference = bounds_.Height - (r.bottom - r.top);
      if (difference == 0 || wanted + difference <= 0) return;
      wanted += difference;
      SendMessageA(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
    }
  }

  HWND combo_ = nullptr;
  Rect bounds_;
};

class Win32TimePicker : public TimePickerPeer, private ControlPeer {
 public:
  Win32TimePicker(Win32Windowing& windowing, const WidgetParams& params) : ControlPeer(windowing, params) {
    picker_ =
        CreateControl(0, DATETIMEPICK_CLASSA, WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, params.Bounds, params.Visible);
    SetFont(params.Font);
  }

  WindowHandle Handle() const override { return FromHwnd(picker_); }

  void SetBounds(const Rect& bounds) override {
    SetWindowPos(picker_, nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void SetVisible(bool visible) override { Show(picker_, visible); }
  bool Visible() const override { return HasVisibleStyle(picker_); }
  void SetFont(const FontSpec& font) override { ApplyFont(font, {picker_}); }

  void SetTime(const TimeOfDay& time) override {
    QuietScope quiet(*this);
    SYSTEMTIME value{};
    GetLocalTime(&value);  // the picker holds a full date; it shows only the time
    value.wHour = static_cast<WORD>(time.Hour);
    value.wMinute = static_cast<WORD>(time.Minute);
    value.wSecond = static_cast<WORD>(time.Second);
    value.wMilliseconds = 0;
    SendMessageA(picker_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
  }

  TimeOfDay Time() const override {
    SYSTEMTIME value{};
    if (SendMessageA(picker_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) != GDT_VALID) return {};
    return TimeOfDay{value.wHour, value.wMinute, value.wSecond};
  }

  bool Command(HWND, WORD) override { return false; }

  bool Notify(const NMHDR& header, LRESULT&) override {
    if (header.code == DTN_DATETIMECHANGE) NotifyChanged();
    if (header.code == NM_SETFOCUS) NotifyFocusGained();
    if (header.code == NM_KILLFOCUS) NotifyFocusLost();
    return true;
  }

 private:
  HWND picker_ = nullptr;
};

}  // namespace

Win32Widgets::Win32Widgets(Win32Windowing& windowing) : windowing_(windowing) {
  InitCommonControlsOnce();
}

std::unique_ptr<SpinEditPeer> Win32Widgets::CreateSpinEdit(const WidgetParams& params) {
  return std::make_unique<Win32SpinEdit>(windowing_, params);
}

std::unique_ptr<ComboBoxPeer> Win32Widgets::CreateComboBox(const WidgetParams& params, bool editable) {
  return std::make_unique<Win32ComboBox>(windowing_, params, editable);
}

std::unique_ptr<TimePickerPeer> Win32Widgets::CreateTimePicker(const WidgetParams& params) {
  return std::make_unique<Win32TimePicker>(windowing_, params);
}

}  // namespace kelpo
