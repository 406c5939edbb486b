#include "tests/gif/LZWReference.h"

#include <vector>

namespace kelpo::test {
namespace {

constexpr int TableSize = 4096;

class ReferenceDecoder {
 public:
  ReferenceDecoder(TByteStream& stream, int minCodeSize) : stream_(stream), minCodeSize_(minCodeSize) {
    clearCode_ = 1 << minCodeSize;
    endCode_ = clearCode_ + 1;
    nextCode_ = clearCode_ + 2;
    codeLimit_ = 2 * clearCode_;
    codeWidth_ = minCodeSize + 1;
    for (int i = 0; i < TableSize; ++i) prefix_[i] = suffix_[i] = i;  // unwritten entries refer to themselves
    // The first sub-block is used even when it is short; only the bytes that arrived count.
    finished_ = !ReadSubBlock(&buffer_);
  }

  // The first value: codes up to the first that is not a clear code.
  int FirstValue() {
    int code;
    do code = NextCode();
    while (code == clearCode_);
    firstCode_ = oldCode_ = code;
    return code;
  }

  // Reads and drops the sub-blocks up to the raster's terminator, unless the data has ended.
  void PassOverRest() {
    if (!endOfData_) {
      while (ReadSubBlock(nullptr)) {
      }
    }
  }

  int NextPixel() {
    if (!stack_.empty()) return Pop();
    int code = NextCode();
    if (code < 0) return code;
    if (code == clearCode_) {
      for (int i = 0; i < clearCode_; ++i) suffix_[i] = i;
      stack_.clear();
      codeWidth_ = minCodeSize_ + 1;
      codeLimit_ = 2 * clearCode_;
      nextCode_ = clearCode_ + 2;
      return FirstValue();
    }
    if (code == endCode_) {
      PassOverRest();
      finished_ = true;
      return -2;
    }
    const int inCode = code;
    if (code >= nextCode_) {
      stack_.push_back(firstCode_);
      code = oldCode_;
    }
    while (code >= clearCode_) {
      stack_.push_back(suffix_[code]);
      if (stack_.size() > 4095) return -2;
      if (prefix_[code] == code) return -2;
      code = prefix_[code];
    }
    firstCode_ = suffix_[code];
    stack_.push_back(firstCode_);
    if (nextCode_ < TableSize) {
      prefix_[nextCode_] = oldCode_;
      suffix_[nextCode_] = firstCode_;
      ++nextCode_;
      if (nextCode_ >= codeLimit_ && codeLimit_ < TableSize) {
        codeLimit_ *= 2;
        ++codeWidth_;
      }
    }
    oldCode_ = inCode;
    return Pop();
  }

 private:
  int Pop() {
    const int value = stack_.back();
    stack_.pop_back();
    return value;
  }

  // One sub-block; `destination` receives the bytes that arrived. True only
  // for a complete sub-block of at least one byte.
  bool ReadSubBlock(std::vector<std::uint8_t>* destination) {
    bool ok = false;
    if (!stream_.AtEnd()) {
      const int size = stream_.ReadByte();
      std::vector<std::uint8_t> bytes(size);
      bytes.resize(stream_.Read(bytes.data(), size));
      ok = size > 0 && static_cast<int>(bytes.size()) == size;
      if (destination) destination->insert(destination->end(), bytes.begin(), bytes.end());
    }
    endOfData_ = !ok;
    return ok;
  }

  int NextCode() {
    if (bitPos_ + codeWidth_ >= BitsHeld()) {
      if (finished_) return -1;
      do {
        // Keep only the bytes that still hold unread bits, then add the next sub-block.
        const int consumed = bitPos_ / 8;
        buffer_.erase(buffer_.begin(), buffer_.begin() + consumed);
        bitPos_ -= 8 * consumed;
        std::vector<std::uint8_t> block;
        if (!ReadSubBlock(&block)) {
          finished_ = endOfData_ = true;
          return -1;
        }
        buffer_.insert(buffer_.end(), block.begin(), block.end());
      } while (bitPos_ + codeWidth_ > BitsHeld());
    }
    int code = 0;
    for (int i = 0; i < codeWidth_; ++i) {
      const int bit = bitPos_ + i;
      if ((buffer_[bit / 8] >> (bit % 8)) & 1) code |= 1 << i;
    }
    bitPos_ += codeWidth_;
    return code;
  }

