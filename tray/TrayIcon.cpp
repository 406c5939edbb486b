#include "tray/TrayIcon.h"

#include <algorithm>

#include "framework/ComponentRegistry.h"
#include "framework/Control.h"
#include "framework/Form.h"
#include "tray/OneInstance.h"

namespace kelpo {
namespace {

constexpr std::size_t MaxHintLength = 127;
constexpr std::uint32_t LeaveCheckInterval = 20;

bool IsBalloonCode(std::uint32_t code) {
  return code == ninBalloonHide || code == ninBalloonTimeout || code == ninBalloonUserClick;
}

}  // namespace

// ---- the shared handler window ----

bool TTrayIconHandler::WindowProc(Message& m) {
  switch (m.Msg) {
    case TrayCallbackMessage: {
      // Never default processing; a notification for an icon freed while it
      // waited is dropped. An error of an event handler is shown.
      m.Result = 0;
      TTrayIcon* icon = Find(m.WParam);
      const auto code = static_cast<std::uint32_t>(m.LParam);
      if (icon) Application().Guard([icon, code] { icon->HandleNotification(code); });
      return true;
    }
    case wmDestroy:
    case wmClose:
    case wmQueryEndSession:
    case wmQuit:
    case wmEndSession:
    case wmUserChanged:
    case wmNcDestroy:
      // The hidden window cannot be closed by a close request and never
      // objects to the end of the logon.
      m.Result = 1;
      return true;
    default:
      return false;
  }
}

// ---- the component ----

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner), handler_(TTrayIconHandler::Acquire(owner->Application())) {
  icon_.OnChange = [this] {
    if (!iconChangeQuiet_) UpdateTrayIcon();
  };
  notifyData_.Window = handler_.Handle();
  notifyData_.Id = handler_.Add(*this);
  notifyData_.Flags = nifMessage | nifIcon | nifTip;
  notifyData_.CallbackMessage = TrayCallbackMessage;
  TApplication& application = Application();
  auto self = [](void* data) { return static_cast<TTrayIcon*>(data); };
  try {
    cycleTicker_ =
        std::make_unique<TSimpleTimer>(application, this, [self](void* data) { self(data)->CycleTimerElapsed(); });
    clickDelayTimer_ =
        std::make_unique<TSimpleTimer>(application, this, [self](void* data) { self(data)->ClickTimerElapsed(); });
    leaveTimer_ =
        std::make_unique<TSimpleTimer>(application, this, [self](void* data) { self(data)->LeaveTimerElapsed(); });
    taskbarCreated_ = TaskbarCreatedMessage(application.Services().windowing, application.Services().versionInfo);
    application.Services().windowing.InstallHook(application.Handle(), applicationHook_);
    // An owner whose window exists already is hooked now, others once
    // their layout is read (the window is made then).
    if (TWinControl* window = OwnerWindow(); window && window->HandleAllocated()) HookOwnerWindow();
  } catch (...) {
    // No destructor runs for a component that was not made.
    cycleTicker_.reset();
    clickDelayTimer_.reset();
    leaveTimer_.reset();
    handler_.Remove(notifyData_.Id);
    TTrayIconHandler::Release(handler_);
    throw;
  }
}

TTrayIcon::~TTrayIcon() {
  SetIconVisible(false);
  Windowing& windowing = Application().Services().windowing;
  windowing.RemoveHook(Application().Handle(), applicationHook_);
  if (hookedOwner_) windowing.RemoveHook(hookedOwner_, ownerHook_);
  cycleTicker_.reset();
  clickDelayTimer_.reset();
  leaveTimer_.reset();
  handler_.Remove(notifyData_.Id);
  TTrayIconHandler::Release(handler_);
}

void TTrayIcon::SetIconList(IconImages* list) {
  iconList_ = list;
  SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool cycle) {
  cycleIcons_ = cycle;
  if (cycle) {
    SetIconIndex(0);
    cycleTicker_->StartTimer(cycleInterval_);
  } else {
    cycleTicker_->StopTimer();
  }
}

void TTrayIcon::SetCycleInterval(std::uint32_t milliseconds) {
  cycleInterval_ = milliseconds;
  SetCycleIcons(cycleIcons_);
}

