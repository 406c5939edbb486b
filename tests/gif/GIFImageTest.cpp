// The animated GIF control on a panel of the simulated platform: composition,
// placement, painting, animation timing and loop counting, property changes,
// layouts, and what it gives the framework.

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "framework/StdControls.h"
#include "gif/GIFImage.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/gif/GIFTestSupport.h"

namespace kelpo::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t Maroon = 0x800000;  // the panel's colour as a pixel

// Colour of global table entry i as GifWriter writes it.
std::uint32_t Colour(int i) {
  return static_cast<std::uint32_t>(i) << 16 | static_cast<std::uint32_t>(255 - i) << 8 |
         static_cast<std::uint32_t>(i / 2);
}

std::vector<std::uint8_t> Filled(int count, int index) {
  return std::vector<std::uint8_t>(count, index);
}

// A still picture of one index.
Bytes Still(int width, int height, int index = 1) {
  GifWriter gif;
  gif.Header(width, height, 2).Picture(0, 0, width, height, Filled(width * height, index)).Trailer();
  return gif.Data();
}

// `frames` full-screen 2 x 1 frames of indices 1, 2, ... with `delayCs` each.
Bytes Animation(int frames, int delayCs, int loop /* -1: no looping extension */) {
  GifWriter gif;
  gif.Header(2, 1, 3);
  if (loop >= 0) gif.Loop(loop);
  for (int i = 1; i <= frames; ++i) gif.Control(1, delayCs, false, 0).Picture(0, 0, 2, 1, Filled(2, i));
  gif.Trailer();
  return gif.Data();
}

class GIFImageTest : public ::testing::Test {
 protected:
  GIFImageTest() { RegisterGIFComponents(); }

  // GIFImage1 at (10, 10), 50 x 40, on a maroon 200 x 100 panel.
  TGIFImage& Load(const std::string& properties = "", const LayoutFileLoader& files = {}) {
    TTestForm& form = h.NewForm();
    form.AddHandler("GIFChange", [this](TComponent*) { ++changes; });
    form.Load(
        "object Form1: TForm1\n"
        "  object Panel1: TPanel  Width = 200  Height = 100  BevelOuter = bvNone  Color = 128\n"
        "    object GIFImage1: TGIFImage  Left = 10  Top = 10  Width = 50  Height = 40\n" +
            properties +
            "    end\n"
            "  end\n"
            "end\n",
        files);
    panel = form.Get<TPanel>("Panel1").Handle();
    return form.Get<TGIFImage>("GIFImage1");
  }
  // A paint of the panel, as the system asks for it.
  std::unique_ptr<SimSurface> Paint() { return h.sim.windowing.Paint(panel); }
  std::vector<std::uint32_t> CompositeRow(const TGIFImage& gif, int y = 0) {
    std::vector<std::uint32_t> row;
    for (int x = 0; x < gif.Composite()->Width(); ++x) row.push_back(gif.Composite()->Pixel(x, y));
    return row;
  }
  std::string MaskRow(const TGIFImage& gif, int y = 0) {
    std::string row;
    for (int x = 0; x < gif.CompositeMask()->Width(); ++x) row += gif.CompositeMask()->Bit(x, y) ? '1' : '0';
    return row;
  }

  FrameworkHarness h;
  WindowHandle panel = 0;
  int changes = 0;
};

TEST_F(GIFImageTest, ComposesEachDisposalOntoCompositeAndMask) {
  TGIFImage& gif = Load();
  GifWriter w;
  w.Header(4, 1, 2);
  w.Control(1, 10, true, 3).Picture(0, 0, 4, 1, {1, 2, 3, 3});
  w.Control(3, 10, false, 0).Picture(2, 0, 1, 1, {2});    // restore previous
  w.Control(2, 10, true, 3).Picture(0, 0, 2, 1, {3, 1});  // restore background
  w.Control(0, 10, false, 0).Picture(3, 0, 1, 1, {0});
  ASSERT_TRUE(gif.LoadGIFStream(w.Trailer().Data()));
  const std::uint32_t black = 0;
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(1), Colour(2), black, black}));
  EXPECT_EQ(MaskRow(gif), "0011");

  int events = 0;
  gif.OnChanging = gif.OnChange = [&](TComponent*) { ++events; };
  gif.SetCurrentFrame(0);
  gif.SetCurrentFrame(5);
  EXPECT_EQ(events, 0);
  EXPECT_EQ(gif.CurrentFrame(), 1);

  gif.SetCurrentFrame(2);
  EXPECT_EQ(events, 2);
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(1), Colour(2), Colour(2), black}));
  EXPECT_EQ(MaskRow(gif), "0001");
  gif.SetCurrentFrame(3);  // frame 2's area comes back transparent, then frame 3's opaque pixel
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(1), Colour(1), black, black}));
  EXPECT_EQ(MaskRow(gif), "0011");
  gif.SetCurrentFrame(4);  // frame 3's area becomes transparent black
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{black, black, black, Colour(0)}));
  EXPECT_EQ(MaskRow(gif), "1110");
  gif.SetCurrentFrame(1);  // incremental: frame 1 over what frame 4 left
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(1), Colour(2), black, Colour(0)}));
  EXPECT_EQ(MaskRow(gif), "0010");
}

