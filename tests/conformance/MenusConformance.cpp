// Popup menus and image lists, run against the simulation natively and
// against Windows (Wine): a menu opened from a timer tick runs its own modal
// loop, in which ticks go on, and the chosen item's handler has run when the
// popup returns; owner-drawn items and icons are measured and painted.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "framework/Timer.h"
#include "tests/conformance/ConformanceBackend.h"

namespace kelpo {
namespace {

class MenusConformance : public ::testing::Test {
 protected:
  TMenuItem& AddItem(TPopupMenu& menu, const std::string& caption, int tag) {
    auto* item = new TMenuItem(root.get());
    item->Caption = caption;
    item->Tag = tag;
    item->OnClick = [this](TComponent* sender) {
      clickedTag = sender->Tag;
      clickedWhileOpen = popupOpen;
    };
    menu.Items().Add(item);
    return *item;
  }

  // Opens `menu` from the first tick of a timer, in the application's loop,
  // while a second timer ticks; the next menu is answered by choosing `position`.
  void PopupFromTick(TPopupMenu& menu, int position) {
    TTimer ticker(root.get());
    ticker.SetInterval(20);
    ticker.SetOnTimer([&](TComponent*) { ticksWhileOpen += popupOpen ? 1 : 0; });
    TTimer opener(root.get());
    opener.SetInterval(30);
    opener.SetOnTimer([&](TComponent*) {
      opener.SetEnabled(false);
      backend->ChooseNextMenuItem(position, [&] { return ticksWhileOpen >= 3; });
      popupOpen = true;
      menu.Popup(620, 480);
      popupOpen = false;
      returned = true;
    });
    ASSERT_TRUE(backend->RunUntil([&] { return returned; }));
  }

  std::unique_ptr<PlatformUnderTest> backend = MakePlatformUnderTest();
  std::unique_ptr<TApplication> app = std::make_unique<TApplication>(backend->Services());
  std::unique_ptr<TComponent> root = std::make_unique<TComponent>(*app);
  bool popupOpen = false;
  bool returned = false;
  int ticksWhileOpen = 0;
  int clickedTag = 0;
  bool clickedWhileOpen = false;
};

TEST_F(MenusConformance, TheChosenItemRunsBeforeThePopupReturnsAndTicksGoOn) {
  auto* menu = new TPopupMenu(root.get());
  AddItem(*menu, "&First", 1);
  AddItem(*menu, "-", 0);
  AddItem(*menu, "&Second", 2).Default = true;
  AddItem(*menu, "&Third", 3);

  PopupFromTick(*menu, 3);
  EXPECT_EQ(clickedTag, 3) << "the fourth item, past a separator";
  EXPECT_TRUE(clickedWhileOpen) << "the handler runs inside the popup call";
  EXPECT_GE(ticksWhileOpen, 3);
}

TEST_F(MenusConformance, OwnerDrawnItemsAndIconsAreMeasuredAndPainted) {
  auto* images = new TImageList(root.get());
  TBitmap strip(32, 16, 0x00FF00);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x)
      if (x % 16 < 4) strip.SetPixel(x, y, 0xFF00FF);  // transparent stripe
  images->AddMasked(strip, 0xFF00FF);

  // Items the system draws, one with an icon that the program paints.
  auto* plain = new TPopupMenu(root.get());
  plain->SetImages(images);
  AddItem(*plain, "&Icon", 1).ImageIndex = 1;
  AddItem(*plain, "&Plain", 2);
  PopupFromTick(*plain, 1);
  EXPECT_EQ(clickedTag, 2);

  // Owner-drawn: the program's size is the item's, and it paints the item.
  returned = false;
  ticksWhileOpen = 0;
  auto* drawn = new TPopupMenu(root.get());
  drawn->OwnerDraw = true;
  drawn->SetImages(images);
  TMenuItem& header = AddItem(*drawn, "", 7);
  AddItem(*drawn, "-", 0);
  AddItem(*drawn, "E&xit", 8).ImageIndex = 0;
  Size measuredArea;
  int headerPaints = 0;
  header.OnMeasureItem = [](TComponent*, TCanvas&, int& width, int& height) {
    width = 190;
    height = 40;
  };
  header.OnDrawItem = [&](TComponent*, TCanvas& canvas, const Rect& rect, bool) {
    ++headerPaints;
    measuredArea = Size{rect.Width, rect.Height};
    canvas.FillRect(rect, Rgb(200, 30, 30));
  };
  PopupFromTick(*drawn, 2);
  EXPECT_EQ(clickedTag, 8);
  EXPECT_GE(headerPaints, 1);
  EXPECT_EQ(measuredArea.Height, 40);
  EXPECT_GE(measuredArea.Width, 190) << "as wide as the menu";
}

}  // namespace
}  // namespace kelpo
