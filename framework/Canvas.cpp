#include "framework/Canvas.h"

#include <algorithm>

namespace kelpo {
namespace {

Rect Intersect(const Rect& a, const Rect& b) {
  int left = std::max(a.Left, b.Left), top = std::max(a.Top, b.Top);
  int right = std::min(a.Right(), b.Right()), bottom = std::min(a.Bottom(), b.Bottom());
  if (right <= left || bottom <= top) return Rect{left, top, 0, 0};
  return Rect{left, top, right - left, bottom - top};
}

}  // namespace

TCanvas::TCanvas(Surface& surface, Point origin, Rect clip)
    : surface_(surface), origin_(origin), clip_(Intersect(clip, Rect{0, 0, surface.Width(), surface.Height()})) {}

Rect TCanvas::ToSurface(const Rect& r) const {
  return Intersect(Rect{r.Left + origin_.X, r.Top + origin_.Y, r.Width, r.Height}, clip_);
}

void TCanvas::FillRect(const Rect& r, Color color) {
  Rect area = ToSurface(r);
  std::uint32_t pixel = PixelOf(color);
  std::uint32_t* pixels = surface_.Pixels();
  for (int y = area.Top; y < area.Bottom(); ++y)
    std::fill_n(pixels + static_cast<std::size_t>(y) * surface_.Width() + area.Left, area.Width, pixel);
}

void TCanvas::Frame3D(const Rect& r, Color topLeft, Color bottomRight) {
  FillRect(Rect{r.Left, r.Top, r.Width, 1}, topLeft);
  FillRect(Rect{r.Left, r.Top, 1, r.Height}, topLeft);
  FillRect(Rect{r.Left, r.Bottom() - 1, r.Width, 1}, bottomRight);
  FillRect(Rect{r.Right() - 1, r.Top, 1, r.Height}, bottomRight);
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  Rect area = ToSurface(Rect{x, y, bitmap.Width(), bitmap.Height()});
  std::uint32_t* pixels = surface_.Pixels();
  const int sourceX = area.Left - (x + origin_.X), sourceY = area.Top - (y + origin_.Y);
  for (int row = 0; row < area.Height; ++row) {
    const std::uint32_t* src =
        bitmap.Pixels().data() + static_cast<std::size_t>(sourceY + row) * bitmap.Width() + sourceX;
    std::copy_n(src, area.Width, pixels + static_cast<std::size_t>(area.Top + row) * surface_.Width() + area.Left);
  }
}

void TCanvas::TextOut(int x, int y, const std::string& text, const FontSpec& font) {
  if (clip_.Width <= 0 || clip_.Height <= 0) return;
  surface_.DrawText(clip_, Point{x + origin_.X, y + origin_.Y}, text, font);
}

Size TCanvas::TextExtent(const std::string& text, const FontSpec& font) {
  return surface_.MeasureText(text, font);
}

}  // namespace kelpo
