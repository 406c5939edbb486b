#include "gif/GIFImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "base/ScopeGuard.h"
#include "framework/Abort.h"
#include "framework/Application.h"
#include "framework/ComponentRegistry.h"

namespace kelpo {
namespace {

constexpr std::uint32_t wmQueryNewPalette = 0x030F;

// No composite larger than the decoder's bound on decoded pixels is made: a
// logical screen of 65535 x 65535 with a one-pixel frame loads as a failure.
constexpr std::int64_t MaxCompositePixels = TGIFDecoder::DefaultMaxTotalPixels;

// Rectangles compare as Windows' do: an empty intersection is (0, 0, 0, 0).
Rect WindowsIntersect(const Rect& a, const Rect& b) {
  const Rect r = IntersectRect(a, b);
  return IsEmptyRect(r) ? Rect{} : r;
}

Rect FromEdges(int left, int top, int right, int bottom) {
  return Rect{left, top, right - left, bottom - top};
}

// A copy of the whole `from`, its (left, top) at the origin of `to`.
void CopyArea(TColorBitmap& to, const TColorBitmap& from, int left, int top) {
  StretchBlt(TRasterTarget::Of(to), Rect{-left, -top, from.Width(), from.Height()}, TRasterSource::Of(from),
             TRasterOp::SrcCopy);
}

void CopyArea(TMonoBitmap& to, const TMonoBitmap& from, int left, int top) {
  StretchBlt(to, Rect{-left, -top, from.Width(), from.Height()}, TRasterSource::Of(from), TRasterOp::SrcCopy);
}

}  // namespace

TGIFImage::TGIFImage(TComponent* owner) : TControl(owner) {
  SetBounds(Rect{0, 0, 105, 105});
  decoder_.SetProgressHook([this](std::size_t position, std::size_t size) { ReportProgress(position, size); });
}

TGIFImage::~TGIFImage() {
  ReleaseFrames();
  compositeMask_.reset();
  composite_.reset();
}

// ---- decoding ----

bool TGIFImage::LoadGIFStream(std::span<const std::uint8_t> stream) {
  ReleaseControlState();
  // The decoder copies the stream before it releases the kept one, which may be `stream`.
  bool loaded = decoder_.LoadGIFStream(stream);
  if (loaded) {
    try {
      ShowDecodedPicture();
    } catch (...) {
      loaded = false;
    }
  }
  if (!loaded) {
    ResetImage();
    return false;
  }
  PostQueryNewPalette();
  Invalidate();
  return true;
}

void TGIFImage::ShowDecodedPicture() {
  const int width = ImageWidth(), height = ImageHeight();
  if (static_cast<std::int64_t>(width) * height > MaxCompositePixels) throw Exception("Out of system resources");
  composite_.reset();
  composite_ = std::make_unique<TColorBitmap>(width, height, RasterBlack);
  if (autoSize_) SetBounds(Rect{Left(), Top(), width, height});
  multiFrame_ = FrameCount() > 1;
  UpdatePaintFlags();
  compositeMask_.reset();
  if (AnyTransparent()) compositeMask_ = std::make_unique<TMonoBitmap>(width, height, true);
  restore_.clear();
  restore_.resize(FrameCount());
  Fire(OnChanging);
  ComposeCurrentFrame();
  Fire(OnChange);
}

void TGIFImage::ReadDataProperty(TByteStream& layout) {
  kelpo::ReadDataProperty(layout, decoder_.DataStream());
}

void TGIFImage::WriteDataProperty(std::vector<std::uint8_t>& layout) const {
  kelpo::WriteDataProperty(layout, DataStream());
}

void TGIFImage::ReleaseControlState() {
  SetAnimationTimer(false, 0);
  currentFrame_ = 1;
  playsDone_ = 1;
  skipNextDisposal_ = true;
  firstFrameCopy_.reset();
  restore_.clear();
}

void TGIFImage::ReleaseFrames() {
  decoder_.ReleaseFrames();
  ReleaseControlState();
}

void TGIFImage::ResetImage() {
  ReleaseFrames();
  compositeMask_.reset();
  composite_.reset();
  UpdatePaintFlags();
  Invalidate();
}

void TGIFImage::ReportProgress(std::size_t position, std::size_t size) {
  if (!OnProgress) return;
  bool& keep = decoder_.KeepProcessing();
  // MulDiv(100, position, size): rounded to the nearest.
  const int percent =
      size == 0 ? -1 : static_cast<int>((200 * static_cast<std::uint64_t>(position) + size) / (2 * size));
  OnProgress(this, position, size, percent, keep);
  if (!keep) throw EAbort();
}

std::size_t TGIFImage::PictureMemory() const {
  std::size_t bytes = 0;
  for (int i = 1; i <= FrameCount(); ++i) {
    const TGIFFrame& f = Frame(i);
    bytes += sizeof(TGIFFrame) + f.Rows.Pixels.capacity() + f.Rows.Mask.capacity();
    if (f.LocalColors) bytes += sizeof(TGIFColorTable);
  }
  if (composite_) bytes += composite_->ByteSize();
  if (compositeMask_) bytes += compositeMask_->ByteSize();
  for (const auto& area : restore_)
    if (area) bytes += area->Picture.ByteSize() + area->Mask.ByteSize();
  if (firstFrameCopy_) bytes += firstFrameCopy_->Pixels().capacity() * sizeof(std::uint32_t);
  return bytes;
}

// ---- composition ----

TRasterSource TGIFImage::PictureOf(const TGIFFrame& frame) {
  TRasterSource source;
  source.Format = TRasterSource::TFormat::Indexed8;
  source.Width = frame.FrameWidth;
  source.Height = frame.FrameHeight;
  source.Bits = frame.Rows.Pixels.data();
  source.Stride = PixelStride(frame.FrameWidth);
  source.BottomUp = true;
  source.PaletteRGB = frame.ColorTable->data();
  source.PaletteEntries = frame.PaletteEntries;
  return source;
}

TRasterSource TGIFImage::MaskOf(const TGIFFrame& frame) {
  TRasterSource source;
  source.Format = TRasterSource::TFormat::Mono1;
  source.Width = frame.FrameWidth;
  source.Height = frame.FrameHeight;
  source.Bits = frame.Rows.Mask.data();
  source.Stride = MaskStride(frame.FrameWidth);
  source.BottomUp = true;
  return source;
}

void TGIFImage::ComposeCurrentFrame() {
  if (currentFrame_ < 1 || currentFrame_ > FrameCount() || !composite_) return;
  const TGIFFrame& f = Frame(currentFrame_);
  const Rect r{f.FrameLeft, f.FrameTop, f.FrameWidth, f.FrameHeight};
  const TRasterTarget composite = TRasterTarget::Of(*composite_);
  if (f.Disposal == 3) {
    auto& saved = restore_[currentFrame_ - 1];
    if (!saved)
      saved = std::make_unique<TRestoreArea>(
          TRestoreArea{TColorBitmap(f.FrameWidth, f.FrameHeight),
                       compositeMask_ ? TMonoBitmap(f.FrameWidth, f.FrameHeight, false) : TMonoBitmap()});
    if (compositeMask_) CopyArea(saved->Mask, *compositeMask_, f.FrameLeft, f.FrameTop);
    CopyArea(saved->Picture, *composite_, f.FrameLeft, f.FrameTop);
  }
  if (f.Transparent) {
    // Opaque pixels replace the composite and become opaque in the mask;
    // transparent pixels leave both as they were.
    const TRasterSource picture = PictureOf(f), mask = MaskOf(f);
    StretchBlt(*compositeMask_, r, mask, TRasterOp::SrcAnd);
    StretchBlt(composite, r, picture, TRasterOp::SrcInvert);
    StretchBlt(composite, r, mask, TRasterOp::SrcAnd);
    StretchBlt(composite, r, picture, TRasterOp::SrcInvert);
  } else {
    if (compositeMask_) PatBlt(*compositeMask_, r, TRasterOp::Blackness);
    StretchBlt(composite, r, PictureOf(f), TRasterOp::SrcCopy);
  }
}

void TGIFImage::ApplyDisposal(int k) {
  if (k < 1 || k > FrameCount() || !composite_) return;
  const TGIFFrame& f = Frame(k);
  const Rect r{f.FrameLeft, f.FrameTop, f.FrameWidth, f.FrameHeight};
  const TRasterTarget composite = TRasterTarget::Of(*composite_);
  switch (f.Disposal) {
    case 2:
      // Transparent and black: the stream's background colour is not used.
      if (compositeMask_) PatBlt(*compositeMask_, r, TRasterOp::Whiteness);
      PatBlt(composite, r, TRasterOp::Blackness);
      break;
    case 3: {
      // Only what was saved when the frame was drawn comes back; a frame never
      // drawn has nothing to restore.
      const auto& saved = restore_[k - 1];
      if (!saved) break;
      if (compositeMask_) StretchBlt(*compositeMask_, r, TRasterSource::Of(saved->Mask), TRasterOp::SrcCopy);
      StretchBlt(composite, r, TRasterSource::Of(saved->Picture), TRasterOp::SrcCopy);
      break;
    }
    default:
      break;
  }
}

// ---- painting ----

void TGIFImage::UpdatePaintFlags() {
  const int w = Width(), h = Height(), iw = ImageWidth(), ih = ImageHeight();
  stretchActive_ = (stretch_ || stretchRatio_) && !(w == iw && h == ih) && (!stretchBigOnly_ || w < iw || h < ih);
  const bool transparent = Empty() || FrameCount() == 0 || Frame(1).Transparent;
  const Rect client{0, 0, w, h};
  coversClient_ = visible_ && !transparent && WindowsIntersect(PictureRect(), client) == client;
  opaqueStyle_ = coversClient_;
}

Rect TGIFImage::CenterRect() const {
  const int iw = ImageWidth(), ih = ImageHeight();
  const int cx = (Width() - iw) / 2, cy = (Height() - ih) / 2;  // truncated towards zero
  return Rect{cx, cy, iw, ih};
}

Rect TGIFImage::PictureRect() const {
  const int w = Width(), h = Height(), iw = ImageWidth(), ih = ImageHeight();
  const Rect client{0, 0, w, h};
  if (iw == 0 || ih == 0) return Rect{};
  if (stretchActive_ && stretchRatio_ && !stretch_) {
    const float rx = static_cast<float>(w) / static_cast<float>(iw);
    const float ry = static_cast<float>(h) / static_cast<float>(ih);
    double edges[4];
    if (rx > ry) {
      const double x = (w - iw * static_cast<double>(ry)) / 2;
      edges[0] = x, edges[1] = 0, edges[2] = w - x, edges[3] = h;
    } else {
      const double y = (h - ih * static_cast<double>(rx)) / 2;
      edges[0] = 0, edges[1] = y, edges[2] = w, edges[3] = h - y;
    }
    int rounded[4];
    for (int i = 0; i < 4; ++i) {
      // Halves go to the even neighbour.
      const double e = std::nearbyint(edges[i]);
      if (!std::isfinite(e) || e < std::numeric_limits<int>::min() || e > std::numeric_limits<int>::max())
        return client;
      rounded[i] = static_cast<int>(e);
    }
    return FromEdges(rounded[0], rounded[1], rounded[2], rounded[3]);
  }
  if (stretchActive_ || tile_) return client;
  if (center_) return CenterRect();
  return Rect{0, 0, iw, ih};
}

void TGIFImage::BlitBitmap(const TRasterSource& bitmap, TCanvas& dc, const Rect& r, TRasterOp op) {
  // Surfaces are true colour: plain scaling, no palette to realise.
  StretchBlt(TRasterTarget::Of(dc), r, bitmap, op);
}

void TGIFImage::DrawComposite(TCanvas& dc, const Rect& r) {
  if (!composite_ || FrameCount() == 0) return;
  if (!Frame(1).Transparent) {
    BlitBitmap(TRasterSource::Of(*composite_), dc, r, TRasterOp::SrcCopy);
    return;
  }
  // The background stays where the mask is white (the composite is black
  // there) and the picture replaces it where the mask is black.
  BlitBitmap(TRasterSource::Of(*compositeMask_), dc, r, TRasterOp::SrcAnd);
  BlitBitmap(TRasterSource::Of(*composite_), dc, r, TRasterOp::SrcInvert);
}

void TGIFImage::PaintToDC(TCanvas& dc) {
  if (!visible_) return;
  if (opaque_ && !coversClient_) dc.FillRect(Rect{0, 0, Width(), Height()}, ControlColor());
  if (Empty() || FrameCount() == 0) return;
  if (stretchActive_) {
    DrawComposite(dc, PictureRect());
  } else if (tile_) {
    const int iw = ImageWidth(), ih = ImageHeight();
    const Rect clip = dc.ClipRect();
    for (int row = 0; row <= Height() / ih; ++row) {
      for (int col = 0; col <= Width() / iw; ++col) {
        const Rect tile{col * iw, row * ih, iw, ih};
        const Rect onSurface{tile.Left + dc.Origin().X, tile.Top + dc.Origin().Y, iw, ih};
        if (!IsEmptyRect(IntersectRect(onSurface, clip))) DrawComposite(dc, tile);
      }
    }
  } else {
    DrawComposite(dc, center_ ? CenterRect() : Rect{0, 0, ImageWidth(), ImageHeight()});
  }
}

void TGIFImage::Paint(TCanvas& canvas) {
  PaintRequest(&canvas);
}

void TGIFImage::PaintRequest(TCanvas* dc) {
  const bool wasOpaque = opaqueStyle_;
  UpdatePaintFlags();
  if (wasOpaque != opaqueStyle_) {
    Invalidate();
  } else if (dc) {
    PaintToDC(*dc);
  }
  // Every paint sets the timer to the frame to come, and restarts a stopped
  // animation that may run.
  const bool framed = animate_ && FrameCount() > 1 && currentFrame_ <= FrameCount();
  SetAnimationTimer(MayRun(), framed ? FrameInterval(currentFrame_) : 1);
}

void TGIFImage::DirectRepaint() {
  TWinControl* parent = Parent();
  if (!parent || repainting_ || !visible_ || !parent->HandleAllocated()) return;
  repainting_ = true;
  ScopeGuard clear([this] { repainting_ = false; });

  // The picture rectangle in the parent, kept inside the control.
  const Rect picture = PictureRect();
  const Rect r = IntersectRect(
      IntersectRect(Rect{picture.Left + Left(), picture.Top + Top(), picture.Width, picture.Height}, BoundsRect()),
      Rect{0, 0, parent->Width(), parent->Height()});
  if (IsEmptyRect(r)) return;
  // Drawing happens off screen whatever DoubleBuffered says: the surfaces of
  // this framework are memory, and only the finished area is put on screen.
  Platform& services = Application().Services();
  std::unique_ptr<Surface> memory = services.graphics.CreateSurface(parent->Width(), parent->Height());
  if (opaqueStyle_) {
    TCanvas dc(*memory, Point{Left(), Top()}, r);
    PaintToDC(dc);
  } else {
    // The parent's background and its graphic controls, this one included, so
    // that transparent pixels show what lies beneath.
    parent->PaintTo(*memory);
  }
  services.windowing.BlitToWindow(parent->Handle(), r, *memory);
}

// ---- animation ----

std::uint32_t TGIFImage::FrameInterval(int k) const {
  const int delay = k >= 1 && k <= FrameCount() ? Frame(k).DelayMs : 0;
  const std::int64_t interval = std::int64_t{std::max(delay, 50)} * 100 / speed_;
  return static_cast<std::uint32_t>(std::max<std::int64_t>(interval, 1));
}

bool TGIFImage::MayRun() const {
  return multiFrame_ && animate_ && !Empty() && (LoopCount() >= playsDone_ || loop_ || LoopCount() == 0);
}

void TGIFImage::SetAnimationTimer(bool run, std::uint32_t interval) {
  if (run) {
    if (!animationTimer_) {
      // Known before it is armed, so that a failure to arm leaves no stray timer.
      animationTimer_ = new TTimerEx(this);
      animationTimer_->SetThreaded(threaded_);
      animationTimer_->SetThreadPriority(threadPriority_);
      animationTimer_->SetOnTimer([this](TComponent*) { AnimationTick(); });
    }
    animationTimer_->SetInterval(interval);
  } else if (animationTimer_) {
    delete std::exchange(animationTimer_, nullptr);
  }
}

void TGIFImage::AnimationTick() {
  if (Empty() || !animate_ || !animationTimer_ || FrameCount() == 0) return;
  Clock& clock = Application().Services().clock;
  const std::uint64_t start = clock.TickCount();
  if (currentFrame_ > FrameCount() || currentFrame_ <= 0) currentFrame_ = 1;
  Fire(OnChanging);
  if (skipNextDisposal_) {
    skipNextDisposal_ = false;  // the decoding already drew frame 1
  } else {
    int previous = currentFrame_ - 1;
    if (previous <= 0) previous = FrameCount();
    ApplyDisposal(previous);
    ComposeCurrentFrame();
    DirectRepaint();
  }
  // The time spent drawing is taken off the frame's delay.
  const std::int64_t elapsed = static_cast<std::int64_t>(clock.TickCount() - start);
  const auto interval =
      static_cast<std::uint32_t>(std::max<std::int64_t>(std::int64_t{FrameInterval(currentFrame_)} - elapsed, 1));
  // A handler may have stopped the animation meanwhile.
  if (animationTimer_) animationTimer_->SetInterval(interval);
  ++currentFrame_;
  const bool wrapped = currentFrame_ > FrameCount();
  if (!loop_ && LoopCount() > 0 && wrapped) {
    ++playsDone_;
    // The last frame stays shown; CurrentFrame stays one past it.
    SetAnimationTimer(playsDone_ <= LoopCount(), animationTimer_ ? animationTimer_->Interval() : interval);
  } else if (wrapped || currentFrame_ <= 0) {
    currentFrame_ = 1;
  }
  Fire(OnChange);
  if (wrapped) Fire(OnWrapAnimation);
}

// ---- properties ----

void TGIFImage::SetAnimate(bool animate) {
  if (animate == animate_) return;
  animate_ = animate;
  playsDone_ = 1;
  const std::uint32_t interval = animate && FrameCount() > 1 ? FrameInterval(currentFrame_) : 0;
  SetAnimationTimer(animate_ && multiFrame_ && !Empty(), interval);
  if (!animate && currentFrame_ > 1) {
    ApplyDisposal(currentFrame_ - 1);
    currentFrame_ = 1;
    ComposeCurrentFrame();
    Invalidate();
  }
}

void TGIFImage::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  if (autoSize_ && !Empty()) {
    SetBounds(Rect{Left(), Top(), ImageWidth(), ImageHeight()});
    Invalidate();
  }
}

