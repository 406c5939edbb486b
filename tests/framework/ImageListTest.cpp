// Image lists: masked images drawn by index, and their stored form.

#include <gtest/gtest.h>

#include "framework/Canvas.h"
#include "framework/ImageList.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo {
namespace {

constexpr std::uint32_t Key = 0xFF00FF;

class FrameworkImageList : public ::testing::Test {
 protected:
  // Three 3 x 2 images: image i is filled with 0x10 * (i + 1), its top-left pixel transparent.
  TImageList& ThreeImages() {
    auto* list = new TImageList(root.get());
    list->SetSize(3, 2);
    TBitmap strip(9, 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 9; ++x) strip.SetPixel(x, y, x % 3 == 0 && y == 0 ? Key : 0x10u * (x / 3 + 1));
    EXPECT_EQ(list->AddMasked(strip, Key), 0);
    return *list;
  }

  FrameworkHarness h;
  std::unique_ptr<TComponent> root = std::make_unique<TComponent>(*h.app);
};

TEST_F(FrameworkImageList, DrawsByIndexLeavingTransparentPixelsAndClipping) {
  TImageList& list = ThreeImages();
  ASSERT_EQ(list.Count(), 3);
  SimSurface surface(6, 4);
  std::fill_n(surface.Pixels(), 24, 0xAAAAAAu);
  TCanvas canvas(surface, Point{1, 1}, Rect{0, 0, 4, 3});  // the canvas shows 4 x 3 of the surface
  list.Draw(canvas, 0, 0, 2);
  EXPECT_EQ(surface.Pixel(1, 1), 0xAAAAAAu) << "transparent";
  EXPECT_EQ(surface.Pixel(2, 1), 0x30u);
  EXPECT_EQ(surface.Pixel(3, 2), 0x30u);
  EXPECT_EQ(surface.Pixel(1, 2), 0x30u);
  list.Draw(canvas, 2, 1, 0);
  EXPECT_EQ(surface.Pixel(3, 2), 0x30u) << "the top-left pixel of image 0 is transparent";
  EXPECT_EQ(surface.Pixel(3, 3), 0xAAAAAAu) << "clipped below the canvas";
  list.Draw(canvas, 0, 0, 3);  // out of range: nothing
  list.Draw(canvas, 0, 0, -1);
  EXPECT_EQ(surface.Pixel(1, 1), 0xAAAAAAu);

  // Without the mask every pixel shows.
  list.Masked = false;
  list.Draw(canvas, 0, 0, 1);
  EXPECT_EQ(surface.Pixel(1, 1), Key);
  EXPECT_EQ(surface.Pixel(2, 1), 0x20u);
}

TEST_F(FrameworkImageList, GivesAnImageAndItsMaskAsAnIconIsMadeOf) {
  TImageList& list = ThreeImages();
  const TMaskedImage image = list.GetImage(1);
  EXPECT_EQ(image.Image.Width(), 3);
  EXPECT_EQ(image.Image.Pixel(1, 0), 0x20u);
  EXPECT_EQ(image.Mask.Pixel(0, 0), 0xFFFFFFu) << "white where transparent";
  EXPECT_EQ(image.Mask.Pixel(1, 0), 0u);
  EXPECT_EQ(image.Mask.Pixel(0, 1), 0u);
  try {
    list.GetImage(3);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (3)");
  }
  EXPECT_THROW(list.Add(TBitmap(4, 2), TBitmap(4, 2)), Exception) << "not a whole number of images";
  EXPECT_THROW(list.Add(TBitmap(3, 2), TBitmap(3, 1)), Exception) << "a mask of another size";
  list.SetSize(16, 16);
  EXPECT_EQ(list.Count(), 0) << "a new size drops the images";
}

TEST_F(FrameworkImageList, StoredFormReadsBackAndComesFromTheLayout) {
  TImageList& list = ThreeImages();
  const std::vector<std::uint8_t> stream = list.SaveToStream();
  ASSERT_GT(stream.size(), 28u);
  EXPECT_EQ(stream[0], 'I');
  EXPECT_EQ(stream[1], 'L');
  EXPECT_EQ(stream[4], 3) << "the number of images";
  EXPECT_EQ(stream[10], 3) << "the width";

  TTestForm& form = h.NewForm();
  form.Load("object Form1: TForm1\n  object ImageList1: TImageList  Bitmap = {file 'list.il'}  end\nend",
            [&](const std::string& name) {
              EXPECT_EQ(name, "list.il");
              return stream;
            });
  TImageList& loaded = form.Get<TImageList>("ImageList1");
  ASSERT_EQ(loaded.Count(), 3);
  EXPECT_EQ(loaded.Width(), 3);
  EXPECT_EQ(loaded.Height(), 2);
  EXPECT_TRUE(loaded.Masked);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(loaded.GetImage(i).Image.Pixels(), list.GetImage(i).Image.Pixels()) << i;
    EXPECT_EQ(loaded.GetImage(i).Mask.Pixels(), list.GetImage(i).Mask.Pixels()) << i;
  }
}

TEST_F(FrameworkImageList, DamagedStoredFormsFailAndLeaveTheListAsItWas) {
  TImageList& list = ThreeImages();
  const std::vector<std::uint8_t> good = list.SaveToStream();
  const std::size_t maskAt = 28 + (good[28 + 2] | (good[28 + 3] << 8) | (good[28 + 4] << 16));
  const auto changed = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"wrong magic", changed(0, 'X')},
      {"other version", changed(2, 0x02)},
      {"zero width", changed(10, 0)},
      {"more images than the grid holds", changed(4, 200)},
      {"image file cut short", std::vector<std::uint8_t>(good.begin(), good.begin() + 60)},
      {"no mask", std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(maskAt))},
      {"mask not a bitmap", changed(maskAt, 'X')},
      {"image length beyond the end", changed(28 + 5, 0x40)},
  };
  for (const auto& c : cases) {
    try {
      list.LoadFromStream(c.bytes);
      ADD_FAILURE() << "no error for " << c.what;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Failed to read ImageList data from stream") << c.what;
    }
    EXPECT_EQ(list.Count(), 3) << c.what;
    EXPECT_EQ(list.Width(), 3) << c.what;
  }
}

}  // namespace
}  // namespace kelpo
