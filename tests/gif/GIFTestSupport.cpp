#include "tests/gif/GIFTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "tests/gif/LZWReference.h"

namespace kelpo::test {

Bytes RasterFromCodes(int minCodeSize, const std::vector<int>& codes, int subBlockSize, bool terminate) {
  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  int nextCode = clearCode + 2;
  int codeLimit = 2 * clearCode;
  int width = minCodeSize + 1;
  bool firstAfterClear = true;  // the first code after a clear code adds no table entry

  Bytes packed;
  std::uint32_t pending = 0;
  int pendingBits = 0;
  for (const int code : codes) {
    pending |= static_cast<std::uint32_t>(code) << pendingBits;
    pendingBits += width;
    for (; pendingBits >= 8; pendingBits -= 8, pending >>= 8) packed.push_back(pending & 0xFF);
    if (code == clearCode) {
      nextCode = clearCode + 2;
      codeLimit = 2 * clearCode;
      width = minCodeSize + 1;
      firstAfterClear = true;
    } else if (code == endCode) {
    } else if (firstAfterClear) {
      firstAfterClear = false;
    } else if (nextCode < 4096 && ++nextCode >= codeLimit && codeLimit < 4096) {
      codeLimit *= 2;
      ++width;
    }
  }
  if (pendingBits > 0) packed.push_back(pending & 0xFF);

  Bytes raster{static_cast<std::uint8_t>(minCodeSize)};
  for (std::size_t at = 0; at < packed.size(); at += subBlockSize) {
    const std::size_t n = std::min<std::size_t>(subBlockSize, packed.size() - at);
    raster.push_back(static_cast<std::uint8_t>(n));
    raster.insert(raster.end(), packed.begin() + at, packed.begin() + at + n);
  }
  if (terminate) raster.push_back(0);
  return raster;
}

std::vector<int> EncodeCodes(int minCodeSize, const std::vector<std::uint8_t>& pixels, bool deferClear) {
  const int clearCode = 1 << minCodeSize;
  std::vector<int> codes{clearCode};
  if (pixels.empty()) {
    codes.push_back(clearCode + 1);
    return codes;
  }
  std::map<std::pair<int, int>, int> table;
  int nextCode = clearCode + 2;
  int prefix = pixels[0];
  for (std::size_t i = 1; i < pixels.size(); ++i) {
    const auto found = table.find({prefix, pixels[i]});
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    codes.push_back(prefix);
    if (nextCode < 4096) {
      table[{prefix, pixels[i]}] = nextCode++;
    } else if (!deferClear) {
      codes.push_back(clearCode);
      table.clear();
      nextCode = clearCode + 2;
    }
    prefix = pixels[i];
  }
  codes.push_back(prefix);
  codes.push_back(clearCode + 1);
  return codes;
}

GifWriter& GifWriter::Header(int width, int height, int tableBits, const char* signature) {
  data_.insert(data_.end(), signature, signature + std::strlen(signature));
  const std::uint8_t packed = tableBits > 0 ? 0x80 | (tableBits - 1) : 0;
  Raw({static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(height),
       static_cast<std::uint8_t>(height >> 8), packed, 0, 0});
  for (int i = 0; tableBits > 0 && i < (1 << tableBits); ++i)
    Raw({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2)});
  return *this;
}

GifWriter& GifWriter::Control(int disposal, int delayCs, bool transparent, int transparentIndex) {
  return Raw({0x21, 0xF9, 4, static_cast<std::uint8_t>(disposal << 2 | (transparent ? 1 : 0)),
              static_cast<std::uint8_t>(delayCs), static_cast<std::uint8_t>(delayCs >> 8),
              static_cast<std::uint8_t>(transparentIndex), 0});
}

GifWriter& GifWriter::Loop(int count, const char* identifier) {
  const Bytes id(identifier, identifier + std::strlen(identifier));
  return Extension(0xFF, {id, {1, static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)}});
}

GifWriter& GifWriter::Extension(int label, const std::vector<Bytes>& subBlocks) {
  Raw({0x21, static_cast<std::uint8_t>(label)});
  for (const Bytes& block : subBlocks) {
    data_.push_back(static_cast<std::uint8_t>(block.size()));
    Raw(block);
  }
  return Raw({0});
}

GifWriter& GifWriter::Image(int left, int top, int width, int height, const Bytes& raster, bool interlaced,
                            int localBits) {
  std::uint8_t packed = interlaced ? 0x40 : 0;
  if (localBits > 0) packed |= 0x80 | (localBits - 1);
  Raw({0x2C, static_cast<std::uint8_t>(left), static_cast<std::uint8_t>(left >> 8), static_cast<std::uint8_t>(top),
       static_cast<std::uint8_t>(top >> 8), static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
       static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8), packed});
  for (int i = 0; localBits > 0 && i < (1 << localBits); ++i)
    Raw({static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i), 7});
  return Raw(raster);
}

GifWriter& GifWriter::Picture(int left, int top, int width, int height, const std::vector<std::uint8_t>& pixels,
                              bool interlaced) {
  return Image(left, top, width, height, EncodeRaster(8, pixels), interlaced);
}

GifWriter& GifWriter::Raw(const Bytes& bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return *this;
}

GifWriter& GifWriter::Trailer() {
  return Raw({0x3B});
}

std::string SharedDir() {
  return KELPO_SHARED_DIR;
}

std::optional<Bytes> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> TopDownPixels(const TRasterRows& rows, int width, int height) {
  std::vector<std::uint8_t> out;
  const std::size_t stride = PixelStride(width);
  for (int y = 0; y < height; ++y) {
    const auto row = rows.Pixels.begin() + (height - 1 - y) * stride;
    out.insert(out.end(), row, row + width);
  }
  return out;
}

std::vector<std::uint8_t> TopDownMask(const TRasterRows& rows, int width, int height) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height, 0);
  if (rows.Mask.empty()) return out;
  const std::size_t stride = MaskStride(width);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      out[y * width + x] = (rows.Mask[(height - 1 - y) * stride + x / 8] >> (7 - x % 8)) & 1;
  return out;
}

RasterResult DecodeBoth(const TRasterFrame& frame, const Bytes& raster) {
  RasterResult fast;
  TByteStream stream{raster, 0};
  TLZWDecoder decoder;
  fast.Decoded = decoder.DecodeRaster(frame, stream, fast.Rows);
  fast.Position = stream.Position;

  RasterResult reference;
  TByteStream referenceStream{raster, 0};
  reference.Decoded = ReferenceDecodeRaster(frame, referenceStream, reference.Rows);
  reference.Position = referenceStream.Position;

  EXPECT_EQ(fast.Decoded, reference.Decoded);
  EXPECT_EQ(fast.Position, reference.Position);
  EXPECT_EQ(fast.Rows.Pixels, reference.Rows.Pixels);
  EXPECT_EQ(fast.Rows.Mask, reference.Rows.Mask);
  return fast;
}

}  // namespace kelpo::test