void TTrayIcon::SetHint(const std::string& hint) {
  hint_ = hint.substr(0, MaxHintLength);
  UpdateTrayIcon();
}

void TTrayIcon::SetShowHint(bool show) {
  showHint_ = show;
  UpdateTrayIcon();
}

void TTrayIcon::SetIcon(const TIcon& icon) {
  SetIconImageQuietly(icon.Image());
  UpdateTrayIcon();
}

void TTrayIcon::SetIconImageQuietly(IconImage image) {
  iconChangeQuiet_ = true;
  icon_.SetImage(std::move(image));
  iconChangeQuiet_ = false;
}

void TTrayIcon::SetIconVisible(bool visible) {
  if (visible) {
    AddTrayIcon();
  } else {
    DeleteTrayIcon();
  }
}

void TTrayIcon::SetIconIndex(int index) {
  const int count = iconList_ ? iconList_->Count() : 0;
  if (count > 0) {
    // Kept within the list at both ends: a negative index shows the first picture.
    iconIndex_ = std::clamp(index, 0, count - 1);
    SetIconImageQuietly(iconList_->Image(iconIndex_));
  } else {
    iconIndex_ = 0;
  }
  UpdateTrayIcon();
}

void TTrayIcon::SetWantEnterExitEvents(bool want) {
  wantEnterExitEvents_ = want;
  if (want) {
    leaveTimer_->StartTimer(LeaveCheckInterval);
  } else {
    leaveTimer_->StopTimer();
  }
}

void TTrayIcon::LayoutLoaded() {
  TComponent::LayoutLoaded();
  if (OwnerWindow()) {
    HookOwnerWindow();
    bool showMainForm = true;
    if (OnStartup) OnStartup(this, showMainForm);
    if (!showMainForm) HideMainWindow();
  }
  UpdateTrayIcon();
  SetIconVisible(iconVisible_);
  SetCycleIcons(cycleIcons_);
  SetWantEnterExitEvents(wantEnterExitEvents_);
}

void TTrayIcon::ComponentRemoved(TComponent* component) {
  if (!component) return;
  if (iconList_ && dynamic_cast<IconImages*>(component) == iconList_) SetIconList(nullptr);
  if (popupMenu_ && component == popupMenu_) SetPopupMenu(nullptr);
}

// ---- shell calls ----

void TTrayIcon::PrepareIconData() {
  notifyData_.Icon = icon_.Empty() ? nullptr : &icon_.Image();
  notifyData_.Tip.fill('\0');
  if (!hint_.empty() && showHint_) {
    const std::size_t length = std::min(hint_.size(), MaxHintLength);
    std::copy_n(hint_.begin(), length, notifyData_.Tip.begin());
  }
}

bool TTrayIcon::CallShell(NotifyIconCommand command) {
  PrepareIconData();
  return Application().Services().notifyIcons.NotifyIcon(command, notifyData_);
}

bool TTrayIcon::AddTrayIcon() {
  iconVisible_ = true;
  return CallShell(NotifyIconCommand::Add);
}

bool TTrayIcon::DeleteTrayIcon() {
  iconVisible_ = false;
  return CallShell(NotifyIconCommand::Delete);
}

bool TTrayIcon::UpdateTrayIcon() {
  // While the icon is not in the notification area the shell refuses this.
  return CallShell(NotifyIconCommand::Modify);
}

void TTrayIcon::TaskbarCreated() {
  if (iconVisible_) AddTrayIcon();
}

void TTrayIcon::ApplicationMinimized() {
  if (MinimizeToTray) DoMinimize();
}

// ---- the main window and the hooks ----

std::uint32_t TaskbarCreatedMessage(Windowing& windowing, VersionInfo& versionInfo) {
  constexpr std::uint32_t kFirstAnnouncingVersion = (4u << 16) | 71u;
  const auto version = FixedVersionOf(versionInfo, "comctl32.dll");
  if (!version || version->FileVersionMS < kFirstAnnouncingVersion) return 0;
  // The system answers the same id for the same name, every time.
  return windowing.RegisterWindowMessage("TaskbarCreated");
}

TWinControl* TTrayIcon::OwnerWindow() const {
  return dynamic_cast<TWinControl*>(Owner());
}

