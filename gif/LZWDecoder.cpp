#include "gif/LZWDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelpo {
namespace {

// The decoding loop's helpers must be inlined for its state to stay in registers.
#if defined(__GNUC__)
#define KELPO_INLINE __attribute__((always_inline))
#else
#define KELPO_INLINE
#endif

constexpr int TableSize = 4096;
constexpr int MaxStack = 4095;  // a string that needs more entries is a prefix loop
constexpr int MaxMinCodeSize = 11;
// The pixel buffer begins with the bytes 0..255, the strings of the roots, so
// that roots and table entries are both copied from the buffer.
constexpr std::size_t RootArea = 256;
// Room for a whole string written from the frame's last pixel on, plus the
// bytes that block-sized copies and reads pass over.
constexpr std::size_t Slack = TableSize + 64;
constexpr std::size_t ReadPadding = 8;
// Buffer offsets are kept in 32 bits.
constexpr std::size_t MaxPixels = (std::size_t{1} << 32) - RootArea - Slack;

std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

void Store64(std::uint8_t* p, std::uint64_t v) {
  std::memcpy(p, &v, 8);
}

// Copies n >= 1 bytes from a string that ends at or before `dst`, 16 at a
// time; up to 15 bytes after dst + n are overwritten. Each block is read before
// it is written, so a source that runs into the destination is copied right.
void CopyString(std::uint8_t* dst, const std::uint8_t* src, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 16) {
    const std::uint64_t a = Load64(src + i);
    const std::uint64_t b = Load64(src + i + 8);
    Store64(dst + i, a);
    Store64(dst + i + 8, b);
  }
}

// The mask byte of eight pixels (the first in the lowest byte): bit 7 - i is
// set when pixel i equals the byte repeated in `pattern`.
std::uint8_t MatchBits(std::uint64_t pixels, std::uint64_t pattern) {
  constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7FULL;
  const std::uint64_t v = pixels ^ pattern;
  const std::uint64_t zeroBytes = ~(((v & Low7) + Low7) | v | Low7);  // 0x80 in each byte that was zero
  // Gathers bit 0 of byte i into bit 63 - i; the eight products never overlap.
  return static_cast<std::uint8_t>(((zeroBytes >> 7) * 0x8040201008040201ULL) >> 56);
}

constexpr std::array<std::uint8_t, 256> ReversedBits = [] {
  std::array<std::uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i)
    for (int bit = 0; bit < 8; ++bit)
      if (i & (1 << bit)) table[i] |= static_cast<std::uint8_t>(0x80 >> bit);
  return table;
}();

// Mask bytes for `count` x 8 pixels.
void MatchBytes(std::uint8_t* mask, const std::uint8_t* pixels, std::size_t count, std::uint8_t index) {
  std::size_t b = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(static_cast<char>(index));
  for (; b + 2 <= count; b += 2) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 8 * b));
    const int bits = _mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted));  // bit i for pixel i
    mask[b] = ReversedBits[bits & 0xFF];
    mask[b + 1] = ReversedBits[bits >> 8];
  }
#endif
  const std::uint64_t pattern = 0x0101010101010101ULL * index;
  for (; b < count; ++b) mask[b] = MatchBits(Load64(pixels + 8 * b), pattern);
}

// Writes one mask row: the first `decoded` of `width` pixels are transparent
// when they equal `index`, the others when `markUndecoded`; the stride's
// remaining bytes are 0.
void WriteMaskRow(std::uint8_t* mask, const std::uint8_t* pixels, std::size_t decoded, std::size_t width,
                  std::size_t stride, std::uint8_t index, bool markUndecoded) {
  const std::size_t used = (width + 7) / 8;
  std::size_t b = decoded / 8;
  MatchBytes(mask, pixels, b, index);
  if (decoded % 8 != 0) {
    std::uint8_t bits = MatchBits(Load64(pixels + 8 * b), 0x0101010101010101ULL * index);
    bits &= static_cast<std::uint8_t>(0xFF00 >> (decoded % 8));
    if (markUndecoded) bits |= static_cast<std::uint8_t>(0xFF >> (decoded % 8));
    mask[b++] = bits;
  }
  if (b < used) std::memset(mask + b, markUndecoded ? 0xFF : 0, used - b);
  if (markUndecoded && width % 8 != 0) mask[used - 1] &= static_cast<std::uint8_t>(0xFF00 >> (width % 8));
  if (used < stride) std::memset(mask + used, 0, stride - used);
}

