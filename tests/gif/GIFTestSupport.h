#pragma once
// Helpers for GIF tests: packing LZW codes, encoding pixels, writing small GIF
// streams block by block, reading the shared corpus, and reading frames back
// top row first.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gif/GIFDecoder.h"
#include "gif/LZWDecoder.h"

namespace kelpo::test {

using Bytes = std::vector<std::uint8_t>;

// Packs codes least significant bit first with the widths a decoder reads them
// at (growing as the table fills, back to minCodeSize + 1 after a clear code),
// then wraps them as a raster: the minimum code size byte, sub-blocks of at most
// `subBlockSize` bytes and a terminator (unless `terminate` is false).
Bytes RasterFromCodes(int minCodeSize, const std::vector<int>& codes, int subBlockSize = 255, bool terminate = true);

// LZW codes for `pixels`: a clear code, the strings, and the end code. When the
// table is full a clear code follows, or with `deferClear` the codes go on with
// the full table.
std::vector<int> EncodeCodes(int minCodeSize, const std::vector<std::uint8_t>& pixels, bool deferClear = false);
inline Bytes EncodeRaster(int minCodeSize, const std::vector<std::uint8_t>& pixels, int subBlockSize = 255) {
  return RasterFromCodes(minCodeSize, EncodeCodes(minCodeSize, pixels), subBlockSize);
}

// A GIF stream written block by block.
class GifWriter {
 public:
  // "GIF89a" (or the given signature) and the logical screen; a global table of
  // 2^tableBits entries when tableBits > 0, entry i being (i, 255 - i, i / 2).
  GifWriter& Header(int width, int height, int tableBits, const char* signature = "GIF89a");
  GifWriter& Control(int disposal, int delayCs, bool transparent, int transparentIndex);
  GifWriter& Loop(int count, const char* identifier = "NETSCAPE2.0");
  // An extension of `label` with the given data sub-blocks and a terminator.
  GifWriter& Extension(int label, const std::vector<Bytes>& subBlocks);
  // An image descriptor, a local table of 2^localBits entries when localBits > 0
  // (entry i being (255 - i, i, 7)), and the raster as it stands.
  GifWriter& Image(int left, int top, int width, int height, const Bytes& raster, bool interlaced = false,
                   int localBits = 0);
  // An image whose pixels are `pixels` (encoded with minimum code size 8).
  GifWriter& Picture(int left, int top, int width, int height, const std::vector<std::uint8_t>& pixels,
                     bool interlaced = false);
  GifWriter& Raw(const Bytes& bytes);
  GifWriter& Trailer();
  const Bytes& Data() const { return data_; }

 private:
  Bytes data_;
};

// The shared folder of third-party test files, from KELPO_SHARED_DIR.
std::string SharedDir();
std::optional<Bytes> ReadFileBytes(const std::string& path);

// A frame's indices and mask (1 transparent, 0 opaque; all 0 without a mask),
// top row first, width x height each.
std::vector<std::uint8_t> TopDownPixels(const TRasterRows& rows, int width, int height);
std::vector<std::uint8_t> TopDownMask(const TRasterRows& rows, int width, int height);

// A raster frame decoded by the fast decoder and the reference; fails the test
// when they differ. Answers the fast decoder's rows.
struct RasterResult {
  bool Decoded = false;
  TRasterRows Rows;
  std::size_t Position = 0;
};
RasterResult DecodeBoth(const TRasterFrame& frame, const Bytes& raster);

}  // namespace kelpo::test
