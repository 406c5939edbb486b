// The tray menu: its picture header read from the images folder at every
// draw, and items that act the same whether the main window shows or not.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/KelpoHarness.h"
#include "ui/WebLinks.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* TypedUrls = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr std::uint32_t HeaderColour = 0x804020;

class TrayMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    k.WriteImage("kelpo3.bmp", TBitmap(188, 98, HeaderColour));
    k.WriteSettings("[Scheduler]\nSchID=0\nSchFrequency=1\n");
    k.Start();
    ClickCloseImage();  // the icon shows from the first close on
  }
  WindowHandle Main() const { return k.form->Handle(); }
  bool Shown() { return k.sim.windowing.IsWindowVisible(Main()); }
  void ClickCloseImage() { k.sim.windowing.Click(k.form->Panel1->Handle(), Point{30, 10}); }
  // A press of `button` on the tray icon, answered by `responder`.
  void Open(SimMenus::Responder responder, std::uint32_t down = wmLButtonDown) {
    k.sim.menus.Expect(std::move(responder));
    const NotifyIconData& data = k.form->TrayIcon1->NotifyData();
    ASSERT_TRUE(k.sim.notifyIcons.Click(data.Window, data.Id, down));
    k.sim.windowing.ProcessMessages();
  }
  void Choose(const std::string& caption) {
    Open([caption](SimMenuCall&) { return SimMenuChoice::ByCaption({caption}); });
  }
  const SimMenuCall& Last() const { return k.sim.menus.Shown().back(); }
  std::vector<std::string> Reported() const {
    std::vector<std::string> texts;
    for (const auto& box : k.sim.dialogs.Shown()) texts.push_back(box.Text);
    return texts;
  }
  KelpoHarness k;
};

TEST_F(TrayMenu, EitherButtonOpensTheHeaderAndTheItemsWhichNeverChange) {
  for (std::uint32_t down : {wmLButtonDown, wmRButtonDown}) {
    for (bool active : {false, true}) {
      k.form->ScheduleActive = active;
      Open([](SimMenuCall&) { return SimMenuChoice::Cancel(); }, down);
      const SimMenuCall& menu = Last();
      EXPECT_EQ(menu.CaptionLine(), "|-|Start/Stop|Wash Now|-|&Open|E&xit");
      for (const SimMenuItem& item : menu.Items) EXPECT_TRUE(item.Entry.OwnerDraw) << item.Entry.Caption;
      EXPECT_TRUE(menu.Items[5].Entry.Default);
      ASSERT_NE(menu.Items[5].Picture, nullptr);
      ASSERT_EQ(menu.Items[5].Picture->Texts().size(), 1u);
      EXPECT_TRUE(menu.Items[5].Picture->Texts()[0].Font.Bold) << "the default item in bold";
      EXPECT_FALSE(menu.Items[6].Picture->Texts()[0].Font.Bold);
      const SimMenuItem& header = menu.Items[0];
      EXPECT_EQ(header.Measured, (Size{190, 100}));
      ASSERT_NE(header.Picture, nullptr);
      // The picture's corner is at (1, 1) of the menu's canvas, up and left of
      // the item, which clips it; nothing else is painted.
      const int right = 1 + 188 - header.Area.Left, bottom = 1 + 98 - header.Area.Top;
      EXPECT_EQ(header.Picture->Pixel(0, 0), HeaderColour);
      EXPECT_EQ(header.Picture->Pixel(right - 1, bottom - 1), HeaderColour);
      EXPECT_NE(header.Picture->Pixel(right, bottom - 1), HeaderColour);
      EXPECT_NE(header.Picture->Pixel(right - 1, bottom), HeaderColour);
      EXPECT_GE(menu.Items[2].Area.Width, 190) << "the header widens the whole menu";
    }
  }
  EXPECT_FALSE(Shown());
  EXPECT_THAT(Reported(), IsEmpty());
}

