// Icon-file data read into icon pictures: the program's own icons, and
// malformed files as small recipes named after what is wrong with them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "framework/Icon.h"
#include "framework/Resources.h"

namespace kelpo {
namespace {

constexpr std::uint32_t Transparent = 0;
constexpr std::uint32_t DarkRed = 0xFF800000;
constexpr std::uint32_t White = 0xFFFFFFFF;
constexpr std::uint32_t Grey = 0xFF808080;

std::vector<std::uint8_t> Resource(const std::string& name) {
  auto bytes = FindResource(name);
  return {bytes.begin(), bytes.end()};
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A one-picture icon file of a 2 x 2 picture: 1 bit per pixel (palette black,
// red) or 32 bits with alpha, and its mask.
struct Recipe {
  std::uint32_t bitCount = 1;
  std::vector<std::uint8_t> rows;  // colour rows, bottom-up, padded
  std::vector<std::uint8_t> mask = {0x40, 0, 0, 0, 0x00, 0, 0, 0};
  std::uint32_t height = 4;  // doubled for the mask
};

std::vector<std::uint8_t> IconFile(const Recipe& r) {
  std::vector<std::uint8_t> image;
  Put32(image, 40);
  Put32(image, 2);
  Put32(image, r.height);
  Put16(image, 1);
  Put16(image, r.bitCount);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  if (r.bitCount == 1) {
    Put32(image, 0x00000000);
    Put32(image, 0x00FF0000);  // red, as blue-green-red-zero
  }
  image.insert(image.end(), r.rows.begin(), r.rows.end());
  image.insert(image.end(), r.mask.begin(), r.mask.end());
  std::vector<std::uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, 1);
  file.insert(file.end(), {2, 2, 0, 0});
  Put16(file, 1);
  Put16(file, r.bitCount);
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, 22);
  file.insert(file.end(), image.begin(), image.end());
  return file;
}

Recipe OneBit() {
  Recipe r;
  // Bottom row: black, red; top row: red, red (bits from the left).
  r.rows = {0x40, 0, 0, 0, 0xC0, 0, 0, 0};
  return r;
}

TEST(IconFile, TheTrayIconIsA16ColourGlobeTransparentOutsideItsCircle) {
  const auto bytes = Resource("TrayIcon.ico");
  ASSERT_EQ(bytes.size(), 318u) << "22 bytes of directory, 296 of picture";
  EXPECT_EQ(bytes[6 + 4], 1) << "one plane";
  EXPECT_EQ(bytes[6 + 6], 4) << "4 bits per pixel";
  const IconImage image = ReadIconFile(bytes);
  ASSERT_EQ(image.Width, 16);
  ASSERT_EQ(image.Height, 16);
  auto at = [&](int x, int y) { return image.Pixels[static_cast<std::size_t>(y) * 16 + x]; };
  EXPECT_EQ(at(0, 0), Transparent);
  EXPECT_EQ(at(15, 15), Transparent);
  EXPECT_EQ(at(0, 7), Grey) << "the rim";
  EXPECT_EQ(at(2, 5), DarkRed);
  EXPECT_EQ(at(7, 7), White) << "where the equator meets the central meridian";
  for (std::uint32_t pixel : image.Pixels)
    EXPECT_TRUE(pixel == Transparent || pixel == DarkRed || pixel == White || pixel == Grey) << std::hex << pixel;
}

TEST(IconFile, TheProgramIconHoldsTheGlobeAtThreeSizes) {
  const auto bytes = Resource("Kelpo.ico");
  struct Case {
    int preferred, size;
  } cases[] = {{16, 16}, {32, 32}, {48, 48}, {24, 16}};
  for (const Case& c : cases) {
    const IconImage image = ReadIconFile(bytes, c.preferred);
    EXPECT_EQ(image.Width, c.size) << "preferred " << c.preferred;
    EXPECT_EQ(image.Height, c.size);
    EXPECT_EQ(image.Pixels.front(), Transparent);
    const auto count = [&](std::uint32_t colour) {
      return std::count(image.Pixels.begin(), image.Pixels.end(), colour);
    };
    EXPECT_GT(count(DarkRed), c.size * c.size / 5) << c.size;
    EXPECT_GT(count(White), c.size * c.size / 10) << c.size;
    EXPECT_GT(count(Grey), c.size * 2) << c.size;
    EXPECT_EQ(count(DarkRed) + count(White) + count(Grey) + count(Transparent), c.size * c.size);
  }
  EXPECT_EQ(ReadIconFile(bytes), ReadIconFile(Resource("TrayIcon.ico"))) << "the same emblem as the tray icon";
}

TEST(IconFile, MaskAndAlphaDecideTransparency) {
  const IconImage mono = ReadIconFile(IconFile(OneBit()));
  // Top row red, red; bottom row black, red with the second masked out.
  EXPECT_EQ(mono.Pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFF0000, 0xFF000000, Transparent}));

  Recipe alpha;
  alpha.bitCount = 32;
  alpha.rows = {0, 0, 0xFF, 0xFF, 0, 0, 0, 0, /* top */ 0xFF, 0, 0, 0x80, 0, 0xFF, 0, 0xFF};
  alpha.mask = {0, 0, 0, 0, 0, 0, 0, 0};
  const IconImage rgba = ReadIconFile(IconFile(alpha));
  EXPECT_EQ(rgba.Pixels, (std::vector<std::uint32_t>{0xFF0000FF, 0xFF00FF00, 0xFFFF0000, Transparent}))
      << "any alpha counts as opaque; the mask is not used";

  TIcon icon;
  int changes = 0;
  icon.OnChange = [&] { ++changes; };
  icon.LoadFromIconFile(IconFile(OneBit()));
  EXPECT_EQ(icon.Image(), mono);
  EXPECT_EQ(changes, 1);
  icon.Clear();
  EXPECT_TRUE(icon.Empty());
  EXPECT_EQ(changes, 2);
}

TEST(IconFile, MalformedFilesAreNotValidIcons) {
  auto file = [](std::function<void(std::vector<std::uint8_t>&)> change) {
    std::vector<std::uint8_t> bytes = IconFile(OneBit());
    change(bytes);
    return bytes;
  };
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"cursor file", file([](auto& b) { b[2] = 2; })},
      {"no pictures", file([](auto& b) { b[4] = 0; })},
      {"entry beyond the file", file([](auto& b) { b[6 + 12] = 200; })},
      {"picture longer than the file", file([](auto& b) { b[6 + 8] = 250; })},
      {"truncated mask", file([](auto& b) { b.resize(b.size() - 3), b[6 + 8] -= 3; })},
      {"png picture", file([](auto& b) { b[22] = 0x89, b[23] = 'P', b[24] = 'N', b[25] = 'G'; })},
      {"odd height", file([](auto& b) { b[22 + 8] = 3; })},
      {"zero width", file([](auto& b) { b[22 + 4] = 0; })},
      {"3 bits per pixel", file([](auto& b) { b[22 + 14] = 3; })},
      {"compressed", file([](auto& b) { b[22 + 16] = 1; })},
  };
  for (const Case& c : cases) {
    try {
      ReadIconFile(c.bytes);
      ADD_FAILURE() << c.name << " was read";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), "Icon image is not valid") << c.name;
    }
  }
}

}  // namespace
}  // namespace kelpo
