#pragma once
// TGIFImage: a window-less control that shows a decoded GIF picture and
// animates it. It holds the published properties, paints and fires the
// events; the decoding is TGIFDecoder's (gif/GIFDecoder.h), the composition
// TGIFComposer's (gif/GIFComposer.h) and the timing TGIFPlayback's
// (gif/GIFPlayback.h). Each tick of the animation timer (gif/TimerEx.h) has
// the composer dispose of the frame shown and draw the next one, repaints at
// once, and arms the timer with the interval the playback gives.
//
// The picture goes into the client area plain, centred, stretched, stretched
// with kept proportions or tiled, drawn through the mask when frame 1 is
// transparent. The control's own Visible flag hides the picture without
// taking the control away: it still receives the mouse.
//
// Handlers of the control's events may load, clear or replace the picture,
// stop the animation or show another frame, also from OnProgress while a
// stream decodes. Each load decodes into a decoder of its own, so nothing the
// handler frees is still being written: a load that a handler overtakes (by
// loading or clearing) is cancelled and answers false, and what the handler
// did stands. An operation that fires OnChanging goes on only when the handler
// left the picture and the frame as they were.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "framework/Bitmap.h"
#include "framework/Control.h"
#include "framework/RasterOps.h"
#include "gif/GIFComposer.h"
#include "gif/GIFDecoder.h"
#include "gif/GIFPlayback.h"
#include "gif/TimerEx.h"

namespace kelpo {

using TProgressEvent = std::function<void(TComponent* sender, std::size_t bytesProcessed, std::size_t bytesToProcess,
                                          int percentageProcessed, bool& keepOnProcessing)>;

// A frame's palette; no colours stands for the framework's default palette.
struct TGIFPalette {
  const TGIFColorTable* Colors = nullptr;
  int Entries = 0;
};

class TGIFImage : public TControl {
 public:
  explicit TGIFImage(TComponent* owner);
  ~TGIFImage() override;

  // ---- decoding ----
  // Decodes a copy of `stream`; on failure the control is reset to empty and
  // the answer is false. Nothing is shown either way. Also false when a
  // handler loaded or cleared the picture meanwhile.
  bool LoadGIFStream(std::span<const std::uint8_t> stream);
  // How the load of the picture held ended, or why the last load failed.
  TGIFStatus LoadStatus() const { return loadStatus_; }
  // The layout's Data property: a 32-bit little-endian length, then the GIF stream.
  void ReadDataProperty(TByteStream& layout);
  void WriteDataProperty(std::vector<std::uint8_t>& layout) const;
  // No frames, timer freed, counters back to their start.
  void ReleaseFrames();
  // ReleaseFrames, and the composition surfaces freed.
  void ResetImage();

  bool Empty() const { return picture_->Empty(); }
  int FrameCount() const { return picture_->FrameCount(); }
  const TGIFFrame& Frame(int number) const { return picture_->Frame(number); }
  int ImageWidth() const { return picture_->ImageWidth(); }
  int ImageHeight() const { return picture_->ImageHeight(); }
  int LoopCount() const { return picture_->LoopCount(); }
  TGIFVersion Version() const { return picture_->Version(); }
  bool AnyTransparent() const { return picture_->AnyTransparent(); }
  const std::vector<std::uint8_t>& DataStream() const { return picture_->DataStream(); }
  const TByteStream& WorkStream() const { return picture_->WorkStream(); }
  // Bytes held by the decoded frames and the composition and restore surfaces.
  std::size_t PictureMemory() const;

  // ---- composition ----
  const TColorBitmap* Composite() const { return composer_.Composite(); }
  const TMonoBitmap* CompositeMask() const { return composer_.CompositeMask(); }
  // Draws frame CurrentFrame onto Composite and CompositeMask.
  void ComposeCurrentFrame();
  // Applies frame k's disposal to Composite and CompositeMask.
  void ApplyDisposal(int k);

  // ---- painting ----
  void UpdatePaintFlags();
  bool StretchActive() const { return stretchActive_; }
  bool CoversClient() const { return coversClient_; }
  // The framework's opaque style flag, kept equal to CoversClient by UpdatePaintFlags.
  bool OpaqueStyle() const { return opaqueStyle_; }
  // Where the picture goes, in client coordinates.
  Rect PictureRect() const;
  void PaintToDC(TCanvas& dc);
  void DrawComposite(TCanvas& dc, const Rect& r);
  // Stretch-copies the whole bitmap into `r` with `op`.
  static void BlitBitmap(const TRasterSource& bitmap, TCanvas& dc, const Rect& r, TRasterOp op);
  // The paint request: the framework paints the control through it.
  void Paint(TCanvas& canvas) override;
  // Paints the picture rectangle into the parent window at once.
  void DirectRepaint();