TEST_F(GIFImageTest, LoopCountDecidesHowOftenTheFramesPlay) {
  // Plays `stream` for 10 s of virtual time; answers how often it wrapped.
  const auto play = [&](TGIFImage& gif, const Bytes& stream) {
    int wraps = 0;
    gif.OnWrapAnimation = [&](TComponent*) { ++wraps; };
    EXPECT_TRUE(gif.LoadGIFStream(stream));
    Paint();  // the paint after a load arms the timer
    h.sim.windowing.AdvanceBy(10000);
    gif.OnWrapAnimation = nullptr;
    return wraps;
  };
  TGIFImage& gif = Load("      Animate = True  Loop = False\n");
  EXPECT_EQ(play(gif, Animation(3, 10, 2)), 2);
  EXPECT_EQ(gif.AnimationTimer(), nullptr);
  EXPECT_EQ(gif.CurrentFrame(), 4);
  EXPECT_EQ(gif.PlaysDone(), 3);
  EXPECT_EQ(CompositeRow(gif)[0], Colour(3));  // the last frame stays shown
  Paint();
  EXPECT_EQ(gif.AnimationTimer(), nullptr);  // a paint does not restart it
  EXPECT_EQ(gif.Palette().Colors, nullptr);  // no frame is named

  gif.SetLoop(true);
  EXPECT_EQ(gif.CurrentFrame(), 1);
  ASSERT_NE(gif.AnimationTimer(), nullptr);
  h.sim.windowing.AdvanceBy(2000);
  EXPECT_NE(gif.AnimationTimer(), nullptr);

  gif.SetLoop(false);
  EXPECT_EQ(play(gif, Animation(3, 10, -1)), 1);  // no looping extension: once
  EXPECT_EQ(gif.LoopCount(), 1);
  EXPECT_EQ(play(gif, Animation(3, 10, 0)), 33);  // loop count 0: without end (first frame lasts two ticks)
  EXPECT_NE(gif.AnimationTimer(), nullptr);
}

TEST_F(GIFImageTest, TheBannerArtworkAnimatesWithoutEndAtItsDelays) {
  TGIFImage& gif = Load(
      "      Cursor = crHandPoint  Animate = True  AutoSize = False  Loop = False  Threaded = False\n"
      "      Data = {file 'Banner.gif'}\n");
  ASSERT_EQ(gif.FrameCount(), 128);
  EXPECT_EQ(gif.LoopCount(), 0);
  std::set<std::uint32_t> intervals;
  int wraps = 0;
  gif.OnChange = [&](TComponent*) {
    if (gif.AnimationTimer()) intervals.insert(gif.AnimationTimer()->Interval());
  };
  gif.OnWrapAnimation = [&](TComponent*) { ++wraps; };
  Paint();
  h.sim.windowing.AdvanceBy(2 * 60000);
  EXPECT_GE(wraps, 2);
  EXPECT_NE(gif.AnimationTimer(), nullptr);
  EXPECT_EQ(intervals, (std::set<std::uint32_t>{140, 1000, 2500, 3000, 7000}));
  gif.OnChange = gif.OnWrapAnimation = nullptr;
}

