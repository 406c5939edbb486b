#pragma once
// Drawing onto a window's surface, in the coordinates of one control and
// clipped to it.

#include <string>

#include "framework/Bitmap.h"
#include "platform/Graphics.h"

namespace kelpo {

class TCanvas {
 public:
  // `origin` is the control's top-left corner on the surface; drawing is
  // clipped to `clip` (surface coordinates) and to the surface.
  TCanvas(Surface& surface, Point origin, Rect clip);

  Surface& Target() { return surface_; }
  // The control's top-left corner on the surface, and the clip in surface coordinates.
  Point Origin() const { return origin_; }
  const Rect& ClipRect() const { return clip_; }
  void FillRect(const Rect& r, Color color);
  // The raised or lowered 3-D edge of panels, one pixel wide.
  void Frame3D(const Rect& r, Color topLeft, Color bottomRight);
  void Draw(int x, int y, const TBitmap& bitmap);
  void TextOut(int x, int y, const std::string& text, const FontSpec& font);
  Size TextExtent(const std::string& text, const FontSpec& font);

 private:
  Rect ToSurface(const Rect& r) const;
  Surface& surface_;
  Point origin_;
  Rect clip_;
};

}  // namespace kelpo