// Image rows in the order the raster stores them.
std::vector<int> DecodeOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(height);
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  static constexpr int Start[4] = {0, 4, 2, 1};
  static constexpr int Step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = Start[pass]; y < height; y += Step[pass]) rows.push_back(y);
  return rows;
}

struct SubBlock {
  std::size_t BitEnd;         // bits held once this sub-block has been read
  std::size_t PositionAfter;  // the stream position behind it
};

}  // namespace

// The LZW state of one frame. Table entries are 64-bit words: bits 16..31 hold
// the prefix code; a "known" entry, whose string lies in the pixel buffer as
// plain bytes, has its length in bits 0..15 and its offset in the buffer in
// bits 32..63 (its suffix is the string's last byte); any other entry has length
// 0 and its suffix in bits 32..63. A known entry's string is the previous code's
// string, already written, and the first pixel of the code after it, written
// right behind it; such strings are copied whole. Everything else (first
// values, roots of 256 and more, strings that pass through entries not written
// in the current generation) follows the prefix chain one entry at a time.
struct TLZWDecoder::Machine {
  // Code reader over the concatenated sub-blocks.
  TByteStream* stream = nullptr;
  const std::uint8_t* bits = nullptr;
  std::vector<SubBlock> blocks;  // the complete sub-blocks after the first
  std::size_t nextBlock = 0;
  std::size_t failPosition = 0;  // the stream position behind the read that ends the data
  std::size_t held = 0;          // bits held
  bool finished = false;

  int minCodeSize = -1;
  int clearCode = 0;
  int written = 0;       // entries from clearCode + 2 below this were written in this frame
  int unknownFirst = 0;  // the first pixel of the last string, when its code is not known

  std::array<std::uint64_t, TableSize> table;
  std::array<std::uint16_t, MaxStack + 2> stack;

  // Output.
  std::uint8_t* out = nullptr;
  std::size_t pos = 0;         // where decoding stopped
  std::size_t end = 0;         // RootArea + pixels of the frame
  std::size_t checkpoint = 0;  // the next position at which rows are looked at
  int width = 0;
  bool transparent = false;
  std::uint8_t transparentIndex = 0;
  std::vector<std::uint32_t> opaqueAnyway;  // pixels whose low byte is the transparent index, but not their value
  const TRowProgress* progress = nullptr;
  std::vector<int> progressRows;  // decode-order rows that report progress
  std::size_t nextProgress = 0;
  std::size_t decodedOnAbort = 0;
  bool aborted = false;

  static constexpr std::uint64_t Known(std::size_t offset, int prefix, std::size_t length) {
    return static_cast<std::uint64_t>(offset) << 32 | static_cast<std::uint64_t>(prefix) << 16 | length;
  }
  static constexpr std::uint64_t Unknown(int suffix, int prefix) {
    return static_cast<std::uint64_t>(suffix) << 32 | static_cast<std::uint64_t>(prefix) << 16;
  }

  void Start(int m) {
    // Roots below 256 are known entries of one byte; the other roots and the
    // clear and end codes are not. Entries from clearCode + 2 on are read only
    // once written in this frame, so they need no clearing.
    if (m != minCodeSize) {
      minCodeSize = m;
      clearCode = 1 << m;
      for (int i = 0; i < clearCode + 2; ++i) table[i] = i < clearCode && i < 256 ? Known(i, 0, 1) : 0;
    }
    written = clearCode + 2;
  }

  // Reads sub-blocks until a code of `codeWidth` bits from `bitPos` is held;
  // false when the data ends first.
  bool Refill(std::size_t bitPos, int codeWidth) {
    if (finished) return false;
    do {
      if (nextBlock >= blocks.size()) {
        finished = true;
        stream->Position = failPosition;
        return false;
      }
      held = blocks[nextBlock].BitEnd;
      stream->Position = blocks[nextBlock].PositionAfter;
      ++nextBlock;
    } while (bitPos + codeWidth > held);
    return true;
  }

