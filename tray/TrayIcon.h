#pragma once
// TTrayIcon puts one icon into the notification area and turns the shell's
// mouse notifications for it into component events: clicks told apart from
// double clicks by the system's double-click time, the tray menu popped up at
// the cursor, enter and leave, icon cycling through an image list, and the
// balloon events. One hidden window per application, owned by the counted
// TTrayIconHandler, receives the notifications of every tray icon and finds
// the component by the icon's id, a number from the handler's table.
//
// The component hooks the application window's procedure (minimise to the
// tray, the shell's re-creation of its taskbar) and its owner window's (a
// shown main window brings the application window, and with it the taskbar
// button, back); ShowMainWindow and HideMainWindow show and hide the main
// window together with its taskbar button.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/Icon.h"
#include "framework/Menus.h"
#include "platform/NotifyIcons.h"
#include "platform/VersionInfo.h"
#include "tray/SharedHandler.h"
#include "tray/SimpleTimer.h"

namespace kelpo {

class TWinControl;

// Modifier keys and buttons of a mouse event.
using TShiftState = std::uint8_t;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;

using TTrayMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TTrayMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TCycleEvent = std::function<void(TComponent* sender, int nextIndex)>;
using TStartupEvent = std::function<void(TComponent* sender, bool& showMainForm)>;

// The message by which the shell reports on the icons (the first user message plus 0x400).
constexpr std::uint32_t TrayCallbackMessage = wmUser + 0x400;

class TTrayIcon;

class TTrayIconHandler : public TSharedHandler<TTrayIconHandler, TTrayIcon> {
 public:
  explicit TTrayIconHandler(TApplication& application) : TSharedHandler(application, "TTrayIconHandler") {}

 private:
  bool WindowProc(Message& m) override;
};

// The message id by which the shell announces that its taskbar was created
// again. Shells announce it from common controls 4.71 on; with an older
// "comctl32.dll" (or none that can be read) the id is 0 and no message counts
// as the taskbar's re-creation.
std::uint32_t TaskbarCreatedMessage(Windowing& windowing, VersionInfo& versionInfo);

class TTrayIcon : public TComponent {
 public:
  explicit TTrayIcon(TComponent* owner);
  ~TTrayIcon() override;

  // ---- published properties, in their declared order ----
  bool DesignPreview = false;
  IconImages* IconList() const { return iconList_; }
  // Then IconIndex := 0.
  void SetIconList(IconImages* list);
  bool CycleIcons() const { return cycleIcons_; }
  // True: IconIndex := 0 and the cycle timer starts with CycleInterval; false stops it.
  void SetCycleIcons(bool cycle);
  std::uint32_t CycleInterval() const { return cycleInterval_; }
  // Restarts the cycle timer when cycling.
  void SetCycleInterval(std::uint32_t milliseconds);
  // False: every mouse notification of the shell is ignored (the balloon ones are not).
  bool Enabled = true;
  const std::string& Hint() const { return hint_; }
  // Keeps the first 127 characters, then updates the icon.
  void SetHint(const std::string& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  // The owned icon; a change of its picture updates the shell's icon.
  TIcon& Icon() { return icon_; }
  const TIcon& Icon() const { return icon_; }
  // Copies the picture, then updates the shell's icon once.
  void SetIcon(const TIcon& icon);
  bool IconVisible() const { return iconVisible_; }
  // True adds the icon to the notification area, false deletes it.
  void SetIconVisible(bool visible);
  int IconIndex() const { return iconIndex_; }
  // With a non-empty image list: the index, kept within the list, and its
  // picture shown; otherwise 0. Then updates the icon.
  void SetIconIndex(int index);
  // Pops up at the cursor for the right button (and with LeftPopup the
  // left), when its AutoPopup is set; a double click without LeftPopup
  // performs its default item.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }
  // The left button pops up the menu as well (the right button always does).
  bool LeftPopup = false;
  bool WantEnterExitEvents() const { return wantEnterExitEvents_; }
  // Runs the 20 ms leave check that produces OnMouseEnter and OnMouseExit.
  void SetWantEnterExitEvents(bool want);
  // Minimising the application hides the main window and shows the icon.
  bool MinimizeToTray = false;

  // ---- published events, in their declared order; the sender is the tray icon ----
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TTrayMouseEvent OnMouseDown;
  TTrayMouseEvent OnMouseUp;
  TTrayMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;
  TCycleEvent OnCycle;
  TNotifyEvent OnBalloonHintClick;
  TNotifyEvent OnBalloonHintHide;
  TNotifyEvent OnBalloonHintTimeout;
  TStartupEvent OnStartup;

  // The record of every shell call, as the last call prepared it.
  const NotifyIconData& NotifyData() const { return notifyData_; }

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }
  // Raises OnStartup for a windowed owner, then applies what the layout set:
  // the icon, IconVisible, CycleIcons and WantEnterExitEvents.
  void LayoutLoaded() override;
  // A component of the owner is going away: the image list or the menu is let go.
  void ComponentRemoved(TComponent* component);

