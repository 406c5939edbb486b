// Fuzzer findings and reported files kept in tests/gif/regress/: each is
// checked as its fuzz target checks it, a GIF stream also for the status and
// frames its manifest line names, and for what the control makes of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "gif/GIFImage.h"
#include "platform/sim/SimGraphics.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/gif/FuzzChecks.h"
#include "tests/gif/GIFTestSupport.h"

namespace kelpo::test {
namespace {

namespace fs = std::filesystem;

const fs::path RegressDir = KELPO_GIF_REGRESS_DIR;

std::vector<fs::path> FilesIn(const fs::path& dir) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::optional<TGIFStatus> StatusNamed(const std::string& name) {
  using enum TGIFStatus;
  static const std::map<std::string, TGIFStatus> names = {
      {"gsOK", gsOK},
      {"gsEmptyStream", gsEmptyStream},
      {"gsNotGIF", gsNotGIF},
      {"gsTruncatedHeader", gsTruncatedHeader},
      {"gsPictureTooLarge", gsPictureTooLarge},
      {"gsZeroSizeFrame", gsZeroSizeFrame},
      {"gsTruncatedFrame", gsTruncatedFrame},
      {"gsFrameTooLarge", gsFrameTooLarge},
      {"gsPixelBudget", gsPixelBudget},
      {"gsBadCodeSize", gsBadCodeSize},
      {"gsTooManyFrames", gsTooManyFrames},
      {"gsCancelled", gsCancelled},
      {"gsOutOfMemory", gsOutOfMemory},
      {"gsNoFrames", gsNoFrames},
  };
  const auto found = names.find(name);
  if (found == names.end()) return std::nullopt;
  return found->second;
}

struct Expected {
  TGIFStatus Status;
  int Frames;
};

std::map<std::string, Expected> ReadManifest() {
  std::map<std::string, Expected> manifest;
  std::ifstream in(RegressDir / "MANIFEST.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string file, status;
    int frames = -1;
    fields >> file >> status >> frames;
    const auto named = StatusNamed(status);
    EXPECT_TRUE(named && frames >= 0) << "manifest line not understood: " << line;
    if (named) manifest[file] = {*named, frames};
  }
  return manifest;
}

TEST(GIFRegress, GIFFindingsDecodeAsTheirManifestSays) {
  const std::map<std::string, Expected> manifest = ReadManifest();
  FrameworkHarness h;
  RegisterGIFComponents();
  std::size_t decoded = 0;
  for (const fs::path& path : FilesIn(RegressDir / "gif")) {
    const std::string name = path.filename().string();
    SCOPED_TRACE(name);
    const auto file = ReadFileBytes(path.string());
    ASSERT_TRUE(file);
    const char* fault = GIFDecodingFault(*file);
    EXPECT_EQ(fault, nullptr) << fault;

    TGIFDecoder decoder;
    decoder.LoadGIFStream(*file);
    const auto expected = manifest.find(name);
    if (expected == manifest.end()) {
      ADD_FAILURE() << "add to MANIFEST.txt: " << name << " " << GIFStatusMessage(decoder.Status()) << " "
                    << decoder.FrameCount();
      continue;
    }
    ++decoded;
    EXPECT_EQ(decoder.Status(), expected->second.Status) << GIFStatusMessage(decoder.Status());
    EXPECT_EQ(decoder.FrameCount(), expected->second.Frames);

    // The control shows every frame in turn, as its animation would, and paints.
    TGIFImage gif(&h.NewForm());
    gif.SetStretch(true);
    EXPECT_EQ(gif.LoadGIFStream(*file), expected->second.Frames > 0);
    EXPECT_EQ(gif.LoadStatus(), expected->second.Status);
    for (int k = 2; k <= gif.FrameCount(); ++k) gif.SetCurrentFrame(k);
    gif.SetCurrentFrame(1);
    SimSurface surface(gif.Width(), gif.Height());
    TCanvas canvas(surface, Point{0, 0}, Rect{0, 0, gif.Width(), gif.Height()});
    gif.PaintToDC(canvas);
  }
  EXPECT_EQ(decoded, manifest.size()) << "a file of MANIFEST.txt is missing from gif/";
}

TEST(GIFRegress, LZWFindingsDecodeAlikeInBothDecoders) {
  for (const fs::path& path : FilesIn(RegressDir / "lzw")) {
    SCOPED_TRACE(path.filename().string());
    const auto file = ReadFileBytes(path.string());
    ASSERT_TRUE(file);
    const char* fault = LZWEquivalenceFault(*file);
    EXPECT_EQ(fault, nullptr) << fault;
  }
}

}  // namespace
}  // namespace kelpo::test
