#pragma once
// Raster operations on pixels, the portable form of GDI's StretchBlt and
// PatBlt. Each operation is defined by its effect on a destination pixel D
// and a source pixel S:
//
//   SrcCopy    D = S
//   SrcAnd     D = D AND S
//   SrcInvert  D = D XOR S
//   PatCopy    D = the brush colour
//   Blackness  D = black (all bits 0)
//   Whiteness  D = white (all bits 1)
//
// Colours are 0x00RRGGBB, so white is 0x00FFFFFF. A monochrome source gives
// white for bit 1 and black for bit 0; written into a monochrome destination,
// a colour becomes bit 1 when it is white. Scaling takes for every
// destination pixel the source pixel under its centre (surfaces here are true
// colour, so no halftoning or palette realisation is needed).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/Canvas.h"
#include "platform/Types.h"

namespace kelpo {

enum class TRasterOp { SrcCopy, SrcAnd, SrcInvert, PatCopy, Blackness, Whiteness };

constexpr std::uint32_t RasterBlack = 0x000000;
constexpr std::uint32_t RasterWhite = 0xFFFFFF;

// A colour bitmap: 32-bit pixels, top row first.
class TColorBitmap {
 public:
  TColorBitmap() = default;
  TColorBitmap(int width, int height, std::uint32_t fill = RasterBlack);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::uint32_t Pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  std::uint32_t* Pixels() { return pixels_.data(); }
  const std::uint32_t* Pixels() const { return pixels_.data(); }
  std::size_t ByteSize() const { return pixels_.size() * sizeof(std::uint32_t); }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

// A monochrome bitmap: one bit per pixel, most significant bit first, rows of
// whole 32-bit words, top row first; bit 1 is white.
class TMonoBitmap {
 public:
  TMonoBitmap() = default;
  TMonoBitmap(int width, int height, bool white);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::size_t Stride() const { return stride_; }
  bool Bit(int x, int y) const { return (Row(y)[x >> 3] >> (7 - (x & 7))) & 1; }
  std::uint8_t* Row(int y) { return bits_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* Row(int y) const { return bits_.data() + static_cast<std::size_t>(y) * stride_; }
  std::size_t ByteSize() const { return bits_.size(); }

 private:
  int width_ = 0;
  int height_ = 0;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> bits_;
};

// A bitmap read as the source of an operation, held by someone else: a colour
// bitmap, an 8-bit palette DIB (indices past the palette read as black) or a
// 1-bit DIB, with rows top-down or bottom-up.
struct TRasterSource {
  enum class TFormat { Color32, Indexed8, Mono1 };
  TFormat Format = TFormat::Color32;
  int Width = 0;
  int Height = 0;
  const std::uint8_t* Bits = nullptr;
  std::size_t Stride = 0;  // bytes per row
  bool BottomUp = false;
  const std::uint8_t* PaletteRGB = nullptr;  // Indexed8: red, green, blue triples
  int PaletteEntries = 0;

  static TRasterSource Of(const TColorBitmap& bitmap);
  static TRasterSource Of(const TMonoBitmap& bitmap);

  // Image row y (0 = top).
  const std::uint8_t* Row(int y) const {
    return Bits + static_cast<std::size_t>(BottomUp ? Height - 1 - y : y) * Stride;
  }
};

// Where colour operations draw: 32-bit pixels of `Width` per row, the point
// where (0, 0) of the rectangles lies, and the clip (target coordinates).
struct TRasterTarget {
  std::uint32_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  Point Origin;
  Rect Clip;

  static TRasterTarget Of(TColorBitmap& bitmap);
  // In the canvas's coordinates and clip.
  static TRasterTarget Of(TCanvas& canvas);
};

// The intersection, Width and Height 0 when empty.
Rect IntersectRect(const Rect& a, const Rect& b);
inline bool IsEmptyRect(const Rect& r) {
  return r.Width <= 0 || r.Height <= 0;
}

// The whole source scaled into `r` and combined by SrcCopy, SrcAnd or SrcInvert.
void StretchBlt(const TRasterTarget& target, const Rect& r, const TRasterSource& source, TRasterOp op);
void StretchBlt(TMonoBitmap& target, const Rect& r, const TRasterSource& source, TRasterOp op);
// Fills `r` by PatCopy (with `brush`), Blackness or Whiteness.
void PatBlt(const TRasterTarget& target, const Rect& r, TRasterOp op, std::uint32_t brush = RasterBlack);
void PatBlt(TMonoBitmap& target, const Rect& r, TRasterOp op, std::uint32_t brush = RasterBlack);

}  // namespace kelpo
