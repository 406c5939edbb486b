// What closing the main window means: into the tray while the schedule keeps
// washing, out of the program only by "E&xit" or the end of the logon; the
// tray icon that brings the window back; the taskbar button that follows it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/KelpoHarness.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* TypedUrls = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";

class CloseModel : public ::testing::Test {
 protected:
  void SetUp() override {
    k.WriteSettings("[Scheduler]\nSchID=0\nSchFrequency=1\n");
    k.Start();
  }
  WindowHandle Main() const { return k.form->Handle(); }
  bool Shown() { return k.sim.windowing.IsWindowVisible(Main()); }
  const SimNotifyIcon* Icon() {
    const NotifyIconData& data = k.form->TrayIcon1->NotifyData();
    return k.sim.notifyIcons.Find(data.Window, data.Id);
  }
  void ClickCloseImage() { k.sim.windowing.Click(k.form->Panel1->Handle(), Point{30, 10}); }
  // The shell reports a notification of the icon; the loop dispatches it.
  void Notify(std::uint32_t code) {
    const NotifyIconData& data = k.form->TrayIcon1->NotifyData();
    ASSERT_TRUE(k.sim.notifyIcons.Notify(data.Window, data.Id, code));
    k.sim.windowing.ProcessMessages();
  }
  // Opens the tray menu with a left press and chooses an entry by its caption.
  void Choose(const std::string& caption) {
    k.sim.menus.ExpectChoice(SimMenuChoice::ByCaption({caption}));
    Notify(wmLButtonDown);
    Notify(wmLButtonUp);
  }
  std::vector<WindowHandle> Buttons() const { return k.sim.windowing.TaskbarButtons(); }
  KelpoHarness k;
};

TEST_F(CloseModel, TheCloseImageHidesTheWindowIntoTheTrayWhileTheScheduleKeepsWashing) {
  EXPECT_TRUE(Shown());
  EXPECT_THAT(Buttons(), ElementsAre(k.app->Handle())) << "the application window carries the button";
  EXPECT_EQ(Icon(), nullptr) << "no icon before the first close";

  k.sim.windowing.Click(k.form->Panel2->Handle(), Point{30, 60});  // start, every minute
  ClickCloseImage();
  EXPECT_FALSE(Shown());
  EXPECT_THAT(Buttons(), IsEmpty());
  ASSERT_NE(Icon(), nullptr);
  EXPECT_EQ(Icon()->Tip, "") << "no tooltip";
  EXPECT_FALSE(k.app->Terminated());
  for (int wash = 0; wash < 3; ++wash) {
    k.sim.registry.CreateKey(TypedUrls);
    k.sim.windowing.AdvanceBy(60000);
    EXPECT_FALSE(k.sim.registry.KeyExists(TypedUrls)) << "wash " << wash;
  }

  // A close request from elsewhere does the same; the icon stays.
  k.sim.windowing.SendMessage(Main(), wmClose, 0, 0);
  EXPECT_FALSE(k.app->Terminated());
  EXPECT_NE(Icon(), nullptr);
}

TEST_F(CloseModel, TheTrayBringsTheWindowBackInFront) {
  ClickCloseImage();
  k.sim.windowing.SetCursorPos(Point{1200, 1000});
  // A double click shows the window once; "&Open" is not performed as well,
  // since the left press opens the menu (answered by cancelling here).
  Notify(wmLButtonDown);
  Notify(wmLButtonUp);
  Notify(wmLButtonDblClk);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(k.sim.windowing.Foreground(), Main());
  EXPECT_THAT(Buttons(), ElementsAre(k.app->Handle()));
  ASSERT_EQ(k.sim.menus.Shown().size(), 1u);
  EXPECT_EQ(k.sim.menus.Shown()[0].At, (Point{1200, 1000})) << "the menu opens at the cursor";
  EXPECT_EQ(k.sim.menus.Shown()[0].CaptionLine(), "|-|Start/Stop|Wash Now|-|&Open|E&xit");

  EXPECT_EQ(k.sim.windowing.Focus(), Main()) << "no control had the focus";

  // The focus comes back to the control the user left it in.
  k.CountPeer().UserEnter();
  ClickCloseImage();
  k.sim.windowing.SetFocus(k.app->Handle());
  Choose("&Open");
  EXPECT_TRUE(Shown());
  EXPECT_EQ(k.sim.windowing.Foreground(), Main());
  EXPECT_EQ(k.sim.windowing.Focus(), k.form->SpinEdit1->Peer()->Handle());

  // The right button opens the menu too; its "Start/Stop" leaves the window as it is.
  k.sim.menus.ExpectChoice(SimMenuChoice::ByCaption({"Start/Stop"}));
  Notify(wmRButtonDown);
  EXPECT_TRUE(k.form->ScheduleActive);
}

