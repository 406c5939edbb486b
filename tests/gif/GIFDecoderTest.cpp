// The GIF stream decoder on streams written block by block.

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "base/Exception.h"
#include "framework/Bitmap.h"
#include "gif/GIFDecoder.h"
#include "tests/gif/GIFTestSupport.h"
#include "tests/gif/LZWReference.h"

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
  TGIFStatus Status = TGIFStatus::gsOK;
};

Loaded Load(const Bytes& stream, bool firstImageOnly = false) {
  Loaded result{false, std::make_unique<TGIFDecoder>()};
  result.Decoder->SetFirstImageOnly(firstImageOnly);
  result.Ok = result.Decoder->LoadGIFStream(stream);
  result.Status = result.Decoder->Status();
  return result;
}

// The top-down indices the reference decoder gives for `raster` in a frame of that shape.
std::vector<std::uint8_t> ReferencePixels(const Bytes& raster, int width, int height) {
  TByteStream stream{raster, 0};
  TRasterRows rows;
  EXPECT_TRUE(ReferenceDecodeRaster(TRasterFrame{width, height, false, false, 0}, stream, rows));
  return TopDownPixels(rows, width, height);
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
  EXPECT_EQ(dropped.Status, TGIFStatus::gsFrameTooLarge);
  GifWriter higher;
  const Loaded none = Load(higher.Header(2, 2, 1).Picture(0, 0, 1, 16385, Filled(16385, 1)).Trailer().Data());
  EXPECT_FALSE(none.Ok);
  EXPECT_EQ(none.Status, TGIFStatus::gsFrameTooLarge);  // why no frame is left
}

