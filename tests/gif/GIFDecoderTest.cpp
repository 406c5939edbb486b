// The GIF stream decoder on streams written block by block.

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/Exception.h"
#include "framework/Bitmap.h"
#include "gif/GIFDecoder.h"
#include "tests/gif/GIFTestSupport.h"

namespace kelpo::test {
namespace {

std::vector<std::uint8_t> Filled(int count, int value) {
  return std::vector<std::uint8_t>(count, value);
}

// A 2 x 2 image of index `value`.
GifWriter& Dot(GifWriter& gif, int value = 1, int left = 0, int top = 0) {
  return gif.Picture(left, top, 2, 2, Filled(4, value));
}

struct Loaded {
  bool Ok;
  std::unique_ptr<TGIFDecoder> Decoder;
};

Loaded Load(const Bytes& stream, bool firstImageOnly = false) {
  Loaded result{false, std::make_unique<TGIFDecoder>()};
  result.Decoder->SetFirstImageOnly(firstImageOnly);
  result.Ok = result.Decoder->LoadGIFStream(stream);
  return result;
}

TEST(GIF, ScreenFramesAndImageStateOfAnAnimation) {
  GifWriter gif;
  gif.Header(10, 8, 2).Loop(0).Control(1, 14, true, 3);
  gif.Picture(0, 0, 10, 8, Filled(80, 3), true);
  gif.Control(1, 700, false, 0).Picture(2, 1, 4, 3, Filled(12, 2)).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  const TGIFDecoder& d = *l.Decoder;
  EXPECT_FALSE(d.Empty());
  EXPECT_EQ(d.FrameCount(), 2);
  EXPECT_EQ(d.ImageWidth(), 10);
  EXPECT_EQ(d.ImageHeight(), 8);
  EXPECT_EQ(d.LoopCount(), 0);
  EXPECT_EQ(d.Version(), TGIFVersion::gvGIF89a);
  EXPECT_TRUE(d.AnyTransparent());
  EXPECT_EQ(d.MaxColorBits(), 2);
  EXPECT_EQ(d.GlobalColors()[3 * 3 + 1], 252);  // entry 3 is (3, 252, 1)
  const TGIFFrame& first = d.Frame(1);
  EXPECT_TRUE(first.Interlaced);
  EXPECT_EQ(first.Disposal, 1);
  EXPECT_EQ(first.DelayMs, 140);
  EXPECT_TRUE(first.Transparent);
  EXPECT_EQ(first.TransparentIndex, 3);
  EXPECT_EQ(TopDownMask(first.Rows, 10, 8), Filled(80, 1));
  const TGIFFrame& second = d.Frame(2);
  EXPECT_EQ(second.FrameLeft, 2);
  EXPECT_EQ(second.FrameTop, 1);
  EXPECT_EQ(second.DelayMs, 7000);
  EXPECT_FALSE(second.Transparent);
  EXPECT_TRUE(second.Rows.Mask.empty());
  EXPECT_EQ(TopDownPixels(second.Rows, 4, 3), Filled(12, 2));
  EXPECT_EQ(second.ColorTable, &d.GlobalColors());
  EXPECT_EQ(second.PaletteEntries, 4);

  GifWriter old;
  Dot(old.Header(2, 2, 1, "GIF87a")).Trailer();
  EXPECT_EQ(Load(old.Data()).Decoder->Version(), TGIFVersion::gvGIF87a);
}

TEST(GIF, LoopCountComesOnlyFromNetscape20) {
  const auto loopOf = [](const std::function<void(GifWriter&)>& extensions) {
    GifWriter gif;
    gif.Header(2, 2, 1);
    extensions(gif);
    Dot(gif).Trailer();
    const Loaded l = Load(gif.Data());
    EXPECT_TRUE(l.Ok);
    return l.Decoder->LoopCount();
  };
  EXPECT_EQ(loopOf([](GifWriter&) {}), 1);
  EXPECT_EQ(loopOf([](GifWriter& g) { g.Loop(0); }), 0);
  EXPECT_EQ(loopOf([](GifWriter& g) { g.Loop(513); }), 513);
  EXPECT_EQ(loopOf([](GifWriter& g) { g.Loop(5, "NETSCAPE3.0"); }), 1);
  EXPECT_EQ(loopOf([](GifWriter& g) { g.Loop(5, "ANIMEXTS1.0"); }), 1);
  EXPECT_EQ(loopOf([](GifWriter& g) { g.Loop(2).Loop(3); }), 3);
  // A loop sub-block of fewer than 3 bytes, or none, leaves the count alone.
  EXPECT_EQ(loopOf([](GifWriter& g) {
              g.Extension(0xFF, {Bytes{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}, Bytes{1, 7}});
            }),
            1);
  EXPECT_EQ(loopOf([](GifWriter& g) {
              g.Extension(0xFF, {Bytes{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}});
            }),
            1);
}

TEST(GIF, GraphicControlAppliesToTheNextImageOnly) {
  GifWriter gif;
  gif.Header(2, 2, 1).Control(3, 5, true, 1);
  Dot(gif);
  Dot(gif);
  for (int disposal = 4; disposal <= 7; ++disposal) Dot(gif.Control(disposal, 0, false, 0));
  Dot(gif.Control(1, 9, false, 0).Control(2, 4, true, 0));  // the last of two counts
  const Loaded l = Load(gif.Trailer().Data());
  ASSERT_TRUE(l.Ok);
  const TGIFDecoder& d = *l.Decoder;
  ASSERT_EQ(d.FrameCount(), 7);
  EXPECT_EQ(d.Frame(1).Disposal, 3);
  EXPECT_EQ(d.Frame(1).DelayMs, 50);
  EXPECT_TRUE(d.Frame(1).Transparent);
  EXPECT_EQ(d.Frame(2).Disposal, 0);
  EXPECT_EQ(d.Frame(2).DelayMs, 0);
  EXPECT_FALSE(d.Frame(2).Transparent);
  for (int i = 3; i <= 6; ++i) EXPECT_EQ(d.Frame(i).Disposal, 2) << i;
  EXPECT_EQ(d.Frame(7).Disposal, 2);
  EXPECT_EQ(d.Frame(7).DelayMs, 40);
  EXPECT_TRUE(d.Frame(7).Transparent);
  EXPECT_EQ(d.PendingControl(), (std::array<std::uint8_t, 6>{}));
}

TEST(GIF, FrameSidesUpTo16384AreDecoded) {
  GifWriter wide;
  Dot(wide.Header(2, 2, 1)).Picture(0, 0, 16384, 1, Filled(16384, 1)).Trailer();
  const Loaded ok = Load(wide.Data());
  ASSERT_TRUE(ok.Ok);
  EXPECT_EQ(ok.Decoder->FrameCount(), 2);
  EXPECT_EQ(ok.Decoder->ImageWidth(), 16384);

  // A pixel wider: that frame and everything after it are dropped.
  GifWriter wider;
  Dot(Dot(wider.Header(2, 2, 1)).Picture(0, 0, 16385, 1, Filled(16385, 1))).Trailer();
  const Loaded dropped = Load(wider.Data());
  ASSERT_TRUE(dropped.Ok);
  EXPECT_EQ(dropped.Decoder->FrameCount(), 1);
  EXPECT_EQ(dropped.Decoder->ImageWidth(), 2);
  GifWriter higher;
  EXPECT_FALSE(Load(higher.Header(2, 2, 1).Picture(0, 0, 1, 16385, Filled(16385, 1)).Trailer().Data()).Ok);
}

TEST(GIF, FrameWithoutWidthOrHeightFailsTheWholeLoad) {
  for (const auto& [w, h] : {std::pair{0, 2}, std::pair{2, 0}}) {
    GifWriter gif;
    Dot(Dot(gif.Header(2, 2, 1))).Image(0, 0, w, h, EncodeRaster(2, {})).Trailer();
    const Loaded l = Load(gif.Data());
    EXPECT_FALSE(l.Ok);
    EXPECT_TRUE(l.Decoder->Empty());
    EXPECT_EQ(l.Decoder->FrameCount(), 0);
  }
}

TEST(GIF, FramesBeyondTheScreenWidenThePicture) {
  GifWriter gif;
  Dot(Dot(gif.Header(4, 3, 1), 1, 9, 0), 1, 0, 20).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Decoder->ImageWidth(), 11);
  EXPECT_EQ(l.Decoder->ImageHeight(), 22);
}

TEST(GIF, PaletteSizeFollowsTheLargestTableSeenSoFar) {
  GifWriter gif;
  Dot(gif.Header(2, 2, 2));
  gif.Image(0, 0, 2, 2, EncodeRaster(5, Filled(4, 30)), false, 5);
  Dot(gif);
  gif.Image(0, 0, 2, 2, EncodeRaster(2, Filled(4, 1)), false, 1);
  const Loaded l = Load(gif.Trailer().Data());
  ASSERT_TRUE(l.Ok);
  const TGIFDecoder& d = *l.Decoder;
  EXPECT_EQ(d.Frame(1).PaletteEntries, 4);
  EXPECT_EQ(d.Frame(2).PaletteEntries, 32);
  EXPECT_TRUE(d.Frame(2).HasLocalColors);
  EXPECT_EQ(d.Frame(2).ColorBits, 5);
  EXPECT_EQ((*d.Frame(2).ColorTable)[3 * 30], 225);  // local entry 30 is (225, 30, 7)
  EXPECT_EQ((*d.Frame(2).ColorTable)[3 * 32], 0);    // beyond the table: zero-filled
  EXPECT_EQ(d.Frame(3).PaletteEntries, 32);          // the global table, with the size the local one raised
  EXPECT_EQ(d.Frame(3).ColorTable, &d.GlobalColors());
  EXPECT_EQ(d.Frame(4).PaletteEntries, 2);
  EXPECT_EQ(d.MaxColorBits(), 5);

  GifWriter none;  // no table at all: one palette entry, from a zeroed global table
  const Loaded bare = Load(Dot(none.Header(2, 2, 0)).Trailer().Data());
  ASSERT_TRUE(bare.Ok);
  EXPECT_EQ(bare.Decoder->Frame(1).PaletteEntries, 1);
  EXPECT_EQ(bare.Decoder->GlobalColors(), TGIFColorTable{});
}

TEST(GIF, FirstImageOnlyStopsAfterFrameOne) {
  GifWriter gif;
  Dot(Dot(Dot(gif.Header(2, 2, 1)), 0), 1, 30, 30).Trailer();
  const Loaded l = Load(gif.Data(), true);
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Decoder->FrameCount(), 1);
  EXPECT_EQ(l.Decoder->ImageWidth(), 2);
}

