// BMP files read and written by portable code.

#include <gtest/gtest.h>

#include <fstream>

#include "base/Exception.h"
#include "framework/Bitmap.h"
#include "platform/sim/SimFileSystem.h"
#include "tests/support/TempFolder.h"

namespace kelpo {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back((value >> (8 * i)) & 0xFF);
}

// A BMP file with a 40-byte header; `rows` are the stored rows, already padded.
std::vector<std::uint8_t> BmpFile(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                                  const std::vector<std::uint8_t>& rows, std::uint32_t compression = 0) {
  std::vector<std::uint8_t> out{'B', 'M'};
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(palette.size());
  Put(out, offset + static_cast<std::uint32_t>(rows.size()), 4);
  Put(out, 0, 4);
  Put(out, offset, 4);
  Put(out, 40, 4);
  Put(out, static_cast<std::uint32_t>(width), 4);
  Put(out, static_cast<std::uint32_t>(height), 4);
  Put(out, 1, 2);
  Put(out, bits, 2);
  Put(out, compression, 4);
  Put(out, static_cast<std::uint32_t>(rows.size()), 4);
  Put(out, 2835, 4);
  Put(out, 2835, 4);
  Put(out, static_cast<std::uint32_t>(palette.size()), 4);
  Put(out, 0, 4);
  for (std::uint32_t colour : palette) Put(out, colour, 4);  // 0x00RRGGBB is stored blue, green, red, 0
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

TEST(Bitmap, SaveAndLoadKeepEveryPixel) {
  TBitmap original(3, 2);  // three 24-bit pixels need a padded row
  const std::uint32_t colours[] = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000001};
  for (int i = 0; i < 6; ++i) original.SetPixel(i % 3, i / 3, colours[i]);

  const std::vector<std::uint8_t> file = original.SaveToBmp();
  ASSERT_EQ(file.size(), 54u + 2 * 12);
  const auto bytes = [&](std::size_t at) {
    return std::vector<std::uint8_t>(file.begin() + at, file.begin() + at + 3);
  };
  EXPECT_EQ(file[28], 24);  // bits per pixel
  // The bottom row comes first, each pixel as blue, green, red.
  EXPECT_EQ(bytes(54), (std::vector<std::uint8_t>{0xFF, 0x00, 0x00}));
  EXPECT_EQ(bytes(66), (std::vector<std::uint8_t>{0x30, 0x20, 0x10}));

  TBitmap copy;
  copy.LoadFromBmp(file);
  EXPECT_EQ(copy.Width(), 3);
  EXPECT_EQ(copy.Height(), 2);
  EXPECT_EQ(copy.Pixels(), original.Pixels());
}

TEST(Bitmap, ReadsPaletteAndTopDownFiles) {
  const std::vector<std::uint32_t> palette{0x112233, 0xA0B0C0, 0xFFFFFF};
  TBitmap indexed;
  indexed.LoadFromBmp(BmpFile(3, 2, 8, palette, {2, 1, 0, 0, /* top: */ 0, 1, 2, 0}));
  EXPECT_EQ(indexed.Pixels(), (std::vector<std::uint32_t>{0x112233, 0xA0B0C0, 0xFFFFFF,  //
                                                          0xFFFFFF, 0xA0B0C0, 0x112233}));

  TBitmap topDown;
  topDown.LoadFromBmp(BmpFile(2, -2, 24, {},
                              {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0, 0,  // the top row first
                               0x09, 0x08, 0x07, 0x0C, 0x0B, 0x0A, 0, 0}));
  EXPECT_EQ(topDown.Height(), 2);
  EXPECT_EQ(topDown.Pixels(), (std::vector<std::uint32_t>{0x010203, 0x040506, 0x070809, 0x0A0B0C}));

  TBitmap mono;  // the leftmost pixel in the highest bit
  mono.LoadFromBmp(BmpFile(10, 1, 1, {0x000000, 0xFFFFFF}, {0b10110000, 0b01000000, 0, 0}));
  std::string shown;
  for (std::uint32_t pixel : mono.Pixels()) shown += pixel ? '#' : '.';
  EXPECT_EQ(shown, "#.##.....#");

  TBitmap wide;  // 32 bits per pixel: the fourth byte is ignored
  wide.LoadFromBmp(BmpFile(1, 1, 32, {}, {0x33, 0x22, 0x11, 0xFF}));
  EXPECT_EQ(wide.Pixel(0, 0), 0x112233u);
}

TEST(Bitmap, MalformedDataIsNoValidBitmap) {
  const std::vector<std::uint8_t> good = TBitmap(2, 2, 0x808080).SaveToBmp();
  std::vector<std::vector<std::uint8_t>> bad;
  bad.push_back({});
  bad.push_back(std::vector<std::uint8_t>(good.begin(), good.begin() + 30));  // header cut
  bad.push_back(std::vector<std::uint8_t>(good.begin(), good.end() - 1));     // pixels cut
  bad.push_back(good);
  bad.back()[0] = 'X';  // no "BM"
  bad.push_back(good);
  bad.back()[14] = 12;  // a core header
  bad.push_back(good);
  bad.back()[10] = 200;  // pixels beyond the end
  bad.push_back(BmpFile(2, 2, 16, {}, std::vector<std::uint8_t>(8)));
  bad.push_back(BmpFile(4, 1, 8, {0, 0xFFFFFF}, std::vector<std::uint8_t>(4), 1));  // run-length encoded
  bad.push_back(BmpFile(0, 1, 24, {}, {}));
  bad.push_back(BmpFile(1, 0, 24, {}, {}));
  std::vector<std::uint8_t> shortPalette = BmpFile(4, 1, 8, {0, 0xFFFFFF}, {0, 1, 1, 0});
  shortPalette.resize(58);
  bad.push_back(shortPalette);

  for (std::size_t i = 0; i < bad.size(); ++i) {
    TBitmap bitmap(1, 1, 0x123456);
    try {
      bitmap.LoadFromBmp(bad[i]);
      ADD_FAILURE() << "case " << i << " was read";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), "Bitmap image is not valid") << "case " << i;
    }
    EXPECT_EQ(bitmap.Pixel(0, 0), 0x123456u) << "case " << i;  // a failed read leaves the bitmap
  }
}

TEST(Bitmap, LoadFromFileNamesTheMissingPath) {
  TempFolder folder;
  SimFileSystem files;
  TBitmap bitmap;
  const std::string missing = folder.Path() + "\\images\\help.bmp";
  try {
    bitmap.LoadFromFile(files, missing);
    ADD_FAILURE() << "a missing file was read";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open file " + missing);
  }

  const std::string path = folder.Path() + "washnow.bmp";
  const auto bytes = TBitmap(2, 1, 0xABCDEF).SaveToBmp();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  bitmap.LoadFromFile(files, path);
  EXPECT_EQ(bitmap.Pixels(), (std::vector<std::uint32_t>{0xABCDEF, 0xABCDEF}));

  std::ofstream(path, std::ios::binary) << "GIF89a";
  EXPECT_THROW(bitmap.LoadFromFile(files, path), Exception);
}

}  // namespace
}  // namespace kelpo