TEST(GIF, FrameWithoutWidthOrHeightFailsTheWholeLoad) {
  for (const auto& [w, h] : {std::pair{0, 2}, std::pair{2, 0}}) {
    GifWriter gif;
    Dot(Dot(gif.Header(2, 2, 1))).Image(0, 0, w, h, EncodeRaster(2, {})).Trailer();
    const Loaded l = Load(gif.Data());
    EXPECT_FALSE(l.Ok);
    EXPECT_EQ(l.Status, TGIFStatus::gsZeroSizeFrame);
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
  GifWriter noImage;
  noImage.Header(2, 2, 1).Loop(0).Trailer();
  // A descriptor cut short drops that frame; the frames before it stay.
  GifWriter twice;
  const Bytes two = Dot(Dot(twice.Header(2, 2, 1), 2), 3).Trailer().Data();
  const std::size_t rasterSize = EncodeRaster(8, Filled(4, 3)).size();
  // Bytes between blocks are read in pairs and ignored; the trailer ends the stream.
  GifWriter noise;
  Dot(Dot(noise.Header(2, 2, 1), 2).Raw({0, 0, 0x55, 0x66}), 3).Trailer().Raw({0x2C, 0x2C});
  // A comment cut short ends the stream; the frames before it stay.
  GifWriter comment;
  Dot(comment.Header(2, 2, 1), 2).Raw({0x21, 0xFE, 20, 'a', 'b'});

  struct Case {
    const char* What;
    Bytes Stream;
    TGIFStatus Status;
    std::vector<int> Frames;  // each frame's one index; a failed load has none
  };
  using enum TGIFStatus;
  const Case cases[] = {
      {"empty stream", {}, gsEmptyStream, {}},
      {"signature", {'g', 'I', 'F', '8', '9', 'a'}, gsNotGIF, {}},
      {"header cut", cut(5), gsTruncatedHeader, {}},
      {"logical screen cut", cut(12), gsTruncatedHeader, {}},
      {"global table of 4 entries cut", cut(13 + 11), gsTruncatedHeader, {}},
      {"nothing after the global table", cut(13 + 12), gsNoFrames, {}},
      {"no image descriptor", noImage.Data(), gsNoFrames, {}},
      {"descriptor without data: a frame of index 0", cut(13 + 12 + 10), gsOK, {0}},
      {"second descriptor cut", Bytes(two.begin(), two.end() - 1 - rasterSize - 5), gsTruncatedFrame, {2}},
      {"bytes between blocks", noise.Data(), gsOK, {2, 3}},
      {"comment cut", comment.Data(), gsOK, {2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    const Loaded l = Load(c.Stream);
    EXPECT_EQ(l.Ok, !c.Frames.empty());
    EXPECT_EQ(l.Status, c.Status) << GIFStatusMessage(l.Status);
    ASSERT_EQ(l.Decoder->FrameCount(), static_cast<int>(c.Frames.size()));
    for (std::size_t i = 0; i < c.Frames.size(); ++i)
      EXPECT_EQ(TopDownPixels(l.Decoder->Frame(i + 1).Rows, 2, 2), Filled(4, c.Frames[i])) << "frame " << i + 1;
  }

  // Every status has a message of its own.
  std::set<std::string> messages;
  for (int s = 0; s <= static_cast<int>(gsNoFrames); ++s) messages.insert(GIFStatusMessage(static_cast<TGIFStatus>(s)));
  EXPECT_EQ(messages.size(), static_cast<std::size_t>(gsNoFrames) + 1);
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
  EXPECT_EQ(l.Status, TGIFStatus::gsTooManyFrames);
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
  EXPECT_EQ(d.Status(), TGIFStatus::gsCancelled);

  // A handler that lets processing go on after the cancelled frame keeps the frames before it.
  GifWriter two;
  Dot(two.Header(400, 300, 1)).Picture(0, 0, 400, 300, Filled(120000, 1)).Trailer();
  reports = 0;
  d.SetProgressHook([&](std::size_t, std::size_t) {
    if (++reports == 4) throw std::runtime_error("cancelled");
  });
  ASSERT_TRUE(d.LoadGIFStream(two.Data()));
  EXPECT_EQ(d.FrameCount(), 1);
  EXPECT_EQ(d.Status(), TGIFStatus::gsCancelled);  // why the second frame is missing

  // Cancelled at a block start: the load fails.
  d.SetProgressHook([&](std::size_t, std::size_t) { throw std::runtime_error("cancelled"); });
  EXPECT_FALSE(d.LoadGIFStream(two.Data()));
  EXPECT_EQ(d.Status(), TGIFStatus::gsCancelled);

  // The hook cannot load or release the decoder that calls it; the attempt cancels.
  d.SetProgressHook([&](std::size_t, std::size_t) { d.LoadGIFStream(two.Data()); });
  EXPECT_FALSE(d.LoadGIFStream(two.Data()));
  EXPECT_EQ(d.Status(), TGIFStatus::gsCancelled);
  d.SetProgressHook([&](std::size_t, std::size_t) { d.ReleaseFrames(); });
  EXPECT_FALSE(d.LoadGIFStream(two.Data()));
  d.SetProgressHook({});
  ASSERT_TRUE(d.LoadGIFStream(two.Data()));
  EXPECT_EQ(d.FrameCount(), 2);
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
  const Bytes raster = RasterFromCodes(8, codes);
  GifWriter gif;
  const Loaded l = Load(gif.Header(200, 200, 8).Image(0, 0, 200, 200, raster).Trailer().Data());
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Status, TGIFStatus::gsOK);
  const std::vector<std::uint8_t> pixels = TopDownPixels(l.Decoder->Frame(1).Rows, 200, 200);
  EXPECT_EQ(pixels, ReferencePixels(raster, 200, 200));
  // The roots, with 1 for the clear and end codes, then entry 258: "0 0".
  std::vector<std::uint8_t> start{0};
  for (int i = 0; i < 256; ++i) start.push_back(static_cast<std::uint8_t>(i));
  start.insert(start.end(), {1, 1, 0, 0});
  EXPECT_TRUE(std::equal(start.begin(), start.end(), pixels.begin()));
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
    // code, so their pixels are not the encoded ones); larger ones drop that frame and what follows.
    if (m > 11) {
      EXPECT_EQ(l.Decoder->FrameCount(), 1);
      EXPECT_EQ(l.Status, TGIFStatus::gsBadCodeSize);
      continue;
    }
    ASSERT_EQ(l.Decoder->FrameCount(), 3);
    EXPECT_EQ(l.Status, TGIFStatus::gsOK);
    const std::vector<std::uint8_t> pixels = TopDownPixels(l.Decoder->Frame(2).Rows, 2, 2);
    EXPECT_EQ(pixels, ReferencePixels(raster, 2, 2));
    if (m >= 2) {
      EXPECT_EQ(pixels, Filled(4, 1));
    }
    EXPECT_EQ(TopDownPixels(l.Decoder->Frame(3).Rows, 2, 2), Filled(4, 1));
  }
}

TEST(GIFMalformed, FramesOutsideTheLogicalScreen) {
  GifWriter gif;
  gif.Header(1, 1, 1).Picture(2000, 1000, 2, 3, {1, 0, 0, 1, 1, 1}).Trailer();
  const Loaded l = Load(gif.Data());
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Decoder->ImageWidth(), 2002);
  EXPECT_EQ(l.Decoder->ImageHeight(), 1003);
  EXPECT_EQ(l.Decoder->Frame(1).Rows.Pixels.size(), 4u * 3);
  EXPECT_EQ(TopDownPixels(l.Decoder->Frame(1).Rows, 2, 3), (std::vector<std::uint8_t>{1, 0, 0, 1, 1, 1}));

  // So far out that the picture would pass its limit: that frame is dropped.
  GifWriter far;
  Dot(far.Header(1, 1, 1)).Picture(65000, 65000, 2, 3, Filled(6, 1)).Trailer();
  const Loaded dropped = Load(far.Data());
  ASSERT_TRUE(dropped.Ok);
  EXPECT_EQ(dropped.Decoder->FrameCount(), 1);
  EXPECT_EQ(dropped.Decoder->ImageWidth(), 2);
  EXPECT_EQ(dropped.Status, TGIFStatus::gsPictureTooLarge);
}