TEST_F(GIFImageTest, TicksShowFrameOneTwiceAsLongAtFirstAndTakeTheDrawingTimeOffTheInterval) {
  TGIFImage& gif = Load("      Animate = True\n");
  ASSERT_TRUE(gif.LoadGIFStream(Animation(3, 10, 0)));
  const std::int64_t start = h.sim.clock.Millis();
  std::vector<std::int64_t> shown;  // when each new frame reached the screen
  gif.OnChange = [&](TComponent*) {
    if (h.sim.windowing.BlitCount() > static_cast<int>(shown.size())) shown.push_back(h.sim.clock.Millis() - start);
  };
  Paint();
  ASSERT_NE(gif.AnimationTimer(), nullptr);
  EXPECT_EQ(gif.AnimationTimer()->Interval(), 100u);
  h.sim.windowing.AdvanceBy(500);
  EXPECT_EQ(shown, (std::vector<std::int64_t>{200, 300, 400, 500}));
  EXPECT_EQ(gif.AnimationTimer()->Threaded(), false);

  gif.OnChanging = [&](TComponent*) { h.sim.clock.Advance(30); };  // drawing takes 30 ms
  h.sim.windowing.AdvanceBy(100);
  EXPECT_EQ(gif.AnimationTimer()->Interval(), 70u);
  gif.OnChanging = [&](TComponent*) { h.sim.clock.Advance(150); };  // longer than the delay
  h.sim.windowing.AdvanceBy(70);
  EXPECT_EQ(gif.AnimationTimer()->Interval(), 1u);
}

TEST_F(GIFImageTest, AnimateOffAppliesTheShownFramesDisposalAndShowsFrameOne) {
  TGIFImage& gif = Load("      Animate = True\n");
  GifWriter w;
  w.Header(2, 1, 3).Loop(0);
  w.Control(1, 10, false, 0).Picture(0, 0, 1, 1, {1});
  for (int i = 2; i <= 4; ++i) w.Control(1, 10, false, 0).Picture(1, 0, 1, 1, {static_cast<std::uint8_t>(i)});
  w.Control(2, 10, false, 0).Picture(0, 0, 2, 1, {5, 5});
  w.Control(1, 10, false, 0).Picture(1, 0, 1, 1, {6});
  ASSERT_TRUE(gif.LoadGIFStream(w.Trailer().Data()));
  Paint();
  h.sim.windowing.AdvanceBy(500);  // the first tick only skips; frame 5 is drawn at 500 ms
  ASSERT_EQ(gif.CurrentFrame(), 6);
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(5), Colour(5)}));
  gif.SetAnimate(false);
  EXPECT_EQ(gif.CurrentFrame(), 1);
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(1), 0}));
  EXPECT_EQ(gif.AnimationTimer(), nullptr);
}

TEST_F(GIFImageTest, PictureRectPlacesThePicture) {
  TGIFImage& gif = Load();
  const auto place = [&](int w, int h, const Bytes& stream) {
    gif.SetBounds(Rect{10, 10, w, h});
    EXPECT_TRUE(gif.LoadGIFStream(stream));
    gif.UpdatePaintFlags();
    return gif.PictureRect();
  };
  EXPECT_EQ(place(50, 40, Still(1, 1)), (Rect{0, 0, 1, 1}));
  gif.SetStretchRatio(true);
  EXPECT_EQ(place(200, 100, Still(100, 100)), (Rect{50, 0, 100, 100}));
  EXPECT_EQ(place(100, 200, Still(100, 100)), (Rect{0, 50, 100, 100}));
  EXPECT_EQ(place(101, 100, Still(100, 100)), (Rect{0, 0, 100, 100}));  // 0.5 and 100.5 go to the even side
  EXPECT_EQ(place(103, 100, Still(100, 100)), (Rect{2, 0, 100, 100}));  // 1.5 and 101.5 likewise
  EXPECT_FALSE(gif.CoversClient());
  gif.SetStretchBigOnly(true);
  EXPECT_EQ(place(120, 110, Still(100, 100)), (Rect{0, 0, 100, 100}));
  EXPECT_FALSE(gif.StretchActive());
  gif.SetStretchRatio(false);
  gif.SetStretchBigOnly(false);
  gif.SetStretch(true);
  EXPECT_EQ(place(120, 110, Still(100, 100)), (Rect{0, 0, 120, 110}));
  EXPECT_TRUE(gif.CoversClient());
  EXPECT_TRUE(gif.OpaqueStyle());
  gif.SetVisible(false);
  gif.UpdatePaintFlags();
  EXPECT_FALSE(gif.CoversClient());
  gif.SetVisible(true);
  gif.SetStretch(false);
  gif.SetCenter(true);
  EXPECT_EQ(place(100, 40, Still(151, 20)), (Rect{-25, 10, 151, 20}));
  gif.SetOpaque(true);
  EXPECT_FALSE(place(100, 40, Animation(1, 0, -1)).Width == 100);
  EXPECT_FALSE(gif.CoversClient());  // Opaque alone does not cover
  TGIFImage fresh(h.form.get());
  fresh.UpdatePaintFlags();
  EXPECT_EQ(fresh.PictureRect(), (Rect{0, 0, 0, 0}));
}