  void EmitValue(std::size_t at, int value) {
    out[at] = static_cast<std::uint8_t>(value);
    if (transparent && value > 255 && (value & 0xFF) == transparentIndex)
      opaqueAnyway.push_back(static_cast<std::uint32_t>(at - RootArea));
  }

  // Follows the prefix chain of `code` one entry at a time and writes its
  // string at `at`. Answers the string's length << 32 | its first value, or 0
  // for a string that reaches an entry referring to itself (as entries not
  // written in this frame do) or grows too long.
  std::uint64_t Walk(int code, int nextCode, int firstCode, int oldCode, std::size_t at) {
    const int limit = std::max(written, nextCode);
    int sp = 0;
    if (code >= nextCode) {
      stack[sp++] = static_cast<std::uint16_t>(firstCode);
      code = oldCode;
    }
    while (code >= clearCode) {
      if (code < clearCode + 2 || code >= limit) return 0;
      const std::uint64_t entry = table[code];
      const std::size_t length = entry & 0xFFFF;
      stack[sp++] = static_cast<std::uint16_t>(length != 0 ? out[(entry >> 32) + length - 1] : entry >> 32);
      const int prefix = static_cast<int>((entry >> 16) & 0xFFFF);
      if (sp > MaxStack || prefix == code) return 0;
      code = prefix;
    }
    stack[sp++] = static_cast<std::uint16_t>(code);  // a root is its own suffix
    for (int i = 0; i < sp; ++i) EmitValue(at + i, stack[sp - 1 - i]);
    return static_cast<std::uint64_t>(sp) << 32 | static_cast<std::uint32_t>(code);
  }

  std::size_t ProgressRowEnd(std::size_t i) const {
    return RootArea + (static_cast<std::size_t>(progressRows[i]) + 1) * width;
  }

  // Reports the rows completed up to `at`; true once the frame is complete.
  bool Checkpoint(std::size_t at) {
    for (; nextProgress < progressRows.size(); ++nextProgress) {
      const std::size_t rowEnd = ProgressRowEnd(nextProgress);
      if (rowEnd > at) break;
      try {
        (*progress)();
      } catch (...) {
        aborted = true;
        decodedOnAbort = rowEnd - RootArea;
        throw;
      }
    }
    if (at >= end) return true;
    checkpoint = nextProgress < progressRows.size() ? std::min(end, ProgressRowEnd(nextProgress)) : end;
    return false;
  }

  // Decodes codes until the data ends, the end code, corrupt data or the
  // frame's last pixel. The loop's state is held in locals, since a store
  // through the byte pointer `o` could alias any member.
  void Run() {
    std::uint8_t* const o = out;
    const std::uint8_t* const in = bits;
    std::uint64_t* const entries = table.data();
    const int clear = clearCode;
    std::size_t bitPos = 0;
    std::size_t at = pos;
    std::size_t nextCheck = checkpoint;
    int nextCode = clear + 2;
    bool stop = false;

    while (!stop) {
      // A generation of the table, from the start or a clear code.
      written = std::max(written, nextCode);
      nextCode = clear + 2;
      int codeWidth = minCodeSize + 1;
      std::uint32_t codeMask = (1u << codeWidth) - 1;
      // For sizes 0 and 1 this lies below the first free code: the width then
      // catches up a bit per entry.
      int growAt = 1 << codeWidth;

      // The first value: output whatever it is.
      int value;
      do {
        if (bitPos + codeWidth >= held && !Refill(bitPos, codeWidth)) {
          value = -1;
          break;
        }
        value = static_cast<int>((Load64(in + (bitPos >> 3)) >> (bitPos & 7)) & codeMask);
        bitPos += codeWidth;
      } while (value == clear);
      if (value < 0) break;
      unknownFirst = value;
      // The previous code and its string: Known(start, code, length + 1), the
      // entry that extends it, or Unknown(0, code).
      std::uint64_t previous = value < 256 && value < clear ? Known(at, value, 2) : Unknown(0, value);
      EmitValue(at, value);
      if (++at >= nextCheck) {
        if (Checkpoint(at)) break;
        nextCheck = checkpoint;
      }

      for (;;) {
        if (bitPos + codeWidth >= held && !Refill(bitPos, codeWidth)) {
          stop = true;
          break;
        }
        const int code = static_cast<int>((Load64(in + (bitPos >> 3)) >> (bitPos & 7)) & codeMask);
        bitPos += codeWidth;

        std::size_t len;
        std::uint64_t entry;  // the table entry this code adds
        std::uint64_t next;   // `previous` for the next code
        if (code < nextCode) {
          const std::uint64_t known = entries[code];
          len = known & 0xFFFF;
          if (len != 0) {
            const std::size_t from = known >> 32;
            CopyString(o + at, o + from, len);
            entry = (previous & 0xFFFF) != 0 ? previous : previous | Unknown(o[from], 0);
            next = Known(at, code, len + 1);
          } else if (code == clear) {
            break;
          } else if (code == clear + 1) {
            stop = true;
            break;
          } else if (!WalkCode(code, nextCode, previous, at, len, entry, next)) {
            stop = true;
            break;
          }
        } else if ((previous & 0xFFFF) != 0) {
          // The entry being defined (or one past it): the previous string and its own first pixel.
          const std::size_t previousLength = (previous & 0xFFFF) - 1;
          const std::size_t from = previous >> 32;
          const std::uint8_t first = o[from];
          CopyString(o + at, o + from, previousLength);
          o[at + previousLength] = first;
          len = previousLength + 1;
          entry = previous;
          if (code == nextCode) {
            next = Known(at, code, len + 1);
          } else {
            next = Unknown(0, code);
            unknownFirst = first;
          }
        } else if (!WalkCode(code, nextCode, previous, at, len, entry, next)) {
          stop = true;
          break;
        }

        if (nextCode < TableSize) {
          entries[nextCode] = entry;
          if (++nextCode >= growAt && codeWidth < 12) {
            codeMask = (1u << ++codeWidth) - 1;
            growAt = codeWidth < 12 ? 1 << codeWidth : TableSize + 1;
          }
        }
        previous = next;
        at += len;
        if (at >= nextCheck) {
          if (Checkpoint(at)) {
            stop = true;
            break;
          }
          nextCheck = checkpoint;
        }
      }
    }
    pos = at;
  }