TEST_F(CloseModel, ExitEndsTheProgramFromEitherWindowState) {
  for (bool hidden : {false, true}) {
    // The icon shows from the first close on.
    ClickCloseImage();
    if (!hidden) Choose("&Open");
    ASSERT_EQ(Shown(), !hidden);
    Choose("E&xit");
    EXPECT_TRUE(k.app->Terminated()) << "hidden " << hidden;
    k.Stop();
    EXPECT_THAT(k.sim.notifyIcons.Icons(), IsEmpty()) << "the icon leaves with the window";
    k.Start();
  }
}

TEST_F(CloseModel, TheEndOfTheLogonIsAllowedAtOnceAndEndsTheProgram) {
  EXPECT_EQ(k.sim.windowing.SendMessage(Main(), wmQueryEndSession, 0, 0), 1);
  EXPECT_TRUE(Shown()) << "nothing hidden";
  EXPECT_TRUE(k.sim.dialogs.Shown().empty()) << "nothing asked";
  EXPECT_FALSE(k.app->Terminated());
  // Another program cancelled the log-off: the next close ends the program.
  ClickCloseImage();
  EXPECT_TRUE(k.app->Terminated());
  k.Stop();

  k.Start();
  ClickCloseImage();
  ASSERT_NE(Icon(), nullptr);
  EXPECT_EQ(k.sim.windowing.SendMessage(Main(), wmQueryEndSession, 0, 0), 1);
  k.sim.windowing.SendMessage(Main(), wmEndSession, 1, 0);
  EXPECT_TRUE(k.app->Terminated());
  EXPECT_THAT(k.sim.notifyIcons.Icons(), IsEmpty()) << "the icon is gone before the session ends";
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());
}

TEST_F(CloseModel, AShellRestartBringsTheIconBackOnlyOnceItWasShown) {
  const std::uint32_t taskbarCreated = k.sim.windowing.RegisterWindowMessage("TaskbarCreated");
  k.sim.notifyIcons.Restart();
  k.sim.windowing.SendMessage(k.app->Handle(), taskbarCreated, 0, 0);
  EXPECT_THAT(k.sim.notifyIcons.Icons(), IsEmpty());
  ClickCloseImage();
  k.sim.notifyIcons.Restart();
  EXPECT_EQ(Icon(), nullptr);
  k.sim.windowing.SendMessage(k.app->Handle(), taskbarCreated, 0, 0);
  EXPECT_NE(Icon(), nullptr);
}

TEST_F(CloseModel, OnlyCommonControlsFrom471OnAnnounceTheNewTaskbar) {
  struct Case {
    std::optional<VersionNumbers> comctl32;
    bool iconBack;
  };
  const Case cases[] = {{VersionNumbers{4, 70, 0, 0}, false},
                        {VersionNumbers{4, 71, 0, 0}, true},
                        {VersionNumbers{6, 0, 0, 0}, true},
                        {std::nullopt, false}};
  k.Stop();
  for (const Case& c : cases) {
    if (c.comctl32)
      k.sim.versionInfo.SetVersion("comctl32.dll", FixedVersion(*c.comctl32, *c.comctl32));
    else
      k.sim.versionInfo.Remove("comctl32.dll");
    k.Start();
    ClickCloseImage();
    k.sim.notifyIcons.Restart();
    k.sim.windowing.SendMessage(k.app->Handle(), k.sim.windowing.RegisterWindowMessage("TaskbarCreated"), 0, 0);
    EXPECT_EQ(Icon() != nullptr, c.iconBack) << (c.comctl32 ? c.comctl32->Minor : 0);
    EXPECT_FALSE(k.app->Terminated());
    k.Stop();
  }
}

}  // namespace
}  // namespace kelpo
