// The tray icon component against the simulated notification area: the shell
// calls, the notifications turned into events, clicks told apart from double
// clicks, the menu, cycling, enter and leave, and the shared hidden window.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Resources.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tray/TrayIcon.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

IconImage Solid(std::uint32_t pixel) {
  IconImage image;
  image.Width = image.Height = 16;
  image.Pixels.assign(256, pixel);
  return image;
}

class FakeImages : public IconImages {
 public:
  explicit FakeImages(int count) {
    for (int i = 0; i < count; ++i) images.push_back(Solid(0xFF000000u | static_cast<std::uint32_t>(i + 1)));
  }
  int Count() const override { return static_cast<int>(images.size()); }
  IconImage Image(int index) const override { return images.at(static_cast<std::size_t>(index)); }
  std::vector<IconImage> images;
};

// A popup menu with one default item; the simulated menus record where it shows.
class TrayMenu : public TPopupMenu {
 public:
  TrayMenu(TComponent* owner, SimMenus& menus) : TPopupMenu(owner), menus_(menus) {
    auto* open = new TMenuItem(owner);
    open->Caption = "&Open";
    open->Default = true;
    open->OnClick = [this](TComponent*) {
      if (log) log->push_back("default item");
    };
    Items().Add(open);
    OnPopup = [this](TComponent*) {
      if (onPopup) onPopup();
    };
  }
  // Where each showing of this menu's items was, with its flags.
  std::vector<Point> Popups() const {
    std::vector<Point> at;
    for (const SimMenuCall& call : menus_.Shown()) at.push_back(call.At);
    return at;
  }
  std::uint32_t LastFlags() const { return menus_.Shown().back().Flags; }
  std::vector<std::string>* log = nullptr;
  std::function<void()> onPopup;

 private:
  SimMenus& menus_;
};

// Records the main window requests, which belong to the window hooks.
class RecordingTrayIcon : public TTrayIcon {
 public:
  using TTrayIcon::TTrayIcon;
  void ShowMainWindow() override { log.push_back("show main window"); }
  void HideMainWindow() override { log.push_back("hide main window"); }
  std::vector<std::string> log;
};

class TrayIcon : public ::testing::Test {
 protected:
  RecordingTrayIcon& NewIcon(TComponent* iconOwner = nullptr) {
    return *new RecordingTrayIcon(iconOwner ? iconOwner : owner.get());
  }
  RecordingTrayIcon& VisibleIcon() {
    RecordingTrayIcon& icon = NewIcon();
    icon.SetIconVisible(true);
    return icon;
  }
  TrayMenu& NewMenu() { return *new TrayMenu(owner.get(), h.sim.menus); }
  SimNotifyIcons& Area() { return h.sim.notifyIcons; }
  const SimNotifyIcon* Shown(const TTrayIcon& icon) {
    return Area().Find(icon.NotifyData().Window, icon.NotifyData().Id);
  }
  WindowHandle HandlerWindow() const { return h.sim.windowing.FindWindow("TTrayIconHandler"); }
  // The shell reports a notification code; the program's loop dispatches it.
  void Deliver(const TTrayIcon& icon, std::uint32_t code) {
    ASSERT_TRUE(Area().Notify(icon.NotifyData().Window, icon.NotifyData().Id, code));
    h.sim.windowing.ProcessMessages();
  }
  void Click(const TTrayIcon& icon) {
    ASSERT_TRUE(Area().Click(icon.NotifyData().Window, icon.NotifyData().Id));
    h.sim.windowing.ProcessMessages();
  }
  void DoubleClick(const TTrayIcon& icon) {
    ASSERT_TRUE(Area().DoubleClick(icon.NotifyData().Window, icon.NotifyData().Id));
    h.sim.windowing.ProcessMessages();
  }
  TNotifyEvent Logs(const std::string& what) {
    return [this, what](TComponent*) { events.push_back(what); };
  }

  FrameworkHarness h;
  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(*h.app);
  std::vector<std::string> events;
};