  int BitsHeld() const { return 8 * static_cast<int>(buffer_.size()); }

  TByteStream& stream_;
  int minCodeSize_;
  int clearCode_, endCode_, nextCode_, codeLimit_, codeWidth_;
  int firstCode_ = 0, oldCode_ = 0;
  int prefix_[TableSize];
  int suffix_[TableSize];
  std::vector<int> stack_;
  std::vector<std::uint8_t> buffer_;
  int bitPos_ = 0;
  bool finished_ = false;
  bool endOfData_ = false;
};

// The image rows in raster order, pass by pass for interlaced frames.
class RowWalker {
 public:
  RowWalker(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
  int Row() const { return y_; }
  bool Complete() const { return complete_; }
  void Advance() {
    static constexpr int Start[4] = {0, 4, 2, 1};
    static constexpr int Step[4] = {8, 8, 4, 2};
    if (!interlaced_) {
      complete_ = ++y_ >= height_;
      return;
    }
    y_ += Step[pass_];
    while (y_ >= height_) {
      if (++pass_ == 4) {
        complete_ = true;
        return;
      }
      y_ = Start[pass_];
    }
  }

 private:
  int height_;
  bool interlaced_;
  int y_ = 0;
  int pass_ = 0;
  bool complete_ = false;
};

}  // namespace

bool ReferenceDecodeRaster(const TRasterFrame& frame, TByteStream& stream, TRasterRows& rows,
                           const TLZWDecoder::TRowProgress& progress) {
  rows.Pixels.clear();
  rows.Mask.clear();
  if (frame.Width < 1 || frame.Height < 1) return false;
  const int minCodeSize = stream.ReadByte();
  if (minCodeSize > 11) return false;

  ReferenceDecoder decoder(stream, minCodeSize);
  const int width = frame.Width;
  const int height = frame.Height;
  const std::size_t stride = PixelStride(width);
  const std::size_t maskStride = MaskStride(width);
  rows.Pixels = TRowBytes(stride * height, 0);
  if (frame.Transparent) rows.Mask = TRowBytes(maskStride * height, 0);
  const auto pixel = [&](int x, int y) -> std::uint8_t& { return rows.Pixels[(height - 1 - y) * stride + x]; };
  const auto setMask = [&](int x, int y) { rows.Mask[(height - 1 - y) * maskStride + x / 8] |= 0x80 >> (x % 8); };

  const bool reportProgress = progress && static_cast<std::int64_t>(width) * height > ProgressMinPixels;
  const int rowMask = width > 320 ? 31 : 63;
  RowWalker rowWalker(height, frame.Interlaced);
  int x = 0;
  std::int64_t remaining = static_cast<std::int64_t>(width) * height;

  int value = decoder.FirstValue();
  while (value >= 0) {
    const int y = rowWalker.Row();
    pixel(x, y) = static_cast<std::uint8_t>(value);
    if (frame.Transparent && value == frame.TransparentIndex) setMask(x, y);
    --remaining;
    if (++x == width) {
      if (reportProgress && (y & rowMask) == 0 && y < height) progress();
      x = 0;
      rowWalker.Advance();
      if (rowWalker.Complete()) break;
    }
    value = decoder.NextPixel();
  }
  while (decoder.NextPixel() >= 0) {
  }
  decoder.PassOverRest();  // also after corrupt data
  if (remaining > 0 && frame.Transparent) {
    while (remaining > 0 && !rowWalker.Complete()) {
      setMask(x, rowWalker.Row());
      --remaining;
      if (++x == width) {
        x = 0;
        rowWalker.Advance();
      }
    }
  }
  return true;
}

}  // namespace kelpo::test
