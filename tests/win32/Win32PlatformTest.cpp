#include <gtest/gtest.h>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/Win32TestSupport.h"

namespace kelpo {
namespace {

struct CountingEvents : WidgetEvents {
  void Changed() override { ++changed; }
  void FocusGained() override {}
  void FocusLost() override {}
  int changed = 0;
};

TEST(Win32PlatformTest, WidgetsReportThroughThePlatformsWindowing) {
  Win32Platform platform;
  Platform& services = platform.Services();
  testing::RecordingProcedure procedure;
  const WindowHandle form = services.windowing.CreateWindow(
      testing::WindowOf(WindowKind::Popup, "TKelpoPlatformForm", 0, {600, 300, 200, 100}, true), &procedure);
  CountingEvents events;
  WidgetParams params;
  params.Parent = form;
  params.Bounds = {10, 10, 80, 19};
  params.Events = &events;
  auto combo = services.widgets.CreateComboBox(params, false);
  combo->SetItems({"one", "two"});
  combo->SetItemIndex(0);
  SendMessageA(ToHwnd(combo->Handle()), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(events.changed, 1);
  EXPECT_EQ(procedure.Count(WM_COMMAND), 0);

  EXPECT_FALSE(services.files.ExecutableFolder().empty());
  EXPECT_GT(services.clock.Now().Year, 2000);
  combo.reset();
  services.windowing.DestroyWindow(form);
}

}  // namespace
}  // namespace kelpo
