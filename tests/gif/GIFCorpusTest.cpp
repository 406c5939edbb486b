// The stream decoder on third-party files: every corpus file that giflib
// decodes completely gives the same frames, and a few files cut at every byte
// give the outcome the failure rules call for.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "gif/GIFDecoder.h"
#include "tests/gif/GIFTestSupport.h"

#ifdef KELPO_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace kelpo::test {
namespace {

namespace fs = std::filesystem;

std::string CorpusDir() {
  return SharedDir() + "/corpus/gif";
}

// Corpus files below CorpusDir(), as paths relative to it, in a stable order.
std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(CorpusDir()))
    if (entry.is_regular_file() && entry.path().extension() == ".gif")
      files.push_back(fs::relative(entry.path(), CorpusDir()).string());
  std::sort(files.begin(), files.end());
  return files;
}

#define SKIP_WITHOUT_CORPUS()                                                                   \
  if (!fs::is_directory(CorpusDir()))                                                           \
  GTEST_SKIP() << "GIF corpus not found at " << CorpusDir() << " (set KELPO_SHARED_DIR to the " \
               << "folder holding corpus/ and bench/)"

// One frame as both decoders see it: its rectangle, timing and indices top row first.
struct FrameView {
  int Left, Top, Width, Height;
  int Disposal, DelayMs, TransparentIndex;  // -1: no transparency
  std::vector<std::uint8_t> Pixels;
  bool operator==(const FrameView&) const = default;
};

std::vector<FrameView> KelpoFrames(const TGIFDecoder& decoder) {
  std::vector<FrameView> frames;
  for (int i = 1; i <= decoder.FrameCount(); ++i) {
    const TGIFFrame& f = decoder.Frame(i);
    frames.push_back({f.FrameLeft, f.FrameTop, f.FrameWidth, f.FrameHeight, f.Disposal, f.DelayMs,
                      f.Transparent ? f.TransparentIndex : -1, TopDownPixels(f.Rows, f.FrameWidth, f.FrameHeight)});
  }
  return frames;
}

#ifdef KELPO_HAVE_GIFLIB
struct MemoryInput {
  const Bytes* bytes;
  std::size_t position = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* destination, int count) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(count, in->bytes->size() - in->position);
  std::memcpy(destination, in->bytes->data() + in->position, n);
  in->position += n;
  return static_cast<int>(n);
}

// The frames giflib decodes, or nothing when it does not decode the whole file.
std::optional<std::vector<FrameView>> GiflibFrames(const Bytes& file) {
  MemoryInput input{&file};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadMemory, &error);
  if (!gif) return std::nullopt;
  std::optional<std::vector<FrameView>> frames;
  if (DGifSlurp(gif) == GIF_OK) {
    frames.emplace();
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      const GifImageDesc& d = image.ImageDesc;
      GraphicsControlBlock control{};
      control.TransparentColor = NO_TRANSPARENT_COLOR;
      DGifSavedExtensionToGCB(gif, i, &control);
      const int disposal = control.DisposalMode > 3 ? 2 : control.DisposalMode;
      frames->push_back({d.Left, d.Top, d.Width, d.Height, disposal, control.DelayTime * 10, control.TransparentColor,
                         std::vector<std::uint8_t>(image.RasterBits, image.RasterBits + d.Width * d.Height)});
    }
  }
  DGifCloseFile(gif, &error);
  return frames;
}
#endif

const std::string& FrameLimitReason() {
  static const std::string reason = "only the first 256 frames are kept";
  return reason;
}

struct PolicyDifference {
  std::string Reason;
  TGIFStatus Status;  // how Kelpo's load ends
};

// Files where Kelpo's decoder and giflib differ by design, with the reason.
const std::map<std::string, PolicyDifference>& PolicyDifferences() {
  using enum TGIFStatus;
  const std::string FrameLimit = FrameLimitReason();
  static const std::string SideLimit = "a frame wider or higher than 16384 pixels is dropped";
  static const std::string LastCodeLost = "without an end code, a code ending on the data's last bit is not delivered";
  static const std::map<std::string, PolicyDifference> differences = {
      {"deb-gdk-pixbuf-tests/gif-test-suite/max-height.gif", {SideLimit, gsFrameTooLarge}},
      {"deb-gdk-pixbuf-tests/gif-test-suite/max-width.gif", {SideLimit, gsFrameTooLarge}},
      {"deb-gdk-pixbuf-tests/gif-test-suite/no-clear-and-eoi.gif", {LastCodeLost, gsOK}},
      {"deb-gdk-pixbuf-tests/gif-test-suite/no-eoi.gif", {LastCodeLost, gsOK}},
      {"deb-src-pillow/decompression_bomb_extents.gif",
       {"a frame that would take the picture past 2^23 pixels is dropped", gsPictureTooLarge}},
      {"gh-image-gif/samples/gifplayer-muybridge.gif", {FrameLimit, gsTooManyFrames}},
      {"gh-image-gif/samples/sample_big.gif", {FrameLimit, gsTooManyFrames}},
      {"gh-wuffs/gifplayer-muybridge.gif", {FrameLimit, gsTooManyFrames}},
      {"gh-wuffs/artificial-gif/multiple-graphic-controls.gif",
       {"of several graphic control extensions before an image the last counts (giflib takes the first)", gsOK}},
  };
  return differences;
}