void TGIFImage::SetCenter(bool center) {
  if (center == center_) return;
  center_ = center;
  Invalidate();
}

void TGIFImage::SetOpaque(bool opaque) {
  if (opaque == opaque_) return;
  opaque_ = opaque;
  Invalidate();
}

void TGIFImage::SetStretch(bool stretch) {
  if (stretch == stretch_) return;
  stretch_ = stretch;
  Invalidate();
}

void TGIFImage::SetStretchRatio(bool stretchRatio) {
  if (stretchRatio == stretchRatio_) return;
  stretchRatio_ = stretchRatio;
  Invalidate();
}

void TGIFImage::SetStretchBigOnly(bool stretchBigOnly) {
  if (stretchBigOnly == stretchBigOnly_) return;
  stretchBigOnly_ = stretchBigOnly;
  Invalidate();
}

void TGIFImage::SetTile(bool tile) {
  if (tile == tile_) return;
  tile_ = tile;
  Invalidate();
}

void TGIFImage::SetCurrentFrame(int frame) {
  if (frame == currentFrame_ || frame < 1 || frame > FrameCount()) return;
  Fire(OnChanging);
  ApplyDisposal(currentFrame_);
  currentFrame_ = frame;
  ComposeCurrentFrame();
  DirectRepaint();
  Fire(OnChange);
}

