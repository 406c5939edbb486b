// One tick of a simple timer on the simulated platform: the window timer's
// message reaches the shared hidden window, which finds the timer by its id
// among many live ones and calls its callback. The counter AllocationsPerTick
// counts the operator new calls that the ticks make (the target is none).

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/CountingAllocator.h"
#include "framework/Application.h"
#include "platform/sim/SimPlatform.h"
#include "tray/SimpleTimer.h"

namespace {

using namespace kelpo;

void SimpleTimerTick(benchmark::State& state) {
  SimPlatform sim;
  TApplication app(sim.Services());
  std::vector<std::unique_ptr<TSimpleTimer>> timers;
  long ticks = 0;
  for (int i = 0; i < state.range(0); ++i)
    timers.push_back(std::make_unique<TSimpleTimer>(app, &ticks, [](void* data) { ++*static_cast<long*>(data); }));
  TSimpleTimer& timer = *timers[timers.size() / 2];
  timer.StartTimer(100);
  const WindowHandle window = TSimpleTimerHandler::Current(app)->Handle();
  const long before = AllocationCount();
  for (auto _ : state) sim.windowing.SendMessage(window, wmTimer, timer.TimerId(), 0);
  const long made = AllocationCount() - before;
  if (ticks != static_cast<long>(state.iterations())) state.SkipWithError("a tick went astray");
  state.counters["AllocationsPerTick"] = static_cast<double>(made) / static_cast<double>(state.iterations());
}
BENCHMARK(SimpleTimerTick)->Arg(3)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
