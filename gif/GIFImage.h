#pragma once
// TGIFImage: a window-less control that shows a decoded GIF picture and
// animates it.
//
// The frames (see gif/GIFDecoder.h) are composed incrementally onto
// Composite, the picture of the whole GIF, black wherever no opaque pixel has
// been drawn, and CompositeMask (only when some frame is transparent; bit 1
// transparent). Each tick applies the previous frame's disposal (2: the area
// becomes transparent black; 3: what lay under the frame before it was drawn
// comes back), draws the next frame, repaints at once and arms the animation
// timer (gif/TimerEx.h) with the frame's delay, at least 50 ms, scaled by
// Speed, less the time the tick took. Drawing uses the raster operations of
// framework/RasterOps.h.
//
// The picture goes into the client area plain, centred, stretched, stretched
// with kept proportions or tiled, drawn through the mask when frame 1 is
// transparent. The control's own Visible flag hides the picture without
// taking the control away: it still receives the mouse.

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
#include "gif/GIFDecoder.h"
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
  // the answer is false. Nothing is shown either way.
  bool LoadGIFStream(std::span<const std::uint8_t> stream);
  // The layout's Data property: a 32-bit little-endian length, then the GIF stream.
  void ReadDataProperty(TByteStream& layout);
  void WriteDataProperty(std::vector<std::uint8_t>& layout) const;
  // No frames, timer freed, counters back to their start.
  void ReleaseFrames();
  // ReleaseFrames, and the composition surfaces freed.
  void ResetImage();

  bool Empty() const { return decoder_.Empty(); }
  int FrameCount() const { return decoder_.FrameCount(); }
  const TGIFFrame& Frame(int number) const { return decoder_.Frame(number); }
  int ImageWidth() const { return decoder_.ImageWidth(); }
  int ImageHeight() const { return decoder_.ImageHeight(); }
  int LoopCount() const { return decoder_.LoopCount(); }
  TGIFVersion Version() const { return decoder_.Version(); }
  bool AnyTransparent() const { return decoder_.AnyTransparent(); }
  const std::vector<std::uint8_t>& DataStream() const { return decoder_.DataStream(); }
  const TByteStream& WorkStream() const { return decoder_.WorkStream(); }
  // Bytes held by the decoded frames and the composition and restore surfaces.
  std::size_t PictureMemory() const;

  // ---- composition ----
  const TColorBitmap* Composite() const { return composite_.get(); }
  const TMonoBitmap* CompositeMask() const { return compositeMask_.get(); }
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
  std::uint32_t FrameInterval(int k) const;
  TTimerEx* AnimationTimer() const { return animationTimer_; }
  bool MultiFrame() const { return multiFrame_; }
  int PlaysDone() const { return playsDone_; }
  bool SkipNextDisposal() const { return skipNextDisposal_; }

  // ---- properties ----
  bool Animate() const { return animate_; }
  void SetAnimate(bool animate);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  int CurrentFrame() const { return currentFrame_; }
  void SetCurrentFrame(int frame);
  bool DoubleBuffered() const { return doubleBuffered_; }
  void SetDoubleBuffered(bool doubleBuffered) { doubleBuffered_ = doubleBuffered; }
  bool FirstImageOnly() const { return decoder_.FirstImageOnly(); }
  void SetFirstImageOnly(bool firstImageOnly) { decoder_.SetFirstImageOnly(firstImageOnly); }
  // Reads as the control itself.
  TGIFImage* Graphic() { return this; }
  bool Loop() const { return loop_; }
  void SetLoop(bool loop);
  bool Opaque() const { return opaque_; }
  void SetOpaque(bool opaque);
  int Speed() const { return speed_; }
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

  bool ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) override;
  // Decodes the Data read from the layout.
  void LayoutLoaded() override;

 private:
  // Saved under a frame of disposal 3 before it is drawn.
  struct TRestoreArea {
    TColorBitmap Picture;
    TMonoBitmap Mask;
  };

  void ReleaseControlState();
  void ShowDecodedPicture();
  void ReportProgress(std::size_t position, std::size_t size);
  void PaintRequest(TCanvas* dc);
  void SetAnimationTimer(bool run, std::uint32_t interval);
  bool MayRun() const;
  Rect CenterRect() const;
  void Fire(const TNotifyEvent& event);
  void PostQueryNewPalette();
  static TRasterSource PictureOf(const TGIFFrame& frame);
  static TRasterSource MaskOf(const TGIFFrame& frame);

  TGIFDecoder decoder_;
  std::unique_ptr<TColorBitmap> composite_;
  std::unique_ptr<TMonoBitmap> compositeMask_;
  std::vector<std::unique_ptr<TRestoreArea>> restore_;  // by frame number - 1
  std::unique_ptr<TBitmap> firstFrameCopy_;
  TTimerEx* animationTimer_ = nullptr;  // owned as a component

  int currentFrame_ = 1;
  bool multiFrame_ = false;
  int playsDone_ = 1;
  bool skipNextDisposal_ = true;
  bool repainting_ = false;
  bool stretchActive_ = false;
  bool coversClient_ = false;
  bool opaqueStyle_ = false;

  bool animate_ = false;
  bool autoSize_ = false;
  bool center_ = false;
  bool doubleBuffered_ = true;
  bool loop_ = false;
  bool opaque_ = false;
  int speed_ = 100;
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