TEST(GIFCorpus, FilesGiflibDecodesGiveTheSameFrames) {
  SKIP_WITHOUT_CORPUS();
#ifndef KELPO_HAVE_GIFLIB
  GTEST_SKIP() << "giflib (libgif-dev) was not found when building the tests";
#else
  int compared = 0;
  std::set<std::string> differing;
  for (const std::string& name : CorpusFiles()) {
    const auto file = ReadFileBytes(CorpusDir() + "/" + name);
    ASSERT_TRUE(file) << name;
    const auto expected = GiflibFrames(*file);
    if (!expected) continue;
    TGIFDecoder decoder;
    const bool loaded = decoder.LoadGIFStream(*file);
    const std::vector<FrameView> actual = loaded ? KelpoFrames(decoder) : std::vector<FrameView>{};
    ++compared;
    if (actual == *expected) continue;
    differing.insert(name);
    const auto policy = PolicyDifferences().find(name);
    if (policy != PolicyDifferences().end()) {
      EXPECT_EQ(decoder.Status(), policy->second.Status) << name << ": " << GIFStatusMessage(decoder.Status());
      if (policy->second.Reason == FrameLimitReason()) {  // the frames kept are giflib's first 256
        EXPECT_EQ(actual.size(), 256u) << name;
        EXPECT_TRUE(std::equal(actual.begin(), actual.end(), expected->begin())) << name;
      }
      continue;
    }
    ADD_FAILURE() << name << ": Kelpo " << (loaded ? "" : "failed, ") << actual.size() << " frames, giflib "
                  << expected->size();
    for (std::size_t i = 0; i < std::min(actual.size(), expected->size()); ++i) {
      const FrameView& a = actual[i];
      const FrameView& e = (*expected)[i];
      if (a == e) continue;
      std::size_t firstPixel = 0;
      while (firstPixel < std::min(a.Pixels.size(), e.Pixels.size()) && a.Pixels[firstPixel] == e.Pixels[firstPixel])
        ++firstPixel;
      ADD_FAILURE() << name << " frame " << i + 1 << ": rect " << a.Left << "," << a.Top << "," << a.Width << ","
                    << a.Height << " vs " << e.Left << "," << e.Top << "," << e.Width << "," << e.Height
                    << "; disposal " << a.Disposal << " vs " << e.Disposal << "; delay " << a.DelayMs << " vs "
                    << e.DelayMs << "; transparent " << a.TransparentIndex << " vs " << e.TransparentIndex
                    << "; first different pixel " << firstPixel;
    }
  }
  EXPECT_GT(compared, 150);
  for (const auto& [name, policy] : PolicyDifferences())
    EXPECT_TRUE(differing.contains(name))
        << name << " no longer differs from giflib (" << policy.Reason << "): remove it from the list";
#endif
}