  // The shell calls; true when the shell accepted the call.
  virtual bool AddTrayIcon();
  virtual bool DeleteTrayIcon();
  virtual bool UpdateTrayIcon();

  // Pops up PopupMenu at the cursor, when there is one with AutoPopup and the
  // cursor can be read.
  void ShowTrayMenu();
  // Shows the main window with its taskbar button (the application window),
  // brought to the foreground; and hides both. Nothing happens when the
  // owner is no window or the application has no main window yet.
  virtual void ShowMainWindow();
  virtual void HideMainWindow();
  // The shell's taskbar was created again (a shell restart): the icon comes
  // back when it is meant to be visible.
  void TaskbarCreated();
  // The application was minimised: with MinimizeToTray, DoMinimize.
  void ApplicationMinimized();

 protected:
  virtual void DoClick();
  virtual void DoDblClick();
  // Raises OnCycle with the index this step moves to.
  virtual void DoCycle();
  virtual void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DoMouseMove(TShiftState shift, int x, int y);
  virtual void DoMouseEnter();
  virtual void DoMouseExit();
  // HideMainWindow, then IconVisible := true.
  virtual void DoMinimize();

 private:
  friend class TTrayIconHandler;
  // One notification of the shell for this icon.
  void HandleNotification(std::uint32_t code);
  void PrepareIconData();
  bool CallShell(NotifyIconCommand command);
  // Changes the owned icon's picture without its change notification.
  void SetIconImageQuietly(IconImage image);
  int NextCycleIndex() const;
  void ClickTimerElapsed();
  void CycleTimerElapsed();
  void LeaveTimerElapsed();
  Point CursorOrOrigin() const;
  TShiftState ModifierShift() const;

  class ApplicationHook : public WindowHook {
   public:
    explicit ApplicationHook(TTrayIcon& icon) : icon_(icon) {}
    std::intptr_t HookProc(WindowHandle window, Message& m, const PreviousWindowProc& previous) override;

   private:
    TTrayIcon& icon_;
  };
  class OwnerHook : public WindowHook {
   public:
    explicit OwnerHook(TTrayIcon& icon) : icon_(icon) {}
    std::intptr_t HookProc(WindowHandle window, Message& m, const PreviousWindowProc& previous) override;

   private:
    TTrayIcon& icon_;
  };
  // The owner as a window, when it is one.
  TWinControl* OwnerWindow() const;
  void HookOwnerWindow();

  TTrayIconHandler& handler_;
  ApplicationHook applicationHook_{*this};
  OwnerHook ownerHook_{*this};
  WindowHandle hookedOwner_ = 0;
  std::uint32_t taskbarCreated_ = 0;
  // Expires with the component: events may free it, and the code that raised
  // them must then not go on.
  std::shared_ptr<char> life_ = std::make_shared<char>();

  IconImages* iconList_ = nullptr;
  bool cycleIcons_ = false;
  std::uint32_t cycleInterval_ = 0;
  std::string hint_;
  bool showHint_ = true;
  TIcon icon_;
  bool iconChangeQuiet_ = false;
  bool iconVisible_ = false;
  int iconIndex_ = 0;
  TPopupMenu* popupMenu_ = nullptr;
  bool wantEnterExitEvents_ = false;

  NotifyIconData notifyData_;
  bool leftButtonDown_ = false;
  bool clickPending_ = false;
  bool doubleClickSeen_ = false;
  bool mouseOutside_ = true;
  Point lastCursorPos_;
  std::unique_ptr<TSimpleTimer> cycleTicker_;
  std::unique_ptr<TSimpleTimer> clickDelayTimer_;
  std::unique_ptr<TSimpleTimer> leaveTimer_;
};

// Makes TTrayIcon and TOneInstance known to layouts.
void RegisterTrayComponents();

}  // namespace kelpo