TEST_F(TrayIcon, StartsWithItsDefaultsAndAFilledRecordButNoIcon) {
  TTrayIcon& icon = NewIcon();
  EXPECT_FALSE(icon.DesignPreview);
  EXPECT_EQ(icon.IconList(), nullptr);
  EXPECT_FALSE(icon.CycleIcons());
  EXPECT_EQ(icon.CycleInterval(), 0u);
  EXPECT_TRUE(icon.Enabled);
  EXPECT_EQ(icon.Hint(), "");
  EXPECT_TRUE(icon.ShowHint());
  EXPECT_TRUE(icon.Icon().Empty());
  EXPECT_FALSE(icon.IconVisible());
  EXPECT_EQ(icon.IconIndex(), 0);
  EXPECT_EQ(icon.PopupMenu(), nullptr);
  EXPECT_FALSE(icon.LeftPopup);
  EXPECT_FALSE(icon.WantEnterExitEvents());
  EXPECT_FALSE(icon.MinimizeToTray);

  const NotifyIconData& data = icon.NotifyData();
  EXPECT_EQ(data.Window, HandlerWindow());
  EXPECT_NE(data.Id, 0u);
  EXPECT_EQ(data.Flags, 7u);
  EXPECT_EQ(data.CallbackMessage, 0x800u);
  EXPECT_THAT(Area().Calls(), IsEmpty()) << "no icon is added at creation";

  TTrayIcon& second = NewIcon();
  EXPECT_NE(second.NotifyData().Id, data.Id) << "each live icon has its own id";
}

TEST_F(TrayIcon, IconVisibleAddsAndDeletesTheIconWithItsPictureAndTip) {
  TTrayIcon& icon = NewIcon();
  icon.Icon().LoadFromIconFile(FindResource("TrayIcon.ico"));
  icon.SetHint("Kelpo");
  EXPECT_FALSE(icon.UpdateTrayIcon()) << "the shell refuses to change an absent icon";
  EXPECT_EQ(Shown(icon), nullptr);

  icon.SetIconVisible(true);
  EXPECT_TRUE(icon.IconVisible());
  const SimNotifyIcon* shown = Shown(icon);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->CallbackMessage, TrayCallbackMessage);
  EXPECT_EQ(shown->Tip, "Kelpo");
  EXPECT_EQ(shown->Icon, icon.Icon().Image());
  EXPECT_FALSE(icon.AddTrayIcon()) << "an icon is added once";

  // A later change of the owned icon's picture reaches the shell at once.
  Area().ClearCalls();
  icon.Icon().SetImage(Solid(0xFF123456));
  ASSERT_EQ(Area().Calls().size(), 1u);
  EXPECT_EQ(Area().Calls()[0].Command, NotifyIconCommand::Modify);
  EXPECT_EQ(Shown(icon)->Icon, Solid(0xFF123456));
  // Assigning a picture updates once.
  TIcon other;
  other.SetImage(Solid(0xFF654321));
  icon.SetIcon(other);
  EXPECT_EQ(Area().Calls().size(), 2u);
  EXPECT_EQ(Shown(icon)->Icon, Solid(0xFF654321));

  icon.SetIconVisible(false);
  EXPECT_FALSE(icon.IconVisible());
  EXPECT_EQ(Shown(icon), nullptr);
  icon.SetIconVisible(true);
  delete &icon;
  EXPECT_THAT(Area().Icons(), IsEmpty()) << "the icon leaves with its component";
}

TEST_F(TrayIcon, TheTooltipIsTheHintUpTo127CharactersWhenShown) {
  struct Case {
    std::string hint;
    bool showHint;
    std::string tip;
  } cases[] = {
      {std::string(200, 'h'), true, std::string(127, 'h')},
      {"Kelpo", true, "Kelpo"},
      {"Kelpo", false, ""},
      {"", true, ""},
  };
  TTrayIcon& icon = VisibleIcon();
  for (const Case& c : cases) {
    icon.SetHint(c.hint);
    icon.SetShowHint(c.showHint);
    EXPECT_EQ(icon.Hint(), c.hint.substr(0, 127));
    EXPECT_EQ(Shown(icon)->Tip, c.tip) << c.hint.size() << " characters, shown " << c.showHint;
    EXPECT_EQ(icon.NotifyData().Tip[c.tip.size()], '\0');
  }
}

TEST_F(TrayIcon, WithOnDblClickAClickWaitsOneDoubleClickTime) {
  TTrayIcon& icon = VisibleIcon();
  icon.OnClick = Logs("click");
  icon.OnDblClick = Logs("double click");
  Area().SetDoubleClickTime(400);

  // A double click raises OnDblClick alone, also once the delay has passed.
  DoubleClick(icon);
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_THAT(events, ElementsAre("double click"));

  // A single click raises OnClick the system's double-click time after the press.
  events.clear();
  Click(icon);
  h.sim.windowing.AdvanceBy(399);
  EXPECT_THAT(events, IsEmpty());
  h.sim.windowing.AdvanceBy(1);
  EXPECT_THAT(events, ElementsAre("click"));
  h.sim.windowing.AdvanceBy(2000);
  EXPECT_THAT(events, ElementsAre("click")) << "the delay timer stops after it fired";
}