TEST(GIFCorpus, FilesThatDoNotDecodeToTheirEndFailForTheirOwnReason) {
  SKIP_WITHOUT_CORPUS();
  using enum TGIFStatus;
  // Every corpus file whose load fails or stops early, with the reason; all others load to their end.
  static const std::map<std::string, TGIFStatus> expected = {
      {"deb-gdk-pixbuf-tests/fail/bug778584.gif", gsNotGIF},
      {"deb-gdk-pixbuf-tests/fail/bug785973.gif", gsPictureTooLarge},
      {"deb-gdk-pixbuf-tests/fail/invalid.1.gif", gsPictureTooLarge},
      {"deb-gdk-pixbuf-tests/fail/invalid.2.gif", gsPictureTooLarge},
      {"deb-gdk-pixbuf-tests/fail/invalid.3.gif", gsPictureTooLarge},
      {"deb-gdk-pixbuf-tests/fail/overflow-codes-max.gif", gsBadCodeSize},
      {"deb-gdk-pixbuf-tests/fail/overflow-codes.gif", gsBadCodeSize},
      {"deb-gdk-pixbuf-tests/gif-test-suite/image-zero-height.gif", gsZeroSizeFrame},
      {"deb-gdk-pixbuf-tests/gif-test-suite/image-zero-size.gif", gsZeroSizeFrame},
      {"deb-gdk-pixbuf-tests/gif-test-suite/image-zero-width.gif", gsZeroSizeFrame},
      {"deb-gdk-pixbuf-tests/gif-test-suite/max-height.gif", gsFrameTooLarge},
      {"deb-gdk-pixbuf-tests/gif-test-suite/max-size.gif", gsPictureTooLarge},
      {"deb-gdk-pixbuf-tests/gif-test-suite/max-width.gif", gsFrameTooLarge},
      {"deb-gdk-pixbuf-tests/gif-test-suite/no-data.gif", gsNoFrames},
      {"deb-gdk-pixbuf-tests/gif-test-suite/overflow-codes-max.gif", gsBadCodeSize},
      {"deb-gdk-pixbuf-tests/gif-test-suite/overflow-codes.gif", gsBadCodeSize},
      {"deb-gdk-pixbuf-tests/gif-test-suite/zero-height.gif", gsNoFrames},
      {"deb-gdk-pixbuf-tests/gif-test-suite/zero-size.gif", gsNoFrames},
      {"deb-gdk-pixbuf-tests/gif-test-suite/zero-width.gif", gsNoFrames},
      {"deb-src-pillow/decompression_bomb.gif", gsFrameTooLarge},
      {"deb-src-pillow/decompression_bomb_extents.gif", gsPictureTooLarge},
      {"gh-image-gif/crashtest/issue-96-small-codesize-2.gif", gsPictureTooLarge},
      {"gh-image-gif/crashtest/issue-96-small-codesize.gif", gsZeroSizeFrame},
      {"gh-image-gif/samples/gifplayer-muybridge.gif", gsTooManyFrames},
      {"gh-image-gif/samples/sample_big.gif", gsTooManyFrames},
      {"gh-image-gif/stall/issue-101-infinite-empty-loop.gif", gsPictureTooLarge},
      {"gh-wuffs/artificial-gif/no-frames.gif", gsNoFrames},
      {"gh-wuffs/artificial-gif/zero-width-frame.gif", gsZeroSizeFrame},
      {"gh-wuffs/gifplayer-muybridge.gif", gsTooManyFrames},
  };
  std::set<std::string> seen;
  for (const std::string& name : CorpusFiles()) {
    const auto file = ReadFileBytes(CorpusDir() + "/" + name);
    ASSERT_TRUE(file) << name;
    TGIFDecoder decoder;
    const bool loaded = decoder.LoadGIFStream(*file);
    const auto listed = expected.find(name);
    const TGIFStatus want = listed == expected.end() ? gsOK : listed->second;
    if (listed != expected.end()) seen.insert(name);
    EXPECT_EQ(decoder.Status(), want) << name << ": " << GIFStatusMessage(decoder.Status());
    // A load succeeds exactly when it kept a frame.
    EXPECT_EQ(loaded, decoder.FrameCount() > 0) << name;
  }
  EXPECT_EQ(seen.size(), expected.size()) << "a listed file is missing from the corpus";
}

TEST(GIFCorpus, BannerAndAboutShapedFilesDecode) {
  const std::string dir = SharedDir() + "/bench/gif/";
  const auto banner = ReadFileBytes(dir + "banner_468x60_128f.gif");
  const auto still = ReadFileBytes(dir + "still_220x170_128c.gif");
  if (!banner || !still) GTEST_SKIP() << "benchmark GIFs not found in " << dir;
  TGIFDecoder d;
  ASSERT_TRUE(d.LoadGIFStream(*banner));
  EXPECT_EQ(d.FrameCount(), 128);
  EXPECT_EQ(d.ImageWidth(), 468);
  EXPECT_EQ(d.ImageHeight(), 60);
  EXPECT_EQ(d.LoopCount(), 0);
  EXPECT_TRUE(d.AnyTransparent());
  for (int i = 1; i <= d.FrameCount(); ++i) {
    const TGIFFrame& f = d.Frame(i);
    EXPECT_TRUE(f.Interlaced && f.Transparent && f.TransparentIndex == 255 && f.PaletteEntries == 256) << i;
    EXPECT_LE(f.FrameLeft + f.FrameWidth, 468);
  }
  ASSERT_TRUE(d.LoadGIFStream(*still));
  EXPECT_EQ(d.FrameCount(), 1);
  EXPECT_EQ(d.ImageWidth(), 220);
  EXPECT_EQ(d.ImageHeight(), 170);
  EXPECT_EQ(d.LoopCount(), 1);
  EXPECT_EQ(d.Version(), TGIFVersion::gvGIF89a);
  EXPECT_EQ(d.Frame(1).PaletteEntries, 128);
}