void TTrayIcon::HookOwnerWindow() {
  TWinControl* owner = OwnerWindow();
  if (!owner || hookedOwner_) return;
  owner->CreateHandle();
  if (Application().Services().windowing.InstallHook(owner->Handle(), ownerHook_)) hookedOwner_ = owner->Handle();
}

void TTrayIcon::ShowMainWindow() {
  TForm* main = Application().MainForm();
  if (!OwnerWindow() || !main) return;
  Windowing& windowing = Application().Services().windowing;
  windowing.ShowWindow(Application().Handle(), ShowCommand::Restore);
  main->SetVisible(true);
  if (main->HandleAllocated() && windowing.IsIconic(main->Handle()))
    windowing.ShowWindow(main->Handle(), ShowCommand::Restore);
  windowing.SetForegroundWindow(Application().Handle());
  // The application window hands the activation on to the main window.
  main->BringToFront();
}

void TTrayIcon::HideMainWindow() {
  TForm* main = Application().MainForm();
  if (!OwnerWindow() || !main) return;
  main->SetVisible(false);
  Application().Services().windowing.ShowWindow(Application().Handle(), ShowCommand::Hide);
}

std::intptr_t TTrayIcon::ApplicationHook::HookProc(WindowHandle, Message& m, const PreviousWindowProc& previous) {
  if (m.Msg == wmSize && m.WParam == sizeMinimized) icon_.Application().Guard([this] { icon_.ApplicationMinimized(); });
  if (icon_.taskbarCreated_ && m.Msg == icon_.taskbarCreated_) icon_.TaskbarCreated();
  return previous(m);
}

std::intptr_t TTrayIcon::OwnerHook::HookProc(WindowHandle window, Message& m, const PreviousWindowProc& previous) {
  if (m.Msg == wmShowWindow && m.WParam == 1 && m.LParam == 0) {
    // A shown main window brings the application window, and with it the
    // taskbar button, back and comes to the foreground.
    Windowing& windowing = icon_.Application().Services().windowing;
    const WindowHandle application = icon_.Application().Handle();
    windowing.ShowWindow(application, ShowCommand::Restore);
    windowing.SetForegroundWindow(application);
    windowing.SetForegroundWindow(window);
  }
  const std::uint32_t state = m.Msg == wmActivate ? m.WParam & 0xFFFF : waInactive;
  TApplication& application = icon_.Application();
  if ((state == waActive || state == waClickActive) && application.ActiveControl()) {
    // Focus back to the control the user left, unless the activation comes
    // from the window that holds it.
    const TControl* control = application.ActiveControl();
    const WindowHandle holder = control->Parent() ? control->Parent()->Handle() : application.ActiveControlWindow();
    if (holder != static_cast<WindowHandle>(m.LParam))
      application.Services().windowing.SetFocus(application.ActiveControlWindow());
  }
  return previous(m);
}

// ---- notifications ----

Point TTrayIcon::CursorOrOrigin() const {
  return Application().Services().windowing.CursorPos().value_or(Point{});
}

TShiftState TTrayIcon::ModifierShift() const {
  const ModifierKeys keys = Application().Services().notifyIcons.AsyncModifierKeys();
  return static_cast<TShiftState>((keys.Shift ? ssShift : 0) | (keys.Alt ? ssAlt : 0) | (keys.Ctrl ? ssCtrl : 0));
}

