#pragma once
// What the libFuzzer targets check on each input, shared with the test that
// decodes their findings (tests/gif/regress/), so that a finding fails there
// exactly as it failed in the fuzzer. Each check answers the first rule the
// input breaks, or nullptr.
//
// GIFDecodingFault: the input is a GIF stream, decoded with the frames' rows
// capped at FuzzMaxRowBytes (and FirstImageOnly when its last byte is 0xA5). A
// failed load leaves nothing and names a failure; a successful one 1 to 256
// frames whose rows, masks and palettes have the sizes their rectangles call
// for, whose BMP files have the header's sizes, within the picture limit.
//
// LZWEquivalenceFault: the fast LZW decoder and the plain reference decoder
// give the same rows, masks, consumed bytes and progress reports. Input: 8
// bytes of frame settings, then the raster. Settings: flags (bit 0 interlaced,
// bit 1 transparent, bit 2 progress hook, bits 3..7 the progress report that
// cancels, 0 for none), transparent index, width and height (16 bits each,
// capped so that width x height stays below FuzzMaxRasterPixels), a framing
// byte and a sub-block size. With framing bit 0 set, the raster after the
// settings is the minimum code size and the code bytes, cut into sub-blocks of
// the given size and closed by a terminator; otherwise it is taken as it
// stands. An input that begins with "GIF" is read as a GIF file instead, and
// its first frame's raster is decoded with that frame's size, interlace flag
// and transparent index, so that the GIF corpus serves as seeds.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <vector>

#include "gif/GIFDecoder.h"
#include "gif/LZWDecoder.h"
#include "tests/gif/LZWReference.h"

