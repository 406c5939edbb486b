// Popup menus on the simulated platform: layouts, what the system is asked
// to show, choices, owner-drawn items, icons and context menus.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "framework/StdControls.h"
#include "framework/Timer.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;

const char* const MenusLayout =
    "object Form1: TForm1\n"
    "  Left = 100  Top = 200  Width = 300  Height = 200  PopupMenu = FormMenu\n"
    "  object Panel1: TPanel  Left = 10  Top = 20  Width = 200  Height = 100\n"
    "    object Image1: TImage  Left = 10  Top = 10  Width = 40  Height = 30  PopupMenu = PopupMenu1\n"
    "      OnMouseUp = ImageUp\n"
    "    end\n"
    "  end\n"
    "  object PopupMenu1: TPopupMenu  Images = ImageList1  OnPopup = MenuPopup\n"
    "    object Home1: TMenuItem  Caption = '&Home'  Tag = 1  ImageIndex = 1  OnClick = ItemClick  end\n"
    "    object N1: TMenuItem  Caption = '-'  end\n"
    "    object Services1: TMenuItem  Caption = '&Services'  Tag = 3\n"
    "      object Service1: TMenuItem  Caption = 'First && best'  Tag = 1  OnClick = ItemClick  end\n"
    "      object Service2: TMenuItem  Caption = 'Se&cond'  Tag = 2  OnClick = ItemClick  end\n"
    "    end\n"
    "    object Open1: TMenuItem  Caption = '&Open'  Default = True  Tag = 6  OnClick = ItemClick  end\n"
    "    object Exit1: TMenuItem  Caption = 'E&xit'  Default = True  Tag = 7  ImageIndex = 9  OnClick = ItemClick  "
    "end\n"
    "  end\n"
    "  object FormMenu: TPopupMenu  Alignment = paRight  TrackButton = tbLeftButton\n"
    "    object Form1Item: TMenuItem  Caption = 'Form'  OnClick = ItemClick  end\n"
    "  end\n"
    "  object ImageList1: TImageList  Width = 4  Height = 2  end\n"
    "end\n";

class FrameworkMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    TTestForm& form = h.NewForm();
    form.AddHandler("ItemClick", [this](TComponent* sender) {
      log.push_back("click " + sender->Name + " " + std::to_string(sender->Tag) +
                    (h.sim.menus.Open() ? " while the menu is open" : ""));
    });
    form.AddHandler("MenuPopup", [this](TComponent* sender) { log.push_back("popup " + sender->Name); });
    form.AddHandler("ImageUp",
                    [this](TComponent* sender, TMouseButton, int, int) { log.push_back("up " + sender->Name); });
    form.Load(MenusLayout);
    TImageList& images = form.Get<TImageList>("ImageList1");
    TBitmap strip(8, 2, 0x0000FF);
    strip.SetPixel(4, 0, 0x123456);
    strip.SetPixel(5, 0, 0x000001);  // transparent in image 1
    images.AddMasked(strip, 0x000001);
  }
  TPopupMenu& Menu(const char* name = "PopupMenu1") { return h.form->Get<TPopupMenu>(name); }

  FrameworkHarness h;
  std::vector<std::string> log;
};

TEST_F(FrameworkMenus, LayoutNestsItemsInTheirMenuAndTheFormOwnsThem) {
  TPopupMenu& menu = Menu();
  ASSERT_EQ(menu.Items().Count(), 5);
  EXPECT_EQ(menu.Images(), &h.form->Get<TImageList>("ImageList1"));
  TMenuItem& services = h.form->Get<TMenuItem>("Services1");
  EXPECT_EQ(menu.Items().Items()[2], &services);
  ASSERT_EQ(services.Count(), 2);
  EXPECT_EQ(services.Items()[1]->Name, "Service2");
  EXPECT_EQ(services.Items()[1]->Parent(), &services);
  EXPECT_EQ(services.Items()[1]->Menu(), &menu);
  EXPECT_EQ(services.Items()[1]->Owner(), h.form.get());
  EXPECT_TRUE(h.form->Get<TMenuItem>("N1").IsLine());
  EXPECT_EQ(menu.DefaultItem()->Name, "Open1") << "the lowest-positioned default";
  EXPECT_EQ(h.form->Get<TImage>("Image1").PopupMenu(), &menu);
  EXPECT_EQ(Menu("FormMenu").Alignment, TPopupAlignment::paRight);

  // Freeing an item takes it out of its menu.
  delete &h.form->Get<TMenuItem>("N1");
  EXPECT_EQ(menu.Items().Count(), 4);
}

