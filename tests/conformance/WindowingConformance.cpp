// Window procedure hooks, registered messages and calls handed to the GUI
// thread, run against the simulation natively and against Windows (Wine).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/conformance/ConformanceBackend.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t Probe = wmApp + 40;

// A shown window that answers Probe with 1 and notes what it saw.
class ProbeWindow : public PaintedWindow {
 public:
  bool WindowProc(Message& m) override {
    if (m.Msg == wmShowWindow) shows.push_back(static_cast<int>(m.WParam) * 10 + static_cast<int>(m.LParam));
    if (m.Msg != Probe) return false;
    log->push_back("window");
    m.Result = 1;
    return true;
  }
  void PaintWindow(Surface&) override {}
  std::vector<std::string>* log = nullptr;
  std::vector<int> shows;  // wParam * 10 + lParam of each WM_SHOWWINDOW
};

// Notes the message, passes it on and adds its own part to the answer.
class ProbeHook : public WindowHook {
 public:
  ProbeHook(std::string name, std::vector<std::string>& log, std::intptr_t part)
      : name_(std::move(name)), log_(log), part_(part) {}
  std::intptr_t HookProc(WindowHandle, Message& m, const PreviousWindowProc& previous) override {
    if (m.Msg != Probe && m.Msg != wmShowWindow) return previous(m);
    if (m.Msg == wmShowWindow) ++shows;
    if (m.Msg == Probe) log_.push_back(name_);
    if (swallow) return 99;
    return previous(m) + part_;
  }
  bool swallow = false;
  int shows = 0;

 private:
  std::string name_;
  std::vector<std::string>& log_;
  std::intptr_t part_;
};

class WindowingConformance : public ::testing::Test {
 protected:
  WindowHandle Shown(ProbeWindow& procedure) {
    procedure.log = &log;
    WindowParams params;
    params.Kind = WindowKind::Popup;
    params.ClassName = "TKelpoHookProbe";
    params.Bounds = Rect{600, 500, 60, 40};
    return windowing.CreateWindow(params, &procedure);
  }

  std::unique_ptr<PlatformUnderTest> backend = MakePlatformUnderTest();
  Windowing& windowing = backend->Services().windowing;
  std::vector<std::string> log;
};

TEST_F(WindowingConformance, HooksRunLastInstalledFirstAndLeaveInAnyOrder) {
  ProbeWindow procedure;
  const WindowHandle window = Shown(procedure);
  ProbeHook first("first", log, 10), second("second", log, 100), third("third", log, 1000);
  ASSERT_TRUE(windowing.InstallHook(window, first));
  ASSERT_TRUE(windowing.InstallHook(window, second));
  ASSERT_TRUE(windowing.InstallHook(window, third));
  EXPECT_EQ(windowing.SendMessage(window, Probe, 0, 0), 1111);
  EXPECT_THAT(log, ElementsAre("third", "second", "first", "window"));

  // The middle one goes first; the others keep their places.
  log.clear();
  EXPECT_TRUE(windowing.RemoveHook(window, second));
  EXPECT_FALSE(windowing.RemoveHook(window, second)) << "already gone";
  EXPECT_EQ(windowing.SendMessage(window, Probe, 0, 0), 1011);
  EXPECT_THAT(log, ElementsAre("third", "first", "window"));

  // A hook that does not pass the message on answers alone.
  log.clear();
  first.swallow = true;
  EXPECT_EQ(windowing.SendMessage(window, Probe, 0, 0), 1099);
  EXPECT_THAT(log, ElementsAre("third", "first"));

  // Posted messages and the system's own (a show) go through the hooks too.
  log.clear();
  first.swallow = false;
  windowing.PostMessage(window, Probe, 0, 0);
  EXPECT_TRUE(backend->RunUntil([&] { return log.size() == 3; }));
  windowing.ShowWindow(window, ShowCommand::Show);
  EXPECT_EQ(first.shows, 1);
  EXPECT_EQ(third.shows, 1);
  EXPECT_THAT(procedure.shows, ElementsAre(10)) << "shown by a show call: wParam 1, lParam 0";

  // Removing the last installed, then the first: the window's own procedure is back.
  EXPECT_TRUE(windowing.RemoveHook(window, third));
  EXPECT_TRUE(windowing.RemoveHook(window, first));
  log.clear();
  EXPECT_EQ(windowing.SendMessage(window, Probe, 0, 0), 1);
  EXPECT_THAT(log, ElementsAre("window"));

  // Hooks end with their window; a window that does not exist takes none.
  ASSERT_TRUE(windowing.InstallHook(window, first));
  windowing.DestroyWindow(window);
  EXPECT_FALSE(windowing.RemoveHook(window, first));
  EXPECT_FALSE(windowing.InstallHook(window, first));
}

// Removes itself from its window while it handles a message, and passes the
// message on all the same.
class LeavingHook : public WindowHook {
 public:
  LeavingHook(Windowing& windowing, WindowHook& other) : windowing_(windowing), other_(other) {}
  std::intptr_t HookProc(WindowHandle window, Message& m, const PreviousWindowProc& previous) override {
    if (m.Msg == Probe) {
      windowing_.RemoveHook(window, *this);
      windowing_.RemoveHook(window, other_);
    }
    return previous(m);
  }

 private:
  Windowing& windowing_;
  WindowHook& other_;
};