  // A code whose string is not known: walks it. Sets the string's length, the
  // entry it adds and the next `previous`; false for corrupt data.
  KELPO_INLINE bool WalkCode(int code, int nextCode, std::uint64_t previous, std::size_t at, std::size_t& len,
                             std::uint64_t& entry, std::uint64_t& next) {
    const bool previousKnown = (previous & 0xFFFF) != 0;
    const int oldCode = static_cast<int>((previous >> 16) & 0xFFFF);
    const int firstCode = previousKnown ? out[previous >> 32] : unknownFirst;
    const std::uint64_t walked = Walk(code, nextCode, firstCode, oldCode, at);
    if (walked == 0) return false;
    len = walked >> 32;
    const int newFirst = static_cast<int>(walked & 0xFFFFFFFF);
    entry = previousKnown && newFirst < 256 ? previous : Unknown(newFirst, oldCode);
    next = Unknown(0, code);
    unknownFirst = newFirst;
    return true;
  }
};

TLZWDecoder::TLZWDecoder() : machine_(std::make_unique<Machine>()) {}
TLZWDecoder::~TLZWDecoder() = default;

void TLZWDecoder::ReleaseScratch() {
  machine_ = std::make_unique<Machine>();
  data_ = {};
  pixels_.reset();
  pixelsCapacity_ = 0;
}