TEST_F(TrayIcon, WithoutOnDblClickAClickRaisesOnClickOnTheButtonUp) {
  TTrayIcon& icon = VisibleIcon();
  icon.OnClick = Logs("click");
  icon.OnMouseUp = [&](TComponent*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
  Deliver(icon, wmLButtonDown);
  EXPECT_THAT(events, IsEmpty());
  Deliver(icon, wmLButtonUp);
  EXPECT_THAT(events, ElementsAre("click", "up"));
  Deliver(icon, wmLButtonUp);
  EXPECT_THAT(events, ElementsAre("click", "up", "up")) << "a release without a press is no click";
}

TEST_F(TrayIcon, MouseEventsCarryTheButtonTheModifierKeysAndTheCursor) {
  TTrayIcon& icon = VisibleIcon();
  struct Seen {
    std::string kind;
    TMouseButton button;
    TShiftState shift;
    Point at;
  };
  std::vector<Seen> seen;
  icon.OnMouseDown = [&](TComponent* sender, TMouseButton button, TShiftState shift, int x, int y) {
    EXPECT_EQ(sender, &icon);
    seen.push_back({"down", button, shift, {x, y}});
  };
  icon.OnMouseUp = [&](TComponent*, TMouseButton button, TShiftState shift, int x, int y) {
    seen.push_back({"up", button, shift, {x, y}});
  };
  icon.OnMouseMove = [&](TComponent*, TShiftState shift, int x, int y) {
    seen.push_back({"move", TMouseButton::mbLeft, shift, {x, y}});
  };
  Area().SetModifierKeys(ModifierKeys{true, false, true});
  h.sim.windowing.SetCursorPos(Point{1210, 1005});
  struct Case {
    std::uint32_t code;
    std::string kind;
    TMouseButton button;
    TShiftState buttonFlag;
  } cases[] = {
      {wmMouseMove, "move", TMouseButton::mbLeft, 0},        {wmLButtonDown, "down", TMouseButton::mbLeft, ssLeft},
      {wmLButtonUp, "up", TMouseButton::mbLeft, ssLeft},     {wmRButtonDown, "down", TMouseButton::mbRight, ssRight},
      {wmRButtonUp, "up", TMouseButton::mbRight, ssRight},   {wmMButtonDown, "down", TMouseButton::mbMiddle, ssMiddle},
      {wmMButtonUp, "up", TMouseButton::mbMiddle, ssMiddle},
  };
  for (const Case& c : cases) {
    seen.clear();
    Deliver(icon, c.code);
    ASSERT_EQ(seen.size(), 1u) << "code " << c.code;
    EXPECT_EQ(seen[0].kind, c.kind);
    EXPECT_EQ(seen[0].button, c.button);
    EXPECT_EQ(seen[0].shift, ssShift | ssCtrl | c.buttonFlag) << "code " << c.code;
    EXPECT_EQ(seen[0].at, (Point{1210, 1005}));
  }
  seen.clear();
  Deliver(icon, 0x206);  // a right double click
  Deliver(icon, 0x209);  // a middle double click
  EXPECT_TRUE(seen.empty());
}

TEST_F(TrayIcon, BalloonCodesRaiseTheirEventsEvenWhenDisabled) {
  TTrayIcon& icon = VisibleIcon();
  icon.OnBalloonHintHide = Logs("hidden");
  icon.OnBalloonHintTimeout = Logs("timed out");
  icon.OnBalloonHintClick = Logs("clicked");
  icon.OnClick = Logs("click");
  icon.OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int, int) { events.push_back("down"); };
  icon.OnMouseMove = [&](TComponent*, TShiftState, int, int) { events.push_back("move"); };
  TrayMenu& menu = NewMenu();
  icon.SetPopupMenu(&menu);
  icon.LeftPopup = true;
  icon.Enabled = false;
  for (std::uint32_t code : {wmMouseMove, wmLButtonDown, wmLButtonUp, wmLButtonDblClk, wmRButtonDown, wmRButtonUp,
                             wmMButtonDown, wmMButtonUp})
    Deliver(icon, code);
  EXPECT_THAT(events, IsEmpty()) << "mouse notifications are dropped";
  EXPECT_THAT(menu.Popups(), IsEmpty()) << "the menu does not open";
  for (std::uint32_t code : {ninBalloonHide, ninBalloonTimeout, ninBalloonUserClick, ninBalloonShow})
    Deliver(icon, code);
  EXPECT_THAT(events, ElementsAre("hidden", "timed out", "clicked"));
}