TEST_F(GIFImageTest, PaintsTilesAndTransparencyOverTheParent) {
  TGIFImage& gif = Load();
  gif.SetBounds(Rect{10, 10, 100, 50});
  gif.SetTile(true);
  std::vector<std::uint8_t> tile = Filled(30 * 20, 1);
  tile[0] = 2;  // marks each copy's corner
  GifWriter tiles;
  tiles.Header(30, 20, 2).Picture(0, 0, 30, 20, tile).Trailer();
  ASSERT_TRUE(gif.LoadGIFStream(tiles.Data()));
  auto screen = Paint();
  int corners = 0;
  for (int y = 10; y < 60; ++y)
    for (int x = 10; x < 110; ++x) corners += screen->Pixel(x, y) == Colour(2);
  EXPECT_EQ(corners, 12);  // 3 rows of 4
  EXPECT_EQ(screen->Pixel(109, 59), Colour(1));
  EXPECT_EQ(screen->Pixel(110, 30), Maroon);  // clipped to the control

  // A transparent first frame draws through the mask; Opaque fills with Color first.
  GifWriter clear;
  clear.Header(2, 1, 2).Control(0, 0, true, 3).Picture(0, 0, 2, 1, {1, 3}).Trailer();
  gif.SetTile(false);
  ASSERT_TRUE(gif.LoadGIFStream(clear.Data()));
  screen = Paint();
  EXPECT_EQ(screen->Pixel(10, 10), Colour(1));
  EXPECT_EQ(screen->Pixel(11, 10), Maroon);
  gif.SetColor(clWhite);
  gif.SetOpaque(true);
  screen = Paint();
  EXPECT_EQ(screen->Pixel(11, 10), 0xFFFFFFu);
  EXPECT_EQ(screen->Pixel(50, 40), 0xFFFFFFu);
  EXPECT_FALSE(gif.CoversClient());
  gif.SetOpaque(false);

  // An opaque first frame draws without the mask: what no frame covered is black.
  GifWriter late;
  late.Header(2, 1, 2).Picture(0, 0, 1, 1, {1}).Control(1, 0, true, 3).Picture(1, 0, 1, 1, {3}).Trailer();
  ASSERT_TRUE(gif.LoadGIFStream(late.Data()));
  gif.SetCurrentFrame(2);
  screen = Paint();
  EXPECT_EQ(screen->Pixel(11, 10), 0u);

  // Stretched: each pixel takes the source pixel under its centre.
  GifWriter pair;
  pair.Header(2, 1, 2).Picture(0, 0, 2, 1, {1, 2}).Trailer();
  ASSERT_TRUE(gif.LoadGIFStream(pair.Data()));
  gif.SetStretch(true);
  const int invalidations = h.sim.windowing.InvalidateCount();
  screen = Paint();  // now covering its client area: the flag changes, the control asks for another paint
  EXPECT_EQ(screen->Pixel(10 + 49, 10), Maroon);
  EXPECT_GT(h.sim.windowing.InvalidateCount(), invalidations);
  screen = Paint();
  EXPECT_EQ(screen->Pixel(10 + 49, 10), Colour(1));
  EXPECT_EQ(screen->Pixel(10 + 50, 59), Colour(2));
  EXPECT_EQ(screen->Pixel(10 + 99, 59), Colour(2));

  // Invisible: nothing painted, yet clicks arrive.
  int clicks = 0;
  gif.OnClick = [&](TComponent*) { ++clicks; };
  gif.SetVisible(false);
  screen = Paint();
  EXPECT_EQ(screen->Pixel(10, 10), Maroon);
  h.sim.windowing.Click(panel, Point{12, 12});
  EXPECT_EQ(clicks, 1);
}

