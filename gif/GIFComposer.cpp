#include "gif/GIFComposer.h"

namespace kelpo {
namespace {

// A copy of the whole `from`, its (left, top) at the origin of `to`.
void CopyArea(TColorBitmap& to, const TColorBitmap& from, int left, int top) {
  StretchBlt(TRasterTarget::Of(to), Rect{-left, -top, from.Width(), from.Height()}, TRasterSource::Of(from),
             TRasterOp::SrcCopy);
}

void CopyArea(TMonoBitmap& to, const TMonoBitmap& from, int left, int top) {
  StretchBlt(to, Rect{-left, -top, from.Width(), from.Height()}, TRasterSource::Of(from), TRasterOp::SrcCopy);
}

Rect FrameRect(const TGIFFrame& f) {
  return Rect{f.FrameLeft, f.FrameTop, f.FrameWidth, f.FrameHeight};
}

}  // namespace

void TGIFComposer::Start(int width, int height, bool withMask) {
  Clear();  // the old surfaces go before the new ones are made
  composite_ = std::make_unique<TColorBitmap>(width, height, RasterBlack);
  if (withMask) compositeMask_ = std::make_unique<TMonoBitmap>(width, height, true);
}

void TGIFComposer::Clear() {
  ReleaseRestoreArea();
  compositeMask_.reset();
  composite_.reset();
}

void TGIFComposer::ReleaseRestoreArea() {
  restore_ = TRestoreArea{};
}

TRasterSource TGIFComposer::PictureOf(const TGIFFrame& frame) {
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

TRasterSource TGIFComposer::MaskOf(const TGIFFrame& frame) {
  TRasterSource source;
  source.Format = TRasterSource::TFormat::Mono1;
  source.Width = frame.FrameWidth;
  source.Height = frame.FrameHeight;
  source.Bits = frame.Rows.Mask.data();
  source.Stride = MaskStride(frame.FrameWidth);
  source.BottomUp = true;
  return source;
}

void TGIFComposer::Draw(const TGIFFrame& f, int number) {
  if (!composite_) return;
  const Rect r = FrameRect(f);
  const TRasterTarget composite = TRasterTarget::Of(*composite_);
  if (f.Disposal == 3) {
    // The bitmaps are kept while frames of one size follow each other.
    if (restore_.Picture.Width() != f.FrameWidth || restore_.Picture.Height() != f.FrameHeight)
      restore_.Picture = TColorBitmap(f.FrameWidth, f.FrameHeight);
    if (compositeMask_ && (restore_.Mask.Width() != f.FrameWidth || restore_.Mask.Height() != f.FrameHeight))
      restore_.Mask = TMonoBitmap(f.FrameWidth, f.FrameHeight, false);
    if (compositeMask_) CopyArea(restore_.Mask, *compositeMask_, f.FrameLeft, f.FrameTop);
    CopyArea(restore_.Picture, *composite_, f.FrameLeft, f.FrameTop);
    restore_.Frame = number;
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

void TGIFComposer::Dispose(const TGIFFrame& f, int number) {
  if (!composite_) return;
  const Rect r = FrameRect(f);
  switch (f.Disposal) {
    case 2:
      // Transparent and black: the stream's background colour is not used.
      if (compositeMask_) PatBlt(*compositeMask_, r, TRasterOp::Whiteness);
      PatBlt(TRasterTarget::Of(*composite_), r, TRasterOp::Blackness);
      break;
    case 3:
      // Only what was saved when this frame was drawn comes back.
      if (restore_.Frame != number) break;
      if (compositeMask_) StretchBlt(*compositeMask_, r, TRasterSource::Of(restore_.Mask), TRasterOp::SrcCopy);
      StretchBlt(TRasterTarget::Of(*composite_), r, TRasterSource::Of(restore_.Picture), TRasterOp::SrcCopy);
      break;
    default:
      break;
  }
}

std::size_t TGIFComposer::Memory() const {
  std::size_t bytes = restore_.Picture.ByteSize() + restore_.Mask.ByteSize();
  if (composite_) bytes += composite_->ByteSize();
  if (compositeMask_) bytes += compositeMask_->ByteSize();
  return bytes;
}

}  // namespace kelpo