TEST_F(TrayIcon, TheMenuPopsUpAtTheCursorForTheRightButtonAndWithLeftPopupTheLeft) {
  TTrayIcon& icon = VisibleIcon();
  TrayMenu& menu = NewMenu();
  icon.SetPopupMenu(&menu);
  h.sim.windowing.SetCursorPos(Point{1100, 990});
  Deliver(icon, wmLButtonDown);
  EXPECT_THAT(menu.Popups(), IsEmpty());
  Deliver(icon, wmRButtonDown);
  EXPECT_THAT(menu.Popups(), ElementsAre(Point{1100, 990}));
  EXPECT_EQ(menu.PopupComponent, &icon);
  EXPECT_EQ(menu.LastFlags(), tpmLeftAlign | tpmRightButton) << "left-aligned, tracking the right button";
  EXPECT_EQ(h.sim.windowing.Foreground(), h.app->Handle()) << "the program comes to the foreground first";

  icon.LeftPopup = true;
  Deliver(icon, wmLButtonDown);
  EXPECT_EQ(menu.Popups().size(), 2u);

  // Nothing without AutoPopup, without a readable cursor, or without a menu.
  menu.AutoPopup = false;
  Deliver(icon, wmRButtonDown);
  menu.AutoPopup = true;
  h.sim.windowing.SetCursorPos(std::nullopt);
  Deliver(icon, wmRButtonDown);
  h.sim.windowing.SetCursorPos(Point{1, 2});
  icon.SetPopupMenu(nullptr);
  Deliver(icon, wmRButtonDown);
  EXPECT_EQ(menu.Popups().size(), 2u);
}

TEST_F(TrayIcon, PendingMessagesRunBeforeTheMenuOpens) {
  TTrayIcon& icon = VisibleIcon();
  TrayMenu& menu = NewMenu();
  icon.SetPopupMenu(&menu);
  icon.OnMouseMove = [&](TComponent*, TShiftState, int, int) { events.push_back("move"); };
  menu.onPopup = [&] { events.push_back("menu"); };
  // The press is dispatched first; the move queued behind it runs inside it.
  Area().Notify(icon.NotifyData().Window, icon.NotifyData().Id, wmRButtonDown);
  Area().Notify(icon.NotifyData().Window, icon.NotifyData().Id, wmMouseMove);
  h.sim.windowing.ProcessMessages();
  EXPECT_THAT(events, ElementsAre("move", "menu"));
}

TEST_F(TrayIcon, ADoubleClickPerformsTheDefaultItemOnlyWithoutLeftPopup) {
  struct Case {
    bool leftPopup;
    bool autoPopup;
    std::vector<std::string> events;
  } cases[] = {
      {false, true, {"double click", "default item"}},
      {true, true, {"double click"}},
      {false, false, {"double click"}},
  };
  TTrayIcon& icon = VisibleIcon();
  icon.OnDblClick = Logs("double click");
  TrayMenu& menu = NewMenu();
  menu.log = &events;
  icon.SetPopupMenu(&menu);
  for (const Case& c : cases) {
    events.clear();
    icon.LeftPopup = c.leftPopup;
    menu.AutoPopup = c.autoPopup;
    Deliver(icon, wmLButtonDblClk);
    EXPECT_EQ(events, c.events) << "LeftPopup " << c.leftPopup << ", AutoPopup " << c.autoPopup;
  }
}