void TTrayIcon::HandleNotification(std::uint32_t code) {
  if (IsBalloonCode(code)) {
    const TNotifyEvent& event = code == ninBalloonHide      ? OnBalloonHintHide
                                : code == ninBalloonTimeout ? OnBalloonHintTimeout
                                                            : OnBalloonHintClick;
    if (event) event(this);
    return;
  }
  if (!Enabled) return;
  std::weak_ptr<char> life = life_;
  const Point at = CursorOrOrigin();
  const TShiftState shift = ModifierShift();
  switch (code) {
    case wmMouseMove:
      if (wantEnterExitEvents_ && mouseOutside_) {
        DoMouseEnter();
        if (life.expired()) return;
        mouseOutside_ = false;
      }
      DoMouseMove(shift, at.X, at.Y);
      if (life.expired()) return;
      lastCursorPos_ = at;
      break;
    case wmLButtonDown:
      if (OnDblClick) clickDelayTimer_->StartTimer(Application().Services().notifyIcons.DoubleClickTime());
      DoMouseDown(TMouseButton::mbLeft, shift | ssLeft, at.X, at.Y);
      if (life.expired()) return;
      leftButtonDown_ = true;
      if (LeftPopup) ShowTrayMenu();
      break;
    case wmLButtonUp:
      if (leftButtonDown_) clickPending_ = true;
      if (leftButtonDown_ && !clickDelayTimer_->Running()) {
        leftButtonDown_ = false;
        clickPending_ = false;
        DoClick();
        if (life.expired()) return;
      }
      leftButtonDown_ = false;
      DoMouseUp(TMouseButton::mbLeft, shift | ssLeft, at.X, at.Y);
      break;
    case wmLButtonDblClk:
      clickPending_ = false;
      doubleClickSeen_ = true;
      DoDblClick();
      if (life.expired()) return;
      if (popupMenu_ && popupMenu_->AutoPopup && !LeftPopup) {
        if (TMenuItem* item = popupMenu_->DefaultItem()) item->Click();
      }
      break;
    case wmRButtonDown:
      DoMouseDown(TMouseButton::mbRight, shift | ssRight, at.X, at.Y);
      if (life.expired()) return;
      ShowTrayMenu();
      break;
    case wmRButtonUp:
      DoMouseUp(TMouseButton::mbRight, shift | ssRight, at.X, at.Y);
      break;
    case wmMButtonDown:
      DoMouseDown(TMouseButton::mbMiddle, shift | ssMiddle, at.X, at.Y);
      break;
    case wmMButtonUp:
      DoMouseUp(TMouseButton::mbMiddle, shift | ssMiddle, at.X, at.Y);
      break;
    default:
      // Right and middle double clicks and the rest.
      break;
  }
}

void TTrayIcon::ShowTrayMenu() {
  if (!popupMenu_ || !popupMenu_->AutoPopup) return;
  Platform& services = Application().Services();
  const std::optional<Point> at = services.windowing.CursorPos();
  if (!at) return;
  // The menu closes as it should when the user clicks elsewhere only if the
  // program is in the foreground.
  services.windowing.SetForegroundWindow(Application().Handle());
  std::weak_ptr<char> life = life_;
  const bool running = services.windowing.ProcessMessages();
  if (life.expired() || !running || !popupMenu_) return;
  // Left-aligned at the cursor, tracking the right button, whatever the
  // menu's own alignment.
  popupMenu_->PopupComponent = this;
  popupMenu_->Popup(at->X, at->Y, tpmLeftAlign | tpmRightButton);
  if (life.expired()) return;
  // A message to the owner makes the menu's closing take effect at once.
  if (auto* owner = dynamic_cast<TWinControl*>(Owner()); owner && owner->HandleAllocated())
    services.windowing.PostMessage(owner->Handle(), wmNull, 0, 0);
}

// ---- timers ----

void TTrayIcon::ClickTimerElapsed() {
  clickDelayTimer_->StopTimer();
  if (!doubleClickSeen_ && clickPending_) {
    clickPending_ = false;
    std::weak_ptr<char> life = life_;
    DoClick();
    if (life.expired()) return;
  }
  doubleClickSeen_ = false;
}

int TTrayIcon::NextCycleIndex() const {
  const int count = iconList_ ? iconList_->Count() : 0;
  return iconIndex_ < count - 1 ? iconIndex_ + 1 : 0;
}

void TTrayIcon::CycleTimerElapsed() {
  if (!iconList_ || iconList_->Count() == 0) return;
  SetIconImageQuietly(iconList_->Image(std::clamp(iconIndex_, 0, iconList_->Count() - 1)));
  std::weak_ptr<char> life = life_;
  DoCycle();
  if (life.expired() || !iconList_) return;
  SetIconIndex(NextCycleIndex());
}

void TTrayIcon::LeaveTimerElapsed() {
  if (mouseOutside_) return;
  const std::optional<Point> at = Application().Services().windowing.CursorPos();
  if (!at || *at == lastCursorPos_) return;
  mouseOutside_ = true;
  DoMouseExit();
}

// ---- event raisers ----

void TTrayIcon::DoClick() {
  if (OnClick) OnClick(this);
}

