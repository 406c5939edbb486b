// The composition of decoded frames, without a control: drawing through masks,
// the three disposal methods, the restore area and the memory held.

#include <gtest/gtest.h>

#include <string>

#include "gif/GIFComposer.h"
#include "tests/gif/GIFTestSupport.h"

namespace kelpo::test {
namespace {

constexpr std::uint32_t Black = 0;

// Colour of global table entry i as GifWriter writes it.
std::uint32_t Colour(int i) {
  return static_cast<std::uint32_t>(i) << 16 | static_cast<std::uint32_t>(255 - i) << 8 |
         static_cast<std::uint32_t>(i / 2);
}

class GIFComposerTest : public ::testing::Test {
 protected:
  void Decode(GifWriter& gif) {
    ASSERT_TRUE(decoder.LoadGIFStream(gif.Trailer().Data()));
    composer.Start(decoder.ImageWidth(), decoder.ImageHeight(), decoder.AnyTransparent());
  }
  void Draw(int k) { composer.Draw(decoder.Frame(k), k); }
  void Dispose(int k) { composer.Dispose(decoder.Frame(k), k); }
  std::vector<std::uint32_t> Row(int y = 0) const {
    std::vector<std::uint32_t> row;
    for (int x = 0; x < composer.Composite()->Width(); ++x) row.push_back(composer.Composite()->Pixel(x, y));
    return row;
  }
  std::string MaskRow(int y = 0) const {
    std::string row;
    for (int x = 0; x < composer.CompositeMask()->Width(); ++x) row += composer.CompositeMask()->Bit(x, y) ? '1' : '0';
    return row;
  }

  TGIFDecoder decoder;
  TGIFComposer composer;
};

TEST_F(GIFComposerTest, FramesDrawThroughTheirMasksAndAreDisposedOfByTheirMethod) {
  GifWriter w;
  w.Header(4, 1, 2);
  w.Control(1, 10, true, 3).Picture(0, 0, 4, 1, {1, 2, 3, 3});
  w.Control(3, 10, false, 0).Picture(2, 0, 1, 1, {2});    // restore previous
  w.Control(2, 10, true, 3).Picture(0, 0, 2, 1, {3, 1});  // restore background
  w.Control(0, 10, false, 0).Picture(3, 0, 1, 1, {0});
  Decode(w);
  EXPECT_EQ(Row(), (std::vector<std::uint32_t>{Black, Black, Black, Black}));
  EXPECT_EQ(MaskRow(), "1111");

  struct Step {
    int Dispose, Draw;
    std::vector<std::uint32_t> Picture;
    const char* Mask;
  };
  const Step steps[] = {
      {0, 1, {Colour(1), Colour(2), Black, Black}, "0011"},      // transparent pixels stay transparent
      {1, 2, {Colour(1), Colour(2), Colour(2), Black}, "0001"},  // an opaque frame makes its area opaque
      {2, 3, {Colour(1), Colour(1), Black, Black}, "0011"},      // what lay under frame 2 comes back
      {3, 4, {Black, Black, Black, Colour(0)}, "1110"},          // frame 3's area: transparent black
      {4, 1, {Colour(1), Colour(2), Black, Colour(0)}, "0010"},  // incremental: over what frame 4 left
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.Draw);
    if (s.Dispose) Dispose(s.Dispose);
    Draw(s.Draw);
    EXPECT_EQ(Row(), s.Picture);
    EXPECT_EQ(MaskRow(), s.Mask);
  }
}

TEST_F(GIFComposerTest, OnlyTheFrameDrawnLastRestoresWhatLayUnderIt) {
  GifWriter w;
  w.Header(2, 1, 2).Control(3, 0, false, 0).Picture(0, 0, 2, 1, {1, 1});
  w.Control(3, 0, true, 3).Picture(0, 0, 2, 1, {2, 3});
  Decode(w);
  // Restore previous on the first frames: what comes back is the empty composite.
  Draw(1);
  Dispose(1);
  EXPECT_EQ(Row(), (std::vector<std::uint32_t>{Black, Black}));
  EXPECT_EQ(MaskRow(), "11");
  Draw(1);
  Draw(2);  // saves frame 1's picture
  EXPECT_EQ(Row(), (std::vector<std::uint32_t>{Colour(2), Colour(1)}));
  Dispose(1);  // not the frame drawn last: nothing to restore
  EXPECT_EQ(Row(), (std::vector<std::uint32_t>{Colour(2), Colour(1)}));
  Dispose(2);
  EXPECT_EQ(Row(), (std::vector<std::uint32_t>{Colour(1), Colour(1)}));
  EXPECT_EQ(MaskRow(), "00");
  Dispose(2);  // the same area again
  EXPECT_EQ(Row(), (std::vector<std::uint32_t>{Colour(1), Colour(1)}));

  // A new start forgets the area; without a transparent frame there is no mask.
  GifWriter opaque;
  opaque.Header(2, 1, 2).Control(3, 0, false, 0).Picture(0, 0, 2, 1, {2, 2}).Control(2, 0, false, 0);
  opaque.Picture(1, 0, 1, 1, {1});
  Decode(opaque);
  Dispose(1);
  EXPECT_EQ(Row(), (std::vector<std::uint32_t>{Black, Black}));
  EXPECT_EQ(composer.CompositeMask(), nullptr);
  Draw(1);
  Dispose(1);
  Draw(2);
  Dispose(2);
  EXPECT_EQ(Row(), (std::vector<std::uint32_t>{Black, Black}));
}

TEST_F(GIFComposerTest, HoldsOneRestoreAreaAndFreesEverything) {
  composer.Draw(TGIFFrame{}, 1);  // nothing to draw on yet
  EXPECT_EQ(composer.Memory(), 0u);
  GifWriter w;
  w.Header(64, 8, 1);
  for (int i = 0; i < 8; ++i) w.Control(3, 0, true, 0).Picture(i % 2, 0, 32, 8, std::vector<std::uint8_t>(256, 1));
  Decode(w);
  const std::size_t surfaces = 64 * 8 * 4 + 8 * 8;  // the composite and its mask
  EXPECT_EQ(composer.Memory(), surfaces);
  for (int k = 1; k <= 8; ++k) {
    if (k > 1) Dispose(k - 1);
    Draw(k);
    EXPECT_EQ(composer.Memory(), surfaces + 32 * 8 * 4 + 4 * 8) << k;  // one area, whatever the frame
  }
  composer.ReleaseRestoreArea();
  EXPECT_EQ(composer.Memory(), surfaces);
  composer.Clear();
  EXPECT_EQ(composer.Memory(), 0u);
  EXPECT_EQ(composer.Composite(), nullptr);
  EXPECT_EQ(composer.CompositeMask(), nullptr);
}

}  // namespace
}  // namespace kelpo::test