// Where the blocks of a well-formed file begin: the end of the header, logical
// screen and global table, each image descriptor, and the end of each frame.
struct BlockLayout {
  std::size_t HeaderEnd = 0;
  std::vector<std::size_t> Descriptors;
  std::vector<std::size_t> FrameEnds;
};

BlockLayout ScanBlocks(const Bytes& f) {
  BlockLayout layout;
  std::size_t p = 13;
  if (f[10] & 0x80) p += 3u << ((f[10] & 7) + 1);
  layout.HeaderEnd = p;
  const auto skipSubBlocks = [&] {
    while (p < f.size() && f[p] != 0) p += f[p] + 1;
    ++p;
  };
  while (p < f.size() && f[p] != 0x3B) {
    if (f[p] == 0x21) {
      p += 2;
      skipSubBlocks();
    } else {
      EXPECT_EQ(f[p], 0x2C) << "unexpected block at " << p;
      layout.Descriptors.push_back(p);
      const std::uint8_t packed = f[p + 9];
      p += 10;
      if (packed & 0x80) p += 3u << ((packed & 7) + 1);
      ++p;  // minimum code size
      skipSubBlocks();
      layout.FrameEnds.push_back(p);
    }
  }
  return layout;
}

TEST(GIFCorpus, FilesCutAtEveryByteKeepTheFramesBeforeTheCut) {
  SKIP_WITHOUT_CORPUS();
  for (const char* name : {"deb-gdk-pixbuf-tests/misc/test-animation.gif", "gh-wuffs/hippopotamus.interlaced.gif",
                           "deb-src-pillow/dispose_bgnd_transparency.gif", "deb-src-giflib/pic/x-trans.gif"}) {
    SCOPED_TRACE(name);
    const auto file = ReadFileBytes(CorpusDir() + "/" + name);
    ASSERT_TRUE(file);
    const BlockLayout layout = ScanBlocks(*file);
    TGIFDecoder whole;
    ASSERT_TRUE(whole.LoadGIFStream(*file));
    ASSERT_EQ(whole.FrameCount(), static_cast<int>(layout.Descriptors.size()));

    for (std::size_t length = 0; length < file->size(); ++length) {
      TGIFDecoder cut;
      const bool loaded = cut.LoadGIFStream(std::span(file->data(), length));
      // A frame is kept once its 10-byte descriptor is there; its raster may be cut.
      int expectedFrames = 0;
      if (length >= layout.HeaderEnd)
        for (const std::size_t d : layout.Descriptors) expectedFrames += d + 10 <= length ? 1 : 0;
      ASSERT_EQ(loaded, expectedFrames > 0) << "cut at " << length;
      ASSERT_EQ(cut.FrameCount(), expectedFrames) << "cut at " << length;
      // Why: the cut lies in the header, in a descriptor, or where a block may end.
      TGIFStatus why = expectedFrames > 0 ? TGIFStatus::gsOK : TGIFStatus::gsNoFrames;
      for (const std::size_t d : layout.Descriptors)
        if (d < length && length < d + 10) why = TGIFStatus::gsTruncatedFrame;
      if (length < layout.HeaderEnd) why = length == 0 ? TGIFStatus::gsEmptyStream : TGIFStatus::gsTruncatedHeader;
      ASSERT_EQ(cut.Status(), why) << "cut at " << length << ": " << GIFStatusMessage(cut.Status());
      for (int i = 1; i <= expectedFrames; ++i) {
        const TGIFFrame& a = cut.Frame(i);
        const TGIFFrame& e = whole.Frame(i);
        ASSERT_EQ(a.FrameWidth, e.FrameWidth);
        if (layout.FrameEnds[i - 1] <= length) {
          ASSERT_EQ(a.Rows.Pixels, e.Rows.Pixels) << "frame " << i << " cut at " << length;
          ASSERT_EQ(a.Rows.Mask, e.Rows.Mask) << "frame " << i << " cut at " << length;
          continue;
        }
        // The cut frame: each pixel is decoded as in the whole file, or index 0 and transparent.
        const auto pixels = TopDownPixels(a.Rows, a.FrameWidth, a.FrameHeight);
        const auto mask = TopDownMask(a.Rows, a.FrameWidth, a.FrameHeight);
        const auto wholePixels = TopDownPixels(e.Rows, e.FrameWidth, e.FrameHeight);
        const auto wholeMask = TopDownMask(e.Rows, e.FrameWidth, e.FrameHeight);
        for (std::size_t p = 0; p < pixels.size(); ++p) {
          if (pixels[p] == wholePixels[p] && mask[p] == wholeMask[p]) continue;
          ASSERT_EQ(pixels[p], 0) << "frame " << i << " pixel " << p << " cut at " << length;
          if (a.Transparent) {
            ASSERT_EQ(mask[p], 1) << "frame " << i << " pixel " << p << " cut at " << length;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace kelpo::test
