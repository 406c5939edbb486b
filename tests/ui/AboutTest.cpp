// The about box: its version text from the executable's version resource,
// its creation hidden at start-up, showing it from the main window without
// making it modal, and its two links.

#include <gtest/gtest.h>

#include "platform/sim/SimVersionInfo.h"
#include "tests/support/KelpoHarness.h"
#include "ui/ProductVersion.h"
#include "ui/WebAddresses.h"

namespace kelpo {
namespace {

// Counts the times a window is shown (WM_SHOWWINDOW with wParam 1).
class ShowCounter : public WindowHook {
 public:
  std::intptr_t HookProc(WindowHandle, Message& m, const PreviousWindowProc& previous) override {
    if (m.Msg == wmShowWindow && m.WParam == 1) ++shows;
    return previous(m);
  }
  int shows = 0;
};

Point Centre(const TControl& control) {
  return Point{control.Left() + control.Width() / 2, control.Top() + control.Height() / 2};
}

TEST(ProductVersionText, MajorAndMinorOfTheProductVersionOnly) {
  const std::string exe = "C:\\Kelpo\\kelpo.exe";
  std::vector<std::uint8_t> unsigned_ = SimVersionInfo::Block(FixedVersion({2, 5, 0, 0}, {2, 5, 0, 0}));
  unsigned_[40] = 0;  // the first byte of the fixed part's signature
  std::vector<std::uint8_t> headerOnly = SimVersionInfo::Block(FixedVersion({2, 5, 0, 0}, {2, 5, 0, 0}));
  headerOnly.resize(40);
  struct Case {
    const char* Name;
    std::optional<std::vector<std::uint8_t>> Block;  // none: no version information
    std::string Expected;
  };
  const Case cases[] = {
      {"this release", SimVersionInfo::Block(FixedVersion({2, 5, 0, 0}, {2, 5, 0, 0})), "2.5"},
      {"two-digit numbers", SimVersionInfo::Block(FixedVersion({10, 12, 3, 4}, {10, 12, 3, 4})), "10.12"},
      {"file version differs", SimVersionInfo::Block(FixedVersion({3, 1, 4, 1}, {2, 5, 0, 0})), "2.5"},
      {"largest numbers", SimVersionInfo::Block(FixedVersion({0, 0, 0, 0}, {65535, 65535, 9, 9})), "65535.65535"},
      {"zeros", SimVersionInfo::Block(FixedVersion({1, 0, 0, 0}, {0, 0, 0, 0})), "0.0"},
      {"no version information", std::nullopt, ""},
      {"fixed part without signature", unsigned_, ""},
      {"no fixed part", headerOnly, ""},
  };
  for (const Case& c : cases) {
    SimVersionInfo info;
    if (c.Block) info.SetBlock(exe, *c.Block);
    EXPECT_EQ(ProductVersionText(info, exe), c.Expected) << c.Name;
  }
}

TEST(AboutBox, IsCreatedHiddenAfterTheMainWindowWithTheVersionOfTheExecutable) {
  KelpoHarness k;
  k.sim.versionInfo.SetVersion(k.sim.files.ExecutablePath(), FixedVersion({2, 5, 3, 9}, {2, 5, 0, 0}));
  k.Start();
  TAboutDialog& about = *k.form->AboutDialog;

  const SimWindow* window = k.sim.windowing.Find(about.Handle());
  ASSERT_NE(window, nullptr);
  EXPECT_GT(about.Handle(), k.form->Handle());
  EXPECT_EQ(window->Params.ClassName, "TAboutDialog");
  EXPECT_EQ(window->Params.Kind, WindowKind::Popup);
  EXPECT_EQ(window->Text, "About Kelpo");
  EXPECT_FALSE(window->Visible);
  EXPECT_FALSE(about.Visible());
  EXPECT_EQ(window->Bounds, (Rect{(1280 - 220) / 2, (1024 - 170) / 2, 220, 170}));
  EXPECT_EQ(k.sim.windowing.Foreground(), k.form->Handle());
  EXPECT_NE(k.app->MainForm(), &about);

  EXPECT_EQ(about.Label3->Caption(), "2.5");
  EXPECT_EQ(about.Label3->BoundsRect(), (Rect{105, 150, 90, 13}));
  EXPECT_EQ(about.Label1->Caption(), HomePageAddress);
  EXPECT_EQ(about.Label1->Left() * 2 + about.Label1->Width(), 220);                              // centred
  EXPECT_GT(about.Label1->Width(), SimTextExtent(HomePageAddress, about.Label1->Font()).Width);  // never cut short
  EXPECT_EQ(about.Label1->Top(), 127);
  EXPECT_EQ(about.GIFImage1->BoundsRect(), (Rect{0, 0, 220, 170}));
  EXPECT_FALSE(about.GIFImage1->Animate());
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());

