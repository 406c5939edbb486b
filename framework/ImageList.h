#pragma once
// TImageList: equal-sized images, each with a mask, drawn by index (the icons
// of menu items, the pictures of a tray icon).
//
// Stored form (the layout's binary property `Bitmap`), after the image lists
// of the system's common controls; little-endian:
//
//   offset size
//        0    2  magic "IL"
//        2    2  version 0x0101
//        4    2  number of images
//        6    2  capacity (at least the number of images)
//        8    2  growth step (not used)
//       10    2  image width
//       12    2  image height
//       14    4  background colour, 0xFFFFFFFF for none
//       18    2  flags: 0x0001 masked; the rest the colour depth (0x18 for 24 bits)
//       20    8  four overlay indices (-1, not used)
//       28       the images as a BMP file: four to a row, left to right and
//                top to bottom, so 4 x width pixels wide and as many rows of
//                images high as the capacity needs
//                then, when masked, the mask as a BMP file of the same size:
//                white (set bits) where the image is transparent, black where
//                it shows
//
// Both BMP files may have any depth the bitmap reader takes. Without the
// masked flag every pixel shows.

#include <cstdint>
#include <span>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Component.h"
#include "framework/Icon.h"

namespace kelpo {

class TCanvas;

// One image and its mask (0xFFFFFF where transparent, 0 where the image shows),
// as an icon is made from them.
struct TMaskedImage {
  TBitmap Image;
  TBitmap Mask;
};

// As icon pictures (IconImages) the images show opaque where the mask is 0.
class TImageList : public TComponent, public IconImages {
 public:
  explicit TImageList(TComponent* owner);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // A new size drops the images.
  void SetSize(int width, int height);
  int Count() const override { return static_cast<int>(images_.size()); }
  // Image `index` as an icon picture (see GetImage for an index out of range).
  IconImage Image(int index) const override;
  bool Masked = true;

  // Adds the images of a strip (Width() wide each, Height() high) with their
  // mask (same size: non-black where transparent); returns the first one's index.
  int Add(const TBitmap& strip, const TBitmap& mask);
  // The same, transparent where the strip has this pixel value.
  int AddMasked(const TBitmap& strip, std::uint32_t transparent);
  void Clear() { images_.clear(); }

  // Draws image `index` with its top-left corner at (x, y), its transparent
  // pixels leaving the canvas as it was; an index out of range draws nothing.
  void Draw(TCanvas& canvas, int x, int y, int index) const;
  // Throws "List index out of bounds (N)" for an index out of range.
  TMaskedImage GetImage(int index) const;

  // The stored form above. Loading throws "Failed to read ImageList data
  // from stream" on anything else and then leaves the list as it was.
  void LoadFromStream(std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> SaveToStream() const;

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 private:
  int width_ = 16;
  int height_ = 16;
  std::vector<TMaskedImage> images_;
};

}  // namespace kelpo
