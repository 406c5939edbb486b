#pragma once
// GIF stream decoder: the data side of the animated GIF control. It parses a
// GIF 87a or 89a stream (header, logical screen, global colour table,
// extensions, image descriptors, local colour tables, trailer) into a table of
// up to 256 frames, each with its rectangle, interlace flag, disposal method,
// delay, transparent colour, palette, and its bottom-up rows of colour indices
// and of the transparency mask (see gif/LZWDecoder.h). The control builds its
// bitmaps from those rows through BuildFramePicture and composes the frames.
//
// Blocks between the logical screen and the trailer:
// - Extension 0xF9 (graphic control): its 6 bytes are kept for the next image
//   only: disposal (4 to 7 count as 2), delay in hundredths of a second, and the
//   transparent index when flag bit 0 is set. Of several before one image the
//   last one counts.
// - Extension 0xFF (application): "NETSCAPE2.0" sets LoopCount from bytes 1 and
//   2 of its first data sub-block (when that holds at least 3 bytes); any other
//   identifier, "NETSCAPE" with another code among them, is skipped.
// - Extensions 0x01 (plain text), 0xFE (comment) and every other label are
//   skipped sub-block by sub-block up to their terminator. Unknown labels are
//   skipped this way too (not read on as block introducers), since every GIF
//   extension is a chain of sub-blocks and their bytes are no blocks.
// - In every extension a zero size byte ends it, and a size byte past the end of
//   the stream reads as 0.
// - Other bytes between blocks are consumed two at a time and ignored.
//
// Failures: a stream that is empty, does not begin with "GIF", has a short
// header, logical screen or global table, no frame, or an image descriptor of
// width or height 0 fails as a whole. A frame whose descriptor is cut short,
// whose width or height is above 16384, whose minimum code size is above 11, or
// whose pixels would take the decoded frames past 2^28 pixels in total (no
// picture could hold them) is dropped with everything after it, and the frames
// before it are kept. A raster cut short or corrupt ends its frame early (see
// gif/LZWDecoder.h) and parsing goes on after what it consumed. A 257th image
// descriptor and everything after it are ignored.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "gif/ByteStream.h"
#include "gif/LZWDecoder.h"

namespace kelpo {

enum class TGIFVersion { gvGIF87a, gvGIF89a };

// 256 red, green, blue triples.
using TGIFColorTable = std::array<std::uint8_t, 768>;

struct TGIFFrame {
  int FrameLeft = 0;
  int FrameTop = 0;
  int FrameWidth = 0;
  int FrameHeight = 0;
  int ColorBits = 0;  // size exponent of the local table, 0 without one
  int DelayMs = 0;
  std::uint8_t Disposal = 0;  // 0 none, 1 leave in place, 2 restore to background, 3 restore to previous
  bool HasLocalColors = false;
  bool Interlaced = false;
  bool Transparent = false;
  std::uint8_t TransparentIndex = 0;
  std::unique_ptr<TGIFColorTable> LocalColors;  // zero-filled, then loaded; only with HasLocalColors
  const TGIFColorTable* ColorTable = nullptr;   // LocalColors, or the decoder's global table
  // Entries of the picture's palette: 2^ColorBits with a local table, else
  // 2^MaxColorBits of the decoder when the frame was read.
  int PaletteEntries = 0;
  TRasterRows Rows;  // Rows.Mask is empty unless Transparent
};

// A BMP file in memory: 40-byte header, `bitsPerPixel` 8 (picture) or 1 (mask),
// bottom-up, the palette entries given as red, green, blue triples, then `rows`
// copied whole. Its image size counts rows of the stride the raster decoder uses.
std::vector<std::uint8_t> BuildFramePicture(int width, int height, int bitsPerPixel,
                                            std::span<const std::uint8_t> paletteRGB,
                                            std::span<const std::uint8_t> rows);
// The frame's picture, 8 bits per pixel with its palette.
std::vector<std::uint8_t> FramePictureBmp(const TGIFFrame& frame);
// The frame's mask, 1 bit per pixel, entry 0 black (opaque), entry 1 white
// (transparent); empty for a frame without transparency.
std::vector<std::uint8_t> FrameMaskBmp(const TGIFFrame& frame);

// The stored form of the control's Data property: a signed 32-bit little-endian
// length N, then N bytes of GIF stream. Reading replaces `dataStream` with those
// bytes (nothing when N <= 0) and throws kelpo::Exception when the layout
// stream holds fewer; writing appends the length and the bytes.
void ReadDataProperty(TByteStream& layout, std::vector<std::uint8_t>& dataStream);
void WriteDataProperty(std::vector<std::uint8_t>& layout, std::span<const std::uint8_t> dataStream);

class TGIFDecoder {
 public:
  static constexpr int MaxFrames = 256;
  static constexpr int MaxSide = 16384;
  // Decoded frames hold at most this many pixels together, by default.
  static constexpr std::int64_t DefaultMaxTotalPixels = std::int64_t{1} << 28;