TEST_F(TrayIcon, IconIndexKeepsWithinTheImageList) {
  TTrayIcon& icon = VisibleIcon();
  FakeImages images(4);
  icon.SetIconList(&images);
  struct Case {
    int index;
    int shown;
  } cases[] = {{10, 3}, {2, 2}, {3, 3}, {4, 3}, {-5, 0}};
  for (const Case& c : cases) {
    icon.SetIconIndex(c.index);
    EXPECT_EQ(icon.IconIndex(), c.shown) << "index " << c.index;
    EXPECT_EQ(icon.Icon().Image(), images.images[static_cast<std::size_t>(c.shown)]);
    EXPECT_EQ(Shown(icon)->Icon, images.images[static_cast<std::size_t>(c.shown)]);
  }
  FakeImages none(0);
  icon.SetIconList(&none);
  icon.SetIconIndex(2);
  EXPECT_EQ(icon.IconIndex(), 0) << "an empty list shows nothing by index";
  icon.SetIconList(nullptr);
  icon.SetIconIndex(2);
  EXPECT_EQ(icon.IconIndex(), 0);
}

TEST_F(TrayIcon, CyclingReportsTheNextIndexAndStepsToIt) {
  TTrayIcon& icon = VisibleIcon();
  FakeImages images(3);
  icon.SetIconList(&images);
  std::vector<std::pair<int, int>> steps;  // IconIndex when raised, NextIndex
  icon.OnCycle = [&](TComponent*, int nextIndex) { steps.emplace_back(icon.IconIndex(), nextIndex); };
  icon.SetCycleInterval(1000);
  icon.SetCycleIcons(true);
  EXPECT_EQ(icon.IconIndex(), 0);
  icon.SetIconIndex(2);
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_THAT(steps, ElementsAre(std::pair{2, 0}));
  EXPECT_EQ(icon.IconIndex(), 0);
  EXPECT_EQ(Shown(icon)->Icon, images.images[0]);
  h.sim.windowing.AdvanceBy(2000);
  EXPECT_THAT(steps, ElementsAre(std::pair{2, 0}, std::pair{0, 1}, std::pair{1, 2}));
  EXPECT_EQ(Shown(icon)->Icon, images.images[2]);

  // A new interval restarts the ticker (and the cycle); off stops it.
  icon.SetCycleInterval(500);
  EXPECT_EQ(icon.IconIndex(), 0);
  h.sim.windowing.AdvanceBy(500);
  EXPECT_EQ(steps.size(), 4u);
  icon.SetCycleIcons(false);
  h.sim.windowing.AdvanceBy(5000);
  EXPECT_EQ(steps.size(), 4u);
}

TEST_F(TrayIcon, EnterAndExitFollowTheCursorWithWantEnterExitEvents) {
  TTrayIcon& icon = VisibleIcon();
  icon.OnMouseEnter = Logs("enter");
  icon.OnMouseExit = Logs("exit");
  icon.OnMouseMove = [&](TComponent*, TShiftState, int, int) { events.push_back("move"); };
  Deliver(icon, wmMouseMove);
  EXPECT_THAT(events, ElementsAre("move")) << "no enter and leave without WantEnterExitEvents";

  events.clear();
  icon.SetWantEnterExitEvents(true);
  h.sim.windowing.SetCursorPos(Point{1200, 1000});
  Deliver(icon, wmMouseMove);
  Deliver(icon, wmMouseMove);
  h.sim.windowing.AdvanceBy(100);
  EXPECT_THAT(events, ElementsAre("enter", "move", "move")) << "the cursor stays on the icon";
  h.sim.windowing.SetCursorPos(Point{1200, 999});
  h.sim.windowing.AdvanceBy(20);
  EXPECT_THAT(events, ElementsAre("enter", "move", "move", "exit"));
  h.sim.windowing.AdvanceBy(100);
  Deliver(icon, wmMouseMove);
  EXPECT_THAT(events, ElementsAre("enter", "move", "move", "exit", "enter", "move"));

  icon.SetWantEnterExitEvents(false);
  h.sim.windowing.SetCursorPos(Point{0, 0});
  h.sim.windowing.AdvanceBy(100);
  EXPECT_EQ(events.size(), 6u);
}

TEST_F(TrayIcon, TwoIconsShareOneHiddenWindowDestroyedWithTheSecond) {
  TTrayIcon* first = &VisibleIcon();
  TTrayIcon* second = &VisibleIcon();
  const WindowHandle window = HandlerWindow();
  EXPECT_EQ(first->NotifyData().Window, window);
  EXPECT_EQ(second->NotifyData().Window, window);
  EXPECT_EQ(TTrayIconHandler::Current(*h.app)->RefCount(), 2);
  delete first;
  EXPECT_EQ(HandlerWindow(), window);
  delete second;
  EXPECT_EQ(HandlerWindow(), 0u);
  EXPECT_EQ(TTrayIconHandler::Current(*h.app), nullptr);
  TTrayIcon& third = NewIcon();
  EXPECT_NE(third.NotifyData().Window, window) << "a new window for the next icon";
  EXPECT_NE(third.NotifyData().Window, 0u);
}

