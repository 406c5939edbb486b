// Named mutexes and the window search, run against the simulation natively
// and against Windows (Wine): what the single-instance guard relies on.

#include <gtest/gtest.h>

#include <memory>

#include "framework/Application.h"
#include "tests/conformance/ConformanceBackend.h"

namespace kelpo {
namespace {

TEST(InstanceConformance, NamedMutexIsFoundByEveryOpenerUntilItsLastHandleCloses) {
  std::unique_ptr<PlatformUnderTest> backend = MakePlatformUnderTest();
  Mutexes& mutexes = backend->Services().mutexes;
  const std::string name = "kelpo-conformance-guard.exe";

  const MutexOpening first = mutexes.CreateMutex(name);
  ASSERT_NE(first.Handle, 0u);
  EXPECT_FALSE(first.AlreadyExisted);
  const MutexOpening second = mutexes.CreateMutex(name);
  ASSERT_NE(second.Handle, 0u);
  EXPECT_TRUE(second.AlreadyExisted);
  EXPECT_NE(second.Handle, first.Handle);
  const MutexOpening otherCase = mutexes.CreateMutex("KELPO-conformance-guard.exe");
  EXPECT_FALSE(otherCase.AlreadyExisted) << "names keep their case";
  mutexes.CloseMutex(otherCase.Handle);

  mutexes.CloseMutex(first.Handle);
  const MutexOpening third = mutexes.CreateMutex(name);
  EXPECT_TRUE(third.AlreadyExisted) << "a handle is still open";
  mutexes.CloseMutex(second.Handle);
  mutexes.CloseMutex(third.Handle);
  const MutexOpening again = mutexes.CreateMutex(name);
  EXPECT_FALSE(again.AlreadyExisted) << "the mutex ended with its last handle";
  mutexes.CloseMutex(again.Handle);
}

TEST(InstanceConformance, ApplicationWindowIsFoundByClassAndTitleRestoredAndRaised) {
  std::unique_ptr<PlatformUnderTest> backend = MakePlatformUnderTest();
  Platform& platform = backend->Services();
  WindowSearch& search = platform.windowSearch;
  const std::string title = "Kelpo conformance guard";
  {
    TApplication application(platform);
    EXPECT_EQ(search.FindWindow("TApplication", title), 0u);
    application.SetTitle(title);
    EXPECT_EQ(search.FindWindow("TApplication", title), application.Handle()) << "found while hidden";
    EXPECT_EQ(search.FindWindow("TApplication", title + "!"), 0u);
    EXPECT_EQ(search.FindWindow("TMainForm", title), 0u);

    EXPECT_FALSE(search.IsIconic(application.Handle()));
    search.BringWindowToTop(application.Handle());
    EXPECT_FALSE(platform.windowing.IsWindowVisible(application.Handle())) << "raising does not show";

    application.Minimize();
    EXPECT_TRUE(search.IsIconic(application.Handle()));
    search.Restore(application.Handle());
    EXPECT_FALSE(search.IsIconic(application.Handle()));
    EXPECT_TRUE(platform.windowing.IsWindowVisible(application.Handle()));

    application.SetTitle("");
    EXPECT_EQ(search.FindWindow("TApplication", title), 0u) << "an emptied title is not found";
  }
  EXPECT_EQ(search.FindWindow("TApplication", title), 0u);
}

}  // namespace
}  // namespace kelpo
