// The LZW raster decoder, checked against the pixels that were encoded and,
// for every case, against the plain reference decoder.

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "gif/LZWDecoder.h"
#include "tests/gif/GIFTestSupport.h"
#include "tests/gif/LZWReference.h"

namespace kelpo::test {
namespace {

std::vector<std::uint8_t> RandomPixels(std::size_t count, int colours, std::uint32_t seed, int runs = 1) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> pixels;
  while (pixels.size() < count) {
    const std::uint8_t value = static_cast<std::uint8_t>(random() % colours);
    const std::size_t run = 1 + random() % runs;
    for (std::size_t i = 0; i < run && pixels.size() < count; ++i) pixels.push_back(value);
  }
  return pixels;
}

TRasterFrame Frame(int width, int height, bool interlaced = false, bool transparent = false, int index = 0) {
  return {width, height, interlaced, transparent, static_cast<std::uint8_t>(index)};
}

std::vector<std::uint8_t> Ones(std::size_t count) {
  return std::vector<std::uint8_t>(count, 1);
}

TEST(LZW, EncodedPixelsComeBackBottomUpWithPaddedRows) {
  struct Case {
    int width, height, minCodeSize, subBlock;
  };
  for (const Case c : {Case{1, 1, 2, 255}, Case{5, 3, 2, 255}, Case{7, 9, 3, 2}, Case{33, 17, 8, 255},
                       Case{64, 64, 8, 1}, Case{101, 60, 5, 7}, Case{300, 200, 8, 255}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " m=" << c.minCodeSize << " blocks of "
                                    << c.subBlock);
    const auto pixels =
        RandomPixels(static_cast<std::size_t>(c.width) * c.height, 1 << c.minCodeSize, c.width * 31 + c.height, 6);
    const Bytes raster = EncodeRaster(c.minCodeSize, pixels, c.subBlock);
    const RasterResult result = DecodeBoth(Frame(c.width, c.height), raster);
    ASSERT_TRUE(result.Decoded);
    EXPECT_EQ(TopDownPixels(result.Rows, c.width, c.height), pixels);
    EXPECT_EQ(result.Position, raster.size());  // behind the block terminator
    ASSERT_EQ(result.Rows.Pixels.size(), PixelStride(c.width) * c.height);
    EXPECT_TRUE(result.Rows.Mask.empty());
    // Image row 0 is the last buffer row; the padding bytes of every row stay 0.
    EXPECT_EQ(result.Rows.Pixels[(c.height - 1) * PixelStride(c.width)], pixels[0]);
    for (int row = 0; row < c.height; ++row)
      for (std::size_t x = c.width; x < PixelStride(c.width); ++x)
        EXPECT_EQ(result.Rows.Pixels[row * PixelStride(c.width) + x], 0);
  }
}

TEST(LZW, InterlacedRowsArriveInFourPasses) {
  // Raster row r is filled with the value r; each image row shows the raster row that filled it.
  const auto rasterRows = [](int width, int height) {
    std::vector<std::uint8_t> pixels;
    for (int r = 0; r < height; ++r) pixels.insert(pixels.end(), width, static_cast<std::uint8_t>(r));
    return pixels;
  };
  const auto imageRowSources = [&](int height) {
    const RasterResult result = DecodeBoth(Frame(3, height, true), EncodeRaster(4, rasterRows(3, height)));
    std::vector<int> sources;
    const auto pixels = TopDownPixels(result.Rows, 3, height);
    for (int y = 0; y < height; ++y) sources.push_back(pixels[y * 3]);
    return sources;
  };
  EXPECT_EQ(imageRowSources(1), (std::vector<int>{0}));
  EXPECT_EQ(imageRowSources(2), (std::vector<int>{0, 1}));  // row 1 comes in pass 4
  // Rows 0, 4, 2, 1, 3, 5 in that order.
  EXPECT_EQ(imageRowSources(6), (std::vector<int>{0, 3, 2, 4, 1, 5}));
  EXPECT_EQ(imageRowSources(11), (std::vector<int>{0, 6, 3, 7, 2, 8, 4, 9, 1, 10, 5}));  // 0, 8, 4, 2, 6, 10, 1, 3, ...
}

TEST(LZW, MaskMarksPixelsWhoseWholeValueIsTheTransparentIndex) {
  const auto pixels = RandomPixels(37 * 5, 4, 7);
  const RasterResult result = DecodeBoth(Frame(37, 5, false, true, 2), EncodeRaster(2, pixels));
  ASSERT_EQ(result.Rows.Mask.size(), MaskStride(37) * 5);
  const auto mask = TopDownMask(result.Rows, 37, 5);
  for (std::size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(mask[i], pixels[i] == 2 ? 1 : 0) << i;
  for (int row = 0; row < 5; ++row)  // bits past the width stay 0
    EXPECT_EQ(result.Rows.Mask[row * MaskStride(37) + 4] & 0x07, 0);

  // With 9-bit roots, root 256 + 7 is stored as index 7 but is not the transparent index 7.
  const RasterResult wide = DecodeBoth(Frame(4, 1, false, true, 7), RasterFromCodes(9, {512, 263, 7, 263, 7, 513}));
  EXPECT_EQ(TopDownPixels(wide.Rows, 4, 1), (std::vector<std::uint8_t>{7, 7, 7, 7}));
  EXPECT_EQ(TopDownMask(wide.Rows, 4, 1), (std::vector<std::uint8_t>{0, 1, 0, 1}));
}

TEST(LZW, RepeatedClearCodesActAsOne) {
  const std::vector<int> once{4, 1, 2, 6, 5};  // m = 2: clear 4, end 5
  const std::vector<int> twice{4, 4, 1, 2, 4, 4, 1, 2, 6, 5};
  const RasterResult a = DecodeBoth(Frame(4, 1), RasterFromCodes(2, once));
  EXPECT_EQ(TopDownPixels(a.Rows, 4, 1), (std::vector<std::uint8_t>{1, 2, 1, 2}));
  const RasterResult b = DecodeBoth(Frame(6, 1), RasterFromCodes(2, twice));
  EXPECT_EQ(TopDownPixels(b.Rows, 6, 1), (std::vector<std::uint8_t>{1, 2, 1, 2, 1, 2}));
}

TEST(LZW, CodesAtTheVeryEndOfTheData) {
  // Minimum code size 8: clear, 0, 1, end are 4 x 9 = 36 bits. The end code may
  // end anywhere in the last sub-block; every pixel arrives.
  const RasterResult withEnd = DecodeBoth(Frame(2, 1), RasterFromCodes(8, {256, 0, 1, 257}));
  EXPECT_EQ(TopDownPixels(withEnd.Rows, 2, 1), (std::vector<std::uint8_t>{0, 1}));

  // Without an end code, a code whose last bit is the last bit of the data is not
  // delivered: 3 codes of 8 bits fill 3 bytes exactly (m = 7), and the third is lost.
  const RasterResult exact = DecodeBoth(Frame(3, 1, false, true, 9), RasterFromCodes(7, {128, 1, 2}));
  EXPECT_EQ(TopDownPixels(exact.Rows, 3, 1), (std::vector<std::uint8_t>{1, 0, 0}));
  EXPECT_EQ(TopDownMask(exact.Rows, 3, 1), (std::vector<std::uint8_t>{0, 1, 1}));
  // One spare bit after it and the code is delivered.
  const RasterResult spare = DecodeBoth(Frame(3, 1), RasterFromCodes(7, {128, 1, 2, 0}));
  EXPECT_EQ(TopDownPixels(spare.Rows, 3, 1), (std::vector<std::uint8_t>{1, 2, 0}));
}

TEST(LZW, RasterCutShortLeavesIndexZeroAndTransparency) {
  const auto pixels = RandomPixels(20 * 20, 200, 3);
  Bytes raster = EncodeRaster(8, pixels);
  raster.resize(raster.size() / 2);  // cut inside the data
  const RasterResult opaque = DecodeBoth(Frame(20, 20), raster);
  const auto shown = TopDownPixels(opaque.Rows, 20, 20);
  EXPECT_EQ(opaque.Position, raster.size());
  std::size_t decoded = 0;
  while (decoded < shown.size() && shown[decoded] == pixels[decoded]) ++decoded;
  EXPECT_GT(decoded, 50u);
  EXPECT_LT(decoded, pixels.size());
  for (std::size_t i = decoded; i < shown.size(); ++i) EXPECT_EQ(shown[i], 0) << i;

  const RasterResult transparent = DecodeBoth(Frame(20, 20, false, true, 250), raster);
  const auto mask = TopDownMask(transparent.Rows, 20, 20);
  for (std::size_t i = 0; i < mask.size(); ++i) EXPECT_EQ(mask[i], i < decoded ? 0 : 1) << i;

  // No data at all, or only a minimum code size: every pixel undecoded.
  for (const Bytes& nothing : {Bytes{}, Bytes{8}, Bytes{8, 0}}) {
    const RasterResult empty = DecodeBoth(Frame(9, 2, true, true, 1), nothing);
    EXPECT_TRUE(empty.Decoded);
    EXPECT_EQ(TopDownMask(empty.Rows, 9, 2), Ones(18));
    EXPECT_EQ(empty.Position, nothing.size());
  }
}

TEST(LZW, FirstValueIsOutputWhateverItIs) {
  // m = 2: clear 4, end 5, next free 6. The first code is the end code: stored as 5.
  const RasterResult end = DecodeBoth(Frame(1, 1), RasterFromCodes(2, {4, 5, 5}));
  EXPECT_EQ(TopDownPixels(end.Rows, 1, 1), (std::vector<std::uint8_t>{5}));
  // A first code beyond the table, then the code being defined: its string reaches
  // an entry never written, which ends the frame.
  const RasterResult beyond = DecodeBoth(Frame(3, 1), RasterFromCodes(2, {4, 7, 6, 1, 5}));
  EXPECT_EQ(TopDownPixels(beyond.Rows, 3, 1), (std::vector<std::uint8_t>{7, 0, 0}));
}

TEST(LZW, FullTableStaysAtTwelveBitsUntilAClearCode) {
  const int width = 256, height = 160;
  const auto pixels = RandomPixels(width * height, 16, 11);
  const std::vector<int> codes = EncodeCodes(4, pixels, true);
  ASSERT_GT(codes.size(), 4096u);  // the table fills and the codes go on at 12 bits
  const RasterResult deferred = DecodeBoth(Frame(width, height), RasterFromCodes(4, codes));
  EXPECT_EQ(TopDownPixels(deferred.Rows, width, height), pixels);
  const RasterResult cleared = DecodeBoth(Frame(width, height), EncodeRaster(4, pixels));
  EXPECT_EQ(TopDownPixels(cleared.Rows, width, height), pixels);
}

TEST(LZW, MinimumCodeSizesAbove11AreRefused) {
  for (const int m : {12, 13, 15, 16, 255}) {
    const Bytes raster{static_cast<std::uint8_t>(m), 2, 0xFF, 0xFF, 0};
    const RasterResult result = DecodeBoth(Frame(2, 2), raster);
    EXPECT_FALSE(result.Decoded) << m;
    EXPECT_TRUE(result.Rows.Pixels.empty());
    EXPECT_EQ(result.Position, 1u);
  }
  // Small and large sizes that fit decode their own roots.
  for (const int m : {0, 1, 9, 11}) {
    const int clear = 1 << m;
    const RasterResult result = DecodeBoth(Frame(3, 1), RasterFromCodes(m, {clear, 0, clear - 1, 0, clear + 1}));
    const std::uint8_t top = static_cast<std::uint8_t>(clear - 1);
    EXPECT_EQ(TopDownPixels(result.Rows, 3, 1), (std::vector<std::uint8_t>{0, top, 0})) << m;
  }
}

TEST(LZW, CorruptStringsEndTheFrameWithoutLeavingTheTables) {
  // m = 2: after 1, code 7 lies beyond the next free code 6 and repeats the last
  // string; code 7 again then refers to itself.
  const RasterResult loop = DecodeBoth(Frame(6, 1, false, true, 3), RasterFromCodes(2, {4, 1, 7, 7, 1, 5}));
  EXPECT_EQ(TopDownPixels(loop.Rows, 6, 1), (std::vector<std::uint8_t>{1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(TopDownMask(loop.Rows, 6, 1), (std::vector<std::uint8_t>{0, 0, 0, 1, 1, 1}));

  // After the first code, every code names the clear or end code's entry or one
  // not yet written: all of them stay within the 4096-entry tables.
  for (int m = 0; m <= 11; ++m) {
    std::vector<int> codes{1 << m, 0};
    for (int code = (1 << m); code < std::min(4096, 4 << m); ++code) codes.push_back(code);
    DecodeBoth(Frame(64, 64, false, true, 0), RasterFromCodes(m, codes));
  }
}

TEST(LZW, StringLongerThanThePixelsLeftIsCutAndTheRestConsumed) {
  // 3 pixels; the codes make 1, 1, then "1 1" twice: the last string overruns.
  const Bytes raster = RasterFromCodes(2, {4, 1, 6, 6, 5});
  const RasterResult result = DecodeBoth(Frame(3, 1), raster);
  EXPECT_EQ(TopDownPixels(result.Rows, 3, 1), (std::vector<std::uint8_t>{1, 1, 1}));
  EXPECT_EQ(result.Position, raster.size());

  // More data after the last pixel, up to an end code in a later sub-block.
  const auto pixels = RandomPixels(50, 4, 5);
  std::vector<int> codes = EncodeCodes(2, pixels);
  codes.pop_back();
  for (int i = 0; i < 40; ++i) codes.push_back(i % 4);
  codes.push_back(5);
  const Bytes longer = RasterFromCodes(2, codes, 3);
  const RasterResult consumed = DecodeBoth(Frame(10, 5), longer);
  EXPECT_EQ(TopDownPixels(consumed.Rows, 10, 5), pixels);
  EXPECT_EQ(consumed.Position, longer.size());
}

TEST(LZW, NothingAfterTheEndCodeIsRead) {
  // Fewer pixels than the frame holds, the end code, unused bits in the same
  // sub-block and a further sub-block; then the next block of the stream.
  Bytes raster = RasterFromCodes(2, {4, 1, 5, 0, 0, 0, 0}, 255, false);
  raster.insert(raster.end(), {2, 0xAA, 0xBB, 0});
  const std::size_t terminatorEnd = raster.size();
  raster.insert(raster.end(), {0x21, 0xF9, 4, 1, 0, 0, 0, 0, 0x2C});
  const RasterResult result = DecodeBoth(Frame(4, 4, false, true, 9), raster);
  EXPECT_EQ(result.Position, terminatorEnd);
  EXPECT_EQ(TopDownPixels(result.Rows, 4, 4)[0], 1);
  EXPECT_EQ(TopDownMask(result.Rows, 4, 4),
            (std::vector<std::uint8_t>{0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
}

struct ProgressRun {
  std::vector<std::size_t> Reports;  // stream positions at each report
  bool Cancelled = false;
  TRasterRows Rows;
};

template <typename Decode>
ProgressRun RunWithProgress(Decode decode, const TRasterFrame& frame, const Bytes& raster, int cancelAt = 0) {
  ProgressRun run;
  TByteStream stream{raster, 0};
  try {
    decode(frame, stream, run.Rows, [&] {
      run.Reports.push_back(stream.Position);
      if (static_cast<int>(run.Reports.size()) == cancelAt) throw std::runtime_error("cancelled");
    });
  } catch (const std::runtime_error&) {
    run.Cancelled = true;
  }
  return run;
}

ProgressRun FastWithProgress(const TRasterFrame& frame, const Bytes& raster, int cancelAt = 0) {
  TLZWDecoder decoder;
  return RunWithProgress([&](auto&&... a) { return decoder.DecodeRaster(a...); }, frame, raster, cancelAt);
}

TEST(LZW, ProgressEvery32Or64RowsOnlyInLargeFrames) {
  const auto reports = [](int width, int height, bool interlaced = false) {
    const Bytes raster = EncodeRaster(8, RandomPixels(width * height, 256, width, 3));
    const ProgressRun fast = FastWithProgress(Frame(width, height, interlaced), raster);
    const ProgressRun reference = RunWithProgress(ReferenceDecodeRaster, Frame(width, height, interlaced), raster);
    EXPECT_EQ(fast.Reports, reference.Reports);  // the same count at the same stream positions
    for (std::size_t i = 1; i < fast.Reports.size(); ++i) EXPECT_LE(fast.Reports[i - 1], fast.Reports[i]);
    return fast.Reports.size();
  };
  EXPECT_EQ(reports(400, 300), 10u);       // wider than 320: rows 0, 32, ..., 288
  EXPECT_EQ(reports(320, 320), 5u);        // rows 0, 64, ..., 256
  EXPECT_EQ(reports(316, 316), 0u);        // 99,856 pixels: no reports
  EXPECT_EQ(reports(500, 201, true), 7u);  // image rows 0, 32, ..., 192, whenever their pass stores them
}

TEST(LZW, CancelledProgressKeepsTheRowsDecodedSoFar) {
  const int width = 400, height = 300;
  const auto pixels = RandomPixels(width * height, 256, 5, 4);
  const Bytes raster = EncodeRaster(8, pixels);
  const ProgressRun fast = FastWithProgress(Frame(width, height, false, true, 0), raster, 2);
  const ProgressRun reference = RunWithProgress(ReferenceDecodeRaster, Frame(width, height, false, true, 0), raster, 2);
  EXPECT_TRUE(fast.Cancelled);
  EXPECT_EQ(fast.Reports.size(), 2u);
  EXPECT_EQ(fast.Rows.Pixels, reference.Rows.Pixels);
  EXPECT_EQ(fast.Rows.Mask, reference.Rows.Mask);
  // Rows 0..32 are decoded; the rest hold index 0 and are not marked transparent.
  const auto shown = TopDownPixels(fast.Rows, width, height);
  const auto mask = TopDownMask(fast.Rows, width, height);
  const std::size_t kept = 33 * width;
  EXPECT_TRUE(std::equal(shown.begin(), shown.begin() + kept, pixels.begin()));
  EXPECT_TRUE(std::all_of(shown.begin() + kept, shown.end(), [](int v) { return v == 0; }));
  for (std::size_t i = 0; i < mask.size(); ++i) ASSERT_EQ(mask[i], i < kept && pixels[i] == 0 ? 1 : 0) << i;
}

TEST(LZW, MatchesTheReferenceOnDamagedRasters) {
  std::mt19937 random(2024);
  for (int round = 0; round < 400; ++round) {
    const int width = 1 + random() % 40, height = 1 + random() % 30;
    const int m = random() % 9;
    Bytes raster =
        EncodeRaster(std::max(m, 1), RandomPixels(width * height, 1 << std::max(m, 1), round, 5), 1 + random() % 255);
    raster[0] = static_cast<std::uint8_t>(m);
    for (int flips = random() % 4; flips > 0; --flips) raster[random() % raster.size()] ^= 1 << (random() % 8);
    if (random() % 3 == 0) raster.resize(random() % raster.size());
    SCOPED_TRACE(round);
    DecodeBoth(Frame(width, height, random() % 2, random() % 2, random() % (1 << std::max(m, 1))), raster);
  }
}

}  // namespace
}  // namespace kelpo::test
