// The notification area, the simple timer and the tray icon on the real
// system (Wine): the shell's record, window timers on the shared hidden
// window, and notifications reaching the component through it.

#include <gtest/gtest.h>

#include <memory>

#include "framework/Application.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32/Win32TestSupport.h"
#include "tray/SimpleTimer.h"
#include "tray/TrayIcon.h"
// windows.h first
#include <shellapi.h>

namespace kelpo {
namespace {

using testing::PumpUntil;

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

BOOL CALLBACK CountTrayIcons(HWND child, LPARAM count) {
  char name[64] = {};
  GetClassNameA(child, name, sizeof name);
  if (std::string(name) == "__winex11_tray_icon") ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// The icons in Wine's stand-alone tray window (there is no X tray under Xvfb).
int WineTrayIcons() {
  HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
  int count = 0;
  if (tray) EnumChildWindows(tray, CountTrayIcons, reinterpret_cast<LPARAM>(&count));
  return count;
}

class Win32Tray : public ::testing::Test {
 protected:
  Win32Platform platform;
  TApplication app{platform.Services()};
  std::unique_ptr<TComponent> owner = std::make_unique<TComponent>(app);
};

TEST(Win32NotifyIconsRecord, IsTheVersion5LayoutOf504Bytes) {
  static_assert(NOTIFYICONDATAA_V2_SIZE == 504, "the shell knows this size of the 64-bit record");
  EXPECT_EQ(NOTIFYICONDATAA_V2_SIZE, 504u);
  EXPECT_EQ(sizeof(NOTIFYICONDATAA::szTip), 128u);
}

TEST_F(Win32Tray, SimpleTimersTickOnTheirSharedWindow) {
  int ticks = 0;
  auto timer = std::make_unique<TSimpleTimer>(app, &ticks, [](void* data) { ++*static_cast<int*>(data); });
  HWND window = FindWindowA("TSimpleTimerHandler", nullptr);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(timer->StartTimer(20));
  EXPECT_TRUE(PumpUntil(platform.Services().windowing, [&] { return ticks >= 3; }));
  EXPECT_TRUE(timer->StopTimer());
  EXPECT_FALSE(timer->StopTimer());
  timer.reset();
  EXPECT_FALSE(IsWindow(window)) << "freed with the last timer";
}

TEST_F(Win32Tray, TheIconGoesThroughTheShellAndItsNotificationsReachTheComponent) {
  const int before = WineTrayIcons();
  auto* icon = new TTrayIcon(owner.get());
  IconImage picture;
  picture.Width = picture.Height = 16;
  picture.Pixels.assign(256, 0xFF800000);
  picture.Pixels[0] = 0;  // a transparent corner
  icon->Icon().SetImage(picture);
  icon->SetHint("Kelpo");
  int clicks = 0;
  icon->OnClick = [&](TComponent*) { ++clicks; };

  ASSERT_TRUE(icon->AddTrayIcon());
  EXPECT_TRUE(icon->UpdateTrayIcon());
  if (UnderWine()) {
    EXPECT_EQ(WineTrayIcons(), before + 1) << "shown in Wine's tray window";
  }

  const NotifyIconData& data = icon->NotifyData();
  HWND handler = FindWindowA("TTrayIconHandler", nullptr);
  ASSERT_EQ(handler, ToHwnd(data.Window));
  PostMessageA(handler, TrayCallbackMessage, data.Id, WM_LBUTTONDOWN);
  PostMessageA(handler, TrayCallbackMessage, data.Id, WM_LBUTTONUP);
  EXPECT_TRUE(PumpUntil(platform.Services().windowing, [&] { return clicks == 1; }));
  EXPECT_EQ(SendMessageA(handler, WM_CLOSE, 0, 0), 1);
  EXPECT_EQ(SendMessageA(handler, WM_QUERYENDSESSION, 0, 0), 1);
  EXPECT_TRUE(IsWindow(handler)) << "a close request does not close it";

  // With OnDblClick the click waits for the system's double-click time.
  icon->OnDblClick = [](TComponent*) {};
  const ULONGLONG pressed = GetTickCount64();
  PostMessageA(handler, TrayCallbackMessage, data.Id, WM_LBUTTONDOWN);
  PostMessageA(handler, TrayCallbackMessage, data.Id, WM_LBUTTONUP);
  EXPECT_TRUE(PumpUntil(platform.Services().windowing, [&] { return clicks == 2; }));
  EXPECT_GE(GetTickCount64() - pressed + 20, GetDoubleClickTime());

  delete icon;
  EXPECT_FALSE(IsWindow(handler)) << "freed with the last tray icon";
  if (UnderWine()) {
    EXPECT_EQ(WineTrayIcons(), before) << "the icon left the tray";
  }
}

}  // namespace
}  // namespace kelpo
