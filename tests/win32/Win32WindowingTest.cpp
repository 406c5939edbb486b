#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "platform/win32/Win32Dialogs.h"
#include "platform/win32/Win32Windowing.h"
#include "tests/win32/Win32TestSupport.h"

namespace kelpo {
namespace {

using testing::PumpUntil;
using testing::RecordingProcedure;
using testing::ScreenPixel;
using testing::WindowOf;

class Win32WindowingTest : public ::testing::Test {
 protected:
  WindowHandle Popup(RecordingProcedure& procedure, Rect bounds, const std::string& className = "TKelpoTestForm") {
    return windowing.CreateWindow(WindowOf(WindowKind::Popup, className, 0, bounds, true), &procedure);
  }
  WindowHandle Hidden(RecordingProcedure& procedure, const std::string& className = "TKelpoTestHandler") {
    return windowing.CreateWindow(WindowOf(WindowKind::Hidden, className), &procedure);
  }

  Win32Graphics graphics;
  Win32Windowing windowing{graphics};
};

TEST_F(Win32WindowingTest, CreatesEachKindWithItsPlaceAndVisibility) {
  RecordingProcedure appProcedure, formProcedure, panelProcedure, handlerProcedure;
  const WindowHandle app = windowing.CreateWindow(
      WindowOf(WindowKind::Application, "TKelpoTestApplication", 0, {}, false, "Kelpo Test"), &appProcedure);
  EXPECT_EQ(FindWindowA("TKelpoTestApplication", "Kelpo Test"), ToHwnd(app));
  EXPECT_FALSE(windowing.IsWindowVisible(app));

  const WindowHandle form = windowing.CreateWindow(
      WindowOf(WindowKind::Popup, "TKelpoTestForm", app, {300, 200, 160, 120}, true), &formProcedure);
  EXPECT_TRUE(windowing.IsWindowVisible(form));
  EXPECT_EQ(windowing.GetBounds(form), (Rect{300, 200, 160, 120}));
  EXPECT_EQ(GetWindow(ToHwnd(form), GW_OWNER), ToHwnd(app));
  RECT client{};
  GetClientRect(ToHwnd(form), &client);
  EXPECT_EQ(client.right, 160) << "a frameless window is all client area";
  EXPECT_EQ(client.bottom, 120);
  EXPECT_EQ(formProcedure.Count(WM_CREATE), 1);

  const WindowHandle panel = windowing.CreateWindow(
      WindowOf(WindowKind::Child, "TKelpoTestPanel", form, {10, 20, 100, 50}, true), &panelProcedure);
  EXPECT_EQ(GetParent(ToHwnd(panel)), ToHwnd(form));
  EXPECT_EQ(windowing.GetBounds(panel), (Rect{10, 20, 100, 50}));
  EXPECT_TRUE(windowing.IsWindowVisible(panel));

  const WindowHandle handler = Hidden(handlerProcedure, "TKelpoTestTrayHandler");
  EXPECT_EQ(FindWindowA("TKelpoTestTrayHandler", nullptr), ToHwnd(handler)) << "found like any top-level window";
  EXPECT_EQ(GetAncestor(ToHwnd(handler), GA_PARENT), GetDesktopWindow()) << "not a message-only window";
  EXPECT_FALSE(windowing.IsWindowVisible(handler));

  windowing.SetBounds(form, {320, 210, 200, 100});
  EXPECT_EQ(windowing.GetBounds(form), (Rect{320, 210, 200, 100}));
  EXPECT_EQ(windowing.GetBounds(panel), (Rect{10, 20, 100, 50})) << "children move with their parent";

  windowing.ShowWindow(form, ShowCommand::Minimize);
  EXPECT_TRUE(windowing.IsIconic(form));
  windowing.ShowWindow(form, ShowCommand::Restore);
  EXPECT_FALSE(windowing.IsIconic(form));
  EXPECT_EQ(windowing.GetBounds(form), (Rect{320, 210, 200, 100}));
  windowing.ShowWindow(form, ShowCommand::Hide);
  EXPECT_FALSE(windowing.IsWindowVisible(form));
  EXPECT_FALSE(windowing.IsWindowVisible(panel)) << "hidden with its parent";

  windowing.DestroyWindow(form);
  EXPECT_FALSE(IsWindow(ToHwnd(form)));
  EXPECT_FALSE(IsWindow(ToHwnd(panel)));
  EXPECT_EQ(formProcedure.Count(wmDestroy), 1);
  EXPECT_EQ(panelProcedure.Count(wmDestroy), 1);
}

// The taskbar button shows the icon of the application window's class.
TEST_F(Win32WindowingTest, WindowsCarryTheExecutablesIcon) {
  RecordingProcedure appProcedure, formProcedure;
  const HWND app = ToHwnd(windowing.CreateWindow(
      WindowOf(WindowKind::Application, "TKelpoIconApplication", 0, {}, false, "Kelpo Icon"), &appProcedure));
  const HWND form = ToHwnd(Popup(formProcedure, Rect{300, 300, 50, 40}, "TKelpoIconForm"));
  const HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(app, GCLP_HICON)), icon);
  EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(form, GCLP_HICON)), icon);
  EXPECT_NE(GetClassLongPtrA(app, GCLP_HICONSM), 0u);
}

