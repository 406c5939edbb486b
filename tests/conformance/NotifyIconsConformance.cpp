// The shell's rules for adding, changing and deleting icons, run against the
// simulated notification area natively and against the shell under Wine.

#include <gtest/gtest.h>

#include "tests/conformance/ConformanceBackend.h"

namespace kelpo {
namespace {

TEST(NotifyIconsConformance, AnIconIsAddedOnceAndChangedOrDeletedOnlyWhileThere) {
  auto under = MakePlatformUnderTest();
  NotifyIcons& shell = under->Services().notifyIcons;
  Windowing& windowing = under->Services().windowing;
  struct : MessageWindow {
    bool WindowProc(Message&) override { return false; }
  } procedure;
  WindowParams params;
  params.Kind = WindowKind::Hidden;
  params.ClassName = "TKelpoConformanceTray";
  const WindowHandle window = windowing.CreateMessageWindow(params, &procedure);
  IconImage picture;
  picture.Width = picture.Height = 16;
  picture.Pixels.assign(256, 0xFF800000);
  NotifyIconData first;
  first.Window = window;
  first.Id = 7;
  first.Flags = nifMessage | nifIcon | nifTip;
  first.CallbackMessage = wmUser + 0x400;
  first.Icon = &picture;
  first.Tip = {'K', 'e', 'l', 'p', 'o'};
  NotifyIconData second = first;
  second.Id = 8;

  struct Step {
    NotifyIconCommand command;
    const NotifyIconData* data;
    bool accepted;
  } steps[] = {
      {NotifyIconCommand::Modify, &first, false},  // not there yet
      {NotifyIconCommand::Delete, &first, false},
      {NotifyIconCommand::Add, &first, true},
      {NotifyIconCommand::Add, &first, false},  // there already
      {NotifyIconCommand::Modify, &first, true},
      {NotifyIconCommand::Add, &second, true},  // another id of the same window
      {NotifyIconCommand::Delete, &first, true},
      {NotifyIconCommand::Delete, &first, false},
      {NotifyIconCommand::Modify, &first, false},
      {NotifyIconCommand::Modify, &second, true},
      {NotifyIconCommand::Delete, &second, true},
  };
  int number = 0;
  for (const Step& step : steps) {
    ++number;
    EXPECT_EQ(shell.NotifyIcon(step.command, *step.data), step.accepted) << "step " << number;
  }
}

TEST(NotifyIconsConformance, TheSystemValuesOfTrayNotificationsCanBeRead) {
  auto under = MakePlatformUnderTest();
  NotifyIcons& shell = under->Services().notifyIcons;
  EXPECT_GE(shell.DoubleClickTime(), 100u);
  EXPECT_LE(shell.DoubleClickTime(), 5000u);
  EXPECT_EQ(shell.AsyncModifierKeys(), ModifierKeys{}) << "no key is held during the tests";
}

}  // namespace
}  // namespace kelpo
