#include "gif/GIFImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "base/ScopeGuard.h"
#include "framework/Abort.h"
#include "framework/Application.h"
#include "framework/ComponentRegistry.h"

namespace kelpo {
namespace {

constexpr std::uint32_t wmQueryNewPalette = 0x030F;

// Rectangles compare as Windows' do: an empty intersection is (0, 0, 0, 0).
Rect WindowsIntersect(const Rect& a, const Rect& b) {
  const Rect r = IntersectRect(a, b);
  return IsEmptyRect(r) ? Rect{} : r;
}

Rect FromEdges(int left, int top, int right, int bottom) {
  return Rect{left, top, right - left, bottom - top};
}

}  // namespace

TGIFImage::TGIFImage(TComponent* owner) : TControl(owner), picture_(std::make_unique<TGIFDecoder>()) {
  SetBounds(Rect{0, 0, 105, 105});
}

TGIFImage::~TGIFImage() {
  ReleaseFrames();
  composer_.Clear();
}

// ---- decoding ----

bool TGIFImage::LoadGIFStream(std::span<const std::uint8_t> stream) {
  return Load(std::vector<std::uint8_t>(stream.begin(), stream.end()));
}

bool TGIFImage::Load(std::vector<std::uint8_t> stream) {
  // The picture shown goes first; so does a load that a handler of ours runs in.
  ReleaseFrames();
  const std::uint64_t generation = generation_;
  auto decoder = std::make_unique<TGIFDecoder>();
  TGIFDecoder& loading = *decoder;
  loading.SetFirstImageOnly(firstImageOnly_);
  loading.SetProgressHook([this, &loading, generation](std::size_t position, std::size_t size) {
    ReportProgress(loading, generation, position, size);
  });
  const bool decoded = loading.LoadGIFStream(std::move(stream));
  // A handler loaded or cleared the picture meanwhile: what it did stands.
  if (generation != generation_) return false;
  loadStatus_ = loading.Status();
  if (!decoded) {
    ResetImage();
    return false;
  }
  picture_ = std::move(decoder);
  // No memory for the composite, or an error of a handler: the load fails quietly.
  const auto fail = [&] {
    if (generation == generation_) ResetImage();
    return false;
  };
  bool shown = false;
  try {
    shown = ShowDecodedPicture(generation);
  } catch (const std::bad_alloc&) {
    loadStatus_ = TGIFStatus::gsOutOfMemory;
    return fail();
  } catch (...) {
    return fail();
  }
  if (!shown) return false;
  PostQueryNewPalette();
  Invalidate();
  return true;
}

bool TGIFImage::ShowDecodedPicture(std::uint64_t generation) {
  const int width = ImageWidth(), height = ImageHeight();
  composer_.Start(width, height, AnyTransparent());
  if (autoSize_) SetBounds(Rect{Left(), Top(), width, height});
  std::vector<int> delays;
  for (int k = 1; k <= FrameCount(); ++k) delays.push_back(Frame(k).DelayMs);
  playback_.SetPicture(std::move(delays), LoopCount());
  UpdatePaintFlags();
  Fire(OnChanging);
  if (generation != generation_) return false;
  if (CurrentFrame() == 1) ComposeCurrentFrame();  // unless the handler showed a frame itself
  Fire(OnChange);
  return generation == generation_;
}

void TGIFImage::ReadDataProperty(TByteStream& layout) {
  kelpo::ReadDataProperty(layout, picture_->DataStream());
}

void TGIFImage::WriteDataProperty(std::vector<std::uint8_t>& layout) const {
  kelpo::WriteDataProperty(layout, DataStream());
}

void TGIFImage::ReleaseControlState() {
  SetAnimationTimer(false, 0);
  playback_.Reset();
  firstFrameCopy_.reset();
  composer_.ReleaseRestoreArea();
}

void TGIFImage::ReleaseFrames() {
  ++generation_;
  picture_->ReleaseFrames();
  ReleaseControlState();
}

void TGIFImage::ResetImage() {
  ReleaseFrames();
  composer_.Clear();
  UpdatePaintFlags();
  Invalidate();
}

void TGIFImage::ReportProgress(TGIFDecoder& loading, std::uint64_t generation, std::size_t position, std::size_t size) {
  // A load overtaken by a handler ends at once, and quietly.
  const auto cancelIfOvertaken = [&] {
    if (generation == generation_) return;
    loading.KeepProcessing() = false;
    throw EAbort();
  };
  cancelIfOvertaken();
  if (!OnProgress) return;
  bool& keep = loading.KeepProcessing();
  // MulDiv(100, position, size): rounded to the nearest.
  const int percent =
      size == 0 ? -1 : static_cast<int>((200 * static_cast<std::uint64_t>(position) + size) / (2 * size));
  TProgressEvent handler = OnProgress;  // the handler may assign the event anew
  handler(this, position, size, percent, keep);
  cancelIfOvertaken();
  if (!keep) throw EAbort();
}

std::size_t TGIFImage::PictureMemory() const {
  std::size_t bytes = 0;
  for (int i = 1; i <= FrameCount(); ++i) {
    const TGIFFrame& f = Frame(i);
    bytes += sizeof(TGIFFrame) + f.Rows.Pixels.capacity() + f.Rows.Mask.capacity();
    if (f.LocalColors) bytes += sizeof(TGIFColorTable);
  }
  bytes += composer_.Memory();
  if (firstFrameCopy_) bytes += firstFrameCopy_->Pixels().capacity() * sizeof(std::uint32_t);
  return bytes;
}

// ---- composition ----

void TGIFImage::ComposeCurrentFrame() {
  const int k = CurrentFrame();
  if (k >= 1 && k <= FrameCount()) composer_.Draw(Frame(k), k);
}

void TGIFImage::ApplyDisposal(int k) {
  if (k >= 1 && k <= FrameCount()) composer_.Dispose(Frame(k), k);
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
  const TColorBitmap* composite = Composite();
  if (!composite || FrameCount() == 0) return;
  if (!Frame(1).Transparent) {
    BlitBitmap(TRasterSource::Of(*composite), dc, r, TRasterOp::SrcCopy);
    return;
  }
  // The background stays where the mask is white (the composite is black
  // there) and the picture replaces it where the mask is black.
  BlitBitmap(TRasterSource::Of(*CompositeMask()), dc, r, TRasterOp::SrcAnd);
  BlitBitmap(TRasterSource::Of(*composite), dc, r, TRasterOp::SrcInvert);
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
  SetAnimationTimer(MayRun(), playback_.PaintInterval());
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

bool TGIFImage::MayRun() const {
  return !Empty() && playback_.MayRun();
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
  if (Empty() || !Animate() || !animationTimer_ || FrameCount() == 0) return;
  Clock& clock = Application().Services().clock;
  const std::uint64_t start = clock.TickCount();
  const std::uint64_t generation = generation_;
  const int frame = playback_.BeginTick();
  Fire(OnChanging);
  // The handler stopped the animation, showed a frame itself, or loaded or
  // cleared the picture: what it did stands, and this tick is over.
  const auto overtaken = [&] { return generation != generation_ || !Animate() || !animationTimer_; };
  if (overtaken() || CurrentFrame() != frame) return;
  if (const int shown = playback_.TakeFrameToDispose(); shown > 0) {
    ApplyDisposal(shown);
    ComposeCurrentFrame();
    DirectRepaint();  // the parent's paint runs other controls' code too
    if (overtaken()) return;
  }
  // The time spent drawing is taken off the frame's delay.
  animationTimer_->SetInterval(playback_.NextInterval(static_cast<std::int64_t>(clock.TickCount() - start)));
  const TGIFPlayback::TAdvance step = playback_.Advance();
  // After the last play the last frame stays shown.
  if (step.PlaysOver) SetAnimationTimer(false, 0);
  Fire(OnChange);
  if (step.Wrapped && generation == generation_) Fire(OnWrapAnimation);
}

// ---- properties ----

void TGIFImage::SetAnimate(bool animate) {
  if (animate == Animate()) return;
  playback_.SetAnimate(animate);
  const std::uint32_t interval = animate && FrameCount() > 1 ? FrameInterval(CurrentFrame()) : 0;
  SetAnimationTimer(animate && MultiFrame() && !Empty(), interval);
  if (!animate && CurrentFrame() > 1) {
    ApplyDisposal(CurrentFrame() - 1);
    playback_.SetCurrentFrame(1);
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
  if (frame == CurrentFrame() || frame < 1 || frame > FrameCount()) return;
  const std::uint64_t generation = generation_;
  const int shown = CurrentFrame();
  Fire(OnChanging);
  // The handler loaded or cleared the picture, or showed a frame itself: that stands.
  if (generation != generation_ || CurrentFrame() != shown) return;
  ApplyDisposal(CurrentFrame());
  playback_.SetCurrentFrame(frame);
  ComposeCurrentFrame();
  DirectRepaint();
  if (generation == generation_) Fire(OnChange);
}

void TGIFImage::SetLoop(bool loop) {
  if (loop == Loop()) return;
  // Turned on after the plays ran out: start again from frame 1.
  if (playback_.SetLoop(loop)) SetAnimationTimer(Animate() && MultiFrame() && !Empty(), FrameInterval(1));
}

void TGIFImage::SetSpeed(int speed) {
  if (!playback_.SetSpeed(speed)) return;
  // The next tick comes at once and uses the new speed.
  if (FrameCount() > 1 && Animate() && animationTimer_) animationTimer_->SetInterval(1);
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
  const int k = CurrentFrame();
  if (Empty() || FrameCount() == 0 || !visible_ || k < 1 || k > FrameCount()) return {};
  const TGIFFrame& frame = Frame(k);
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
  Load(source->DataStream());  // a copy: the source may be this control
}

// ---- layouts ----

const PropertyTable& TGIFImage::StaticProperties() {
  using G = TGIFImage;
  const auto readAlign = [](TGIFImage& gif, const PropertyReading& reading) {
    if (LayoutEnum<TAlign>(reading) == TAlign::alClient && gif.Parent())
      gif.SetBounds(Rect{0, 0, gif.Parent()->Width(), gif.Parent()->Height()});
  };
  const auto readData = [](TGIFImage& gif, const PropertyReading& reading) {
    std::vector<std::uint8_t> bytes = LayoutBytes(reading);
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "GIF8", 4) == 0) {
      // The artwork file itself. The stored form begins with a length, which
      // would spell "GIF8" only for a stream of some 900 MB.
      gif.picture_->DataStream() = std::move(bytes);
    } else {
      TByteStream stream{bytes, 0};
      gif.ReadDataProperty(stream);
    }
  };
  static const PropertyTable table(
      TControl::StaticProperties(),
      {
          NewDefault("Width", 105),
          NewDefault("Height", 105),
          Property("Animate", &G::Animate, &G::SetAnimate, false),
          Property("AutoSize", &G::AutoSize, &G::SetAutoSize, false),
          Property("Center", &G::Center, &G::SetCenter, false),
          Property("DoubleBuffered", &G::DoubleBuffered, &G::SetDoubleBuffered, true),
          Property("FirstImageOnly", &G::FirstImageOnly, &G::SetFirstImageOnly, false),
          Property("Loop", &G::Loop, &G::SetLoop, false),
          Property("Opaque", &G::Opaque, &G::SetOpaque, false),
          Property("Speed", &G::Speed, &G::SetSpeed, 100),
          Property("Stretch", &G::Stretch, &G::SetStretch, false),
          Property("StretchRatio", &G::StretchRatio, &G::SetStretchRatio, false),
          Property("StretchBigOnly", &G::StretchBigOnly, &G::SetStretchBigOnly, false),
          Property("Tile", &G::Tile, &G::SetTile, false),
          Property("Threaded", &G::Threaded, &G::SetThreaded, false),
          Property("ThreadPriority", &G::ThreadPriority, &G::SetThreadPriority, TThreadPriority::tpNormal),
          // The control's own flag, not the framework's (which stays set).
          Property("Visible", &G::Visible, &G::SetVisible, true),
          Ignored<LayoutIdentifier>("Graphic"),  // the control itself; writing it has no effect
          CustomProperty<TGIFImage>("Align", readAlign),
          CustomProperty<TGIFImage>("Data", readData),
          Property("OnChanging", &G::OnChanging),
          Property("OnChange", &G::OnChange),
          Property("OnProgress", &G::OnProgress),
          Property("OnWrapAnimation", &G::OnWrapAnimation),
      });
  return table;
}

void TGIFImage::LayoutLoaded() {
  if (!DataStream().empty()) Load(std::move(picture_->DataStream()));
}

void RegisterGIFComponents() {
  ComponentRegistry& registry = ComponentRegistry::Instance();
  registry.Register<TGIFImage>("TGIFImage");
  registry.Register<TTimerEx>("TTimerEx");
}

}  // namespace kelpo
