// The single-instance guard: the named mutex of the executable's file name, a
// second copy's reaction by mode, the one component per application, and the
// whole program started a second time beside a running first copy.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/KelpoProgram.h"
#include "framework/Abort.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/support/KelpoHarness.h"
#include "tray/InstanceDetector.h"
#include "tray/OneInstance.h"
#include "tray/TrayIcon.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* AlreadyStarted = "\"Kelpo\" was already started...";

TEST(InstanceDetector, OpensTheMutexOfTheExecutableFileNameAndNotesAnOtherHolder) {
  struct Case {
    const char* ExecutableName;
    const char* HeldElsewhere;  // a running copy's mutex, or null
    bool MutexFails;
    bool Found;
  };
  const Case cases[] = {
      {"kelpo.exe", nullptr, false, false},
      {"kelpo.exe", "kelpo.exe", false, true},
      // Names keep their case: another spelling of the file is another program.
      {"Kelpo.EXE", "kelpo.exe", false, false},
      {"Kelpo.EXE", "Kelpo.EXE", false, true},
      // A mutex that cannot be made: the program runs as a first copy.
      {"kelpo.exe", "kelpo.exe", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ExecutableName) + (c.HeldElsewhere ? " beside " : "") +
                 (c.HeldElsewhere ? c.HeldElsewhere : "") + (c.MutexFails ? ", failing" : ""));
    SimPlatform sim;
    sim.files.SetExecutableFolder("C:\\Programs\\Kelpo\\");
    sim.files.SetExecutableName(c.ExecutableName);
    if (c.HeldElsewhere) sim.mutexes.HoldElsewhere(c.HeldElsewhere);
    sim.mutexes.Failing = c.MutexFails;
    {
      TInstanceDetector detector(sim.mutexes, sim.files);
      EXPECT_EQ(detector.PreviousInstanceFound(), c.Found);
      EXPECT_THAT(sim.mutexes.Requests(), ElementsAre(c.ExecutableName));
      EXPECT_EQ(detector.InstanceMutex() != 0, !c.MutexFails);
      // Kept open for the life of the program.
      EXPECT_EQ(sim.mutexes.OpenCount(c.ExecutableName),
                (c.MutexFails ? 0 : 1) + (c.HeldElsewhere && std::string(c.HeldElsewhere) == c.ExecutableName));
    }
    EXPECT_EQ(sim.mutexes.OpenCount(c.ExecutableName),
              c.HeldElsewhere && std::string(c.HeldElsewhere) == c.ExecutableName)
        << "closed at the end";
  }
  EXPECT_EQ(TInstanceDetector::MutexName("Z:\\tmp\\app/kelpo.exe"), "kelpo.exe");
  EXPECT_EQ(TInstanceDetector::MutexName("kelpo.exe"), "kelpo.exe");
}

// A program started up to its main window's layout, with a running copy
// (its application window titled "Kelpo") or none, and a form whose
// TOneInstance the test configures.
class OneInstanceReaction : public ::testing::Test {
 protected:
  void Start(bool otherCopyRuns, const std::string& properties) {
    RegisterTrayComponents();
    if (otherCopyRuns) {
      h.sim.mutexes.HoldElsewhere("kelpo.exe");
      running = std::make_unique<TApplication>(h.sim.Services());
      running->SetTitle("Kelpo");
    }
    detector = std::make_unique<TInstanceDetector>(h.sim.mutexes, h.sim.files);
    detector->Serve(*h.app);
    TTestForm& form = h.NewForm();
    form.AddHandler("FormCreate", [this](TComponent*) { created = true; });
    form.AddHandler("OneInstance1Custom", [this](TComponent* sender) { customSender = sender; });
    try {
      form.Load("object MainForm: TTestForm\n  OnCreate = FormCreate\n  object OneInstance1: TOneInstance\n" +
                properties + "  end\nend\n");
    } catch (const EAbort&) {
      ended = true;
    }
  }
  void TearDown() override {
    h.form.reset();
    h.app.reset();
  }

  FrameworkHarness h;
  std::unique_ptr<TApplication> running;
  std::unique_ptr<TInstanceDetector> detector;
  bool created = false;
  bool ended = false;
  TComponent* customSender = nullptr;
};