TEST_F(GIFImageTest, DirectRepaintPutsTheNewFrameOnScreenThroughTheParent) {
  TGIFImage& gif = Load();
  GifWriter w;
  std::vector<std::uint8_t> rows = Filled(60, 1);
  rows.resize(120, 3);  // a transparent second row
  w.Header(60, 2, 2).Control(1, 10, true, 3).Picture(0, 0, 60, 2, rows);
  w.Control(1, 10, true, 3).Picture(5, 0, 2, 1, {2, 3}).Trailer();
  gif.SetCenter(true);  // 60 x 2 in the 50 x 40 control: at (-5, 19)
  ASSERT_TRUE(gif.LoadGIFStream(w.Data()));
  const int blits = h.sim.windowing.BlitCount();
  gif.SetCurrentFrame(2);
  EXPECT_EQ(h.sim.windowing.BlitCount(), blits + 1);
  const SimSurface* screen = h.sim.windowing.Screen(panel);
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->Pixel(10, 29), Colour(2));
  EXPECT_EQ(screen->Pixel(11, 29), Colour(1));
  EXPECT_EQ(screen->Pixel(59, 29), Colour(1));
  EXPECT_EQ(screen->Pixel(30, 30), Maroon);  // under the transparent row: the panel
  EXPECT_EQ(screen->Pixel(9, 29), 0u);       // nothing is put outside the control
  EXPECT_EQ(screen->Pixel(60, 29), 0u);

  // An opaque picture covering the control paints alone.
  gif.SetCenter(false);
  gif.SetStretch(true);
  ASSERT_TRUE(gif.LoadGIFStream(Animation(2, 10, 0)));
  gif.UpdatePaintFlags();
  ASSERT_TRUE(gif.OpaqueStyle());
  gif.SetCurrentFrame(2);
  screen = h.sim.windowing.Screen(panel);
  EXPECT_EQ(screen->Pixel(10, 10), Colour(2));
  EXPECT_EQ(screen->Pixel(59, 49), Colour(2));
}

TEST_F(GIFImageTest, LayoutSetsPublishedPropertiesAndDecodesData) {
  const Bytes banner = Animation(3, 14, 0);
  TGIFImage& gif = Load(
      "      Animate = True  AutoSize = False  Center = True  DoubleBuffered = False  FirstImageOnly = False\n"
      "      Loop = True  Opaque = True  Speed = 50  Stretch = False  StretchRatio = True  StretchBigOnly = True\n"
      "      Tile = True  Threaded = False  ThreadPriority = tpHigher  Visible = False  Graphic = GIFImage1\n"
      "      Cursor = crHandPoint  OnChange = GIFChange  Data = {file 'Banner.gif'}\n",
      [&](const std::string& name) {
        EXPECT_EQ(name, "Banner.gif");
        return banner;
      });
  EXPECT_TRUE(gif.Animate() && gif.Center() && gif.Loop() && gif.Opaque() && gif.StretchRatio());
  EXPECT_TRUE(gif.StretchBigOnly() && gif.Tile());
  EXPECT_FALSE(gif.AutoSize() || gif.DoubleBuffered() || gif.FirstImageOnly() || gif.Stretch() || gif.Threaded());
  EXPECT_FALSE(gif.Visible());
  EXPECT_TRUE(gif.TControl::Visible());  // the framework's flag stays set
  EXPECT_EQ(gif.Speed(), 50);
  EXPECT_EQ(gif.ThreadPriority(), TThreadPriority::tpHigher);
  EXPECT_EQ(gif.Cursor, CursorKind::HandPoint);
  EXPECT_EQ(gif.Graphic(), &gif);
  EXPECT_EQ(gif.FrameCount(), 3);
  EXPECT_EQ(gif.DataStream(), banner);
  EXPECT_EQ(changes, 1);  // the decoding composed frame 1

  // The stored form, a length and the stream, loads the same way.
  Bytes stored;
  gif.WriteDataProperty(stored);
  EXPECT_EQ(stored.size(), banner.size() + 4);
  TGIFImage& again = Load("      Data = {file 'Stored.dat'}\n", [&](const std::string&) { return stored; });
  EXPECT_EQ(again.DataStream(), banner);
  EXPECT_FALSE(again.Empty());
  TGIFImage& none = Load("      Data = {file 'Empty.dat'}\n", [&](const std::string&) { return Bytes{0, 0, 0, 0}; });
  EXPECT_TRUE(none.Empty());
  EXPECT_EQ(none.Width(), 50);  // the layout's size; 105 x 105 when created
  EXPECT_EQ(TGIFImage(h.form.get()).Height(), 105);
}

