#include "gif/GIFPlayback.h"

#include <algorithm>
#include <utility>

namespace kelpo {

void TGIFPlayback::SetPicture(std::vector<int> delaysMs, int loopCount) {
  delaysMs_ = std::move(delaysMs);
  loopCount_ = loopCount;
  currentFrame_ = 1;
  playsDone_ = 1;
  skipNextDisposal_ = true;
}

void TGIFPlayback::Reset() {
  SetPicture({}, 1);
}

void TGIFPlayback::SetAnimate(bool animate) {
  animate_ = animate;
  playsDone_ = 1;
}

bool TGIFPlayback::SetLoop(bool loop) {
  loop_ = loop;
  if (!loop_ || FrameCount() == 0 || loopCount_ <= 0 || playsDone_ <= loopCount_) return false;
  currentFrame_ = 1;
  playsDone_ = 1;
  return true;
}

bool TGIFPlayback::SetSpeed(int speed) {
  speed = std::max(speed, 1);
  if (speed == speed_) return false;
  speed_ = speed;
  return true;
}

std::uint32_t TGIFPlayback::FrameInterval(int k) const {
  const int delay = k >= 1 && k <= FrameCount() ? delaysMs_[k - 1] : 0;
  const std::int64_t interval = std::int64_t{std::max(delay, 50)} * 100 / speed_;
  return static_cast<std::uint32_t>(std::max<std::int64_t>(interval, 1));
}

bool TGIFPlayback::MayRun() const {
  return MultiFrame() && animate_ && (loopCount_ >= playsDone_ || loop_ || loopCount_ == 0);
}

std::uint32_t TGIFPlayback::PaintInterval() const {
  return animate_ && MultiFrame() && currentFrame_ <= FrameCount() ? FrameInterval(currentFrame_) : 1;
}

int TGIFPlayback::BeginTick() {
  if (currentFrame_ > FrameCount() || currentFrame_ <= 0) currentFrame_ = 1;
  return currentFrame_;
}

int TGIFPlayback::TakeFrameToDispose() {
  if (std::exchange(skipNextDisposal_, false)) return 0;  // the decoding drew frame 1 already
  return currentFrame_ > 1 ? currentFrame_ - 1 : FrameCount();
}

std::uint32_t TGIFPlayback::NextInterval(std::int64_t elapsedMs) const {
  return static_cast<std::uint32_t>(std::max<std::int64_t>(std::int64_t{FrameInterval(currentFrame_)} - elapsedMs, 1));
}

TGIFPlayback::TAdvance TGIFPlayback::Advance() {
  TAdvance step;
  ++currentFrame_;
  step.Wrapped = currentFrame_ > FrameCount();
  if (!loop_ && loopCount_ > 0 && step.Wrapped) {
    ++playsDone_;
    step.PlaysOver = playsDone_ > loopCount_;  // CurrentFrame stays one past the last frame
  } else if (step.Wrapped || currentFrame_ <= 0) {
    currentFrame_ = 1;
  }
  return step;
}

}  // namespace kelpo