TEST_F(OneInstanceReaction, EachModeReactsThenEndsBeforeTheCreationHandler) {
  struct Case {
    const char* Name;
    bool OtherCopyRuns;
    std::string Properties;
    bool Ends;
    bool Box;
    bool Raised;
    bool Custom;
  };
  const Case cases[] = {
      {"first copy", false, "    Mode = oiDefaultMessage\n", false, false, false, false},
      {"disabled", true, "    Enabled = False\n    Mode = oiDefaultMessage\n", false, false, false, false},
      {"activate only", true, "", true, false, true, false},
      {"default message", true, "    Mode = oiDefaultMessage\n", true, true, true, false},
      {"custom", true, "    Mode = oiCustom\n    OnCustom = OneInstance1Custom\n", true, false, false, true},
      {"custom without handler", true, "    Mode = oiCustom\n    About = 'Kelpo guard of one copy'\n", true, false,
       true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TearDown();
    running.reset();
    detector.reset();
    h.app = std::make_unique<TApplication>(h.sim.Services());
    h.app->SetTitle("Kelpo");
    created = ended = false;
    customSender = nullptr;
    h.sim.dialogs.Clear();
    const std::size_t raisedBefore = h.sim.windowSearch.Raised().size();
    if (c.Box) {
      // The message comes first, while the running copy is still where it was.
      h.sim.dialogs.Expect([&](const MessageBoxCall&) {
        EXPECT_EQ(h.sim.windowSearch.Raised().size(), raisedBefore);
        return idOk;
      });
    }
    Start(c.OtherCopyRuns, c.Properties);

    EXPECT_EQ(ended, c.Ends);
    EXPECT_EQ(h.app->Terminated(), c.Ends);
    EXPECT_EQ(created, !c.Ends) << "FormCreate runs only in a copy that goes on";
    EXPECT_EQ(h.form->HandleAllocated(), !c.Ends) << "no window for a copy that ends";
    ASSERT_EQ(h.sim.dialogs.Shown().size(), c.Box ? 1u : 0u);
    if (c.Box) {
      const MessageBoxCall& box = h.sim.dialogs.Shown()[0];
      EXPECT_EQ(box.Caption, "Information");
      EXPECT_EQ(box.Text, AlreadyStarted);
      EXPECT_EQ(box.Style, mbOk | mbIconInformation);
    }
    const std::vector<WindowHandle>& raised = h.sim.windowSearch.Raised();
    if (c.Raised) {
      ASSERT_EQ(raised.size(), raisedBefore + 1);
      EXPECT_EQ(raised.back(), running->Handle());
      // This copy's own window lost its title, so that the search did not find it.
      EXPECT_EQ(h.sim.windowing.GetWindowText(h.app->Handle()), "");
    } else {
      EXPECT_EQ(raised.size(), raisedBefore);
    }
    EXPECT_EQ(customSender, c.Custom ? h.form->FindComponent("OneInstance1") : nullptr);
    if (!c.Ends) {
      EXPECT_EQ(h.sim.windowing.GetWindowText(h.app->Handle()), "Kelpo");
    }
    if (h.sim.windowing.QuitPending()) h.sim.windowing.RunMessageLoop();
    if (running) h.sim.mutexes.ReleaseElsewhere("kelpo.exe");
  }
}

TEST_F(OneInstanceReaction, OnlyOneComponentPerApplication) {
  TComponent owner(*h.app);
  auto first = std::make_unique<TOneInstance>(&owner);
  EXPECT_TRUE(first->Enabled);
  EXPECT_EQ(first->Mode, TOneInstanceMode::oiActivateOnly);
  first->SetAbout("Kelpo guard of one copy");
  EXPECT_EQ(first->About(), "Kelpo guar");
  try {
    TOneInstance second(&owner);
    ADD_FAILURE() << "a second TOneInstance was made";
  } catch (const EOneInstanceError& error) {
    EXPECT_STREQ(error.what(), "TOneInstance:\rAlready one TOneInstance control in this project!");
  }
  EXPECT_EQ(owner.Components().size(), 1u) << "the failed one is not kept";
  // Another application (another process) has its own; and once the first is
  // gone, this one may have a new one.
  TApplication other(h.sim.Services());
  TComponent otherOwner(other);
  EXPECT_NO_THROW(TOneInstance{&otherOwner});
  first.reset();
  EXPECT_NO_THROW(TOneInstance{&owner});
}

// The whole program started while a first copy runs on the same session (its
// windows and mutexes): the message, the first copy forward, the end with
// exit code 0, and nothing of the second copy's start-up done.
class CountingProfileFiles : public ProfileFiles {
 public:
  explicit CountingProfileFiles(ProfileFiles& inner) : inner_(inner) {}
  std::string GetString(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultText, unsigned bufferSize) override {
    ++Reads;
    return inner_.GetString(file, section, key, defaultText, bufferSize);
  }
  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    ++Writes;
    return inner_.WriteString(file, section, key, value);
  }
  int Reads = 0;
  int Writes = 0;

 private:
  ProfileFiles& inner_;
};