TEST_F(GIFImageTest, FailedLoadsLeaveTheControlEmpty) {
  TGIFImage& gif = Load("      Animate = True\n");
  ASSERT_TRUE(gif.LoadGIFStream(Animation(3, 10, 0)));
  Paint();
  ASSERT_NE(gif.AnimationTimer(), nullptr);
  const auto expectEmpty = [&](const char* what) {
    EXPECT_TRUE(gif.Empty()) << what;
    EXPECT_EQ(gif.FrameCount(), 0) << what;
    EXPECT_EQ(gif.Composite(), nullptr) << what;
    EXPECT_EQ(gif.CompositeMask(), nullptr) << what;
    EXPECT_TRUE(gif.DataStream().empty()) << what;
    EXPECT_EQ(gif.WorkStream().Size(), 0u) << what;
    EXPECT_EQ(gif.AnimationTimer(), nullptr) << what;
  };
  EXPECT_FALSE(gif.LoadGIFStream(Bytes{'G', 'I', 'X', '8', '9', 'a'}));
  expectEmpty("not a GIF");

  for (const int side : {65535, 16384}) {  // a screen of a gibibyte or more for one pixel
    GifWriter bomb;
    bomb.Header(side, side, 1).Picture(0, 0, 1, 1, {1}).Trailer();
    EXPECT_FALSE(gif.LoadGIFStream(bomb.Data()));
    expectEmpty("allocation bomb");
    EXPECT_EQ(gif.LoadStatus(), TGIFStatus::gsPictureTooLarge);
    EXPECT_EQ(gif.PictureMemory(), 0u);
  }

  std::vector<int> percents;
  gif.OnProgress = [&](TComponent*, std::size_t, std::size_t, int percent, bool& keep) {
    percents.push_back(percent);
    keep = percents.size() < 3;
  };
  EXPECT_FALSE(gif.LoadGIFStream(Animation(3, 10, 0)));
  expectEmpty("cancelled");
  EXPECT_EQ(gif.LoadStatus(), TGIFStatus::gsCancelled);
  gif.OnProgress = [&](TComponent*, std::size_t, std::size_t, int percent, bool&) { percents.push_back(percent); };
  percents.clear();
  EXPECT_TRUE(gif.LoadGIFStream(Animation(3, 10, 0)));
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(gif.LoadStatus(), TGIFStatus::gsOK);
}

TEST_F(GIFImageTest, GivesPaletteAndFirstFrameAndTakesOtherPictures) {
  TGIFImage& gif = Load();
  TBitmap bitmap(3, 3);
  gif.AssignTo(bitmap);
  EXPECT_TRUE(bitmap.Empty());  // nothing to give
  ASSERT_TRUE(gif.LoadGIFStream(Animation(2, 10, 0)));
  EXPECT_EQ(gif.Palette().Entries, 8);
  gif.AssignTo(bitmap);
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_EQ(bitmap.Pixel(1, 0), Colour(1));
  gif.SetVisible(false);
  EXPECT_EQ(gif.Palette().Colors, nullptr);
  gif.SetVisible(true);

  TGIFImage other(h.form.get());
  other.Assign(&gif);
  EXPECT_EQ(other.DataStream(), gif.DataStream());
  EXPECT_EQ(other.FrameCount(), 2);
  other.Assign(&other);
  EXPECT_EQ(other.FrameCount(), 2);
  TGIFImage empty(h.form.get());
  other.Assign(&empty);
  EXPECT_TRUE(other.Empty());
  gif.Assign(nullptr);
  EXPECT_TRUE(gif.Empty());
  EXPECT_EQ(gif.Composite(), nullptr);
}

TEST_F(GIFImageTest, HandlersMayStopOrReplaceThePictureDuringATick) {
  TGIFImage& gif = Load("      Animate = True\n");
  ASSERT_TRUE(gif.LoadGIFStream(Animation(3, 10, 0)));
  gif.OnChanging = [&](TComponent*) { gif.SetAnimate(false); };
  Paint();
  h.sim.windowing.AdvanceBy(300);
  EXPECT_EQ(gif.AnimationTimer(), nullptr);

  gif.OnChanging = nullptr;
  gif.SetAnimate(true);
  int wraps = 0;
  gif.OnWrapAnimation = [&](TComponent*) {
    if (++wraps == 1) gif.LoadGIFStream(Animation(2, 10, 1));
  };
  for (int i = 0; i < 20; ++i) {  // each paint after the new load arms its timer
    Paint();
    h.sim.windowing.AdvanceBy(100);
  }
  EXPECT_EQ(gif.FrameCount(), 2);
  EXPECT_EQ(wraps, 2);  // the new picture played once
  EXPECT_EQ(gif.AnimationTimer(), nullptr);

  h.sim.windowing.SetTimerLimit(0);
  EXPECT_THROW(gif.SetLoop(true), EOutOfResources);  // restarts, but no window timer is left
  Paint();                                           // the paint's error goes to the default handler
  ASSERT_FALSE(h.sim.dialogs.Shown().empty());
  EXPECT_EQ(h.sim.dialogs.Shown().back().Text, "No More Timers Available");
}

