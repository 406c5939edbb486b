#pragma once
// TGIFPlayback: when the frames of a GIF animation are shown, and how often
// they play. It knows the frames' delays and the stream's loop count, keeps
// the published Animate, Loop and Speed, the frame the next tick draws, the
// play in progress and the skip of the first tick; it sets no timer and draws
// nothing: the control asks it and acts.
//
// - Frame k lasts FrameInterval(k) = max(max(delay, 50) * 100 / Speed, 1) ms,
//   integer division: delays below 50 ms, 0 included, count as 50 ms.
// - The animation may run with Animate, more than one frame, and plays left:
//   Loop, a loop count of 0 (without end), or PlaysDone <= LoopCount.
// - A tick disposes of the frame before CurrentFrame (the last frame before
//   frame 1) and draws CurrentFrame; the first tick after a new picture only
//   skips, since frame 1 is shown already, so frame 1 first lasts two
//   intervals. The next interval is the frame's, less the time the tick took,
//   at least 1 ms. Then CurrentFrame moves on. Past the last frame it wraps to
//   1, unless the plays are counted (Loop false, loop count above 0): then a
//   play ends, and after the last one CurrentFrame stays one past the last
//   frame, which stays shown, and the animation stops.

#include <cstdint>
#include <vector>

namespace kelpo {

class TGIFPlayback {
 public:
  // A new picture: its frames' delays in milliseconds and its loop count.
  // CurrentFrame and PlaysDone become 1, and the next tick skips.
  void SetPicture(std::vector<int> delaysMs, int loopCount);
  // No picture: no frames, loop count 1, the counters as for a new picture.
  void Reset();

  int FrameCount() const { return static_cast<int>(delaysMs_.size()); }
  int LoopCount() const { return loopCount_; }
  bool MultiFrame() const { return FrameCount() > 1; }

  bool Animate() const { return animate_; }
  // Starts the play count anew.
  void SetAnimate(bool animate);
  bool Loop() const { return loop_; }
  // Answers true when turning Loop on restarts an animation whose plays had
  // run out: CurrentFrame and PlaysDone are then 1.
  bool SetLoop(bool loop);
  int Speed() const { return speed_; }
  // Values below 1 become 1. Answers whether the speed changed.
  bool SetSpeed(int speed);

  // While animating the frame the next tick draws, otherwise the frame shown.
  int CurrentFrame() const { return currentFrame_; }
  void SetCurrentFrame(int frame) { currentFrame_ = frame; }
  int PlaysDone() const { return playsDone_; }
  bool SkipNextDisposal() const { return skipNextDisposal_; }

  std::uint32_t FrameInterval(int k) const;
  bool MayRun() const;
  // The interval a paint arms the timer with: CurrentFrame's while it names a
  // frame of an animation, else 1.
  std::uint32_t PaintInterval() const;

  // A tick, in its order: BeginTick makes a CurrentFrame outside the frames 1
  // and answers it. TakeFrameToDispose answers the frame to dispose of before
  // CurrentFrame is drawn, or 0 when this tick only skips. NextInterval is the
  // interval to arm after `elapsedMs` of drawing. Advance moves CurrentFrame on.
  int BeginTick();
  int TakeFrameToDispose();
  std::uint32_t NextInterval(std::int64_t elapsedMs) const;
  struct TAdvance {
    bool Wrapped = false;    // the animation ran past its last frame
    bool PlaysOver = false;  // and that was the last play: stop
  };
  TAdvance Advance();

 private:
  std::vector<int> delaysMs_;
  int loopCount_ = 1;
  bool animate_ = false;
  bool loop_ = false;
  int speed_ = 100;
  int currentFrame_ = 1;
  int playsDone_ = 1;
  bool skipNextDisposal_ = true;
};

}  // namespace kelpo
