// Whole-file decoding of the benchmark GIFs by Kelpo's decoder, giflib and
// stb_image. The inputs come from KELPO_SHARED_DIR/bench/gif.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/GIFPeers.h"
#include "gif/GIFDecoder.h"

namespace {

const char* const Files[] = {"banner_468x60_128f.gif", "still_220x170_128c.gif", "photo_1920x1080.gif"};

template <std::size_t (*Decode)(std::span<const std::uint8_t>)>
void Run(benchmark::State& state) {
  const std::string path = std::string(KELPO_SHARED_DIR) + "/bench/gif/" + Files[state.range(0)];
  const std::vector<std::uint8_t> file = kelpo::bench::ReadWholeFile(path);
  if (file.empty()) {
    state.SkipWithError(("cannot read " + path).c_str());
    return;
  }
  state.SetLabel(Files[state.range(0)]);
  for (auto _ : state) benchmark::DoNotOptimize(Decode(file));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * file.size());
}

// The memory the decoded frames hold, against the raw size of their indices
// (one byte per pixel) and masks (one bit per pixel of a transparent frame).
void KelpoMemory(benchmark::State& state) {
  const std::string path = std::string(KELPO_SHARED_DIR) + "/bench/gif/" + Files[state.range(0)];
  const std::vector<std::uint8_t> file = kelpo::bench::ReadWholeFile(path);
  kelpo::TGIFDecoder decoder;
  if (file.empty() || !decoder.LoadGIFStream(file)) {
    state.SkipWithError(("cannot decode " + path).c_str());
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(decoder.FrameCount());
  double held = 0;
  double raw = 0;
  for (int i = 1; i <= decoder.FrameCount(); ++i) {
    const kelpo::TGIFFrame& f = decoder.Frame(i);
    const double pixels = static_cast<double>(f.FrameWidth) * f.FrameHeight;
    raw += pixels + (f.Transparent ? pixels / 8 : 0);
    held += sizeof(kelpo::TGIFFrame) + f.Rows.Pixels.capacity() + f.Rows.Mask.capacity() +
            (f.LocalColors ? sizeof(kelpo::TGIFColorTable) : 0);
  }
  state.SetLabel(Files[state.range(0)]);
  state.counters["held_bytes"] = held;
  state.counters["raw_bytes"] = raw;
  state.counters["ratio"] = held / raw;
}

BENCHMARK(KelpoMemory)->DenseRange(0, 2)->Iterations(1);
BENCHMARK(Run<kelpo::bench::DecodeWithKelpo>)->Name("Kelpo")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(Run<kelpo::bench::DecodeWithGiflib>)->Name("giflib")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(Run<kelpo::bench::DecodeWithStb>)->Name("stb_image")->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