TEST(GIFMalformed, ZeroSizedScreenAndFrames) {
  GifWriter screen;
  const Loaded zeroScreen = Load(Dot(screen.Header(0, 0, 1)).Trailer().Data());
  ASSERT_TRUE(zeroScreen.Ok);
  EXPECT_EQ(zeroScreen.Decoder->ImageWidth(), 2);
  EXPECT_EQ(TopDownPixels(zeroScreen.Decoder->Frame(1).Rows, 2, 2), Filled(4, 1));
  GifWriter frame;
  const Loaded zeroFrame = Load(frame.Header(2, 2, 1).Image(0, 0, 0, 0, {2, 0}).Trailer().Data());
  EXPECT_FALSE(zeroFrame.Ok);
  EXPECT_EQ(zeroFrame.Status, TGIFStatus::gsZeroSizeFrame);
}

TEST(GIFMalformed, AllocationBombsAreRefused) {
  // Descriptors of 65535 x 65535 with no data: dropped before anything is allocated.
  GifWriter huge;
  Dot(huge.Header(2, 2, 1));
  for (int i = 0; i < 4; ++i) huge.Image(0, 0, 65535, 65535, {2, 0});
  const Loaded l = Load(huge.Trailer().Data());
  ASSERT_TRUE(l.Ok);
  EXPECT_EQ(l.Decoder->FrameCount(), 1);
  EXPECT_EQ(l.Status, TGIFStatus::gsFrameTooLarge);

  // A few bytes with a logical screen of 16384 x 16384 (a gibibyte of composite) fail at once.
  GifWriter screen;
  const Bytes bomb = screen.Header(16384, 16384, 1).Picture(0, 0, 1, 1, {1}).Trailer().Data();
  EXPECT_LE(bomb.size(), 41u);
  const Loaded refused = Load(bomb);
  EXPECT_FALSE(refused.Ok);
  EXPECT_EQ(refused.Status, TGIFStatus::gsPictureTooLarge);

  // The picture may hold 2^23 pixels: a screen of 4096 x 2048 loads, a row more
  // does not, nor does a frame that widens the picture past the limit.
  GifWriter largest;
  EXPECT_TRUE(Load(largest.Header(4096, 2048, 1).Picture(0, 0, 1, 1, {1}).Trailer().Data()).Ok);
  GifWriter higher;
  EXPECT_EQ(Load(higher.Header(4096, 2049, 1).Picture(0, 0, 1, 1, {1}).Trailer().Data()).Status,
            TGIFStatus::gsPictureTooLarge);
  GifWriter widened;
  Dot(widened.Header(4096, 2048, 1)).Picture(4095, 0, 2, 1, {1, 1}).Trailer();
  const Loaded narrow = Load(widened.Data());
  EXPECT_EQ(narrow.Decoder->FrameCount(), 1);
  EXPECT_EQ(narrow.Status, TGIFStatus::gsPictureTooLarge);

  // Frames decode until their rows reach the budget: 64 MiB by default, eight frames of 4096 x 2048.
  GifWriter many;
  many.Header(4096, 2048, 1);
  for (int i = 0; i < 12; ++i) many.Image(0, 0, 4096, 2048, {2, 0});
  const Loaded budget = Load(many.Trailer().Data());
  ASSERT_TRUE(budget.Ok);
  EXPECT_EQ(budget.Decoder->FrameCount(), 8);
  EXPECT_EQ(budget.Status, TGIFStatus::gsPixelBudget);
  // Rows are counted as stored: a frame 1 pixel wide takes 4 bytes a row, and a mask as much again.
  GifWriter narrowFrames;
  narrowFrames.Header(1, 16384, 1);
  for (int i = 0; i < 4; ++i) narrowFrames.Control(0, 0, true, 0).Image(0, 0, 1, 16384, {2, 0});
  TGIFDecoder d;
  d.SetMaxRowBytes(3 * 8 * 16384);
  ASSERT_TRUE(d.LoadGIFStream(narrowFrames.Trailer().Data()));
  EXPECT_EQ(d.FrameCount(), 3);
  EXPECT_EQ(d.Status(), TGIFStatus::gsPixelBudget);
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

TEST(GIFMalformed, ErrorsLeaveNoHalfBuiltState) {
  GifWriter gif;
  const Bytes broken = Dot(Dot(gif.Header(2, 2, 1))).Image(0, 0, 2, 0, {2, 0}).Trailer().Data();
  TGIFDecoder d;
  for (int round = 0; round < 2; ++round) {
    EXPECT_FALSE(d.LoadGIFStream(broken));
    EXPECT_EQ(d.Status(), TGIFStatus::gsZeroSizeFrame);
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
  EXPECT_EQ(d.Status(), TGIFStatus::gsBadCodeSize);
}

}  // namespace
}  // namespace kelpo::test