TEST(GIF, StreamsAreKeptOnlyAfterASuccessfulLoad) {
  GifWriter gif;
  const Bytes good = Dot(gif.Header(2, 2, 1)).Trailer().Data();
  TGIFDecoder d;
  ASSERT_TRUE(d.LoadGIFStream(good));
  EXPECT_EQ(d.DataStream(), good);
  EXPECT_EQ(d.WorkStream().Size(), 0u);
  // Loading the kept stream itself works.
  ASSERT_TRUE(d.LoadGIFStream(d.DataStream()));
  EXPECT_EQ(d.DataStream(), good);
  EXPECT_EQ(d.FrameCount(), 1);

  Bytes bad = good;
  bad[2] = 'X';
  EXPECT_FALSE(d.LoadGIFStream(bad));
  EXPECT_TRUE(d.DataStream().empty());
  EXPECT_EQ(d.WorkStream().Size(), 0u);
  EXPECT_TRUE(d.Empty());
  EXPECT_EQ(d.FrameCount(), 0);
  EXPECT_EQ(d.LoopCount(), 1);
  EXPECT_EQ(d.MaxColorBits(), 0);
  EXPECT_FALSE(d.AnyTransparent());
  ASSERT_TRUE(d.LoadGIFStream(good));  // nothing half-built is left behind
  EXPECT_EQ(d.FrameCount(), 1);
}