TEST_F(Win32WindowingTest, EveryMessageGoesToTheProcedureBeforeTheDefault) {
  RecordingProcedure procedure;
  procedure.onMessage = [](Message& m) {
    if (m.Msg != wmApp + 1) return false;
    m.Result = static_cast<std::intptr_t>(m.WParam) + m.LParam;
    return true;
  };
  const WindowHandle form = Popup(procedure, {200, 200, 100, 80});
  EXPECT_EQ(windowing.SendMessage(form, wmApp + 1, 40, 2), 42);

  // Unhandled: the system's default answer.
  EXPECT_EQ(windowing.SendMessage(form, wmNcHitTest, 0, MAKELPARAM(250, 240)), htClient);
  EXPECT_EQ(procedure.Count(wmNcHitTest), 1);
  procedure.onMessage = [](Message& m) {
    if (m.Msg != wmNcHitTest) return false;
    m.Result = htCaption;
    return true;
  };
  EXPECT_EQ(windowing.SendMessage(form, wmNcHitTest, 0, MAKELPARAM(250, 240)), htCaption);

  // Posted messages arrive through the queue with their parameters.
  EXPECT_TRUE(windowing.PostMessage(form, wmApp + 2, 7, -8));
  ASSERT_TRUE(PumpUntil(windowing, [&] { return procedure.Count(wmApp + 2) == 1; }));
  EXPECT_EQ(procedure.messages.back().WParam, 7u);
  EXPECT_EQ(procedure.messages.back().LParam, -8);
}

TEST_F(Win32WindowingTest, RegionalSettingsBroadcastReachesApplicationAndHiddenWindows) {
  RecordingProcedure appProcedure, handlerProcedure;
  windowing.CreateWindow(WindowOf(WindowKind::Application, "TKelpoBroadcastApp", 0, {}, false, "Kelpo Broadcast"),
                         &appProcedure);
  Hidden(handlerProcedure, "TKelpoBroadcastHandler");

  DWORD_PTR answer = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("intl"), SMTO_ABORTIFHUNG, 5000,
                      &answer);
  EXPECT_EQ(appProcedure.Count(wmWinIniChange), 1);
  EXPECT_EQ(handlerProcedure.Count(wmWinIniChange), 1);
}

TEST_F(Win32WindowingTest, WindowTimerTicksUntilQuitEndsTheLoopWithItsCode) {
  RecordingProcedure procedure;
  WindowHandle handler = 0;
  int ticks = 0;
  procedure.onMessage = [&](Message& m) {
    if (m.Msg != wmTimer) return false;
    if (m.WParam == 99) windowing.PostQuitMessage(-2);  // watchdog: the loop would never end
    if (m.WParam == 7 && ++ticks == 3) {
      EXPECT_TRUE(windowing.KillTimer(handler, 7));
      windowing.PostQuitMessage(5);
    }
    return true;
  };
  handler = Hidden(procedure);
  ASSERT_TRUE(windowing.SetTimer(handler, 7, 15));
  ASSERT_TRUE(windowing.SetTimer(handler, 99, 10000));

  EXPECT_EQ(windowing.RunMessageLoop(), 5);
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(windowing.KillTimer(handler, 7)) << "already gone";
  EXPECT_TRUE(windowing.KillTimer(handler, 99));
}