namespace kelpo::test {

constexpr std::int64_t FuzzMaxRowBytes = std::int64_t{1} << 22;
constexpr std::int64_t FuzzMaxRasterPixels = 1 << 17;  // above the 100,000 pixels from which progress is reported

inline const char* GIFDecodingFault(std::span<const std::uint8_t> stream) {
  using enum TGIFStatus;
  TGIFDecoder decoder;
  decoder.SetMaxRowBytes(FuzzMaxRowBytes);
  decoder.SetFirstImageOnly(!stream.empty() && stream.back() == 0xA5);
  const bool loaded = decoder.LoadGIFStream(stream);
  if (decoder.WorkStream().Size() != 0) return "the work stream is not empty";
  const TGIFStatus status = decoder.Status();
  if (!loaded) {
    if (!decoder.Empty() || decoder.FrameCount() != 0 || !decoder.DataStream().empty())
      return "a failed load left a picture";
    if (status == gsOK || status == gsTooManyFrames) return "a failed load names no failure";
    return nullptr;
  }
  if (status == gsEmptyStream || status == gsNotGIF || status == gsTruncatedHeader || status == gsZeroSizeFrame ||
      status == gsNoFrames)
    return "a successful load names a failure of the whole load";
  if (static_cast<std::int64_t>(decoder.ImageWidth()) * decoder.ImageHeight() > TGIFDecoder::MaxPicturePixels)
    return "the picture passes its limit";
  if (decoder.Empty()) return "a successful load left the decoder empty";
  if (decoder.FrameCount() < 1 || decoder.FrameCount() > TGIFDecoder::MaxFrames) return "frame count out of range";
  if (decoder.FirstImageOnly() && decoder.FrameCount() != 1) return "FirstImageOnly kept more than one frame";
  if (decoder.DataStream().size() != stream.size()) return "the kept stream is not the stream loaded";
  std::int64_t rowBytes = 0;
  for (int i = 1; i <= decoder.FrameCount(); ++i) {
    const TGIFFrame& f = decoder.Frame(i);
    if (f.FrameWidth < 1 || f.FrameWidth > TGIFDecoder::MaxSide || f.FrameHeight < 1 ||
        f.FrameHeight > TGIFDecoder::MaxSide)
      return "frame side out of range";
    if (decoder.ImageWidth() < f.FrameLeft + f.FrameWidth || decoder.ImageHeight() < f.FrameTop + f.FrameHeight)
      return "frame outside the picture";
    if (f.Disposal > 3) return "disposal out of range";
    if (f.PaletteEntries < 1 || f.PaletteEntries > 256 || f.ColorTable == nullptr) return "bad palette";
    if (f.Rows.Pixels.size() != PixelStride(f.FrameWidth) * f.FrameHeight) return "picture rows of the wrong size";
    if (f.Rows.Mask.size() != (f.Transparent ? MaskStride(f.FrameWidth) * f.FrameHeight : 0))
      return "mask rows of the wrong size";
    rowBytes += static_cast<std::int64_t>(f.Rows.Pixels.size() + f.Rows.Mask.size());
    const std::vector<std::uint8_t> bmp = FramePictureBmp(f);
    if (bmp.size() != (bmp[2] | bmp[3] << 8 | bmp[4] << 16 | static_cast<std::size_t>(bmp[5]) << 24))
      return "BMP size differs from its header";
  }
  if (rowBytes > FuzzMaxRowBytes) return "the rows pass their budget";
  return nullptr;
}

namespace fuzz {

struct Cancelled : std::exception {};

struct Outcome {
  bool Decoded = false;
  bool WasCancelled = false;
  TRasterRows Rows;
  std::size_t Position = 0;
  std::vector<std::size_t> Reports;
};

template <typename Decode>
Outcome Run(Decode decode, const TRasterFrame& frame, const std::vector<std::uint8_t>& raster, bool hook,
            int cancelAt) {
  Outcome outcome;
  TByteStream stream{raster, 0};
  TLZWDecoder::TRowProgress progress;
  if (hook) {
    progress = [&] {
      outcome.Reports.push_back(stream.Position);
      if (static_cast<int>(outcome.Reports.size()) == cancelAt) throw Cancelled();
    };
  }
  try {
    outcome.Decoded = decode(frame, stream, outcome.Rows, progress);
  } catch (const Cancelled&) {
    outcome.WasCancelled = true;
  }
  outcome.Position = stream.Position;
  return outcome;
}

// The first frame of a GIF file, or false when none is found.
inline bool FirstFrame(std::span<const std::uint8_t> data, TRasterFrame& frame, std::vector<std::uint8_t>& raster) {
  const std::size_t size = data.size();
  std::size_t p = 13;
  if (size < p) return false;
  if (data[10] & 0x80) p += 3u << ((data[10] & 7) + 1);
  while (p + 2 <= size) {
    if (data[p] == 0x21) {
      if (data[p + 1] == 0xF9 && p + 7 < size) {
        frame.Transparent = data[p + 3] & 1;
        frame.TransparentIndex = data[p + 6];
      }
      p += 2;
      while (p < size && data[p] != 0) p += data[p] + 1;
      ++p;
    } else if (data[p] == 0x2C && p + 10 <= size) {
      frame.Width = data[p + 5] | data[p + 6] << 8;
      frame.Height = data[p + 7] | data[p + 8] << 8;
      frame.Interlaced = data[p + 9] & 0x40;
      if (data[p + 9] & 0x80) p += 3u << ((data[p + 9] & 7) + 1);
      p += 10;
      if (p > size || frame.Width == 0 || frame.Height == 0) return false;
      raster.assign(data.begin() + p, data.end());
      return true;
    } else {
      return false;
    }
  }
  return false;
}

inline const char* Compare(const TRasterFrame& frame, const std::vector<std::uint8_t>& raster, bool hook,
                           int cancelAt) {
  TLZWDecoder fast;
  const Outcome a = Run([&](const TRasterFrame& f, TByteStream& s, TRasterRows& r,
                            const TLZWDecoder::TRowProgress& p) { return fast.DecodeRaster(f, s, r, p); },
                        frame, raster, hook, cancelAt);
  const Outcome b = Run(ReferenceDecodeRaster, frame, raster, hook, cancelAt);
  if (a.Decoded != b.Decoded) return "one decoder refused the raster";
  if (a.WasCancelled != b.WasCancelled) return "one decoder was cancelled";
  if (a.Position != b.Position) return "the decoders consumed different bytes";
  if (a.Reports != b.Reports) return "the decoders reported progress differently";
  if (a.Rows.Pixels != b.Rows.Pixels) return "the decoders' pixels differ";
  if (a.Rows.Mask != b.Rows.Mask) return "the decoders' masks differ";
  return nullptr;
}

}  // namespace fuzz

inline const char* LZWEquivalenceFault(std::span<const std::uint8_t> data) {
  const std::size_t size = data.size();
  if (size < 8) return nullptr;
  TRasterFrame frame;
  std::vector<std::uint8_t> raster;
  if (data[0] == 'G' && data[1] == 'I' && data[2] == 'F') {
    if (!fuzz::FirstFrame(data, frame, raster)) return nullptr;
    if (static_cast<std::int64_t>(frame.Width) * frame.Height > FuzzMaxRasterPixels)
      frame.Height = static_cast<int>(FuzzMaxRasterPixels / frame.Width);
    if (frame.Height == 0) return nullptr;
    return fuzz::Compare(frame, raster, false, 0);
  }
  const int flags = data[0];
  frame.Interlaced = flags & 1;
  frame.Transparent = flags & 2;
  const bool hook = flags & 4;
  const int cancelAt = flags >> 3;
  frame.TransparentIndex = data[1];
  frame.Width = 1 + ((data[2] | data[3] << 8) % 2048);
  frame.Height = 1 + ((data[4] | data[5] << 8) % 2048);
  if (static_cast<std::int64_t>(frame.Width) * frame.Height > FuzzMaxRasterPixels)
    frame.Height = static_cast<int>(FuzzMaxRasterPixels / frame.Width);
  const bool frameIt = data[6] & 1;
  const std::size_t blockSize = 1 + data[7] % 255;

  if (frameIt && size > 8) {
    raster.push_back(data[8]);
    for (std::size_t at = 9; at < size; at += blockSize) {
      const std::size_t n = std::min(blockSize, size - at);
      raster.push_back(static_cast<std::uint8_t>(n));
      raster.insert(raster.end(), data.begin() + at, data.begin() + at + n);
    }
    raster.push_back(0);
  } else {
    raster.assign(data.begin() + 8, data.end());
  }
  return fuzz::Compare(frame, raster, hook, cancelAt);
}

}  // namespace kelpo::test