TEST_F(WindowingConformance, AHookCanRemoveHooksWhileAMessageIsInside) {
  ProbeWindow procedure;
  const WindowHandle window = Shown(procedure);
  ProbeHook below("below", log, 10);
  LeavingHook leaving(windowing, below);
  ASSERT_TRUE(windowing.InstallHook(window, below));
  ASSERT_TRUE(windowing.InstallHook(window, leaving));
  EXPECT_EQ(windowing.SendMessage(window, Probe, 0, 0), 1) << "the removed hook below is passed by";
  EXPECT_THAT(log, ElementsAre("window"));
  EXPECT_FALSE(windowing.RemoveHook(window, leaving));
  windowing.DestroyWindow(window);
}

TEST_F(WindowingConformance, RegisteredMessagesAreOneNumberPerNameWhateverTheCase) {
  const std::uint32_t taskbar = windowing.RegisterWindowMessage("KelpoConformanceTaskbarCreated");
  EXPECT_GE(taskbar, 0xC000u);
  EXPECT_LE(taskbar, 0xFFFFu);
  EXPECT_EQ(windowing.RegisterWindowMessage("KelpoConformanceTaskbarCreated"), taskbar);
  EXPECT_EQ(windowing.RegisterWindowMessage("kelpoconformancetaskbarcreated"), taskbar);
  const std::uint32_t other = windowing.RegisterWindowMessage("KelpoConformanceOther");
  EXPECT_NE(other, taskbar);
  EXPECT_GE(other, 0xC000u);
  EXPECT_EQ(windowing.RegisterWindowMessage(""), 0u);

  // A registered message reaches a window like any other.
  struct Counter : MessageWindow {
    std::uint32_t wanted = 0;
    int seen = 0;
    bool WindowProc(Message& m) override { return m.Msg == wanted && ++seen; }
  } counter;
  counter.wanted = taskbar;
  WindowParams params;
  params.Kind = WindowKind::Hidden;
  params.ClassName = "TKelpoRegisteredProbe";
  const WindowHandle window = windowing.CreateMessageWindow(params, &counter);
  windowing.PostMessage(window, taskbar, 0, 0);
  EXPECT_TRUE(backend->RunUntil([&] { return counter.seen == 1; }));
  windowing.DestroyWindow(window);
}

TEST_F(WindowingConformance, ClientPointsMapToTheScreenThroughTheParents) {
  ProbeWindow form, panel;
  const WindowHandle top = Shown(form);
  WindowParams params;
  params.Kind = WindowKind::Child;
  params.ClassName = "TKelpoHookProbePanel";
  params.Parent = top;
  params.Bounds = Rect{10, 20, 30, 15};
  params.Visible = true;
  const WindowHandle child = windowing.CreateWindow(params, &panel);
  EXPECT_EQ(windowing.ClientToScreen(top, Point{5, 6}), (Point{605, 506})) << "a frameless window is all client";
  EXPECT_EQ(windowing.ClientToScreen(child, Point{5, 6}), (Point{615, 526}));
  EXPECT_TRUE(windowing.CursorPos().has_value());
  windowing.DestroyWindow(top);
}

TEST_F(WindowingConformance, TheStandardHitTestIsClientInsideAFramelessWindowAndNowhereOutside) {
  ProbeWindow form, panel;
  const WindowHandle top = Shown(form);
  WindowParams params;
  params.Kind = WindowKind::Child;
  params.ClassName = "TKelpoHookProbePanel";
  params.Parent = top;
  params.Bounds = Rect{10, 20, 30, 15};
  params.Visible = true;
  const WindowHandle child = windowing.CreateWindow(params, &panel);
  struct Case {
    WindowHandle Window;
    Point At;  // on the screen
    std::intptr_t Answer;
  };
  const Case cases[] = {{top, {600, 500}, htClient},    {top, {659, 539}, htClient},   {top, {660, 520}, htNowhere},
                        {top, {630, 499}, htNowhere},   {child, {610, 520}, htClient}, {child, {639, 534}, htClient},
                        {child, {609, 525}, htNowhere}, {child, {620, 535}, htNowhere}};
  for (const Case& c : cases)
    EXPECT_EQ(windowing.DefaultWindowProc(c.Window, Message{wmNcHitTest, 0, LParamFromPoint(c.At), 0}), c.Answer)
        << c.At.X << "," << c.At.Y;
  // A procedure that leaves the query alone gets the standard answer.
  EXPECT_EQ(windowing.SendMessage(child, wmNcHitTest, 0, LParamFromPoint(Point{615, 525})), htClient);
  windowing.DestroyWindow(top);
}

TEST_F(WindowingConformance, CallsFromOtherThreadsRunOnTheGuiThreadWhileItDispatches) {
  const std::thread::id gui = std::this_thread::get_id();
  std::thread::id ranOn;
  auto call = std::make_shared<GuiCall>([&] { ranOn = std::this_thread::get_id(); });
  std::atomic<bool> ran{false};
  std::thread worker([&] {
    backend->Services().threads.PostGuiCall(call);
    ran = call->Wait();
  });
  EXPECT_TRUE(backend->RunUntil([&] { return ran.load(); }));
  worker.join();
  EXPECT_EQ(ranOn, gui);

  // A call still waiting when the service ends is abandoned: its waiter wakes.
  auto late = std::make_shared<GuiCall>([] {});
  backend->Services().threads.PostGuiCall(late);
  backend.reset();
  EXPECT_FALSE(late->Wait());
}

}  // namespace
}  // namespace kelpo
