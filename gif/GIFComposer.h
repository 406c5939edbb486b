#pragma once
// TGIFComposer: the composed picture of a GIF animation. Frames (see
// gif/GIFDecoder.h) are drawn one at a time onto Composite, the picture of the
// whole GIF, black wherever no opaque pixel has been drawn, and onto
// CompositeMask (only when some frame is transparent; bit 1 transparent):
// - an opaque frame replaces its rectangle and makes it opaque;
// - a transparent frame replaces the pixels that are opaque in its own mask and
//   makes them opaque; its transparent pixels leave both as they were.
//
// Before the next frame is drawn, the frame shown is disposed of by its method:
// - 0 and 1: nothing;
// - 2: its rectangle becomes transparent and black (the stream's background
//   colour is not used);
// - 3: what lay under it before it was drawn comes back. Only the area under
//   the frame drawn last is kept, saved when it was drawn: frames are composed
//   incrementally, so the frame disposed of is the one drawn last, and one
//   area is all the composition needs. Disposing of a frame that was not the
//   last one drawn restores nothing.
//
// Drawing uses the raster operations of framework/RasterOps.h.

#include <cstddef>
#include <memory>

#include "framework/RasterOps.h"
#include "gif/GIFDecoder.h"

namespace kelpo {

class TGIFComposer {
 public:
  // A black composite of width x height, with an all-transparent mask when
  // `withMask`; the restore area is forgotten.
  void Start(int width, int height, bool withMask);
  // Frees the composite, its mask and the restore area.
  void Clear();
  // Frees the restore area only (it belongs to the frames).
  void ReleaseRestoreArea();

  const TColorBitmap* Composite() const { return composite_.get(); }
  const TMonoBitmap* CompositeMask() const { return compositeMask_.get(); }

  // Draws `frame`, number `number` of its picture; for a frame of disposal 3
  // the area under it is saved first. Nothing without a composite.
  void Draw(const TGIFFrame& frame, int number);
  // Applies the disposal of `frame`, number `number` of its picture.
  void Dispose(const TGIFFrame& frame, int number);

  // Bytes held by the composite, its mask and the restore area.
  std::size_t Memory() const;

  // The frame's rows as raster sources.
  static TRasterSource PictureOf(const TGIFFrame& frame);
  static TRasterSource MaskOf(const TGIFFrame& frame);

 private:
  struct TRestoreArea {
    int Frame = 0;  // the frame it was saved for; 0 for none
    TColorBitmap Picture;
    TMonoBitmap Mask;
  };

  std::unique_ptr<TColorBitmap> composite_;
  std::unique_ptr<TMonoBitmap> compositeMask_;
  TRestoreArea restore_;
};

}  // namespace kelpo
