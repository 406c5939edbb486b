#pragma once
// Drawing surfaces and text. Pixels are portable: the framework blits bitmaps
// into a surface by itself; only text needs the system (GDI on Windows;
// recorded, not rasterised, in the simulation).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Types.h"

namespace kelpo {

struct FontSpec {
  std::string Name = "MS Sans Serif";
  int Height = -11;  // negative: character height in pixels, as Windows fonts take it
  Color TextColor = 0;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool operator==(const FontSpec&) const = default;
};

// A 32-bit top-down pixel buffer, 0x00RRGGBB per pixel, stride = width.
class Surface {
 public:
  virtual ~Surface() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual std::uint32_t* Pixels() = 0;
  // Draws text with a transparent background, clipped to `clip`.
  virtual void DrawText(const Rect& clip, Point origin, const std::string& text, const FontSpec& font) = 0;
  virtual Size MeasureText(const std::string& text, const FontSpec& font) = 0;
};

class Graphics {
 public:
  virtual ~Graphics() = default;
  virtual std::unique_ptr<Surface> CreateSurface(int width, int height) = 0;
  // The extent of one line of text as every surface draws it, for controls that
  // size themselves before anything is painted.
  virtual Size MeasureText(const std::string& text, const FontSpec& font) = 0;
};

// Pixel value of a Windows colour in a surface.
constexpr std::uint32_t PixelOf(Color c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace kelpo