TEST(GIF, FailureTableOutcomes) {
  GifWriter base;
  const Bytes good = Dot(base.Header(2, 2, 2)).Trailer().Data();
  const auto cut = [&](std::size_t n) { return Bytes(good.begin(), good.begin() + n); };
  EXPECT_FALSE(Load({}).Ok);
  EXPECT_FALSE(Load({'g', 'I', 'F', '8', '9', 'a'}).Ok);
  EXPECT_FALSE(Load(cut(5)).Ok);        // header
  EXPECT_FALSE(Load(cut(12)).Ok);       // logical screen
  EXPECT_FALSE(Load(cut(13 + 11)).Ok);  // global table of 4 entries
  EXPECT_FALSE(Load(cut(13 + 12)).Ok);  // no image descriptor before the end
  GifWriter noImage;
  EXPECT_FALSE(Load(noImage.Header(2, 2, 1).Loop(0).Trailer().Data()).Ok);
  EXPECT_TRUE(Load(cut(13 + 12 + 10)).Ok);  // a descriptor without data: a frame of index 0

  // A descriptor cut short drops that frame; the frames before it stay.
  GifWriter twice;
  const Bytes two = Dot(Dot(twice.Header(2, 2, 1), 2), 3).Trailer().Data();
  const std::size_t rasterSize = EncodeRaster(8, Filled(4, 3)).size();
  const Loaded oneLeft = Load(Bytes(two.begin(), two.end() - 1 - rasterSize - 5));
  ASSERT_TRUE(oneLeft.Ok);
  EXPECT_EQ(oneLeft.Decoder->FrameCount(), 1);

  // Bytes between blocks are read in pairs and ignored; the trailer ends the stream.
  GifWriter noise;
  Dot(Dot(noise.Header(2, 2, 1)).Raw({0, 0, 0x55, 0x66})).Trailer().Raw({0x2C, 0x2C});
  EXPECT_EQ(Load(noise.Data()).Decoder->FrameCount(), 2);

  // A comment cut short ends the stream; the frames before it stay.
  GifWriter comment;
  Dot(comment.Header(2, 2, 1)).Raw({0x21, 0xFE, 20, 'a', 'b'});
  const Loaded commented = Load(comment.Data());
  ASSERT_TRUE(commented.Ok);
  EXPECT_EQ(commented.Decoder->FrameCount(), 1);
}

