#pragma once
// LZW raster decoder: turns the image data of one GIF frame (the minimum code
// size byte, then data sub-blocks) into the frame's rows of colour indices and,
// for a frame with a transparent colour, the rows of its 1-bit transparency mask.
//
// Rows are stored bottom-up: image row y is buffer row Height - 1 - y. Picture
// rows hold one byte per pixel with a stride of Width rounded up to 4 bytes;
// mask rows hold one bit per pixel, most significant bit first, 1 = transparent,
// with a stride of (Width + 31) / 32 * 4 bytes. Interlaced frames are stored in
// the four passes of rows 0, 4, 2, 1 with steps 8, 8, 4, 2.
//
// Decoding rules, including those for unusual or damaged data:
// - Codes are read least significant bit first across the data sub-blocks. A
//   code is delivered only when more bits are held than it needs, so a code
//   whose last bit is the last bit of the data is not delivered.
// - The first code, and the first after each clear code, is output as a pixel
//   whatever its value (its low 8 bits). Repeated clear codes act as one.
// - A full table (4096 entries) stays at 12-bit codes until a clear code.
// - Minimum code sizes above 11 are refused: no rows are produced. Their root
//   codes would not fit the 4096-entry tables.
// - Table entries not yet written since the frame began refer to themselves: a
//   string that reaches one, or one longer than 4095 entries (a prefix loop),
//   ends the frame as corrupt. Entries written before a clear code keep their
//   content and are followed as they stand.
// - A pixel is transparent when its whole value, not only its low 8 bits, equals
//   the transparent index.
// - The frame ends early at the end code, at corrupt data, or when the data ends
//   (a missing or short sub-block; of a short first sub-block the bytes that
//   arrived are used). Pixels not decoded keep index 0 and, in a transparent
//   frame, are transparent.
// - However the frame ends (after its last pixel, at the end code or at corrupt
//   data), the rest of the raster's sub-blocks are passed over: the stream is
//   left behind the block terminator, or at the end of the data. Nothing after
//   the terminator is read.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gif/ByteStream.h"

namespace kelpo {

// What the raster decoder needs to know about a frame.
struct TRasterFrame {
  int Width = 0;   // 1 or more
  int Height = 0;  // 1 or more
  bool Interlaced = false;
  bool Transparent = false;
  std::uint8_t TransparentIndex = 0;
};

// Bytes of a given size that are not zero-filled when made: the decoder writes
// every byte of its rows itself. Container-like, for spans and comparisons.
class TRowBytes {
 public:
  using value_type = std::uint8_t;
  using iterator = std::uint8_t*;
  using const_iterator = const std::uint8_t*;

  TRowBytes() = default;
  explicit TRowBytes(std::size_t size) : bytes_(new std::uint8_t[size]), size_(size) {}  // contents unset
  TRowBytes(std::size_t size, std::uint8_t fill) : TRowBytes(size) { std::fill(begin(), end(), fill); }
  TRowBytes(const TRowBytes& other) : TRowBytes(other.size_) { std::copy(other.begin(), other.end(), begin()); }
  TRowBytes(TRowBytes&&) noexcept = default;
  TRowBytes& operator=(const TRowBytes& other) { return *this = TRowBytes(other); }
  TRowBytes& operator=(TRowBytes&&) noexcept = default;

  std::size_t size() const { return size_; }
  std::size_t capacity() const { return size_; }  // allocated exactly
  bool empty() const { return size_ == 0; }
  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::uint8_t* begin() { return data(); }
  std::uint8_t* end() { return data() + size_; }
  const std::uint8_t* begin() const { return data(); }
  const std::uint8_t* end() const { return data() + size_; }
  std::uint8_t& operator[](std::size_t i) { return bytes_[i]; }
  std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }
  void clear() { *this = TRowBytes(); }
  friend bool operator==(const TRowBytes& a, const TRowBytes& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t size_ = 0;
};

struct TRasterRows {
  TRowBytes Pixels;  // Height rows of PixelStride(Width) bytes, bottom row first
  TRowBytes Mask;    // Height rows of MaskStride(Width) bytes; empty unless Transparent
};

inline std::size_t PixelStride(int width) {
  return (static_cast<std::size_t>(width) + 3) / 4 * 4;
}
inline std::size_t MaskStride(int width) {
  return (static_cast<std::size_t>(width) + 31) / 32 * 4;
}

// Progress inside a frame is reported only in frames of more than this many pixels.
constexpr std::int64_t ProgressMinPixels = 100000;

class TLZWDecoder {
 public:
  // Called when an image row is complete, on every 32nd image row (frames wider
  // than 320 pixels) or every 64th (rows 0, 32, 64, ... or 0, 64, ...), in
  // frames of more than ProgressMinPixels pixels. It may throw to cancel: the
  // rows then hold the pixels decoded up to that row, nothing else is marked
  // transparent, and the error passes on.
  using TRowProgress = std::function<void()>;

  TLZWDecoder();
  ~TLZWDecoder();
  TLZWDecoder(const TLZWDecoder&) = delete;
  TLZWDecoder& operator=(const TLZWDecoder&) = delete;

  // Decodes the raster at the stream's position into `rows`, leaving the
  // stream after what was consumed. Answers false, with empty rows, when the
  // minimum code size is refused, or the frame has no pixels or more than
  // 2^32 - 8192.
  bool DecodeRaster(const TRasterFrame& frame, TByteStream& stream, TRasterRows& rows,
                    const TRowProgress& progress = {});
  // Frees the scratch that DecodeRaster keeps for the next frame.
  void ReleaseScratch();

 private:
  struct Machine;
  std::unique_ptr<Machine> machine_;
  // Scratch kept between frames so that a stream of many frames allocates once.
  std::vector<std::uint8_t> data_;          // the sub-blocks' bytes, concatenated
  std::unique_ptr<std::uint8_t[]> pixels_;  // decoded pixels in decode order
  std::size_t pixelsCapacity_ = 0;
};

}  // namespace kelpo