  // Called at the start of every block, every 32 or 64 rows inside frames of
  // more than 100,000 pixels, when a frame fails and after the last block, with
  // the work stream's position and size. It cancels by clearing
  // KeepProcessing() and throwing: inside a frame that drops the frame and ends
  // the block loop; elsewhere the load fails.
  using TProgressHook = std::function<void(std::size_t position, std::size_t size)>;

  TGIFDecoder();
  TGIFDecoder(const TGIFDecoder&) = delete;
  TGIFDecoder& operator=(const TGIFDecoder&) = delete;

  // Copies `stream` into the work stream and decodes it. Any failure, including
  // an error thrown by the progress hook, releases the frames and answers false.
  bool LoadGIFStream(std::span<const std::uint8_t> stream);
  // Decodes the work stream; may throw. True with at least one frame.
  bool DecodeStream();
  // Empty, no frames, no kept stream, LoopCount 1, MaxColorBits 0.
  void ReleaseFrames();

  bool FirstImageOnly() const { return firstImageOnly_; }
  void SetFirstImageOnly(bool value) { firstImageOnly_ = value; }
  void SetProgressHook(TProgressHook hook) { progressHook_ = std::move(hook); }
  // A frame that would take the decoded frames past this many pixels is dropped.
  void SetMaxTotalPixels(std::int64_t pixels) { maxTotalPixels_ = pixels; }

  // The stream of the last successful load (the Data property's content).
  std::vector<std::uint8_t>& DataStream() { return dataStream_; }
  const std::vector<std::uint8_t>& DataStream() const { return dataStream_; }
  // The copy being decoded; empty when no decoding runs.
  const TByteStream& WorkStream() const { return work_; }

  int FrameCount() const { return static_cast<int>(frames_.size()); }
  // Frames are numbered 1..FrameCount().
  const TGIFFrame& Frame(int number) const { return *frames_.at(number - 1); }
  int ImageWidth() const { return imageWidth_; }
  int ImageHeight() const { return imageHeight_; }
  const TGIFColorTable& GlobalColors() const { return globalColors_; }
  int MaxColorBits() const { return maxColorBits_; }
  int LoopCount() const { return loopCount_; }
  TGIFVersion Version() const { return version_; }
  bool AnyTransparent() const { return anyTransparent_; }
  bool Empty() const { return empty_; }
  bool& KeepProcessing() { return keepProcessing_; }
  const std::array<std::uint8_t, 6>& PendingControl() const { return pendingControl_; }

 private:
  void ReportProgress();
  void ReadExtension(std::uint8_t label);
  void SkipSubBlocks(std::uint8_t size);
  bool ReadFrame(TGIFFrame& frame);
  void ReadExact(std::uint8_t* destination, std::size_t count);

  bool firstImageOnly_ = false;
  TProgressHook progressHook_;
  std::vector<std::uint8_t> dataStream_;
  std::vector<std::uint8_t> workBytes_;
  TByteStream work_;
  std::vector<std::unique_ptr<TGIFFrame>> frames_;
  std::int64_t decodedPixels_ = 0;
  std::int64_t maxTotalPixels_ = DefaultMaxTotalPixels;
  int imageWidth_ = 0;
  int imageHeight_ = 0;
  TGIFColorTable globalColors_{};
  int maxColorBits_ = 0;
  int loopCount_ = 1;
  TGIFVersion version_ = TGIFVersion::gvGIF87a;
  bool anyTransparent_ = false;
  bool empty_ = true;
  bool keepProcessing_ = true;
  std::array<std::uint8_t, 6> pendingControl_{};
  TLZWDecoder lzw_;
};

}  // namespace kelpo
