#pragma once
// Icons: a picture with transparency, read from icon-file data (.ico), and
// the numbered sets of icon pictures (image lists) that components show by index.

#include <cstdint>
#include <functional>
#include <span>

#include "platform/NotifyIcons.h"

namespace kelpo {

class TIcon {
 public:
  bool Empty() const { return image_.Empty(); }
  int Width() const { return image_.Width; }
  int Height() const { return image_.Height; }
  const IconImage& Image() const { return image_; }

  // Each of these changes the picture and then runs OnChange.
  void SetImage(IconImage image);
  void Assign(const TIcon& other) { SetImage(other.image_); }
  void Clear() { SetImage(IconImage{}); }
  // Reads icon-file data: a directory of pictures, each a bitmap without its
  // file header (1, 4, 8, 24 or 32 bits per pixel) followed by its AND mask.
  // Takes the picture `preferredSize` pixels square, else the first.
  // Throws "Icon image is not valid" on anything else (PNG pictures included).
  void LoadFromIconFile(std::span<const std::uint8_t> bytes, int preferredSize = 16);

  std::function<void()> OnChange;

 private:
  IconImage image_;
};

// Reads one picture of icon-file data (see TIcon::LoadFromIconFile).
IconImage ReadIconFile(std::span<const std::uint8_t> bytes, int preferredSize = 16);

class IconImages {
 public:
  virtual ~IconImages() = default;
  virtual int Count() const = 0;
  // The picture at 0 <= index < Count().
  virtual IconImage Image(int index) const = 0;
};

}  // namespace kelpo