TEST(SecondCopy, ShowsTheMessageBringsTheFirstForwardAndEndsWithoutStarting) {
  enum class First { Shown, Minimised, InTray };
  for (First state : {First::Shown, First::Minimised, First::InTray}) {
    SCOPED_TRACE(state == First::Shown ? "shown" : state == First::Minimised ? "minimised" : "in the tray");
    KelpoHarness k;
    const std::string settings = "[Scheduler]\r\nSchID=2\r\nSchFrequency=4\r\nTime=9:00:00 PM\r\n";
    k.WriteSettings(settings);
    k.Start();
    ASSERT_NE(k.form, nullptr);
    const WindowHandle firstApplication = k.app->Handle();
    const WindowHandle firstMain = k.form->Handle();
    if (state == First::Minimised) k.form->Image3Click(nullptr);
    if (state == First::InTray) k.form->Close();
    // Another program's window is in front meanwhile.
    struct OtherProgram : MessageWindow {
      bool WindowProc(Message&) override { return false; }
    } other;
    WindowParams params;
    params.ClassName = "TOtherProgram";
    const WindowHandle otherWindow = k.sim.windowing.CreateMessageWindow(params, &other);
    k.sim.windowing.SetForegroundWindow(otherWindow);
    ASSERT_EQ(k.sim.windowing.IsIconic(firstApplication), state == First::Minimised);
    const std::size_t shellCalls = k.sim.notifyIcons.Calls().size();
    const std::size_t icons = k.sim.notifyIcons.Icons().size();

    CountingProfileFiles profiles(k.sim.profiles);
    Platform second = k.platform.With(profiles);
    k.sim.dialogs.Expect([&](const MessageBoxCall& box) {
      EXPECT_EQ(k.sim.windowing.IsIconic(firstApplication), state == First::Minimised) << "not yet activated";
      EXPECT_NE(box.Owner, firstApplication);
      return idOk;
    });
    // Should the guard let the copy through, its message loop gives up soon.
    k.sim.windowing.SetLoopDeadline(k.sim.clock.Millis() + 1000);
    EXPECT_EQ(RunKelpo(second), 0);
    k.sim.windowing.SetLoopDeadline(INT64_MAX);

    ASSERT_EQ(k.sim.dialogs.Shown().size(), 1u);
    EXPECT_EQ(k.sim.dialogs.Shown()[0].Caption, "Information");
    EXPECT_EQ(k.sim.dialogs.Shown()[0].Text, AlreadyStarted);
    EXPECT_EQ(k.sim.dialogs.Shown()[0].Style, mbOk | mbIconInformation);
    EXPECT_EQ(profiles.Reads, 0) << "settings read";
    EXPECT_EQ(profiles.Writes, 0);
    EXPECT_EQ(k.ReadSettings(), settings);
    // At most the tray icon component's farewell to an icon it never added.
    for (std::size_t i = shellCalls; i < k.sim.notifyIcons.Calls().size(); ++i)
      EXPECT_EQ(k.sim.notifyIcons.Calls()[i].Command, NotifyIconCommand::Delete) << "the second copy added an icon";
    EXPECT_EQ(k.sim.notifyIcons.Icons().size(), icons);
    EXPECT_EQ(k.sim.mutexes.OpenCount("kelpo.exe"), 1) << "the second copy's handle closed at its end";

    // The first copy: restored when minimised, else raised; hidden in the tray it stays hidden.
    EXPECT_FALSE(k.sim.windowing.IsIconic(firstApplication));
    EXPECT_EQ(k.sim.windowing.IsWindowVisible(firstMain), state != First::InTray);
    EXPECT_EQ(k.sim.windowing.IsWindowVisible(firstApplication), state != First::InTray);
    if (state == First::Minimised) {
      EXPECT_THAT(k.sim.windowSearch.Raised(), IsEmpty());
    } else {
      EXPECT_THAT(k.sim.windowSearch.Raised(), ElementsAre(firstApplication));
    }
    // A shown window ends up in front, its application window handing the activation on.
    EXPECT_EQ(k.sim.windowing.Foreground(), state == First::InTray ? otherWindow : firstMain);
    EXPECT_EQ(k.sim.windowing.GetWindowText(firstApplication), "Kelpo");
    EXPECT_EQ(k.form->TrayIcon1->IconVisible(), state == First::InTray);
    // The second copy's quit went to its own message loop, which never ran.
    ASSERT_TRUE(k.sim.windowing.QuitPending());
    k.sim.windowing.RunMessageLoop();
    k.sim.windowing.DestroyWindow(otherWindow);
  }
}

TEST(SecondCopy, StartsNormallyOnceTheFirstHasEnded) {
  KelpoHarness k;
  k.Start();
  k.Stop();
  EXPECT_EQ(k.sim.mutexes.OpenCount("kelpo.exe"), 0);
  k.Start();
  ASSERT_NE(k.form, nullptr);
  EXPECT_TRUE(k.sim.windowing.IsWindowVisible(k.form->Handle()));
  EXPECT_THAT(k.sim.dialogs.Shown(), IsEmpty());
}

}  // namespace
}  // namespace kelpo
