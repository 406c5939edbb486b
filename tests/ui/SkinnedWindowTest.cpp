// The skinned main window on the simulated platform: the title strip that
// drags it, the help button's menu, and the pressed pictures of the five
// image buttons, loaded from the images folder beside the program.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/support/KelpoHarness.h"

namespace kelpo {
namespace {

// Each button's pressed picture, in a colour of its own so that a test can
// tell which one shows.
struct ButtonFace {
  const char* File;
  std::uint32_t Colour;
};
constexpr ButtonFace StopFace{"pstop.bmp", 0x110000};
constexpr ButtonFace HelpFace{"help.bmp", 0x220000};
constexpr ButtonFace StartFace{"pstart.bmp", 0x330000};
constexpr ButtonFace ApplyFace{"apply.bmp", 0x440000};
constexpr ButtonFace WashFace{"washnow.bmp", 0x550000};

class SkinnedWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const ButtonFace& face : {StopFace, HelpFace, StartFace, ApplyFace, WashFace})
      k.WriteImage(face.File, TBitmap(20, 10, face.Colour));
    k.Start();
    k.sim.windowing.SetBounds(k.form->Handle(), Rect{100, 200, 478, 313});
  }

  WindowHandle Body() const { return k.form->Panel2->Handle(); }
  static Point Inside(const TImage& button) { return Point{button.Left() + 5, button.Top() + 5}; }
  static bool Shows(TImage& button, std::uint32_t colour) {
    return !button.Picture().Empty() && button.Picture().Pixel(0, 0) == colour;
  }
  // What the body panel shows on the screen at the button's corner.
  std::uint32_t OnScreen(const TImage& button) const {
    const SimSurface* screen = k.sim.windowing.Screen(Body());
    return screen ? screen->Pixel(button.Left() + 1, button.Top() + 1) : 0xFFFFFFFF;
  }

  KelpoHarness k;
};

TEST_F(SkinnedWindow, OnlyTheFreeTitleStripAnswersAsCaption) {
  struct Case {
    Point At;  // in the window
    const char* Under;
    std::intptr_t Answer;
  };
  const Case cases[] = {
      {{0, 0}, "window", htCaption},         {{300, 11}, "window", htCaption},       {{432, 22}, "window", htCaption},
      {{433, 5}, "title buttons", htClient}, {{470, 22}, "title buttons", htClient}, {{100, 23}, "body", htClient},
      {{410, 150}, "body", htClient},        {{477, 312}, "body", htClient},
  };
  const std::map<WindowHandle, std::string> names{
      {k.form->Handle(), "window"}, {k.form->Panel1->Handle(), "title buttons"}, {Body(), "body"}};
  for (const Case& c : cases) {
    const Point screen{100 + c.At.X, 200 + c.At.Y};
    const WindowHandle under = k.sim.windowing.WindowFromPoint(screen);
    ASSERT_TRUE(names.count(under)) << c.At.X << "," << c.At.Y;
    EXPECT_EQ(names.at(under), c.Under) << c.At.X << "," << c.At.Y;
    EXPECT_EQ(k.sim.windowing.SendMessage(under, wmNcHitTest, 0, LParamFromPoint(screen)), c.Answer)
        << c.At.X << "," << c.At.Y;
  }
  // Outside the window the standard answer stays.
  EXPECT_EQ(k.sim.windowing.SendMessage(k.form->Handle(), wmNcHitTest, 0, LParamFromPoint(Point{50, 50})), htNowhere);
}

TEST_F(SkinnedWindow, DraggingTheTitleStripMovesTheWindowAndNothingElseDoes) {
  SimWindowing& windowing = k.sim.windowing;
  windowing.Drag(Point{150, 210}, Point{190, 240});
  EXPECT_EQ(windowing.GetBounds(k.form->Handle()), (Rect{140, 230, 478, 313}));

  // The body, a button in it and the minimise button: the window stays, and a
  // button released away from where it was pressed does nothing.
  windowing.Drag(Point{140 + 200, 230 + 150}, Point{140 + 260, 230 + 190});
  windowing.Drag(Point{140 + 270, 230 + 23 + 60}, Point{140 + 300, 230 + 23 + 120});
  windowing.Drag(Point{140 + 440, 230 + 10}, Point{140 + 400, 230 + 100});
  EXPECT_EQ(windowing.GetBounds(k.form->Handle()), (Rect{140, 230, 478, 313}));
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());
  EXPECT_FALSE(windowing.IsIconic(k.app->Handle()));
}

TEST_F(SkinnedWindow, HelpOpensTheLinksMenuBelowItOrAtThePointer) {
  TImage& help = *k.form->Image6;
  bool pressedWhileOpen = false;
  k.sim.menus.Expect([&](SimMenuCall&) {
    pressedWhileOpen = Shows(help, HelpFace.Colour) && OnScreen(help) == HelpFace.Colour;
    return SimMenuChoice::Cancel();
  });
  k.sim.windowing.Click(Body(), Inside(help));
  ASSERT_EQ(k.sim.menus.Shown().size(), 1u);
  EXPECT_EQ(k.sim.menus.Shown()[0].At, (Point{400, 250}));
  EXPECT_TRUE(pressedWhileOpen);
  EXPECT_FALSE(Shows(help, HelpFace.Colour));
  EXPECT_EQ(k.form->PopupMenu1->PopupComponent, &help);

  // A right click opens the same menu at the pointer, as its context menu.
  k.sim.windowing.Click(Body(), Point{help.Left() + 9, help.Top() + 7}, true);
  ASSERT_EQ(k.sim.menus.Shown().size(), 2u);
  EXPECT_EQ(k.sim.menus.Shown()[1].At, (Point{100 + help.Left() + 9, 200 + 23 + help.Top() + 7}));
  EXPECT_EQ(k.sim.menus.Shown()[1].Items.size(), k.sim.menus.Shown()[0].Items.size());
  EXPECT_FALSE(Shows(help, HelpFace.Colour));
}