void TGIFImage::SetLoop(bool loop) {
  if (loop == loop_) return;
  loop_ = loop;
  // Turned on after the plays ran out: start again from frame 1.
  if (loop_ && FrameCount() > 0 && LoopCount() > 0 && playsDone_ > LoopCount()) {
    currentFrame_ = 1;
    playsDone_ = 1;
    SetAnimationTimer(animate_ && multiFrame_ && !Empty(), FrameInterval(1));
  }
}

void TGIFImage::SetSpeed(int speed) {
  speed = std::max(speed, 1);
  if (speed == speed_) return;
  speed_ = speed;
  // The next tick comes at once and uses the new speed.
  if (FrameCount() > 1 && animate_ && animationTimer_) animationTimer_->SetInterval(1);
}

void TGIFImage::SetThreaded(bool threaded) {
  threaded_ = threaded;
  if (animationTimer_) animationTimer_->SetThreaded(threaded);
}

void TGIFImage::SetThreadPriority(TThreadPriority priority) {
  threadPriority_ = priority;
  if (animationTimer_) animationTimer_->SetThreadPriority(priority);
}

void TGIFImage::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Invalidate();
  PostQueryNewPalette();
}

void TGIFImage::PostQueryNewPalette() {
  TWinControl* parent = Parent();
  if (parent && parent->HandleAllocated())
    Application().Services().windowing.PostMessage(parent->Handle(), wmQueryNewPalette, 0, 0);
}