bool TLZWDecoder::DecodeRaster(const TRasterFrame& frame, TByteStream& stream, TRasterRows& rows,
                               const TRowProgress& progress) {
  rows.Pixels.clear();
  rows.Mask.clear();
  if (frame.Width < 1 || frame.Height < 1) return false;
  if (static_cast<std::size_t>(frame.Width) * static_cast<std::size_t>(frame.Height) > MaxPixels) return false;
  const int minCodeSize = stream.ReadByte();  // a missing byte reads as 0; no data follows it then
  if (minCodeSize > MaxMinCodeSize) return false;

  Machine& m = *machine_;
  m.stream = &stream;

  // Gather the sub-blocks. The reader takes them one by one, so the stream is
  // placed where a reader that reads each sub-block only when it needs it stands.
  data_.clear();
  data_.reserve(stream.Left() + ReadPadding);
  m.blocks.clear();
  const auto readBlock = [&](std::size_t& arrived) {  // false at a missing size byte or the terminator
    if (stream.AtEnd()) return false;
    const std::size_t n = stream.ReadByte();
    if (n == 0) return false;
    const std::uint8_t* from = stream.Bytes.data() + stream.Position;
    arrived = stream.Skip(n);
    data_.insert(data_.end(), from, from + arrived);
    return arrived == n;
  };
  std::size_t arrived = 0;
  m.finished = !readBlock(arrived);
  m.held = 8 * arrived;  // of a short first sub-block the bytes that arrived
  const std::size_t startPosition = stream.Position;
  m.failPosition = startPosition;
  if (!m.finished) {
    while (readBlock(arrived)) m.blocks.push_back({8 * data_.size(), stream.Position});
    m.failPosition = stream.Position;
  }
  stream.Position = startPosition;
  data_.insert(data_.end(), ReadPadding, 0);
  m.bits = data_.data();
  m.nextBlock = 0;

  const std::size_t w = static_cast<std::size_t>(frame.Width);
  const std::size_t h = static_cast<std::size_t>(frame.Height);
  const std::size_t pixelCount = w * h;
  if (pixelsCapacity_ < RootArea + pixelCount + Slack) {
    pixelsCapacity_ = RootArea + pixelCount + Slack;
    pixels_.reset(new std::uint8_t[pixelsCapacity_]);  // not zero-filled: read only where written
    for (std::size_t i = 0; i < RootArea; ++i) pixels_[i] = static_cast<std::uint8_t>(i);
  }
  m.out = pixels_.get();
  m.pos = RootArea;
  m.end = RootArea + pixelCount;
  m.width = frame.Width;
  m.transparent = frame.Transparent;
  m.transparentIndex = frame.TransparentIndex;
  m.opaqueAnyway.clear();
  m.aborted = false;

  const std::vector<int> order = DecodeOrder(frame.Height, frame.Interlaced);
  m.progress = &progress;
  m.progressRows.clear();
  if (progress && static_cast<std::int64_t>(pixelCount) > ProgressMinPixels) {
    const int rowMask = frame.Width > 320 ? 31 : 63;
    for (std::size_t r = 0; r < h; ++r)
      if ((order[r] & rowMask) == 0) m.progressRows.push_back(static_cast<int>(r));
  }
  m.nextProgress = 0;
  m.checkpoint = m.progressRows.empty() ? m.end : std::min(m.end, m.ProgressRowEnd(0));
  m.Start(minCodeSize);

  // Places the decoded pixels into the bottom-up rows; pixels not decoded get
  // index 0 and are transparent unless the decoding was cancelled. Every byte
  // of the rows is written here.
  const auto assemble = [&] {
    const std::size_t decoded = m.aborted ? m.decodedOnAbort : std::min(m.pos, m.end) - RootArea;
    const std::uint8_t* src = m.out + RootArea;
    const std::size_t stride = PixelStride(frame.Width);
    const std::size_t maskStride = MaskStride(frame.Width);
    rows.Pixels = TRowBytes(stride * h);
    if (frame.Transparent) rows.Mask = TRowBytes(maskStride * h);
    for (std::size_t r = 0; r < h; ++r) {
      const std::size_t bufferRow = h - 1 - order[r];
      const std::size_t rowStart = r * w;
      const std::size_t n = decoded > rowStart ? std::min(w, decoded - rowStart) : 0;
      std::uint8_t* pixels = rows.Pixels.data() + bufferRow * stride;
      std::memcpy(pixels, src + rowStart, n);
      std::memset(pixels + n, 0, stride - n);
      if (frame.Transparent)
        WriteMaskRow(rows.Mask.data() + bufferRow * maskStride, src + rowStart, n, w, maskStride,
                     frame.TransparentIndex, !m.aborted);
    }
    for (const std::uint32_t p : m.opaqueAnyway) {
      if (p >= decoded) continue;
      const std::size_t x = p % w;
      std::uint8_t* mask = rows.Mask.data() + (h - 1 - order[p / w]) * maskStride;
      mask[x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
    }
  };

  try {
    m.Run();
  } catch (...) {
    assemble();
    throw;
  }
  // However the frame ended, the rest of its sub-blocks are passed over.
  stream.Position = m.failPosition;
  assemble();
  return true;
}

}  // namespace kelpo