TEST(GIF, ExtensionsAreSkippedUpToTheirTerminator) {
  // Sub-block bytes that look like an image descriptor or a trailer are no blocks.
  const Bytes lookalike{0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3B};
  GifWriter gif;
  gif.Header(2, 2, 1);
  gif.Extension(0xFE, {lookalike, lookalike});
  gif.Extension(0x01, {Bytes(12, 0x2C), lookalike});
  gif.Extension(0x99, {lookalike});
  gif.Extension(0xFF, {Bytes{'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P'}, lookalike, lookalike});
  gif.Raw({0x21, 0xFF, 0});  // an application extension with nothing in it
  Dot(gif, 1).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  ASSERT_EQ(l.Decoder->FrameCount(), 1);
  EXPECT_EQ(TopDownPixels(l.Decoder->Frame(1).Rows, 2, 2), Filled(4, 1));

  // A size byte past the end of the stream ends the extension, and the stream.
  GifWriter open;
  Dot(open.Header(2, 2, 1)).Raw({0x21, 0x99, 3, 1, 2, 3});
  EXPECT_EQ(Load(open.Data()).Decoder->FrameCount(), 1);
}

TEST(GIF, Frame257AndAllAfterItAreIgnored) {
  GifWriter gif;
  gif.Header(2, 2, 1);
  for (int i = 0; i < 256; ++i) Dot(gif, i % 2);
  gif.Image(0, 0, 0, 0, {});  // would fail the load if it were read
  const Loaded l = Load(gif.Trailer().Data());
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Decoder->FrameCount(), 256);
}