TEST_F(Win32WindowingTest, ProcessMessagesStopsAtQuitAndLeavesItToTheLoop) {
  RecordingProcedure procedure;
  const WindowHandle handler = Hidden(procedure);
  EXPECT_TRUE(windowing.ProcessMessages());
  windowing.PostMessage(handler, wmApp + 3, 0, 0);
  windowing.PostQuitMessage(9);
  EXPECT_FALSE(windowing.ProcessMessages());
  EXPECT_EQ(procedure.Count(wmApp + 3), 1) << "messages posted before the quit are dispatched first";
  EXPECT_FALSE(windowing.ProcessMessages()) << "the quit stays seen";
  EXPECT_EQ(windowing.RunMessageLoop(), 9);
  EXPECT_TRUE(windowing.ProcessMessages());
}

TEST_F(Win32WindowingTest, WindowTimerKeepsTickingWhileAMessageBoxIsOpen) {
  const char* caption = "Kelpo timer test";
  RecordingProcedure procedure;
  int ticksWithBox = 0;
  procedure.onMessage = [&](Message& m) {
    if (m.Msg != wmTimer) return false;
    HWND box = FindWindowA("#32770", caption);
    if (box && ++ticksWithBox == 3)
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
    return true;
  };
  const WindowHandle handler = Hidden(procedure);
  ASSERT_TRUE(windowing.SetTimer(handler, 3, 20));

  // Should the ticks stop, the box is answered Yes from another thread after a while, and the test fails.
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock lock(mutex);
    if (finished.wait_for(lock, std::chrono::seconds(20), [&] { return done; })) return;
    if (HWND box = FindWindowA("#32770", caption)) PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
  });

  Win32Dialogs dialogs;
  const int answer = dialogs.MessageBox(0, "Still ticking?", caption, mbYesNo | mbIconQuestion);
  {
    std::lock_guard lock(mutex);
    done = true;
  }
  finished.notify_all();
  watchdog.join();

  EXPECT_EQ(answer, idNo);
  EXPECT_GE(ticksWithBox, 3);
  windowing.KillTimer(handler, 3);
}

TEST_F(Win32WindowingTest, PaintedSurfaceReachesTheScreen) {
  RecordingProcedure procedure;
  Color background = Rgb(0x12, 0x34, 0x56);
  const Color corner = Rgb(0xFF, 0xC8, 0x00);
  std::vector<Surface*> surfaces;
  procedure.onPaint = [&](Surface& surface) {
    surfaces.push_back(&surface);
    std::uint32_t* pixels = surface.Pixels();
    for (int i = 0; i < surface.Width() * surface.Height(); ++i) pixels[i] = PixelOf(background);
    for (int y = 2; y < 6; ++y)
      for (int x = 3; x < 7; ++x) pixels[y * surface.Width() + x] = PixelOf(corner);
  };
  const WindowHandle form = Popup(procedure, {400, 300, 64, 48});
  windowing.SetForegroundWindow(form);

  ASSERT_TRUE(PumpUntil(windowing, [&] { return ScreenPixel(400 + 40, 300 + 30) == PixelOf(background); }));
  ASSERT_FALSE(surfaces.empty());
  EXPECT_EQ(surfaces.back()->Width(), 64);
  EXPECT_EQ(surfaces.back()->Height(), 48);
  EXPECT_EQ(ScreenPixel(400 + 3, 300 + 2), PixelOf(corner)) << "rows run top-down";
  EXPECT_EQ(ScreenPixel(400 + 6, 300 + 5), PixelOf(corner));
  EXPECT_EQ(ScreenPixel(400 + 7, 300 + 5), PixelOf(background));
  EXPECT_EQ(procedure.Count(WM_PAINT), 0) << "painting is done for the procedure";
  EXPECT_EQ(procedure.Count(WM_ERASEBKGND), 0);

  background = Rgb(0xC8, 0x64, 0x0A);
  const int paints = procedure.paints;
  windowing.Invalidate(form);
  ASSERT_TRUE(PumpUntil(windowing, [&] { return ScreenPixel(400 + 40, 300 + 30) == PixelOf(background); }));
  EXPECT_GT(procedure.paints, paints);
  EXPECT_EQ(surfaces.back(), surfaces.front()) << "the surface is kept while the size stays";

  windowing.SetBounds(form, {400, 300, 80, 40});
  ASSERT_TRUE(PumpUntil(windowing, [&] { return surfaces.back()->Width() == 80; }));
  EXPECT_EQ(surfaces.back()->Height(), 40);
  windowing.DestroyWindow(form);
}