  // ---- animation ----
  void AnimationTick();
  // max(max(delay of frame k, 50) * 100 / Speed, 1) milliseconds.
  std::uint32_t FrameInterval(int k) const { return playback_.FrameInterval(k); }
  TTimerEx* AnimationTimer() const { return animationTimer_; }
  bool MultiFrame() const { return playback_.MultiFrame(); }
  int PlaysDone() const { return playback_.PlaysDone(); }
  bool SkipNextDisposal() const { return playback_.SkipNextDisposal(); }

  // ---- properties ----
  bool Animate() const { return playback_.Animate(); }
  void SetAnimate(bool animate);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  int CurrentFrame() const { return playback_.CurrentFrame(); }
  void SetCurrentFrame(int frame);
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool doubleBuffered) { doubleBuffered_ = doubleBuffered; }
  bool FirstImageOnly() const { return firstImageOnly_; }
  void SetFirstImageOnly(bool firstImageOnly) { firstImageOnly_ = firstImageOnly; }
  // Reads as the control itself.
  TGIFImage* Graphic() { return this; }
  bool Loop() const { return playback_.Loop(); }
  void SetLoop(bool loop);
  bool Opaque() const { return opaque_; }
  void SetOpaque(bool opaque);
  int Speed() const { return playback_.Speed(); }
  void SetSpeed(int speed);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool StretchRatio() const { return stretchRatio_; }
  void SetStretchRatio(bool stretchRatio);
  bool StretchBigOnly() const { return stretchBigOnly_; }
  void SetStretchBigOnly(bool stretchBigOnly);
  bool Tile() const { return tile_; }
  void SetTile(bool tile);
  bool Threaded() const { return threaded_; }
  void SetThreaded(bool threaded);
  TThreadPriority ThreadPriority() const { return threadPriority_; }
  void SetThreadPriority(TThreadPriority priority);
  // The control's own visibility; the framework's stays true, so the control
  // keeps its place and its mouse input.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) override;

  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;
  TProgressEvent OnProgress;
  TNotifyEvent OnWrapAnimation;

  // ---- what the framework asks of a picture ----
  // Frame CurrentFrame's palette, or the default one (no colours).
  TGIFPalette Palette() const;
  // The bitmap receives frame 1's picture, or is cleared when the control is empty.
  void AssignTo(TBitmap& bitmap);
  // Takes the other control's picture (none or an empty one: reset).
  void Assign(const TGIFImage* source);

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }
  // Decodes the Data read from the layout.
  void LayoutLoaded() override;

 private:
  bool Load(std::vector<std::uint8_t> stream);
  void ReleaseControlState();
  bool ShowDecodedPicture(std::uint64_t generation);
  void ReportProgress(TGIFDecoder& loading, std::uint64_t generation, std::size_t position, std::size_t size);
  void PaintRequest(TCanvas* dc);
  void SetAnimationTimer(bool run, std::uint32_t interval);
  bool MayRun() const;
  Rect CenterRect() const;
  void Fire(const TNotifyEvent& event);
  void PostQueryNewPalette();

  // The picture held; a load decodes into a decoder of its own and puts it
  // here when it succeeds.
  std::unique_ptr<TGIFDecoder> picture_;
  // Counts the pictures: every load and every release starts a new one, so an
  // operation can tell whether a handler it called replaced the picture.
  std::uint64_t generation_ = 0;
  TGIFStatus loadStatus_ = TGIFStatus::gsOK;
  TGIFComposer composer_;
  TGIFPlayback playback_;
  std::unique_ptr<TBitmap> firstFrameCopy_;
  TTimerEx* animationTimer_ = nullptr;  // owned as a component

  bool repainting_ = false;
  bool stretchActive_ = false;
  bool coversClient_ = false;
  bool opaqueStyle_ = false;

  bool autoSize_ = false;
  bool center_ = false;
  bool doubleBuffered_ = true;
  bool firstImageOnly_ = false;
  bool opaque_ = false;
  bool stretch_ = false;
  bool stretchRatio_ = false;
  bool stretchBigOnly_ = false;
  bool tile_ = false;
  bool threaded_ = false;
  TThreadPriority threadPriority_ = TThreadPriority::tpNormal;
  bool visible_ = true;
};

// Makes "TGIFImage" (and "TTimerEx") known to the layout reader.
void RegisterGIFComponents();

}  // namespace kelpo