TEST(GIF, ProgressHookReportsAndCancels) {
  GifWriter gif;
  gif.Header(400, 300, 1).Loop(0);
  gif.Picture(0, 0, 400, 300, Filled(120000, 1));  // large: reports every 32 rows
  Dot(gif).Trailer();
  const Bytes stream = gif.Data();

  std::vector<std::size_t> positions;
  TGIFDecoder d;
  d.SetProgressHook([&](std::size_t position, std::size_t size) {
    EXPECT_EQ(size, stream.size());
    positions.push_back(position);
  });
  ASSERT_TRUE(d.LoadGIFStream(stream));
  // Each block start (loop extension, two images, trailer), 10 row reports, and after the loop.
  EXPECT_EQ(positions.size(), 4u + 10u + 1u);
  EXPECT_EQ(positions.front(), 13u + 6u);
  EXPECT_EQ(positions.back(), stream.size());

  // Cancelled inside the first frame: the frame is dropped, and the report after
  // the loop cancels again, so the load fails.
  int reports = 0;
  d.SetProgressHook([&](std::size_t, std::size_t) {
    if (++reports == 4) {
      d.KeepProcessing() = false;
      throw std::runtime_error("cancelled");
    }
    if (!d.KeepProcessing()) throw std::runtime_error("cancelled");
  });
  EXPECT_FALSE(d.LoadGIFStream(stream));
  EXPECT_TRUE(d.Empty());

  // A handler that lets processing go on after the cancelled frame keeps the frames before it.
  GifWriter two;
  Dot(two.Header(400, 300, 1)).Picture(0, 0, 400, 300, Filled(120000, 1)).Trailer();
  reports = 0;
  d.SetProgressHook([&](std::size_t, std::size_t) {
    if (++reports == 4) throw std::runtime_error("cancelled");
  });
  ASSERT_TRUE(d.LoadGIFStream(two.Data()));
  EXPECT_EQ(d.FrameCount(), 1);

  // Cancelled at a block start: the load fails.
  d.SetProgressHook([&](std::size_t, std::size_t) { throw std::runtime_error("cancelled"); });
  EXPECT_FALSE(d.LoadGIFStream(two.Data()));
}

TEST(GIF, FramePicturesAreBmpFilesTheBitmapLoads) {
  GifWriter gif;
  gif.Header(5, 2, 2).Control(0, 0, true, 2).Picture(0, 0, 5, 2, {0, 1, 2, 3, 0, 3, 2, 1, 0, 2}).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  const TGIFFrame& frame = l.Decoder->Frame(1);
  const Bytes bmp = FramePictureBmp(frame);
  const auto u32 = [&](std::size_t at) { return bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24; };
  ASSERT_EQ(bmp.size(), 14u + 40 + 4 * 4 + 8 * 2);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(u32(2), bmp.size());
  EXPECT_EQ(u32(10), 14u + 40 + 16);
  EXPECT_EQ(u32(14), 40u);
  EXPECT_EQ(u32(18), 5u);
  EXPECT_EQ(u32(22), 2u);
  EXPECT_EQ(bmp[26] | bmp[27] << 8, 1);
  EXPECT_EQ(bmp[28] | bmp[29] << 8, 8);
  EXPECT_EQ(u32(30), 0u);
  EXPECT_EQ(u32(34), 16u);
  EXPECT_EQ(u32(46), 4u);
  EXPECT_EQ(u32(50), 0u);
  EXPECT_EQ(u32(54 + 4 * 3), 0x0003FC01u);  // entry 3 (3, 252, 1) as blue, green, red, 0

  TBitmap picture;
  picture.LoadFromBmp(bmp);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 2);
  EXPECT_EQ(picture.Pixel(3, 0), 0x03FC01u);  // top row, index 3
  EXPECT_EQ(picture.Pixel(0, 1), 0x03FC01u);

  TBitmap mask;
  mask.LoadFromBmp(FrameMaskBmp(frame));
  EXPECT_EQ(mask.Pixel(2, 0), 0xFFFFFFu);  // index 2 is transparent: white
  EXPECT_EQ(mask.Pixel(0, 0), 0u);
  EXPECT_EQ(mask.Pixel(4, 1), 0xFFFFFFu);

  // Rows shorter than the image size do not load.
  const Bytes shortRows =
      BuildFramePicture(5, 2, 8, std::span(frame.ColorTable->data(), 12), std::span(frame.Rows.Pixels.data(), 12));
  EXPECT_THROW(TBitmap().LoadFromBmp(shortRows), Exception);
}

