#pragma once
// Device-independent bitmaps held as 32-bit pixels (0x00RRGGBB, top row
// first), read from and written to BMP files by portable code.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace kelpo {

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height, std::uint32_t fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::uint32_t Pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  void SetPixel(int x, int y, std::uint32_t pixel) { pixels_[static_cast<std::size_t>(y) * width_ + x] = pixel; }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

  // Reads an uncompressed BMP file (1, 4, 8, 24 or 32 bits per pixel, bottom-up
  // or top-down). Throws "Bitmap image is not valid" on anything else.
  void LoadFromBmp(std::span<const std::uint8_t> bytes);
  // Throws "Cannot open file <path>" when the file cannot be read.
  void LoadFromFile(FileSystem& files, const std::string& path);
  // A 24-bit bottom-up BMP file.
  std::vector<std::uint8_t> SaveToBmp() const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace kelpo