TEST_F(TrayIcon, NotificationsForAnIconFreedMeanwhileAreDropped) {
  TTrayIcon& kept = VisibleIcon();
  kept.OnClick = Logs("kept click");
  TTrayIcon* freed = &VisibleIcon();
  freed->OnClick = Logs("freed click");
  const NotifyIconData data = freed->NotifyData();
  Area().Click(data.Window, data.Id);
  delete freed;
  h.sim.windowing.ProcessMessages();
  h.sim.windowing.SendMessage(data.Window, TrayCallbackMessage, 0xDEADu, wmLButtonUp);
  EXPECT_THAT(events, IsEmpty());
  Click(kept);
  EXPECT_THAT(events, ElementsAre("kept click"));
}

TEST_F(TrayIcon, TheHiddenWindowAnswersCloseAndSessionMessagesWithOne) {
  TTrayIcon& icon = NewIcon();
  const WindowHandle window = icon.NotifyData().Window;
  for (std::uint32_t msg : {wmDestroy, wmClose, wmQueryEndSession, wmQuit, wmEndSession, wmUserChanged, wmNcDestroy})
    EXPECT_EQ(h.sim.windowing.SendMessage(window, msg, 0, 0), 1) << "message " << msg;
  EXPECT_EQ(h.sim.windowing.SendMessage(window, TrayCallbackMessage, icon.NotifyData().Id, wmMouseMove), 0);
  EXPECT_EQ(HandlerWindow(), window) << "still there";
}

TEST_F(TrayIcon, AnEventErrorIsShownFromANotificationAndSwallowedFromATimer) {
  TTrayIcon& icon = VisibleIcon();
  icon.OnClick = [](TComponent*) { throw std::runtime_error("Click failed"); };
  Click(icon);
  ASSERT_EQ(h.sim.dialogs.Shown().size(), 1u);
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Text, "Click failed");

  h.sim.dialogs.Clear();
  icon.OnDblClick = Logs("double click");
  Click(icon);
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_THAT(h.sim.dialogs.Shown(), IsEmpty()) << "the click after the delay comes from the timer";
  Click(icon);
  h.sim.windowing.AdvanceBy(1000);
  EXPECT_THAT(h.sim.dialogs.Shown(), IsEmpty());
}

TEST_F(TrayIcon, AnEventMayFreeTheIcon) {
  // Each notification after the event that frees the icon would go on with it.
  struct Case {
    std::vector<std::uint32_t> codes;
    std::function<void(TTrayIcon&, std::function<void()>)> wire;
  } cases[] = {
      {{wmLButtonDown}, [](TTrayIcon& icon, auto free) { icon.OnMouseDown = [free](auto&&...) { free(); }; }},
      {{wmLButtonDown, wmLButtonUp}, [](TTrayIcon& icon, auto free) { icon.OnClick = [free](auto&&...) { free(); }; }},
      {{wmLButtonDblClk}, [](TTrayIcon& icon, auto free) { icon.OnDblClick = [free](auto&&...) { free(); }; }},
      {{wmRButtonDown}, [](TTrayIcon& icon, auto free) { icon.OnMouseDown = [free](auto&&...) { free(); }; }},
      {{wmMouseMove}, [](TTrayIcon& icon, auto free) { icon.OnMouseMove = [free](auto&&...) { free(); }; }},
  };
  for (const Case& c : cases) {
    TTrayIcon* icon = &VisibleIcon();
    TrayMenu& menu = NewMenu();
    icon->SetPopupMenu(&menu);
    icon->LeftPopup = true;
    icon->SetWantEnterExitEvents(true);
    c.wire(*icon, [icon] { delete icon; });
    const NotifyIconData data = icon->NotifyData();
    for (std::uint32_t code : c.codes) Area().Notify(data.Window, data.Id, code);
    h.sim.windowing.ProcessMessages();
    h.sim.windowing.AdvanceBy(1000);
    EXPECT_EQ(Area().Find(data.Window, data.Id), nullptr) << "code " << c.codes.back();
    EXPECT_THAT(menu.Popups(), IsEmpty());
  }
}

