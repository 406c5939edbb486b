#include "framework/Icon.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "base/Exception.h"

namespace kelpo {
namespace {

constexpr std::size_t DirectorySize = 6;
constexpr std::size_t EntrySize = 16;
constexpr std::size_t InfoHeaderSize = 40;

[[noreturn]] void NotValid() {
  throw Exception("Icon image is not valid");
}

std::uint32_t Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at + 2 > bytes.size()) NotValid();
  return bytes[at] | (bytes[at + 1] << 8);
}

std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at + 4 > bytes.size()) NotValid();
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

struct Entry {
  int Size = 0;  // width of the directory entry, 0 meaning 256
  std::uint32_t BitCount = 0;
  std::span<const std::uint8_t> Data;
};

Entry ChooseEntry(std::span<const std::uint8_t> bytes, int preferredSize) {
  if (Read16(bytes, 0) != 0 || Read16(bytes, 2) != 1) NotValid();
  const std::uint32_t count = Read16(bytes, 4);
  if (count == 0) NotValid();
  std::optional<Entry> chosen;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = DirectorySize + i * EntrySize;
    if (at + EntrySize > bytes.size()) NotValid();
    Entry entry;
    entry.Size = bytes[at] ? bytes[at] : 256;
    entry.BitCount = Read16(bytes, at + 6);
    const std::uint32_t length = Read32(bytes, at + 8);
    const std::uint32_t offset = Read32(bytes, at + 12);
    if (offset > bytes.size() || length > bytes.size() - offset) NotValid();
    entry.Data = bytes.subspan(offset, length);
    const bool better = !chosen || (entry.Size == preferredSize &&
                                    (chosen->Size != preferredSize || entry.BitCount > chosen->BitCount));
    if (better) chosen = entry;
  }
  return *chosen;
}

IconImage ReadPicture(std::span<const std::uint8_t> data) {
  if (Read32(data, 0) < InfoHeaderSize) NotValid();
  const auto width = static_cast<std::int32_t>(Read32(data, 4));
  const auto doubleHeight = static_cast<std::int32_t>(Read32(data, 8));
  const std::uint32_t planes = Read16(data, 12);
  const std::uint32_t bitCount = Read16(data, 14);
  const std::uint32_t compression = Read32(data, 16);
  std::uint32_t colours = Read32(data, 32);
  // The height counts the colour rows and the mask rows.
  if (width < 1 || width > 256 || doubleHeight < 2 || doubleHeight > 512 || doubleHeight % 2 != 0) NotValid();
  if (planes != 1 || compression != 0) NotValid();
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) NotValid();
  const int height = doubleHeight / 2;
  if (bitCount > 8)
    colours = 0;
  else if (colours == 0 || colours > (1u << bitCount))
    colours = 1u << bitCount;

  const std::size_t paletteAt = Read32(data, 0);
  const std::size_t pixelsAt = paletteAt + colours * 4;
  const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
  const std::size_t maskAt = pixelsAt + stride * height;
  const std::size_t maskStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  if (paletteAt > data.size() || maskAt + maskStride * height > data.size()) NotValid();

  auto paletteColour = [&](std::size_t index) -> std::uint32_t {
    if (index >= colours) return 0;
    const std::size_t at = paletteAt + index * 4;
    return (data[at + 2] << 16) | (data[at + 1] << 8) | data[at];
  };

  IconImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels.assign(static_cast<std::size_t>(width) * height, 0);
  bool anyAlpha = false;
  for (int row = 0; row < height; ++row) {
    // Rows are stored bottom-up.
    const std::uint8_t* line = data.data() + pixelsAt + stride * (height - 1 - row);
    for (int x = 0; x < width; ++x) {
      std::uint32_t pixel = 0;
      switch (bitCount) {
        case 1:
          pixel = paletteColour((line[x / 8] >> (7 - x % 8)) & 1);
          break;
        case 4:
          pixel = paletteColour((line[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
          break;
        case 8:
          pixel = paletteColour(line[x]);
          break;
        case 24:
          pixel = (line[x * 3 + 2] << 16) | (line[x * 3 + 1] << 8) | line[x * 3];
          break;
        case 32:
          pixel = (static_cast<std::uint32_t>(line[x * 4 + 3]) << 24) | (line[x * 4 + 2] << 16) |
                  (line[x * 4 + 1] << 8) | line[x * 4];
          anyAlpha = anyAlpha || line[x * 4 + 3] != 0;
          break;
      }
      image.Pixels[static_cast<std::size_t>(row) * width + x] = pixel;
    }
  }
  // A 32-bit picture with an alpha channel says itself what is transparent;
  // every other picture is opaque where its mask bit is clear.
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* mask = data.data() + maskAt + maskStride * (height - 1 - row);
    for (int x = 0; x < width; ++x) {
      std::uint32_t& pixel = image.Pixels[static_cast<std::size_t>(row) * width + x];
      const bool transparent = anyAlpha ? (pixel >> 24) == 0 : ((mask[x / 8] >> (7 - x % 8)) & 1) != 0;
      pixel = transparent ? 0 : (pixel | 0xFF000000u);
    }
  }
  return image;
}

}  // namespace

IconImage ReadIconFile(std::span<const std::uint8_t> bytes, int preferredSize) {
  const Entry entry = ChooseEntry(bytes, preferredSize);
  static constexpr std::uint8_t PngSignature[] = {0x89, 'P', 'N', 'G'};
  if (entry.Data.size() >= 4 && std::equal(PngSignature, PngSignature + 4, entry.Data.begin())) NotValid();
  return ReadPicture(entry.Data);
}

void TIcon::SetImage(IconImage image) {
  image_ = std::move(image);
  if (OnChange) OnChange();
}

void TIcon::LoadFromIconFile(std::span<const std::uint8_t> bytes, int preferredSize) {
  SetImage(ReadIconFile(bytes, preferredSize));
}

}  // namespace kelpo
