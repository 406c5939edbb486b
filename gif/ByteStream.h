#pragma once
// Bytes held in memory and a read position in them: the work stream that the
// GIF decoders consume. Reads are lenient: past the end they deliver what is
// there, and a single byte past the end reads as 0.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace kelpo {

struct TByteStream {
  std::span<const std::uint8_t> Bytes;
  std::size_t Position = 0;

  std::size_t Size() const { return Bytes.size(); }
  std::size_t Left() const { return Position < Bytes.size() ? Bytes.size() - Position : 0; }
  bool AtEnd() const { return Position >= Bytes.size(); }
  void SeekEnd() { Position = Bytes.size(); }

  // Copies up to `count` bytes and answers how many arrived.
  std::size_t Read(std::uint8_t* destination, std::size_t count) {
    const std::size_t n = std::min(count, Left());
    if (n > 0) std::memcpy(destination, Bytes.data() + Position, n);
    Position += n;
    return n;
  }
  // Moves on by up to `count` bytes and answers how many were passed.
  std::size_t Skip(std::size_t count) {
    const std::size_t n = std::min(count, Left());
    Position += n;
    return n;
  }
  std::uint8_t ReadByte() { return AtEnd() ? 0 : Bytes[Position++]; }
};

}  // namespace kelpo