TEST_F(TrayIcon, TheShellRestartBringsBackOnlyAVisibleIcon) {
  TTrayIcon& hidden = NewIcon();
  TTrayIcon& shown = VisibleIcon();
  Area().Restart();
  EXPECT_THAT(Area().Icons(), IsEmpty());
  hidden.TaskbarCreated();
  shown.TaskbarCreated();
  ASSERT_EQ(Area().Icons().size(), 1u);
  EXPECT_EQ(Area().Icons()[0].Id, shown.NotifyData().Id);
  EXPECT_EQ(Area().Icons()[0].CallbackMessage, TrayCallbackMessage);
}

TEST_F(TrayIcon, MinimisingToTheTrayHidesTheMainWindowThenShowsTheIcon) {
  RecordingTrayIcon& icon = NewIcon();
  icon.ApplicationMinimized();
  EXPECT_THAT(icon.log, IsEmpty());
  EXPECT_EQ(Shown(icon), nullptr);
  icon.MinimizeToTray = true;
  icon.ApplicationMinimized();
  EXPECT_THAT(icon.log, ElementsAre("hide main window"));
  EXPECT_TRUE(icon.IconVisible());
  EXPECT_NE(Shown(icon), nullptr);
}

TEST_F(TrayIcon, ARemovedImageListOrMenuIsLetGo) {
  struct ListComponent : TComponent, FakeImages {
    explicit ListComponent(TComponent* owner) : TComponent(owner), FakeImages(3) {}
  };
  TTrayIcon& icon = VisibleIcon();
  auto* list = new ListComponent(owner.get());
  TPopupMenu* menu = &NewMenu();
  icon.SetIconList(list);
  icon.SetPopupMenu(menu);
  icon.SetIconIndex(2);
  icon.ComponentRemoved(owner.get());
  EXPECT_EQ(icon.IconList(), list) << "another component changes nothing";
  icon.ComponentRemoved(list);
  EXPECT_EQ(icon.IconList(), nullptr);
  EXPECT_EQ(icon.IconIndex(), 0);
  EXPECT_EQ(icon.PopupMenu(), menu);
  icon.ComponentRemoved(menu);
  EXPECT_EQ(icon.PopupMenu(), nullptr);
}

TEST_F(TrayIcon, ALayoutSetsTheIconWhichIsAppliedOnceTheLayoutIsRead) {
  RegisterTrayComponents();
  TTestForm& form = h.NewForm();
  form.AddHandler("TrayIcon1DblClick", Logs("double click"));
  form.Load(R"(
object MainForm: TTestForm
  Visible = False
  object TrayIcon1: TTrayIcon
    CycleInterval = 0
    Icon.Data = {file 'TrayIcon.ico'}
    IconIndex = 0
    LeftPopup = True
    Hint = 'Kelpo'
    IconVisible = True
    OnDblClick = TrayIcon1DblClick
  end
end
)");
  auto& icon = form.Get<TTrayIcon>("TrayIcon1");
  EXPECT_TRUE(icon.LeftPopup);
  EXPECT_EQ(icon.Icon().Width(), 16);
  const SimNotifyIcon* shown = Shown(icon);
  ASSERT_NE(shown, nullptr) << "IconVisible is applied after loading";
  EXPECT_EQ(shown->Tip, "Kelpo");
  EXPECT_EQ(shown->Icon, icon.Icon().Image());
  DoubleClick(icon);
  EXPECT_THAT(events, ElementsAre("double click"));
}

TEST_F(TrayIcon, OnStartupAnsweringFalseHidesTheMainWindow) {
  struct Case {
    bool show;
    std::vector<std::string> log;
  } cases[] = {{true, {}}, {false, {"hide main window"}}};
  for (const Case& c : cases) {
    TTestForm form(*h.app);
    RecordingTrayIcon& icon = NewIcon(&form);
    icon.OnStartup = [&](TComponent*, bool& showMainForm) {
      EXPECT_TRUE(showMainForm);
      showMainForm = c.show;
    };
    icon.LayoutLoaded();
    EXPECT_EQ(icon.log, c.log);
  }
  // A tray icon of a plain component asks nothing.
  RecordingTrayIcon& plain = NewIcon();
  bool asked = false;
  plain.OnStartup = [&](TComponent*, bool&) { asked = true; };
  plain.LayoutLoaded();
  EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace kelpo