void TGIFImage::Fire(const TNotifyEvent& event) {
  if (!event) return;
  TNotifyEvent handler = event;  // the handler may assign the event anew
  handler(this);
}

// ---- what the framework asks of a picture ----

TGIFPalette TGIFImage::Palette() const {
  if (Empty() || FrameCount() == 0 || !visible_ || currentFrame_ < 1 || currentFrame_ > FrameCount()) return {};
  const TGIFFrame& frame = Frame(currentFrame_);
  return TGIFPalette{frame.ColorTable, frame.PaletteEntries};
}

void TGIFImage::AssignTo(TBitmap& bitmap) {
  if (Empty() || FrameCount() == 0) {
    bitmap = TBitmap();
    return;
  }
  if (!firstFrameCopy_) {
    auto copy = std::make_unique<TBitmap>();
    copy->LoadFromBmp(FramePictureBmp(Frame(1)));
    firstFrameCopy_ = std::move(copy);
  }
  bitmap = *firstFrameCopy_;
}

void TGIFImage::Assign(const TGIFImage* source) {
  if (!source || source->Empty()) {
    ResetImage();
    return;
  }
  const std::vector<std::uint8_t> stream = source->DataStream();  // the source may be this control
  LoadGIFStream(stream);
}

// ---- layouts ----