TEST(GIF, DataPropertyIsALengthAndTheStream) {
  const Bytes stream{'G', 'I', 'F', '8', '9', 'a', 1, 2, 3};
  Bytes layout{0xEE};
  WriteDataProperty(layout, stream);
  EXPECT_EQ(layout, (Bytes{0xEE, 9, 0, 0, 0, 'G', 'I', 'F', '8', '9', 'a', 1, 2, 3}));

  TByteStream in{layout, 1};
  Bytes data;
  ReadDataProperty(in, data);
  EXPECT_EQ(data, stream);
  EXPECT_EQ(in.Position, layout.size());

  for (const Bytes& nothing : {Bytes{0, 0, 0, 0, 'G'}, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 'G'}}) {
    TByteStream empty{nothing, 0};
    Bytes kept;
    ReadDataProperty(empty, kept);
    EXPECT_TRUE(kept.empty());
    EXPECT_EQ(empty.Position, 4u);
  }
  const Bytes shortData{5, 0, 0, 0, 'G', 'I'};
  TByteStream cut{shortData, 0};
  EXPECT_THROW(ReadDataProperty(cut, data), Exception);
  TByteStream noLength{std::span(shortData.data(), 2), 0};
  EXPECT_THROW(ReadDataProperty(noLength, data), Exception);
}

// Malformed inputs, one recipe for each kind of fault known in GIF decoders.

TEST(GIFMalformed, CodesAfterAFullTableStayInTheTable) {
  // 4096 entries filled with 12-bit codes, then more codes naming every entry, no clear code.
  std::vector<int> codes{256, 0};
  for (int i = 0; i < 5000; ++i) codes.push_back(i % 4096 == 256 || i % 4096 == 257 ? 1 : i % 4096);
  codes.push_back(257);
  GifWriter gif;
  const Loaded l = Load(gif.Header(200, 200, 8).Image(0, 0, 200, 200, RasterFromCodes(8, codes)).Trailer().Data());
  EXPECT_TRUE(l.Ok);
}

