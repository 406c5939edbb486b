#pragma once
// Memory surfaces; text is recorded, not rasterised, so tests can read what
// was drawn where.

#include <vector>

#include "platform/Graphics.h"

namespace kelpo {

struct SimTextOp {
  Rect Clip;
  Point Origin;
  std::string Text;
  FontSpec Font;
};

class SimSurface : public Surface {
 public:
  SimSurface(int width, int height);
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  std::uint32_t* Pixels() override { return pixels_.data(); }
  std::uint32_t Pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  void DrawText(const Rect& clip, Point origin, const std::string& text, const FontSpec& font) override;
  Size MeasureText(const std::string& text, const FontSpec& font) override;
  const std::vector<SimTextOp>& Texts() const { return texts_; }
  // The texts drawn, in order, joined by "|".
  std::string TextLine() const;

 private:
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
  std::vector<SimTextOp> texts_;
};

// Text extents in the simulation: a fixed advance per character of half the
// line height, so that tests can work sizes out by hand.
Size SimTextExtent(const std::string& text, const FontSpec& font);

class SimGraphics : public Graphics {
 public:
  std::unique_ptr<Surface> CreateSurface(int width, int height) override;
  Size MeasureText(const std::string& text, const FontSpec& font) override { return SimTextExtent(text, font); }
};

}  // namespace kelpo