TEST_F(SkinnedWindow, EachButtonShowsItsPressedPictureFromDownToUp) {
  struct Case {
    TImage* Button;
    ButtonFace Face;
  };
  // In this order the start button hides itself and shows the stop button,
  // which hides itself again; the questions and the menu are declined.
  const Case cases[] = {{k.form->Image8, ApplyFace},
                        {k.form->Image9, WashFace},
                        {k.form->Image6, HelpFace},
                        {k.form->Image7, StartFace},
                        {k.form->Image5, StopFace}};
  for (const Case& c : cases) {
    TImage& button = *c.Button;
    SCOPED_TRACE(button.Name);
    ASSERT_TRUE(button.Visible());
    const TBitmap normal = button.Picture();
    k.sim.windowing.MouseDown(Body(), Inside(button));
    EXPECT_TRUE(Shows(button, c.Face.Colour));
    EXPECT_EQ(OnScreen(button), c.Face.Colour);
    EXPECT_EQ(k.form->ScratchBitmap->Pixels(), normal.Pixels());
    k.sim.windowing.MouseUp(Body(), Inside(button));
    EXPECT_EQ(button.Picture().Pixels(), normal.Pixels());
  }
  EXPECT_FALSE(k.form->Image5->Visible());
  EXPECT_TRUE(k.form->Image7->Visible());
  EXPECT_FALSE(k.form->ScheduleActive);
  EXPECT_EQ(k.sim.dialogs.Shown().size(), 2u);
  EXPECT_EQ(k.sim.menus.Shown().size(), 1u);

  // Any mouse button presses; only the left one clicks.
  TImage& wash = *k.form->Image9;
  k.sim.windowing.MouseDown(Body(), Inside(wash), true);
  EXPECT_TRUE(Shows(wash, WashFace.Colour));
  k.sim.windowing.MouseUp(Body(), Inside(wash), true);
  EXPECT_FALSE(Shows(wash, WashFace.Colour));
  EXPECT_EQ(k.sim.dialogs.Shown().size(), 2u);
}

TEST_F(SkinnedWindow, TheWashButtonStaysPressedDuringItsQuestionAndNotAfterARelease) {
  TImage& wash = *k.form->Image9;
  const TBitmap normal = wash.Picture();
  bool pressedDuringQuestion = false;
  k.sim.dialogs.Expect([&](const MessageBoxCall&) {
    pressedDuringQuestion = Shows(wash, WashFace.Colour) && OnScreen(wash) == WashFace.Colour;
    return idYes;
  });
  k.sim.windowing.Click(Body(), Inside(wash));
  EXPECT_TRUE(pressedDuringQuestion);
  EXPECT_EQ(k.sim.dialogs.PendingResponders(), 0u);
  EXPECT_EQ(wash.Picture().Pixels(), normal.Pixels());

  // Released away from the button: no question, and the face comes back.
  k.sim.dialogs.Clear();
  k.sim.windowing.MouseDown(Body(), Inside(wash));
  k.sim.windowing.MouseUp(Body(), Point{wash.Left() - 30, wash.Top() + 60});
  EXPECT_TRUE(k.sim.dialogs.Shown().empty());
  EXPECT_EQ(wash.Picture().Pixels(), normal.Pixels());
}

TEST_F(SkinnedWindow, AMissingOrInvalidPressedPictureIsReportedAndTheFaceStays) {
  TImage& wash = *k.form->Image9;
  const TBitmap normal = wash.Picture();
  struct Case {
    const char* Contents;  // nullptr: no file
    std::string Message;
  };
  const Case cases[] = {{nullptr, "Cannot open file " + k.Folder() + "\\images\\washnow.bmp"},
                        {"BM not a bitmap", "Bitmap image is not valid"}};
  for (const Case& c : cases) {
    std::filesystem::remove(k.Folder() + "images/washnow.bmp");
    if (c.Contents) k.WriteImageBytes("washnow.bmp", c.Contents);
    k.sim.dialogs.Clear();
    k.sim.windowing.MouseDown(Body(), Inside(wash));
    ASSERT_EQ(k.sim.dialogs.Shown().size(), 1u);
    EXPECT_EQ(k.sim.dialogs.Shown()[0].Text, c.Message);
    EXPECT_EQ(k.sim.dialogs.Shown()[0].Caption, "Kelpo");
    EXPECT_EQ(k.sim.dialogs.Shown()[0].Style, mbOk | mbIconError);
    EXPECT_EQ(wash.Picture().Pixels(), normal.Pixels());
    // The click still asks its question; afterwards the face is the same.
    k.sim.windowing.MouseUp(Body(), Inside(wash));
    ASSERT_EQ(k.sim.dialogs.Shown().size(), 2u);
    EXPECT_EQ(k.sim.dialogs.Shown()[1].Text, "Wash IE cookies and cache?");
    EXPECT_EQ(wash.Picture().Pixels(), normal.Pixels());
  }
}

}  // namespace
}  // namespace kelpo