TEST_F(FrameworkMenus, LayoutErrorsNameWhatIsWrong) {
  const struct {
    const char* layout;
    const char* error;
  } cases[] = {
      {"object F: TF\n object P: TPopupMenu  Images = Nowhere  end\nend",
       "Layout error at line 2: unknown component Nowhere for Images of P"},
      {"object F: TF\n object I: TImage  PopupMenu = Nowhere  end\nend",
       "Layout error at line 2: unknown component Nowhere for PopupMenu of I"},
      {"object F: TF\n object M: TMenuItem  Caption = 'x'  end\nend",
       "Layout error at line 2: F cannot hold M, a TMenuItem"},
      {"object F: TF\n object P: TPopupMenu\n  object X: TPanel  end\n end\nend",
       "Layout error at line 3: P cannot hold X, a TPanel"},
      {"object F: TF\n object P: TPopupMenu\n  object A: TMenuItem\n   object X: TTimer end\n  end\n end\nend",
       "Layout error at line 4: A cannot hold X, a TTimer"},
      {"object F: TF\n object T: TTimer\n  object X: TTimer  end\n end\nend",
       "Layout error at line 3: T cannot hold X, a TTimer"},
      {"object F: TF\n object P: TPopupMenu  Alignment = paTop  end\nend",
       "Layout error at line 2: unknown identifier paTop for Alignment of P"},
      {"object F: TF\n object P: TPopupMenu\n  object A: TMenuItem  OnDrawItem = Nothing  end\n end\nend",
       "Layout error at line 3: unknown handler Nothing for OnDrawItem of A"},
  };
  for (const auto& c : cases) {
    FrameworkHarness harness;
    try {
      harness.NewForm().Load(c.layout);
      ADD_FAILURE() << "no error for " << c.layout;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

TEST_F(FrameworkMenus, PopupShowsTheItemsAndRunsTheChoiceBeforeItReturns) {
  h.sim.menus.Expect([&](SimMenuCall& open) {
    log.push_back("shown " + open.CaptionLine());
    return SimMenuChoice::ByCaption({"&Services", "Se&cond"});
  });
  Menu().Popup(400, 250);
  log.push_back("returned");
  EXPECT_THAT(log,
              ElementsAre("popup PopupMenu1", "shown &Home|-|&Services|&Open|E&xit", "click Service2 2", "returned"));

  const SimMenuCall& shown = h.sim.menus.Shown().back();
  EXPECT_EQ(shown.At, (Point{400, 250}));
  EXPECT_EQ(shown.Flags, tpmLeftAlign | tpmRightButton);
  EXPECT_TRUE(shown.Items[1].Entry.Separator);
  EXPECT_TRUE(shown.Items[3].Entry.Default);
  EXPECT_FALSE(shown.Items[4].Entry.Default) << "one default item per menu";
  EXPECT_TRUE(shown.Items[0].Entry.Icon);
  EXPECT_FALSE(shown.Items[4].Entry.Icon) << "index 9 is not in the list";
  EXPECT_FALSE(shown.Items[0].Entry.OwnerDraw);
  ASSERT_EQ(shown.Items[2].Items.size(), 2u);
  EXPECT_EQ(shown.Items[2].Items[0].Entry.Caption, "First && best");
  EXPECT_TRUE(shown.Items[2].Shown) << "the submenu showed on the way to the choice";

  // By position; separators and submenu parents are no command; no answer cancels.
  const struct {
    SimMenuChoice choice;
    const char* click;
  } choices[] = {
      {SimMenuChoice::ByPosition({4}), "click Exit1 7"},
      {SimMenuChoice::ByPosition({2, 0}), "click Service1 1"},
      {SimMenuChoice::ByPosition({1}), nullptr},
      {SimMenuChoice::ByPosition({2}), nullptr},
      {SimMenuChoice::ByPosition({7}), nullptr},
      {SimMenuChoice::ByCaption({"Home"}), nullptr},
      {SimMenuChoice::Cancel(), nullptr},
  };
  for (const auto& c : choices) {
    log.clear();
    h.sim.menus.ExpectChoice(c.choice);
    Menu().Popup(1, 2);
    if (c.click)
      EXPECT_THAT(log, ElementsAre("popup PopupMenu1", c.click));
    else
      EXPECT_THAT(log, ElementsAre("popup PopupMenu1"));
  }
  log.clear();
  Menu().Popup(1, 2);  // nothing scripted: dismissed
  EXPECT_THAT(log, ElementsAre("popup PopupMenu1"));

  // Alignment and button give the flags.
  Menu("FormMenu").Popup(5, 6);
  EXPECT_EQ(h.sim.menus.Shown().back().Flags, tpmRightAlign | tpmLeftButton);
  Menu("FormMenu").Alignment = TPopupAlignment::paCenter;
  Menu("FormMenu").Popup(5, 6);
  EXPECT_EQ(h.sim.menus.Shown().back().Flags, tpmCenterAlign | tpmLeftButton);
  Menu("FormMenu").Popup(5, 6, tpmLeftAlign | tpmRightButton);
  EXPECT_EQ(h.sim.menus.Shown().back().Flags, tpmLeftAlign | tpmRightButton);
}

TEST_F(FrameworkMenus, AHandlerErrorIsShownAndTheMenuIsDone) {
  h.form->Get<TMenuItem>("Open1").OnClick = [](TComponent*) { throw Exception("Cannot open"); };
  h.sim.menus.ExpectChoice(SimMenuChoice::ByPosition({3}));
  Menu().Popup(0, 0);
  ASSERT_EQ(h.sim.dialogs.Shown().size(), 1u);
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Text, "Cannot open");
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Style, mbOk | mbIconError);
}

TEST_F(FrameworkMenus, TheMenuLoopDispatchesWaitingMessagesAndTicksAndOneMenuAtATime) {
  int ticks = 0;
  TTimer timer(h.form.get());
  timer.SetInterval(100);
  timer.SetOnTimer([&](TComponent*) { ++ticks; });
  h.sim.menus.Expect([&](SimMenuCall&) {
    h.sim.windowing.AdvanceBy(350);
    log.push_back("ticks " + std::to_string(ticks));
    // A second menu while one is open does not show.
    Menu("FormMenu").Popup(0, 0);
    return SimMenuChoice::ByPosition({0});
  });
  Menu().Popup(0, 0);
  EXPECT_THAT(log, ElementsAre("popup PopupMenu1", "ticks 3", "click Home1 1"));
  EXPECT_EQ(h.sim.menus.Shown().size(), 1u) << "the second menu did not show";

  // An item freed while the menu was open is not chosen any more.
  log.clear();
  h.sim.menus.Expect([&](SimMenuCall&) {
    delete &h.form->Get<TMenuItem>("Exit1");
    return SimMenuChoice::ByPosition({4});
  });
  Menu().Popup(0, 0);
  EXPECT_THAT(log, ElementsAre("popup PopupMenu1"));

  // A quit waiting ends the menu before the user chooses.
  log.clear();
  h.sim.windowing.PostQuitMessage(0);
  h.sim.menus.ExpectChoice(SimMenuChoice::ByPosition({0}));
  Menu().Popup(0, 0);
  EXPECT_THAT(log, ElementsAre("popup PopupMenu1"));
  EXPECT_EQ(h.sim.menus.PendingResponders(), 1u);
}

TEST_F(FrameworkMenus, IconsOfSystemDrawnItemsArePaintedWithTheirMask) {
  h.sim.menus.Expect([&](SimMenuCall& open) {
    const SimMenuItem& home = open.Items[0];
    EXPECT_EQ(home.Measured, (Size{4, 2}));
    EXPECT_EQ(home.Paints, 1);
    EXPECT_EQ(home.Picture->Width(), 4);
    EXPECT_EQ(home.Picture->Pixel(0, 0), 0x123456u);
    EXPECT_EQ(home.Picture->Pixel(1, 0), 0u) << "transparent: what was there stays";
    EXPECT_EQ(home.Picture->Pixel(1, 1), 0x0000FFu);
    EXPECT_EQ(open.Items[3].Paints, 0) << "no icon, nothing for the program to paint";
    return SimMenuChoice::Cancel();
  });
  Menu().Popup(0, 0);
  EXPECT_EQ(h.sim.menus.PendingResponders(), 0u);
}

TEST_F(FrameworkMenus, OwnerDrawnItemsUseTheirEventsOrTheStandardLook) {
  TPopupMenu& menu = Menu();
  menu.OwnerDraw = true;
  TMenuItem& home = h.form->Get<TMenuItem>("Home1");
  std::vector<std::string> events;
  home.OnMeasureItem = [&](TComponent* sender, TCanvas&, int& width, int& height) {
    events.push_back("measure " + sender->Name + " " + std::to_string(width) + "x" + std::to_string(height));
    width = 190;
    height = 100;
  };
  home.OnDrawItem = [&](TComponent*, TCanvas& canvas, const Rect& rect, bool selected) {
    events.push_back("draw " + std::to_string(rect.Left) + "," + std::to_string(rect.Top) + " " +
                     std::to_string(rect.Width) + "x" + std::to_string(rect.Height) + (selected ? " selected" : ""));
    canvas.FillRect(Rect{1, 1, 2, 2}, Rgb(255, 0, 0));  // menu-window coordinates, clipped to the item
  };
  const MenuLook look = h.sim.menus.Look();
  h.sim.menus.Expect([&](SimMenuCall& open) {
    const SimMenuItem& header = open.Items[0];
    EXPECT_EQ(header.Area, (Rect{3, 3, 190, 100}));
    EXPECT_EQ(header.Picture->Pixel(0, 0), 0u) << "(1, 1) of the menu window is outside the item";

    // The standard look: background, caption without its marks, the accelerator underlined.
    const SimMenuItem& open1 = open.Items[3];
    if (!open1.Picture || open1.Picture->Texts().size() != 1) {
      ADD_FAILURE() << "the standard look draws the caption once";
      return SimMenuChoice::Cancel();
    }
    EXPECT_EQ(open1.Picture->Pixel(0, 0), PixelOf(look.Background));
    EXPECT_EQ(open1.Picture->Texts()[0].Text, "Open");
    EXPECT_TRUE(open1.Picture->Texts()[0].Font.Bold) << "the default item";
    EXPECT_FALSE(open.Items[4].Picture->Texts()[0].Font.Bold);
    const SimTextOp& text = open1.Picture->Texts()[0];
    const int underline = text.Origin.Y + (std::abs(look.Font.Height) + 2) - 2;
    EXPECT_EQ(open1.Picture->Pixel(text.Origin.X, underline), PixelOf(look.Text)) << "the O is underlined";
    EXPECT_EQ(open1.Picture->Pixel(text.Origin.X + 8, underline), PixelOf(look.Background));

    // A separator is a line of shadow over highlight.
    const SimMenuItem& line = open.Items[1];
    EXPECT_EQ(line.Area.Height, 9);
    EXPECT_EQ(line.Picture->Pixel(5, 3), PixelOf(look.Shadow));
    EXPECT_EQ(line.Picture->Pixel(5, 4), PixelOf(look.Highlight));

    // The highlight repaints the items it leaves and reaches.
    h.sim.menus.Highlight({3});
    EXPECT_EQ(open.Items[3].Picture->Pixel(0, 0), PixelOf(look.SelectedBackground));
    EXPECT_EQ(open.Items[3].Picture->Texts()[0].Font.TextColor, look.SelectedText);
    h.sim.menus.Highlight({0});
    EXPECT_EQ(open.Items[3].Picture->Pixel(0, 0), PixelOf(look.Background));
    return SimMenuChoice::ByPosition({0});
  });
  menu.Popup(0, 0);
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[0].rfind("measure Home1 ", 0), 0u) << "starts from the standard size";
  EXPECT_EQ(events[1], "draw 3,3 190x100");
  EXPECT_EQ(events[2], "draw 3,3 190x100 selected");
  EXPECT_THAT(log, ElementsAre("popup PopupMenu1", "click Home1 1"));

  // An error in a drawing handler is shown; the menu goes on.
  home.OnDrawItem = [](TComponent*, TCanvas&, const Rect&, bool) { throw Exception("Cannot open file x.bmp"); };
  h.sim.menus.ExpectChoice(SimMenuChoice::ByPosition({4}));
  menu.Popup(0, 0);
  ASSERT_EQ(h.sim.dialogs.Shown().size(), 1u);
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Text, "Cannot open file x.bmp");
  EXPECT_EQ(log.back(), "click Exit1 7");
}

