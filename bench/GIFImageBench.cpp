// One animation tick of the banner control on the simulated platform: the
// frame before is disposed, the next one composed, and the picture repainted
// through its parent (the panel's background, the picture over it) into a
// memory surface and onto the window. The counters give the memory that the
// decoded frames and the composition surfaces hold, against the raw size of
// the frames' indices and masks.
//
// The banner comes from KELPO_SHARED_DIR/bench/gif/banner_468x60_128f.gif.

#include <benchmark/benchmark.h>

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

}  // namespace

BENCHMARK_MAIN();
