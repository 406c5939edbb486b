// Feeds random raster data to the fast LZW decoder and to the plain reference
// decoder, and requires the same rows, masks, consumed bytes and progress reports.
//
// Input: 8 bytes of frame settings, then the raster. Settings: flags (bit 0
// interlaced, bit 1 transparent, bit 2 progress hook, bits 3..7 the progress
// report that cancels, 0 for none), transparent index, width and height (16 bits
// each, capped so that width x height stays below MaxPixels), a framing byte and a
// sub-block size. With framing bit 0 set, the raster after the settings is the
// minimum code size and the code bytes, cut into sub-blocks of the given size and
// closed by a terminator; otherwise it is taken as it stands.
//
// An input that begins with "GIF" is read as a GIF file instead, and its first
// frame's raster is decoded with that frame's size, interlace flag and
// transparent index, so that the GIF corpus serves as seeds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "gif/LZWDecoder.h"
#include "tests/gif/LZWReference.h"

namespace {

constexpr std::int64_t MaxPixels = 1 << 17;  // above the 100,000 pixels from which progress is reported

struct Cancelled : std::exception {};

struct Outcome {
  bool decoded = false;
  bool cancelled = false;
  kelpo::TRasterRows rows;
  std::size_t position = 0;
  std::vector<std::size_t> reports;
};

template <typename Decode>
Outcome Run(Decode decode, const kelpo::TRasterFrame& frame, const std::vector<std::uint8_t>& raster, bool hook,
            int cancelAt) {
  Outcome outcome;
  kelpo::TByteStream stream{raster, 0};
  kelpo::TLZWDecoder::TRowProgress progress;
  if (hook) {
    progress = [&] {
      outcome.reports.push_back(stream.Position);
      if (static_cast<int>(outcome.reports.size()) == cancelAt) throw Cancelled();
    };
  }
  try {
    outcome.decoded = decode(frame, stream, outcome.rows, progress);
  } catch (const Cancelled&) {
    outcome.cancelled = true;
  }
  outcome.position = stream.Position;
  return outcome;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

// The first frame of a GIF file, or false when none is found.
bool FirstFrame(const std::uint8_t* data, std::size_t size, kelpo::TRasterFrame& frame,
                std::vector<std::uint8_t>& raster) {
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
      raster.assign(data + p, data + size);
      return true;
    } else {
      return false;
    }
  }
  return false;
}

void Compare(const kelpo::TRasterFrame& frame, const std::vector<std::uint8_t>& raster, bool hook, int cancelAt) {
  kelpo::TLZWDecoder fast;
  const Outcome a = Run([&](const kelpo::TRasterFrame& f, kelpo::TByteStream& s, kelpo::TRasterRows& r,
                            const kelpo::TLZWDecoder::TRowProgress& p) { return fast.DecodeRaster(f, s, r, p); },
                        frame, raster, hook, cancelAt);
  const Outcome b = Run(kelpo::test::ReferenceDecodeRaster, frame, raster, hook, cancelAt);
  Require(a.decoded == b.decoded);
  Require(a.cancelled == b.cancelled);
  Require(a.position == b.position);
  Require(a.reports == b.reports);
  Require(a.rows.Pixels == b.rows.Pixels);
  Require(a.rows.Mask == b.rows.Mask);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  kelpo::TRasterFrame frame;
  std::vector<std::uint8_t> raster;
  if (size >= 3 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F') {
    if (!FirstFrame(data, size, frame, raster)) return 0;
    if (static_cast<std::int64_t>(frame.Width) * frame.Height > MaxPixels) frame.Height = MaxPixels / frame.Width;
    if (frame.Height == 0) return 0;
    Compare(frame, raster, false, 0);
    return 0;
  }
  const int flags = data[0];
  frame.Interlaced = flags & 1;
  frame.Transparent = flags & 2;
  const bool hook = flags & 4;
  const int cancelAt = flags >> 3;
  frame.TransparentIndex = data[1];
  frame.Width = 1 + ((data[2] | data[3] << 8) % 2048);
  frame.Height = 1 + ((data[4] | data[5] << 8) % 2048);
  if (static_cast<std::int64_t>(frame.Width) * frame.Height > MaxPixels) frame.Height = MaxPixels / frame.Width;
  const bool frameIt = data[6] & 1;
  const std::size_t blockSize = 1 + data[7] % 255;

  if (frameIt && size > 8) {
    raster.push_back(data[8]);
    for (std::size_t at = 9; at < size; at += blockSize) {
      const std::size_t n = std::min(blockSize, size - at);
      raster.push_back(static_cast<std::uint8_t>(n));
      raster.insert(raster.end(), data + at, data + at + n);
    }
    raster.push_back(0);
  } else {
    raster.assign(data + 8, data + size);
  }
  Compare(frame, raster, hook, cancelAt);
  return 0;
}
