#include <gtest/gtest.h>

#include "platform/win32/Win32Graphics.h"

namespace kelpo {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

void Fill(Surface& surface, std::uint32_t pixel) {
  std::uint32_t* pixels = surface.Pixels();
  for (int i = 0; i < surface.Width() * surface.Height(); ++i) pixels[i] = pixel;
}

// Pixels in columns [left, right) that are not `pixel`, ignoring the unused top byte.
int PixelsOtherThan(Surface& surface, std::uint32_t pixel, int left, int right) {
  const std::uint32_t* pixels = surface.Pixels();
  int count = 0;
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = left; x < right; ++x) count += (pixels[y * surface.Width() + x] & 0xFFFFFF) != pixel ? 1 : 0;
  return count;
}

TEST(Win32GraphicsTest, SurfaceIsTopDownWithRgbPixels) {
  Win32Graphics graphics;
  auto surface = graphics.CreateWin32Surface(4, 3);
  EXPECT_EQ(surface->Width(), 4);
  EXPECT_EQ(surface->Height(), 3);
  Fill(*surface, 0);
  surface->Pixels()[0] = PixelOf(Rgb(255, 0, 0));
  surface->Pixels()[2 * 4 + 3] = PixelOf(Rgb(0, 128, 255));
  // GDI reads the same memory: the first pixel is the top-left one.
  EXPECT_EQ(GetPixel(surface->DC(), 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(surface->DC(), 3, 2), RGB(0, 128, 255));
  EXPECT_EQ(GetPixel(surface->DC(), 3, 0), RGB(0, 0, 0));

  auto empty = graphics.CreateSurface(0, 5);
  EXPECT_EQ(empty->Width(), 0);
  EXPECT_EQ(empty->Height(), 0);
}

TEST(Win32GraphicsTest, DrawTextPaintsInTheFontColourInsideTheClipOnly) {
  Win32Graphics graphics;
  auto surface = graphics.CreateSurface(120, 24);
  const FontSpec font{.Name = "MS Sans Serif", .Height = -11, .TextColor = Rgb(255, 0, 0)};

  Fill(*surface, kWhite);
  surface->DrawText(Rect{0, 0, 120, 24}, Point{2, 4}, "Kelpo Kelpo Kelpo", font);
  EXPECT_GT(PixelsOtherThan(*surface, kWhite, 0, 120), 20);
  // Red text on white: every changed pixel keeps full red and equal green and blue.
  const std::uint32_t* pixels = surface->Pixels();
  int red = 0;
  for (int i = 0; i < 120 * 24; ++i) {
    const std::uint32_t p = pixels[i] & 0xFFFFFF;
    if (p == kWhite) continue;
    EXPECT_EQ(p >> 16, 0xFFu);
    EXPECT_EQ((p >> 8) & 0xFF, p & 0xFF);
    red += p == PixelOf(Rgb(255, 0, 0)) ? 1 : 0;
  }
  EXPECT_GT(red, 0);

  Fill(*surface, kWhite);
  surface->DrawText(Rect{0, 0, 30, 24}, Point{2, 4}, "Kelpo Kelpo Kelpo", font);
  EXPECT_GT(PixelsOtherThan(*surface, kWhite, 0, 30), 0);
  EXPECT_EQ(PixelsOtherThan(*surface, kWhite, 30, 120), 0) << "clipped";
}

TEST(Win32GraphicsTest, MeasureTextFollowsTextAndFont) {
  Win32Graphics graphics;
  auto surface = graphics.CreateSurface(1, 1);
  const FontSpec normal{.Name = "MS Sans Serif", .Height = -11};
  FontSpec bold = normal;
  bold.Bold = true;
  FontSpec large = normal;
  large.Height = -22;

  const Size one = surface->MeasureText("Kelpo", normal);
  const Size two = surface->MeasureText("Kelpo Kelpo", normal);
  EXPECT_GT(one.Width, 0);
  EXPECT_GE(one.Height, 11);
  EXPECT_GT(two.Width, one.Width);
  EXPECT_GE(surface->MeasureText("Kelpo", bold).Width, one.Width);
  EXPECT_GT(surface->MeasureText("Kelpo", large).Height, one.Height);
  // The service measures as the surfaces draw, before any surface exists for a label.
  EXPECT_EQ(graphics.MeasureText("first", normal), surface->MeasureText("first", normal));
  EXPECT_EQ(graphics.MeasureText("Kelpo", bold), surface->MeasureText("Kelpo", bold));
  EXPECT_GT(graphics.MeasureText("first", normal).Width, graphics.MeasureText("on", normal).Width);
}

}  // namespace
}  // namespace kelpo