bool TGIFImage::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "Animate") {
    SetAnimate(LayoutBoolean(value, name));
  } else if (name == "AutoSize") {
    SetAutoSize(LayoutBoolean(value, name));
  } else if (name == "Center") {
    SetCenter(LayoutBoolean(value, name));
  } else if (name == "DoubleBuffered") {
    SetDoubleBuffered(LayoutBoolean(value, name));
  } else if (name == "FirstImageOnly") {
    SetFirstImageOnly(LayoutBoolean(value, name));
  } else if (name == "Loop") {
    SetLoop(LayoutBoolean(value, name));
  } else if (name == "Opaque") {
    SetOpaque(LayoutBoolean(value, name));
  } else if (name == "Speed") {
    SetSpeed(LayoutInteger(value, name));
  } else if (name == "Stretch") {
    SetStretch(LayoutBoolean(value, name));
  } else if (name == "StretchRatio") {
    SetStretchRatio(LayoutBoolean(value, name));
  } else if (name == "StretchBigOnly") {
    SetStretchBigOnly(LayoutBoolean(value, name));
  } else if (name == "Tile") {
    SetTile(LayoutBoolean(value, name));
  } else if (name == "Threaded") {
    SetThreaded(LayoutBoolean(value, name));
  } else if (name == "ThreadPriority") {
    SetThreadPriority(ThreadPriorityFromName(LayoutIdentifier(value, name)));
  } else if (name == "Visible") {
    SetVisible(LayoutBoolean(value, name));
  } else if (name == "Graphic") {
    LayoutIdentifier(value, name);  // the control itself; writing it has no effect
  } else if (name == "Align") {
    const std::string align = LayoutIdentifier(value, name);
    if (align == "alClient") {
      if (Parent()) SetBounds(Rect{0, 0, Parent()->Width(), Parent()->Height()});
    } else if (align != "alNone") {
      throw Exception("Unknown alignment " + align);
    }
  } else if (name == "Data") {
    if (value.Type != LayoutValue::Kind::Binary) throw Exception("Property Data needs binary data");
    if (value.Bytes.size() >= 4 && std::memcmp(value.Bytes.data(), "GIF8", 4) == 0) {
      // The artwork file itself. The stored form begins with a length, which
      // would spell "GIF8" only for a stream of some 900 MB.
      decoder_.DataStream() = value.Bytes;
    } else {
      TByteStream stream{value.Bytes, 0};
      ReadDataProperty(stream);
    }
  } else if (name == "OnChanging") {
    OnChanging = events.NotifyHandler(LayoutIdentifier(value, name));
  } else if (name == "OnChange") {
    OnChange = events.NotifyHandler(LayoutIdentifier(value, name));
  } else if (name == "OnWrapAnimation") {
    OnWrapAnimation = events.NotifyHandler(LayoutIdentifier(value, name));
  } else {
    return TControl::ReadProperty(name, value, events);
  }
  return true;
}

void TGIFImage::LayoutLoaded() {
  if (!DataStream().empty()) LoadGIFStream(DataStream());
}

void RegisterGIFComponents() {
  ComponentRegistry& registry = ComponentRegistry::Instance();
  registry.Register("TGIFImage", [](TComponent* owner) -> TComponent* { return new TGIFImage(owner); });
  registry.Register("TTimerEx", [](TComponent* owner) -> TComponent* { return new TTimerEx(owner); });
}

}  // namespace kelpo
