// Graphic controls on a panel: mouse events, cursors and painting.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/BusyCursor.h"
#include "framework/StdControls.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

using ::testing::ElementsAre;

const char* const ButtonsLayout =
    "object Form1: TForm1\n"
    "  object Panel1: TPanel  Width = 200  Height = 100\n"
    "    object Image1: TImage  Left = 10  Top = 10  Width = 40  Height = 30  Cursor = crHandPoint\n"
    "      OnClick = ImageClick  OnMouseDown = ImageDown  OnMouseUp = ImageUp\n"
    "    end\n"
    "    object Image2: TImage  Left = 30  Top = 10  Width = 40  Height = 30\n"  // over the right half of Image1
    "      OnClick = ImageClick  OnMouseDown = ImageDown  OnMouseUp = ImageUp\n"
    "    end\n"
    "  end\n"
    "end\n";

class FrameworkMouse : public ::testing::Test {
 protected:
  void SetUp() override {
    TTestForm& form = h.NewForm();
    form.AddHandler("ImageClick", [this](TComponent* sender) {
      log.push_back("click " + sender->Name);
      if (onClick) onClick(static_cast<TControl&>(*sender));
    });
    const auto logger = [this](std::string what) {
      return [this, what](TComponent* sender, TMouseButton button, int x, int y) {
        log.push_back(what + " " + sender->Name + (button == TMouseButton::mbLeft ? " left " : " right ") +
                      std::to_string(x) + "," + std::to_string(y));
      };
    };
    form.AddHandler("ImageDown", logger("down"));
    form.AddHandler("ImageUp", logger("up"));
    form.Load(ButtonsLayout);
    panel = h.form->Get<TPanel>("Panel1").Handle();
  }
  TImage& Image(const char* name) { return h.form->Get<TImage>(name); }

  FrameworkHarness h;
  WindowHandle panel = 0;
  std::vector<std::string> log;
  std::function<void(TControl&)> onClick;
};

TEST_F(FrameworkMouse, LeftClickIsDownClickUpAndOnlyOverTheControl) {
  h.sim.windowing.Click(panel, Point{15, 12});
  EXPECT_THAT(log, ElementsAre("down Image1 left 5,2", "click Image1", "up Image1 left 5,2"));

  // Released away from the control: no click, but the mouse up, in its coordinates.
  log.clear();
  h.sim.windowing.MouseDown(panel, Point{12, 20});
  EXPECT_EQ(h.sim.windowing.Capture(), panel);
  h.sim.windowing.MouseUp(panel, Point{150, 90});
  EXPECT_THAT(log, ElementsAre("down Image1 left 2,10", "up Image1 left 140,80"));
  EXPECT_EQ(h.sim.windowing.Capture(), 0u);

  // The right button gets down and up, never a click.
  log.clear();
  h.sim.windowing.Click(panel, Point{15, 12}, true);
  EXPECT_THAT(log, ElementsAre("down Image1 right 5,2", "up Image1 right 5,2"));

  // Nothing under the pointer: nothing happens.
  log.clear();
  h.sim.windowing.Click(panel, Point{150, 90});
  EXPECT_TRUE(log.empty());
}

TEST_F(FrameworkMouse, MouseUpFollowsAClickThatFailsOrHidesTheControl) {
  onClick = [](TControl&) { throw Exception("The wash failed"); };
  h.sim.windowing.Click(panel, Point{15, 12});
  EXPECT_THAT(log, ElementsAre("down Image1 left 5,2", "click Image1", "up Image1 left 5,2"));
  ASSERT_EQ(h.sim.dialogs.Shown().size(), 1u);
  EXPECT_EQ(h.sim.dialogs.Shown()[0].Text, "The wash failed");

  log.clear();
  onClick = [](TControl& control) { control.Hide(); };
  h.sim.windowing.Click(panel, Point{15, 12});
  EXPECT_THAT(log, ElementsAre("down Image1 left 5,2", "click Image1", "up Image1 left 5,2"));
  EXPECT_FALSE(Image("Image1").Visible());
}

TEST_F(FrameworkMouse, TopmostVisibleGraphicControlGetsTheMouse) {
  const Point overlap{35, 20};
  EXPECT_EQ(h.form->Get<TPanel>("Panel1").GraphicControlAt(overlap), &Image("Image2"));
  h.sim.windowing.Click(panel, overlap);
  EXPECT_THAT(log, ElementsAre("down Image2 left 5,10", "click Image2", "up Image2 left 5,10"));

  log.clear();
  Image("Image2").Hide();
  h.sim.windowing.Click(panel, overlap);
  EXPECT_THAT(log, ElementsAre("down Image1 left 25,10", "click Image1", "up Image1 left 25,10"));

  log.clear();
  Image("Image1").Hide();
  h.sim.windowing.Click(panel, overlap);
  EXPECT_TRUE(log.empty());
}

using FrameworkCursor = FrameworkMouse;