void TTrayIcon::DoDblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TTrayIcon::DoCycle() {
  if (OnCycle) OnCycle(this, NextCycleIndex());
}

void TTrayIcon::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TTrayIcon::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TTrayIcon::DoMouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TTrayIcon::DoMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TTrayIcon::DoMouseExit() {
  if (OnMouseExit) OnMouseExit(this);
}

void TTrayIcon::DoMinimize() {
  std::weak_ptr<char> life = life_;
  HideMainWindow();
  if (life.expired()) return;
  SetIconVisible(true);
}

// ---- layout properties ----

const PropertyTable& TTrayIcon::StaticProperties() {
  // The layout only stores values; LayoutLoaded applies them once all are read.
  static const PropertyTable table(
      TComponent::StaticProperties(),
      {
          Property("DesignPreview", &TTrayIcon::DesignPreview, false),
          Property<TTrayIcon>(
              "IconList", &TTrayIcon::IconList, [](TTrayIcon& icon, IconImages* list) { icon.iconList_ = list; },
              nullptr),
          Property<TTrayIcon>(
              "CycleIcons", &TTrayIcon::CycleIcons, [](TTrayIcon& icon, bool cycle) { icon.cycleIcons_ = cycle; },
              false),
          Property<TTrayIcon>(
              "CycleInterval", &TTrayIcon::CycleInterval,
              [](TTrayIcon& icon, std::uint32_t milliseconds) { icon.cycleInterval_ = milliseconds; }, 0u),
          Property("Enabled", &TTrayIcon::Enabled, true),
          Property<TTrayIcon>(
              "Hint", &TTrayIcon::Hint,
              [](TTrayIcon& icon, std::string hint) { icon.hint_ = hint.substr(0, MaxHintLength); }, std::string()),
          Property<TTrayIcon>(
              "ShowHint", &TTrayIcon::ShowHint, [](TTrayIcon& icon, bool show) { icon.showHint_ = show; }, true),
          CustomProperty<TTrayIcon>("Icon.Data",
                                    [](TTrayIcon& icon, const PropertyReading& reading) {
                                      icon.SetIconImageQuietly(ReadIconFile(LayoutBytes(reading)));
                                    }),
          Property<TTrayIcon>(
              "IconVisible", &TTrayIcon::IconVisible,
              [](TTrayIcon& icon, bool visible) { icon.iconVisible_ = visible; }, false),
          Property<TTrayIcon>(
              "IconIndex", &TTrayIcon::IconIndex, [](TTrayIcon& icon, int index) { icon.iconIndex_ = index; }, 0),
          Property("PopupMenu", &TTrayIcon::PopupMenu, &TTrayIcon::SetPopupMenu, nullptr),
          Property("LeftPopup", &TTrayIcon::LeftPopup, false),
          Property<TTrayIcon>(
              "WantEnterExitEvents", &TTrayIcon::WantEnterExitEvents,
              [](TTrayIcon& icon, bool want) { icon.wantEnterExitEvents_ = want; }, false),
          Property("MinimizeToTray", &TTrayIcon::MinimizeToTray, false),
          Property("OnClick", &TTrayIcon::OnClick),
          Property("OnDblClick", &TTrayIcon::OnDblClick),
          Property("OnMouseDown", &TTrayIcon::OnMouseDown),
          Property("OnMouseUp", &TTrayIcon::OnMouseUp),
          Property("OnMouseMove", &TTrayIcon::OnMouseMove),
          Property("OnMouseEnter", &TTrayIcon::OnMouseEnter),
          Property("OnMouseExit", &TTrayIcon::OnMouseExit),
          Property("OnCycle", &TTrayIcon::OnCycle),
          Property("OnBalloonHintClick", &TTrayIcon::OnBalloonHintClick),
          Property("OnBalloonHintHide", &TTrayIcon::OnBalloonHintHide),
          Property("OnBalloonHintTimeout", &TTrayIcon::OnBalloonHintTimeout),
          Property("OnStartup", &TTrayIcon::OnStartup),
      });
  return table;
}

void RegisterTrayComponents() {
  ComponentRegistry::Instance().Register<TTrayIcon>("TTrayIcon");
  ComponentRegistry::Instance().Register<TOneInstance>("TOneInstance");
}

}  // namespace kelpo
