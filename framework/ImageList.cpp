#include "framework/ImageList.h"

#include <algorithm>

#include "base/Exception.h"
#include "framework/Canvas.h"

namespace kelpo {
namespace {

constexpr const char* ReadFailed = "Failed to read ImageList data from stream";
constexpr std::size_t HeaderSize = 28;
constexpr int ImagesPerRow = 4;
constexpr std::uint16_t MaskedFlag = 0x0001;
constexpr std::uint16_t Color24Flag = 0x0018;
constexpr int MaximumSide = 256;
constexpr std::uint32_t White = 0xFFFFFF;

std::uint32_t Read16(std::span<const std::uint8_t> b, std::size_t at) {
  if (at + 2 > b.size()) throw Exception(ReadFailed);
  return b[at] | (b[at + 1] << 8);
}

std::uint32_t Read32(std::span<const std::uint8_t> b, std::size_t at) {
  if (at + 4 > b.size()) throw Exception(ReadFailed);
  return Read16(b, at) | (Read16(b, at + 2) << 16);
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

// The BMP file at `at`, its length taken from its own file header.
TBitmap ReadBmp(std::span<const std::uint8_t> bytes, std::size_t& at) {
  const std::uint32_t size = Read32(bytes, at + 2);
  if (size < 26 || size > bytes.size() - at) throw Exception(ReadFailed);
  TBitmap bitmap;
  try {
    bitmap.LoadFromBmp(bytes.subspan(at, size));
  } catch (const Exception&) {
    throw Exception(ReadFailed);
  }
  at += size;
  return bitmap;
}

// The cell of image `index` cut from a strip or a grid of cells.
TBitmap Cell(const TBitmap& source, int column, int row, int width, int height) {
  TBitmap cell(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) cell.SetPixel(x, y, source.Pixel(column * width + x, row * height + y));
  return cell;
}

// Every mask pixel that is not black is transparent.
void NormaliseMask(TBitmap& mask) {
  for (int y = 0; y < mask.Height(); ++y)
    for (int x = 0; x < mask.Width(); ++x) mask.SetPixel(x, y, mask.Pixel(x, y) == 0 ? 0 : White);
}

void PutCell(TBitmap& target, const TBitmap& cell, int column, int row) {
  for (int y = 0; y < cell.Height(); ++y)
    for (int x = 0; x < cell.Width(); ++x)
      target.SetPixel(column * cell.Width() + x, row * cell.Height() + y, cell.Pixel(x, y));
}

}  // namespace

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

void TImageList::SetSize(int width, int height) {
  if (width <= 0 || height <= 0 || width > MaximumSide || height > MaximumSide)
    throw Exception("Invalid image size " + std::to_string(width) + " x " + std::to_string(height));
  width_ = width;
  height_ = height;
  images_.clear();
}

int TImageList::Add(const TBitmap& strip, const TBitmap& mask) {
  if (strip.Height() != height_ || strip.Width() < width_ || strip.Width() % width_ != 0)
    throw Exception("Invalid image size " + std::to_string(strip.Width()) + " x " + std::to_string(strip.Height()));
  if (mask.Width() != strip.Width() || mask.Height() != strip.Height()) throw Exception("Invalid mask size");
  const int first = Count();
  for (int column = 0; column < strip.Width() / width_; ++column) {
    TMaskedImage image{Cell(strip, column, 0, width_, height_), Cell(mask, column, 0, width_, height_)};
    NormaliseMask(image.Mask);
    images_.push_back(std::move(image));
  }
  return first;
}

int TImageList::AddMasked(const TBitmap& strip, std::uint32_t transparent) {
  TBitmap mask(strip.Width(), strip.Height());
  for (int y = 0; y < strip.Height(); ++y)
    for (int x = 0; x < strip.Width(); ++x)
      if (strip.Pixel(x, y) == transparent) mask.SetPixel(x, y, White);
  return Add(strip, mask);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
  if (index < 0 || index >= Count()) return;
  const TMaskedImage& image = images_[static_cast<std::size_t>(index)];
  Surface& surface = canvas.Target();
  const Rect& clip = canvas.ClipRect();
  const int left = x + canvas.Origin().X, top = y + canvas.Origin().Y;
  std::uint32_t* pixels = surface.Pixels();
  for (int row = 0; row < height_; ++row) {
    const int sy = top + row;
    if (sy < clip.Top || sy >= clip.Bottom()) continue;
    for (int column = 0; column < width_; ++column) {
      const int sx = left + column;
      if (sx < clip.Left || sx >= clip.Right()) continue;
      if (Masked && image.Mask.Pixel(column, row) != 0) continue;
      pixels[static_cast<std::size_t>(sy) * surface.Width() + sx] = image.Image.Pixel(column, row);
    }
  }
}

TMaskedImage TImageList::GetImage(int index) const {
  if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  TMaskedImage image = images_[static_cast<std::size_t>(index)];
  if (!Masked) image.Mask = TBitmap(width_, height_);
  return image;
}

void TImageList::LoadFromStream(std::span<const std::uint8_t> bytes) {
  if (Read16(bytes, 0) != ('I' | ('L' << 8)) || Read16(bytes, 2) != 0x0101) throw Exception(ReadFailed);
  const int count = static_cast<int>(Read16(bytes, 4));
  const int capacity = std::max(count, static_cast<int>(Read16(bytes, 6)));
  const int width = static_cast<int>(Read16(bytes, 10));
  const int height = static_cast<int>(Read16(bytes, 12));
  const bool masked = (Read16(bytes, 18) & MaskedFlag) != 0;
  if (width <= 0 || height <= 0 || width > MaximumSide || height > MaximumSide || bytes.size() < HeaderSize)
    throw Exception(ReadFailed);
  std::size_t at = HeaderSize;
  const TBitmap grid = ReadBmp(bytes, at);
  TBitmap maskGrid(grid.Width(), grid.Height());
  if (masked) maskGrid = ReadBmp(bytes, at);
  const int rows = (capacity + ImagesPerRow - 1) / ImagesPerRow;
  if (grid.Width() < ImagesPerRow * width || grid.Height() < rows * height || maskGrid.Width() != grid.Width() ||
      maskGrid.Height() != grid.Height())
    throw Exception(ReadFailed);

  std::vector<TMaskedImage> images;
  for (int i = 0; i < count; ++i) {
    const int column = i % ImagesPerRow, row = i / ImagesPerRow;
    TMaskedImage image{Cell(grid, column, row, width, height), Cell(maskGrid, column, row, width, height)};
    NormaliseMask(image.Mask);
    images.push_back(std::move(image));
  }
  width_ = width;
  height_ = height;
  Masked = masked;
  images_ = std::move(images);
}

std::vector<std::uint8_t> TImageList::SaveToStream() const {
  const int rows = std::max(1, (Count() + ImagesPerRow - 1) / ImagesPerRow);
  TBitmap grid(ImagesPerRow * width_, rows * height_);
  TBitmap maskGrid(grid.Width(), grid.Height(), White);
  for (int i = 0; i < Count(); ++i) {
    PutCell(grid, images_[static_cast<std::size_t>(i)].Image, i % ImagesPerRow, i / ImagesPerRow);
    PutCell(maskGrid, images_[static_cast<std::size_t>(i)].Mask, i % ImagesPerRow, i / ImagesPerRow);
  }
  std::vector<std::uint8_t> out;
  out.push_back('I');
  out.push_back('L');
  Put16(out, 0x0101);
  Put16(out, static_cast<std::uint32_t>(Count()));
  Put16(out, static_cast<std::uint32_t>(rows * ImagesPerRow));
  Put16(out, ImagesPerRow);
  Put16(out, static_cast<std::uint32_t>(width_));
  Put16(out, static_cast<std::uint32_t>(height_));
  Put16(out, 0xFFFF);  // no background colour
  Put16(out, 0xFFFF);
  Put16(out, Color24Flag | (Masked ? MaskedFlag : 0));
  for (int i = 0; i < 4; ++i) Put16(out, 0xFFFF);
  const std::vector<std::uint8_t> image = grid.SaveToBmp();
  out.insert(out.end(), image.begin(), image.end());
  if (Masked) {
    const std::vector<std::uint8_t> mask = maskGrid.SaveToBmp();
    out.insert(out.end(), mask.begin(), mask.end());
  }
  return out;
}

IconImage TImageList::Image(int index) const {
  const TMaskedImage image = GetImage(index);
  IconImage icon;
  icon.Width = width_;
  icon.Height = height_;
  icon.Pixels.reserve(image.Image.Pixels().size());
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      icon.Pixels.push_back(image.Mask.Pixel(x, y) == 0 ? 0xFF000000u | (image.Image.Pixel(x, y) & 0xFFFFFFu) : 0u);
  return icon;
}

const PropertyTable& TImageList::StaticProperties() {
  static const PropertyTable table(
      TComponent::StaticProperties(),
      {
          Property<TImageList>(
              "Width", &TImageList::Width, [](TImageList& list, int width) { list.SetSize(width, list.height_); }, 16),
          Property<TImageList>(
              "Height", &TImageList::Height, [](TImageList& list, int height) { list.SetSize(list.width_, height); },
              16),
          Property("Masked", &TImageList::Masked, true),
          CustomProperty<TImageList>(
              "Bitmap",
              [](TImageList& list, const PropertyReading& reading) { list.LoadFromStream(LayoutBytes(reading)); }),
      });
  return table;
}

}  // namespace kelpo