TEST_F(FrameworkCursor, ControlsOwnCursorUnlessTheApplicationOverridesIt) {
  EXPECT_EQ(h.sim.windowing.HoverCursor(panel, Point{15, 12}), CursorKind::HandPoint);
  EXPECT_EQ(h.sim.windowing.HoverCursor(panel, Point{35, 12}), CursorKind::Arrow);  // Image2: crDefault
  EXPECT_EQ(h.sim.windowing.HoverCursor(panel, Point{150, 90}), CursorKind::Arrow);

  h.app->SetCursor(CursorKind::HourGlass);
  EXPECT_EQ(h.sim.windowing.HoverCursor(panel, Point{15, 12}), CursorKind::HourGlass);
  EXPECT_EQ(h.sim.windowing.HoverCursor(panel, Point{150, 90}), CursorKind::HourGlass);
  EXPECT_EQ(h.sim.windowing.HoverCursor(h.form->Handle(), Point{1, 1}), CursorKind::HourGlass);

  h.app->SetCursor(CursorKind::Default);
  EXPECT_EQ(h.sim.windowing.HoverCursor(panel, Point{15, 12}), CursorKind::HandPoint);
}

TEST_F(FrameworkCursor, BusyCursorLeavesTheArrowOnEveryPath) {
  {
    BusyCursor busy(*h.app);
    EXPECT_EQ(h.app->Cursor(), CursorKind::HourGlass);
    EXPECT_EQ(h.sim.windowing.HoverCursor(panel, Point{15, 12}), CursorKind::HourGlass);
  }
  EXPECT_EQ(h.app->Cursor(), CursorKind::Arrow);
  // The arrow is an override too: it shows even over the hand image.
  EXPECT_EQ(h.sim.windowing.HoverCursor(panel, Point{15, 12}), CursorKind::Arrow);

  h.app->SetCursor(CursorKind::Default);
  h.app->Guard([&] {
    BusyCursor busy(*h.app);
    throw Exception("Access denied");
  });
  EXPECT_EQ(h.app->Cursor(), CursorKind::Arrow);
  EXPECT_THAT(h.sim.windowing.CursorOverrides(),
              ElementsAre(CursorKind::HourGlass, CursorKind::Arrow, CursorKind::Default, CursorKind::HourGlass,
                          CursorKind::Arrow));
}

// ---- painting ----

constexpr std::uint32_t Red = 0xFF0000, Green = 0x00FF00, Yellow = 0xFFFF00;

std::vector<std::uint8_t> Artwork(const std::string& name) {
  if (name == "Red.bmp") return TBitmap(6, 6, Red).SaveToBmp();
  if (name == "Green.bmp") return TBitmap(2, 2, Green).SaveToBmp();
  return TBitmap(3, 3, Yellow).SaveToBmp();
}

TEST(FrameworkPaint, PanelDrawsItsColourImagesAndLabels) {
  FrameworkHarness h;
  TTestForm& form = h.NewForm();
  form.Load(
      "object Form1: TForm1\n"
      "  object Panel1: TPanel  Left = 5  Top = 5  Width = 100  Height = 60  BevelOuter = bvNone  Color = clBlue\n"
      "    Font.Name = 'Arial'  Font.Height = -13\n"
      "    object Image1: TImage  Left = 10  Top = 5  Width = 4  Height = 3  Picture.Data = {file 'Red.bmp'}\n"
      "    end\n"
      "    object Image2: TImage  Left = 12  Top = 6  Width = 4  Height = 4  Picture.Data = {file 'Green.bmp'}\n"
      "    end\n"
      "    object Image3: TImage  Left = 50  Top = 5  Width = 3  Height = 3  Visible = False\n"
      "      Picture.Data = {file 'Yellow.bmp'}\n"
      "    end\n"
      "    object Label1: TLabel  Left = 20  Top = 30  Width = 50  Height = 14  Caption = 'Run Kelpo'  AutoSize = "
      "False\n"
      "      Color = clWhite  Font.Name = 'Tahoma'  Font.Height = -11  Font.Color = clMaroon  Font.Style = [fsBold]\n"
      "    end\n"
      "    object Label2: TLabel  Left = 20  Top = 45  Width = 50  Height = 14  Caption = 'Hidden'  Visible = False\n"
      "    end\n"
      "    object Label3: TLabel  Left = 80  Top = 45  Width = 30  Height = 14  Caption = 'every'  Transparent = True\n"
      "    end\n"
      "  end\n"
      "end\n",
      Artwork);
  auto surface = h.sim.windowing.Paint(form.Get<TPanel>("Panel1").Handle());
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(surface->Width(), 100);
  ASSERT_EQ(surface->Height(), 60);

  const std::uint32_t blue = PixelOf(clBlue);
  EXPECT_EQ(surface->Pixel(0, 0), blue);
  EXPECT_EQ(surface->Pixel(99, 59), blue);
  // Image1 shows its 6x6 picture clipped to its 4x3 area; Image2, created later, lies on top.
  EXPECT_EQ(surface->Pixel(10, 5), Red);
  EXPECT_EQ(surface->Pixel(13, 5), Red);
  EXPECT_EQ(surface->Pixel(11, 7), Red);
  EXPECT_EQ(surface->Pixel(14, 5), blue);
  EXPECT_EQ(surface->Pixel(10, 8), blue);
  EXPECT_EQ(surface->Pixel(12, 6), Green);
  EXPECT_EQ(surface->Pixel(13, 7), Green);
  EXPECT_EQ(surface->Pixel(12, 8), blue);  // Image2's picture is smaller than the control
  // Hidden controls are not drawn; an opaque label fills its colour, a transparent one does not.
  EXPECT_EQ(surface->Pixel(51, 6), blue);
  EXPECT_EQ(surface->Pixel(69, 43), PixelOf(clWhite));
  EXPECT_EQ(surface->Pixel(85, 50), blue);

  EXPECT_EQ(surface->TextLine(), "Run Kelpo|every");
  ASSERT_EQ(surface->Texts().size(), 2u);
  const SimTextOp& caption = surface->Texts()[0];
  EXPECT_EQ(caption.Origin, (Point{20, 30}));
  EXPECT_EQ(caption.Clip, (Rect{20, 30, 50, 14}));
  EXPECT_EQ(caption.Font, (FontSpec{"Tahoma", -11, clMaroon, true, false, false}));
  // A label without its own font takes the panel's and is sized in it (5 characters of
  // 7 pixels, 15 high); its clip ends at the panel's edge.
  const SimTextOp& every = surface->Texts()[1];
  EXPECT_EQ(every.Font.Name, "Arial");
  EXPECT_EQ(every.Font.Height, -13);
  EXPECT_EQ(every.Clip, (Rect{80, 45, 20, 15}));
}