TEST_F(TrayMenu, EveryItemActsWhetherTheWindowShowsOrNot) {
  for (bool shown : {false, true}) {
    SCOPED_TRACE(shown ? "window shown" : "window hidden");
    if (shown) Choose("&Open");
    ASSERT_EQ(Shown(), shown);

    const bool wasActive = k.form->ScheduleActive;
    Choose("Start/Stop");
    EXPECT_NE(k.form->ScheduleActive, wasActive);
    EXPECT_EQ(Shown(), shown) << "Start/Stop leaves the window as it is";

    k.sim.registry.CreateKey(TypedUrls);
    Choose("Wash Now");
    EXPECT_FALSE(k.sim.registry.KeyExists(TypedUrls));
    EXPECT_THAT(Reported(), IsEmpty()) << "no question";
    EXPECT_EQ(Shown(), shown);

    k.sim.shell.Clear();
    Open([](SimMenuCall&) { return SimMenuChoice::ByPosition({0}); });
    EXPECT_THAT(k.sim.shell.Calls(), ElementsAre(ShellCall{Main(), "open", LinkAddress("0"), ShowCommand::Show}));

    Choose("E&xit");
    EXPECT_TRUE(k.app->Terminated());
    k.Stop();
    k.Start();
    ClickCloseImage();
  }
}

TEST_F(TrayMenu, OpenBringsAMinimisedWindowBackNormalAndInFront) {
  Choose("&Open");
  k.sim.windowing.Click(k.form->Panel1->Handle(), Point{10, 10});  // the minimise image
  ASSERT_TRUE(k.sim.windowing.IsIconic(k.app->Handle()) || !Shown());
  Choose("&Open");
  EXPECT_TRUE(Shown());
  EXPECT_FALSE(k.sim.windowing.IsIconic(k.app->Handle()));
  EXPECT_FALSE(k.sim.windowing.IsIconic(Main()));
  EXPECT_EQ(k.sim.windowing.Foreground(), Main());
}

TEST_F(TrayMenu, TheHeaderIsReadAtEveryDrawAndAFaultyFileIsReportedEachTime) {
  // Every change of the highlight draws the header again, from the file as it is then.
  Open([this](SimMenuCall& menu) {
    k.WriteImage("kelpo3.bmp", TBitmap(188, 98, 0x112233));
    k.sim.menus.Highlight({0});
    EXPECT_EQ(menu.Items[0].Picture->Pixel(0, 0), 0x112233u);
    EXPECT_EQ(menu.Items[0].Paints, 2);
    return SimMenuChoice::Cancel();
  });

  const std::string path = k.Folder() + "\\images\\kelpo3.bmp";
  struct Case {
    std::string bytes;  // empty: no file
    std::string error;
  };
  const Case cases[] = {{"", "Cannot open file " + path}, {"BM not a picture", "Bitmap image is not valid"}};
  for (const Case& c : cases) {
    std::filesystem::remove(k.Folder() + "images/kelpo3.bmp");
    if (!c.bytes.empty()) k.WriteImageBytes("kelpo3.bmp", c.bytes);
    const std::size_t before = k.sim.dialogs.Shown().size();
    k.sim.registry.CreateKey(TypedUrls);
    Open([this](SimMenuCall&) {
      k.sim.menus.Highlight({0});
      k.sim.menus.Highlight({3});
      return SimMenuChoice::ByCaption({"Wash Now"});
    });
    std::vector<std::string> reported = Reported();
    reported.erase(reported.begin(), reported.begin() + static_cast<std::ptrdiff_t>(before));
    EXPECT_THAT(reported, ElementsAre(c.error, c.error, c.error)) << "one report per draw of the header";
    EXPECT_EQ(Last().Items[0].Measured, (Size{190, 100}));
    EXPECT_FALSE(k.sim.registry.KeyExists(TypedUrls)) << "the menu still acts";
  }
}

}  // namespace
}  // namespace kelpo