TEST_F(FrameworkMenus, RightClickOpensTheContextMenuAtThePointerAfterTheMouseUp) {
  const WindowHandle panel = h.form->Get<TPanel>("Panel1").Handle();
  h.sim.menus.Expect([&](SimMenuCall& open) {
    log.push_back("menu " + open.CaptionLine().substr(0, 5));
    return SimMenuChoice::Cancel();
  });
  h.sim.windowing.Click(panel, Point{15, 12}, true);
  EXPECT_THAT(log, ElementsAre("up Image1", "popup PopupMenu1", "menu &Home"));
  // Form at (100, 200), panel at (10, 20) in it, the click at (15, 12) of the panel.
  EXPECT_EQ(h.sim.menus.Shown().back().At, (Point{125, 232}));
  EXPECT_EQ(Menu().PopupComponent, &h.form->Get<TImage>("Image1"));

  // Beside the image: the panel has no menu, its parent the form has.
  log.clear();
  h.sim.windowing.Click(panel, Point{150, 80}, true);
  EXPECT_THAT(log, ElementsAre());
  EXPECT_EQ(h.sim.menus.Shown().back().CaptionLine(), "Form");
  EXPECT_EQ(Menu("FormMenu").PopupComponent, h.form.get());

  // Without AutoPopup the image's menu stays shut; the next one up, the form's, opens.
  Menu().AutoPopup = false;
  const std::size_t shown = h.sim.menus.Shown().size();
  log.clear();
  h.sim.windowing.Click(panel, Point{15, 12}, true);
  EXPECT_THAT(log, ElementsAre("up Image1"));
  EXPECT_EQ(h.sim.menus.Shown().size(), shown + 1) << "the form's menu";
  EXPECT_EQ(h.sim.menus.Shown().back().CaptionLine(), "Form");

  // From the keyboard: at the control's top-left corner.
  h.sim.windowing.SendMessage(panel, wmContextMenu, panel, LParamFromPoint(Point{-1, -1}));
  EXPECT_EQ(h.sim.menus.Shown().back().At, (Point{110, 220}));
}

TEST(MenuCaption, MarksGoAndTheFirstSingleOneIsTheAccelerator) {
  const struct {
    const char* caption;
    const char* shown;
    std::size_t accelerator;
  } cases[] = {
      {"&Open", "Open", 0},
      {"E&xit", "Exit", 1},
      {"Start/Stop", "Start/Stop", std::string::npos},
      {"Fish && Chips", "Fish & Chips", std::string::npos},
      {"&&Then &Now", "&Then Now", 6},
      {"A&b&c", "Abc", 1},
      {"Trailing&", "Trailing&", std::string::npos},
      {"", "", std::string::npos},
  };
  for (const auto& c : cases) {
    const TMenuCaption parsed = ParseMenuCaption(c.caption);
    EXPECT_EQ(parsed.Shown, c.shown) << c.caption;
    EXPECT_EQ(parsed.Accelerator, c.accelerator) << c.caption;
  }
}

}  // namespace
}  // namespace kelpo
