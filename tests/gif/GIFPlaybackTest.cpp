// The animation's timing without a control: intervals, the ticks' order of
// disposal and drawing, play counting and when the animation may run.

#include <gtest/gtest.h>

#include <string>

#include "gif/GIFPlayback.h"

namespace kelpo::test {
namespace {

// Runs `ticks` ticks as the control does, stopping when the plays are over.
// Each tick is written as "disposed>drawn", "skip" for the first, "|" after a
// wrap and "." when the animation stopped.
std::string Play(TGIFPlayback& playback, int ticks) {
  std::string out;
  for (int i = 0; i < ticks && playback.MayRun(); ++i) {
    const int drawn = playback.BeginTick();
    const int disposed = playback.TakeFrameToDispose();
    out += disposed == 0 ? "skip" : std::to_string(disposed) + ">" + std::to_string(drawn);
    const TGIFPlayback::TAdvance step = playback.Advance();
    out += step.Wrapped ? "|" : " ";
    if (step.PlaysOver) out += ".";
  }
  return out;
}

TEST(GIFPlayback, FrameIntervalFollowsDelaysAndSpeed) {
  TGIFPlayback playback;
  playback.SetPicture({0, 10, 40, 140, 7000}, 0);
  const auto intervals = [&] {
    std::vector<std::uint32_t> all;
    for (int k = 1; k <= 5; ++k) all.push_back(playback.FrameInterval(k));
    return all;
  };
  EXPECT_EQ(intervals(), (std::vector<std::uint32_t>{50, 50, 50, 140, 7000}));
  EXPECT_TRUE(playback.SetSpeed(200));
  EXPECT_EQ(intervals(), (std::vector<std::uint32_t>{25, 25, 25, 70, 3500}));
  EXPECT_FALSE(playback.SetSpeed(200));
  playback.SetSpeed(0);
  EXPECT_EQ(playback.Speed(), 1);
  EXPECT_EQ(playback.FrameInterval(1), 5000u);
  EXPECT_FALSE(playback.SetSpeed(-7));
  EXPECT_EQ(playback.Speed(), 1);
  playback.SetSpeed(100000);
  EXPECT_EQ(playback.FrameInterval(1), 1u);  // never below 1 ms
  EXPECT_EQ(playback.FrameInterval(6), 1u);  // no such frame: as a delay of 0
}

TEST(GIFPlayback, TicksDisposeTheFrameBeforeAndTakeTheDrawingTimeOff) {
  TGIFPlayback playback;
  playback.SetPicture({100, 200, 300}, 0);
  playback.SetAnimate(true);
  EXPECT_EQ(playback.PaintInterval(), 100u);
  EXPECT_EQ(Play(playback, 8), "skip 1>2 2>3|3>1 1>2 2>3|3>1 1>2 ");
  EXPECT_EQ(playback.CurrentFrame(), 3);
  EXPECT_EQ(playback.NextInterval(0), 300u);
  EXPECT_EQ(playback.NextInterval(120), 180u);
  EXPECT_EQ(playback.NextInterval(500), 1u);
  playback.SetCurrentFrame(9);  // outside the frames: the next tick draws frame 1
  EXPECT_EQ(playback.PaintInterval(), 1u);
  EXPECT_EQ(playback.BeginTick(), 1);
  EXPECT_EQ(playback.TakeFrameToDispose(), 3);

  playback.SetPicture({100, 200, 300}, 0);  // a new picture skips its first tick again
  EXPECT_TRUE(playback.SkipNextDisposal());
  EXPECT_EQ(playback.CurrentFrame(), 1);
}

TEST(GIFPlayback, LoopCountDecidesHowOftenTheFramesPlay) {
  struct Case {
    int LoopCount;
    bool Loop;
    const char* Ticks;  // of 8 at most
  };
  const Case cases[] = {
      {2, false, "skip 1>2 2>3|3>1 1>2 2>3|."},         // twice
      {1, false, "skip 1>2 2>3|."},                     // no looping extension: once
      {0, false, "skip 1>2 2>3|3>1 1>2 2>3|3>1 1>2 "},  // 0: without end
      {2, true, "skip 1>2 2>3|3>1 1>2 2>3|3>1 1>2 "},   // Loop: without end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Ticks);
    TGIFPlayback playback;
    playback.SetPicture({10, 10, 10}, c.LoopCount);
    playback.SetLoop(c.Loop);
    playback.SetAnimate(true);
    EXPECT_EQ(Play(playback, 8), c.Ticks);
  }

  // Played out: the last frame stays shown, CurrentFrame one past it, until Loop restarts.
  TGIFPlayback playback;
  playback.SetPicture({10, 10, 10}, 2);
  playback.SetAnimate(true);
  Play(playback, 8);
  EXPECT_FALSE(playback.MayRun());
  EXPECT_EQ(playback.CurrentFrame(), 4);
  EXPECT_EQ(playback.PlaysDone(), 3);
  EXPECT_EQ(playback.PaintInterval(), 1u);
  EXPECT_TRUE(playback.SetLoop(true));
  EXPECT_EQ(playback.CurrentFrame(), 1);
  EXPECT_EQ(playback.PlaysDone(), 1);
  EXPECT_TRUE(playback.MayRun());
  EXPECT_FALSE(playback.SetLoop(false));
  EXPECT_FALSE(playback.SetLoop(true));  // plays left: nothing to restart
  // Animate counts the plays anew.
  playback.SetLoop(false);
  Play(playback, 8);
  EXPECT_FALSE(playback.MayRun());
  playback.SetAnimate(false);
  playback.SetAnimate(true);
  EXPECT_TRUE(playback.MayRun());
}

TEST(GIFPlayback, RunsOnlyAnimatedPicturesOfSeveralFrames) {
  TGIFPlayback playback;
  EXPECT_FALSE(playback.MayRun());
  playback.SetAnimate(true);
  EXPECT_FALSE(playback.MayRun());  // no picture
  playback.SetPicture({10}, 0);
  EXPECT_FALSE(playback.MayRun());  // one frame
  EXPECT_FALSE(playback.MultiFrame());
  playback.SetPicture({10, 10}, 0);
  EXPECT_TRUE(playback.MayRun());
  playback.SetAnimate(false);
  EXPECT_FALSE(playback.MayRun());
  EXPECT_EQ(playback.PaintInterval(), 1u);
  playback.SetAnimate(true);
  playback.Reset();
  EXPECT_FALSE(playback.MayRun());
  EXPECT_EQ(playback.LoopCount(), 1);
  EXPECT_EQ(playback.FrameCount(), 0);
  EXPECT_TRUE(playback.Animate());  // a published property outlives the picture
}

}  // namespace
}  // namespace kelpo::test
