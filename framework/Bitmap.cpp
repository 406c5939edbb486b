#include "framework/Bitmap.h"

#include <cstring>

#include "base/Exception.h"

namespace kelpo {
namespace {

constexpr const char* InvalidBitmap = "Bitmap image is not valid";

std::uint32_t Read16(std::span<const std::uint8_t> b, std::size_t at) {
  if (at + 2 > b.size()) throw Exception(InvalidBitmap);
  return b[at] | (b[at + 1] << 8);
}

std::uint32_t Read32(std::span<const std::uint8_t> b, std::size_t at) {
  if (at + 4 > b.size()) throw Exception(InvalidBitmap);
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

TBitmap::TBitmap(int width, int height, std::uint32_t fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void TBitmap::LoadFromBmp(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') throw Exception(InvalidBitmap);
  const std::uint32_t dataOffset = Read32(bytes, 10);
  const std::uint32_t headerSize = Read32(bytes, 14);
  if (headerSize < 40) throw Exception(InvalidBitmap);  // core headers are not used by this program
  const std::int32_t width = static_cast<std::int32_t>(Read32(bytes, 18));
  const std::int32_t rawHeight = static_cast<std::int32_t>(Read32(bytes, 22));
  const std::uint32_t planes = Read16(bytes, 26);
  const std::uint32_t bits = Read16(bytes, 28);
  const std::uint32_t compression = Read32(bytes, 30);
  std::uint32_t colorsUsed = Read32(bytes, 46);
  const bool bitfields = compression == 3 && bits == 32;
  if (planes != 1 || (compression != 0 && !bitfields)) throw Exception(InvalidBitmap);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) throw Exception(InvalidBitmap);
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || width > 32768) throw Exception(InvalidBitmap);
  const bool topDown = rawHeight < 0;
  const std::int32_t height = topDown ? -rawHeight : rawHeight;
  if (height > 32768) throw Exception(InvalidBitmap);

  std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  if (bitfields) {
    for (int i = 0; i < 3; ++i) masks[i] = Read32(bytes, 54 + 4 * i);
    if (masks[0] != 0x00FF0000 || masks[1] != 0x0000FF00 || masks[2] != 0x000000FF) throw Exception(InvalidBitmap);
  }

  std::vector<std::uint32_t> palette;
  if (bits <= 8) {
    if (colorsUsed == 0 || colorsUsed > (1u << bits)) colorsUsed = 1u << bits;
    const std::size_t paletteAt = 14 + headerSize;
    for (std::uint32_t i = 0; i < colorsUsed; ++i) palette.push_back(Read32(bytes, paletteAt + 4 * i) & 0xFFFFFF);
  }

  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  if (dataOffset > bytes.size() || stride * height > bytes.size() - dataOffset) throw Exception(InvalidBitmap);

  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (std::int32_t row = 0; row < height; ++row) {
    const std::uint8_t* src = bytes.data() + dataOffset + stride * row;
    const std::int32_t y = topDown ? row : height - 1 - row;
    std::uint32_t* dst = pixels.data() + static_cast<std::size_t>(y) * width;
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint32_t pixel;
      if (bits == 24) {
        pixel = src[3 * x] | (src[3 * x + 1] << 8) | (src[3 * x + 2] << 16);
      } else if (bits == 32) {
        std::uint32_t v;
        std::memcpy(&v, src + 4 * x, 4);
        pixel = v & 0xFFFFFF;
      } else {
        const unsigned perByte = 8 / bits;
        const unsigned shift = 8 - bits * (1 + x % perByte);
        const unsigned index = (src[x / perByte] >> shift) & ((1u << bits) - 1);
        pixel = index < palette.size() ? palette[index] : 0;
      }
      dst[x] = pixel;
    }
  }
  width_ = width;
  height_ = height;
  pixels_ = std::move(pixels);
}

void TBitmap::LoadFromFile(FileSystem& files, const std::string& path) {
  auto bytes = files.ReadFile(path);
  if (!bytes) throw Exception("Cannot open file " + path);
  LoadFromBmp(*bytes);
}

std::vector<std::uint8_t> TBitmap::SaveToBmp() const {
  const std::uint32_t stride = ((static_cast<std::uint32_t>(width_) * 24 + 31) / 32) * 4;
  const std::uint32_t imageSize = stride * height_;
  std::vector<std::uint8_t> out;
  out.reserve(54 + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + imageSize);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, width_);
  Put32(out, height_);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, imageSize);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      std::uint32_t p = Pixel(x, y);
      out.push_back(p & 0xFF);
      out.push_back((p >> 8) & 0xFF);
      out.push_back((p >> 16) & 0xFF);
    }
    for (std::uint32_t pad = width_ * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace kelpo
