// One animation tick of the banner control on the simulated platform: the
// frame before is disposed, the next one composed, and the picture repainted
// through its parent (the panel's background, the picture over it) into a
// memory surface and onto the window. The counters give the memory that the
// decoded frames and the composition surfaces hold, against the raw size of
// the frames' indices and masks.
//
// The banner comes from KELPO_SHARED_DIR/bench/gif/banner_468x60_128f.gif.
//
// WorstCasePictures loads the streams that make the control hold the most its
// limits allow (gif/GIFDecoder.h), shows every frame, and assigns frame 1 to
// a bitmap; the counters give the most any of them held (the picture's own
// account and the bitmap) and the growth of the process's peak resident size.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ComponentRegistry.h"
#include "framework/Form.h"
#include "framework/Resources.h"
#include "gif/GIFImage.h"
#include "platform/sim/SimPlatform.h"

namespace {

using namespace kelpo;

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BenchForm : public TForm {
 public:
  explicit BenchForm(TApplication& application) : TForm(application) {}
  using TForm::CreateFromLayout;

 protected:
  std::string WindowClassName() const override { return "TBenchForm"; }
};

// The main window's lower panel: its full-size background picture and the banner over it.
const char* const Layout =
    "object Form1: TBenchForm\n"
    "  ClientWidth = 478  ClientHeight = 290\n"
    "  object Panel2: TPanel  Width = 478  Height = 290  BevelOuter = bvNone\n"
    "    object Image1: TImage  Width = 478  Height = 290  Picture.Data = {file 'Background.bmp'}\n"
    "    end\n"
    "    object GIFImage1: TGIFImage  Left = 5  Top = 226  Width = 469  Height = 60\n"
    "      Animate = True  Loop = False  Threaded = False  Data = {file 'Banner.gif'}\n"
    "    end\n"
    "  end\n"
    "end\n";

void BannerTick(benchmark::State& state) {
  const std::string path = std::string(KELPO_SHARED_DIR) + "/bench/gif/banner_468x60_128f.gif";
  const std::vector<std::uint8_t> banner = ReadWholeFile(path);
  if (banner.empty()) {
    state.SkipWithError(("cannot read " + path).c_str());
    return;
  }
  RegisterGIFComponents();
  SimPlatform sim;
  TApplication application(sim.Services());
  BenchForm form(application);
  form.CreateFromLayout(ReadLayout(Layout, [&](const std::string& name) {
    if (name == "Banner.gif") return banner;
    const auto artwork = FindResource(name);
    return std::vector<std::uint8_t>(artwork.begin(), artwork.end());
  }));
  auto* gif = dynamic_cast<TGIFImage*>(form.FindComponent("GIFImage1"));
  auto* panel = dynamic_cast<TWinControl*>(form.FindComponent("Panel2"));
  if (!gif || !panel || gif->FrameCount() != 128) {
    state.SkipWithError("the banner did not load");
    return;
  }
  sim.windowing.Paint(panel->Handle());  // the first paint arms the animation
  gif->AnimationTick();                  // the first tick after a load only skips
  if (!gif->AnimationTimer() || gif->CurrentFrame() != 2) {
    state.SkipWithError("the banner does not animate");
    return;
  }

  const int blits = sim.windowing.BlitCount();
  for (auto _ : state) gif->AnimationTick();
  if (sim.windowing.BlitCount() - blits != static_cast<int>(state.iterations()))
    state.SkipWithError("a tick did not repaint");

  std::size_t raw = 0;
  for (int k = 1; k <= gif->FrameCount(); ++k) {
    const TGIFFrame& frame = gif->Frame(k);
    const std::size_t pixels = static_cast<std::size_t>(frame.FrameWidth) * frame.FrameHeight;
    raw += pixels + (frame.Transparent ? (pixels + 7) / 8 : 0);
  }
  const std::size_t held = gif->PictureMemory();
  state.counters["held_bytes"] = static_cast<double>(held);
  state.counters["raw_bytes"] = static_cast<double>(raw);
  state.counters["held_per_raw"] = static_cast<double>(held) / static_cast<double>(raw);
}

BENCHMARK(BannerTick)->Unit(benchmark::kMicrosecond);

void Put16(std::vector<std::uint8_t>& out, int v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// A stream of a width x height screen and `frames` full-screen frames of
// disposal 3 with a transparent colour, each without pixel data (index 0 and
// transparent throughout: what they hold does not change what they take).
std::vector<std::uint8_t> WorstCaseStream(int width, int height, int frames, int frameWidth, int frameHeight) {
  std::vector<std::uint8_t> gif{'G', 'I', 'F', '8', '9', 'a'};
  Put16(gif, width);
  Put16(gif, height);
  gif.insert(gif.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255});
  for (int i = 0; i < frames; ++i) {
    gif.insert(gif.end(), {0x21, 0xF9, 4, 3 << 2 | 1, 10, 0, 1, 0});
    gif.push_back(0x2C);
    Put16(gif, 0);
    Put16(gif, 0);
    Put16(gif, frameWidth);
    Put16(gif, frameHeight);
    gif.insert(gif.end(), {0, 2, 0});
  }
  gif.push_back(0x3B);
  return gif;
}

std::size_t PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

void WorstCasePictures(benchmark::State& state) {
  RegisterGIFComponents();
  SimPlatform sim;
  TApplication application(sim.Services());
  struct Case {
    int Width, Height, Frames, FrameWidth, FrameHeight;
  };
  const Case cases[] = {
      {4096, 2048, 256, 4096, 2048},  // the largest picture, frames until the row budget
      {1, 65535, 256, 1, 16384},      // the narrowest frames, whose rows cost the most per pixel
      {4096, 1024, 256, 8192, 1024},  // frames reaching beyond the screen, to the picture limit
  };
  std::size_t held = 0, bitmap = 0, peakGrowth = 0;
  for (auto _ : state) {
    for (const Case& c : cases) {
      const std::size_t before = PeakResidentBytes();
      BenchForm form(application);
      TGIFImage gif(&form);
      if (!gif.LoadGIFStream(WorstCaseStream(c.Width, c.Height, c.Frames, c.FrameWidth, c.FrameHeight))) {
        state.SkipWithError("a worst-case stream did not load");
        return;
      }
      for (int k = 2; k <= gif.FrameCount(); ++k) gif.SetCurrentFrame(k);
      TBitmap first;
      gif.AssignTo(first);
      held = std::max(held, gif.PictureMemory());
      bitmap = std::max(bitmap, first.Pixels().size() * sizeof(std::uint32_t));
      peakGrowth = std::max(peakGrowth, PeakResidentBytes() - before);
    }
  }
  state.counters["held_MiB"] = static_cast<double>(held) / (1 << 20);
  state.counters["bitmap_MiB"] = static_cast<double>(bitmap) / (1 << 20);
  state.counters["peak_rss_growth_MiB"] = static_cast<double>(peakGrowth) / (1 << 20);
}

BENCHMARK(WorstCasePictures)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