// A 400 x 300 frame reports progress every 32 rows while it decodes, into the
// rows of a frame that a handler that frees the picture would take away.
Bytes LargeFrames(int index) {
  GifWriter gif;
  gif.Header(400, 300, 2).Loop(0);
  for (int i = 0; i < 2; ++i) gif.Control(1, 10, false, 0).Picture(0, 0, 400, 300, Filled(120000, index + i));
  gif.Trailer();
  return gif.Data();
}

TEST_F(GIFImageTest, ProgressHandlersMayClearOrReloadThePictureWhileAFrameDecodes) {
  TGIFImage& gif = Load("      Animate = True\n");
  const Bytes first = LargeFrames(1), second = LargeFrames(2);
  int reports = 0;
  const auto during = [&](int report, std::function<void()> action) {
    reports = 0;
    gif.OnProgress = [&reports, report, action](TComponent*, std::size_t, std::size_t, int, bool&) {
      if (++reports == report) action();
    };
  };
  // Cleared inside frame 1 (reports 1 to 3 are block starts, report 5 is the
  // frame's second row report): the load ends empty.
  during(5, [&] { gif.Assign(nullptr); });
  EXPECT_FALSE(gif.LoadGIFStream(first));
  EXPECT_TRUE(gif.Empty());
  EXPECT_EQ(gif.Composite(), nullptr);
  EXPECT_EQ(reports, 5);  // the overtaken load reports no more
  during(5, [&] { gif.ResetImage(); });
  EXPECT_FALSE(gif.LoadGIFStream(first));
  EXPECT_TRUE(gif.Empty());

  // Reloaded inside frame 2: the handler's picture is the one shown, and plays.
  bool reloaded = false;
  during(17, [&] { reloaded = gif.LoadGIFStream(second); });
  EXPECT_FALSE(gif.LoadGIFStream(first));
  EXPECT_TRUE(reloaded);
  ASSERT_EQ(gif.FrameCount(), 2);
  EXPECT_EQ(gif.DataStream(), second);
  EXPECT_EQ(gif.WorkStream().Size(), 0u);
  EXPECT_EQ(gif.LoadStatus(), TGIFStatus::gsOK);
  EXPECT_EQ(CompositeRow(gif)[0], Colour(2));
  gif.OnProgress = nullptr;
  Paint();
  h.sim.windowing.AdvanceBy(200);
  EXPECT_EQ(CompositeRow(gif)[0], Colour(3));

  // While a stream decodes the control holds no picture: taking its own takes nothing.
  during(5, [&] { gif.Assign(&gif); });
  EXPECT_FALSE(gif.LoadGIFStream(first));
  EXPECT_TRUE(gif.Empty());
  // A handler that reloads at every report, four deep.
  int depth = 0;
  gif.OnProgress = [&](TComponent*, std::size_t, std::size_t, int, bool&) {
    if (++depth <= 4) gif.LoadGIFStream(depth % 2 ? first : second);
  };
  EXPECT_FALSE(gif.LoadGIFStream(first));
  EXPECT_EQ(gif.DataStream(), second);  // the innermost load, the fourth, stands
  EXPECT_EQ(gif.FrameCount(), 2);
}

TEST_F(GIFImageTest, ChangeHandlersOfALoadMayClearOrReloadThePicture) {
  TGIFImage& gif = Load();
  const Bytes other = Animation(2, 10, 0);
  int changed = 0;
  gif.OnChanging = [&](TComponent*) { gif.OnChanging = nullptr, gif.ResetImage(); };
  gif.OnChange = [&](TComponent*) { ++changed; };
  EXPECT_FALSE(gif.LoadGIFStream(Animation(3, 10, 0)));
  EXPECT_TRUE(gif.Empty());
  EXPECT_EQ(changed, 0);
  gif.OnChanging = [&](TComponent*) { gif.OnChanging = nullptr, gif.LoadGIFStream(other); };
  EXPECT_FALSE(gif.LoadGIFStream(Animation(3, 10, 0)));
  EXPECT_EQ(gif.FrameCount(), 2);
  EXPECT_EQ(changed, 1);  // for the handler's picture only
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(1), Colour(1)}));
  gif.OnChange = [&](TComponent*) { gif.OnChange = nullptr, gif.LoadGIFStream(Still(2, 1, 3)); };
  EXPECT_FALSE(gif.LoadGIFStream(other));
  EXPECT_EQ(gif.FrameCount(), 1);
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(3), Colour(3)}));
}