TEST_F(Win32WindowingTest, CursorOverrideAnswersTheCursorQueryWithoutTheProcedure) {
  const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  const HCURSOR hourglass = LoadCursorA(nullptr, IDC_WAIT);
  const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
  const HCURSOR ibeam = LoadCursorA(nullptr, IDC_IBEAM);
  RecordingProcedure procedure;
  const WindowHandle form = Popup(procedure, {200, 500, 120, 60});
  HWND hwnd = ToHwnd(form);
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 60, 10, 50, 20, hwnd, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  auto query = [](HWND target) {
    return SendMessageA(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  };

  // No override: the procedure decides, and without an answer the arrow shows.
  procedure.onMessage = [&](Message& m) {
    if (m.Msg != wmSetCursor) return false;
    windowing.SetCursor(CursorKind::HandPoint);
    m.Result = TRUE;
    return true;
  };
  EXPECT_TRUE(query(hwnd));
  EXPECT_EQ(GetCursor(), hand);
  procedure.onMessage = nullptr;
  EXPECT_TRUE(query(hwnd));
  EXPECT_EQ(GetCursor(), arrow);
  query(edit);
  EXPECT_EQ(GetCursor(), ibeam) << "a control keeps its own cursor";

  // An override shows at once and answers every query, also for the controls.
  windowing.SetCursorOverride(CursorKind::HourGlass);
  EXPECT_EQ(windowing.CursorOverride(), CursorKind::HourGlass);
  EXPECT_EQ(GetCursor(), hourglass);
  SetCursor(arrow);
  const int asked = procedure.Count(wmSetCursor);
  EXPECT_TRUE(query(hwnd));
  EXPECT_EQ(GetCursor(), hourglass);
  EXPECT_EQ(procedure.Count(wmSetCursor), asked) << "the procedure is not asked";
  EXPECT_TRUE(query(edit));
  EXPECT_EQ(GetCursor(), hourglass);

  windowing.SetCursorOverride(CursorKind::Arrow);
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_TRUE(query(edit));
  EXPECT_EQ(GetCursor(), arrow);

  windowing.SetCursorOverride(CursorKind::Default);
  query(edit);
  EXPECT_EQ(GetCursor(), ibeam);
  windowing.DestroyWindow(form);
}

TEST_F(Win32WindowingTest, ExceptionFromAProcedureComesBackToTheCaller) {
  RecordingProcedure procedure;
  procedure.onMessage = [](Message& m) {
    if (m.Msg == wmApp + 5) throw std::runtime_error("handler failed");
    return false;
  };
  const WindowHandle handler = Hidden(procedure);
  EXPECT_THROW(windowing.SendMessage(handler, wmApp + 5, 0, 0), std::runtime_error);
  windowing.PostMessage(handler, wmApp + 5, 0, 0);
  EXPECT_THROW(windowing.ProcessMessages(), std::runtime_error);
  EXPECT_TRUE(windowing.ProcessMessages()) << "thrown once only";
  EXPECT_EQ(windowing.SendMessage(handler, wmApp + 6, 0, 0), 0);
}

}  // namespace
}  // namespace kelpo
