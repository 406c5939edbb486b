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
// header, logical screen or global table, a logical screen beyond the picture
// limit, no frame, or an image descriptor of width or height 0 fails as a
// whole. A frame whose descriptor is cut short, whose width or height is above
// 16384, whose minimum code size is above 11, which would widen the picture past
// its limit, or whose rows would take the frames past their budget is dropped
// with everything after it, and the frames before it are kept. A raster cut
// short or corrupt ends its frame early (see gif/LZWDecoder.h) and parsing goes
// on after what it consumed. A 257th image descriptor and everything after it
// are ignored. Status() tells which of these ended the last load.
//
// Limits. No sensible picture comes near them (the banner is 468 x 60 with 128
// frames, 3.6 million pixels in all; a 4K UHD picture is 3840 x 2160), and they
// keep what any stream can make the control hold below 256 MiB:
// - The picture, the logical screen widened by frames that reach beyond it,
//   holds at most MaxPicturePixels = 2^23 pixels (for example 4096 x 2048). A
//   larger logical screen fails the load before anything is allocated; a frame
//   that would widen the picture past the limit is dropped. A picture side is
//   at most 81,919 pixels anyway (a 16-bit offset plus a frame side).
// - A frame side is at most MaxSide = 16384 pixels, and a frame lies in the
//   picture, so it holds at most 2^23 pixels too.
// - The rows of all frames (picture rows padded to 4 bytes, and mask rows) hold
//   at most DefaultMaxRowBytes = 64 MiB together, for example 256 frames of
//   512 x 512; the frame that would pass that is dropped.
// What any stream can then make the control hold, at the most: the frames' rows
// 64 MiB; the composite (4 bytes a pixel) and its mask 33.3 MiB; the area saved
// under a frame that restores the previous picture 33.3 MiB; the raster
// decoder's pixels 8 MiB while a frame decodes; the copy of frame 1 that an
// assignment to a bitmap makes, and the bitmap that receives it, 32 MiB each,
// with 8 MiB more while it is built. That is 211 MiB (WorstCasePictures in
// bench/GIFImageBench.cpp measures the worst streams). Besides it comes memory
// in proportion to the stream's size: its bytes, kept once, and what the raster
// decoder gathers of them while a frame decodes.

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

// How the last load ended: why it failed, or, when it kept frames, why it
// stopped before the end of the stream.
enum class TGIFStatus {
  gsOK,               // read up to the trailer or the end of the stream
  gsEmptyStream,      // nothing to decode
  gsNotGIF,           // no "GIF" signature
  gsTruncatedHeader,  // the header, logical screen or global colour table is cut short
  gsPictureTooLarge,  // the logical screen, or a frame reaching beyond it, passes MaxPicturePixels
  gsZeroSizeFrame,    // an image descriptor of width or height 0 (fails the whole load)
  gsTruncatedFrame,   // an image descriptor is cut short
  gsFrameTooLarge,    // a frame side above MaxSide
  gsPixelBudget,      // the frames' rows would pass the row budget
  gsBadCodeSize,      // a minimum code size above 11
  gsTooManyFrames,    // a 257th image descriptor
  gsCancelled,        // the progress hook cancelled (threw)
  gsOutOfMemory,      // an allocation failed
  gsNoFrames,         // the stream holds no image descriptor
};

// The user-facing sentence for a status.
const char* GIFStatusMessage(TGIFStatus status);

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
  static constexpr std::int64_t MaxPicturePixels = std::int64_t{1} << 23;
  // The frames' rows hold at most this many bytes together, by default.
  static constexpr std::int64_t DefaultMaxRowBytes = std::int64_t{64} << 20;

  // Called at the start of every block, every 32 or 64 rows inside frames of
  // more than 100,000 pixels, when a frame fails and after the last block, with
  // the work stream's position and size. It cancels by clearing
  // KeepProcessing() and throwing: inside a frame that drops the frame and ends
  // the block loop; elsewhere the load fails. The hook must not load or
  // release this decoder: such a call throws std::logic_error.
  using TProgressHook = std::function<void(std::size_t position, std::size_t size)>;

  TGIFDecoder();
  TGIFDecoder(const TGIFDecoder&) = delete;
  TGIFDecoder& operator=(const TGIFDecoder&) = delete;

  // Copies `stream` into the work stream and decodes it. Any failure, including
  // an error thrown by the progress hook, releases the frames and answers false.
  bool LoadGIFStream(std::span<const std::uint8_t> stream);
  // The same, taking the bytes over instead of copying them.
  bool LoadGIFStream(std::vector<std::uint8_t>&& stream);
  // Decodes the work stream; may throw. True with at least one frame.
  bool DecodeStream();
  // Empty, no frames, no kept stream, LoopCount 1, MaxColorBits 0.
  void ReleaseFrames();

  bool FirstImageOnly() const { return firstImageOnly_; }
  void SetFirstImageOnly(bool value) { firstImageOnly_ = value; }
  void SetProgressHook(TProgressHook hook) { progressHook_ = std::move(hook); }
  // A frame whose rows would take the frames' rows past this many bytes is dropped.
  void SetMaxRowBytes(std::int64_t bytes) { maxRowBytes_ = bytes; }
  // How the last load ended.
  TGIFStatus Status() const { return status_; }

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
  void ReadExact(std::uint8_t* destination, std::size_t count, TGIFStatus shortStatus);
  bool Decode();
  void RefuseWhileDecoding() const;

  bool firstImageOnly_ = false;
  TProgressHook progressHook_;
  std::vector<std::uint8_t> dataStream_;
  std::vector<std::uint8_t> workBytes_;
  TByteStream work_;
  std::vector<std::unique_ptr<TGIFFrame>> frames_;
  std::int64_t rowBytes_ = 0;
  std::int64_t maxRowBytes_ = DefaultMaxRowBytes;
  TGIFStatus status_ = TGIFStatus::gsOK;
  bool decoding_ = false;
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