TEST_F(GIFImageTest, ChangingHandlersThatStopOrReloadLeaveCurrentFrameOnTheFrameShown) {
  TGIFImage& gif = Load("      Animate = True\n");
  ASSERT_TRUE(gif.LoadGIFStream(Animation(4, 10, 0)));
  Paint();
  h.sim.windowing.AdvanceBy(300);  // frame 3 is shown
  ASSERT_EQ(gif.CurrentFrame(), 4);
  int changed = 0;
  gif.OnChange = [&](TComponent*) { ++changed; };
  gif.OnChanging = [&](TComponent*) { gif.SetAnimate(false); };
  h.sim.windowing.AdvanceBy(100);
  EXPECT_EQ(gif.AnimationTimer(), nullptr);
  EXPECT_EQ(gif.CurrentFrame(), 1);
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(1), Colour(1)}));
  EXPECT_EQ(changed, 0);  // the tick ended with its OnChanging
  gif.OnChanging = nullptr;
  gif.SetCurrentFrame(2);
  EXPECT_EQ(gif.CurrentFrame(), 2);
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(2), Colour(2)}));

  // Reloaded during a tick: the new picture's frame 1 is shown and named.
  gif.SetAnimate(true);
  Paint();
  gif.OnChanging = [&](TComponent*) { gif.OnChanging = nullptr, gif.LoadGIFStream(Animation(3, 10, 0)); };
  h.sim.windowing.AdvanceBy(100);
  EXPECT_EQ(gif.CurrentFrame(), 1);
  EXPECT_TRUE(gif.SkipNextDisposal());
  EXPECT_EQ(gif.FrameCount(), 3);
  gif.SetCurrentFrame(3);
  EXPECT_EQ(CompositeRow(gif), (std::vector<std::uint32_t>{Colour(3), Colour(3)}));

  // A handler of SetCurrentFrame that clears the picture or shows a frame itself.
  gif.OnChanging = [&](TComponent*) { gif.OnChanging = nullptr, gif.SetCurrentFrame(1); };
  changed = 0;
  gif.SetCurrentFrame(2);
  EXPECT_EQ(gif.CurrentFrame(), 1);
  EXPECT_EQ(changed, 1);
  gif.OnChanging = [&](TComponent*) { gif.Assign(nullptr); };
  gif.SetCurrentFrame(2);
  EXPECT_TRUE(gif.Empty());
  EXPECT_EQ(gif.CurrentFrame(), 1);
}

TEST_F(GIFImageTest, ThreadedAnimationTicksOnTheGuiThreadAndEndsWithTheForm) {
  TGIFImage& gif = Load("      Animate = True  Threaded = True  ThreadPriority = tpLower\n");
  ASSERT_TRUE(gif.LoadGIFStream(Animation(3, 0, 0)));
  const std::thread::id gui = std::this_thread::get_id();
  int ticks = 0;
  bool elsewhere = false;
  gif.OnChange = [&](TComponent*) {
    elsewhere = elsewhere || std::this_thread::get_id() != gui;
    ++ticks;
  };
  Paint();
  ASSERT_NE(gif.AnimationTimer(), nullptr);
  EXPECT_TRUE(gif.AnimationTimer()->WorkerRunning());
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (ticks < 4 && std::chrono::steady_clock::now() < deadline) h.sim.threads.RunGuiCalls(5ms);
  EXPECT_GE(ticks, 4);
  EXPECT_FALSE(elsewhere);
  EXPECT_EQ(h.sim.threads.ThreadPriorities().front(), -1);

  gif.SetThreaded(false);  // the window timer takes over
  EXPECT_NE(gif.AnimationTimer()->TimerWindow(), 0u);
  gif.SetThreaded(true);
  while (h.sim.threads.QueuedGuiCalls() == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(1ms);
  h.form.reset();  // destroyed with a tick waiting for the GUI thread
  h.sim.threads.RunGuiCalls(20ms);
}

}  // namespace
}  // namespace kelpo::test
