// The control's composition against the expected frames of gdk-pixbuf's GIF
// test suite: each listed file is loaded, stepped through its frames, and
// Composite with CompositeMask (transparent = RGBA 0, 0, 0, 0) is compared
// with the expected RGBA of the logical screen. Where Kelpo's composition
// rules differ from the suite's, the test is named in Differences with the
// reason, and must indeed differ.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "gif/GIFImage.h"
#include "tests/framework/FrameworkTestSupport.h"
#include "tests/gif/GIFTestSupport.h"

namespace kelpo::test {
namespace {

namespace fs = std::filesystem;

std::string SuiteDir() {
  return SharedDir() + "/corpus/gif/deb-gdk-pixbuf-tests/gif-test-suite";
}

// Where the suite's expectations and Kelpo's rules part.
const std::map<std::string, std::string> Differences = {
    {"no-data", "a stream without an image fails to load; the suite shows the empty screen"},
    {"image-zero-width", "an image of width or height 0 fails the whole load"},
    {"image-zero-height", "an image of width or height 0 fails the whole load"},
    {"image-zero-size", "an image of width or height 0 fails the whole load"},
    {"image-inside-bg", "without a transparent frame there is no mask: uncovered areas are opaque black"},
    {"image-overlap-bg", "without a transparent frame there is no mask: uncovered areas are opaque black"},
    {"image-outside-bg", "without a transparent frame there is no mask: uncovered areas are opaque black"},
    {"dispose-restore-background", "disposal 2 leaves black, opaque without a mask (no frame is transparent)"},
    {"missing-pixels", "pixels the raster leaves out keep index 0, opaque in a frame without transparency"},
    {"no-eoi", "a code ending on the data's very last bit is not delivered: the last pixel keeps index 0"},
    {"no-clear-and-eoi", "a code ending on the data's very last bit is not delivered: the last pixel keeps index 0"},
    {"invalid-colors", "indices past the colour table draw black instead of failing the load"},
    {"max-width", "a frame wider than 16384 pixels is dropped, leaving no frame"},
    {"max-height", "a frame higher than 16384 pixels is dropped, leaving no frame"},
    {"plain-text", "plain text extensions are skipped and the image shown; the suite refuses the file"},
};

// The listed differences that fail the load, and why.
const std::map<std::string, TGIFStatus> Refusals = {
    {"no-data", TGIFStatus::gsNoFrames},
    {"image-zero-width", TGIFStatus::gsZeroSizeFrame},
    {"image-zero-height", TGIFStatus::gsZeroSizeFrame},
    {"image-zero-size", TGIFStatus::gsZeroSizeFrame},
    {"max-width", TGIFStatus::gsFrameTooLarge},
    {"max-height", TGIFStatus::gsFrameTooLarge},
};

using Ini = std::map<std::string, std::map<std::string, std::string>>;

Ini ReadConf(const std::string& path) {
  Ini ini;
  std::ifstream in(path);
  std::string line, section;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.find(']') - 1);
      continue;
    }
    const auto eq = line.find(" = ");
    if (eq != std::string::npos) ini[section][line.substr(0, eq)] = line.substr(eq + 3);
  }
  return ini;
}

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> items;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ','))
    if (!item.empty()) items.push_back(item);
  return items;
}

// The composition as RGBA over the logical screen.
Bytes CompositeRgba(const TGIFImage& gif, int width, int height) {
  Bytes rgba;
  const TColorBitmap& picture = *gif.Composite();
  const TMonoBitmap* mask = gif.CompositeMask();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (mask && mask->Bit(x, y)) {
        rgba.insert(rgba.end(), {0, 0, 0, 0});
        continue;
      }
      const std::uint32_t p = picture.Pixel(x, y);
      rgba.insert(rgba.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                               static_cast<std::uint8_t>(p), 255});
    }
  }
  return rgba;
}

// How Kelpo's result departs from the suite's expectation; empty when it agrees.
std::string Compare(FrameworkHarness& h, const std::string& name) {
  const Ini conf = ReadConf(SuiteDir() + "/" + name + ".conf");
  const auto config = conf.find("config");
  if (config == conf.end()) return "no configuration";
  const auto file = ReadFileBytes(SuiteDir() + "/" + config->second.at("input"));
  if (!file) return "missing input";
  const std::vector<std::string> frames = Split(config->second.at("frames"));
  const int width = std::stoi(config->second.at("width")), height = std::stoi(config->second.at("height"));

  TGIFImage gif(&h.NewForm());
  const bool loaded = gif.LoadGIFStream(*file);
  if (frames.empty()) return loaded ? "loads, expected to fail" : "";
  if (!loaded) return std::string("fails to load: ") + GIFStatusMessage(gif.LoadStatus());
  if (gif.ImageWidth() < width || gif.ImageHeight() < height) return "picture smaller than the screen";
  // The suite shows an image without delay together with the images after it,
  // unless the animation is forced; its frames are the images that end such a run.
  const bool everyImage = config->second.at("force-animation") == "yes";
  std::vector<int> shown;
  for (int k = 1; k <= gif.FrameCount(); ++k)
    if (everyImage || gif.Frame(k).DelayMs > 0 || k == gif.FrameCount()) shown.push_back(k);
  if (shown.size() != frames.size())
    return std::to_string(shown.size()) + " frames, expected " + std::to_string(frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    // Each step disposes the frame before and draws the next, as the animation does.
    for (int k = gif.CurrentFrame() + 1; k <= shown[i]; ++k) gif.SetCurrentFrame(k);
    const auto expected = ReadFileBytes(SuiteDir() + "/" + conf.at(frames[i]).at("pixels"));
    if (!expected) return "missing pixels";
    if (CompositeRgba(gif, width, height) != *expected) return "frame " + std::to_string(i + 1) + " differs";
  }
  return "";
}

TEST(GIFImagePixbufSuite, CompositionMatchesExpectedFramesExceptTheNamedDifferences) {
  if (!fs::is_directory(SuiteDir()))
    GTEST_SKIP() << "gdk-pixbuf GIF test suite not found at " << SuiteDir()
                 << " (set KELPO_SHARED_DIR to the folder holding corpus/)";
  std::ifstream list(SuiteDir() + "/TESTS");
  std::string line;
  int compared = 0;
  FrameworkHarness h;
  while (std::getline(list, line)) {
    const std::string name = line[0] == '#' ? line.substr(1) : line;
    if (name.empty()) continue;
    const std::string outcome = Compare(h, name);
    const auto difference = Differences.find(name);
    if (difference == Differences.end()) {
      EXPECT_EQ(outcome, "") << name;
    } else {
      EXPECT_NE(outcome, "") << name << " is listed as differing (" << difference->second << ") but agrees";
    }
    if (const auto refusal = Refusals.find(name); refusal != Refusals.end()) {
      EXPECT_EQ(outcome, std::string("fails to load: ") + GIFStatusMessage(refusal->second)) << name;
    }
    ++compared;
  }
  EXPECT_GT(compared, 80);
}

}  // namespace
}  // namespace kelpo::test