TEST(GIFMalformed, PrefixCyclesAndCodesBeyondTheNextFreeCodeEndTheFrame) {
  GifWriter gif;
  gif.Header(4, 4, 2).Control(0, 0, true, 3);
  gif.Image(0, 0, 4, 4, RasterFromCodes(2, {4, 1, 7, 7, 7, 7, 5}));  // 7 beyond 6, then 7 refers to itself
  Dot(gif, 2).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  ASSERT_EQ(l.Decoder->FrameCount(), 2);  // parsing goes on after the damaged raster
  const TGIFFrame& f = l.Decoder->Frame(1);
  EXPECT_EQ(TopDownPixels(f.Rows, 4, 4), (std::vector<std::uint8_t>{1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(TopDownMask(f.Rows, 4, 4), (std::vector<std::uint8_t>{0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(GIFMalformed, StringLongerThanThePixelsLeftIsCut) {
  GifWriter gif;
  gif.Header(3, 1, 2).Image(0, 0, 3, 1, RasterFromCodes(2, {4, 1, 6, 6, 6, 5}));
  Dot(gif, 2).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_EQ(l.Decoder->FrameCount(), 2);
  EXPECT_EQ(TopDownPixels(l.Decoder->Frame(1).Rows, 3, 1), Filled(3, 1));
}

TEST(GIFMalformed, BadMinimumCodeSizes) {
  for (const int m : {0, 1, 9, 11, 12, 13, 15, 16}) {
    SCOPED_TRACE(m);
    GifWriter gif;
    Dot(gif.Header(2, 2, 1));
    Bytes raster = EncodeRaster(std::clamp(m, 1, 11), Filled(4, 1));
    raster[0] = static_cast<std::uint8_t>(m);
    Dot(gif.Image(0, 0, 2, 2, raster)).Trailer();
    const Loaded l = Load(gif.Data());
    ASSERT_TRUE(l.Ok);
    // Sizes up to 11 decode (0 and 1 start with no room for the first new entry's
    // code, so their pixels differ, harmlessly); larger ones drop that frame and what follows.
    EXPECT_EQ(l.Decoder->FrameCount(), m <= 11 ? 3 : 1);
    if (m >= 2 && m <= 11) {
      EXPECT_EQ(TopDownPixels(l.Decoder->Frame(2).Rows, 2, 2), Filled(4, 1));
    }
  }
}

TEST(GIFMalformed, FramesOutsideTheLogicalScreen) {
  GifWriter gif;
  gif.Header(1, 1, 1).Picture(65000, 65000, 2, 3, Filled(6, 1)).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Decoder->ImageWidth(), 65002);
  EXPECT_EQ(l.Decoder->ImageHeight(), 65003);
  EXPECT_EQ(l.Decoder->Frame(1).Rows.Pixels.size(), 4u * 3);
}

TEST(GIFMalformed, ZeroSizedScreenAndFrames) {
  GifWriter screen;
  const Loaded zeroScreen = Load(Dot(screen.Header(0, 0, 1)).Trailer().Data());
  ASSERT_TRUE(zeroScreen.Ok);
  EXPECT_EQ(zeroScreen.Decoder->ImageWidth(), 2);
  GifWriter frame;
  EXPECT_FALSE(Load(frame.Header(2, 2, 1).Image(0, 0, 0, 0, {2, 0}).Trailer().Data()).Ok);
}

TEST(GIFMalformed, AllocationBombsAreRefused) {
  // Descriptors of 65535 x 65535 with no data: dropped before anything is allocated.
  GifWriter huge;
  Dot(huge.Header(2, 2, 1));
  for (int i = 0; i < 4; ++i) huge.Image(0, 0, 65535, 65535, {2, 0});
  const Loaded l = Load(huge.Trailer().Data());
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Decoder->FrameCount(), 1);

  // Frames within the side limit decode until their pixels reach the total budget.
  GifWriter many;
  many.Header(2, 2, 1);
  for (int i = 0; i < 256; ++i) many.Image(0, 0, 4096, 4096, {2, 0});
  TGIFDecoder d;
  d.SetMaxTotalPixels(3 * 4096 * 4096);
  ASSERT_TRUE(d.LoadGIFStream(many.Trailer().Data()));
  EXPECT_EQ(d.FrameCount(), 3);
  EXPECT_EQ(TGIFDecoder::DefaultMaxTotalPixels, 16384 * 16384);  // one frame of the largest size
}

TEST(GIFMalformed, PaletteIndexBeyondTheTable) {
  GifWriter gif;
  gif.Header(2, 1, 1).Picture(0, 0, 2, 1, {200, 1}).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  const TGIFFrame& f = l.Decoder->Frame(1);
  EXPECT_EQ(TopDownPixels(f.Rows, 2, 1), (std::vector<std::uint8_t>{200, 1}));
  TBitmap picture;
  picture.LoadFromBmp(FramePictureBmp(f));  // an index past the palette shows black
  EXPECT_EQ(picture.Pixel(0, 0), 0u);
  EXPECT_EQ(picture.Pixel(1, 0), 0x01FE00u);
}

TEST(GIFMalformed, RestorePreviousOnTheFirstFrames) {
  GifWriter gif;
  Dot(Dot(gif.Header(2, 2, 1).Control(3, 0, false, 0)).Control(3, 0, true, 0)).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Decoder->Frame(1).Disposal, 3);
  EXPECT_EQ(l.Decoder->Frame(2).Disposal, 3);
}

TEST(GIFMalformed, ErrorsLeaveNoHalfBuiltState) {
  GifWriter gif;
  const Bytes broken = Dot(Dot(gif.Header(2, 2, 1))).Image(0, 0, 2, 0, {2, 0}).Trailer().Data();
  TGIFDecoder d;
  for (int round = 0; round < 2; ++round) {
    EXPECT_FALSE(d.LoadGIFStream(broken));
    EXPECT_EQ(d.FrameCount(), 0);
    EXPECT_TRUE(d.Empty());
    EXPECT_TRUE(d.DataStream().empty());
    EXPECT_EQ(d.WorkStream().Size(), 0u);
    EXPECT_TRUE(d.KeepProcessing());
  }
  // A frame dropped in the middle leaves exactly the frames before it.
  GifWriter partly;
  Dot(Dot(partly.Header(2, 2, 1))).Image(0, 0, 2, 2, {12, 1, 0, 0}).Trailer();
  ASSERT_TRUE(d.LoadGIFStream(partly.Data()));
  EXPECT_EQ(d.FrameCount(), 2);
}

}  // namespace
}  // namespace kelpo::test