// The simulation measures a character as half the line height wide, and a line
// of a -11 font as 13 pixels high: "on" is 12 x 13, "first" 30 x 13.
TEST(FrameworkLabel, AutoSizeFollowsCaptionAndFontUnlessTurnedOff) {
  FrameworkHarness h;
  TTestForm& form = h.NewForm();
  form.Load(
      "object Form1: TForm1\n"
      "  object Panel1: TPanel  Width = 200  Height = 100  BevelOuter = bvNone\n"
      "    object Label1: TLabel  Left = 50  Top = 78  Width = 12  Height = 13  Caption = 'on'\n"
      "    end\n"
      "    object Label2: TLabel  Left = 50  Top = 20  Width = 12  Height = 13  Caption = 'on'  AutoSize = False\n"
      "    end\n"
      "    object Label3: TLabel  Left = 5  Top = 5  Width = 98  Height = 13  Caption = 'Kelpo is inactive'\n"
      "      Font.Name = 'MS Sans Serif'  Font.Height = -15  Font.Style = [fsBold]\n"
      "    end\n"
      "  end\n"
      "end\n");
  auto& on = form.Get<TLabel>("Label1");
  auto& fixed = form.Get<TLabel>("Label2");
  auto& status = form.Get<TLabel>("Label3");
  EXPECT_TRUE(on.AutoSize());
  EXPECT_FALSE(fixed.AutoSize());
  EXPECT_EQ(on.BoundsRect(), (Rect{50, 78, 12, 13}));
  EXPECT_EQ(status.BoundsRect(), (Rect{5, 5, 17 * 8, 17}));  // the layout's width is only the design size

  // A longer caption widens the label from its left edge and is painted whole; a shorter one narrows it.
  on.SetCaption("first");
  fixed.SetCaption("first");
  EXPECT_EQ(on.BoundsRect(), (Rect{50, 78, 30, 13}));
  EXPECT_EQ(fixed.BoundsRect(), (Rect{50, 20, 12, 13}));
  auto surface = h.sim.windowing.Paint(form.Get<TPanel>("Panel1").Handle());
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(surface->Texts().size(), 3u);
  EXPECT_EQ(surface->Texts()[0].Clip, (Rect{50, 78, 30, 13}));
  EXPECT_EQ(surface->Texts()[1].Clip, (Rect{50, 20, 12, 13}));  // cut short, as its layout asks
  on.SetCaption("on");
  EXPECT_EQ(on.BoundsRect(), (Rect{50, 78, 12, 13}));

  // A new font is measured at once; an empty caption keeps the height of a line.
  FontSpec large = on.Font();
  large.Height = -21;
  on.SetFont(large);
  EXPECT_EQ(on.BoundsRect(), (Rect{50, 78, 22, 23}));
  status.SetCaption("");
  EXPECT_EQ(status.BoundsRect(), (Rect{5, 5, 8, 17}));

  // Turning AutoSize on sizes the label to its caption; turning it off keeps the size it has.
  fixed.SetAutoSize(true);
  EXPECT_EQ(fixed.BoundsRect(), (Rect{50, 20, 30, 13}));
  fixed.SetAutoSize(false);
  fixed.SetCaption("of the month");
  EXPECT_EQ(fixed.BoundsRect(), (Rect{50, 20, 30, 13}));
}

}  // namespace
}  // namespace kelpo