  // Painted: the picture under the links, the version label's ground over the drawn number.
  about.ShowBox();
  const auto surface = k.sim.windowing.Paint(about.Handle());
  EXPECT_EQ(surface->TextLine(), std::string(HomePageAddress) + "|Close|2.5");
  EXPECT_EQ(surface->Pixel(190, 155), PixelOf(Rgb(252, 202, 86)));
  EXPECT_EQ(surface->Pixel(200, 120), PixelOf(Rgb(255, 204, 0)));  // the picture's amber field
}

TEST(AboutBox, WithoutVersionInformationTheVersionIsEmpty) {
  KelpoHarness k;
  k.Start();
  EXPECT_EQ(k.form->AboutDialog->Label3->Caption(), "");
  EXPECT_EQ(k.form->AboutDialog->Label3->Width(), 90);
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());
}

TEST(AboutBox, ShownTwiceStaysOneBoxShownOnceAndComesForward) {
  KelpoHarness k;
  k.Start();
  TAboutDialog& about = *k.form->AboutDialog;
  ShowCounter counter;
  ASSERT_TRUE(k.sim.windowing.InstallHook(about.Handle(), counter));

  k.form->objectAboutDlgTMenuItem1Click(nullptr);
  EXPECT_TRUE(k.sim.windowing.IsWindowVisible(about.Handle()));
  EXPECT_EQ(k.sim.windowing.Foreground(), about.Handle());
  // Not modal: the main window stays shown and takes the foreground back.
  EXPECT_TRUE(k.sim.windowing.IsWindowVisible(k.form->Handle()));
  k.form->BringToFront();
  EXPECT_EQ(k.sim.windowing.Foreground(), k.form->Handle());

  k.form->ShowAboutBox();
  EXPECT_EQ(k.sim.windowing.Foreground(), about.Handle());
  EXPECT_EQ(counter.shows, 1);
  EXPECT_EQ(k.sim.windowing.FindWindow("TAboutDialog"), about.Handle());
  k.sim.windowing.RemoveHook(about.Handle(), counter);
}

TEST(AboutBox, AddressOpensTheHomePageAndCloseHidesUntilShownAgain) {
  KelpoHarness k;
  k.sim.versionInfo.SetVersion(k.sim.files.ExecutablePath(), FixedVersion({10, 12, 3, 4}, {10, 12, 3, 4}));
  k.Start();
  TAboutDialog& about = *k.form->AboutDialog;
  k.form->ShowAboutBox();
  const WindowHandle box = about.Handle();

  EXPECT_EQ(k.sim.windowing.HoverCursor(box, Centre(*about.Label1)), CursorKind::HandPoint);
  EXPECT_EQ(k.sim.windowing.HoverCursor(box, Centre(*about.Label2)), CursorKind::HandPoint);
  k.sim.windowing.Click(box, Point{200, 120});  // the picture: no link
  EXPECT_TRUE(k.sim.shell.Calls().empty());

  k.sim.windowing.Click(box, Centre(*about.Label1));
  ASSERT_EQ(k.sim.shell.Calls().size(), 1u);
  EXPECT_EQ(k.sim.shell.Calls()[0], (ShellCall{box, "open", HomePageAddress, ShowCommand::ShowNormal}));
  EXPECT_EQ(std::string(HomePageAddress).rfind("https://www.orvanex.example/", 0), 0u);
  EXPECT_TRUE(k.sim.windowing.IsWindowVisible(box));

  k.sim.windowing.Click(box, Centre(*about.Label2));
  EXPECT_FALSE(k.sim.windowing.IsWindowVisible(box));
  EXPECT_FALSE(about.Visible());
  EXPECT_TRUE(k.sim.windowing.IsWindowVisible(k.form->Handle()));  // closing the box ends nothing
  EXPECT_FALSE(k.app->Terminated());

  k.form->ShowAboutBox();
  EXPECT_TRUE(k.sim.windowing.IsWindowVisible(box));
  EXPECT_EQ(about.Label3->Caption(), "10.12");
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());
}

}  // namespace
}  // namespace kelpo
