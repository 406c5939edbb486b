// Feeds random GIF streams to the stream decoder and checks what a load leaves:
// a failed load leaves nothing, a successful one 1 to 256 frames whose rows,
// masks and palettes have the sizes their rectangles call for, and whose BMP
// files have the header's sizes, and a status that fits the outcome. Decoded
// frames are capped at MaxRowBytes bytes of rows.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "gif/GIFDecoder.h"

namespace {

constexpr std::int64_t MaxRowBytes = std::int64_t{1} << 22;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelpo::TGIFDecoder decoder;
  decoder.SetMaxRowBytes(MaxRowBytes);
  decoder.SetFirstImageOnly(size > 0 && data[size - 1] == 0xA5);
  const std::span<const std::uint8_t> stream(data, size);
  const bool loaded = decoder.LoadGIFStream(stream);
  Require(decoder.WorkStream().Size() == 0);
  const kelpo::TGIFStatus status = decoder.Status();
  if (!loaded) {
    Require(decoder.Empty() && decoder.FrameCount() == 0 && decoder.DataStream().empty());
    Require(status != kelpo::TGIFStatus::gsOK && status != kelpo::TGIFStatus::gsTooManyFrames);
    return 0;
  }
  // A load that kept frames failed at nothing that fails a whole load.
  Require(status != kelpo::TGIFStatus::gsEmptyStream && status != kelpo::TGIFStatus::gsNotGIF &&
          status != kelpo::TGIFStatus::gsTruncatedHeader && status != kelpo::TGIFStatus::gsZeroSizeFrame &&
          status != kelpo::TGIFStatus::gsNoFrames);
  Require(static_cast<std::int64_t>(decoder.ImageWidth()) * decoder.ImageHeight() <=
          kelpo::TGIFDecoder::MaxPicturePixels);
  std::int64_t rowBytes = 0;
  Require(!decoder.Empty());
  Require(decoder.FrameCount() >= 1 && decoder.FrameCount() <= kelpo::TGIFDecoder::MaxFrames);
  Require(!decoder.FirstImageOnly() || decoder.FrameCount() == 1);
  Require(decoder.DataStream().size() == size);
  for (int i = 1; i <= decoder.FrameCount(); ++i) {
    const kelpo::TGIFFrame& f = decoder.Frame(i);
    Require(f.FrameWidth >= 1 && f.FrameWidth <= kelpo::TGIFDecoder::MaxSide);
    Require(f.FrameHeight >= 1 && f.FrameHeight <= kelpo::TGIFDecoder::MaxSide);
    Require(decoder.ImageWidth() >= f.FrameLeft + f.FrameWidth);
    Require(decoder.ImageHeight() >= f.FrameTop + f.FrameHeight);
    Require(f.Disposal <= 3);
    Require(f.PaletteEntries >= 1 && f.PaletteEntries <= 256);
    Require(f.ColorTable != nullptr);
    Require(f.Rows.Pixels.size() == kelpo::PixelStride(f.FrameWidth) * f.FrameHeight);
    Require(f.Rows.Mask.size() == (f.Transparent ? kelpo::MaskStride(f.FrameWidth) * f.FrameHeight : 0));
    rowBytes += static_cast<std::int64_t>(f.Rows.Pixels.size() + f.Rows.Mask.size());
    const std::vector<std::uint8_t> bmp = kelpo::FramePictureBmp(f);
    Require(bmp.size() == (bmp[2] | bmp[3] << 8 | bmp[4] << 16 | static_cast<std::size_t>(bmp[5]) << 24));
  }
  Require(rowBytes <= MaxRowBytes);
  return 0;
}
